#pragma once

#include "agenda/AgendaPlan.h"
#include "grid/Geometry.h"

#include <cstddef>
#include <optional>
#include <vector>

// Which candidate rows of a plan a widget list shows, and where. Plain rows fill the columns
// before the last greedily; the last column is fitted so that it ends on an event followed by
// the footer that event needs, and no column ends on a day heading.
namespace plannery::AgendaFlow {

// Item indices per column, in order.
using Columns = std::vector<std::vector<std::size_t>>;

// `heights[i]` is the measured height of item i, `height` the column height, `spacing` the gap
// between rows. Exactly max(columns, 1) columns come back; some may be empty.
Columns columns(const std::vector<AgendaSlot>& slots, const std::vector<double>& heights,
                double height, double spacing, int columns);

// The items' heights plus the spacing between them.
double listHeight(const std::vector<std::size_t>& items, const std::vector<double>& heights,
                  double spacing);

// The width of each of `columns` columns in `width`, never negative.
double columnWidth(double width, int columns, double columnSpacing);
// The width a list takes when none is proposed.
inline constexpr double defaultWidth = 200;
// The height a list takes when none is proposed: its tallest column with nothing cut, each row
// counted with the spacing after it.
double fittingHeight(const std::vector<AgendaSlot>& slots, const std::vector<double>& heights,
                     double spacing, int columns);

// Where each item goes: chosen ones top-down in their column, the rest parked 10,000 points
// below the bounds, out of sight but still laid out.
struct Placement {
    Rect frame{};
    bool shown = false;

    friend bool operator==(const Placement&, const Placement&) = default;
};
inline constexpr double parkedOffset = 10000;
std::vector<Placement> place(const Columns& chosen, const std::vector<double>& heights,
                             const Rect& bounds, int columns, double columnSpacing, double spacing);

} // namespace plannery::AgendaFlow
