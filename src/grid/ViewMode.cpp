#include "grid/ViewMode.h"

#include "grid/FourWeeksPages.h"
#include "grid/TimeGridDays.h"
#include "model/DateFormats.h"

#include <cmath>
#include <vector>

namespace plannery::ViewModes {

namespace {

// How many days a mode's interval covers. The four weeks' page begins at the week's start rather
// than at the anchor, which interval() leaves to the pager.
int intervalDays(ViewMode mode) {
    switch (mode) {
    case ViewMode::agenda:
    case ViewMode::day:
        return 1;
    case ViewMode::threeDay:
        return 3;
    case ViewMode::workWeek:
    case ViewMode::week:
        return 7;
    case ViewMode::fourWeeks:
        return FourWeeksPages::daysPerPage;
    }
    return 1;
}

} // namespace

std::string_view rawValue(ViewMode mode) {
    switch (mode) {
    case ViewMode::agenda:
        return "agenda";
    case ViewMode::day:
        return "day";
    case ViewMode::threeDay:
        return "threeDay";
    case ViewMode::workWeek:
        return "workWeek";
    case ViewMode::week:
        return "week";
    case ViewMode::fourWeeks:
        return "fourWeeks";
    }
    return "threeDay";
}

std::optional<ViewMode> fromRawValue(std::string_view raw) {
    for (const ViewMode mode : all) {
        if (rawValue(mode) == raw) {
            return mode;
        }
    }
    return std::nullopt;
}

std::string title(ViewMode mode, int workDaysPerWeek) {
    switch (mode) {
    case ViewMode::agenda:
        return "Agenda";
    case ViewMode::day:
        return "Day";
    case ViewMode::threeDay:
        return "3 Day";
    case ViewMode::workWeek:
        return std::to_string(workDaysPerWeek) + " Day";
    case ViewMode::week:
        return "Week";
    case ViewMode::fourWeeks:
        return "4 Weeks";
    }
    return {};
}

std::string symbolName(ViewMode mode, int workDaysPerWeek) {
    switch (mode) {
    case ViewMode::agenda:
        return "list.bullet";
    case ViewMode::day:
        return "1.square";
    case ViewMode::threeDay:
        return "3.square";
    case ViewMode::workWeek:
        return std::to_string(workDaysPerWeek) + ".square";
    case ViewMode::week:
        return "7.square";
    case ViewMode::fourWeeks:
        return "calendar";
    }
    return {};
}

int pageStepDays(ViewMode mode) {
    switch (mode) {
    case ViewMode::agenda:
        return 7;
    case ViewMode::day:
        return 1;
    case ViewMode::threeDay:
        return 3;
    case ViewMode::workWeek:
    case ViewMode::week:
        return 7;
    case ViewMode::fourWeeks:
        return FourWeeksPages::daysPerPage;
    }
    return 1;
}

std::optional<TimeGridSpan> gridSpan(ViewMode mode) {
    switch (mode) {
    case ViewMode::day:
        return TimeGridSpan::days(1);
    case ViewMode::threeDay:
        return TimeGridSpan::days(3);
    case ViewMode::workWeek:
        return TimeGridSpan::workWeek();
    case ViewMode::week:
        return TimeGridSpan::week();
    case ViewMode::agenda:
    case ViewMode::fourWeeks:
        return std::nullopt;
    }
    return std::nullopt;
}

DateInterval interval(ViewMode mode, Instant anchor, const Calendar& calendar) {
    if (!std::isfinite(anchor.seconds)) {
        return DateInterval{.start = anchor, .end = anchor};
    }
    if (mode == ViewMode::fourWeeks) {
        return FourWeeksPages::interval(anchor, calendar);
    }
    const Instant start = calendar.startOfDay(anchor);
    return DateInterval{.start = start,
                        .end = calendar.addDays(start, intervalDays(mode)).value_or(start)};
}

bool showsDay(ViewMode mode, Instant day, const Calendar& calendar) {
    if (mode != ViewMode::workWeek || !std::isfinite(day.seconds)) {
        return true;
    }
    // The work-week grid's own columns decide, so a locale whose every day is a weekend day
    // (where the grid shows the whole week) leaves none out here either.
    const Instant weekStart = TimeGridDays::weekStart(day, calendar);
    const std::vector<int> offsets = TimeGridDays::workDayOffsets(calendar, weekStart);
    for (const int offset : offsets) {
        if (calendar.addDays(weekStart, offset) == calendar.startOfDay(day)) {
            return true;
        }
    }
    return false;
}

std::optional<Instant> paged(ViewMode mode, Instant anchor, int pages, const Calendar& calendar) {
    if (!std::isfinite(anchor.seconds)) {
        return std::nullopt;
    }
    // Far beyond any calendar a user scrolls to, and within int when multiplied out.
    constexpr long long kMaxDays = 1'000'000;
    const long long days = static_cast<long long>(pages) * pageStepDays(mode);
    if (days > kMaxDays || days < -kMaxDays) {
        return std::nullopt;
    }
    return calendar.addDays(calendar.startOfDay(anchor), static_cast<int>(days));
}

Instant dayOnScreen(ViewMode mode, Instant anchor, Instant now, const Calendar& calendar) {
    const Instant today = calendar.startOfDay(now);
    const DateInterval shown = interval(mode, anchor, calendar);
    if (shown.start <= today && today < shown.end && showsDay(mode, today, calendar)) {
        return today;
    }
    return calendar.startOfDay(anchor);
}

std::string navigationTitle(ViewMode mode, Instant anchor, const Calendar& calendar) {
    if (mode == ViewMode::fourWeeks) {
        return FourWeeksPages::title(anchor, calendar);
    }
    return DateFormats::formatSkeleton("yMMMM", anchor, calendar.localeId(), calendar.zoneId());
}

Instant defaultNewEventStart(Instant anchor, Instant now, const Calendar& calendar) {
    const Instant anchorDay = calendar.startOfDay(anchor);
    if (!std::isfinite(now.seconds) || anchorDay != calendar.startOfDay(now)) {
        const DateComponents c = calendar.components(anchorDay);
        return calendar.date(c.year, c.month, c.day, 9).value_or(anchorDay);
    }
    // From the next whole minute, jump to where the wall clock should next read minute 0. A clock
    // change on the way (some zones shift by half an hour) lands elsewhere; the next jump then
    // corrects it, so two or three jumps always suffice.
    DateComponents c = calendar.components(now);
    Instant t = now.plus(60.0 - c.second - (now.seconds - std::floor(now.seconds)));
    for (int jump = 0; jump < 4; ++jump) {
        c = calendar.components(t);
        if (c.minute == 0) {
            break;
        }
        t = t.plus((60.0 - c.minute) * 60.0);
    }
    return t;
}

} // namespace plannery::ViewModes
