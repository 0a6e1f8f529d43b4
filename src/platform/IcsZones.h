#pragma once

#include "model/Calendar.h"
#include "platform/IcsSeries.h"

#include <libical/ical.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Time arithmetic shared by the iCalendar reader and the recurrence expansion: written times as
// linear seconds, and the zones they are placed in.
namespace plannery::ics {

// Makes libical report errors instead of aborting; safe to call from any thread.
void prepareLibical();

inline constexpr std::int64_t kDaySeconds = 24 * 3600;

// Floor division, for negative second counts (times before 1970).
inline std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The libical form of a written time (a DATE when the wall time is one), and back: a DATE has no
// time of day, and a leap second reads as the second before it.
icaltimetype toIcal(const WallTime& wall);
WallTime wallFromIcal(const icaltimetype& time);

// Proleptic Gregorian civil dates, as iCalendar writes them.
// They are inline because expanding a month of series calls them tens of thousands of times.
inline std::int64_t daysFromCivil(int year, int month, int day) {
    const std::int64_t y = std::int64_t(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = floorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

inline int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

inline bool isValidWall(const WallTime& wall) {
    return wall.year >= 1 && wall.year <= 9999 && wall.month >= 1 && wall.month <= 12 &&
           wall.day >= 1 && wall.day <= daysInMonth(wall.year, wall.month) && wall.hour >= 0 &&
           wall.hour < 24 && wall.minute >= 0 && wall.minute < 60 && wall.second >= 0 &&
           wall.second < 60;
}

// Seconds since 1970-01-01T00:00 of the written fields, as if they were UTC.
inline std::int64_t wallSeconds(const WallTime& wall) {
    return daysFromCivil(wall.year, wall.month, wall.day) * kDaySeconds + wall.hour * 3600 +
           wall.minute * 60 + wall.second;
}

inline WallTime wallFromSeconds(std::int64_t seconds, bool isDate) {
    const std::int64_t days = floorDiv(seconds, kDaySeconds);
    const std::int64_t rest = seconds - days * kDaySeconds;
    const std::int64_t z = days + 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = int(doy - (153 * mp + 2) / 5 + 1);
    const int month = int(mp < 10 ? mp + 3 : mp - 9);
    const int year = int(yoe + era * 400 + (month <= 2 ? 1 : 0));
    if (isDate) {
        return WallTime{.year = year, .month = month, .day = day, .isDate = true};
    }
    return WallTime{.year = year,
                    .month = month,
                    .day = day,
                    .hour = int(rest / 3600),
                    .minute = int(rest / 60 % 60),
                    .second = int(rest % 60)};
}

// The ICU identifier for a TZID: the TZID itself, without a vendor prefix such as
// "/mozilla.org/20070129_1/", or the zone of a Windows zone name. nullopt when ICU knows none.
std::optional<std::string> icuZoneFor(std::string_view tzid);

// An ICU zone with the offsets of the days it was asked about; made and used by one thread.
struct KnownZone;

// Places written times of one zone on the time line and back. DATE values and floating times
// are read in the calendar's zone; a time skipped by a clock change moves forward by the gap and
// an ambiguous one takes the first of the two.
class ZoneConverter {
  public:
    ZoneConverter(const ZoneRef& zone, const std::vector<std::string>& timeZones,
                  const Calendar& calendar);
    ~ZoneConverter();
    ZoneConverter(const ZoneConverter&) = delete;
    ZoneConverter& operator=(const ZoneConverter&) = delete;

    std::optional<Instant> toInstant(const WallTime& wall) const;
    // The written time (never a DATE) of t in this zone.
    WallTime toWall(Instant t) const;

  private:
    ZoneRef::Kind m_kind = ZoneRef::Kind::floating;
    const Calendar* m_calendar;
    std::shared_ptr<KnownZone> m_icuZone;
    std::shared_ptr<icaltimezone> m_icalZone;
};

// An instant for a time in its own zone (convenience for one-off conversions).
std::optional<Instant> instantOf(const ZonedTime& time, const std::vector<std::string>& timeZones,
                                 const Calendar& calendar);

} // namespace plannery::ics
