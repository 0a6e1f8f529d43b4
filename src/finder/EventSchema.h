#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The shape a language model must answer in: one object {"events": [...]} of at most twelve
// events, each with eight string properties (an empty string for "none"). The descriptions are
// part of what the model reads.
namespace plannery::EventSchema {

// At most this many events are generated, which bounds the answer's length.
inline constexpr std::size_t kMaxEvents = 12;

struct Property {
    std::string_view name;
    std::string_view description;
};

inline constexpr std::string_view kEventsDescription =
    "The events in the text, in order. Empty if there are none.";

// The event's properties in the order they are generated.
inline constexpr std::array<Property, 8> kEventProperties{{
    {"title", "Short title, like 'Fall Festival' or 'Dentist', in normal capitalization"},
    {"startDate", "Start date as yyyy-MM-dd"},
    {"startTime", "Start time as HH:mm, 24-hour, or empty for an all-day event"},
    {"endDate", "End date as yyyy-MM-dd if it ends on a later day, else empty"},
    {"endTime", "End time as HH:mm, 24-hour, or empty if none is given"},
    {"timeZone", "IANA identifier of the zone the text gives the times in (America/New_York for "
                 "ET), else empty"},
    {"location", "Venue, address or video call link, or empty"},
    {"notes", "Other useful details in a few words, or empty"},
}};

// The start date must be four digits, hyphen, two digits, hyphen, two digits.
inline constexpr std::string_view kStartDatePattern = "^\\d{4}-\\d{2}-\\d{2}$";

// The schema as JSON Schema (draft 2020-12 subset that structured-output servers accept): every
// property required, no others allowed, the events' maximum count and the start date's pattern.
std::string jsonSchema();

} // namespace plannery::EventSchema
