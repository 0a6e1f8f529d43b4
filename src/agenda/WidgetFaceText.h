#pragma once

#include "agenda/AgendaPlan.h"
#include "agenda/AgendaRowStyle.h"
#include "agenda/WidgetAgenda.h"
#include "model/CalEvent.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// The texts of the widget faces that are not rows of a list: the date headings, the compact
// panel faces and a row's time.
namespace plannery::WidgetFaceText {

// A heading in two parts: the first in the accent colour.
struct Heading {
    std::string first{};
    std::string second{};

    friend bool operator==(const Heading&, const Heading&) = default;
};

// The date heading of the small and medium faces, longest first; the face shows the first that
// fits: "MONDAY" "MAR 5", "MON" "MAR 5", "MON" "5".
std::array<Heading, 3> todayHeadings(Instant now, const Calendar& calendar);
// The large face's heading: "Monday" "March 5".
Heading largeHeading(Instant now, const Calendar& calendar);

// The time column of a timed row: the range when the list is detailed, else "now" while it
// runs, else the compact start time.
std::string rowTime(const AgendaRow& row, bool detailed, const WidgetAgenda& agenda);

// The rectangular face: at most four of the next timed events.
inline constexpr std::size_t rectangularCount = 4;
std::vector<CalEvent> rectangularEvents(const WidgetAgenda& agenda);
// Its two lines when there is no timed event ahead: today's first all-day event over "All day",
// else "No upcoming events" over "Next two weeks are free".
Heading rectangularEmpty(const WidgetAgenda& agenda);
// None for an event that has started or starts today, "Tomorrow", else the short weekday.
std::optional<std::string> dayPrefix(const CalEvent& event, const WidgetAgenda& agenda);
// The line under the first event's title: "Until 10:00 AM" while it runs, its compact range, or
// its day and start time; then " · " and the place when it has one.
std::string detailLine(const CalEvent& event, const WidgetAgenda& agenda);
// The time before a further event's title: "9a", or "Tom 9a", "Wed 14:00" on other days.
std::string furtherTime(const CalEvent& event, const WidgetAgenda& agenda);
// The day the rectangular face opens: that of the first event (or now, once it began).
Instant rectangularTarget(const WidgetAgenda& agenda);

// The inline face's one line: "Now Standup", "9:30 AM Standup", "Wed 9:30 AM Standup", or "No
// upcoming events".
std::string inlineText(const WidgetAgenda& agenda);

} // namespace plannery::WidgetFaceText
