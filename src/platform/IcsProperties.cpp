#include "platform/IcsProperties.h"

#include "platform/IcsText.h"
#include "platform/IcsZones.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <strings.h>
#include <vector>

namespace plannery::ics {

namespace {

Participant participantOf(icalproperty* property, const char* address) {
    Participant participant;
    participant.url = validUtf8(address);
    if (auto* cn = icalproperty_get_first_parameter(property, ICAL_CN_PARAMETER)) {
        if (const char* name = icalparameter_get_cn(cn); name && *name) {
            participant.name = validUtf8(name);
        }
    }
    if (auto* partstat = icalproperty_get_first_parameter(property, ICAL_PARTSTAT_PARAMETER)) {
        switch (icalparameter_get_partstat(partstat)) {
        case ICAL_PARTSTAT_NEEDSACTION:
            participant.participantStatus = ParticipantStatus::pending;
            break;
        case ICAL_PARTSTAT_ACCEPTED:
            participant.participantStatus = ParticipantStatus::accepted;
            break;
        case ICAL_PARTSTAT_DECLINED:
            participant.participantStatus = ParticipantStatus::declined;
            break;
        case ICAL_PARTSTAT_TENTATIVE:
            participant.participantStatus = ParticipantStatus::tentative;
            break;
        case ICAL_PARTSTAT_DELEGATED:
            participant.participantStatus = ParticipantStatus::delegated;
            break;
        case ICAL_PARTSTAT_COMPLETED:
            participant.participantStatus = ParticipantStatus::completed;
            break;
        case ICAL_PARTSTAT_INPROCESS:
            participant.participantStatus = ParticipantStatus::inProcess;
            break;
        case ICAL_PARTSTAT_X: {
            // The parser does not know IN-PROCESS (a to-do status that invitations use too).
            const char* value = icalparameter_get_xvalue(partstat);
            if (value && strcasecmp(value, "IN-PROCESS") == 0) {
                participant.participantStatus = ParticipantStatus::inProcess;
            }
            break;
        }
        default:
            break;
        }
    }
    if (auto* role = icalproperty_get_first_parameter(property, ICAL_ROLE_PARAMETER)) {
        switch (icalparameter_get_role(role)) {
        case ICAL_ROLE_REQPARTICIPANT:
            participant.participantRole = ParticipantRole::required;
            break;
        case ICAL_ROLE_OPTPARTICIPANT:
            participant.participantRole = ParticipantRole::optional;
            break;
        case ICAL_ROLE_CHAIR:
            participant.participantRole = ParticipantRole::chair;
            break;
        case ICAL_ROLE_NONPARTICIPANT:
            participant.participantRole = ParticipantRole::nonParticipant;
            break;
        default:
            participant.participantRole = ParticipantRole::unknown;
            break;
        }
    }
    if (auto* cutype = icalproperty_get_first_parameter(property, ICAL_CUTYPE_PARAMETER)) {
        switch (icalparameter_get_cutype(cutype)) {
        case ICAL_CUTYPE_INDIVIDUAL:
            participant.participantType = ParticipantType::person;
            break;
        case ICAL_CUTYPE_ROOM:
            participant.participantType = ParticipantType::room;
            break;
        case ICAL_CUTYPE_RESOURCE:
            participant.participantType = ParticipantType::resource;
            break;
        case ICAL_CUTYPE_GROUP:
            participant.participantType = ParticipantType::group;
            break;
        default:
            participant.participantType = ParticipantType::unknown;
            break;
        }
    }
    return participant;
}

} // namespace

std::optional<std::string> textOf(icalcomponent* component, icalproperty_kind kind) {
    icalproperty* property = icalcomponent_get_first_property(component, kind);
    icalvalue* value = property ? icalproperty_get_value(property) : nullptr;
    if (!value) {
        return std::nullopt;
    }
    const char* text = nullptr;
    switch (icalvalue_isa(value)) {
    case ICAL_TEXT_VALUE:
        text = icalvalue_get_text(value);
        break;
    case ICAL_URI_VALUE:
        text = icalvalue_get_uri(value);
        break;
    default:
        text = icalvalue_as_ical_string(value);
        break;
    }
    if (!text || *text == '\0') {
        return std::nullopt;
    }
    return validUtf8(text);
}

std::optional<GeoLocation> geoOf(icalcomponent* component) {
    auto valid = [](double lat, double lon) {
        return std::isfinite(lat) && std::isfinite(lon) && std::abs(lat) <= 90 &&
               std::abs(lon) <= 180;
    };
    icalproperty* geo = icalcomponent_get_first_property(component, ICAL_GEO_PROPERTY);
    if (geo && icalproperty_get_value(geo)) {
        const auto value = icalproperty_get_geo(geo);
        if (valid(value.lat, value.lon)) {
            return GeoLocation{.latitude = value.lat, .longitude = value.lon};
        }
    }
    for (auto* x = icalcomponent_get_first_property(component, ICAL_X_PROPERTY); x;
         x = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
        const char* name = icalproperty_get_x_name(x);
        const char* text =
            icalproperty_get_value(x) ? icalproperty_get_value_as_string(x) : nullptr;
        if (!name || !text || std::string_view(name) != "X-APPLE-STRUCTURED-LOCATION") {
            continue;
        }
        std::string_view value(text);
        if (value.substr(0, 4) != "geo:") {
            continue;
        }
        std::string coordinates(value.substr(4));
        char* rest = nullptr;
        const double lat = std::strtod(coordinates.c_str(), &rest);
        if (rest == coordinates.c_str() || *rest != ',') {
            continue;
        }
        const char* lonStart = rest + 1;
        const double lon = std::strtod(lonStart, &rest);
        if (rest != lonStart && valid(lat, lon)) {
            return GeoLocation{.latitude = lat, .longitude = lon};
        }
    }
    return std::nullopt;
}

void readParticipants(icalcomponent* event, EventContent& content) {
    if (auto* organizer = icalcomponent_get_first_property(event, ICAL_ORGANIZER_PROPERTY)) {
        if (icalproperty_get_value(organizer)) {
            if (const char* address = icalproperty_get_organizer(organizer)) {
                content.organizer = participantOf(organizer, address);
            }
        }
    }
    for (auto* attendee = icalcomponent_get_first_property(event, ICAL_ATTENDEE_PROPERTY); attendee;
         attendee = icalcomponent_get_next_property(event, ICAL_ATTENDEE_PROPERTY)) {
        if (icalproperty_get_value(attendee)) {
            if (const char* address = icalproperty_get_attendee(attendee)) {
                content.attendees.push_back(participantOf(attendee, address));
            }
        }
    }
}

void readAlarms(icalcomponent* event, EventContent& content) {
    for (auto* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT); alarm;
         alarm = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
        icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (!trigger || !icalproperty_get_value(trigger)) {
            continue;
        }
        const auto value = icalproperty_get_trigger(trigger);
        if (!icaltime_is_null_time(value.time)) {
            const WallTime wall{.year = value.time.year,
                                .month = value.time.month,
                                .day = value.time.day,
                                .hour = value.time.hour,
                                .minute = value.time.minute,
                                .second = std::min(value.time.second, 59)};
            if (isValidWall(wall)) {
                content.alarms.push_back(Alarm{.absoluteDate = Instant{double(wallSeconds(wall))}});
            }
        } else if (!icaldurationtype_is_bad_duration(value.duration)) {
            Alarm alarm;
            alarm.relativeOffset = double(icaldurationtype_as_int(value.duration));
            content.alarms.push_back(alarm);
        }
    }
}

