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

// Calls `each(square, quadrant)` for the shape's rounded corners: the corner's square of the
// picture (device pixels, the radius on a side) and the top-left of its quadrant in the mask.
template <typename Each> void forEachCorner(QImage& picture, const TileShape& shape, Each each) {
    const double scale = picture.devicePixelRatio();
    const int side = static_cast<int>(std::lround(shape.radius * scale));
    if (side < 1 || picture.format() != QImage::Format_ARGB32_Premultiplied) {
        return;
    }
    const Rect& s = shape.rect;
    const int left = static_cast<int>(std::lround(s.left() * scale));
    const int right = static_cast<int>(std::lround(s.right() * scale)) - side;
    const int top = static_cast<int>(std::lround(s.top() * scale));
    const int bottom = static_cast<int>(std::lround(s.bottom() * scale)) - side;
    if (shape.roundTop) {
        each(QRect(left, top, side, side), QPoint(0, 0));
        each(QRect(right, top, side, side), QPoint(side, 0));
    }
    if (shape.roundBottom) {
        each(QRect(left, bottom, side, side), QPoint(0, side));
        each(QRect(right, bottom, side, side), QPoint(side, side));
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
    forEachCorner(picture, shape, [&](QRect square, QPoint quadrant) {
        const QImage& corners = mask(shape.radius, picture.devicePixelRatio());
        forEachRow(picture, square, [&](QRgb* row, int first, int last, int y) {
            const auto* coverage = reinterpret_cast<const QRgb*>(
                                       corners.constScanLine(quadrant.y() + y - square.top())) +
                                   quadrant.x() - square.left();
            for (int x = first; x <= last; ++x) {
                row[x] = byteMul(row[x], qAlpha(coverage[x]));
            }
        });
    });
}

void fillBehind(QImage& picture, const TileShape& shape, const QColor& color) {
    const QRgb behind = qPremultiply(color.rgba());
    forEachCorner(picture, shape, [&](QRect square, QPoint) {
        forEachRow(picture, square, [&](QRgb* row, int first, int last, int) {
            for (int x = first; x <= last; ++x) {
                row[x] += byteMul(behind, 255 - qAlpha(row[x]));
            }
        });
    });
}

} // namespace plannery::TileCorners
