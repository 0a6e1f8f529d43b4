#pragma once

#include "model/AccountGroups.h"
#include "model/Calendar.h"
#include "model/EventStore.h"

#include <optional>
#include <string>
#include <vector>

// Links into the Google Calendar web pages.
namespace plannery::GoogleCalendarLink {

// https://calendar.google.com/calendar/r/day/2026/3/7 for the date's day in the calendar.
std::string dayURL(Instant date, const Calendar& calendar);

// The current user's own address on the event (organizer or attendee flagged as the user), when
// it is an e-mail address.
std::optional<std::string> ownAddress(const StoreEvent& event);

// Whether the copy lives on Google: its identifier is one Google gives, or its calendar (neither
// a subscription nor birthdays) belongs to an account classified as Google, asking the Google
// check only when the title and calendar leave the kind open.
bool isGoogleCopy(const StoreEvent& copy, const GoogleCheck& looksLikeGoogle);

// The page of the event for the copies of one event (the first of them the primary): the event
// page of the first Google copy whose event id and owner are known, else the day page of the
// first Google copy's start, else nothing (no Google copy).
std::optional<std::string> eventURL(const std::vector<StoreEvent>& copies,
                                    const GoogleCheck& looksLikeGoogle, const Calendar& calendar);

} // namespace plannery::GoogleCalendarLink
