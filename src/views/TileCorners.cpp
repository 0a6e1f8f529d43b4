#include "views/TileCorners.h"

#include "views/TimeGridEventTile.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <map>
#include <utility>

namespace plannery::TileCorners {

namespace {

bool whole(double v) {
    return std::abs(v - std::round(v)) < 1e-6;
}

// The device pixels per point of a painter that only moves and scales by a whole number alike
// both ways, else 0: at fractional scales the raster engine samples a mask's pixels off their
// places.
double scaleOf(const QPainter& painter) {
    const QTransform device = painter.deviceTransform();
    if (device.type() > QTransform::TxScale || device.m11() != device.m22() ||
        !(device.m11() > 0) || !whole(device.m11())) {
        return 0;
    }
    return device.m11();
}

// A circle's worth of corners, `radius` points at `scale`: the coverage of a square twice the
// radius rounded at all four corners, one quadrant per corner. Kept per thread, since tiles are
// drawn on several.
const QImage& mask(double radius, double scale) {
    thread_local std::map<std::pair<double, double>, QImage> kept;
    const auto key = std::make_pair(radius, scale);
    if (const auto it = kept.find(key); it != kept.end()) {
        return it->second;
    }
    const int side = static_cast<int>(std::round(2 * radius * scale));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(
            TimeGridEventTile::shapePath(
                TileShape{.rect = Rect{.x = 0, .y = 0, .width = 2 * radius, .height = 2 * radius},
                          .radius = radius,
                          .roundTop = true,
                          .roundBottom = true}),
            Qt::black);
    }
    return kept.emplace(key, std::move(image)).first->second;
}

} // namespace

bool fit(const QPainter& painter, const TileShape& shape) {
    const double scale = scaleOf(painter);
    if (scale <= 0 || !(shape.radius >= 0)) {
        return false;
    }
    const QTransform device = painter.deviceTransform();
    const QPointF topLeft = device.map(QPointF(shape.rect.left(), shape.rect.top()));
    const QPointF bottomRight = device.map(QPointF(shape.rect.right(), shape.rect.bottom()));
    return whole(shape.radius * scale) && whole(topLeft.x()) && whole(topLeft.y()) &&
           whole(bottomRight.x()) && whole(bottomRight.y()) &&
           2 * shape.radius <= std::min(shape.rect.width, shape.rect.height) + 1e-9;
}

void cut(QPainter& painter, const TileShape& shape) {
    const double r = shape.radius;
    const double scale = scaleOf(painter);
    if (r * scale < 1 || (!shape.roundTop && !shape.roundBottom)) {
        return;
    }
    const QImage& corners = mask(r, scale);
    const double half = r * scale; // one quadrant's side in the mask's pixels
    const Rect& s = shape.rect;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    const auto corner = [&](double x, double y, double fromX, double fromY) {
        painter.drawImage(QRectF(x, y, r, r), corners, QRectF(fromX, fromY, half, half));
    };
    if (shape.roundTop) {
        corner(s.left(), s.top(), 0, 0);
        corner(s.right() - r, s.top(), half, 0);
    }
    if (shape.roundBottom) {
        corner(s.left(), s.bottom() - r, 0, half);
        corner(s.right() - r, s.bottom() - r, half, half);
    }
    painter.restore();
}

void fillBehind(QPainter& painter, const TileShape& shape, const QColor& color) {
    const double r = shape.radius;
    const Rect& s = shape.rect;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
    if (shape.roundTop) {
        painter.fillRect(QRectF(s.left(), s.top(), r, r), color);
        painter.fillRect(QRectF(s.right() - r, s.top(), r, r), color);
    }
    if (shape.roundBottom) {
        painter.fillRect(QRectF(s.left(), s.bottom() - r, r, r), color);
        painter.fillRect(QRectF(s.right() - r, s.bottom() - r, r, r), color);
    }
    painter.restore();
}

} // namespace plannery::TileCorners
