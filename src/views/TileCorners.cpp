#include "views/TileCorners.h"

#include "views/PixelGrid.h"
#include "views/TimeGridEventTile.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <utility>

namespace plannery::TileCorners {

namespace {

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
    const std::optional<double> scale = PixelGrid::wholeScale(painter);
    const Rect& s = shape.rect;
    return scale && shape.radius >= 0 && PixelGrid::whole(shape.radius * *scale) &&
           PixelGrid::onPixelCorner(painter, QPointF(s.left(), s.top())) &&
           PixelGrid::onPixelCorner(painter, QPointF(s.right(), s.bottom())) &&
           2 * shape.radius <= std::min(s.width, s.height) + 1e-9;
}

void cut(QPainter& painter, const TileShape& shape) {
    const double r = shape.radius;
    const std::optional<double> scale = PixelGrid::wholeScale(painter);
    if (!scale || r * *scale < 1 || (!shape.roundTop && !shape.roundBottom)) {
        return;
    }
    const QImage& corners = mask(r, *scale);
    const double half = r * *scale; // one quadrant's side in the mask's pixels
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
