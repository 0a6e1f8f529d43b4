#pragma once

#include "grid/TimeGridHeaderText.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <cstddef>
#include <string>
#include <vector>

// What one day cell of the four-weeks page shows: its date row, which of its events get chips in
// the height it has, the overflow count, and how each chip looks. Sizes are in points.
namespace plannery::FourWeeksCell {

inline constexpr double dateRowHeight = 22;
inline constexpr double rowHeight = 15;
// Space kept below the last event row.
inline constexpr double bottomSlack = 2;

// How many event rows fit in a cell of this height (never negative).
int rowSlots(double cellHeight);

// The chips of a day: every event when all fit; otherwise the first slots − 1 events and an
// overflow row counting the rest. A cell without a single row shows no chips and counts them all.
struct Fit {
    std::size_t chips = 0;
    std::size_t overflow = 0; // events not shown; the "+N" row appears when positive

    friend bool operator==(const Fit&, const Fit&) = default;
};
Fit fit(std::size_t eventCount, double cellHeight);

// The overflow row's text: "+3".
std::string overflowText(std::size_t count);

// The cell's date row and how its day is marked.
struct DateRow {
    std::string month{};  // the abbreviated month name; empty when the cell shows none
    std::string number{}; // the day of the month
    bool bold = false;    // today, or a cell that names its month
    bool todayCircle = false;
    ColorRole numberColor = ColorRole::label;
    bool monthDimmed = false; // the month of a past day is secondary rather than the accent
    bool isPast = false;      // drawn at half opacity on a grey ground

    friend bool operator==(const DateRow&, const DateRow&) = default;
};
// The page's first day and the first day of every month name their month. Days before the start
// of today's day are past.
DateRow dateRow(Instant day, Instant pageStart, Instant now, const Calendar& calendar);

// What a screen reader says for a cell: "Monday, March 9, today, 2 events: Standup, Lunch".
// At most the first three titles are read.
std::string accessibilityText(Instant day, bool isToday, const std::vector<CalEvent>& events,
                              const Calendar& calendar);
// "fourWeeksDay-" and the day key.
std::string accessibilityIdentifier(Instant day, const Calendar& calendar);

// How an event's chip looks. The chip shows the title only, never a time.
struct ChipStyle {
    bool semibold = false;      // all-day events
    bool background = false;    // all-day events sit on a tint of their first calendar
    bool strikeThrough = false; // cancelled events
    double opacity = 1;         // declined 0.45; timed events already over 0.6

    friend bool operator==(const ChipStyle&, const ChipStyle&) = default;
};
ChipStyle chipStyle(const CalEvent& event, Instant now);

// The tint behind an all-day chip, over its first calendar's colour.
inline constexpr double chipBackgroundAlpha = 0.22;
inline constexpr double chipCornerRadius = 3;
inline constexpr double pastContentOpacity = 0.5;
inline constexpr double pastBackgroundAlpha = 0.6;

} // namespace plannery::FourWeeksCell
