#include "platform/IcsFields.h"

#include "platform/IcsProperties.h"
#include "platform/IcsText.h"
#include "platform/IcsZones.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plannery::ics::edit {

namespace {

constexpr const char* kStructuredLocation = "X-APPLE-STRUCTURED-LOCATION";

void setText(icalcomponent* event, icalproperty_kind kind, const std::optional<std::string>& text) {
    if (!text || text->empty()) {
        removeAll(event, kind);
        return;
    }
    icalvalue* value = kind == ICAL_URL_PROPERTY ? icalvalue_new_uri(text->c_str())
                                                 : icalvalue_new_text(text->c_str());
    if (auto* property = icalcomponent_get_first_property(event, kind)) {
        icalproperty_set_value(property, value);
    } else {
        auto* fresh = icalproperty_new(kind);
        icalproperty_set_value(fresh, value);
        icalcomponent_add_property(event, fresh);
    }
}

bool removeStructuredLocations(icalcomponent* event) {
    std::vector<icalproperty*> drop;
    for (auto* x = icalcomponent_get_first_property(event, ICAL_X_PROPERTY); x;
         x = icalcomponent_get_next_property(event, ICAL_X_PROPERTY)) {
        const char* name = icalproperty_get_x_name(x);
        if (name && std::strcmp(name, kStructuredLocation) == 0) {
            drop.push_back(x);
        }
    }
    for (auto* x : drop) {
        icalcomponent_remove_property(event, x);
        icalproperty_free(x);
    }
    return !drop.empty();
}

std::optional<GeoLocation> geoIn(const EventContent& content) {
    return content.structuredLocation ? content.structuredLocation->geoLocation : std::nullopt;
}

icalproperty_status statusOf(EventStatus status) {
    switch (status) {
    case EventStatus::confirmed:
        return ICAL_STATUS_CONFIRMED;
    case EventStatus::tentative:
        return ICAL_STATUS_TENTATIVE;
    case EventStatus::canceled:
        return ICAL_STATUS_CANCELLED;
    case EventStatus::none:
        break;
    }
    return ICAL_STATUS_NONE;
}

// What the reader makes of one VALARM.
std::optional<Alarm> alarmOf(icalcomponent* valarm) {
    icalcomponent* holder = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_component(holder, icalcomponent_new_clone(valarm));
    EventContent content;
    readAlarms(holder, content);
    icalcomponent_free(holder);
    return content.alarms.empty() ? std::nullopt : std::optional(content.alarms.front());
}

icalcomponent* newAlarm(const Alarm& alarm, const std::optional<std::string>& title) {
    icalcomponent* valarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(valarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    const std::string description = title && !title->empty() ? *title : "Reminder";
    icalcomponent_add_property(valarm, icalproperty_new_description(description.c_str()));
    icaltriggertype trigger{.time = icaltime_null_time(),
                            .duration = icaldurationtype_null_duration()};
    if (alarm.absoluteDate) {
        trigger.time = utcTime(*alarm.absoluteDate);
    } else {
        trigger.duration = icaldurationtype_from_int(int(std::lround(alarm.relativeOffset)));
    }
    icalcomponent_add_property(valarm, icalproperty_new_trigger(trigger));
    return valarm;
}

// How long the edited occurrence lasts: whole days for an all-day event, else seconds. Without
// an end the event keeps the length it was read with.
struct Length {
    int days = 1;
    double seconds = 0;
};

Length lengthOf(const Frame& frame, const StoreEvent& event, const Document& document) {
    Length length;
    if (!event.endDate) {
        return length;
    }
    if (frame.isDate) {
        const Frame date{.isDate = true};
        length.days = int((wallSeconds(wallIn(date, *event.endDate, document)) -
                           wallSeconds(wallIn(date, event.startDate, document))) /
                          kDaySeconds);
        length.days = std::max(length.days, 1);
    } else {
        length.seconds = std::max(0.0, event.endDate->since(event.startDate));
    }
    return length;
}

void moveTime(icalproperty* time, const Document& document, const Frame& from, const Frame& to,
              std::int64_t delta) {
    const auto when = instantOf(time, document);
    if (!when || frameOf(time).isDate != from.isDate) {
        return; // a DATE that excludes a whole day of a timed series stays as it is
    }
    const WallTime wall = wallIn(from, *when, document);
    writeTime(time, to, wallFromSeconds(wallSeconds(wall) + delta, to.isDate));
}

void moveUntil(icalproperty* rrule, const Document& document, const Frame& from, const Frame& to,
               std::int64_t delta) {
    auto rule = icalproperty_get_rrule(rrule);
    if (icaltime_is_null_time(rule.until)) {
        return;
    }
    const WallTime wall{.year = rule.until.year,
                        .month = rule.until.month,
                        .day = rule.until.day,
                        .hour = rule.until.is_date ? 0 : rule.until.hour,
                        .minute = rule.until.is_date ? 0 : rule.until.minute,
                        .second = rule.until.is_date ? 0 : std::min(rule.until.second, 59),
                        .isDate = rule.until.is_date != 0};
    Frame untilFrame = from;
    untilFrame.isDate = wall.isDate;
    if (icaltime_is_utc(rule.until)) {
        untilFrame = Frame{.zone = {.kind = ZoneRef::Kind::utc, .id = {}}};
    }
    const auto end = instantIn(untilFrame, wall, document);
    if (!end) {
        return;
    }
    const WallTime moved =
        wallFromSeconds(wallSeconds(wallIn(from, *end, document)) + delta, to.isDate);
    if (to.isDate || to.zone.kind == ZoneRef::Kind::floating) {
        rule.until = toIcal(moved);
    } else if (auto instant = instantIn(to, moved, document)) {
        rule.until = utcTime(*instant);
    }
    setRuleText(rrule, withRulePart(ruleTextOf(rrule), "UNTIL", untilText(rule.until)));
}

void shiftSeries(Document& document, const Frame& from, const Frame& to, std::int64_t delta) {
    for (auto kind : {ICAL_EXDATE_PROPERTY, ICAL_RDATE_PROPERTY}) {
        for (auto* p = icalcomponent_get_first_property(document.master, kind); p;
             p = icalcomponent_get_next_property(document.master, kind)) {
            icalvalue* value = icalproperty_get_value(p);
            if (value && icalvalue_isa(value) != ICAL_PERIOD_VALUE) {
                moveTime(p, document, from, to, delta);
            }
        }
    }
    for (auto* p = icalcomponent_get_first_property(document.master, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(document.master, ICAL_RRULE_PROPERTY)) {
        if (icalproperty_get_value(p)) {
            moveUntil(p, document, from, to, delta);
        }
    }
    for (auto* event : document.overrides) {
        if (auto* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY)) {
            moveTime(id, document, from, to, delta);
        }
    }
}

} // namespace

bool writeFields(icalcomponent* event, const EventContent& before, const EventContent& after) {
    bool changed = false;
    auto text = [&](icalproperty_kind kind, const std::optional<std::string>& was,
                    const std::optional<std::string>& is) {
        if (was.value_or("") != is.value_or("")) {
            setText(event, kind, is);
            changed = true;
        }
    };
    text(ICAL_SUMMARY_PROPERTY, before.title, after.title);
    text(ICAL_LOCATION_PROPERTY, before.location, after.location);
    text(ICAL_DESCRIPTION_PROPERTY, before.notes, after.notes);
    text(ICAL_URL_PROPERTY, before.url, after.url);
    if (before.status != after.status) {
        removeAll(event, ICAL_STATUS_PROPERTY);
        if (after.status != EventStatus::none) {
            icalcomponent_add_property(event, icalproperty_new_status(statusOf(after.status)));
        }
        changed = true;
    }
    const auto geo = geoIn(after);
    const bool geoChanged = geoIn(before) != geo;
    // A structured location names one place: a new place or new coordinates make it stale.
    bool dropped = false;
    if (geoChanged || before.location.value_or("") != after.location.value_or("")) {
        dropped = removeStructuredLocations(event);
        changed = changed || dropped;
    }
    if (geoChanged ||
        (dropped && geo && !icalcomponent_get_first_property(event, ICAL_GEO_PROPERTY))) {
        removeAll(event, ICAL_GEO_PROPERTY);
        if (geo) {
            icalcomponent_add_property(event, icalproperty_new_geo(icalgeotype{
                                                  .lat = geo->latitude, .lon = geo->longitude}));
        }
        changed = true;
    }
    return changed;
}

bool writeAlarms(icalcomponent* event, const std::vector<Alarm>& before,
                 const std::vector<Alarm>& after, const std::optional<std::string>& title) {
    if (before == after) {
        return false;
    }
    std::vector<Alarm> missing = after;
    std::vector<icalcomponent*> drop;
    for (auto* valarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT); valarm;
         valarm = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
        const auto alarm = alarmOf(valarm);
        if (!alarm) {
            continue; // not one the program can show; left as it is
        }
        if (auto kept = std::find(missing.begin(), missing.end(), *alarm); kept != missing.end()) {
            missing.erase(kept);
        } else {
            drop.push_back(valarm);
        }
    }
    for (auto* valarm : drop) {
        icalcomponent_remove_component(event, valarm);
        icalcomponent_free(valarm);
    }
    for (const auto& alarm : missing) {
        icalcomponent_add_component(event, newAlarm(alarm, title));
    }
    return !drop.empty() || !missing.empty();
}

