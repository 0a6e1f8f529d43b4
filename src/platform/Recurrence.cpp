#include "platform/IcsSeries.h"
#include "platform/IcsZones.h"
#include "platform/RecurrenceRules.h"

#include <algorithm>
#include <cmath>
#include <limits>
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

Length lengthOf(const Component& component, const std::vector<std::string>& timeZones,
                const Calendar& calendar) {
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
        auto start = instantOf(component.start, timeZones, calendar);
        auto end = instantOf(*component.end, timeZones, calendar);
        if (start && end) {
            // An end before the start reads as the start.
            length.seconds = std::max(0.0, end->since(*start));
        }
    } else if (component.duration && std::isfinite(*component.duration)) {
        length.seconds = std::max(0.0, *component.duration);
    }
    return length;
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

} // namespace

std::vector<Occurrence> expand(const Series& series, Instant from, Instant to,
                               const Calendar& calendar) {
    std::vector<Occurrence> result;
    if (!(from < to) || !std::isfinite(from.seconds) || !std::isfinite(to.seconds)) {
        return result;
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
                endOf(*start, lengthOf(event, series.timeZones, calendar), calendar);
            if (overlaps(*start, end, from, to)) {
                result.push_back(Occurrence{.start = *start, .end = end});
            }
        }
        return result;
    }
    // The originals that overrides replace, wherever the overrides themselves now are.
    std::vector<Instant> replaced;
    for (std::size_t i = 0; i < series.components.size(); ++i) {
        const auto& component = series.components[i];
        if (!component.recurrenceId) {
            continue;
        }
        auto original = instantOf(*component.recurrenceId, series.timeZones, calendar);
        if (original) {
            replaced.push_back(*original);
        }
        auto start = instantOf(component.start, series.timeZones, calendar);
        if (!start) {
            continue;
        }
        const Instant end =
            endOf(*start, lengthOf(component, series.timeZones, calendar), calendar);
        if (overlaps(*start, end, from, to) && result.size() < kMaxOccurrencesPerWindow) {
            result.push_back(Occurrence{.component = i,
                                        .start = *start,
                                        .end = end,
                                        .occurrenceDate = original.value_or(*start),
                                        .detached = true});
        }
    }
    std::sort(replaced.begin(), replaced.end());

    const Component* master = masterOf(series);
    if (master) {
        const std::size_t masterIndex = std::size_t(master - series.components.data());
        const Length length = lengthOf(*master, series.timeZones, calendar);
        const ZoneConverter zone(zoneForExpansion(*master), series.timeZones, calendar);
        const bool repeats = !master->rrules.empty() || !master->rdates.empty();
        // Written times a little beyond the window on both sides: conversions are exact per
        // occurrence below, this only has to include every candidate.
        const double reach = length.allDay ? double(length.days) * kDaySeconds : length.seconds;
        const std::int64_t lo =
            wallSeconds(zone.toWall(from)) - std::int64_t(std::min(reach, 1e12)) - 2 * kDaySeconds;
        const std::int64_t hi = wallSeconds(zone.toWall(to)) + 2 * kDaySeconds;

        std::vector<std::int64_t> walls{wallSeconds(master->start.wall)};
        long budget = kIterationBudget;
        for (const auto& rule : master->rrules) {
            auto starts = ruleStarts(rule, master->start.wall, zone, lo, hi, budget,
                                     kMaxOccurrencesPerWindow * 2);
            walls.insert(walls.end(), starts.starts.begin(), starts.starts.end());
        }
        std::sort(walls.begin(), walls.end());
        walls.erase(std::unique(walls.begin(), walls.end()), walls.end());

        std::vector<Instant> starts;
        for (std::int64_t wall : walls) {
            if (wall < lo || wall > hi) {
                continue;
            }
            if (auto start = zone.toInstant(wallFromSeconds(wall, master->start.wall.isDate))) {
                starts.push_back(*start);
            }
        }
        for (const auto& rdate : master->rdates) {
            ZonedTime time = rdate;
            if (master->start.wall.isDate) {
                time.wall = WallTime{.year = rdate.wall.year,
                                     .month = rdate.wall.month,
                                     .day = rdate.wall.day,
                                     .isDate = true};
            }
            if (auto start = instantOf(time, series.timeZones, calendar)) {
                starts.push_back(*start);
            }
        }
        std::sort(starts.begin(), starts.end());
        starts.erase(std::unique(starts.begin(), starts.end()), starts.end());

        std::vector<Instant> excluded;
        std::set<std::tuple<int, int, int>> excludedDays;
        for (const auto& exdate : master->exdates) {
            if (exdate.wall.isDate && !master->start.wall.isDate) {
                // A date excludes every occurrence on that day of the event's own zone.
                excludedDays.emplace(exdate.wall.year, exdate.wall.month, exdate.wall.day);
            } else if (auto instant = instantOf(exdate, series.timeZones, calendar)) {
                excluded.push_back(*instant);
            }
        }
        std::sort(excluded.begin(), excluded.end());

        for (Instant start : starts) {
            if (result.size() >= kMaxOccurrencesPerWindow) {
                break;
            }
            const Instant end = endOf(start, length, calendar);
            if (!overlaps(start, end, from, to) ||
                std::binary_search(excluded.begin(), excluded.end(), start) ||
                std::binary_search(replaced.begin(), replaced.end(), start)) {
                continue;
            }
            if (!excludedDays.empty()) {
                const WallTime wall = zone.toWall(start);
                if (excludedDays.count({wall.year, wall.month, wall.day})) {
                    continue;
                }
            }
            result.push_back(
                Occurrence{.component = masterIndex,
                           .start = start,
                           .end = end,
                           .occurrenceDate = repeats ? std::optional(start) : std::nullopt});
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; });
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
            include(rdate, length);
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
    if (floating) {
        result.first = result.first.plus(-kFloatingSlack);
        result.last = result.last.plus(kFloatingSlack);
    }
    return result;
}

} // namespace plannery::ics
