#include "grid/TimeGridHeaderLayout.h"

#include "grid/TimeGridHeaderText.h"

#include <algorithm>
#include <cmath>

namespace plannery::TimeGridHeaderLayout {

namespace {

constexpr double kNumberMinWidth = 25;
constexpr double kNumberPadding = 10;
constexpr double kLabelGap = 4;

double toPixels(double value, double scale) {
    const double s = scale >= 1 && std::isfinite(scale) ? scale : 1;
    return std::round(value * s) / s;
}

// Half-open like the platform's rectangles: the bottom and right edges belong to the next one.
bool contains(const Rect& rect, Point p) {
    return p.x >= rect.left() && p.x < rect.right() && p.y >= rect.top() && p.y < rect.bottom();
}

} // namespace

HeaderLabelFrames labelFrames(const TimeGridMetrics& metrics, double weekdayWidth,
                              double weekdayHeight, double numberTextWidth, double scale) {
    const double numberWidth =
        std::max(std::ceil(numberTextWidth + kNumberPadding), kNumberMinWidth);
    const double width = metrics.columnWidth;
    if (width >= TimeGridHeaderText::sideBySideWidth) {
        constexpr double numberHeight = 25;
        const double weekdayX = std::max((width - weekdayWidth - kLabelGap - numberWidth) / 2, 2.0);
        const Rect weekday{.x = toPixels(weekdayX, scale),
                           .y = toPixels((metrics.dateRowHeight - weekdayHeight) / 2, scale),
                           .width = weekdayWidth,
                           .height = weekdayHeight};
        const Rect number{.x = toPixels(weekday.right() + kLabelGap, scale),
                          .y = toPixels((metrics.dateRowHeight - numberHeight) / 2, scale),
                          .width = numberWidth,
                          .height = numberHeight};
        return HeaderLabelFrames{.weekday = weekday, .number = number};
    }
    constexpr double numberHeight = 24;
    constexpr double numberTop = 15;
    return HeaderLabelFrames{.weekday = Rect{.x = 1, .y = 2, .width = width - 2, .height = 13},
                             .number = Rect{.x = toPixels((width - numberWidth) / 2, scale),
                                            .y = numberTop,
                                            .width = numberWidth,
                                            .height = numberHeight}};
}

ChipPlan plan(int rows, std::size_t eventCount) {
    if (rows <= 0) {
        return {};
    }
    const auto rowCount = static_cast<std::size_t>(rows);
    if (rowCount >= eventCount) {
        return ChipPlan{.eventChips = eventCount, .overflow = 0};
    }
    // The last row counts itself and every event after it.
    return ChipPlan{.eventChips = rowCount - 1, .overflow = eventCount - rowCount + 1};
}

bool compactChips(double columnWidth) {
    return columnWidth < TimeGridHeaderText::sideBySideWidth;
}

Rect chipFrame(const TimeGridMetrics& metrics, std::size_t row) {
    const double inset = compactChips(metrics.columnWidth) ? 1 : 2;
    return Rect{.x = inset,
                .y = metrics.dateRowHeight +
                     (metrics.chipHeight + metrics.chipGap) * static_cast<double>(row),
                .width = metrics.columnWidth - 2 * inset - 1,
                .height = metrics.chipHeight};
}

std::vector<HeaderChip> layoutChips(const TimeGridMetrics& metrics, std::size_t eventCount) {
    const ChipPlan chips = plan(metrics.allDayRows, eventCount);
    std::vector<HeaderChip> result;
    result.reserve(chips.eventChips + (chips.overflow > 0 ? 1 : 0));
    for (std::size_t i = 0; i < chips.eventChips; ++i) {
        result.push_back(HeaderChip{.eventIndex = i, .frame = chipFrame(metrics, i)});
    }
    if (chips.overflow > 0) {
        result.push_back(
            HeaderChip{.overflow = chips.overflow, .frame = chipFrame(metrics, chips.eventChips)});
    }
    return result;
}

HeaderHit hit(const std::vector<HeaderChip>& chips, double dateRowHeight, Point p) {
    for (const HeaderChip& chip : chips) {
        // A point of slack above and below: the gaps between chips are thin targets.
        const Rect target{.x = chip.frame.x,
                          .y = chip.frame.y - 1,
                          .width = chip.frame.width,
                          .height = chip.frame.height + 2};
        if (contains(target, p)) {
            if (chip.eventIndex) {
                return HeaderHit{.kind = HeaderHit::Kind::event, .eventIndex = *chip.eventIndex};
            }
            return HeaderHit{.kind = HeaderHit::Kind::more};
        }
    }
    if (p.y < dateRowHeight) {
        return HeaderHit{.kind = HeaderHit::Kind::day};
    }
    return {};
}

double chipTextGap(bool compact) {
    return compact ? 4 : 6;
}

double chipOpacity(const CalEvent& event) {
    return event.isDeclined ? 0.45 : 1;
}

} // namespace plannery::TimeGridHeaderLayout
