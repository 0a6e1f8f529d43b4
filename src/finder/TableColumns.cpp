#include "finder/TableColumns.h"

#include "finder/HeadingShapes.h"

#include <string>

namespace plannery::reader {

namespace {

std::size_t characterColumn(const Line& line, std::size_t k) {
    std::size_t column = 0;
    for (std::size_t b = 0; b < line.tokens[k].begin; ++b) {
        // UTF-8: count every byte but the ones that go on a character.
        column += (static_cast<unsigned char>(line.text[b]) & 0xC0U) != 0x80U ? 1 : 0;
    }
    return column;
}

// Whether token k opens a cell: the line's first, or the first after a gap.
bool opensCell(const Line& line, std::size_t k) {
    return !line.tokens[k].isSymbol("|") && (k == 0 || line.tokens[k - 1].isSymbol("|"));
}

std::optional<Column> placeColumn(const Line& head) {
    const auto placeHead = [&head](std::size_t k) {
        return opensCell(head, k) &&
               isWordIn(&head.tokens[k], {"room", "venue", "location", "where", "court", "field",
                                          "ground", "pitch", "rink", "arena", "lieu", "salle",
                                          "terrain", "ort", "raum", "halle", "saal"});
    };
    std::size_t k = 0;
    while (k < head.tokens.size() && !placeHead(k)) {
        ++k;
    }
    // The head's words are read whole only where one of its cells names places.
    if (k == head.tokens.size() || !isColumnHeads(head)) {
        return std::nullopt;
    }
    Column column{.from = characterColumn(head, k), .to = std::string::npos};
    for (std::size_t n = k + 1; n < head.tokens.size(); ++n) {
        if (opensCell(head, n)) {
            column.to = characterColumn(head, n);
            break;
        }
    }
    return column;
}

} // namespace

std::vector<std::optional<Column>> placeColumns(const std::vector<Line>& lines) {
    std::vector<std::optional<Column>> out(lines.size());
    std::optional<Column> current;
    for (std::size_t li = 0; li < lines.size(); ++li) {
        if (li > 0 && lines[li].block != lines[li - 1].block) {
            current.reset();
        }
        if (auto column = placeColumn(lines[li])) {
            current = column;
            continue;
        }
        out[li] = current;
    }
    return out;
}

std::optional<std::size_t> cellIn(const Line& row, const Column& column) {
    for (std::size_t k = 0; k < row.tokens.size(); ++k) {
        if (!opensCell(row, k)) {
            continue;
        }
        // A cell may start a character early or late of its head.
        const std::size_t at = characterColumn(row, k);
        if (at + 1 >= column.from && at <= column.from + 1 && at < column.to) {
            return k;
        }
    }
    return std::nullopt;
}

std::size_t cellEnd(const Line& row, std::size_t k, const Column& column) {
    const std::size_t first = k;
    while (k < row.tokens.size() && !row.tokens[k].isSymbol("|") &&
           (k == first || !row.tokens[k].spaced || characterColumn(row, k) + 1 < column.to)) {
        ++k;
    }
    return k;
}

} // namespace plannery::reader
