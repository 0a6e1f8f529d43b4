#include "views/TilePatterns.h"

#include "grid/BarberPole.h"
#include "grid/TimeGridColors.h"
#include "grid/TimeGridTileStyle.h"
#include "views/PixelGrid.h"
#include "views/TimeGridEventTile.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <tuple>

namespace plannery::TilePatterns {

namespace {

struct Key {
    std::vector<std::tuple<double, double, double, double>> colors;
    double width = 0;
    double height = 0;
    double scale = 1;

    friend auto operator<=>(const Key&, const Key&) = default;
};

// Enough for every pattern a screen shows; past it the pictures start afresh.
constexpr std::size_t kKept = 64;

// The picture of one period `width` × `height` points, drawn by `draw` in its coordinates (clipped
// to the period), kept under `key`.
std::optional<QImage> period(const QPainter& painter, QPointF topLeft, Key key,
                             const std::function<void(QPainter&)>& draw) {
    const std::optional<double> scale = PixelGrid::wholeScale(painter);
    if (!scale || !PixelGrid::onPixelCorner(painter, topLeft) || !(key.width > 0) ||
        !(key.height > 0) || !PixelGrid::whole(key.width * *scale) ||
        !PixelGrid::whole(key.height * *scale)) {
        return std::nullopt;
    }
    key.scale = *scale;
    thread_local std::map<Key, QImage> kept;
    if (const auto it = kept.find(key); it != kept.end()) {
        return it->second;
    }
    QImage image(static_cast<int>(std::round(key.width * *scale)),
                 static_cast<int>(std::round(key.height * *scale)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(*scale);
    image.fill(Qt::transparent);
    {
        QPainter pattern(&image);
        pattern.setRenderHints(painter.renderHints());
        pattern.setClipRect(QRectF(0, 0, key.width, key.height));
        draw(pattern);
    }
    if (kept.size() >= kKept) {
        kept.clear();
    }
    return kept.emplace(std::move(key), image).first->second;
}

} // namespace

std::optional<QImage> stripe(const QPainter& painter, const std::vector<CalendarRef>& calendars,
                             QPointF topLeft, double width) {
    const std::size_t count = std::min(calendars.size(), TimeGridColors::maxStripeColors);
    if (count < 2) {
        return std::nullopt;
    }
    const double height = static_cast<double>(count) * BarberPole::standardBand;
    Key key{.colors = {}, .width = width, .height = height};
    for (std::size_t i = 0; i < count; ++i) {
        const RGB& rgb = calendars[i].rgb;
        key.colors.emplace_back(rgb.r, rgb.g, rgb.b, 1.0);
    }
    return period(painter, topLeft, std::move(key), [&](QPainter& pattern) {
        // A stripe starting one period above the picture has the colours of the bands of one
        // starting at its top, shifted by whole periods, and bands crossing both edges.
        TimeGridEventTile::drawStripe(pattern, calendars, QRectF(0, -height, width, 3 * height));
    });
}

std::optional<QImage> hatch(const QPainter& painter, const QColor& color, QPointF topLeft) {
    const double side = TimeGridTileStyle::hatchSpacing;
    Key key{.colors = {{color.redF(), color.greenF(), color.blueF(), color.alphaF()}},
            .width = side,
            .height = side};
    return period(painter, topLeft, std::move(key), [&](QPainter& pattern) {
        // The strokes of a shape one period up and left of the picture, three periods square,
        // cross the picture as those of a shape at its corner do, and cover it edge to edge.
        QPen pen(color);
        pen.setWidthF(TimeGridTileStyle::hatchWidth);
        QPainterPath strokes;
        for (const HatchLine& line : TimeGridTileStyle::hatchLines(
                 Rect{.x = -side, .y = -side, .width = 3 * side, .height = 3 * side})) {
            strokes.moveTo(line.from.x, line.from.y);
            strokes.lineTo(line.to.x, line.to.y);
        }
        pattern.strokePath(strokes, pen);
    });
}

} // namespace plannery::TilePatterns