WallTime endWall(const Frame& frame, const WallTime& start, const StoreEvent& event,
                 const Document& document) {
    const Length length = lengthOf(frame, event, document);
    if (frame.isDate) {
        return wallFromSeconds(wallSeconds(start) + length.days * kDaySeconds, /*isDate=*/true);
    }
    const auto instant = instantIn(frame, start, document);
    return instant ? wallIn(frame, instant->plus(length.seconds), document) : start;
}

WallTime shiftedEnd(const Document& document, icalcomponent* master, Instant start,
                    const Frame& endFrame) {
    auto* dtstart = icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY);
    auto* dtend = icalcomponent_get_first_property(master, ICAL_DTEND_PROPERTY);
    const auto from = wallOf(dtstart);
    const auto to = wallOf(dtend);
    if (endFrame.isDate && from && to) {
        const auto days =
            std::max<std::int64_t>(1, (wallSeconds(*to) - wallSeconds(*from)) / kDaySeconds);
        return wallFromSeconds(wallSeconds(wallIn(endFrame, start, document)) + days * kDaySeconds,
                               /*isDate=*/true);
    }
    const auto first = instantOf(dtstart, document);
    const auto last = instantOf(dtend, document);
    const double seconds = first && last ? std::max(0.0, last->since(*first)) : 0.0;
    return wallIn(endFrame, start.plus(seconds), document);
}

