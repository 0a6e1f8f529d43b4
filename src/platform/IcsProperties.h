#pragma once

#include "model/EventStore.h"
#include "platform/IcsSeries.h"

#include <libical/ical.h>

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What the properties of one VEVENT say, in the event store's terms.
namespace plannery::ics {

// A text or URI value as valid UTF-8; absent when missing or empty.
std::optional<std::string> textOf(icalcomponent* component, icalproperty_kind kind);
// GEO, else the geo: URI of X-APPLE-STRUCTURED-LOCATION; absent when out of range.
std::optional<GeoLocation> geoOf(icalcomponent* component);
void readParticipants(icalcomponent* event, EventContent& content);
void readAlarms(icalcomponent* event, EventContent& content);
// nullopt for rules that repeat within a day, which the store cannot describe. `text` is the
// rule as written (see ruleTextOf), whose INTERVAL may be beyond what the parser's form holds.
std::optional<RecurrenceRule> ruleOf(const icalrecurrencetype& rule, std::string_view text,
                                     const ZonedTime& start);

// An RRULE's value as written: what the line given to the parser kept in kRuleTextParameter (see
// withRuleText), else the parser's own writing of the rule.
std::string ruleTextOf(icalproperty* rrule);
// Makes an RRULE say `text`, as written, also where the parser's form cannot hold it.
void setRuleText(icalproperty* rrule, std::string_view text);

// How recent one VEVENT is among those that describe the same event or occurrence: a higher
// SEQUENCE wins, then a later DTSTAMP. Missing values count as the oldest.
struct Revision {
    int sequence = 0;
    std::int64_t stamp = INT64_MIN; // DTSTAMP as written, in seconds (see wallSeconds)

    friend auto operator<=>(const Revision&, const Revision&) = default;
};
Revision revisionOf(icalcomponent* event);

} // namespace plannery::ics
