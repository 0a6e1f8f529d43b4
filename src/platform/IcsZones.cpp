#include "platform/IcsZones.h"

#include "model/StringMap.h"
#include "model/ZoneOffsets.h"

#include <libical/ical.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>

namespace plannery::ics {

namespace {

icu::UnicodeString unicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), int(text.size())));
}

} // namespace

struct KnownZone {
    explicit KnownZone(std::unique_ptr<const icu::TimeZone> made)
        : zone(std::move(made)), offsets(*zone) {}

    std::unique_ptr<const icu::TimeZone> zone;
    ZoneOffsets offsets;
};

namespace {

// Zones by identifier, made once per thread: creating an ICU zone loads its rules from the data
// files, which costs far more than the conversions done with it. Null for an unknown identifier.
std::shared_ptr<KnownZone> icuZone(std::string_view id) {
    constexpr std::size_t kMaxZones = 1024; // only a crafted file names this many
    thread_local StringMap<std::shared_ptr<KnownZone>> zones;
    // A calendar's events are nearly all in one zone: comparing with the zone asked for last is
    // cheaper than hashing the identifier.
    thread_local std::optional<std::pair<std::string, std::shared_ptr<KnownZone>>> last;
    if (last && last->first == id) {
        return last->second;
    }
    if (const auto found = zones.find(id); found != zones.end()) {
        last.emplace(found->first, found->second);
        return found->second;
    }
    if (zones.size() >= kMaxZones) {
        zones.clear();
    }
    std::shared_ptr<KnownZone> known;
    if (!id.empty()) {
        std::unique_ptr<const icu::TimeZone> zone(icu::TimeZone::createTimeZone(unicode(id)));
        if (zone && *zone != icu::TimeZone::getUnknown()) {
            known = std::make_shared<KnownZone>(std::move(zone));
        }
    }
    zones.emplace(std::string(id), known);
    last.emplace(std::string(id), known);
    return known;
}

bool icuKnows(std::string_view id) {
    return icuZone(id) != nullptr;
}

// libical expands a VTIMEZONE's rules from their DTSTART to a fixed year; only yearly rules are
// what zones use, and anything else could make that expansion enormous.
void dropUnsafeZoneRules(icalcomponent* zone) {
    for (auto* part = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
        std::vector<icalproperty*> drop;
        for (auto* rule = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); rule;
             rule = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
            if (icalproperty_get_value(rule) == nullptr ||
                icalproperty_get_rrule(rule).freq != ICAL_YEARLY_RECURRENCE ||
                icalproperty_get_rrule(rule).interval < 1) {
                drop.push_back(rule);
            }
        }
        for (auto* rule : drop) {
            icalcomponent_remove_property(part, rule);
            icalproperty_free(rule);
        }
    }
}

// The zone a VTIMEZONE text defines, when its TZID is the one asked for.
std::shared_ptr<icaltimezone> parseFileZone(const std::string& tzid, const std::string& text) {
    icalcomponent* parsed = icalparser_parse_string(text.c_str());
    if (!parsed) {
        return nullptr;
    }
    icalcomponent* vtimezone =
        icalcomponent_isa(parsed) == ICAL_VTIMEZONE_COMPONENT
            ? parsed
            : icalcomponent_get_first_component(parsed, ICAL_VTIMEZONE_COMPONENT);
    icalproperty* property =
        vtimezone ? icalcomponent_get_first_property(vtimezone, ICAL_TZID_PROPERTY) : nullptr;
    const char* name =
        property && icalproperty_get_value(property) ? icalproperty_get_tzid(property) : nullptr;
    if (!name || tzid != name) {
        icalcomponent_free(parsed);
        return nullptr;
    }
    if (vtimezone != parsed) {
        icalcomponent_remove_component(parsed, vtimezone);
        icalcomponent_free(parsed);
    }
    dropUnsafeZoneRules(vtimezone);
    std::shared_ptr<icaltimezone> zone(icaltimezone_new(),
                                       [](icaltimezone* z) { icaltimezone_free(z, 1); });
    if (!icaltimezone_set_component(zone.get(), vtimezone)) {
        icalcomponent_free(vtimezone);
        return nullptr;
    }
    return zone;
}

std::shared_ptr<icaltimezone> fileZone(const std::string& tzid,
                                       const std::vector<std::string>& timeZones) {
    // Parsed zones of the files read lately, per thread: a series with many overrides converts
    // each of their times in the same zone.
    constexpr std::size_t kMaxZones = 64;
    thread_local std::unordered_map<std::string, std::shared_ptr<icaltimezone>> parsed;
    for (const auto& text : timeZones) {
        if (text.find(tzid) == std::string::npos) {
            continue;
        }
        if (const auto found = parsed.find(text); found != parsed.end()) {
            return found->second;
        }
        if (parsed.size() >= kMaxZones) {
            parsed.clear();
        }
        auto zone = parseFileZone(tzid, text);
        if (zone) {
            parsed.emplace(text, zone);
            return zone;
        }
    }
    return nullptr;
}

} // namespace

