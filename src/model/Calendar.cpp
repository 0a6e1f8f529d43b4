#include "model/Calendar.h"

#include <unicode/basictz.h>
#include <unicode/calendar.h>
#include <unicode/coll.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace plannery {

namespace {

constexpr double kMillis = 1000.0;
constexpr double kDaySeconds = 86400.0;

// The day holding t from the zone's offsets; nullopt where they cannot tell it.
std::optional<DateInterval> dayFromOffsets(ZoneOffsets& offsets, Instant t) {
    // Every calendar system's days run from midnight to midnight on the wall clock, and the
    // zone's remembered offsets place both midnights (a skipped one at the end of the gap, as
    // the calendar reads it) without the calendar's field arithmetic.
    const auto offset = offsets.ofInstant(t.seconds);
    if (!offset) {
        return std::nullopt;
    }
    const double midnight = std::floor((t.seconds + *offset) / kDaySeconds) * kDaySeconds;
    const auto startOffset = offsets.ofWall(midnight);
    const auto endOffset = offsets.ofWall(midnight + kDaySeconds);
    if (!startOffset || !endOffset) {
        return std::nullopt;
    }
    const DateInterval day{Instant{midnight - *startOffset},
                           Instant{midnight + kDaySeconds - *endOffset}};
    // A change that repeats or skips midnight itself can leave t outside the day its wall
    // clock names; the calendar settles those.
    return day.start <= t && t < day.end ? std::optional(day) : std::nullopt;
}

// The same from the calendar's fields, for every day.
std::optional<DateInterval> dayFromCalendar(icu::Calendar& calendar, Instant t) {
    UErrorCode status = U_ZERO_ERROR;
    calendar.setTime(t.seconds * kMillis, status);
    const int year = calendar.get(UCAL_EXTENDED_YEAR, status);
    const int month = calendar.get(UCAL_MONTH, status);
    const int day = calendar.get(UCAL_DATE, status);
    calendar.clear();
    calendar.set(UCAL_EXTENDED_YEAR, year);
    calendar.set(UCAL_MONTH, month);
    calendar.set(UCAL_DATE, day);
    const double start = calendar.getTime(status);
    calendar.set(UCAL_DATE, day + 1);
    const double end = calendar.getTime(status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    return DateInterval{Instant{start / kMillis}, Instant{end / kMillis}};
}

std::unique_ptr<icu::TimeZone> zoneFor(std::string_view zoneId) {
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(
        icu::UnicodeString::fromUTF8(icu::StringPiece(zoneId.data(), zoneId.size()))));
    if (!zone || *zone == icu::TimeZone::getUnknown()) {
        return nullptr;
    }
    return zone;
}

std::unique_ptr<icu::Collator> collatorFor(const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(locale, status));
    if (U_FAILURE(status) || !collator) {
        status = U_ZERO_ERROR;
        collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    }
    if (collator) {
        // Digit runs by value ("Room 9" before "Room 10"); case is a tertiary difference and
        // therefore ignored at secondary strength.
        collator->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
        collator->setStrength(icu::Collator::SECONDARY);
    }
    return collator;
}

std::string localeFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0' && std::string_view(value) != "C" &&
            std::string_view(value) != "POSIX" && std::string_view(value) != "C.UTF-8") {
            std::string locale(value);
            // "de_DE.UTF-8@euro" -> "de_DE"
            auto cut = locale.find_first_of(".@");
            return cut == std::string::npos ? locale : locale.substr(0, cut);
        }
    }
    return "en_US";
}

} // namespace

Calendar::Calendar(std::string zoneId, std::string localeId,
                   std::unique_ptr<icu::Calendar> calendar, std::unique_ptr<icu::Collator> collator)
    : m_zoneId(std::move(zoneId)), m_localeId(std::move(localeId)), m_calendar(std::move(calendar)),
      m_collator(std::move(collator)), m_offsets(m_calendar->getTimeZone()) {}

