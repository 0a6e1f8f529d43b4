#pragma once

#include "model/Calendar.h"
#include "model/Instant.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace plannery {

// One event as it is shared in a calendar file. The detail sheet compares the record it last
// wrote with a new one to decide whether the file must be written again.
struct IcsEvent {
    std::string uid{};
    std::string title{}; // may be empty
    Instant start{};
    Instant end{}; // exclusive
    bool isAllDay = false;
    std::optional<std::string> location{};
    std::optional<std::string> notes{};
    std::optional<std::string> url{}; // absolute URL text
    // The start this occurrence has in its repeating series; absent for a single event.
    std::optional<Instant> occurrence{};

    friend bool operator==(const IcsEvent&, const IcsEvent&) = default;
};

// The text of an iCalendar file holding one event: one VCALENDAR with one VEVENT, UTF-8, CRLF
// line endings, content lines folded at 75 octets. Every function is pure; writing the file to
// disk lives with the platform code (platform/IcsShareFile.h).
namespace Ics {

// The whole file, stamped with `stamp`; all-day dates are the days of `calendar`.
std::string calendar(const IcsEvent& event, Instant stamp, const Calendar& calendar);

// The UID before escaping: an occurrence of a series gets its own, the series' uid followed by
// "-" and the occurrence's date (all-day) or UTC date-time (timed).
std::string uid(const IcsEvent& event, const Calendar& calendar);

// "20261203": the instant's date in the calendar's zone.
std::string date(Instant instant, const Calendar& calendar);

// "20261203T143000Z": the instant in UTC, fractions of a second dropped.
std::string utc(Instant instant);

// A TEXT property value: backslash, semicolon and comma escaped, line breaks as "\n" (CR LF
// counts once), tabs kept, other control characters dropped.
std::string text(std::string_view value);

// One content line folded so that no physical line exceeds 75 octets; a continuation starts
// with one space and a multi-octet character is never split.
std::string fold(std::string_view line);

// A file name made from a title: characters that file systems or shells trip over become spaces,
// white space collapses, leading dots go, at most 60 characters; "Event.ics" for an empty title.
std::string fileName(std::string_view title);

} // namespace Ics

} // namespace plannery

template <> struct std::hash<plannery::IcsEvent> {
    std::size_t operator()(const plannery::IcsEvent& event) const noexcept;
};