void prepareLibical() {
    static std::once_flag once;
    // Errors in data are expected here; they must never abort the program.
    std::call_once(once, [] { icalerror_set_errors_are_fatal(0); });
}

icaltimetype toIcal(const WallTime& wall) {
    icaltimetype time = icaltime_null_time();
    time.year = wall.year;
    time.month = wall.month;
    time.day = wall.day;
    time.is_date = wall.isDate ? 1 : 0;
    if (!wall.isDate) {
        time.hour = wall.hour;
        time.minute = wall.minute;
        time.second = wall.second;
    }
    return time;
}

WallTime wallFromIcal(const icaltimetype& time) {
    return WallTime{.year = time.year,
                    .month = time.month,
                    .day = time.day,
                    .hour = time.is_date ? 0 : time.hour,
                    .minute = time.is_date ? 0 : time.minute,
                    .second = time.is_date ? 0 : std::min(time.second, 59),
                    .isDate = time.is_date != 0};
}

std::optional<std::string> icuZoneFor(std::string_view tzid) {
    while (!tzid.empty() && (tzid.front() == '"' || tzid.front() == ' ')) {
        tzid.remove_prefix(1);
    }
    while (!tzid.empty() && (tzid.back() == '"' || tzid.back() == ' ')) {
        tzid.remove_suffix(1);
    }
    if (tzid.empty() || tzid.size() > 200) {
        return std::nullopt;
    }
    if (icuKnows(tzid)) {
        return std::string(tzid);
    }
    // Vendor prefixes ("/freeassociation.sourceforge.net/Tzfile/Europe/London",
    // "/mozilla.org/20070129_1/Europe/Berlin"): try each tail after a slash.
    for (std::size_t slash = tzid.find('/'); slash != std::string_view::npos;
         slash = tzid.find('/', slash + 1)) {
        if (icuKnows(tzid.substr(slash + 1))) {
            return std::string(tzid.substr(slash + 1));
        }
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString id;
    icu::TimeZone::getIDForWindowsID(unicode(tzid), nullptr, id, status);
    if (U_SUCCESS(status) && !id.isEmpty()) {
        std::string result;
        id.toUTF8String(result);
        if (icuKnows(result)) {
            return result;
        }
    }
    return std::nullopt;
}

ZoneConverter::ZoneConverter(const ZoneRef& zone, const std::vector<std::string>& timeZones,
                             const Calendar& calendar)
    : m_kind(zone.kind), m_calendar(&calendar) {
    prepareLibical();
    if (zone.kind != ZoneRef::Kind::named) {
        return;
    }
    if ((m_icuZone = icuZone(zone.id))) {
        return;
    }
    if ((m_icalZone = fileZone(zone.id, timeZones))) {
        return;
    }
    // A zone nobody can place: its times float.
    m_kind = ZoneRef::Kind::floating;
}

ZoneConverter::~ZoneConverter() = default;

std::optional<Instant> ZoneConverter::toInstant(const WallTime& wall) const {
    if (!isValidWall(wall)) {
        return std::nullopt;
    }
    const double local = double(wallSeconds(wall));
    if (wall.isDate || m_kind == ZoneRef::Kind::floating) {
        return m_calendar->instantOfWallSeconds(local);
    }
    if (m_kind == ZoneRef::Kind::utc) {
        return Instant{local};
    }
    if (m_icuZone) {
        // A skipped time is read with the offset before the change (so it moves forward by the
        // gap), an ambiguous one as the first of the two.
        const auto offset = m_icuZone->offsets.ofWall(local);
        return offset ? std::optional(Instant{local - *offset}) : std::nullopt;
    }
    if (m_icalZone) {
        icaltimetype time = toIcal(wall);
        int daylight = 0;
        const int offset = icaltimezone_get_utc_offset(m_icalZone.get(), &time, &daylight);
        return Instant{local - offset};
    }
    return Instant{local};
}

WallTime ZoneConverter::toWall(Instant t) const {
    // Years beyond ±30,000 have no written form; clamping keeps the arithmetic in range.
    constexpr double kFarthest = 1e12;
    const double seconds =
        std::isfinite(t.seconds) ? std::clamp(t.seconds, -kFarthest, kFarthest) : 0;
    double offset = 0;
    if (m_kind == ZoneRef::Kind::floating) {
        offset = m_calendar->utcOffsetSeconds(Instant{seconds});
    } else if (m_icuZone) {
        offset = m_icuZone->offsets.ofInstant(seconds).value_or(0);
    } else if (m_icalZone) {
        icaltimetype utc = toIcal(wallFromSeconds(std::int64_t(std::floor(seconds)), false));
        int daylight = 0;
        offset = icaltimezone_get_utc_offset_of_utc_time(m_icalZone.get(), &utc, &daylight);
    }
    return wallFromSeconds(std::int64_t(std::floor(seconds + offset)), false);
}

std::optional<Instant> instantOf(const ZonedTime& time, const std::vector<std::string>& timeZones,
                                 const Calendar& calendar) {
    return ZoneConverter(time.zone, timeZones, calendar).toInstant(time.wall);
}

} // namespace plannery::ics
