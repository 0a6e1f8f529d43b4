#include "agenda/WidgetFaceText.h"

#include "agenda/WidgetTime.h"
#include "grid/TimeGridText.h"
#include "model/DateFormats.h"

#include <algorithm>

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace plannery::WidgetFaceText {

namespace {

std::string format(std::string_view pattern, Instant t, const Calendar& calendar) {
    return DateFormats::format(pattern, t, calendar.localeId(), calendar.zoneId());
}

std::string skeleton(std::string_view pattern, Instant t, const Calendar& calendar) {
    return DateFormats::formatSkeleton(pattern, t, calendar.localeId(), calendar.zoneId());
}

std::string upper(const std::string& text, const Calendar& calendar) {
    icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(text);
    unicode.toUpper(icu::Locale(calendar.localeId().c_str()));
    std::string result;
    unicode.toUTF8String(result);
    return result;
}

// The first three characters (code points) of a text.
std::string firstThree(const std::string& text) {
    const icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(text);
    const int32_t end = unicode.moveIndex32(0, 3);
    std::string result;
    unicode.tempSubString(0, end).toUTF8String(result);
    return result;
}

// The first `count` of the agenda's next timed events, without copying the rest.
std::vector<CalEvent> firstTimed(const WidgetAgenda& agenda, std::size_t count) {
    std::vector<CalEvent> events;
    const auto take = [&](const std::vector<CalEvent>& timed) {
        for (std::size_t i = 0; i < timed.size() && events.size() < count; ++i) {
            events.push_back(timed[i]);
        }
    };
    take(agenda.today().timed);
    for (std::size_t i = 0; i < agenda.upcoming().size() && events.size() < count; ++i) {
        take(agenda.upcoming()[i].timed);
    }
    return events;
}

bool isRunning(const CalEvent& event, Instant now) {
    return !event.isAllDay && event.start <= now && now < event.end;
}

} // namespace

std::array<Heading, 3> todayHeadings(Instant now, const Calendar& calendar) {
    const std::string monthDay = upper(skeleton("MMMd", now, calendar), calendar);
    const std::string shortDay = upper(format("EEE", now, calendar), calendar);
    return {Heading{upper(format("EEEE", now, calendar), calendar), monthDay},
            Heading{shortDay, monthDay}, Heading{shortDay, skeleton("d", now, calendar)}};
}

Heading largeHeading(Instant now, const Calendar& calendar) {
    return Heading{format("EEEE", now, calendar), skeleton("MMMMd", now, calendar)};
}

std::string rowTime(const AgendaRow& row, bool detailed, const WidgetAgenda& agenda) {
    if (detailed) {
        return WidgetTime::range(row.event.start, row.event.end, agenda.calendar());
    }
    if (row.ongoing) {
        return agenda.words().nowInList;
    }
    return WidgetTime::shortTime(row.event.start, agenda.calendar());
}

std::vector<CalEvent> rectangularEvents(const WidgetAgenda& agenda) {
    return firstTimed(agenda, rectangularCount);
}

Heading rectangularEmpty(const WidgetAgenda& agenda) {
    const WidgetWords& words = agenda.words();
    if (!agenda.today().allDay.empty()) {
        return Heading{agenda.today().allDay.front().title, words.allDay};
    }
    return Heading{words.noUpcoming, words.weeksFree};
}

std::optional<std::string> dayPrefix(const CalEvent& event, const WidgetAgenda& agenda) {
    const Calendar& calendar = agenda.calendar();
    const Instant today = agenda.today().day;
    const Instant day = calendar.startOfDay(event.start);
    if (event.start < agenda.now() || day == today) {
        return std::nullopt;
    }
    if (calendar.addDays(today, 1) == day) {
        return agenda.words().tomorrow;
    }
    return format("EEE", event.start, calendar);
}

std::string detailLine(const CalEvent& event, const WidgetAgenda& agenda) {
    const Calendar& calendar = agenda.calendar();
    std::string line;
    if (isRunning(event, agenda.now())) {
        line =
            WidgetWords::fill(agenda.words().until, TimeGridText::shortTime(event.end, calendar));
    } else if (const auto prefix = dayPrefix(event, agenda)) {
        line = *prefix + " " + TimeGridText::shortTime(event.start, calendar);
    } else {
        line = WidgetTime::range(event.start, event.end, calendar);
    }
    if (event.location && !event.location->empty()) {
        line += " \u00B7 " + event.location->str();
    }
    return line;
}

std::string furtherTime(const CalEvent& event, const WidgetAgenda& agenda) {
    const std::string time = WidgetTime::shortTime(event.start, agenda.calendar());
    if (const auto prefix = dayPrefix(event, agenda)) {
        return firstThree(*prefix) + " " + time;
    }
    return time;
}

Instant rectangularTarget(const WidgetAgenda& agenda) {
    const std::vector<CalEvent> events = firstTimed(agenda, 1);
    if (events.empty()) {
        return agenda.today().day;
    }
    return agenda.calendar().startOfDay(std::max(agenda.now(), events.front().start));
}

std::string inlineText(const WidgetAgenda& agenda) {
    const std::vector<CalEvent> events = firstTimed(agenda, 1);
    if (events.empty()) {
        return agenda.words().noUpcoming;
    }
    const CalEvent& first = events.front();
    const Calendar& calendar = agenda.calendar();
    std::string time;
    if (isRunning(first, agenda.now())) {
        time = agenda.words().nowInline;
    } else {
        time = TimeGridText::shortTime(first.start, calendar);
        if (calendar.startOfDay(first.start) > agenda.today().day) {
            time = format("EEE", first.start, calendar) + " " + time;
        }
    }
    return time + " " + first.title.str();
}

} // namespace plannery::WidgetFaceText
