#include "platform/IcsEdit.h"

#include "platform/IcsEditDocument.h"
#include "platform/IcsFields.h"
#include "platform/IcsProperties.h"
#include "platform/IcsText.h"
#include "platform/IcsZones.h"
#include "platform/RecurrenceRules.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <limits>
#include <strings.h>

namespace plannery::ics::edit {

namespace {

constexpr const char* kFirstOccurrence =
    "This is the first occurrence of the repeating event; the whole series would go.";
constexpr const char* kNotParticipant = "You are not among the participants of this event.";
constexpr const char* kNoStatus = "An invitation cannot be answered with that status.";

Result failed(std::string sentence) {
    Result result;
    result.error = std::move(sentence);
    return result;
}

Result written(std::string text) {
    Result result;
    result.text = std::move(text);
    return result;
}

// The file as read with the document's changes.
Result rewritten(const Document& document) {
    auto text = rewrite(document, document.root.get());
    return text ? written(std::move(*text)) : failed(kNotCalendar);
}

Split splitFailed(std::string sentence) {
    Split result;
    result.error = std::move(sentence);
    return result;
}

// A component has one property cursor: loops that look at other properties on the way collect
// first.
std::vector<icalproperty*> propertiesOf(icalcomponent* component, icalproperty_kind kind) {
    std::vector<icalproperty*> result;
    for (auto* p = icalcomponent_get_first_property(component, kind); p;
         p = icalcomponent_get_next_property(component, kind)) {
        result.push_back(p);
    }
    return result;
}

// How many starts the rule makes before `occurrence`, or nullopt when that is too long to walk.
std::optional<long> startsBefore(icalproperty* rrule, const Document& document,
                                 Instant occurrence) {
    const std::string value = ruleTextOf(rrule);
    auto* dtstart = icalcomponent_get_first_property(document.master, ICAL_DTSTART_PROPERTY);
    const auto wall = wallOf(dtstart);
    if (!wall) {
        return std::nullopt;
    }
    const Frame frame = frameOf(dtstart);
    const ZoneConverter zone(frame.isDate ? ZoneRef{} : frame.zone, document.series.timeZones,
                             *document.calendar);
    long budget = 300000;
    const auto starts = ruleStarts(value, *wall, zone, std::numeric_limits<std::int64_t>::min(),
                                   wallSeconds(wallIn(frame, occurrence, document)) - 1, budget,
                                   std::numeric_limits<std::size_t>::max());
    if (starts.exhausted) {
        return std::nullopt;
    }
    return long(starts.starts.size());
}

// The occurrence of a repeating series that an edit of its rules names: not the first.
std::optional<std::string> checkLaterOccurrence(const Document& document, Instant occurrence) {
    if (!repeats(document)) {
        return kNotRepeating;
    }
    if (!occurrenceAt(document, occurrence)) {
        return kNoOccurrence;
    }
    const auto first = firstStart(document);
    if (first && occurrence <= *first) {
        return kFirstOccurrence;
    }
    return std::nullopt;
}

// Drops from the series every RDATE, EXDATE and override that `keep` rejects.
void filterNamedOccurrences(Document& document, icalcomponent* master,
                            const std::function<bool(Instant)>& keep) {
    for (auto kind : {ICAL_RDATE_PROPERTY, ICAL_EXDATE_PROPERTY}) {
        std::vector<icalproperty*> drop;
        for (auto* p = icalcomponent_get_first_property(master, kind); p;
             p = icalcomponent_get_next_property(master, kind)) {
            const auto when = instantOf(p, document);
            if (when && !keep(*when)) {
                drop.push_back(p);
            }
        }
        for (auto* p : drop) {
            icalcomponent_remove_property(master, p);
            icalproperty_free(p);
        }
    }
}

void removeOverrides(Document& document, const std::function<bool(Instant)>& drop) {
    std::vector<icalcomponent*> kept;
    for (auto* event : document.overrides) {
        const auto id = instantOf(
            icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY), document);
        if (id && drop(*id)) {
            icalcomponent_remove_component(icalcomponent_get_parent(event), event);
            icalcomponent_free(event);
        } else {
            kept.push_back(event);
        }
    }
    document.overrides = std::move(kept);
}

// Ends every rule of the master before the occurrence (see endBefore).
void cutRules(Document& document, Instant occurrence) {
    icalcomponent* master = document.master;
    auto* dtstart = icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY);
    const Frame frame = frameOf(dtstart);
    const WallTime at = wallIn(frame, occurrence, document);
    icaltimetype until;
    if (frame.isDate) {
        until = toIcal(wallFromSeconds(wallSeconds(at) - kDaySeconds, /*isDate=*/true));
    } else if (frame.zone.kind == ZoneRef::Kind::floating) {
        until = toIcal(wallFromSeconds(wallSeconds(at) - 1, /*isDate=*/false));
    } else {
        until = utcTime(occurrence.plus(-1));
    }
    for (auto* p : propertiesOf(master, ICAL_RRULE_PROPERTY)) {
        if (!icalproperty_get_value(p)) {
            continue;
        }
        auto rule = icalproperty_get_rrule(p);
        if (rule.count > 0) {
            if (auto before = startsBefore(p, document, occurrence);
                before && *before >= rule.count) {
                continue; // it ends before the occurrence anyway
            }
        } else if (!icaltime_is_null_time(rule.until)) {
            const WallTime wall = wallFromIcal(rule.until);
            const Frame untilFrame = icaltime_is_utc(rule.until)
                                         ? Frame{.zone = {.kind = ZoneRef::Kind::utc, .id = {}}}
                                         : frame;
            const auto end = instantIn(untilFrame, wall, document);
            if (end && *end < occurrence) {
                continue;
            }
        }
        setRuleText(
            p, withRulePart(withRulePart(ruleTextOf(p), "COUNT", ""), "UNTIL", untilText(until)));
    }
    filterNamedOccurrences(document, master, [&](Instant t) { return t < occurrence; });
    removeOverrides(document, [&](Instant t) { return t >= occurrence; });
}

