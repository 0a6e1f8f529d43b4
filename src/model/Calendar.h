#pragma once

#include "model/Instant.h"
#include "model/ZoneOffsets.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Calendar;
class Collator;
U_NAMESPACE_END

namespace plannery {

// Weekday numbers as the event store counts them: 1 = Sunday ... 7 = Saturday.
enum class Weekday { sunday = 1, monday, tuesday, wednesday, thursday, friday, saturday };

// Wall-clock fields of an instant in a calendar's zone.
struct DateComponents {
    int year = 1970;
    int month = 1; // 1...12
    int day = 1;   // 1...31
    int hour = 0;
    int minute = 0;
    int second = 0;
    Weekday weekday = Weekday::thursday;

    friend bool operator==(const DateComponents&, const DateComponents&) = default;
};

struct DateInterval {
    Instant start;
    Instant end; // exclusive

    friend bool operator==(const DateInterval&, const DateInterval&) = default;
};

// The user's calendar: Gregorian dates in one time zone and locale, with the locale's (or a
// chosen) first weekday. It is the one place that does date arithmetic and the locale-aware
// ordering of titles. A value is used by one thread at a time; copying it gives the copy its own
// ICU objects, so a background task takes a copy.
class Calendar {
  public:
    // nullopt when the zone is not a known time zone identifier.
    static std::optional<Calendar> make(std::string_view zoneId,
                                        std::string_view localeId = "en_US",
                                        std::optional<Weekday> firstWeekday = std::nullopt);
    // The machine's zone and locale (TZ and LANG); only the executables call this.
    static Calendar current();
    // The machine's calendar in another zone for this run (the machine's own when the zone is
    // absent or unknown).
    static Calendar currentIn(const std::optional<std::string>& zoneId);
    static bool isKnownZone(std::string_view zoneId);

    Calendar(const Calendar& other);
    Calendar& operator=(const Calendar& other);
    Calendar(Calendar&&) noexcept;
    Calendar& operator=(Calendar&&) noexcept;
    ~Calendar();

    const std::string& zoneId() const { return m_zoneId; }
    const std::string& localeId() const { return m_localeId; }
    Weekday firstWeekday() const;

    // Midnight (or the first existing instant) of the day that contains t.
    Instant startOfDay(Instant t) const;
    // The start of the day n days after the day of t (n may be negative). Goes through the
    // middle of the day, so days of 23 or 25 hours and zones that skip midnight step correctly.
    std::optional<Instant> addDays(Instant t, int n) const;
    // t moved by n months keeping the wall-clock time (clamped to the month's last day).
    std::optional<Instant> addMonths(Instant t, int n) const;
    // t moved by n days keeping the wall-clock time where it exists.
    std::optional<Instant> addDaysKeepingTime(Instant t, int n) const;

    std::optional<DateInterval> dayInterval(Instant t) const;
    std::optional<DateInterval> monthInterval(Instant t) const;
    std::optional<DateInterval> weekInterval(Instant t) const;

    DateComponents components(Instant t) const;
    // The instant of a wall-clock time; a time that does not exist (skipped by a clock change)
    // moves forward by the gap, an ambiguous one takes the first of the two.
    std::optional<Instant> date(int year, int month, int day, int hour = 0, int minute = 0,
                                int second = 0) const;
    // The same for a wall-clock time given as seconds since 1970-01-01T00:00 of its written
    // fields (proleptic Gregorian). Cheaper than date(): an offset lookup, no field arithmetic.
    Instant instantOfWallSeconds(double wallSeconds) const;
    Weekday weekday(Instant t) const;
    bool isWeekend(Instant t) const;
    // Offset from UTC in seconds at t (zone plus daylight saving).
    int utcOffsetSeconds(Instant t) const;

    // The localized standard comparison of texts: case-insensitive, digit runs compared by
    // value, following the locale. Negative, zero or positive.
    int compareLocalized(std::string_view a, std::string_view b) const;

  private:
    Calendar(std::string zoneId, std::string localeId, std::unique_ptr<icu::Calendar> calendar,
             std::unique_ptr<icu::Collator> collator);

    std::string m_zoneId;
    std::string m_localeId;
    std::unique_ptr<icu::Calendar> m_calendar;
    std::unique_ptr<icu::Collator> m_collator;
    mutable ZoneOffsets m_offsets; // of m_calendar's zone
    // The days looked up last, replaced in turn: callers walk through events in time order and
    // ask for both the first and the last day of each, so one remembered day would keep missing.
    static constexpr std::size_t kRecentDays = 4;
    mutable std::array<DateInterval, kRecentDays> m_recentDays{};
    mutable std::size_t m_nextRecentDay = 0;
};

} // namespace plannery
