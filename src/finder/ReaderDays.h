#pragma once

#include "finder/EventSuggestion.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <optional>
#include <string>

namespace plannery::reader {

// Day arithmetic on written days (year, month, day) in the user's calendar, around today.
class ReaderDays {
  public:
    // Keeps the calendar by reference: it must outlive the days.
    ReaderDays(const Calendar& calendar, Instant now);
    ReaderDays(Calendar&&, Instant) = delete;

    const DayParts& today() const { return m_today; }
    // The time of day now, in minutes after midnight.
    int minutesNow() const { return m_minutesNow; }
    const std::string& localeId() const { return m_calendar.localeId(); }
    const std::string& zoneId() const { return m_calendar.zoneId(); }
    // Whether the day exists (30 February does not).
    bool exists(const DayParts& day) const;
    // The weekday of an existing day.
    std::optional<Weekday> weekday(const DayParts& day) const;
    DayParts plusDays(const DayParts& day, int days) const;
    // The first day on or after `from` (after it, when `strictly`) that falls on the weekday.
    DayParts next(Weekday weekday, const DayParts& from, bool strictly) const;

    static int compare(const DayParts& a, const DayParts& b);
    // "2026-03-14"
    static std::string key(const DayParts& day);

  private:
    const Calendar& m_calendar;
    DayParts m_today;
    int m_minutesNow = 0;
};

} // namespace plannery::reader
