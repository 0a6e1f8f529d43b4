#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/EventStore.h"

#include <optional>
#include <string>
#include <vector>

// Keeping the copies behind an open detail sheet current: after an edit the copies may no longer
// be one event (a copy moved to another day, or retitled), and before an edit a copy is read again
// from the event store.
namespace plannery::EventDetailCopies {

// The event store's occurrences behind a (possibly merged) event, in the order of its
// identifiers: for each, the occurrence that starts when the event does, else the first around
// its time, else the single event of that identifier anywhere.
std::vector<StoreEvent> behind(const EventStore& store, const CalEvent& event);

// The copies as the store has them now; those that cannot be read again are gone (deleted, or
// moved out of reach).
std::vector<StoreEvent> readAgain(const EventStore& store, std::vector<StoreEvent> copies);

// The copies that still belong with the focus copy (the one whose identifier is `focusID`, else
// the first) once the copies that no longer exist are gone: with several, those merged into the
// same event as the focus copy, in their order; the focus copy alone when the merge parts them.
std::vector<StoreEvent> regrouped(const std::vector<StoreEvent>& kept,
                                  const std::optional<std::string>& focusID,
                                  const Calendar& calendar);

// The store's current version of a copy's occurrence: the event with its identifier around its
// start that starts when the copy does, else the first such; none when it is gone.
std::optional<StoreEvent> occurrenceLike(const EventStore& store, const StoreEvent& copy);

} // namespace plannery::EventDetailCopies
