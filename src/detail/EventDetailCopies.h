#pragma once

#include "model/Calendar.h"
#include "model/EventStore.h"

#include <optional>
#include <string>
#include <vector>

// Keeping the copies behind an open detail sheet current: after an edit the copies may no longer
// be one event (a copy moved to another day, or retitled), and before an edit a copy is read again
// from the event store.
namespace plannery::EventDetailCopies {

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