bool writeTimes(Document& document, icalcomponent* target, const StoreEvent& before,
                const StoreEvent& after, bool wholeSeries) {
    const bool sameFrame =
        before.isAllDay() == after.isAllDay() && before.timeZone() == after.timeZone();
    if (sameFrame && before.startDate == after.startDate && before.endDate == after.endDate) {
        return false;
    }
    auto* dtstart = icalcomponent_get_first_property(target, ICAL_DTSTART_PROPERTY);
    const auto oldStart = wallOf(dtstart);
    if (!oldStart) {
        return false;
    }
    const Frame oldFrame = frameOf(dtstart);
    const Frame newFrame = sameFrame
                               ? oldFrame
                               : frameFor(document.calendars, icalcomponent_get_parent(target),
                                          *after.content, after.startDate);
    WallTime newStart = wallIn(newFrame, after.startDate, document);
    if (wholeSeries) {
        // Wall-clock arithmetic: moving a weekly 10:00 to 11:00 keeps 11:00 on both sides of
        // a clock change.
        const std::int64_t delta =
            wallSeconds(newStart) - wallSeconds(wallIn(oldFrame, before.startDate, document));
        newStart = wallFromSeconds(wallSeconds(*oldStart) + delta, newFrame.isDate);
        if (delta != 0 || !(newFrame == oldFrame)) {
            shiftSeries(document, oldFrame, newFrame, delta);
        }
    }
    bool changed = false;
    if (!(newStart == *oldStart) || !(newFrame == oldFrame)) {
        writeTime(dtstart, newFrame, newStart);
        changed = true;
    }
    const StoreEvent& sized = after.endDate ? after : before;
    const Length length = lengthOf(newFrame, sized, document);
    if (!after.endDate && !before.endDate) {
        return changed;
    }
    const auto startInstant = instantIn(newFrame, newStart, document);
    if (!startInstant) {
        return changed;
    }
    if (auto* dtend = icalcomponent_get_first_property(target, ICAL_DTEND_PROPERTY)) {
        const Frame endFrame = sameFrame ? frameOf(dtend) : newFrame;
        const WallTime end =
            newFrame.isDate
                ? wallFromSeconds(wallSeconds(newStart) + length.days * kDaySeconds, true)
                : wallIn(endFrame, startInstant->plus(length.seconds), document);
        if (!(wallOf(dtend) == std::optional(end)) || !(frameOf(dtend) == endFrame)) {
            writeTime(dtend, endFrame, end);
            changed = true;
        }
    } else if (auto* duration = icalcomponent_get_first_property(target, ICAL_DURATION_PROPERTY)) {
        icaldurationtype value = icaldurationtype_null_duration();
        if (newFrame.isDate) {
            value.days = unsigned(length.days);
        } else {
            value = icaldurationtype_from_int(int(std::lround(length.seconds)));
        }
        const bool same = icalproperty_get_value(duration) &&
                          icaldurationtype_as_int(icalproperty_get_duration(duration)) ==
                              icaldurationtype_as_int(value);
        if (!same) {
            icalproperty_set_duration(duration, value);
            changed = true;
        }
    } else if (newFrame.isDate ? length.days != 1 : length.seconds != 0) {
        auto* dtend = icalproperty_new_dtend(icaltime_null_time());
        writeTime(dtend, newFrame, endWall(newFrame, newStart, sized, document));
        icalcomponent_add_property(target, dtend);
        changed = true;
    }
    return changed;
}

