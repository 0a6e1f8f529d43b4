#include "platform/RecurrenceRules.h"

#include "model/StringMap.h"
#include "platform/IcsText.h"

#include <libical/ical.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace plannery::ics {

namespace {

std::vector<int> valuesOf(const short* values, int size) {
    std::vector<int> result;
    for (int i = 0; i < size && values[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
        result.push_back(values[i]);
    }
    return result;
}

bool contains(const std::vector<int>& values, int value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) {
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// The weekday of a day counted from 1970-01-01 (a Thursday), numbered as the parser numbers
// them: 1 is Sunday, 7 Saturday.
int weekdayOf(std::int64_t day) {
    return int(((day % 7) + 11) % 7) + 1;
}

// The day weeks begin on (WKST), Monday when the rule does not say.
int weekStartOf(const icalrecurrencetype& rule) {
    return rule.week_start == ICAL_NO_WEEKDAY ? 2 : int(rule.week_start);
}

std::optional<icalrecurrencetype> parse(std::string_view text) {
    prepareLibical();
    const std::string safe = safeRule(text);
    if (safe.empty()) {
        return std::nullopt;
    }
    auto rule = icalrecurrencetype_from_string(safe.c_str());
    icalerror_clear_errno();
    if (rule.freq == ICAL_NO_RECURRENCE || rule.interval < 1) {
        std::free(rule.rscale);
        return std::nullopt;
    }
    return rule;
}

bool neverMatches(const icalrecurrencetype& rule) {
    const auto months = valuesOf(rule.by_month, ICAL_BY_MONTH_SIZE);
    const auto monthDays = valuesOf(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    if (!monthDays.empty()) {
        bool possible = false;
        for (int month = 1; month <= 12 && !possible; ++month) {
            if (!months.empty() && !contains(months, month)) {
                continue;
            }
            const int longest = month == 2 ? 29 : daysInMonth(2001, month);
            for (int day : monthDays) {
                possible = possible || (day != 0 && std::abs(day) <= longest);
            }
        }
        if (!possible) {
            return true;
        }
    }
    for (int month : months) {
        if (month < 1 || month > 12) {
            return true;
        }
    }
    const auto setPositions = valuesOf(rule.by_set_pos, ICAL_BY_SETPOS_SIZE);
    if (!setPositions.empty()) {
        // The largest set one period can hold, counting days and then times of day.
        const auto weekdays = valuesOf(rule.by_day, ICAL_BY_DAY_SIZE);
        long days = 1;
        switch (rule.freq) {
        case ICAL_WEEKLY_RECURRENCE:
            days = 7;
            break;
        case ICAL_MONTHLY_RECURRENCE:
            days = 31;
            break;
        case ICAL_YEARLY_RECURRENCE:
            days = 366;
            break;
        default:
            break;
        }
        if (!weekdays.empty() &&
            (rule.freq == ICAL_WEEKLY_RECURRENCE || rule.freq == ICAL_MONTHLY_RECURRENCE)) {
            long perPeriod = 0;
            for (int day : weekdays) {
                const bool ordinal = icalrecurrencetype_day_position(short(day)) != 0;
                perPeriod += ordinal ? 1 : (rule.freq == ICAL_WEEKLY_RECURRENCE ? 1 : 5);
            }
            days = std::min(days, perPeriod);
        }
        if (!monthDays.empty() && rule.freq == ICAL_MONTHLY_RECURRENCE) {
            days = std::min<long>(days, long(monthDays.size()));
        }
        auto times = [](const short* values, int size) {
            const auto list = valuesOf(values, size);
            return list.empty() ? 1L : long(list.size());
        };
        const long largest = days * times(rule.by_hour, ICAL_BY_HOUR_SIZE) *
                             times(rule.by_minute, ICAL_BY_MINUTE_SIZE) *
                             times(rule.by_second, ICAL_BY_SECOND_SIZE);
        bool any = false;
        for (int position : setPositions) {
            any = any || (position != 0 && std::abs(position) <= largest);
        }
        if (!any) {
            return true;
        }
    }
    return false;
}

// Rules that repeat within a day are walked here rather than by the parser's iterator, which
// steps one second or minute at a time through days its filters reject. This walk skips whole
// days and hours; BY* parts act as filters (BYSETPOS and BYWEEKNO are not applied).
RuleStarts subDailyStarts(const icalrecurrencetype& rule, std::int64_t interval,
                          const WallTime& dtstart, std::int64_t until, std::int64_t lo,
                          std::int64_t hi, long& budget, std::size_t maxStarts) {
    RuleStarts result;
    const std::int64_t unit = rule.freq == ICAL_SECONDLY_RECURRENCE   ? 1
                              : rule.freq == ICAL_MINUTELY_RECURRENCE ? 60
                                                                      : 3600;
    const std::int64_t step = unit * interval;
    const std::int64_t first = wallSeconds(dtstart);
    const auto months = valuesOf(rule.by_month, ICAL_BY_MONTH_SIZE);
    const auto monthDays = valuesOf(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const auto yearDays = valuesOf(rule.by_year_day, ICAL_BY_YEARDAY_SIZE);
    const auto hours = valuesOf(rule.by_hour, ICAL_BY_HOUR_SIZE);
    const auto minutes = valuesOf(rule.by_minute, ICAL_BY_MINUTE_SIZE);
    const auto seconds = valuesOf(rule.by_second, ICAL_BY_SECOND_SIZE);
    std::vector<int> weekdays;
    for (int day : valuesOf(rule.by_day, ICAL_BY_DAY_SIZE)) {
        weekdays.push_back(int(icalrecurrencetype_day_day_of_week(short(day))));
    }
    auto dayMatches = [&](const WallTime& w) {
        const int length = daysInMonth(w.year, w.month);
        const auto days = daysFromCivil(w.year, w.month, w.day);
        const int yearDay = int(days - daysFromCivil(w.year, 1, 1)) + 1;
        const int yearLength = int(daysFromCivil(w.year + 1, 1, 1) - daysFromCivil(w.year, 1, 1));
        const int weekday = weekdayOf(days);
        return (months.empty() || contains(months, w.month)) &&
               (monthDays.empty() || contains(monthDays, w.day) ||
                contains(monthDays, w.day - length - 1)) &&
               (yearDays.empty() || contains(yearDays, yearDay) ||
                contains(yearDays, yearDay - yearLength - 1)) &&
               (weekdays.empty() || contains(weekdays, weekday));
    };
    std::int64_t k = 0;
    // DTSTART is the first occurrence and counts towards COUNT, also when the rule's parts would
    // not give it; the caller adds it.
    std::int64_t generated = 0;
    if (rule.count > 0) {
        const WallTime start = wallFromSeconds(first, false);
        const bool given = dayMatches(start) && (hours.empty() || contains(hours, start.hour)) &&
                           (minutes.empty() || contains(minutes, start.minute)) &&
                           (seconds.empty() || contains(seconds, start.second));
        generated = given ? 0 : 1;
    }
    if (rule.count <= 0 && lo > first) {
        k = (lo - first) / step;
    }
    while (true) {
        if (--budget < 0) {
            result.exhausted = true;
            break;
        }
        const std::int64_t t = first + k * step;
        if (t > hi || t > until || result.starts.size() >= maxStarts) {
            break;
        }
        const WallTime w = wallFromSeconds(t, false);
        std::int64_t skipTo = 0;
        if (!dayMatches(w)) {
            skipTo = (floorDiv(t, kDaySeconds) + 1) * kDaySeconds;
        } else if (!hours.empty() && !contains(hours, w.hour)) {
            skipTo = (floorDiv(t, 3600) + 1) * 3600;
        } else if (!minutes.empty() && !contains(minutes, w.minute)) {
            skipTo = (floorDiv(t, 60) + 1) * 60;
        }
        if (skipTo != 0) {
            k = std::max(k + 1, ceilDiv(skipTo - first, step));
            continue;
        }
        if (skipTo == 0 && (seconds.empty() || contains(seconds, w.second))) {
            ++generated;
            if (rule.count > 0 && generated > rule.count) {
                break;
            }
            if (t >= lo) {
                result.starts.push_back(t);
            }
        }
        ++k;
    }
    return result;
}

bool hasNoParts(const short* values) {
    return values[0] == ICAL_RECURRENCE_ARRAY_MAX;
}

// A rule with nothing but a frequency of a day or more, an interval and an end.
bool isPlain(const icalrecurrencetype& rule) {
    const bool dailyOrLonger =
        rule.freq == ICAL_DAILY_RECURRENCE || rule.freq == ICAL_WEEKLY_RECURRENCE ||
        rule.freq == ICAL_MONTHLY_RECURRENCE || rule.freq == ICAL_YEARLY_RECURRENCE;
    return dailyOrLonger && rule.interval >= 1 && rule.rscale == nullptr &&
           hasNoParts(rule.by_second) && hasNoParts(rule.by_minute) && hasNoParts(rule.by_hour) &&
           hasNoParts(rule.by_day) && hasNoParts(rule.by_month_day) &&
           hasNoParts(rule.by_year_day) && hasNoParts(rule.by_week_no) &&
           hasNoParts(rule.by_month) && hasNoParts(rule.by_set_pos);
}

// Plain rules: the k-th period after DTSTART repeats its day of the month (and month of the
// year) at its time of day. A month without that day (the 31st, 29 February) has no
// occurrence and does not count towards COUNT.
RuleStarts plainStarts(const icalrecurrencetype& rule, std::int64_t interval,
                       const WallTime& dtstart, std::int64_t until, std::int64_t lo,
                       std::int64_t hi, long& budget, std::size_t maxStarts) {
    RuleStarts result;
    const std::int64_t first = wallSeconds(dtstart);
    const std::int64_t firstDay = floorDiv(first, kDaySeconds);
    const std::int64_t timeOfDay = first - firstDay * kDaySeconds;
    const std::int64_t firstMonth = std::int64_t(dtstart.year) * 12 + (dtstart.month - 1);
    // The day of period k, or nothing when that month or year lacks the day; days past the
    // year 9999 end the walk like any time past `hi`.
    auto dayOf = [&](std::int64_t k) -> std::optional<std::int64_t> {
        switch (rule.freq) {
        case ICAL_DAILY_RECURRENCE:
            return firstDay + k * interval;
        case ICAL_WEEKLY_RECURRENCE:
            return firstDay + 7 * k * interval;
        default: {
            const std::int64_t months =
                firstMonth + k * interval * (rule.freq == ICAL_YEARLY_RECURRENCE ? 12 : 1);
            const std::int64_t year = floorDiv(months, 12);
            if (year > 9999) {
                return std::numeric_limits<std::int64_t>::max() / (2 * kDaySeconds);
            }
            const int month = int(months - year * 12) + 1;
            if (dtstart.day > daysInMonth(int(year), month)) {
                return std::nullopt;
            }
            return daysFromCivil(int(year), month, dtstart.day);
        }
        }
    };
    const bool periodsCanBeEmpty =
        (rule.freq == ICAL_MONTHLY_RECURRENCE && dtstart.day > 28) ||
        (rule.freq == ICAL_YEARLY_RECURRENCE && dtstart.month == 2 && dtstart.day == 29);
    std::int64_t k = 0;
    if (lo > first && (rule.count <= 0 || !periodsCanBeEmpty)) {
        // Jump to a period that cannot be past `lo`: divide by the longest a period can last.
        const std::int64_t longestDays = rule.freq == ICAL_DAILY_RECURRENCE     ? 1
                                         : rule.freq == ICAL_WEEKLY_RECURRENCE  ? 7
                                         : rule.freq == ICAL_MONTHLY_RECURRENCE ? 31
                                                                                : 366;
        k = std::max<std::int64_t>(0, (lo - first) / (longestDays * interval * kDaySeconds) - 1);
    }
    // Every period before k had its occurrence, unless periods can be empty (then k is 0).
    std::int64_t generated = k;
    for (;; ++k) {
        if (--budget < 0) {
            result.exhausted = true;
            break;
        }
        if (rule.count > 0 && generated >= rule.count) {
            break;
        }
        const auto day = dayOf(k);
        if (!day) {
            continue;
        }
        const std::int64_t t = *day * kDaySeconds + timeOfDay;
        if (t > hi || t > until) {
            break;
        }
        ++generated;
        if (t >= lo) {
            result.starts.push_back(t);
            if (result.starts.size() >= maxStarts) {
                break;
            }
        }
    }
    return result;
}

// Weekly rules that name plain weekdays, each once, and nothing else ("every weekday",
// "Tuesdays and Thursdays"), as standing meetings are written.
bool isWeekdaySet(const icalrecurrencetype& rule) {
    if (rule.freq != ICAL_WEEKLY_RECURRENCE || rule.interval < 1 || rule.rscale != nullptr ||
        hasNoParts(rule.by_day) || !hasNoParts(rule.by_second) || !hasNoParts(rule.by_minute) ||
        !hasNoParts(rule.by_hour) || !hasNoParts(rule.by_month_day) ||
        !hasNoParts(rule.by_year_day) || !hasNoParts(rule.by_week_no) ||
        !hasNoParts(rule.by_month) || !hasNoParts(rule.by_set_pos)) {
        return false;
    }
    // A day named twice makes the parser's iterator give its start twice, counted twice
    // against COUNT; such rules are left to it.
    std::array<bool, 8> named{};
    for (int i = 0; i < ICAL_BY_DAY_SIZE && rule.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
        const int weekday = int(icalrecurrencetype_day_day_of_week(rule.by_day[i]));
        if (icalrecurrencetype_day_position(rule.by_day[i]) != 0 || weekday < 1 || weekday > 7 ||
            named[std::size_t(weekday)]) {
            return false;
        }
        named[std::size_t(weekday)] = true;
    }
    return true;
}

// Weekday sets: the weeks (beginning on WKST) every INTERVAL-th from DTSTART's hold a start on
// each named day at DTSTART's time, none before DTSTART. DTSTART counts towards COUNT also on a
// day the rule does not name; the caller adds it, so the rule then gives one start fewer.
RuleStarts weekdaySetStarts(const icalrecurrencetype& rule, std::int64_t interval,
                            const WallTime& dtstart, std::int64_t until, std::int64_t lo,
                            std::int64_t hi, long& budget, std::size_t maxStarts) {
    RuleStarts result;
    const std::int64_t first = wallSeconds(dtstart);
    const std::int64_t firstDay = floorDiv(first, kDaySeconds);
    const std::int64_t timeOfDay = first - firstDay * kDaySeconds;
    const int weekStart = weekStartOf(rule);
    auto fromWeekStart = [weekStart](std::int64_t weekday) {
        return int((weekday - weekStart + 7) % 7);
    };
    // The named days as offsets from the week's first day, ascending.
    std::array<bool, 7> named{};
    for (int i = 0; i < ICAL_BY_DAY_SIZE && rule.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
        named[std::size_t(fromWeekStart(int(icalrecurrencetype_day_day_of_week(rule.by_day[i]))))] =
            true;
    }
    std::vector<int> offsets;
    for (int offset = 0; offset < 7; ++offset) {
        if (named[std::size_t(offset)]) {
            offsets.push_back(offset);
        }
    }
    const int dtstartOffset = fromWeekStart(weekdayOf(firstDay));
    const std::int64_t weekZero = firstDay - dtstartOffset;
    const auto inFirstWeek = std::int64_t(std::count_if(
        offsets.begin(), offsets.end(), [&](int offset) { return offset >= dtstartOffset; }));
    const std::int64_t allowed = rule.count <= 0                     ? 0
                                 : named[std::size_t(dtstartOffset)] ? rule.count
                                                                     : rule.count - 1;
    std::int64_t k = 0;
    if (lo > first) {
        // A week that cannot be past `lo`; every named day of the weeks before it had its start.
        k = std::max<std::int64_t>(0, (lo - first) / (7 * interval * kDaySeconds) - 1);
    }
    std::int64_t generated = k == 0 ? 0 : inFirstWeek + (k - 1) * std::int64_t(offsets.size());
    for (;; ++k) {
        const std::int64_t week = weekZero + 7 * k * interval;
        for (const int offset : offsets) {
            const std::int64_t t = (week + offset) * kDaySeconds + timeOfDay;
            if (t < first) {
                continue;
            }
            if (--budget < 0) {
                result.exhausted = true;
                return result;
            }
            if ((rule.count > 0 && generated >= allowed) || t > hi || t > until) {
                return result;
            }
            ++generated;
            if (t >= lo) {
                result.starts.push_back(t);
                if (result.starts.size() >= maxStarts) {
                    return result;
                }
            }
        }
    }
}

// Rules with BY parts whose INTERVAL is beyond what the parser's iterator holds (more than 32767
// days, weeks, months or years from one period to the next): the iterator walks each period that
// counts (every INTERVAL-th from DTSTART's) on its own, with an INTERVAL of 1. Between the years
// 1 and 9999 there are at most a few hundred such periods.
RuleStarts widePeriodStarts(icalrecurrencetype rule, std::int64_t interval, const WallTime& dtstart,
                            std::int64_t until, std::int64_t lo, std::int64_t hi, long& budget,
                            std::size_t maxStarts) {
    RuleStarts result;
    const std::int64_t first = wallSeconds(dtstart);
    const std::int64_t firstDay = floorDiv(first, kDaySeconds);
    const std::int64_t lastDay = daysFromCivil(10000, 1, 1);
    const int count = rule.count;
    rule.count = 0;
    rule.interval = 1;
    // The first day of the k-th period that counts and of the period after it.
    auto period = [&](std::int64_t k) -> std::optional<std::pair<std::int64_t, std::int64_t>> {
        const std::int64_t steps = k * interval;
        switch (rule.freq) {
        case ICAL_DAILY_RECURRENCE:
            return std::pair(firstDay + steps, firstDay + steps + 1);
        case ICAL_WEEKLY_RECURRENCE: {
            const std::int64_t start =
                firstDay - (weekdayOf(firstDay) - weekStartOf(rule) + 7) % 7 + 7 * steps;
            return std::pair(start, start + 7);
        }
        case ICAL_MONTHLY_RECURRENCE: {
            const std::int64_t months = std::int64_t(dtstart.year) * 12 + dtstart.month - 1 + steps;
            const std::int64_t year = floorDiv(months, 12);
            if (year > 9999) {
                return std::nullopt;
            }
            const int month = int(months - year * 12) + 1;
            return std::pair(daysFromCivil(int(year), month, 1),
                             month == 12 ? daysFromCivil(int(year) + 1, 1, 1)
                                         : daysFromCivil(int(year), month + 1, 1));
        }
        default: {
            const std::int64_t year = dtstart.year + steps;
            if (year > 9999) {
                return std::nullopt;
            }
            return std::pair(daysFromCivil(int(year), 1, 1), daysFromCivil(int(year) + 1, 1, 1));
        }
        }
    };
    int allowed = count;
    int given = 0;
    bool done = false;
    for (std::int64_t k = 0; !done; ++k) {
        const auto days = period(k);
        if (!days || days->first >= lastDay) {
            break;
        }
        const std::int64_t begin = std::max(days->first * kDaySeconds, first);
        const std::int64_t end = days->second * kDaySeconds - 1;
        if (begin > hi || begin > until) {
            break;
        }
        if (count <= 0 && end < lo) {
            continue;
        }
        rule.until = toIcal(wallFromSeconds(std::min(until, end), dtstart.isDate));
        icalrecur_iterator* iterator = icalrecur_iterator_new(rule, toIcal(dtstart));
        icalerror_clear_errno();
        if (!iterator) {
            break;
        }
        // The iterator reaches no further than the year 2582; later periods are left out.
        if (begin > first && !icalrecur_iterator_set_start(
                                 iterator, toIcal(wallFromSeconds(begin, dtstart.isDate)))) {
            icalrecur_iterator_free(iterator);
            icalerror_clear_errno();
            break;
        }
        icalerror_clear_errno();
        while (!done) {
            if (--budget < 0) {
                result.exhausted = done = true;
                break;
            }
            const icaltimetype next = icalrecur_iterator_next(iterator);
            if (icaltime_is_null_time(next)) {
                break;
            }
            const WallTime wall = wallFromIcal(next);
            if (!isValidWall(wall) || wallSeconds(wall) < begin) {
                continue;
            }
            const std::int64_t t = wallSeconds(wall);
            if (t > end) {
                break;
            }
            if (count > 0) {
                if (given == 0 && icaltime_compare(next, toIcal(dtstart)) != 0) {
                    --allowed;
                }
                done = ++given > allowed;
            }
            done = done || t > hi;
            if (!done && t >= lo) {
                result.starts.push_back(t);
                done = result.starts.size() >= maxStarts;
            }
        }
        icalrecur_iterator_free(iterator);
        icalerror_clear_errno();
    }
    return result;
}

// A parsed rule that owns the calendar scale the parser allocated, with its INTERVAL as written.
struct ParsedRule {
    std::optional<icalrecurrencetype> rule;
    std::int64_t interval;
    bool neverMatches; // no rule, or one that gives no date
    explicit ParsedRule(std::string_view text)
        : rule(parse(text)), interval(ruleInterval(text)),
          neverMatches(!rule || ics::neverMatches(*rule)) {}
    ~ParsedRule() {
        if (rule) {
            std::free(rule->rscale);
        }
    }
    ParsedRule(const ParsedRule&) = delete;
    ParsedRule& operator=(const ParsedRule&) = delete;
};

// Rules by their text, parsed once per thread: every fetch of a month walks the same rules again.
std::shared_ptr<const ParsedRule> parsedRule(std::string_view text) {
    constexpr std::size_t kKept = 4096; // beyond the rules of any real set of calendars
    thread_local StringMap<std::shared_ptr<const ParsedRule>> rules;
    if (const auto found = rules.find(text); found != rules.end()) {
        return found->second;
    }
    if (rules.size() >= kKept) {
        rules.clear();
    }
    auto parsed = std::make_shared<const ParsedRule>(text);
    rules.emplace(std::string(text), parsed);
    return parsed;
}

} // namespace

bool ruleNeverMatches(std::string_view rrule) {
    return parsedRule(rrule)->neverMatches;
}

bool ruleHasEnd(std::string_view rrule) {
    const auto parsed = parsedRule(rrule);
    return parsed->rule && (parsed->rule->count > 0 || !icaltime_is_null_time(parsed->rule->until));
}

RuleStarts ruleStarts(std::string_view rrule, const WallTime& dtstart, const ZoneConverter& zone,
                      std::int64_t lo, std::int64_t hi, long& budget, std::size_t maxStarts,
                      RuleWalker walker) {
    RuleStarts result;
    const auto parsed = parsedRule(rrule);
    if (parsed->neverMatches || !isValidWall(dtstart)) {
        return result;
    }
    // The parsed rule is large (every BY part is an array): the walks read it where it is, and
    // only the parser's iterator gets a copy, with the end it is to stop at.
    const icalrecurrencetype& rule = *parsed->rule;
    std::int64_t until = std::numeric_limits<std::int64_t>::max();
    if (!icaltime_is_null_time(rule.until)) {
        WallTime wall{.year = rule.until.year,
                      .month = rule.until.month,
                      .day = rule.until.day,
                      .hour = rule.until.is_date ? 23 : rule.until.hour,
                      .minute = rule.until.is_date ? 59 : rule.until.minute,
                      .second = rule.until.is_date ? 59 : std::min(rule.until.second, 59)};
        if (!isValidWall(wall)) {
            return result;
        }
        if (dtstart.isDate) {
            // An all-day series ends with the day UNTIL names, whatever time it gives that day
            // and whatever the viewer's zone.
            wall.hour = 23;
            wall.minute = 59;
            wall.second = 59;
        } else if (icaltime_is_utc(rule.until)) {
            // UNTIL in UTC bounds the series in its own zone's written times.
            wall = zone.toWall(Instant{double(wallSeconds(wall))});
        }
        until = wallSeconds(wall);
    }
    if (rule.freq == ICAL_SECONDLY_RECURRENCE || rule.freq == ICAL_MINUTELY_RECURRENCE ||
        rule.freq == ICAL_HOURLY_RECURRENCE) {
        return subDailyStarts(rule, parsed->interval, dtstart, until, lo, hi, budget, maxStarts);
    }
    if (walker == RuleWalker::automatic && isPlain(rule)) {
        return plainStarts(rule, parsed->interval, dtstart, until, lo, hi, budget, maxStarts);
    }
    if (parsed->interval > rule.interval) {
        return widePeriodStarts(rule, parsed->interval, dtstart, until, lo, hi, budget, maxStarts);
    }
    if (walker == RuleWalker::automatic && isWeekdaySet(rule)) {
        return weekdaySetStarts(rule, rule.interval, dtstart, until, lo, hi, budget, maxStarts);
    }
    if (rule.count <= 0) {
        // The iterator stops at UNTIL, so the end of the range bounds its search too.
        until = std::min(until, hi);
    }
    icalrecurrencetype bounded = rule;
    if (until != std::numeric_limits<std::int64_t>::max()) {
        WallTime wall = wallFromSeconds(until, dtstart.isDate);
        if (until < wallSeconds(dtstart)) {
            return result;
        }
        bounded.until = toIcal(wall);
    }
    icalrecur_iterator* iterator = icalrecur_iterator_new(bounded, toIcal(dtstart));
    icalerror_clear_errno();
    if (!iterator) {
        return result;
    }
    if (rule.count <= 0 && lo > wallSeconds(dtstart)) {
        icalrecur_iterator_set_start(iterator, toIcal(wallFromSeconds(lo, dtstart.isDate)));
        icalerror_clear_errno();
    }
    // With COUNT the walk starts at DTSTART, which counts as the first occurrence even when the
    // rule does not give it (the last Friday of each month from a Sunday): the iterator then
    // has one occurrence fewer to give.
    int given = 0;
    int allowed = rule.count;
    while (result.starts.size() < maxStarts) {
        if (--budget < 0) {
            result.exhausted = true;
            break;
        }
        const icaltimetype next = icalrecur_iterator_next(iterator);
        if (icaltime_is_null_time(next)) {
            break;
        }
        if (rule.count > 0) {
            if (given == 0 && icaltime_compare(next, toIcal(dtstart)) != 0) {
                --allowed;
            }
            if (++given > allowed) {
                break;
            }
        }
        const WallTime wall{.year = next.year,
                            .month = next.month,
                            .day = next.day,
                            .hour = next.is_date ? 0 : next.hour,
                            .minute = next.is_date ? 0 : next.minute,
                            .second = next.is_date ? 0 : next.second,
                            .isDate = next.is_date != 0};
        if (!isValidWall(wall)) {
            // The iterator counts leap years the Julian way before 1753 (29 February 100);
            // such a day does not exist in the Gregorian dates used everywhere else.
            continue;
        }
        const std::int64_t t = wallSeconds(wall);
        if (t > hi) {
            break;
        }
        if (t >= lo) {
            result.starts.push_back(t);
        }
    }
    icalrecur_iterator_free(iterator);
    icalerror_clear_errno();
    return result;
}

} // namespace plannery::ics
