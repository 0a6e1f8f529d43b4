#pragma once

#include "model/Calendar.h"
#include "model/Instant.h"

#include <array>
#include <optional>
#include <string>

// Which days the four-weeks mode shows and how its pager moves: pages of four whole weeks that
// start on the calendar's first weekday, a list of pages around a centre page, and where the page
// of an anchor date lies on it.
namespace plannery::FourWeeksPages {

inline constexpr int weeksPerPage = 4;
inline constexpr int daysPerPage = 7 * weeksPerPage;
// The pager holds this many pages on each side of its centre (about 4.6 years).
inline constexpr int pageRadius = 60;

// The start of the calendar's week that holds t (its first weekday decides), or the start of t's
// day when no week can be formed.
Instant weekStart(Instant t, const Calendar& calendar);

// The span a page shows: from the week start of the anchor to four weeks later. The end equals
// the start when that date cannot be formed.
DateInterval interval(Instant anchor, const Calendar& calendar);

// The page's days by row and column: row r, column c is weekStart(start) + 7r + c days.
using Weeks = std::array<std::array<Instant, 7>, weeksPerPage>;
Weeks weeks(Instant start, const Calendar& calendar);

// The page's title: "March 2026" when the page lies in one month, "Mar – Apr 2026" within one
// year, "Dec 2025 – Jan 2026" across a year change.
std::string title(Instant anchor, const Calendar& calendar);

// The header's weekday initials in the calendar's weekday order, from the locale's very short
// stand-alone symbols. Saturday and Sunday are dimmed whatever the locale's weekend is.
struct WeekdayLabel {
    std::string text{};
    bool dimmed = false;

    friend bool operator==(const WeekdayLabel&, const WeekdayLabel&) = default;
};
std::array<WeekdayLabel, 7> weekdayLabels(const Calendar& calendar);

// The start of page k of a pager centred on `center` (k may be negative).
std::optional<Instant> pageStart(Instant center, int k, const Calendar& calendar);
// Which page of the pager starts on `start`; none when it is not one of them (not a whole number
// of pages away, or beyond the radius).
std::optional<int> pageIndex(Instant center, Instant start, const Calendar& calendar);

// What the view does with an anchor set from outside.
struct Received {
    enum class Action {
        none,    // the page of the anchor's week is already the one shown
        animate, // it is another page of the pager: move there
        rebuild, // it is not on the pager: centre the pager on it, without animation
    };
    Action action = Action::none;
    int page = 0;        // the target page (animate); 0 after a rebuild
    Instant pageStart{}; // the first day of the page the anchor ends on

    friend bool operator==(const Received&, const Received&) = default;
};
Received receive(Instant anchor, Instant center, int shownPage, const Calendar& calendar);

// Where a swipe that began on page `startPage` and has moved the pager to `position` (in pages)
// comes to rest, given its speed in pages per second (positive: later). A short, slow swipe
// springs back; a swipe past a fifth of a page, or a flick, moves on; a swipe longer than a page
// rests on the nearest page in its direction.
int snapTarget(int startPage, double position, double velocity);

} // namespace plannery::FourWeeksPages
