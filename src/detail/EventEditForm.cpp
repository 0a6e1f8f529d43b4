#include "detail/EventEditForm.h"

#include <memory>

namespace plannery::EventEdit {

namespace {

// The user's clock with another zone: the calendar the form's times are read in.
std::optional<Calendar> inZone(const std::optional<std::string>& zoneId, const Calendar& user) {
    if (!zoneId || *zoneId == user.zoneId()) {
        return user;
    }
    return Calendar::make(*zoneId, user.localeId(), user.firstWeekday());
}

WallClock wallOf(const DateComponents& parts) {
    return WallClock{.year = parts.year,
                     .month = parts.month,
                     .day = parts.day,
                     .hour = parts.hour,
                     .minute = parts.minute};
}

std::optional<Instant> instantOf(const WallClock& wall, const Calendar& calendar) {
    return calendar.date(wall.year, wall.month, wall.day, wall.hour, wall.minute);
}

std::optional<std::string> textOrNone(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional(text);
}

struct Times {
    std::optional<Instant> start{};
    std::optional<Instant> end{};
    std::optional<std::string> error{};
};

// The instants of the form's times: an all-day event runs from the start of its first day to
// the start of the day after its last.
Times timesOf(const EventEditForm& form, const Calendar& user) {
    const auto zone = form.allDay ? std::optional(user) : inZone(form.timeZone, user);
    if (!zone) {
        return Times{.error = "The time zone “" + form.timeZone.value_or("") +
                              "” is not known on this computer."};
    }
    Times times;
    if (form.allDay) {
        const auto first = zone->date(form.start.year, form.start.month, form.start.day);
        const auto last = zone->date(form.end.year, form.end.month, form.end.day);
        if (first && last) {
            times.start = zone->startOfDay(*first);
            times.end = *last < *times.start ? *last : zone->addDays(*last, 1);
        }
    } else {
        times.start = instantOf(form.start, *zone);
        times.end = instantOf(form.end, *zone);
    }
    if (!times.start || !times.end) {
        times.error = "The times cannot be placed in the time zone.";
    } else if (*times.end < *times.start) {
        times.error = kEndsBeforeStart;
    }
    return times;
}

} // namespace

StoreEvent newEvent(Instant start, std::optional<Instant> end, CalendarHandle calendar,
                    const Calendar& user) {
    auto content = std::make_shared<EventContent>();
    content->timeZone = user.zoneId();
    content->calendar = std::move(calendar);
    constexpr double kHour = 3600;
    return StoreEvent{.content = std::move(content),
                      .startDate = start,
                      .endDate = end.value_or(start.plus(kHour)),
                      .occurrenceDate = std::nullopt,
                      .isDetached = false};
}

EventEditForm formOf(const StoreEvent& event, const Calendar& user) {
    const EventContent& content = *event.content;
    // A zone the computer does not know cannot show clock times; the user's clock stands in.
    // An all-day event that becomes timed takes the user's zone.
    std::optional<std::string> zoneId = content.timeZone;
    if ((zoneId && !Calendar::isKnownZone(*zoneId)) || (!zoneId && content.isAllDay)) {
        zoneId = user.zoneId();
    }
    const auto zone = content.isAllDay ? std::optional(user) : inZone(zoneId, user);
    const Calendar& shown = zone ? *zone : user;

    EventEditForm form{
        .title = content.title.value_or(""),
        .location = content.location.value_or(""),
        .allDay = content.isAllDay,
        .start = wallOf(shown.components(event.startDate)),
        .end = {},
        .timeZone = zoneId,
        .calendarID = content.calendar ? content.calendar->calendarIdentifier : "",
        .url = content.url.value_or(""),
        .notes = content.notes.value_or(""),
        .alarms = content.alarms,
    };
    const Instant end = event.endDate.value_or(event.startDate);
    if (content.isAllDay) {
        // The end of an all-day event is the start of the day after its last.
        const Instant last = end > event.startDate ? end.plus(-1) : event.startDate;
        form.end = wallOf(shown.components(last));
        form.start.hour = form.start.minute = form.end.hour = form.end.minute = 0;
    } else {
        form.end = wallOf(shown.components(end));
    }
    return form;
}

EventEditForm withStart(const EventEditForm& form, const WallClock& start) {
    // Clock times counted on a zone without clock changes, so that 09:00–10:00 stays an hour
    // long on any day.
    thread_local const Calendar counting = *Calendar::make("UTC");
    EventEditForm moved = form;
    moved.start = start;
    const auto from = instantOf(form.start, counting);
    const auto to = instantOf(start, counting);
    const auto end = instantOf(form.end, counting);
    if (from && to && end) {
        moved.end = wallOf(counting.components(end->plus(to->since(*from))));
        if (form.allDay) {
            moved.end.hour = moved.end.minute = 0;
        }
    }
    return moved;
}

std::optional<std::string> problem(const EventEditForm& form, const Calendar& user) {
    return timesOf(form, user).error;
}

Applied apply(const EventEditForm& opened, const EventEditForm& edited, const StoreEvent& base,
              const std::vector<CalendarHandle>& calendars, const Calendar& user) {
    if (!base.content) {
        return Applied{.event = std::nullopt, .error = "The event no longer exists."};
    }
    const Times times = timesOf(edited, user);
    if (times.error) {
        return Applied{.event = std::nullopt, .error = times.error};
    }
    auto content = std::make_shared<EventContent>(*base.content);
    StoreEvent event = base;
    if (edited.title != opened.title) {
        content->title = textOrNone(edited.title);
    }
    if (edited.location != opened.location) {
        content->location = textOrNone(edited.location);
        // The coordinates belonged to the place that was there before.
        content->structuredLocation.reset();
    }
    if (edited.url != opened.url) {
        content->url = textOrNone(edited.url);
    }
    if (edited.notes != opened.notes) {
        content->notes = textOrNone(edited.notes);
    }
    if (edited.alarms != opened.alarms) {
        content->alarms = edited.alarms;
    }
    if (edited.calendarID != opened.calendarID) {
        content->calendar = nullptr;
        for (const auto& calendar : calendars) {
            if (calendar && calendar->calendarIdentifier == edited.calendarID) {
                content->calendar = calendar;
            }
        }
        if (!content->calendar) {
            return Applied{.event = std::nullopt,
                           .error = "The calendar chosen for the event no longer exists."};
        }
    }
    const bool timesChanged = edited.allDay != opened.allDay || edited.start != opened.start ||
                              edited.end != opened.end ||
                              (!edited.allDay && edited.timeZone != opened.timeZone);
    if (timesChanged) {
        content->isAllDay = edited.allDay;
        content->timeZone = edited.allDay ? std::nullopt : edited.timeZone;
        event.startDate = *times.start;
        event.endDate = *times.end;
    }
    event.content = std::move(content);
    return Applied{.event = std::move(event), .error = std::nullopt};
}

} // namespace plannery::EventEdit
