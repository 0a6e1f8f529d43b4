#include "platform/IcsSeries.h"
#include "platform/IcsZones.h"
#include "platform/RecurrenceRules.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <tuple>

namespace plannery::ics {

namespace {

// Steps of rule expansion one call may take, whatever the rules say.
constexpr long kIterationBudget = 300000;
// The furthest any zone is from UTC: floating times can land anywhere within this.
constexpr double kFloatingSlack = 15 * 3600;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// How long one occurrence of a component lasts: whole days for all-day events (so the days
// follow the calendar, not 86,400 seconds), seconds otherwise.
struct Length {
    bool allDay = false;
    int days = 1;
    double seconds = 0;
};

// `startZone`: a converter for the component's start zone when the caller has made one.
Length lengthOf(const Component& component, const std::vector<std::string>& timeZones,
                const Calendar& calendar, const ZoneConverter* startZone = nullptr) {
    Length length{.allDay = component.start.wall.isDate};
    if (length.allDay) {
        if (component.end) {
            length.days = int(daysFromCivil(component.end->wall.year, component.end->wall.month,
                                            component.end->wall.day) -
                              daysFromCivil(component.start.wall.year, component.start.wall.month,
                                            component.start.wall.day));
        } else if (component.duration) {
            length.days =
                int(std::lround(std::min(*component.duration, 1e9) / double(kDaySeconds)));
        }
        // An all-day event always covers its first day, even when its end is not after it.
        length.days = std::max(length.days, 1);
        return length;
    }
    if (component.end) {
        std::optional<ZoneConverter> own;
        if (startZone == nullptr) {
            startZone = &own.emplace(component.start.zone, timeZones, calendar);
        }
        const auto start = startZone->toInstant(component.start.wall);
        // Start and end are almost always written in one zone.
        const auto end = component.end->zone == component.start.zone
                             ? startZone->toInstant(component.end->wall)
                             : instantOf(*component.end, timeZones, calendar);
        if (start && end) {
            // An end before the start reads as the start.
            length.seconds = std::max(0.0, end->since(*start));
        }
    } else if (component.duration && std::isfinite(*component.duration)) {
        length.seconds = std::max(0.0, *component.duration);
    }
    return length;
}

// The length an RDATE's own period gives its occurrence (timed series only).
std::optional<Length> periodLength(const RecurrenceDate& date, Instant start,
                                   const std::vector<std::string>& timeZones,
                                   const Calendar& calendar) {
    if (date.start.wall.isDate) {
        return std::nullopt;
    }
    if (date.end) {
        if (const auto end = instantOf(*date.end, timeZones, calendar)) {
            return Length{.seconds = std::max(0.0, end->since(start))};
        }
    } else if (date.duration && std::isfinite(*date.duration)) {
        return Length{.seconds = std::max(0.0, *date.duration)};
    }
    return std::nullopt;
}

Instant endOf(Instant start, const Length& length, const Calendar& calendar) {
    if (length.allDay) {
        // Whole days on the written date, placed in the zone again: days of 23 or 25 hours
        // keep the end at midnight.
        const double local = std::floor(start.seconds + calendar.utcOffsetSeconds(start));
        const double day = std::floor(local / double(kDaySeconds)) * double(kDaySeconds);
        return calendar.instantOfWallSeconds(day + double(length.days) * double(kDaySeconds));
    }
    return start.plus(length.seconds);
}

double secondsOf(const Length& length) {
    return length.allDay ? double(length.days) * double(kDaySeconds) : length.seconds;
}

bool overlaps(Instant start, Instant end, Instant from, Instant to) {
    if (start >= to) {
        return false;
    }
    return end > from || (end == start && start >= from);
}

ZoneRef zoneForExpansion(const Component& component) {
    return component.start.wall.isDate ? ZoneRef{} : component.start.zone;
}

const Component* masterOf(const Series& series) {
    for (const auto& component : series.components) {
        if (!component.recurrenceId) {
            return &component;
        }
    }
    return nullptr;
}

// In an all-day series every time names a day: a date-time written for an UNTIL, a
// RECURRENCE-ID or an EXDATE counts by its written date, whatever the viewer's zone.
ZonedTime asDay(const ZonedTime& time) {
    return ZonedTime{.wall = WallTime{.year = time.wall.year,
                                      .month = time.wall.month,
                                      .day = time.wall.day,
                                      .isDate = true},
                     .zone = {}};
}

// An override with RANGE=THISANDFUTURE as it applies to the occurrences after its own, up to the
// next such override.
struct Onward {
    Instant original;       // the occurrence it replaces itself
    std::int64_t shift = 0; // how far it moves their written start, in seconds
    std::size_t component = 0;
    Length length;
};

// One start of the master: from a rule, DTSTART or an RDATE, which may give its own length.
struct Start {
    Instant start;
    std::optional<Length> length;
};

// The master's starts whose written times lie in [lo, hi], and every RDATE, in start order, one
// per instant.
std::vector<Start> masterStarts(const Component& master, const Series& series,
                                const ZoneConverter& zone, std::int64_t lo, std::int64_t hi,
                                const Calendar& calendar) {
    const bool allDay = master.start.wall.isDate;
    std::vector<std::int64_t> walls{wallSeconds(master.start.wall)};
    long budget = kIterationBudget;
    for (const auto& rule : master.rrules) {
        auto starts =
            ruleStarts(rule, master.start.wall, zone, lo, hi, budget, kMaxOccurrencesPerWindow * 2);
        walls.insert(walls.end(), starts.starts.begin(), starts.starts.end());
    }
    std::vector<Start> starts;
    for (std::int64_t wall : walls) {
        if (wall < lo || wall > hi) {
            continue;
        }
        if (auto start = zone.toInstant(wallFromSeconds(wall, allDay))) {
            starts.push_back(Start{.start = *start, .length = std::nullopt});
        }
    }
    for (const auto& rdate : master.rdates) {
        const ZonedTime time = allDay ? asDay(rdate.start) : rdate.start;
        if (auto start = instantOf(time, series.timeZones, calendar)) {
            starts.push_back(
                Start{.start = *start,
                      .length = allDay ? std::nullopt
                                       : periodLength(rdate, *start, series.timeZones, calendar)});
        }
    }
    // Of a start given twice, the one with a period of its own stays.
    std::sort(starts.begin(), starts.end(), [](const Start& a, const Start& b) {
        return a.start != b.start ? a.start < b.start
                                  : a.length.has_value() && !b.length.has_value();
    });
    starts.erase(std::unique(starts.begin(), starts.end(),
                             [](const Start& a, const Start& b) { return a.start == b.start; }),
                 starts.end());
    return starts;
}

} // namespace

void expand(const Series& series, Instant from, Instant to, const Calendar& calendar,
            std::vector<Occurrence>& result) {
    result.clear();
    if (!(from < to) || !std::isfinite(from.seconds) || !std::isfinite(to.seconds)) {
        return;
    }
    if (series.components.size() == 1 && !series.components[0].recurrenceId &&
        series.components[0].rrules.empty() && series.components[0].rdates.empty() &&
        series.components[0].exdates.empty()) {
        // Most events happen once: no rule to walk, nothing to exclude or replace.
        const Component& event = series.components[0];
        const ZoneConverter zone(event.start.zone, series.timeZones, calendar);
        const auto start = zone.toInstant(event.start.wall);
        if (start) {
            const Instant end =
                endOf(*start, lengthOf(event, series.timeZones, calendar, &zone), calendar);
            if (overlaps(*start, end, from, to)) {
                result.push_back(Occurrence{.start = *start, .end = end});
            }
        }
        return;
    }
    const Component* master = masterOf(series);
    const bool allDay = master && master->start.wall.isDate;
    const ZoneConverter zone(master ? zoneForExpansion(*master) : ZoneRef{}, series.timeZones,
                             calendar);
    // The originals that overrides replace, wherever the overrides themselves now are.
    std::vector<Instant> replaced;
    std::vector<Onward> onward;
    for (std::size_t i = 0; i < series.components.size(); ++i) {
        const auto& component = series.components[i];
        if (!component.recurrenceId) {
            continue;
        }
        const auto original =
            instantOf(allDay ? asDay(*component.recurrenceId) : *component.recurrenceId,
                      series.timeZones, calendar);
        if (original) {
            replaced.push_back(*original);
        }
        auto start = instantOf(component.start, series.timeZones, calendar);
        if (!start) {
            continue;
        }
        const Length length = lengthOf(component, series.timeZones, calendar);
        if (component.thisAndFuture && original && master) {
            onward.push_back(Onward{.original = *original,
                                    .shift = wallSeconds(zone.toWall(*start)) -
                                             wallSeconds(zone.toWall(*original)),
                                    .component = i,
                                    .length = length});
        }
        const Instant end = endOf(*start, length, calendar);
        if (overlaps(*start, end, from, to) && result.size() < kMaxOccurrencesPerWindow) {
            result.push_back(Occurrence{.component = i,
                                        .start = *start,
                                        .end = end,
                                        .occurrenceDate = original.value_or(*start),
                                        .detached = true});
        }
    }
    std::sort(replaced.begin(), replaced.end());
    std::sort(onward.begin(), onward.end(),
              [](const Onward& a, const Onward& b) { return a.original < b.original; });

    if (master) {
        const std::size_t masterIndex = std::size_t(master - series.components.data());
        // A timed master's start zone is the zone the series is expanded in.
        const Length length = lengthOf(*master, series.timeZones, calendar, &zone);
        const bool repeats = !master->rrules.empty() || !master->rdates.empty();
        // Written times a little beyond the window on both sides: conversions are exact per
        // occurrence below, this only has to include every candidate, also those that an
        // override moves into the window from further away.
        double reach = secondsOf(length);
        for (const auto& rdate : master->rdates) {
            if (rdate.duration) {
                reach = std::max(reach, *rdate.duration);
            } else if (rdate.end) {
                reach = std::max(
                    reach, double(wallSeconds(rdate.end->wall) - wallSeconds(rdate.start.wall)) +
                               2 * kFloatingSlack);
            }
        }
        std::int64_t later = 0;
        std::int64_t earlier = 0;
        for (const auto& one : onward) {
            reach = std::max(reach, secondsOf(one.length));
            later = std::max(later, one.shift);
            earlier = std::max(earlier, -one.shift);
        }
        constexpr std::int64_t kFarthest = 1000000000000;
        const std::int64_t lo = wallSeconds(zone.toWall(from)) -
                                std::int64_t(std::min(reach, double(kFarthest))) -
                                std::min<std::int64_t>(later, kFarthest) - 2 * kDaySeconds;
        const std::int64_t hi = wallSeconds(zone.toWall(to)) +
                                std::min<std::int64_t>(earlier, kFarthest) + 2 * kDaySeconds;
        const auto starts = masterStarts(*master, series, zone, lo, hi, calendar);

        std::vector<Instant> excluded;
        std::set<std::tuple<int, int, int>> excludedDays;
        for (const auto& exdate : master->exdates) {
            if (exdate.wall.isDate && !allDay) {
                // A date excludes every occurrence on that day of the event's own zone.
                excludedDays.emplace(exdate.wall.year, exdate.wall.month, exdate.wall.day);
            } else if (auto instant =
                           instantOf(allDay ? asDay(exdate) : exdate, series.timeZones, calendar)) {
                excluded.push_back(*instant);
            }
        }
        std::sort(excluded.begin(), excluded.end());

        for (const Start& candidate : starts) {
            if (result.size() >= kMaxOccurrencesPerWindow) {
                break;
            }
            const Instant original = candidate.start;
            if (std::binary_search(excluded.begin(), excluded.end(), original) ||
                std::binary_search(replaced.begin(), replaced.end(), original)) {
                continue;
            }
            if (!excludedDays.empty()) {
                const WallTime wall = zone.toWall(original);
                if (excludedDays.count({wall.year, wall.month, wall.day})) {
                    continue;
                }
            }
            Occurrence occurrence{.component = masterIndex,
                                  .start = original,
                                  .end = original,
                                  .occurrenceDate =
                                      repeats ? std::optional(original) : std::nullopt};
            Length own = candidate.length.value_or(length);
            const auto after =
                std::lower_bound(onward.begin(), onward.end(), original,
                                 [](const Onward& one, Instant t) { return one.original < t; });
            if (after != onward.begin()) {
                const Onward& applying = *std::prev(after);
                const auto moved = zone.toInstant(
                    wallFromSeconds(wallSeconds(zone.toWall(original)) + applying.shift, allDay));
                if (!moved) {
                    continue;
                }
                occurrence.component = applying.component;
                occurrence.start = *moved;
                occurrence.detached = true;
                own = applying.length;
            }
            occurrence.end = endOf(occurrence.start, own, calendar);
            if (overlaps(occurrence.start, occurrence.end, from, to)) {
                result.push_back(occurrence);
            }
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; });
}

std::vector<Occurrence> expand(const Series& series, Instant from, Instant to,
                               const Calendar& calendar) {
    std::vector<Occurrence> result;
    expand(series, from, to, calendar, result);
    return result;
}

Bounds bounds(const Series& series) {
    // Calendar values are not shared between threads: files are read on several at once.
    thread_local const Calendar utc = Calendar::make("UTC").value();
    Bounds result{.first = Instant{kInfinity}, .last = Instant{-kInfinity}};
    bool floating = false;
    auto include = [&](const ZonedTime& time, const Length& length) {
        floating = floating || time.wall.isDate || time.zone.kind == ZoneRef::Kind::floating;
        if (auto start = instantOf(time, series.timeZones, utc)) {
            result.first = std::min(result.first, *start);
            result.last = std::max(result.last, endOf(*start, length, utc));
        }
    };
    for (const auto& component : series.components) {
        const Length length = lengthOf(component, series.timeZones, utc);
        include(component.start, length);
        if (component.recurrenceId) {
            continue;
        }
        for (const auto& rdate : component.rdates) {
            const auto start = instantOf(rdate.start, series.timeZones, utc);
            const auto own =
                start ? periodLength(rdate, *start, series.timeZones, utc) : std::nullopt;
            include(rdate.start, own.value_or(length));
        }
        const ZoneConverter zone(zoneForExpansion(component), series.timeZones, utc);
        long budget = kIterationBudget;
        for (const auto& rule : component.rrules) {
            if (ruleNeverMatches(rule)) {
                continue;
            }
            if (!ruleHasEnd(rule)) {
                result.last = Instant{kInfinity};
                continue;
            }
            // Walk the whole rule: one that never ends, or whose end lies beyond the budget,
            // makes the series unbounded.
            auto starts = ruleStarts(rule, component.start.wall, zone,
                                     std::numeric_limits<std::int64_t>::min(),
                                     std::numeric_limits<std::int64_t>::max(), budget,
                                     std::numeric_limits<std::size_t>::max());
            if (starts.exhausted) {
                result.last = Instant{kInfinity};
                continue;
            }
            if (!starts.starts.empty()) {
                const auto last = zone.toInstant(
                    wallFromSeconds(starts.starts.back(), component.start.wall.isDate));
                if (last) {
                    result.last = std::max(result.last, endOf(*last, length, utc));
                }
            }
        }
    }
    if (result.first.seconds == kInfinity) {
        return Bounds{.first = Instant{0}, .last = Instant{0}};
    }
    // An override that applies onward moves the later occurrences by its own shift and gives
    // them its length: the last one ends at most that much later.
    for (const auto& component : series.components) {
        if (!component.thisAndFuture || !component.recurrenceId) {
            continue;
        }
        const auto original = instantOf(*component.recurrenceId, series.timeZones, utc);
        const auto start = instantOf(component.start, series.timeZones, utc);
        if (original && start) {
            result.last = result.last.plus(std::abs(start->since(*original)) + kDaySeconds +
                                           secondsOf(lengthOf(component, series.timeZones, utc)));
        }
    }
    if (floating) {
        result.first = result.first.plus(-kFloatingSlack);
        result.last = result.last.plus(kFloatingSlack);
    }
    return result;
}

} // namespace plannery::ics
