#pragma once

#include <algorithm>

namespace plannery {

// What one page of the time grid shows: n consecutive days, a whole week, or a week's work days.
// The day mode is days(1), the three-day mode days(3).
struct TimeGridSpan {
    enum class Kind { days, week, workWeek };

    Kind kind = Kind::week;
    int count = 7; // columns per page; meaningful for `days` only

    static constexpr TimeGridSpan days(int n) {
        return TimeGridSpan{.kind = Kind::days, .count = std::max(n, 1)};
    }
    static constexpr TimeGridSpan week() { return TimeGridSpan{.kind = Kind::week, .count = 7}; }
    static constexpr TimeGridSpan workWeek() {
        return TimeGridSpan{.kind = Kind::workWeek, .count = 0};
    }

    // The count only tells `days` spans apart.
    friend constexpr bool operator==(const TimeGridSpan& a, const TimeGridSpan& b) {
        return a.kind == b.kind && (a.kind != Kind::days || a.count == b.count);
    }

    // Pages of a week or a work week start at week starts; a page of n days may start anywhere.
    constexpr bool pagesByWeek() const { return kind != Kind::days; }

    // Columns per page, given how many days of a week are work days.
    constexpr int dayCount(int workDaysPerWeek) const {
        switch (kind) {
        case Kind::days:
            return std::max(count, 1);
        case Kind::week:
            return 7;
        case Kind::workWeek:
            return std::clamp(workDaysPerWeek, 1, 7);
        }
        return 7;
    }

    // Columns that one step forward or back moves. `perWeek` is the number of columns a week
    // has in this grid (7, or the work days).
    constexpr int pagingStep(int perWeek) const {
        return pagesByWeek() ? std::clamp(perWeek, 1, 7) : 1;
    }
};

} // namespace plannery
