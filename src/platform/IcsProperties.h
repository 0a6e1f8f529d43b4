#pragma once

#include "model/EventStore.h"
#include "platform/IcsSeries.h"

#include <libical/ical.h>

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

// What the properties of one VEVENT say, in the event store's terms.
namespace plannery::ics {

// A text or URI value as valid UTF-8; absent when missing or empty.
std::optional<std::string> textOf(icalcomponent* component, icalproperty_kind kind);
// GEO, else the geo: URI of X-APPLE-STRUCTURED-LOCATION; absent when out of range.
std::optional<GeoLocation> geoOf(icalcomponent* component);
void readParticipants(icalcomponent* event, EventContent& content);
void readAlarms(icalcomponent* event, EventContent& content);
// nullopt for rules that repeat within a day, which the store cannot describe.
std::optional<RecurrenceRule> ruleOf(const icalrecurrencetype& rule, const ZonedTime& start);

// How recent one VEVENT is among those that describe the same event or occurrence: a higher
// SEQUENCE wins, then a later DTSTAMP. Missing values count as the oldest.
struct Revision {
    int sequence = 0;
    std::int64_t stamp = INT64_MIN; // DTSTAMP as written, in seconds (see wallSeconds)

    friend auto operator<=>(const Revision&, const Revision&) = default;
};
Revision revisionOf(icalcomponent* event);

} // namespace plannery::ics
