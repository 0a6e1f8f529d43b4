#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/CalendarMirrors.h"
#include "model/EventDays.h"
#include "model/EventStore.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the command line prints: plain text for people, JSON for scripts.
namespace plannery::cli::Output {

// A JSON string literal with its quotes: quotes, backslashes and control characters escaped,
// valid UTF-8 passed through, and a byte that is not UTF-8 written as the lone surrogate
// U+DC00 plus the byte ("\udce9" for 0xE9), as file names are decoded where names are text
// (Python's "surrogateescape"); given back as an argument, such a name is the same bytes.
std::string jsonString(std::string_view text);
// "2026-12-07T09:00:00+01:00": the wall-clock time in the calendar's zone and its offset.
std::string isoDateTime(Instant t, const Calendar& calendar);
// "2026-12-07"
std::string isoDate(Instant t, const Calendar& calendar);
// "#RRGGBB"; nullopt without a colour or for a grey.
std::optional<std::string> hexColor(const std::optional<PlatformColor>& color);

std::string_view calendarTypeName(CalendarType type);

// One event as a JSON object with the record's field names; absent optionals are left out.
std::string eventJson(const CalEvent& event, const Calendar& calendar);

// A heading per day ("Monday, December 7, 2026" in the calendar's locale), then one line per
// event: time range, title, calendars, and marks for declined, tentative and cancelled events.
// `continued`: days were printed before these, so that a long agenda is printed in parts.
void agendaText(std::ostream& out, const EventDays& days, const Calendar& calendar,
                bool continued = false);
// {"days":[{"day":"YYYY-MM-DD","events":[...]}]}
void agendaJson(std::ostream& out, const EventDays& days, const Calendar& calendar);
// The same in parts: the opening, the days (`continued` after earlier ones), the closing.
void agendaJsonOpen(std::ostream& out);
void agendaJsonDays(std::ostream& out, const EventDays& days, const Calendar& calendar,
                    bool continued);
void agendaJsonClose(std::ostream& out);

// Each group with its preferred calendar first, by title, account and identifier.
void mirrorsText(std::ostream& out, const CalendarMirrors& mirrors,
                 const std::vector<CalendarHandle>& calendars);
// {"groups":[["calendar-id", ...], ...]}
void mirrorsJson(std::ostream& out, const CalendarMirrors& mirrors);

} // namespace plannery::cli::Output
