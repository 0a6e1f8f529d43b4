#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <string>

// The texts of the agenda list. Everything locale-dependent comes from the cached ICU formatters
// of DateFormats; the day of the month is the time grid header's number.
namespace plannery::AgendaText {

inline constexpr const char* showEarlier = "Show Earlier";
inline constexpr const char* noEvents = "No events";
inline constexpr const char* allDay = "All day";

// The heading above a new month: the wide month name and the year in the locale's order
// ("March 2025").
std::string monthHeading(Instant day, const Calendar& calendar);
// The weekday of a date badge, abbreviated and upper-cased by the locale's rules ("MON").
std::string badgeWeekday(Instant day, const Calendar& calendar);

// The time of an event as its row reads on the section of `day`: "All day" for all-day events
// and for the middle days of long ones; both times joined by a spaced en dash when it starts
// and ends that day; the start and an arrow on its first day, an arrow and the end on its last.
// The last day is that of the event's last instant, so an event ending at midnight does not
// spill into the next day.
std::string timeText(const CalEvent& event, Instant day, const Calendar& calendar);

} // namespace plannery::AgendaText
