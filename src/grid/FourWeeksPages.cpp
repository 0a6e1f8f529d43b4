#include "grid/FourWeeksPages.h"

#include "model/DateFormats.h"

#include <algorithm>
#include <cmath>

namespace plannery::FourWeeksPages {

namespace {

// A swipe must pass this share of a page, or be a flick, to move on.
constexpr double kSwitchShare = 0.2;
// Pages per second that count as a flick.
constexpr double kFlickSpeed = 1.5;

std::string formatted(std::string_view skeleton, Instant t, const Calendar& calendar) {
    return DateFormats::formatSkeleton(skeleton, t, calendar.localeId(), calendar.zoneId());
}

} // namespace

Instant weekStart(Instant t, const Calendar& calendar) {
    if (const auto week = calendar.weekInterval(t)) {
        return week->start;
    }
    return calendar.startOfDay(t);
}

DateInterval interval(Instant anchor, const Calendar& calendar) {
    const Instant start = weekStart(anchor, calendar);
    return DateInterval{start, calendar.addDays(start, daysPerPage).value_or(start)};
}

Weeks weeks(Instant start, const Calendar& calendar) {
    const Instant first = weekStart(start, calendar);
    Weeks result{};
    for (int r = 0; r < weeksPerPage; ++r) {
        for (int c = 0; c < 7; ++c) {
            // A date that cannot be formed repeats the one before rather than inventing one.
            const Instant previous =
                r == 0 && c == 0 ? first : (c == 0 ? result[r - 1][6] : result[r][c - 1]);
            result[r][c] = calendar.addDays(first, 7 * r + c).value_or(previous);
        }
    }
    return result;
}

std::string title(Instant anchor, const Calendar& calendar) {
    const DateInterval page = interval(anchor, calendar);
    const Instant first = page.start;
    const Instant last = calendar.addDays(page.end, -1).value_or(first);
    const DateComponents a = calendar.components(first);
    const DateComponents b = calendar.components(last);
    if (a.year == b.year && a.month == b.month) {
        return formatted("yMMMM", first, calendar);
    }
    const std::string dash = " \u2013 ";
    if (a.year == b.year) {
        return formatted("MMM", first, calendar) + dash + formatted("yMMM", last, calendar);
    }
    return formatted("yMMM", first, calendar) + dash + formatted("yMMM", last, calendar);
}

std::array<WeekdayLabel, 7> weekdayLabels(const Calendar& calendar) {
    std::array<WeekdayLabel, 7> labels{};
    // Any week will do: the days of one week carry every weekday once, in the calendar's order.
    const Instant start = weekStart(Instant{0}, calendar);
    for (int i = 0; i < 7; ++i) {
        const Instant day = calendar.addDays(start, i).value_or(start);
        const Weekday weekday = calendar.weekday(day);
        labels[i] = WeekdayLabel{
            .text = DateFormats::format("ccccc", day, calendar.localeId(), calendar.zoneId()),
            .dimmed = weekday == Weekday::sunday || weekday == Weekday::saturday,
        };
    }
    return labels;
}

std::optional<Instant> pageStart(Instant center, int k, const Calendar& calendar) {
    return calendar.addDays(center, daysPerPage * k);
}

std::optional<int> pageIndex(Instant center, Instant start, const Calendar& calendar) {
    // A first guess at the number of days between the two starts (a clock change makes a day 23
    // or 25 hours long, which rounding absorbs); the calendar confirms it below.
    const double spans = start.since(center) / 86400.0;
    const int days = static_cast<int>(std::lround(spans));
    if (!std::isfinite(spans) || days % daysPerPage != 0) {
        return std::nullopt;
    }
    const int k = days / daysPerPage;
    if (k < -pageRadius || k > pageRadius || pageStart(center, k, calendar) != start) {
        return std::nullopt;
    }
    return k;
}

Received receive(Instant anchor, Instant center, int shownPage, const Calendar& calendar) {
    const Instant start = weekStart(anchor, calendar);
    const auto page = pageIndex(center, start, calendar);
    if (page && *page == shownPage) {
        return Received{.action = Received::Action::none, .page = *page, .pageStart = start};
    }
    if (page) {
        return Received{.action = Received::Action::animate, .page = *page, .pageStart = start};
    }
    return Received{.action = Received::Action::rebuild, .page = 0, .pageStart = start};
}

int snapTarget(int startPage, double position, double velocity) {
    if (!std::isfinite(position)) {
        return startPage;
    }
    const double moved = position - startPage;
    const double whole = std::trunc(moved);
    const double rest = moved - whole;
    int target = startPage + static_cast<int>(whole);
    const bool flick = std::isfinite(velocity) && std::abs(velocity) >= kFlickSpeed &&
                       (velocity > 0) == (rest > 0) && rest != 0;
    if (std::abs(rest) > kSwitchShare || flick) {
        target += rest > 0 ? 1 : -1;
    }
    return std::clamp(target, -pageRadius, pageRadius);
}

} // namespace plannery::FourWeeksPages
