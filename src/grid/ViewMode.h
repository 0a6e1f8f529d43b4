#pragma once

#include "grid/TimeGridSpan.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace plannery {

// The six ways the window shows the calendar, in the order of every mode picker and of the
// Ctrl+1...Ctrl+6 shortcuts.
enum class ViewMode { agenda, day, threeDay, workWeek, week, fourWeeks };

// What each mode is called, how far it pages and which days it covers, and the navigation rules
// that depend only on dates (no state): the window's navigation state is built on these.
namespace ViewModes {

inline constexpr std::array<ViewMode, 6> all{ViewMode::agenda,   ViewMode::day,
                                             ViewMode::threeDay, ViewMode::workWeek,
                                             ViewMode::week,     ViewMode::fourWeeks};

// The mode a user preference holds when nothing (or nonsense) is stored.
inline constexpr ViewMode defaultMode = ViewMode::threeDay;

// The text the "mode" preference stores: "agenda", "day", "threeDay", "workWeek", "week",
// "fourWeeks".
std::string_view rawValue(ViewMode mode);
// The mode of a stored text; exact spelling only.
std::optional<ViewMode> fromRawValue(std::string_view raw);

// The mode's name in pickers and menus. The work week is named after its number of days ("5 Day"
// where Saturday and Sunday are the weekend), so its name follows the locale.
std::string title(ViewMode mode, int workDaysPerWeek);
// The name of the mode's icon ("3.square", "5.square" for a five-day work week).
std::string symbolName(ViewMode mode, int workDaysPerWeek);

// How many days one page forward or back moves the anchor.
int pageStepDays(ViewMode mode);
// The time grid page a mode shows; none for the agenda and the four weeks.
std::optional<TimeGridSpan> gridSpan(ViewMode mode);

// The days a mode shows around an anchor: from the start of the anchor's day for the mode's
// length (1, 3 or 7 days); for the four weeks, the page that holds the anchor. When the end cannot
// be formed the interval is empty (end equals start).
DateInterval interval(ViewMode mode, Instant anchor, const Calendar& calendar);

// Whether the mode gives `day` a column or a row: the work week leaves out the days its grid
// leaves out (the weekend).
bool showsDay(ViewMode mode, Instant day, const Calendar& calendar);

// The start of the anchor's day moved by `pages` pages (negative: back); none when the date
// cannot be formed.
std::optional<Instant> paged(ViewMode mode, Instant anchor, int pages, const Calendar& calendar);

// The day the user is looking at: today when today is among the days on screen (and shown),
// otherwise the start of the anchor's day.
Instant dayOnScreen(ViewMode mode, Instant anchor, Instant now, const Calendar& calendar);

// The window title for a mode and anchor: the full month and year ("March 2026"); the four weeks
// name the months of the page ("Mar – Apr 2026").
std::string navigationTitle(ViewMode mode, Instant anchor, const Calendar& calendar);

// Where a new event starts when none was dragged out: looking at today, the first whole hour
// strictly after now; looking at another day, 09:00 on that day.
Instant defaultNewEventStart(Instant anchor, Instant now, const Calendar& calendar);

} // namespace ViewModes

} // namespace plannery
