#include "grid/FourWeeksCell.h"

#include "model/DateFormats.h"
#include "model/Fmt.h"

#include <algorithm>
#include <cmath>

namespace plannery::FourWeeksCell {

namespace {

// Titles a screen reader reads out for a day with several events.
constexpr std::size_t kSpokenTitles = 3;

} // namespace

int rowSlots(double cellHeight) {
    const double rows = std::floor((cellHeight - dateRowHeight - bottomSlack) / rowHeight);
    if (!std::isfinite(rows) || rows < 1) {
        return 0;
    }
    // Heights of a window are far below this; the cap only keeps absurd sizes finite.
    return static_cast<int>(std::min(rows, 10000.0));
}

Fit fit(std::size_t eventCount, double cellHeight) {
    const auto rows = static_cast<std::size_t>(rowSlots(cellHeight));
    if (eventCount <= rows) {
        return Fit{.chips = eventCount, .overflow = 0};
    }
    const std::size_t chips = rows > 0 ? rows - 1 : 0;
    return Fit{.chips = chips, .overflow = eventCount - chips};
}

std::string overflowText(std::size_t count) {
    return "+" + std::to_string(count);
}

DateRow dateRow(Instant day, Instant pageStart, Instant now, const Calendar& calendar) {
    const Instant start = calendar.startOfDay(day);
    const Instant today = calendar.startOfDay(now);
    const bool isToday = start == today;
    const bool isPast = start < today;
    const bool showMonth =
        start == calendar.startOfDay(pageStart) || calendar.components(start).day == 1;
    DateRow row{
        .month = showMonth
                     ? DateFormats::format("LLL", start, calendar.localeId(), calendar.zoneId())
                     : std::string{},
        .number = DateFormats::formatSkeleton("d", start, calendar.localeId(), calendar.zoneId()),
        .bold = isToday || showMonth,
        .todayCircle = isToday,
        .numberColor = isToday  ? ColorRole::white
                       : isPast ? ColorRole::secondaryLabel
                                : ColorRole::label,
        .monthDimmed = isPast,
        .isPast = isPast,
    };
    return row;
}

std::string accessibilityText(Instant day, bool isToday, const std::vector<CalEvent>& events,
                              const Calendar& calendar) {
    std::string text = TimeGridHeaderText::numberAccessibilityLabel(day, calendar, isToday);
    if (events.size() == 1) {
        return text + ", 1 event: " + events.front().title.str();
    }
    if (events.size() >= 2) {
        text += ", " + std::to_string(events.size()) + " events: ";
        const std::size_t n = std::min(events.size(), kSpokenTitles);
        for (std::size_t i = 0; i < n; ++i) {
            text += (i > 0 ? ", " : "") + events[i].title.str();
        }
    }
    return text;
}

std::string accessibilityIdentifier(Instant day, const Calendar& calendar) {
    return "fourWeeksDay-" + Fmt::dayKey(day, calendar);
}

ChipStyle chipStyle(const CalEvent& event, Instant now) {
    double opacity = 1;
    if (event.isDeclined) {
        opacity = 0.45;
    } else if (!event.isAllDay && event.end < now) {
        opacity = 0.6;
    }
    return ChipStyle{
        .semibold = event.isAllDay,
        .background = event.isAllDay,
        .strikeThrough = event.isCanceled,
        .opacity = opacity,
    };
}

} // namespace plannery::FourWeeksCell
