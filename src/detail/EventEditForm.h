#pragma once

#include "model/Calendar.h"
#include "model/EventStore.h"
#include "model/Instant.h"

#include <optional>
#include <string>
#include <vector>

namespace plannery {

// A day and a clock time as the editor's fields show them, in the zone of the form.
struct WallClock {
    int year = 1970;
    int month = 1; // 1...12
    int day = 1;
    int hour = 0;
    int minute = 0;

    friend bool operator==(const WallClock&, const WallClock&) = default;
};

// What the fields of the event editor hold.
struct EventEditForm {
    std::string title{};
    std::string location{};
    bool allDay = false;
    WallClock start{};
    // The end time; for an all-day event the last day it covers (its clock time is not used).
    WallClock end{};
    // The zone the clock times are in; absent for floating times, which follow the user's clock.
    // An all-day event keeps the zone its times take when it stops being all-day.
    std::optional<std::string> timeZone{};
    std::string calendarID{};
    std::string url{};
    std::string notes{};
    std::vector<Alarm> alarms{};

    friend bool operator==(const EventEditForm&, const EventEditForm&) = default;
};

// The event editor's rules without its widgets: filling the form from an event, checking what
// the user typed and turning it back into an event for the store.
namespace EventEdit {

// The sentence for times whose end comes before their start.
inline constexpr const char* kEndsBeforeStart = "The event ends before it starts.";

// A new event in the user's zone from `start` to `end`, or for an hour when no end is given, on
// `calendar` (none: the store's default calendar is used when it is saved).
StoreEvent newEvent(Instant start, std::optional<Instant> end, CalendarHandle calendar,
                    const Calendar& user);

// The form for an event: its clock times in its own zone (in the user's zone for floating and
// all-day events), the last day of an all-day event, empty texts for absent fields.
EventEditForm formOf(const StoreEvent& event, const Calendar& user);

// The form after the user moved its start: the end moves along by as much, so the event keeps
// its length.
EventEditForm withStart(const EventEditForm& form, const WallClock& start);

// A sentence saying why the form cannot be saved, or nothing when it can.
std::optional<std::string> problem(const EventEditForm& form, const Calendar& user);

// `base` with the fields that differ between `opened` (the form as the editor opened) and
// `edited` (as the user left it). The other fields keep base's values, so that when base is the
// event read again after a sync changed it, the sync's changes to fields the user did not touch
// survive. An error sentence when the form cannot be saved or names a calendar not in
// `calendars`.
struct Applied {
    std::optional<StoreEvent> event{};
    std::optional<std::string> error{};
};
Applied apply(const EventEditForm& opened, const EventEditForm& edited, const StoreEvent& base,
              const std::vector<CalendarHandle>& calendars, const Calendar& user);

} // namespace EventEdit

} // namespace plannery
