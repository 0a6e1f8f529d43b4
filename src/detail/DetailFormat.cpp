#include "detail/DetailFormat.h"

#include "model/DateFormats.h"
#include "model/LocaleFormats.h"
#include "model/PercentDecoding.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <map>

namespace plannery::DetailFormat {

namespace {

// The event's last instant: an end after the start is exclusive.
Instant lastInstant(Instant start, Instant end) {
    return end > start ? end.plus(-1) : end;
}

bool finite(Instant t) {
    return std::isfinite(t.seconds);
}

// Days since 1970-01-01 of a written date (proleptic Gregorian).
std::int64_t civilDay(const DateComponents& c) {
    const std::int64_t y = static_cast<std::int64_t>(c.year) - (c.month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t monthFromMarch = (c.month + 9) % 12;
    const std::int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + c.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Calendar days from the day of `from` to the day of `to` in the calendar's zone.
std::int64_t daysBetween(const Calendar& calendar, Instant from, Instant to) {
    return civilDay(calendar.components(to)) - civilDay(calendar.components(from));
}

bool sameDay(const Calendar& calendar, Instant a, Instant b) {
    return calendar.startOfDay(a) == calendar.startOfDay(b);
}

std::string longDate(Instant t, const Calendar& calendar, const std::string& localeId) {
    return DateFormats::formatSkeleton("yMMMEEEEd", t, localeId, calendar.zoneId());
}

// Abbreviated weekday and month, day, clock time; the year only when asked for.
std::string dateAndTime(Instant t, bool withYear, const Calendar& calendar,
                        const std::string& localeId) {
    return DateFormats::formatSkeleton(withYear ? "yMMMEdjmm" : "MMMEdjmm", t, localeId,
                                       calendar.zoneId());
}

// Identifiers that name UTC without an "Etc/", "GMT" or "UTC" prefix.
constexpr std::array<std::string_view, 4> kUtcAliases{"UCT", "Universal", "Zulu", "Greenwich"};

bool spellsUtc(std::string_view zoneId) {
    for (std::string_view prefix : {"Etc/", "GMT", "UTC"}) {
        if (zoneId.starts_with(prefix)) {
            return true;
        }
    }
    for (std::string_view alias : kUtcAliases) {
        if (zoneId == alias) {
            return true;
        }
    }
    return false;
}

bool isSeparator(std::string_view text, std::size_t i, std::size_t& width) {
    width = 1;
    switch (text[i]) {
    case ' ':
    case '\t':
    case '\n':
    case '\r':
    case '.':
    case '@':
    case '_':
        return true;
    default:
        break;
    }
    // No-break space and ideographic space separate words as a space does.
    for (std::string_view space :
         {std::string_view("\xC2\xA0"), std::string_view("\xE3\x80\x80")}) {
        if (text.substr(i, space.size()) == space) {
            width = space.size();
            return true;
        }
    }
    return false;
}

// The user's calendar moved to another zone. Building one costs a collator and a calendar, so
// each thread keeps the few it has needed.
const Calendar* calendarIn(const std::string& zoneId, const Calendar& calendar) {
    thread_local std::map<std::string, std::optional<Calendar>> calendars;
    const std::string key = zoneId + '\x1f' + calendar.localeId() + '\x1f' +
                            std::to_string(static_cast<int>(calendar.firstWeekday()));
    auto found = calendars.find(key);
    if (found == calendars.end()) {
        constexpr std::size_t kLimit = 32;
        if (calendars.size() >= kLimit) {
            calendars.clear();
        }
        found =
            calendars
                .emplace(key, Calendar::make(zoneId, calendar.localeId(), calendar.firstWeekday()))
                .first;
    }
    return found->second ? &*found->second : nullptr;
}

} // namespace

WhenLines when(Instant start, Instant end, bool allDay, const Calendar& calendar,
               const std::string& localeId) {
    if (!finite(start) || !finite(end)) {
        return {};
    }
    const Instant last = lastInstant(start, end);
    const bool singleDay = sameDay(calendar, start, last);
    if (!allDay) {
        if (singleDay) {
            return {.date = longDate(start, calendar, localeId),
                    .time = times(start, end, calendar, localeId)};
        }
        const bool sameYear = calendar.components(start).year == calendar.components(end).year;
        return {.date = dateAndTime(start, !sameYear, calendar, localeId) + " \u2013",
                .time = dateAndTime(end, true, calendar, localeId)};
    }
    if (singleDay) {
        return {.date = longDate(start, calendar, localeId), .time = "All day"};
    }
    const std::int64_t days = daysBetween(calendar, start, last) + 1;
    return {.date = DateFormats::interval("yMMMEd", start, last, localeId, calendar.zoneId()),
            .time = "All day \u00B7 " + LocaleFormats::number(days, localeId) + " days"};
}

std::string times(Instant start, Instant end, const Calendar& calendar,
                  const std::string& localeId) {
    const std::string& zone = calendar.zoneId();
    if (!(end > start)) {
        return DateFormats::shortTime(start, localeId, zone);
    }
    if (!sameDay(calendar, start, end)) {
        return DateFormats::shortTime(start, localeId, zone) + " \u2013 " +
               DateFormats::shortTime(end, localeId, zone);
    }
    return DateFormats::timeInterval(start, end, localeId, zone);
}

std::optional<std::string> eventZone(const std::vector<std::optional<std::string>>& zones,
                                     Instant start, const Calendar& calendar) {
    const int own = calendar.utcOffsetSeconds(start);
    std::optional<std::string> first;
    for (const std::optional<std::string>& zone : zones) {
        if (!zone) {
            continue;
        }
        const std::optional<int> offset = DateFormats::zoneOffset(*zone, start);
        // A zone this machine does not know cannot be shown on its clocks.
        if (!offset || (*offset == 0 && spellsUtc(*zone))) {
            continue;
        }
        if (*offset == own) {
            return std::nullopt;
        }
        if (!first) {
            first = *zone;
        }
    }
    return first;
}

std::optional<std::string> timeZoneNote(Instant start, Instant end,
                                        const std::optional<std::string>& eventZone,
                                        const Calendar& calendar, const std::string& localeId) {
    if (!eventZone || !finite(start) || !finite(end)) {
        return std::nullopt;
    }
    const std::optional<int> atStart = DateFormats::zoneOffset(*eventZone, start);
    const std::optional<int> atEnd = DateFormats::zoneOffset(*eventZone, end);
    if (!atStart || !atEnd) {
        return std::nullopt;
    }
    if (*atStart == calendar.utcOffsetSeconds(start) && *atEnd == calendar.utcOffsetSeconds(end)) {
        return std::nullopt;
    }
    const Calendar* there = calendarIn(*eventZone, calendar);
    if (there == nullptr) {
        return std::nullopt;
    }
    const std::string range =
        sameDay(*there, start, lastInstant(start, end))
            ? times(start, end, *there, localeId)
            : DateFormats::interval("MMMEdjmm", start, end, localeId, *eventZone);
    std::string name = DateFormats::zoneGenericName(*eventZone, start, localeId);
    return range + " " + (name.empty() ? *eventZone : name);
}

std::string alarm(double offset, bool allDay, Instant start, const Calendar& calendar,
                  const std::string& localeId) {
    if (!allDay) {
        const double size = std::fabs(offset);
        if (!(size >= 30)) {
            return "At time of event";
        }
        // Whole minutes, rounded, so that every alert past the half-minute names at least one.
        constexpr double kMostMinutes = 1e15;
        auto minutes = static_cast<long long>(std::min(std::round(size / 60), kMostMinutes));
        constexpr long long kHour = 60;
        constexpr long long kDay = 24 * kHour;
        constexpr long long kWeek = 7 * kDay;
        const std::array<LocaleFormats::DurationPart, 4> all{{
            {.unit = LocaleFormats::DurationUnit::week, .value = minutes / kWeek},
            {.unit = LocaleFormats::DurationUnit::day, .value = minutes % kWeek / kDay},
            {.unit = LocaleFormats::DurationUnit::hour, .value = minutes % kDay / kHour},
            {.unit = LocaleFormats::DurationUnit::minute, .value = minutes % kHour},
        }};
        std::vector<LocaleFormats::DurationPart> shown;
        for (const LocaleFormats::DurationPart& part : all) {
            if (part.value != 0 && shown.size() < 2) {
                shown.push_back(part);
            }
        }
        return LocaleFormats::duration(shown, localeId) + (offset >= 0 ? " after" : " before");
    }
    const Instant day = calendar.startOfDay(start);
    const Instant moment = day.plus(offset);
    const std::int64_t days =
        finite(day) && finite(moment) ? daysBetween(calendar, day, moment) : 0;
    const std::string time = DateFormats::shortTime(moment, localeId, calendar.zoneId());
    if (days == 0) {
        return "On the day at " + time;
    }
    const std::string count = LocaleFormats::number(days < 0 ? -days : days, localeId);
    const std::string unit = days == 1 || days == -1 ? " day " : " days ";
    return count + unit + (days < 0 ? "before" : "after") + " at " + time;
}

std::string alarm(Instant date, const Calendar& calendar, const std::string& localeId) {
    return DateFormats::styled(DateFormats::DateStyle::medium, DateFormats::TimeStyle::shortStyle,
                               date, localeId, calendar.zoneId());
}

std::optional<std::string> email(std::string_view url) {
    constexpr std::string_view kScheme = "mailto:";
    if (url.size() < kScheme.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kScheme.size(); ++i) {
        const char c = url[i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != kScheme[i]) {
            return std::nullopt;
        }
    }
    const std::string_view rest = url.substr(kScheme.size());
    std::string address = percentDecoded(rest).value_or(std::string(rest));
    if (const auto query = address.find('?'); query != std::string::npos) {
        address.resize(query);
    }
    if (address.empty()) {
        return std::nullopt;
    }
    return address;
}

std::string initials(std::string_view name) {
    std::vector<std::string_view> words;
    std::size_t begin = 0;
    std::size_t i = 0;
    while (i <= name.size()) {
        std::size_t width = 1;
        if (i == name.size() || isSeparator(name, i, width)) {
            if (i > begin) {
                words.push_back(name.substr(begin, i - begin));
            }
            begin = i + width;
        }
        i += width;
    }
    // An address names one person once: "ann.lee@example.com" is Ann, not Ann Lee.
    const std::size_t kept = name.find('@') != std::string_view::npos ? 1 : 2;
    std::string out;
    for (std::size_t k = 0; k < words.size() && k < kept; ++k) {
        out += LocaleFormats::upperFirstCharacter(words[k]);
    }
    return out;
}

} // namespace plannery::DetailFormat
