// A persistent pixel image with the few drawing operations the picture boxes
// need: segments, filled boxes, outline circles and clearing. Everything is
// drawn in whole pixels without smoothing; fractional coordinates are
// rounded to the nearest pixel.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>

#include <QColor>
#include <QImage>
#include <QRect>

#include "surface/color.h"

namespace hexlife {

QRgb ToQRgb(Color color);

class Surface {
public:
    explicit Surface(QSize size = {}, QColor background = Qt::white);

    // Resizes the image; what is drawn stays where it lies, new area is background.
    void resize(QSize size);
    QSize size() const { return image_.size(); }
    void setBackground(QColor background);
    QColor background() const { return background_; }
    const QImage& image() const { return image_; }
    QRgb pixel(int x, int y) const { return image_.pixel(x, y); }

    // Clears the whole image to the background colour.
    void clear();
    // A segment, both end points included.
    void line(double x1, double y1, double x2, double y2, Color color);
    // A filled box between two corners, both corners included.
    void fillBox(int x1, int y1, int x2, int y2, Color color);
    void fillBox(double x1, double y1, double x2, double y2, Color color);
    // A circle outline one pixel wide.
    void circle(double centreX, double centreY, int radius, Color color);

    // Paints many filled squares of one side that lie wholly inside the
    // image, as fillBox would, without its per-call checks: the field's cells.
    template <int Side>
    class SquareWriter {
    public:
        explicit SquareWriter(Surface& surface)
            : surface_(surface), bits_(surface.image_.bits()),
              stride_(surface.image_.bytesPerLine())
        {
        }
        ~SquareWriter()
        {
            if (right_ >= left_) {
                surface_.touch(QRect(QPoint(left_, top_), QPoint(right_, bottom_)), false);
            }
        }
        SquareWriter(const SquareWriter&) = delete;
        SquareWriter& operator=(const SquareWriter&) = delete;

        void fill(int x, int y, QRgb rgb)
        {
            uchar* row = bits_ + y * stride_;
            for (int dy = 0; dy < Side; ++dy, row += stride_) {
                std::fill_n(reinterpret_cast<QRgb*>(row) + x, Side, rgb);
            }
            left_ = std::min(left_, x);
            top_ = std::min(top_, y);
            right_ = std::max(right_, x + Side - 1);
            bottom_ = std::max(bottom_, y + Side - 1);
        }

    private:
        Surface& surface_;
        uchar* bits_;
        qsizetype stride_;
        int left_ = INT_MAX, top_ = INT_MAX, right_ = INT_MIN, bottom_ = INT_MIN;
    };

    // Counts the changes of the image made otherwise than by a SquareWriter
    // (clearing, resizing, a new background, any drawing call), so that a
    // record of what the writer painted can tell when it no longer holds.
    std::uint64_t revision() const { return revision_; }

    // Called after every change of the image: `alone` for the one change
    // a SquareWriter makes (a tick's field), which is best shown at once,
    // and false for drawing calls, which come many to an event.
    void setChangeHandler(std::function<void(bool alone)> handler) { changed_ = std::move(handler); }
    // The area changed since the last call.
    QRect takeDirty();

private:
    void plot(int x, int y, QRgb rgb);
    void touch(const QRect& area, bool revise = true);

    QImage image_;
    QColor background_;
    QRect dirty_;
    std::uint64_t revision_ = 0;
    std::function<void(bool)> changed_;
};

}  // namespace hexlife