icalparameter_partstat partstatOf(ParticipantStatus status) {
    switch (status) {
    case ParticipantStatus::pending:
        return ICAL_PARTSTAT_NEEDSACTION;
    case ParticipantStatus::accepted:
        return ICAL_PARTSTAT_ACCEPTED;
    case ParticipantStatus::declined:
        return ICAL_PARTSTAT_DECLINED;
    case ParticipantStatus::tentative:
        return ICAL_PARTSTAT_TENTATIVE;
    case ParticipantStatus::delegated:
        return ICAL_PARTSTAT_DELEGATED;
    case ParticipantStatus::completed:
        return ICAL_PARTSTAT_COMPLETED;
    case ParticipantStatus::inProcess:
        return ICAL_PARTSTAT_INPROCESS;
    case ParticipantStatus::unknown:
        break;
    }
    return ICAL_PARTSTAT_NONE;
}

std::string addressOf(const char* url) {
    std::string address = url ? url : "";
    if (address.size() >= 7 && strncasecmp(address.c_str(), "mailto:", 7) == 0) {
        address.erase(0, 7);
    }
    for (auto& c : address) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return address;
}

// Whether the user changed anything this program writes.
bool differs(const StoreEvent& before, const StoreEvent& after) {
    const EventContent& a = *before.content;
    const EventContent& b = *after.content;
    auto geo = [](const EventContent& c) {
        return c.structuredLocation ? c.structuredLocation->geoLocation : std::nullopt;
    };
    return before.startDate != after.startDate || before.endDate != after.endDate ||
           a.title != b.title || a.location != b.location || a.notes != b.notes || a.url != b.url ||
           a.isAllDay != b.isAllDay || a.timeZone != b.timeZone || a.status != b.status ||
           a.alarms != b.alarms || geo(a) != geo(b);
}

} // namespace

