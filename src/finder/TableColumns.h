#pragma once

#include "finder/ReaderText.h"

#include <cstddef>
#include <optional>
#include <vector>

// The columns of a table laid out in text, its cells set apart by gaps under a head that names
// them ("#  Day   Date   Time   Room").
namespace plannery::reader {

// The characters a column takes, counted from the line's start (not its bytes, so that "é" in
// one row does not shift the rows below).
struct Column {
    std::size_t from = 0;
    std::size_t to = 0;
};

// For each line, the column that a table's head above it in its block gives the places of its
// rows ("Room", "Venue", "Court", "Lieu", "Salle", "Ort", "Raum"), if there is one.
std::vector<std::optional<Column>> placeColumns(const std::vector<Line>& lines);

// The token that opens the row's cell under `column`: the first after a gap that starts there.
std::optional<std::size_t> cellIn(const Line& row, const Column& column);
// One past the last token of the row's cell that token `k` opens under `column`: the next gap,
// the next column's start where a long cell left no gap ("Don Valley Commons 1 vs Layout
// Legends"), or the line's end.
std::size_t cellEnd(const Line& row, std::size_t k, const Column& column);

} // namespace plannery::reader
