#pragma once

#include "grid/Geometry.h"
#include "grid/TimeGridColors.h"
#include "grid/TimeGridHeaderText.h"

#include <cstddef>
#include <vector>

namespace plannery {

// The shape an event tile fills and its rounding.
struct TileShape {
    Rect rect{};
    double radius = 0;
    bool roundTop = true;    // the event starts in this column
    bool roundBottom = true; // the event ends in this column

    friend bool operator==(const TileShape&, const TileShape&) = default;
};

// One hatch stroke of a tentative event.
struct HatchLine {
    Point from{};
    Point to{};

    friend bool operator==(const HatchLine&, const HatchLine&) = default;
};

// How an event tile is drawn, as values: the views stroke and fill what these give.
namespace TimeGridTileStyle {

// The shape inside a tile's bounds (origin at the tile's top-left). Outlined (cascaded) tiles
// taller than 6 points keep a point of their bounds free on every side.
TileShape shape(const Rect& bounds, bool outlined, bool continuesBefore, bool continuesAfter);
// What an outlined tile first fills in the system background: the whole bounds with the same
// corners and a radius one larger, so a gap separates it from the tile beneath.
TileShape outlineGap(const Rect& bounds, const TileShape& shape);

// A declined event is drawn faded, as one layer over a background fill.
inline constexpr double declinedOpacity = 0.45;

// The diagonal strokes of a tentative event across its shape (the painter clips to it).
std::vector<HatchLine> hatchLines(const Rect& shape);
inline constexpr double hatchWidth = 1.5;
inline constexpr double hatchSpacing = 6;
double hatchAlpha(Appearance appearance);

// The colour stripe along the shape's left edge, full height.
Rect stripeRect(const Rect& shape, bool compact, std::size_t calendarCount);

// A tentative event's outline, stroked 1 point wide in the event colour at alpha 0.8.
TileShape tentativeOutline(const TileShape& shape);
inline constexpr double outlineWidth = 1;
inline constexpr double outlineAlpha = 0.8;

// Fonts of the tile's text. The title shrinks on short and compact tiles; time and location use
// the regular weight at alpha 0.8 of the text colour; words of very narrow tiles go one per line.
FontSpec titleFont(bool compact, double tileHeight);
FontSpec timeFont(bool compact);
FontSpec narrowWordFont();
inline constexpr double secondaryTextAlpha = 0.8;

} // namespace TimeGridTileStyle

} // namespace plannery
