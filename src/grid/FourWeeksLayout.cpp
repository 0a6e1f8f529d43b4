#include "grid/FourWeeksLayout.h"

#include "grid/FourWeeksPages.h"

#include <algorithm>
#include <cmath>

namespace plannery::FourWeeksLayout {

namespace {

double rowHeight(double height) {
    return (height - gridTop) / FourWeeksPages::weeksPerPage;
}

bool usable(double width, double height) {
    return std::isfinite(width) && std::isfinite(height) && width > 0 && height > gridTop;
}

} // namespace

Rect cellRect(Cell cell, double width, double height) {
    if (!usable(width, height) || cell.row < 0 || cell.row >= FourWeeksPages::weeksPerPage ||
        cell.column < 0 || cell.column >= 7) {
        return Rect{};
    }
    const double columnWidth = width / 7;
    const double row = rowHeight(height);
    const double right = cell.column < 6 ? hairline : 0;
    return Rect{.x = cell.column * columnWidth,
                .y = gridTop + cell.row * row,
                .width = std::max(columnWidth - right, 0.0),
                .height = std::max(row - hairline, 0.0)};
}

Rect headerRect(int column, double width) {
    if (!(width > 0) || !std::isfinite(width) || column < 0 || column >= 7) {
        return Rect{};
    }
    const double columnWidth = width / 7;
    return Rect{.x = column * columnWidth, .y = 0, .width = columnWidth, .height = headerHeight};
}

std::optional<Cell> cellAt(Point p, double width, double height) {
    if (!usable(width, height) || !(p.x >= 0) || !(p.x < width) || !(p.y >= gridTop) ||
        !(p.y < height)) {
        return std::nullopt;
    }
    const int column = std::min(static_cast<int>(p.x / (width / 7)), 6);
    const int row = std::min(static_cast<int>((p.y - gridTop) / rowHeight(height)),
                             FourWeeksPages::weeksPerPage - 1);
    return Cell{.row = row, .column = column};
}

} // namespace plannery::FourWeeksLayout
