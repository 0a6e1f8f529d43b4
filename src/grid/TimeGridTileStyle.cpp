#include "grid/TimeGridTileStyle.h"

#include <algorithm>

namespace plannery::TimeGridTileStyle {

namespace {

constexpr double kMaxRadius = 4;
// Tiles below this height have too little room to give up a point above and below.
constexpr double kMinOutlinedHeight = 6;
// Tiles at least this tall lay their text out from the top; shorter ones centre one line.
constexpr double kTallTile = 20;

Rect inset(const Rect& rect, double by) {
    return Rect{.x = rect.x + by,
                .y = rect.y + by,
                .width = rect.width - 2 * by,
                .height = rect.height - 2 * by};
}

} // namespace

TileShape shape(const Rect& bounds, bool outlined, bool continuesBefore, bool continuesAfter) {
    const Rect rect = outlined && bounds.height > kMinOutlinedHeight ? inset(bounds, 1) : bounds;
    return TileShape{.rect = rect,
                     .radius = std::max(std::min(rect.height / 2, kMaxRadius), 0.0),
                     .roundTop = !continuesBefore,
                     .roundBottom = !continuesAfter};
}

TileShape outlineGap(const Rect& bounds, const TileShape& shape) {
    TileShape gap = shape;
    gap.rect = bounds;
    gap.radius = shape.radius + 1;
    return gap;
}

std::vector<HatchLine> hatchLines(const Rect& shape) {
    std::vector<HatchLine> lines;
    const double h = shape.height;
    if (shape.isEmpty()) {
        return lines;
    }
    // Counting strokes keeps the positions exact; the first starts left of the shape so that
    // its upper end crosses the left edge too.
    for (long k = 0;; ++k) {
        const double x = shape.left() - h + hatchSpacing * static_cast<double>(k);
        if (!(x < shape.right())) {
            break;
        }
        lines.push_back(HatchLine{.from = {x, shape.bottom()}, .to = {x + h, shape.top()}});
    }
    return lines;
}

double hatchAlpha(Appearance appearance) {
    return appearance == Appearance::dark ? 0.3 : 0.22;
}

Rect stripeRect(const Rect& shape, bool compact, std::size_t calendarCount) {
    return Rect{.x = shape.x,
                .y = shape.y,
                .width = TimeGridColors::stripeWidth(compact, calendarCount),
                .height = shape.height};
}

TileShape tentativeOutline(const TileShape& shape) {
    TileShape outline = shape;
    outline.rect = inset(shape.rect, 0.5);
    const double half = shape.rect.height / 2;
    outline.radius = half < kMaxRadius ? std::max(half - 0.5, 0.0) : kMaxRadius - 0.5;
    return outline;
}

FontSpec titleFont(bool compact, double tileHeight) {
    const double size = compact ? 10 : (tileHeight < kTallTile ? 10.5 : 11.5);
    return FontSpec{.size = size, .weight = FontWeight::semibold};
}

FontSpec timeFont(bool compact) {
    return FontSpec{.size = compact ? 9.5 : 10.5, .weight = FontWeight::regular};
}

FontSpec narrowWordFont() {
    return FontSpec{.size = 9.5, .weight = FontWeight::semibold};
}

} // namespace plannery::TimeGridTileStyle
