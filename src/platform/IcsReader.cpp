#include "platform/IcsProperties.h"
#include "platform/IcsSeries.h"
#include "platform/IcsText.h"
#include "platform/IcsZones.h"

#include <libical/ical.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <strings.h>

namespace plannery::ics {

namespace {

// Nested components deeper than this are not calendar data.
constexpr int kMaxDepth = 16;

struct ReadContext {
    std::map<std::string, icalcomponent*> vtimezones;
    std::map<std::string, ZoneRef> resolved;
    // TZIDs of the file's own VTIMEZONEs used by the component being read.
    std::set<std::string> customZones;
    // TZIDs that only the file's own VTIMEZONEs define.
    std::set<std::string> fileZones;
};

ZoneRef resolveZone(const std::string& tzid, ReadContext& context) {
    auto cached = context.resolved.find(tzid);
    if (cached == context.resolved.end()) {
        ZoneRef zone;
        if (auto id = icuZoneFor(tzid)) {
            zone = ZoneRef{.kind = ZoneRef::Kind::named, .id = *id};
        } else if (context.vtimezones.count(tzid)) {
            zone = ZoneRef{.kind = ZoneRef::Kind::named, .id = tzid};
            context.fileZones.insert(tzid);
        }
        cached = context.resolved.emplace(tzid, zone).first;
    }
    if (context.fileZones.count(tzid)) {
        context.customZones.insert(tzid);
    }
    return cached->second;
}

std::optional<ZonedTime> timeOf(icalproperty* property, ReadContext& context) {
    icalvalue* value = property ? icalproperty_get_value(property) : nullptr;
    if (!value) {
        return std::nullopt;
    }
    icaltimetype time = icaltime_null_time();
    switch (icalvalue_isa(value)) {
    case ICAL_DATE_VALUE:
        time = icalvalue_get_date(value);
        break;
    case ICAL_DATETIME_VALUE:
        time = icalvalue_get_datetime(value);
        break;
    case ICAL_PERIOD_VALUE:
        time = icalvalue_get_period(value).start;
        break;
    case ICAL_DATETIMEPERIOD_VALUE: {
        const auto both = icalvalue_get_datetimeperiod(value);
        time = icaltime_is_null_time(both.time) ? both.period.start : both.time;
        break;
    }
    default:
        return std::nullopt;
    }
    if (icaltime_is_null_time(time)) {
        return std::nullopt;
    }
    const WallTime wall = wallFromIcal(time);
    if (!isValidWall(wall)) {
        return std::nullopt;
    }
    ZonedTime zoned;
    zoned.wall = wall;
    if (wall.isDate) {
        return zoned;
    }
    if (icaltime_is_utc(time)) {
        zoned.zone.kind = ZoneRef::Kind::utc;
    } else if (auto* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER)) {
        if (const char* name = icalparameter_get_tzid(tzid)) {
            zoned.zone = resolveZone(name, context);
        }
    }
    return zoned;
}

// An RDATE value; a PERIOD keeps its end or its length, in the zone of its start.
std::optional<RecurrenceDate> recurrenceDateOf(icalproperty* property, ReadContext& context) {
    auto start = timeOf(property, context);
    if (!start) {
        return std::nullopt;
    }
    RecurrenceDate date{.start = *start, .end = std::nullopt, .duration = std::nullopt};
    icalvalue* value = icalproperty_get_value(property);
    std::optional<icalperiodtype> period;
    if (icalvalue_isa(value) == ICAL_PERIOD_VALUE) {
        period = icalvalue_get_period(value);
    } else if (icalvalue_isa(value) == ICAL_DATETIMEPERIOD_VALUE) {
        const auto both = icalvalue_get_datetimeperiod(value);
        if (icaltime_is_null_time(both.time)) {
            period = both.period;
        }
    }
    if (!period || start->wall.isDate) {
        return date;
    }
    if (!icaltime_is_null_time(period->end)) {
        const WallTime end = wallFromIcal(period->end);
        if (isValidWall(end) && !end.isDate) {
            date.end = ZonedTime{.wall = end,
                                 .zone = icaltime_is_utc(period->end)
                                             ? ZoneRef{.kind = ZoneRef::Kind::utc, .id = {}}
                                             : start->zone};
        }
    } else if (!icaldurationtype_is_bad_duration(period->duration) && !period->duration.is_neg) {
        date.duration = double(icaldurationtype_as_int(period->duration));
    }
    return date;
}

std::optional<Component> componentOf(icalcomponent* event, ReadContext& context) {
    Component component;
    auto start = timeOf(icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY), context);
    if (!start) {
        return std::nullopt;
    }
    component.start = *start;
    component.end = timeOf(icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY), context);
    if (!component.end) {
        if (auto* duration = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY);
            duration && icalproperty_get_value(duration)) {
            const auto value = icalproperty_get_duration(duration);
            if (!icaldurationtype_is_bad_duration(value) && !value.is_neg) {
                component.duration = double(icaldurationtype_as_int(value));
            }
        }
    }
    if (auto* recurrenceId = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY)) {
        component.recurrenceId = timeOf(recurrenceId, context);
        if (!component.recurrenceId) {
            // An override that cannot say which occurrence it replaces replaces none.
            return std::nullopt;
        }
        if (auto* range = icalproperty_get_first_parameter(recurrenceId, ICAL_RANGE_PARAMETER)) {
            component.thisAndFuture = icalparameter_get_range(range) == ICAL_RANGE_THISANDFUTURE;
        }
    }
    auto& content = component.content;
    for (auto* rrule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); rrule;
         rrule = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
        if (!icalproperty_get_value(rrule)) {
            continue;
        }
        const auto rule = icalproperty_get_rrule(rrule);
        if (rule.freq == ICAL_NO_RECURRENCE) {
            continue;
        }
        std::string text = ruleTextOf(rrule);
        if (auto mapped = ruleOf(rule, text, component.start)) {
            content.recurrenceRules.push_back(*mapped);
        }
        component.rrules.push_back(std::move(text));
    }
    for (auto* rdate = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); rdate;
         rdate = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
        if (auto date = recurrenceDateOf(rdate, context)) {
            component.rdates.push_back(*date);
        }
    }
    for (auto* exdate = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); exdate;
         exdate = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
        if (auto time = timeOf(exdate, context)) {
            component.exdates.push_back(*time);
        }
    }
    content.calendarItemExternalIdentifier = textOf(event, ICAL_UID_PROPERTY);
    content.title = textOf(event, ICAL_SUMMARY_PROPERTY);
    content.location = textOf(event, ICAL_LOCATION_PROPERTY);
    content.notes = textOf(event, ICAL_DESCRIPTION_PROPERTY);
    content.url = textOf(event, ICAL_URL_PROPERTY);
    auto geo = geoOf(event);
    if (content.location || geo) {
        content.structuredLocation =
            StructuredLocation{.title = content.location.value_or(""), .geoLocation = geo};
    }
    content.isAllDay = component.start.wall.isDate;
    if (!content.isAllDay) {
        if (component.start.zone.kind == ZoneRef::Kind::utc) {
            content.timeZone = "UTC";
        } else if (component.start.zone.kind == ZoneRef::Kind::named) {
            content.timeZone = component.start.zone.id;
        }
    }
    if (auto* status = icalcomponent_get_first_property(event, ICAL_STATUS_PROPERTY);
        status && icalproperty_get_value(status)) {
        switch (icalproperty_get_status(status)) {
        case ICAL_STATUS_TENTATIVE:
            content.status = EventStatus::tentative;
            break;
        case ICAL_STATUS_CONFIRMED:
            content.status = EventStatus::confirmed;
            break;
        case ICAL_STATUS_CANCELLED:
            content.status = EventStatus::canceled;
            break;
        default:
            break;
        }
    }
    readParticipants(event, content);
    readAlarms(event, content);
    return component;
}

