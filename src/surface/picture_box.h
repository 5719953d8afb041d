// The picture box every drawing area of the window is: a widget that shows
// a persistent Surface and reports mouse releases over it in image pixels.
#pragma once

#include <QPointF>
#include <QWidget>

#include "surface/surface.h"

namespace hexlife {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    // index: the box's place in a control array, or -1 for a single box.
    explicit PictureBox(QWidget* parent, int index = -1);

    int index() const { return index_; }
    Surface& surface() { return surface_; }
    const Surface& surface() const { return surface_; }

    // Places the box and sizes its image at once, also before it is first
    // shown; `geometry` is the box's place at scale 1, which its image keeps.
    void place(const QRect& geometry);
    // The box drawn at a scale: its place and size on the window are scaled,
    // its image is not, and positions are reported in image pixels.
    void setScale(double scale);
    double scale() const { return scale_; }
    // The image pixel a point of the widget shows.
    QPointF toImage(QPointF widgetPosition) const;
    // The widget's area that shows an area of the image.
    QRect toWidget(const QRectF& imageArea) const;
    // A one-pixel frame around the image, which then lies one pixel inside.
    void setBorder(bool border);
    bool hasBorder() const { return border_; }
    // The image's background: a role of the desktop palette.
    void setBackgroundColorRole(QPalette::ColorRole role);
    // A dashed frame drawn over the image around an area of it (in image
    // pixels), not into it: a selection. An empty area draws none.
    void setOverlay(const QRect& imageArea);
    QRect overlay() const { return overlay_; }

signals:
    // A mouse button was released over the box; position in image pixels.
    void released(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                  QPointF position);
    // A button was pressed over the box, and the pointer moved with it held
    // (wherever it goes); positions in image pixels.
    void pressed(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);
    void dragged(int index, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void sizeImage();
    void showChanges();
    bool hasFractionalPixelRatio() const;

    Surface surface_;
    QRect design_;
    double scale_ = 1.0;
    int index_;
    bool border_ = false;
    bool updatePending_ = false;
    QRect overlay_;
};

}  // namespace hexlife
