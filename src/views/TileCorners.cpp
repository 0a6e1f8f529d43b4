#include "views/TileCorners.h"

#include "views/PixelGrid.h"
#include "views/TimeGridEventTile.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// A premultiplied pixel's four channels times a / 255, rounded as the raster engine rounds them:
// the channels apart in 16-bit lanes of one word.
QRgb byteMul(QRgb pixel, unsigned a) {
    constexpr std::uint64_t kLanes = 0x00ff00ff00ff00ffULL;
    std::uint64_t t = ((std::uint64_t{pixel} | std::uint64_t{pixel} << 24) & kLanes) * a;
    t = ((t + ((t >> 8) & kLanes) + 0x0080008000800080ULL) >> 8) & kLanes;
    return static_cast<QRgb>(t | t >> 24);
}

// Calls `change(row, first, last, y)` for each row of the picture inside `area` (device pixels),
// `row` pointing at the row's pixels and [first, last] the columns inside.
template <typename Change> void forEachRow(QImage& picture, QRect area, Change change) {
    area &= picture.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        change(reinterpret_cast<QRgb*>(picture.scanLine(y)), area.left(), area.right(), y);
    }
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

void cut(QImage& picture, const TileShape& shape) {
    const double scale = picture.devicePixelRatio();
    const int side = static_cast<int>(std::lround(shape.radius * scale)); // one corner's pixels
    if (side < 1 || (!shape.roundTop && !shape.roundBottom) ||
        picture.format() != QImage::Format_ARGB32_Premultiplied) {
        return;
    }
    const QImage& corners = mask(shape.radius, scale);
    const Rect& s = shape.rect;
    const int left = static_cast<int>(std::lround(s.left() * scale));
    const int right = static_cast<int>(std::lround(s.right() * scale)) - side;
    const int top = static_cast<int>(std::lround(s.top() * scale));
    const int bottom = static_cast<int>(std::lround(s.bottom() * scale)) - side;
    const auto corner = [&](int x, int y, int fromX, int fromY) {
        forEachRow(picture, QRect(x, y, side, side), [&](QRgb* row, int first, int last, int py) {
            const auto* coverage =
                reinterpret_cast<const QRgb*>(corners.constScanLine(fromY + py - y)) + fromX - x;
            for (int px = first; px <= last; ++px) {
                row[px] = byteMul(row[px], qAlpha(coverage[px]));
            }
        });
    };
    if (shape.roundTop) {
        corner(left, top, 0, 0);
        corner(right, top, side, 0);
    }
    if (shape.roundBottom) {
        corner(left, bottom, 0, side);
        corner(right, bottom, side, side);
    }
}

void fillBehind(QImage& picture, const TileShape& shape, const QColor& color) {
    const double scale = picture.devicePixelRatio();
    const int side = static_cast<int>(std::lround(shape.radius * scale));
    if (side < 1 || picture.format() != QImage::Format_ARGB32_Premultiplied) {
        return;
    }
    const QRgb behind = qPremultiply(color.rgba());
    const Rect& s = shape.rect;
    const int left = static_cast<int>(std::lround(s.left() * scale));
    const int right = static_cast<int>(std::lround(s.right() * scale)) - side;
    const int top = static_cast<int>(std::lround(s.top() * scale));
    const int bottom = static_cast<int>(std::lround(s.bottom() * scale)) - side;
    const auto square = [&](int x, int y) {
        forEachRow(picture, QRect(x, y, side, side), [&](QRgb* row, int first, int last, int) {
            for (int px = first; px <= last; ++px) {
                row[px] += byteMul(behind, 255 - qAlpha(row[px]));
            }
        });
    };
    if (shape.roundTop) {
        square(left, top);
        square(right, top);
    }
    if (shape.roundBottom) {
        square(left, bottom);
        square(right, bottom);
    }
}

} // namespace plannery::TileCorners