std::optional<Calendar> Calendar::make(std::string_view zoneId, std::string_view localeId,
                                       std::optional<Weekday> firstWeekday) {
    auto zone = zoneFor(zoneId);
    if (!zone) {
        return std::nullopt;
    }
    icu::Locale locale(std::string(localeId).c_str());
    UErrorCode status = U_ZERO_ERROR;
    auto calendar = std::make_unique<icu::GregorianCalendar>(zone.release(), locale, status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    calendar->setLenient(true);
    // Proleptic Gregorian throughout, as calendar files count days: no switch to the Julian
    // calendar before October 1582 (the smallest date ICU takes means "never").
    calendar->setGregorianChange(static_cast<UDate>(std::numeric_limits<std::int64_t>::min()),
                                 status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    calendar->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    calendar->setSkippedWallTimeOption(UCAL_WALLTIME_LAST);
    if (firstWeekday) {
        calendar->setFirstDayOfWeek(static_cast<UCalendarDaysOfWeek>(*firstWeekday));
    }
    return Calendar(std::string(zoneId), std::string(localeId), std::move(calendar),
                    collatorFor(locale));
}

Calendar Calendar::current() {
    std::string zoneId = "UTC";
    std::unique_ptr<icu::TimeZone> host(icu::TimeZone::detectHostTimeZone());
    if (host && *host != icu::TimeZone::getUnknown()) {
        icu::UnicodeString id;
        host->getID(id);
        id.toUTF8String(zoneId = {});
    }
    const std::string locale = localeFromEnvironment();
    if (auto calendar = make(zoneId, locale)) {
        return std::move(*calendar);
    }
    return *make("UTC", "en_US");
}

Calendar Calendar::currentIn(const std::optional<std::string>& zoneId) {
    Calendar machine = current();
    if (zoneId) {
        if (auto chosen = make(*zoneId, machine.localeId(), machine.firstWeekday())) {
            return std::move(*chosen);
        }
    }
    return machine;
}

bool Calendar::isKnownZone(std::string_view zoneId) {
    return zoneFor(zoneId) != nullptr;
}

Calendar::Calendar(const Calendar& other)
    : m_zoneId(other.m_zoneId), m_localeId(other.m_localeId), m_calendar(other.m_calendar->clone()),
      m_collator(other.m_collator ? other.m_collator->clone() : nullptr),
      m_offsets(m_calendar->getTimeZone()) {}

Calendar& Calendar::operator=(const Calendar& other) {
    if (this != &other) {
        Calendar copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Calendar::Calendar(Calendar&&) noexcept = default;
Calendar& Calendar::operator=(Calendar&&) noexcept = default;
Calendar::~Calendar() = default;

Weekday Calendar::firstWeekday() const {
    UErrorCode status = U_ZERO_ERROR;
    return static_cast<Weekday>(m_calendar->getFirstDayOfWeek(status));
}

std::optional<DateInterval> Calendar::dayInterval(Instant t) const {
    if (!std::isfinite(t.seconds)) {
        return std::nullopt;
    }
    for (const DateInterval& day : m_recentDays) {
        if (day.start <= t && t < day.end) {
            return day;
        }
    }
    auto found = dayFromOffsets(m_offsets, t);
    if (!found) {
        found = dayFromCalendar(*m_calendar, t);
    }
    if (found) {
        m_recentDays[m_nextRecentDay] = *found;
        m_nextRecentDay = (m_nextRecentDay + 1) % kRecentDays;
    }
    return found;
}

Instant Calendar::startOfDay(Instant t) const {
    auto day = dayInterval(t);
    return day ? day->start : t;
}

std::optional<Instant> Calendar::addDays(Instant t, int n) const {
    auto day = dayInterval(t);
    if (!day) {
        return std::nullopt;
    }
    // Noon exists on every day of every zone, so stepping from there cannot land on a
    // neighbouring day. Days are whole days of the wall clock in every calendar system: the
    // zone's remembered offsets place the noon n days on without the calendar's field arithmetic.
    // A zone that moved across the date line (Apia left out 30 December 2011) changed its offset
    // by a whole day; the calendar counts the days that took place there.
    if (const auto offset = m_offsets.ofInstant(day->start.seconds)) {
        const double noon = std::floor((day->start.seconds + *offset) / kDaySeconds) * kDaySeconds +
                            n * kDaySeconds + kDaySeconds / 2;
        if (const auto noonOffset = m_offsets.ofWall(noon);
            noonOffset && std::abs(*noonOffset - *offset) < kDaySeconds / 2) {
            return startOfDay(Instant{noon - *noonOffset});
        }
    }
    UErrorCode status = U_ZERO_ERROR;
    m_calendar->setTime(day->start.seconds * kMillis, status);
    m_calendar->set(UCAL_HOUR_OF_DAY, 12);
    m_calendar->add(UCAL_DATE, n, status);
    const double noon = m_calendar->getTime(status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    return startOfDay(Instant{noon / kMillis});
}

std::optional<Instant> Calendar::addMonths(Instant t, int n) const {
    if (!std::isfinite(t.seconds)) {
        return std::nullopt;
    }
    UErrorCode status = U_ZERO_ERROR;
    m_calendar->setTime(t.seconds * kMillis, status);
    m_calendar->add(UCAL_MONTH, n, status);
    const double result = m_calendar->getTime(status);
    return U_FAILURE(status) ? std::nullopt : std::optional<Instant>(Instant{result / kMillis});
}

std::optional<Instant> Calendar::addDaysKeepingTime(Instant t, int n) const {
    if (!std::isfinite(t.seconds)) {
        return std::nullopt;
    }
    UErrorCode status = U_ZERO_ERROR;
    m_calendar->setTime(t.seconds * kMillis, status);
    m_calendar->add(UCAL_DATE, n, status);
    const double result = m_calendar->getTime(status);
    return U_FAILURE(status) ? std::nullopt : std::optional<Instant>(Instant{result / kMillis});
}

std::optional<DateInterval> Calendar::monthInterval(Instant t) const {
    if (!std::isfinite(t.seconds)) {
        return std::nullopt;
    }
    const DateComponents c = components(t);
    auto start = date(c.year, c.month, 1);
    auto end = date(c.year, c.month + 1, 1);
    if (!start || !end) {
        return std::nullopt;
    }
    return DateInterval{*start, *end};
}

std::optional<DateInterval> Calendar::weekInterval(Instant t) const {
    auto day = dayInterval(t);
    if (!day) {
        return std::nullopt;
    }
    const int back =
        (static_cast<int>(weekday(day->start)) - static_cast<int>(firstWeekday()) + 7) % 7;
    auto start = addDays(day->start, -back);
    auto end = start ? addDays(*start, 7) : std::nullopt;
    if (!start || !end) {
        return std::nullopt;
    }
    return DateInterval{*start, *end};
}

DateComponents Calendar::components(Instant t) const {
    UErrorCode status = U_ZERO_ERROR;
    m_calendar->setTime(t.seconds * kMillis, status);
    DateComponents c;
    c.year = m_calendar->get(UCAL_EXTENDED_YEAR, status);
    c.month = m_calendar->get(UCAL_MONTH, status) + 1;
    c.day = m_calendar->get(UCAL_DATE, status);
    c.hour = m_calendar->get(UCAL_HOUR_OF_DAY, status);
    c.minute = m_calendar->get(UCAL_MINUTE, status);
    c.second = m_calendar->get(UCAL_SECOND, status);
    c.weekday = static_cast<Weekday>(m_calendar->get(UCAL_DAY_OF_WEEK, status));
    return c;
}

std::optional<Instant> Calendar::date(int year, int month, int day, int hour, int minute,
                                      int second) const {
    UErrorCode status = U_ZERO_ERROR;
    m_calendar->clear();
    m_calendar->set(UCAL_EXTENDED_YEAR, year);
    m_calendar->set(UCAL_MONTH, month - 1);
    m_calendar->set(UCAL_DATE, day);
    m_calendar->set(UCAL_HOUR_OF_DAY, hour);
    m_calendar->set(UCAL_MINUTE, minute);
    m_calendar->set(UCAL_SECOND, second);
    const double result = m_calendar->getTime(status);
    return U_FAILURE(status) ? std::nullopt : std::optional<Instant>(Instant{result / kMillis});
}

Instant Calendar::instantOfWallSeconds(double wallSeconds) const {
    // A skipped time is read with the offset before the change (so it moves forward by the gap),
    // an ambiguous one as the first of the two, as date() does.
    return Instant{wallSeconds - m_offsets.ofWall(wallSeconds).value_or(0)};
}

Weekday Calendar::weekday(Instant t) const {
    return components(t).weekday;
}

bool Calendar::isWeekend(Instant t) const {
    UErrorCode status = U_ZERO_ERROR;
    const bool weekend = m_calendar->isWeekend(t.seconds * kMillis, status);
    return U_SUCCESS(status) && weekend;
}

int Calendar::utcOffsetSeconds(Instant t) const {
    return int(m_offsets.ofInstant(t.seconds).value_or(0));
}

int Calendar::compareLocalized(std::string_view a, std::string_view b) const {
    if (a == b) {
        return 0;
    }
    if (!m_collator) {
        return a < b ? -1 : 1;
    }
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = m_collator->compareUTF8(
        icu::StringPiece(a.data(), a.size()), icu::StringPiece(b.data(), b.size()), status);
    return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
}

} // namespace plannery
