#include "surface/picture_box.h"

#include <cmath>

#include <QMouseEvent>
#include <QPainter>

#include "screen/window_scale.h"

namespace hexlife {

PictureBox::PictureBox(QWidget* parent, int index) : QWidget(parent), index_(index)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // All the drawing calls of one event make one repaint, after the event;
    // a square writer's one change is marked for repainting at once, which
    // spares the tick a queued call.
    surface_.setChangeHandler([this](bool alone) {
        if (alone) {
            showChanges();
        } else if (!updatePending_) {
            updatePending_ = true;
            QMetaObject::invokeMethod(this, &PictureBox::showChanges, Qt::QueuedConnection);
        }
    });
}

void PictureBox::place(const QRect& geometry)
{
    design_ = geometry;
    setScale(scale_);
    sizeImage();
}

void PictureBox::setScale(double scale)
{
    scale_ = scale;
    setGeometry(toWidget(QRectF(design_)));
    update();
}

QRect PictureBox::toWidget(const QRectF& area) const
{
    if (scale_ == 1.0) {
        return area.toRect();
    }
    // Edges rounded as the window's layout rounds them.
    return QRect(QPoint(ScaledEdge(area.left(), scale_), ScaledEdge(area.top(), scale_)),
                 QPoint(ScaledEdge(area.left() + area.width(), scale_) - 1,
                        ScaledEdge(area.top() + area.height(), scale_) - 1));
}

void PictureBox::setBorder(bool border)
{
    border_ = border;
    sizeImage();
    update();
}

void PictureBox::sizeImage()
{
    const int inset = border_ ? 2 : 0;
    surface_.resize(QSize(design_.width() - inset, design_.height() - inset));
}

void PictureBox::setBackgroundColorRole(QPalette::ColorRole role)
{
    setBackgroundRole(role);
    surface_.setBackground(palette().color(role));
}

bool PictureBox::hasFractionalPixelRatio() const
{
    const qreal ratio = devicePixelRatioF();
    return ratio != std::floor(ratio);
}

void PictureBox::showChanges()
{
    updatePending_ = false;
    const int offset = border_ ? 1 : 0;
    QRect dirty = surface_.takeDirty().translated(offset, offset);
    // At a fractional device pixel ratio or scale an image pixel's edge may
    // fall inside a device pixel, and Qt rounds the repainted area to whole
    // device pixels either way: one more pixel all round covers every device
    // pixel that the changed image pixels reach.
    if (scale_ != 1.0) {
        dirty = QRectF(dirty.x() * scale_, dirty.y() * scale_, dirty.width() * scale_, dirty.height() * scale_)
                    .toAlignedRect()
                    .adjusted(-1, -1, 1, 1);
    } else if (hasFractionalPixelRatio()) {
        dirty.adjust(-1, -1, 1, 1);
    }
    update(dirty);
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    // Whole pixels only: at any device pixel ratio each image pixel becomes a
    // block of screen pixels, never a blend.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const int offset = border_ ? 1 : 0;
    if (scale_ != 1.0) {
        // The whole image, scaled and clipped to the repainted area; where it
        // shrinks on the screen, blended, so that no grid line drops out.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, scale_ * devicePixelRatioF() < 1.0);
        painter.save();
        painter.scale(scale_, scale_);
        painter.drawImage(offset, offset, surface_.image());
        painter.restore();
    } else if (!hasFractionalPixelRatio()) {
        const QRect target = event->rect().intersected(QRect(QPoint(offset, offset), surface_.size()));
        painter.drawImage(target, surface_.image(), target.translated(-offset, -offset));
    } else {
        // Drawn whole and clipped to the repainted area, so that every device
        // pixel samples the image exactly as in a full repaint.
        painter.drawImage(offset, offset, surface_.image());
    }
    if (!overlay_.isEmpty()) {
        // Black and white dashes: seen on the grid, on live and on empty cells.
        const QRect frame = toWidget(QRectF(overlay_.translated(offset, offset))).adjusted(0, 0, -1, -1);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(frame);
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawRect(frame);
    }
    if (border_) {
        // Four one-pixel bars, exact at any device pixel ratio.
        const QColor frame = palette().color(QPalette::Dark);
        painter.fillRect(QRect(0, 0, width(), 1), frame);
        painter.fillRect(QRect(0, height() - 1, width(), 1), frame);
        painter.fillRect(QRect(0, 0, 1, height()), frame);
        painter.fillRect(QRect(width() - 1, 0, 1, height()), frame);
    }
}

QPointF PictureBox::toImage(QPointF widgetPosition) const
{
    const double offset = border_ ? 1.0 : 0.0;
    return widgetPosition / scale_ - QPointF(offset, offset);
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    emit pressed(index_, event->button(), event->modifiers(), toImage(event->position()));
    QWidget::mousePressEvent(event);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton) {
        emit dragged(index_, event->buttons(), event->modifiers(), toImage(event->position()));
    }
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    // Like a button, a release counts only over the box that took the press.
    if (!rect().contains(event->position().toPoint())) {
        return;
    }
    emit released(index_, event->button(), event->modifiers(), toImage(event->position()));
}

void PictureBox::setOverlay(const QRect& imageArea)
{
    if (imageArea == overlay_) {
        return;
    }
    const int offset = border_ ? 1 : 0;
    for (const QRect& area : {overlay_, imageArea}) {
        if (!area.isEmpty()) {
            update(toWidget(QRectF(area.translated(offset, offset))).adjusted(-2, -2, 2, 2));
        }
    }
    overlay_ = imageArea;
}

}  // namespace hexlife
