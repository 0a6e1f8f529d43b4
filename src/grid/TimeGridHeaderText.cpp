#include "grid/TimeGridHeaderText.h"

#include "model/DateFormats.h"
#include "model/Fmt.h"

namespace plannery::TimeGridHeaderText {

namespace {

// Stand-alone forms: the names appear on their own, not inside a date phrase, which matters for
// languages that inflect month and weekday names.
constexpr const char* kWideWeekday = "cccc";
constexpr const char* kAbbreviatedWeekday = "ccc";
constexpr const char* kNarrowWeekday = "ccccc";
constexpr const char* kAbbreviatedMonth = "LLL";

constexpr double kWideNameWidth = 220;
constexpr double kNarrowNameWidth = 34;

std::string formatted(const char* pattern, Instant day, const Calendar& calendar) {
    return DateFormats::format(pattern, day, calendar.localeId(), calendar.zoneId());
}

} // namespace

std::string weekdayText(Instant day, const Calendar& calendar, double columnWidth,
                        bool monthOnFirstDay) {
    const bool firstOfMonth = calendar.components(day).day == 1;
    if (columnWidth >= sideBySideWidth) {
        std::string text = formatted(
            columnWidth > kWideNameWidth ? kWideWeekday : kAbbreviatedWeekday, day, calendar);
        if (firstOfMonth && monthOnFirstDay) {
            text += " " + formatted(kAbbreviatedMonth, day, calendar);
        }
        return text;
    }
    if (firstOfMonth) {
        return formatted(kAbbreviatedMonth, day, calendar);
    }
    return formatted(columnWidth < kNarrowNameWidth ? kNarrowWeekday : kAbbreviatedWeekday, day,
                     calendar);
}

std::string numberText(Instant day, const Calendar& calendar) {
    return formatted("d", day, calendar);
}

std::string numberAccessibilityLabel(Instant day, const Calendar& calendar, bool isToday) {
    std::string label =
        DateFormats::formatSkeleton("MMMMEEEEd", day, calendar.localeId(), calendar.zoneId());
    if (isToday) {
        label += ", today";
    }
    return label;
}

std::string accessibilityIdentifier(Instant day, const Calendar& calendar) {
    return "header-" + Fmt::dayKey(day, calendar);
}

HeaderColors colors(bool isToday, bool isWeekend) {
    if (isToday) {
        return HeaderColors{
            .weekday = ColorRole::systemRed, .number = ColorRole::white, .showsTodayCircle = true};
    }
    if (isWeekend) {
        return HeaderColors{.weekday = ColorRole::tertiaryLabel,
                            .number = ColorRole::secondaryLabel};
    }
    return HeaderColors{.weekday = ColorRole::secondaryLabel, .number = ColorRole::label};
}

FontSpec weekdayFont(double columnWidth, bool isToday) {
    if (columnWidth >= sideBySideWidth) {
        return FontSpec{.size = 13, .weight = isToday ? FontWeight::semibold : FontWeight::regular};
    }
    return FontSpec{.size = 10.5, .weight = isToday ? FontWeight::semibold : FontWeight::medium};
}

FontSpec numberFont() {
    return FontSpec{.size = 15, .weight = FontWeight::semibold, .monospacedDigits = true};
}

} // namespace plannery::TimeGridHeaderText
