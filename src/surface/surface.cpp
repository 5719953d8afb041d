#include "surface/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QPainter>

namespace hexlife {

namespace {
int ToPixel(double value) { return static_cast<int>(std::lround(value)); }
}  // namespace

QRgb ToQRgb(Color color)
{
    return qRgb(int(color & 0xFF), int(color >> 8 & 0xFF), int(color >> 16 & 0xFF));
}

Surface::Surface(QSize size, QColor background) : background_(background)
{
    resize(size);
}

void Surface::resize(QSize size)
{
    if (size == image_.size()) {
        return;
    }
    QImage resized(size.expandedTo({1, 1}), QImage::Format_RGB32);
    resized.fill(background_);
    if (!image_.isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, image_);
    }
    image_ = resized;
    touch(image_.rect());
}

void Surface::setBackground(QColor background)
{
    background_ = background;
    clear();
}

void Surface::clear()
{
    image_.fill(background_);
    touch(image_.rect());
}

void Surface::plot(int x, int y, QRgb rgb)
{
    if (x >= 0 && y >= 0 && x < image_.width() && y < image_.height()) {
        reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = rgb;
    }
}

void Surface::line(double x1, double y1, double x2, double y2, Color color)
{
    int x = ToPixel(x1), y = ToPixel(y1);
    const int xEnd = ToPixel(x2), yEnd = ToPixel(y2);
    // Rows and columns, as every grid line is, written straight in: the
    // field's grid is some seventeen thousand of them, drawn at start-up.
    if (y == yEnd || x == xEnd) {
        const int left = std::max(std::min(x, xEnd), 0), right = std::min(std::max(x, xEnd), image_.width() - 1);
        const int top = std::max(std::min(y, yEnd), 0), bottom = std::min(std::max(y, yEnd), image_.height() - 1);
        touch(QRect(QPoint(std::min(x, xEnd), std::min(y, yEnd)), QPoint(std::max(x, xEnd), std::max(y, yEnd))));
        if (left > right || top > bottom) {
            return;
        }
        const QRgb rgb = ToQRgb(color);
        const qsizetype stride = image_.bytesPerLine();
        uchar* row = image_.bits() + top * stride;
        for (int py = top; py <= bottom; ++py, row += stride) {
            std::fill_n(reinterpret_cast<QRgb*>(row) + left, right - left + 1, rgb);
        }
        return;
    }
    // Bresenham's line between the rounded end points.
    const int dx = std::abs(xEnd - x), dy = -std::abs(yEnd - y);
    const int sx = x < xEnd ? 1 : -1, sy = y < yEnd ? 1 : -1;
    const QRgb rgb = ToQRgb(color);
    touch(QRect(QPoint(std::min(x, xEnd), std::min(y, yEnd)),
                QPoint(std::max(x, xEnd), std::max(y, yEnd))));
    int error = dx + dy;
    for (;;) {
        plot(x, y, rgb);
        if (x == xEnd && y == yEnd) {
            break;
        }
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += sx;
        }
        if (doubled <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void Surface::fillBox(int x1, int y1, int x2, int y2, Color color)
{
    if (x1 > x2) {
        std::swap(x1, x2);
    }
    if (y1 > y2) {
        std::swap(y1, y2);
    }
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, image_.width() - 1);
    y2 = std::min(y2, image_.height() - 1);
    if (x1 > x2 || y1 > y2) {
        return;
    }
    const QRgb rgb = ToQRgb(color);
    const qsizetype stride = image_.bytesPerLine();
    uchar* row = image_.bits() + y1 * stride;
    for (int y = y1; y <= y2; ++y, row += stride) {
        std::fill_n(reinterpret_cast<QRgb*>(row) + x1, x2 - x1 + 1, rgb);
    }
    touch(QRect(QPoint(x1, y1), QPoint(x2, y2)));
}

void Surface::fillBox(double x1, double y1, double x2, double y2, Color color)
{
    fillBox(ToPixel(x1), ToPixel(y1), ToPixel(x2), ToPixel(y2), color);
}

void Surface::circle(double centreX, double centreY, int radius, Color color)
{
    // Midpoint circle around the rounded centre.
    const int cx = ToPixel(centreX), cy = ToPixel(centreY);
    const QRgb rgb = ToQRgb(color);
    touch(QRect(cx - radius, cy - radius, 2 * radius + 1, 2 * radius + 1));
    int x = radius, y = 0, error = 1 - radius;
    while (x >= y) {
        for (const auto& [px, py] : {std::pair{x, y}, {y, x}, {-y, x}, {-x, y},
                                     {-x, -y}, {-y, -x}, {y, -x}, {x, -y}}) {
            plot(cx + px, cy + py, rgb);
        }
        ++y;
        if (error < 0) {
            error += 2 * y + 1;
        } else {
            --x;
            error += 2 * (y - x) + 1;
        }
    }
}

void Surface::touch(const QRect& area, bool revise)
{
    dirty_ |= area;
    revision_ += revise ? 1 : 0;
    if (changed_) {
        changed_(!revise);
    }
}

QRect Surface::takeDirty()
{
    const QRect dirty = dirty_;
    dirty_ = QRect();
    return dirty;
}

}  // namespace hexlife
