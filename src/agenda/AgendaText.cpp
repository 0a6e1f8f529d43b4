#include "agenda/AgendaText.h"

#include "grid/TimeGridText.h"
#include "model/DateFormats.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace plannery::AgendaText {

namespace {

bool sameDay(Instant a, Instant b, const Calendar& calendar) {
    return calendar.startOfDay(a) == calendar.startOfDay(b);
}

std::string upper(const std::string& text, const std::string& localeId) {
    icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(text);
    unicode.toUpper(icu::Locale(localeId.c_str()));
    std::string result;
    unicode.toUTF8String(result);
    return result;
}

} // namespace

std::string monthHeading(Instant day, const Calendar& calendar) {
    return DateFormats::formatSkeleton("yMMMM", day, calendar.localeId(), calendar.zoneId());
}

std::string badgeWeekday(Instant day, const Calendar& calendar) {
    return upper(DateFormats::format("ccc", day, calendar.localeId(), calendar.zoneId()),
                 calendar.localeId());
}

std::string timeText(const CalEvent& event, Instant day, const Calendar& calendar) {
    if (event.isAllDay) {
        return allDay;
    }
    const bool startsOnDay = sameDay(event.start, day, calendar);
    const bool endsOnDay = sameDay(event.lastInstant(), day, calendar);
    if (startsOnDay && endsOnDay) {
        return TimeGridText::shortTime(event.start, calendar) + " \u2013 " +
               TimeGridText::shortTime(event.end, calendar);
    }
    if (startsOnDay) {
        return TimeGridText::shortTime(event.start, calendar) + " \u2192";
    }
    if (endsOnDay) {
        return "\u2192 " + TimeGridText::shortTime(event.end, calendar);
    }
    return allDay;
}

} // namespace plannery::AgendaText
