#pragma once

#include "finder/EventSuggestion.h"
#include "model/AccountKind.h"
#include "model/CalendarMirrors.h"
#include "model/EventStore.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace plannery {

// A calendar that found events may be added to, with the name of its account.
struct CalendarChoice {
    CalendarHandle calendar{};
    std::string account{};
};

// How found events become events in a calendar: which calendars may take them, which one does,
// and what a saved event holds.
namespace ImageEventsSaving {

// Every calendar that takes new events and shows (itself or a mirror of it is not hidden), in the
// order of the account groups.
std::vector<CalendarChoice> writableCalendars(const std::vector<AccountGroup>& groups,
                                              const CalendarMirrors& mirrors,
                                              const std::set<std::string>& hidden);

// The calendar named by `calendarID` among the choices; else the default calendar for new events
// when it is one of them; else the first; none without choices.
CalendarHandle chosen(const std::vector<CalendarChoice>& choices, const std::string& calendarID,
                      const CalendarHandle& defaultCalendar);

// A new event for the calendar with the suggestion's title, times, place and notes. An all-day
// event ends a second before its exclusive end, inside its last day; a timed one is kept in the
// suggestion's zone, or in `systemZone` when it has none.
StoreEvent event(const EventSuggestion& suggestion, CalendarHandle calendar,
                 const std::string& systemZone);

// The suggestions not yet added, in order.
std::vector<EventSuggestion> pending(const std::vector<EventSuggestion>& suggestions,
                                     const std::map<std::string, std::string>& added);
// The earliest start among the added suggestions; none when nothing was added.
std::optional<Instant> earliestAdded(const std::vector<EventSuggestion>& suggestions,
                                     const std::map<std::string, std::string>& added);

} // namespace ImageEventsSaving

} // namespace plannery
