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
std::int64_t floorDiv(std::int64_t a, std::int64_t b);

// The libical form of a written time (a DATE when the wall time is one), and back: a DATE has no
// time of day, and a leap second reads as the second before it.
icaltimetype toIcal(const WallTime& wall);
WallTime wallFromIcal(const icaltimetype& time);

// Proleptic Gregorian civil dates, as iCalendar writes them.
std::int64_t daysFromCivil(int year, int month, int day);
int daysInMonth(int year, int month);
bool isValidWall(const WallTime& wall);
// Seconds since 1970-01-01T00:00 of the written fields, as if they were UTC.
std::int64_t wallSeconds(const WallTime& wall);
WallTime wallFromSeconds(std::int64_t seconds, bool isDate);

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
