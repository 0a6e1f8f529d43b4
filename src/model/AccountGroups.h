#pragma once

#include "model/AccountKind.h"
#include "model/Calendar.h"
#include "model/EventStore.h"

#include <functional>
#include <vector>

namespace plannery {

// Whether a source is a Google account in disguise: a CalDAV source whose recent events (60
// days either way of `now`, the first 200) carry Google's event identifiers, at least 3 and at
// least half of them. Uncached; the calendar store keeps the answers.
bool looksLikeGoogle(const EventStore& store, const Source& source, Instant now);

using GoogleCheck = std::function<bool(const Source&)>;

// The kind of a source, from the titles of its event calendars and the Google check (asked only
// where it matters).
AccountKind accountKind(const EventStore& store, const Source& source,
                        const GoogleCheck& looksLikeGoogle);

// Every calendar of the store in its account group, in the order settings shows them; empty
// without full access. Titles compare under the calendar's locale.
std::vector<AccountGroup> accountGroups(const EventStore& store, const GoogleCheck& looksLikeGoogle,
                                        const Calendar& calendar);

} // namespace plannery
