#include "grid/TimeGridPaging.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace plannery::TimeGridPaging {

namespace {

// A fling: faster than this (points per millisecond) counts as meant to move on.
constexpr double kFling = 0.2;
// A fling through a page of several days moves at most this many columns.
constexpr int kMaxFlingColumns = 9;

int clampColumn(double column, const Pager& pager) {
    const int last = std::max(pager.dayTotal - pager.dayCount, 0);
    if (!std::isfinite(column)) {
        return 0;
    }
    return static_cast<int>(std::clamp(column, 0.0, static_cast<double>(last)));
}

} // namespace

int dragTarget(TimeGridSpan span, int perWeek, const Pager& pager, double offset,
               double proposedOffset, double velocity, int dragStartIndex) {
    if (!(pager.columnWidth > 0)) {
        return clampColumn(dragStartIndex, pager);
    }
    const double position = (offset + pager.gutterWidth) / pager.columnWidth;
    const double proposed = (proposedOffset + pager.gutterWidth) / pager.columnWidth;
    const bool forward = velocity > kFling;
    const bool back = velocity < -kFling;
    if (span.kind == TimeGridSpan::Kind::days && span.count >= 2) {
        double target = std::round(position);
        if (forward) {
            target = std::max(std::ceil(position - 0.001), std::round(proposed));
        } else if (back) {
            target = std::min(std::round(proposed), std::floor(position + 0.001));
        }
        target = std::clamp(target, static_cast<double>(dragStartIndex - kMaxFlingColumns),
                            static_cast<double>(dragStartIndex + kMaxFlingColumns));
        return clampColumn(target, pager);
    }
    const int step = span.pagingStep(perWeek);
    const double pages = position / step;
    const double startPage = std::floor(static_cast<double>(dragStartIndex) / step);
    double page = std::round(pages);
    if (forward) {
        page = std::ceil(pages - 0.001);
    } else if (back) {
        page = std::floor(pages + 0.001);
    }
    page = std::clamp(page, startPage - 1, startPage + 1);
    return clampColumn(page * step, pager);
}

TimeGridColumnRange keepRange(TimeGridColumnRange visible, int dayCount, int dayTotal) {
    const int last = std::max(dayTotal - 1, 0);
    return TimeGridColumnRange{.first = std::clamp(visible.first - dayCount, 0, last),
                               .last = std::clamp(visible.last + dayCount, 0, last)};
}

int rebaseWeeks(int index, int dayTotal, int perWeek) {
    if (perWeek < 1 || (index >= dayTotal / 4 && index <= 3 * dayTotal / 4)) {
        return 0;
    }
    // Whole weeks only, so that every column keeps its weekday; truncated towards zero.
    return (index - dayTotal / 2) / perWeek;
}

bool scrollsThrough(TimeGridSpan span, int perWeek, const Pager& pager, int target, int nearest) {
    const int reach = span.pagesByWeek() ? 5 * span.pagingStep(perWeek) : 14;
    return std::abs(target - nearest) <= reach && target >= 3 * pager.dayCount &&
           target <= pager.dayTotal - 3 * pager.dayCount;
}

} // namespace plannery::TimeGridPaging