icalrecurrencetype recurrenceOf(const RecurrenceRule& rule, const Frame& frame,
                                const Document& document) {
    icalrecurrencetype result;
    icalrecurrencetype_clear(&result);
    switch (rule.frequency) {
    case RecurrenceFrequency::daily:
        result.freq = ICAL_DAILY_RECURRENCE;
        break;
    case RecurrenceFrequency::weekly:
        result.freq = ICAL_WEEKLY_RECURRENCE;
        break;
    case RecurrenceFrequency::monthly:
        result.freq = ICAL_MONTHLY_RECURRENCE;
        break;
    case RecurrenceFrequency::yearly:
        result.freq = ICAL_YEARLY_RECURRENCE;
        break;
    }
    // The parser's form holds no more; the editor offers far less.
    result.interval = short(std::clamp(rule.interval, 1, 32767));
    auto fill = [](short* into, int size, const std::vector<int>& values) {
        int i = 0;
        for (int value : values) {
            if (i + 1 < size) {
                into[i++] = short(value);
            }
        }
    };
    std::vector<int> days;
    for (const auto& day : rule.daysOfTheWeek) {
        if (day.dayOfTheWeek >= 1 && day.dayOfTheWeek <= 7) {
            // The parser's encoding: weekday + 8 × |position|, negative for counting back.
            const int encoded = day.dayOfTheWeek + 8 * std::abs(day.weekNumber);
            days.push_back(day.weekNumber < 0 ? -encoded : encoded);
        }
    }
    fill(result.by_day, ICAL_BY_DAY_SIZE, days);
    fill(result.by_month_day, ICAL_BY_MONTHDAY_SIZE, rule.daysOfTheMonth);
    fill(result.by_month, ICAL_BY_MONTH_SIZE, rule.monthsOfTheYear);
    fill(result.by_set_pos, ICAL_BY_SETPOS_SIZE, rule.setPositions);
    if (rule.occurrenceCount > 0) {
        result.count = rule.occurrenceCount;
    } else if (rule.endDate) {
        if (frame.isDate || frame.zone.kind == ZoneRef::Kind::floating) {
            result.until = toIcal(wallIn(frame, *rule.endDate, document));
        } else {
            result.until = utcTime(*rule.endDate);
        }
    }
    return result;
}

} // namespace plannery::ics::edit
