#pragma once

#include "model/Calendar.h"
#include "model/EventStore.h"
#include "model/Instant.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The texts of the event detail sheet: date and time lines, the time in the event's own zone,
// the recurrence sentence, alert descriptions, plain text from notes that may hold HTML, links in
// a location, the address in a participant URL and the initials of an avatar. Every function
// takes the calendar (with its zone) and the locale explicitly; the callers pass the user's.
// Words come from the locale's date, interval, list, number and duration formatters; the fixed
// English texts are put around them.
namespace plannery::DetailFormat {

struct WhenLines {
    std::string date{};
    std::string time{};

    friend bool operator==(const WhenLines&, const WhenLines&) = default;
};

// The two lines under the title. A timed event over several days puts its start (ending in
// " –") on the first line and its end on the second.
WhenLines when(Instant start, Instant end, bool allDay, const Calendar& calendar,
               const std::string& localeId);
// Clock times of a range: one time when it is empty, the locale's own range form within a day.
std::string times(Instant start, Instant end, const Calendar& calendar,
                  const std::string& localeId);

// The zone worth naming for an event whose copies carry these zones (identifiers such as
// "America/Los_Angeles"): none when a copy is already in the user's offset, or when every zone is
// a spelling of UTC.
std::optional<std::string> eventZone(const std::vector<std::optional<std::string>>& zones,
                                     Instant start, const Calendar& calendar);
// "9:00 – 10:00 AM Pacific Time": the event's times on the clocks of its own zone, when those
// differ from the user's.
std::optional<std::string> timeZoneNote(Instant start, Instant end,
                                        const std::optional<std::string>& eventZone,
                                        const Calendar& calendar, const std::string& localeId);

// "Every week", "Every 2 weeks": `unit` is the singular for n <= 1 and the plural otherwise.
std::string every(std::string_view unit, int n, const std::string& localeId);
// "Every month on the last Friday, until Dec 31, 2026".
std::string recurrence(const RecurrenceRule& rule, const Calendar& calendar,
                       const std::string& localeId);

// A relative alert, `offset` seconds from the start (negative before it).
std::string alarm(double offset, bool allDay, Instant start, const Calendar& calendar,
                  const std::string& localeId);
// An alert at a fixed date and time.
std::string alarm(Instant date, const Calendar& calendar, const std::string& localeId);

// Readable text from notes that may be HTML (as mail and web calendars write them): links keep
// their address, line and list tags become line breaks and bullets, other tags go.
std::string plainNotes(std::string_view text);

// The first web link (http or https) in a text such as a location; a bare "www." or domain name
// gets "http://".
std::optional<std::string> link(std::string_view text);

// The address of a "mailto:" participant URL, without any query part.
std::optional<std::string> email(std::string_view url);

// Up to two letters for an avatar: "Mary Ann Smith" gives "MA", "ann.lee@example.com" gives "A".
std::string initials(std::string_view name);

} // namespace plannery::DetailFormat