void collect(icalcomponent* parent, int depth, std::vector<icalcomponent*>& events,
             ReadContext& context) {
    if (depth > kMaxDepth) {
        return;
    }
    for (auto* child = icalcomponent_get_first_component(parent, ICAL_ANY_COMPONENT); child;
         child = icalcomponent_get_next_component(parent, ICAL_ANY_COMPONENT)) {
        const auto kind = icalcomponent_isa(child);
        if (kind == ICAL_VEVENT_COMPONENT) {
            events.push_back(child);
        } else if (kind == ICAL_VTIMEZONE_COMPONENT) {
            auto* tzid = icalcomponent_get_first_property(child, ICAL_TZID_PROPERTY);
            const char* name =
                tzid && icalproperty_get_value(tzid) ? icalproperty_get_tzid(tzid) : nullptr;
            if (name && *name) {
                context.vtimezones.emplace(name, child);
            }
        } else {
            collect(child, depth + 1, events, context);
        }
    }
}

// Which occurrence a component describes: empty for a master, else its RECURRENCE-ID as
// written.
std::string occurrenceKey(const std::optional<ZonedTime>& recurrenceId) {
    if (!recurrenceId) {
        return {};
    }
    const auto& wall = recurrenceId->wall;
    return std::to_string(wallSeconds(wall)) + (wall.isDate ? "D" : "T") +
           std::to_string(int(recurrenceId->zone.kind)) + recurrenceId->zone.id;
}

std::string textOfZone(icalcomponent* vtimezone) {
    char* text = icalcomponent_as_ical_string_r(vtimezone);
    std::string result = text ? text : "";
    icalmemory_free_buffer(text);
    return result;
}

