#include "agenda/AgendaFlow.h"

#include <algorithm>
#include <limits>
#include <map>

namespace plannery::AgendaFlow {

namespace {

// A column may overshoot by half a point: measured heights are rounded.
constexpr double kTolerance = 0.5;

struct Footer {
    std::size_t index = 0;
    bool optional = false;
};

} // namespace

double listHeight(const std::vector<std::size_t>& items, const std::vector<double>& heights,
                  double spacing) {
    if (items.empty()) {
        return 0;
    }
    double total = spacing * static_cast<double>(items.size() - 1);
    for (const std::size_t item : items) {
        total += heights[item];
    }
    return total;
}

Columns columns(const std::vector<AgendaSlot>& slots, const std::vector<double>& heights,
                double height, double spacing, int columns) {
    std::vector<std::size_t> rows;
    std::map<int, Footer> footers;
    std::map<int, std::size_t> continuations;
    for (std::size_t i = 0; i < slots.size() && i < heights.size(); ++i) {
        switch (slots[i].kind) {
        case AgendaSlot::Kind::row:
            rows.push_back(i);
            break;
        case AgendaSlot::Kind::footer:
            footers[slots[i].k] = Footer{.index = i, .optional = slots[i].optional};
            break;
        case AgendaSlot::Kind::continuation:
            continuations[slots[i].section] = i;
            break;
        }
    }
    const auto isHeader = [&](std::size_t position) { return slots[rows[position]].isHeader; };
    const auto fits = [&](const std::vector<std::size_t>& items) {
        return listHeight(items, heights, spacing) <= height + kTolerance;
    };

    const int count = std::max(columns, 1);
    const int last = columns - 1;
    Columns result;
    result.reserve(static_cast<std::size_t>(count));
    std::size_t cursor = 0;
    for (int c = 0; c < count; ++c) {
        std::vector<std::size_t> column;
        if (c > 0 && cursor < rows.size() && !isHeader(cursor)) {
            const auto found = continuations.find(slots[rows[cursor]].section);
            if (found != continuations.end()) {
                column.push_back(found->second);
            }
        }
        const std::size_t opening = column.size();
        if (c < last) {
            while (cursor < rows.size()) {
                column.push_back(rows[cursor]);
                if (!fits(column)) {
                    column.pop_back();
                    break;
                }
                ++cursor;
            }
            // A heading never ends a column; it opens the next one.
            while (column.size() > opening && slots[column.back()].isHeader) {
                column.pop_back();
                --cursor;
            }
            if (column.size() == opening) {
                column.clear();
            }
            result.push_back(std::move(column));
            continue;
        }

        std::size_t end = rows.size();
        std::vector<std::size_t> chosen;
        while (cursor < end) {
            if (end < rows.size() && isHeader(end - 1)) {
                while (end > cursor && isHeader(end - 1)) {
                    --end;
                }
                if (end <= cursor) {
                    break;
                }
            }
            std::vector<std::size_t> candidate = column;
            candidate.insert(candidate.end(), rows.begin() + static_cast<std::ptrdiff_t>(cursor),
                             rows.begin() + static_cast<std::ptrdiff_t>(end));
            std::vector<std::vector<std::size_t>> choices;
            const auto footer = footers.find(slots[rows[end - 1]].min);
            if (footer == footers.end()) {
                choices.push_back(candidate);
            } else {
                std::vector<std::size_t> withFooter = candidate;
                withFooter.push_back(footer->second.index);
                choices.push_back(std::move(withFooter));
                if (footer->second.optional) {
                    choices.push_back(std::move(candidate));
                }
            }
            const auto fitting = std::find_if(choices.begin(), choices.end(), fits);
            if (fitting != choices.end()) {
                chosen = std::move(*fitting);
                cursor = end;
                break;
            }
            --end;
        }
        result.push_back(std::move(chosen));
    }
    return result;
}

double columnWidth(double width, int columns, double columnSpacing) {
    const int n = std::max(columns, 1);
    return std::max((width - columnSpacing * (n - 1)) / n, 0.0);
}

double fittingHeight(const std::vector<AgendaSlot>& slots, const std::vector<double>& heights,
                     double spacing, int columns) {
    const Columns chosen =
        AgendaFlow::columns(slots, heights, std::numeric_limits<double>::max(), spacing, columns);
    double tallest = 0;
    for (const auto& column : chosen) {
        double total = 0;
        for (const std::size_t item : column) {
            total += heights[item] + spacing;
        }
        tallest = std::max(tallest, total);
    }
    return tallest;
}

std::vector<Placement> place(const Columns& chosen, const std::vector<double>& heights,
                             const Rect& bounds, int columns, double columnSpacing,
                             double spacing) {
    const double width = columnWidth(bounds.width, columns, columnSpacing);
    std::vector<Placement> placements(heights.size());
    for (std::size_t i = 0; i < placements.size(); ++i) {
        placements[i].frame = Rect{.x = bounds.left(),
                                   .y = bounds.bottom() + parkedOffset,
                                   .width = width,
                                   .height = heights[i]};
    }
    for (std::size_t c = 0; c < chosen.size(); ++c) {
        const double x = bounds.left() + static_cast<double>(c) * (width + columnSpacing);
        double y = bounds.top();
        for (const std::size_t item : chosen[c]) {
            if (item >= placements.size()) {
                continue;
            }
            placements[item] =
                Placement{.frame = Rect{.x = x, .y = y, .width = width, .height = heights[item]},
                          .shown = true};
            y += heights[item] + spacing;
        }
    }
    return placements;
}

} // namespace plannery::AgendaFlow
