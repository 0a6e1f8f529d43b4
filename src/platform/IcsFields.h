#pragma once

#include "model/EventStore.h"
#include "platform/IcsEditDocument.h"

#include <libical/ical.h>

#include <optional>
#include <string>
#include <vector>

// Writing what the user changed of an event into its VEVENT: only the properties whose value
// differs between the event as read and as edited are touched.
namespace plannery::ics::edit {

// SUMMARY, LOCATION, DESCRIPTION, URL, STATUS and GEO; true when anything was written.
bool writeFields(icalcomponent* event, const EventContent& before, const EventContent& after);

// Makes the VALARMs say `after`: alarms that stay keep their component untouched. True when
// anything was written.
bool writeAlarms(icalcomponent* event, const std::vector<Alarm>& before,
                 const std::vector<Alarm>& after, const std::optional<std::string>& title);

// DTSTART and DTEND (or DURATION) of the target. For a whole series the master moves by the
// change of the occurrence's wall-clock start, and its EXDATEs, RDATEs, UNTIL and the overrides'
// RECURRENCE-IDs move along, so that the same occurrences stay excluded and replaced. True when
// any time was written.
bool writeTimes(Document& document, icalcomponent* target, const StoreEvent& before,
                const StoreEvent& after, bool wholeSeries);

// The end of an event starting at `start` (written in `frame`) as long as `event`.
WallTime endWall(const Frame& frame, const WallTime& start, const StoreEvent& event,
                 const Document& document);

// The end of the master's occurrence that starts at `start`, written in `endFrame`.
WallTime shiftedEnd(const Document& document, icalcomponent* master, Instant start,
                    const Frame& endFrame);

icalrecurrencetype recurrenceOf(const RecurrenceRule& rule, const Frame& frame,
                                const Document& document);

} // namespace plannery::ics::edit