std::string upperPrefix(const std::string& line, std::size_t size) {
    std::string prefix = line.substr(0, size);
    for (auto& c : prefix) {
        c = char(std::toupper(static_cast<unsigned char>(c)));
    }
    return prefix;
}

bool looksLikeIcalendar(const std::vector<std::string>& lines) {
    return std::any_of(lines.begin(), lines.end(),
                       [](const std::string& line) { return upperPrefix(line, 6) == "BEGIN:"; });
}

} // namespace

ReadResult read(std::string_view text) {
    ReadResult result;
    prepareLibical();
    std::vector<std::string> lines = sanitizeIcs(text);
    if (!looksLikeIcalendar(lines)) {
        result.unreadable = true;
        return result;
    }
    // Line by line, so that a truncated file still yields the components it completed: what
    // is left open at the end is closed by the parser's clean-up. The parser keeps ownership
    // of that last component (and frees it with itself); an END without a BEGIN would throw
    // its nesting count off for the rest of the file, so such lines are left out.
    std::vector<icalcomponent*> roots;
    icalparser* parser = icalparser_new();
    std::vector<std::string> open; // the kinds of the components begun and not ended
    for (auto& line : lines) {
        const std::string name = upperPrefix(line, 6);
        if (name.rfind("BEGIN:", 0) == 0 || name.rfind("BEGIN;", 0) == 0) {
            open.push_back(upperPrefix(line, line.size()).substr(6));
        } else if (name.rfind("END:", 0) == 0 || name.rfind("END;", 0) == 0) {
            if (open.empty()) {
                continue;
            }
            open.pop_back();
        }
        if (auto* done = icalparser_add_line(parser, line.data())) {
            roots.push_back(done);
        }
    }
    result.cut = !open.empty();
    icalcomponent* rest = result.cut ? icalparser_clean(parser) : nullptr;
    icalerror_clear_errno();
    std::vector<icalcomponent*> all = roots;
    if (rest) {
        all.push_back(rest);
    }
    if (all.empty()) {
        icalparser_free(parser);
        result.unreadable = true;
        return result;
    }
    ReadContext context;
    std::vector<icalcomponent*> events;
    for (auto* root : all) {
        if (icalcomponent_isa(root) == ICAL_VEVENT_COMPONENT) {
            events.push_back(root);
        } else {
            collect(root, 0, events, context);
        }
    }
    // An event the file ends in may be cut anywhere (a title cut short, a rule without its
    // end): it is damaged, not shown. Events are collected in the order they are written, and
    // an open one is the last child of its open parent, so it is the last one collected.
    const auto cut = std::find(open.begin(), open.end(), "VEVENT");
    const auto cutDepth = cut - open.begin();
    if (cut != open.end() && (cutDepth == 0 || cutDepth - 1 <= kMaxDepth) && !events.empty()) {
        events.pop_back();
        ++result.skippedComponents;
    }
    std::map<std::string, std::size_t> byUid;
    // Per series and occurrence (the master's key is empty): the component that describes it and
    // its revision. A file that holds two of them (a broken export, an update appended rather
    // than written over) shows only the latest.
    std::map<std::pair<std::size_t, std::string>, std::pair<std::size_t, Revision>> described;
    int withoutUid = 0;
    for (auto* event : events) {
        context.customZones.clear();
        auto component = componentOf(event, context);
        if (!component) {
            ++result.skippedComponents;
            continue;
        }
        std::string uid = component->content.calendarItemExternalIdentifier.value_or("");
        if (uid.empty()) {
            uid = "no-uid-" + std::to_string(++withoutUid);
        }
        auto found = byUid.find(uid);
        if (found == byUid.end()) {
            found = byUid.emplace(uid, result.series.size()).first;
            Series series;
            series.uid = uid;
            result.series.push_back(std::move(series));
        }
        auto& series = result.series[found->second];
        const Revision revision = revisionOf(event);
        const auto key = std::pair(found->second, occurrenceKey(component->recurrenceId));
        const auto earlier = described.find(key);
        if (earlier != described.end() && !(earlier->second.second < revision)) {
            continue;
        }
        for (const auto& tzid : context.customZones) {
            std::string zoneText = textOfZone(context.vtimezones.at(tzid));
            if (std::find(series.timeZones.begin(), series.timeZones.end(), zoneText) ==
                series.timeZones.end()) {
                series.timeZones.push_back(std::move(zoneText));
            }
        }
        if (earlier != described.end()) {
            series.components[earlier->second.first] = std::move(*component);
            earlier->second.second = revision;
            continue;
        }
        described.emplace(key, std::pair(series.components.size(), revision));
        series.components.push_back(std::move(*component));
    }
    for (auto& series : result.series) {
        std::stable_partition(series.components.begin(), series.components.end(),
                              [](const Component& c) { return !c.recurrenceId; });
    }
    for (auto* root : roots) {
        icalcomponent_free(root);
    }
    icalparser_free(parser);
    return result;
}

} // namespace plannery::ics