std::string newEvent(const StoreEvent& event, std::string_view uid, Instant now,
                     const Calendar& calendar) {
    prepareLibical();
    static const EventContent kEmpty;
    const EventContent& content = event.content ? *event.content : kEmpty;
    ComponentPtr root(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(root.get(), icalproperty_new_prodid("-//Plannery//Plannery//EN"));
    icalcomponent_add_property(root.get(), icalproperty_new_version("2.0"));
    const Frame frame = frameFor({}, root.get(), content, event.startDate);
    icalcomponent* vevent = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(vevent, icalproperty_new_uid(std::string(uid).c_str()));
    setStamps(vevent, now, /*lastModified=*/false);
    icalcomponent_add_property(vevent, icalproperty_new_created(utcTime(now)));
    icalcomponent_add_property(vevent, icalproperty_new_lastmodified(utcTime(now)));
    writeFields(vevent, EventContent{}, content);
    Document document;
    document.calendar = &calendar;
    const WallTime start = wallIn(frame, event.startDate, document);
    auto* dtstart = icalproperty_new_dtstart(icaltime_null_time());
    writeTime(dtstart, frame, start);
    icalcomponent_add_property(vevent, dtstart);
    if (event.endDate || frame.isDate) {
        const WallTime end = endWall(frame, start, event, document);
        if (isValidWall(end)) {
            auto* dtend = icalproperty_new_dtend(icaltime_null_time());
            writeTime(dtend, frame, end);
            icalcomponent_add_property(vevent, dtend);
        } else {
            // An end after the year 9999 has no written form; the length says the same.
            const auto seconds = frame.isDate || !event.endDate
                                     ? wallSeconds(end) - wallSeconds(start)
                                     : std::llround(event.endDate->since(event.startDate));
            icalcomponent_add_property(
                vevent, icalproperty_new_duration(icaldurationtype_from_int(int(seconds))));
        }
    }
    for (const auto& rule : content.recurrenceRules) {
        icalcomponent_add_property(vevent,
                                   icalproperty_new_rrule(recurrenceOf(rule, frame, document)));
    }
    writeAlarms(vevent, {}, content.alarms, content.title);
    icalcomponent_add_component(root.get(), vevent);
    return serialise(root.get());
}

Result removeSeries(std::string_view text, std::string_view uid) {
    thread_local const Calendar utc = Calendar::make("UTC").value();
    auto opened = open(text, uid, utc);
    if (!opened.document) {
        return failed(*opened.error);
    }
    Document& document = *opened.document;
    if (document.master) {
        document.overrides.push_back(document.master);
    }
    document.overrides.insert(document.overrides.end(), document.supersededMasters.begin(),
                              document.supersededMasters.end());
    for (auto* event : document.overrides) {
        icalcomponent_remove_component(icalcomponent_get_parent(event), event);
        icalcomponent_free(event);
    }
    return rewritten(document);
}

Result change(std::string_view text, std::string_view uid, const StoreEvent& before,
              const StoreEvent& after, Span span, Instant now, const Calendar& calendar) {
    if (!before.content || !after.content) {
        return failed(kNoEvent);
    }
    auto opened = open(text, uid, calendar);
    if (!opened.document) {
        return failed(*opened.error);
    }
    if (!differs(before, after)) {
        return written(std::string(text));
    }
    Document& document = *opened.document;
    icalcomponent* target = document.master;
    bool wholeSeries = repeats(document) && (span == Span::futureEvents || !before.occurrenceDate);
    bool created = false;
    if (before.occurrenceDate && !wholeSeries && (repeats(document) || !document.master)) {
        target = overrideFor(document, *before.occurrenceDate);
        if (!target) {
            const auto occurrence = occurrenceAt(document, *before.occurrenceDate);
            if (!occurrence || !document.master) {
                return failed(kNoOccurrence);
            }
            target = makeOverride(document, *occurrence);
            created = true;
        }
    }
    if (!target) {
        return failed(kNoOccurrence);
    }
    bool changed = writeFields(target, *before.content, *after.content);
    changed = writeAlarms(target, before.alarms(), after.alarms(), after.title()) || changed;
    const bool moved = writeTimes(document, target, before, after, wholeSeries);
    if (!changed && !moved && !created) {
        return written(std::string(text));
    }
    if (moved) {
        bumpSequence(target);
    }
    setStamps(target, now, /*lastModified=*/true);
    return rewritten(document);
}

Result excludeOccurrence(std::string_view text, std::string_view uid, Instant occurrenceDate,
                         Instant now, const Calendar& calendar) {
    auto opened = open(text, uid, calendar);
    if (!opened.document) {
        return failed(*opened.error);
    }
    Document& document = *opened.document;
    if (!repeats(document)) {
        return failed(kNotRepeating);
    }
    if (!occurrenceAt(document, occurrenceDate)) {
        return failed(kNoOccurrence);
    }
    const Frame frame = startFrame(document.master);
    auto* exdate = icalproperty_new_exdate(icaltime_null_time());
    writeTime(exdate, frame, wallIn(frame, occurrenceDate, document));
    icalcomponent_add_property(document.master, exdate);
    const auto rounded = std::llround(occurrenceDate.seconds);
    removeOverrides(document, [&](Instant t) { return std::llround(t.seconds) == rounded; });
    setStamps(document.master, now, /*lastModified=*/true);
    return rewritten(document);
}

Result endBefore(std::string_view text, std::string_view uid, Instant occurrenceDate, Instant now,
                 const Calendar& calendar) {
    auto opened = open(text, uid, calendar);
    if (!opened.document) {
        return failed(*opened.error);
    }
    Document& document = *opened.document;
    if (auto problem = checkLaterOccurrence(document, occurrenceDate)) {
        return failed(*problem);
    }
    cutRules(document, occurrenceDate);
    bumpSequence(document.master);
    setStamps(document.master, now, /*lastModified=*/true);
    return rewritten(document);
}

Split split(std::string_view text, std::string_view uid, Instant occurrenceDate,
            std::string_view newUid, Instant now, const Calendar& calendar) {
    auto opened = open(text, uid, calendar);
    if (!opened.document) {
        return splitFailed(*opened.error);
    }
    Document& document = *opened.document;
    if (auto problem = checkLaterOccurrence(document, occurrenceDate)) {
        return splitFailed(*problem);
    }
    icalcomponent* source = icalcomponent_get_parent(document.master);
    ComponentPtr root(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    for (auto* p = icalcomponent_get_first_property(source, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(source, ICAL_ANY_PROPERTY)) {
        icalcomponent_add_property(root.get(), icalproperty_new_clone(p));
    }
    for (auto* zone = icalcomponent_get_first_component(source, ICAL_VTIMEZONE_COMPONENT); zone;
         zone = icalcomponent_get_next_component(source, ICAL_VTIMEZONE_COMPONENT)) {
        icalcomponent_add_component(root.get(), icalcomponent_new_clone(zone));
    }
    // The new master starts at the occurrence; its rules keep their end, and a COUNT loses the
    // occurrences that stay behind.
    icalcomponent* master = icalcomponent_new_clone(document.master);
    icalcomponent_set_uid(master, std::string(newUid).c_str());
    std::vector<icalproperty*> emptyRules;
    for (auto* p : propertiesOf(master, ICAL_RRULE_PROPERTY)) {
        if (!icalproperty_get_value(p)) {
            continue;
        }
        auto rule = icalproperty_get_rrule(p);
        if (rule.count <= 0) {
            continue;
        }
        const auto before = startsBefore(p, document, occurrenceDate);
        if (before && *before >= rule.count) {
            emptyRules.push_back(p);
        } else if (before) {
            setRuleText(
                p, withRulePart(ruleTextOf(p), "COUNT", std::to_string(rule.count - int(*before))));
        }
    }
    for (auto* p : emptyRules) {
        icalcomponent_remove_property(master, p);
        icalproperty_free(p);
    }
    const Frame frame = startFrame(master);
    writeTime(icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY), frame,
              wallIn(frame, occurrenceDate, document));
    if (auto* end = icalcomponent_get_first_property(master, ICAL_DTEND_PROPERTY)) {
        const Frame endFrame = frameOf(end);
        writeTime(end, endFrame, shiftedEnd(document, document.master, occurrenceDate, endFrame));
    }
    filterNamedOccurrences(document, master, [&](Instant t) { return t >= occurrenceDate; });
    setStamps(master, now, /*lastModified=*/true);
    if (auto* created = icalcomponent_get_first_property(master, ICAL_CREATED_PROPERTY)) {
        icalproperty_set_created(created, utcTime(now));
    }
    icalcomponent_add_component(root.get(), master);
    for (auto* event : document.overrides) {
        const auto id = instantOf(
            icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY), document);
        if (id && *id >= occurrenceDate) {
            icalcomponent* copy = icalcomponent_new_clone(event);
            icalcomponent_set_uid(copy, std::string(newUid).c_str());
            icalcomponent_add_component(root.get(), copy);
        }
    }
    Split result;
    // The new file keeps what the series' own components hold that the parser does not know,
    // not the rest of the old file.
    result.newSeries =
        rewrite(document, root.get(),
                splice::Options{.renamedUids = {{std::string(newUid), std::string(uid)}},
                                .keepUnknownAtTop = false});
    cutRules(document, occurrenceDate);
    bumpSequence(document.master);
    setStamps(document.master, now, /*lastModified=*/true);
    result.text = rewrite(document, document.root.get());
    if (!result.text || !result.newSeries) {
        return splitFailed(kNotCalendar);
    }
    return result;
}

Result reply(std::string_view text, std::string_view uid, std::optional<Instant> occurrenceDate,
             const std::vector<std::string>& userAddresses, ParticipantStatus status, Instant now,
             const Calendar& calendar) {
    const auto partstat = partstatOf(status);
    if (partstat == ICAL_PARTSTAT_NONE) {
        return failed(kNoStatus);
    }
    auto opened = open(text, uid, calendar);
    if (!opened.document) {
        return failed(*opened.error);
    }
    Document& document = *opened.document;
    // An answer for the series covers every occurrence, those changed on their own included.
    std::vector<icalcomponent*> targets;
    if (occurrenceDate && (repeats(document) || !document.master)) {
        icalcomponent* target = overrideFor(document, *occurrenceDate);
        if (!target) {
            const auto occurrence = occurrenceAt(document, *occurrenceDate);
            if (!occurrence || !document.master) {
                return failed(kNoOccurrence);
            }
            target = makeOverride(document, *occurrence);
        }
        targets.push_back(target);
    } else {
        if (document.master) {
            targets.push_back(document.master);
        }
        targets.insert(targets.end(), document.overrides.begin(), document.overrides.end());
    }
    if (targets.empty()) {
        return failed(kNoOccurrence);
    }
    bool found = false;
    for (icalcomponent* target : targets) {
        bool answered = false;
        for (auto* attendee = icalcomponent_get_first_property(target, ICAL_ATTENDEE_PROPERTY);
             attendee; attendee = icalcomponent_get_next_property(target, ICAL_ATTENDEE_PROPERTY)) {
            const char* url =
                icalproperty_get_value(attendee) ? icalproperty_get_attendee(attendee) : nullptr;
            if (std::find(userAddresses.begin(), userAddresses.end(), addressOf(url)) ==
                userAddresses.end()) {
                continue;
            }
            answered = true;
            icalproperty_remove_parameter_by_kind(attendee, ICAL_PARTSTAT_PARAMETER);
            icalproperty_remove_parameter_by_kind(attendee, ICAL_RSVP_PARAMETER);
            if (partstat == ICAL_PARTSTAT_INPROCESS) {
                // Written as the standard spells it; the parser's own name lacks the hyphen.
                auto* parameter = icalparameter_new_partstat(ICAL_PARTSTAT_X);
                icalparameter_set_xvalue(parameter, "IN-PROCESS");
                icalproperty_add_parameter(attendee, parameter);
            } else {
                icalproperty_add_parameter(attendee, icalparameter_new_partstat(partstat));
            }
        }
        if (answered) {
            setStamps(target, now, /*lastModified=*/false);
        }
        found = found || answered;
    }
    if (!found) {
        return failed(kNotParticipant);
    }
    return rewritten(document);
}

} // namespace plannery::ics::edit
