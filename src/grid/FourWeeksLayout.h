#pragma once

#include "grid/Geometry.h"

#include <optional>

// Where the four-weeks view puts its parts in a widget of a given size, in points: the weekday
// header, the divider below it and the grid of four rows of seven equal cells, each row and each
// cell but the last followed by a hairline.
namespace plannery::FourWeeksLayout {

// The header: 4 points above and below one line of weekday initials.
inline constexpr double headerHeight = 21;
inline constexpr double hairline = 1;
inline constexpr double gridTop = headerHeight + hairline;

struct Cell {
    int row = 0;
    int column = 0;

    friend bool operator==(const Cell&, const Cell&) = default;
};

// The rectangle of a cell on a page whose left edge is at x = 0, without its dividers. Empty
// when the size leaves no room.
Rect cellRect(Cell cell, double width, double height);
// The rectangle of the header label of the column.
Rect headerRect(int column, double width);
// The cell under a point of the page (dividers belong to the cell before them); none above the
// grid or outside the page.
std::optional<Cell> cellAt(Point p, double width, double height);

} // namespace plannery::FourWeeksLayout
