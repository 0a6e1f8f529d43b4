#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/CalendarMirrors.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plannery::Dedup {

// The time slot of an event: copies of one event share it. Timed events in whole minutes
// (rounded), all-day events by the starts of their first and last days.
struct Slot {
    bool allDay = false;
    std::int64_t start = 0;
    std::int64_t end = 0;

    friend bool operator==(const Slot&, const Slot&) = default;
};

struct SlotHash {
    std::size_t operator()(const Slot& slot) const noexcept;
};

Slot slot(const CalEvent& event, const Calendar& calendar);

// Drops every character that is not a letter, mark or digit. Does not fold.
std::string normalize(std::string_view text);

// The title folded case-, diacritic- and width-insensitively, then normalized: the key under
// which copies of one event match by title.
std::string normalizedTitle(std::string_view title);
// The same into a caller's buffer, so that loops over many titles reuse one allocation.
void normalizedTitle(std::string_view title, std::string& out);

// Merges the copies of each event (one calendar per input record) into one record each, in
// display order.
std::vector<CalEvent> merge(std::vector<CalEvent> events, const CalendarMirrors& mirrors,
                            const Calendar& calendar);

// Combines one non-empty group of copies into the record that represents them.
CalEvent combine(const std::vector<CalEvent>& group, const CalendarMirrors& mirrors);

} // namespace plannery::Dedup
