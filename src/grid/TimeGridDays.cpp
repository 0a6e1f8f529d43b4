#include "grid/TimeGridDays.h"

#include <cmath>
#include <limits>

namespace plannery {

namespace {

constexpr int kWeekDays = 7;

int saturated(long long value) {
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

// Floor division: column -1 belongs to week -1, not week 0.
long long floorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Whole days from the day starting at `from` to the day starting at `to`. The elapsed time only
// proposes a count (days of 23 or 25 hours put it off by a fraction); stepping through the
// calendar confirms it, so the count always agrees with the steps that date() takes.
std::optional<long long> wholeDays(const Calendar& calendar, Instant from, Instant to) {
    const double guess = std::round(to.since(from) / 86400.0);
    if (!std::isfinite(guess) || std::abs(guess) > std::numeric_limits<int>::max() - 2) {
        return std::nullopt;
    }
    auto days = static_cast<int>(guess);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const auto landed = calendar.addDays(from, days);
        if (!landed) {
            return std::nullopt;
        }
        if (*landed == to) {
            return days;
        }
        days += *landed < to ? 1 : -1;
    }
    return std::nullopt;
}

} // namespace

TimeGridDays TimeGridDays::make(const Calendar& calendar, Instant base, TimeGridSpan span) {
    std::vector<int> offsets;
    if (span.kind == TimeGridSpan::Kind::workWeek) {
        offsets = workDayOffsets(calendar, base);
    } else {
        offsets = {0, 1, 2, 3, 4, 5, 6};
    }
    return TimeGridDays{.calendar = calendar, .base = base, .offsets = std::move(offsets)};
}

int TimeGridDays::perWeek() const {
    return offsets.empty() ? kWeekDays : static_cast<int>(offsets.size());
}

Instant TimeGridDays::date(int index) const {
    const long long n = perWeek();
    const long long week = floorDiv(index, n);
    const auto k = static_cast<std::size_t>(index - week * n);
    const long long dayOffset =
        week * kWeekDays + (offsets.empty() ? static_cast<int>(k) : offsets[k]);
    if (dayOffset < std::numeric_limits<int>::min() ||
        dayOffset > std::numeric_limits<int>::max()) {
        return base;
    }
    return calendar.addDays(base, static_cast<int>(dayOffset)).value_or(base);
}

TimeGridPosition TimeGridDays::position(Instant date) const {
    const long long days =
        std::isfinite(date.seconds)
            ? wholeDays(calendar, calendar.startOfDay(base), calendar.startOfDay(date)).value_or(0)
            : 0;
    const long long offset = days - floorDiv(days, kWeekDays) * kWeekDays;
    return TimeGridPosition{.week = saturated((days - offset) / kWeekDays),
                            .offset = static_cast<int>(offset)};
}

int TimeGridDays::index(Instant date) const {
    const TimeGridPosition p = position(date);
    const long long n = perWeek();
    for (long long k = 0; k < n; ++k) {
        const int offset = offsets.empty() ? static_cast<int>(k) : offsets[k];
        if (offset >= p.offset) {
            return saturated(p.week * n + k);
        }
    }
    return saturated((p.week + 1LL) * n);
}

std::optional<int> TimeGridDays::exactIndex(Instant date) const {
    const TimeGridPosition p = position(date);
    const long long n = perWeek();
    for (long long k = 0; k < n; ++k) {
        const int offset = offsets.empty() ? static_cast<int>(k) : offsets[k];
        if (offset == p.offset) {
            return saturated(p.week * n + k);
        }
    }
    return std::nullopt;
}

std::vector<int> TimeGridDays::workDayOffsets(const Calendar& calendar, Instant weekStart) {
    std::vector<int> offsets;
    offsets.reserve(kWeekDays);
    const Instant start = calendar.startOfDay(weekStart);
    for (int d = 0; d < kWeekDays; ++d) {
        const auto day = calendar.addDays(start, d);
        // Tested at noon: a weekend may begin or end during a day in some locales.
        if (!day || !calendar.isWeekend(noon(*day, calendar))) {
            offsets.push_back(d);
        }
    }
    if (offsets.empty()) {
        offsets = {0, 1, 2, 3, 4, 5, 6};
    }
    return offsets;
}

int TimeGridDays::workDaysPerWeek(const Calendar& calendar, Instant now) {
    const auto week = calendar.weekInterval(now);
    return static_cast<int>(workDayOffsets(calendar, week ? week->start : now).size());
}

Instant TimeGridDays::noon(Instant date, const Calendar& calendar) {
    if (!std::isfinite(date.seconds)) {
        return date;
    }
    const DateComponents c = calendar.components(calendar.startOfDay(date));
    return calendar.date(c.year, c.month, c.day, 12).value_or(date);
}

Instant TimeGridDays::weekStart(Instant date, const Calendar& calendar) {
    const auto week = calendar.weekInterval(date);
    return week ? week->start : calendar.startOfDay(date);
}

} // namespace plannery
