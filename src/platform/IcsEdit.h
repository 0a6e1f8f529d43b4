#pragma once

#include "model/Calendar.h"
#include "model/EventStore.h"
#include "model/Instant.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Changes to the text of one calendar file, made the way a careful calendar client makes them:
// only what was asked changes. Everything else in the file (properties and parameters the program
// does not know, VALARMs, VTODOs, VTIMEZONEs, other UIDs, other overrides) is written back as it
// was read. Times are written in the form the event already uses (a named zone, UTC, floating or
// a DATE); an occurrence is named (RECURRENCE-ID, EXDATE) in the form of its series' DTSTART.
namespace plannery::ics::edit {

// The new text of the file, or a sentence saying why it could not be made.
struct Result {
    std::optional<std::string> text;
    std::optional<std::string> error;
};

// A file holding one new event: VCALENDAR with PRODID and VERSION, one VEVENT with the UID,
// DTSTAMP/CREATED/LAST-MODIFIED = now, SUMMARY, LOCATION, DESCRIPTION, URL, STATUS, GEO, the
// times (a DATE span for an all-day event, TZID = the event's time zone when it has one, else
// floating), its recurrence rules, VALARMs for its alarms, and a VTIMEZONE for the zone (libical's
// definition; a zone libical does not know is written in UTC). `calendar` is the user's: the
// dates of an all-day event and floating times are its wall-clock times.
std::string newEvent(const StoreEvent& event, std::string_view uid, Instant now,
                     const Calendar& calendar);

// Applies the differences between `before` (the occurrence as it was read) and `after` (what the
// user made of it) to the series with this UID:
// - for an event that does not repeat, or for the whole series, to the master (its start and end
//   moved by the change of the occurrence's start and end, as clients do for a series);
// - for one occurrence (Span::thisEvent of a repeating event), to its override, made from the
//   master when there is none yet.
// SEQUENCE is bumped when the times change; DTSTAMP and LAST-MODIFIED become `now`.
// `calendar` is the user's: floating and DATE times are read in its zone.
Result change(std::string_view text, std::string_view uid, const StoreEvent& before,
              const StoreEvent& after, Span span, Instant now, const Calendar& calendar);

// Removes one occurrence of a repeating series: an EXDATE for it, and its override (if any)
// goes.
Result excludeOccurrence(std::string_view text, std::string_view uid, Instant occurrenceDate,
                         Instant now, const Calendar& calendar);

// Ends a repeating series before this occurrence: every RRULE gets an UNTIL just before it (a
// COUNT becomes that UNTIL), RDATEs, EXDATEs and overrides from it on go.
Result endBefore(std::string_view text, std::string_view uid, Instant occurrenceDate, Instant now,
                 const Calendar& calendar);

// Splits a repeating series at an occurrence that is not its first: `text` ends before it (as
// endBefore), and `newSeries` is a new file whose UID is `newUid` repeating from that occurrence
// on (the master's properties and rules, COUNT reduced by the occurrences that stay in the old
// series, overrides from it on moved along).
struct Split {
    std::optional<std::string> text;
    std::optional<std::string> newSeries;
    std::optional<std::string> error;
};
Split split(std::string_view text, std::string_view uid, Instant occurrenceDate,
            std::string_view newUid, Instant now, const Calendar& calendar);

// Removes every component of the series (master and overrides) from a file that also holds
// other UIDs.
Result removeSeries(std::string_view text, std::string_view uid);

// Answers an invitation: PARTSTAT of every ATTENDEE whose mailto address is one of
// `userAddresses` (lower case) becomes the status, and RSVP=TRUE goes; on the master (the whole
// series, no occurrence given) or on the override of one occurrence (made when missing).
// DTSTAMP becomes `now`; SEQUENCE stays, as it is the organizer's to change.
Result reply(std::string_view text, std::string_view uid, std::optional<Instant> occurrenceDate,
             const std::vector<std::string>& userAddresses, ParticipantStatus status, Instant now,
             const Calendar& calendar);

} // namespace plannery::ics::edit
