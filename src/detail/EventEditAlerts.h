#pragma once

#include "model/Calendar.h"
#include "model/EventStore.h"
#include "model/Instant.h"

#include <string>
#include <vector>

namespace plannery {

// One alert the editor offers, with the words it is shown with.
struct AlertChoice {
    Alarm alarm{};
    std::string label{};

    friend bool operator==(const AlertChoice&, const AlertChoice&) = default;
};

namespace EventEdit {

// The alerts the editor offers for an event starting at `start`: the usual ones for a timed
// event (at its start, 5, 10, 15 and 30 minutes, 1 and 2 hours, 1 and 2 days and a week before)
// or for an all-day event (9:00 on the day, 1 and 2 days and a week before at 9:00), and every
// alert of `kept` that is not among them, so that an alert the event already has can stay.
// Relative alerts come first, the earliest-firing last; alerts at a fixed date follow in date
// order. No alert appears twice.
std::vector<AlertChoice> alertChoices(bool allDay, const std::vector<Alarm>& kept, Instant start,
                                      const Calendar& calendar);

} // namespace EventEdit

} // namespace plannery