std::optional<RecurrenceRule> ruleOf(const icalrecurrencetype& rule, std::string_view text,
                                     const ZonedTime& start) {
    // Calendar values are not shared between threads: files are read on several at once.
    thread_local const Calendar utc = Calendar::make("UTC").value();
    RecurrenceRule result;
    switch (rule.freq) {
    case ICAL_DAILY_RECURRENCE:
        result.frequency = RecurrenceFrequency::daily;
        break;
    case ICAL_WEEKLY_RECURRENCE:
        result.frequency = RecurrenceFrequency::weekly;
        break;
    case ICAL_MONTHLY_RECURRENCE:
        result.frequency = RecurrenceFrequency::monthly;
        break;
    case ICAL_YEARLY_RECURRENCE:
        result.frequency = RecurrenceFrequency::yearly;
        break;
    default:
        return std::nullopt; // repeats within a day: not a rule the store can describe
    }
    result.interval = int(std::min<std::int64_t>(ruleInterval(text), INT_MAX));
    for (int i = 0; i < ICAL_BY_DAY_SIZE && rule.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
        const int weekday = int(icalrecurrencetype_day_day_of_week(rule.by_day[i]));
        if (weekday >= 1 && weekday <= 7) {
            result.daysOfTheWeek.push_back(
                RecurrenceDayOfWeek{.dayOfTheWeek = weekday,
                                    .weekNumber = icalrecurrencetype_day_position(rule.by_day[i])});
        }
    }
    auto copy = [](const short* values, int size, std::vector<int>& into) {
        for (int i = 0; i < size && values[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
            into.push_back(values[i]);
        }
    };
    copy(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE, result.daysOfTheMonth);
    copy(rule.by_month, ICAL_BY_MONTH_SIZE, result.monthsOfTheYear);
    copy(rule.by_set_pos, ICAL_BY_SETPOS_SIZE, result.setPositions);
    if (rule.count > 0) {
        result.occurrenceCount = rule.count;
    } else if (!icaltime_is_null_time(rule.until)) {
        const WallTime until = wallFromIcal(rule.until);
        if (isValidWall(until)) {
            if (icaltime_is_utc(rule.until)) {
                result.endDate = Instant{double(wallSeconds(until))};
            } else {
                // A local UNTIL is in the event's own zone (floating ones read as UTC here).
                ZoneConverter zone(start.zone, {}, utc);
                result.endDate = zone.toInstant(until);
            }
        }
    }
    return result;
}

std::string ruleTextOf(icalproperty* rrule) {
    for (auto* p = icalproperty_get_first_parameter(rrule, ICAL_X_PARAMETER); p;
         p = icalproperty_get_next_parameter(rrule, ICAL_X_PARAMETER)) {
        const char* name = icalparameter_get_xname(p);
        const char* value = icalparameter_get_xvalue(p);
        if (name && value && kRuleTextParameter == name) {
            return value;
        }
    }
    if (!icalproperty_get_value(rrule)) {
        return {};
    }
    const auto rule = icalproperty_get_rrule(rrule);
    char* written = icalrecurrencetype_as_string_r(const_cast<icalrecurrencetype*>(&rule));
    std::string result = written ? written : "";
    icalmemory_free_buffer(written);
    return result;
}

void setRuleText(icalproperty* rrule, std::string_view text) {
    const std::string safe = safeRule(text);
    auto rule = icalrecurrencetype_from_string(safe.c_str());
    icalerror_clear_errno();
    icalproperty_set_rrule(rrule, rule);
    std::free(rule.rscale);
    std::vector<icalparameter*> old;
    for (auto* p = icalproperty_get_first_parameter(rrule, ICAL_X_PARAMETER); p;
         p = icalproperty_get_next_parameter(rrule, ICAL_X_PARAMETER)) {
        if (const char* name = icalparameter_get_xname(p); name && kRuleTextParameter == name) {
            old.push_back(p);
        }
    }
    for (auto* p : old) {
        icalproperty_remove_parameter_by_ref(rrule, p);
    }
    auto* parameter = icalparameter_new_x(std::string(text).c_str());
    icalparameter_set_xname(parameter, std::string(kRuleTextParameter).c_str());
    icalproperty_add_parameter(rrule, parameter);
}

Revision revisionOf(icalcomponent* event) {
    Revision revision;
    if (auto* sequence = icalcomponent_get_first_property(event, ICAL_SEQUENCE_PROPERTY);
        sequence && icalproperty_get_value(sequence)) {
        revision.sequence = icalproperty_get_sequence(sequence);
    }
    if (auto* stamp = icalcomponent_get_first_property(event, ICAL_DTSTAMP_PROPERTY);
        stamp && icalproperty_get_value(stamp)) {
        const WallTime wall = wallFromIcal(icalproperty_get_dtstamp(stamp));
        if (isValidWall(wall)) {
            revision.stamp = wallSeconds(wall);
        }
    }
    icalerror_clear_errno();
    return revision;
}

} // namespace plannery::ics
