#pragma once

#include <string>
#include <string_view>

namespace plannery {

// The fixed words of the widget faces, in English unless the caller hands translated ones (the
// Qt side fills them through tr()). Patterns take "%1" and "%2" for what is put in.
struct WidgetWords {
    std::string today = "Today";
    std::string tomorrow = "Tomorrow";
    std::string noEventsToday = "No events today";
    std::string noMoreEventsToday = "No more events today";
    std::string nothingAhead = "Nothing in the next two weeks";
    // Spoken descriptions of one event: its title, then the end or start time.
    std::string allDayEvent = "%1, all day";
    std::string runningEvent = "%1, now until %2";
    std::string eventAt = "%1 at %2";
    // The time of a running event in a list of start times, and at the start of the inline face.
    std::string nowInList = "now";
    std::string nowInline = "Now";
    std::string allDay = "All day";
    std::string noUpcoming = "No upcoming events";
    std::string weeksFree = "Next two weeks are free";
    std::string until = "Until %1";

    friend bool operator==(const WidgetWords&, const WidgetWords&) = default;

    // The pattern with "%1" and "%2" replaced (each once, wherever it stands, so translations
    // may reorder them).
    static std::string fill(std::string_view pattern, std::string_view first,
                            std::string_view second = {});
};

} // namespace plannery
