#include "finder/ReaderDays.h"

#include <cstdio>

namespace plannery::reader {

namespace {

constexpr int kNoon = 12;

} // namespace

ReaderDays::ReaderDays(const Calendar& calendar, Instant now) : m_calendar(calendar) {
    const DateComponents c = calendar.components(now);
    m_today = DayParts{c.year, c.month, c.day};
    m_minutesNow = c.hour * 60 + c.minute;
}

bool ReaderDays::exists(const DayParts& day) const {
    if (day.month < 1 || day.month > 12 || day.day < 1 || day.day > 31 || day.year < 1 ||
        day.year > 9999) {
        return false;
    }
    const auto noon = m_calendar.date(day.year, day.month, day.day, kNoon);
    if (!noon) {
        return false;
    }
    const DateComponents c = m_calendar.components(*noon);
    return c.year == day.year && c.month == day.month && c.day == day.day;
}

std::optional<Weekday> ReaderDays::weekday(const DayParts& day) const {
    if (!exists(day)) {
        return std::nullopt;
    }
    return m_calendar.weekday(*m_calendar.date(day.year, day.month, day.day, kNoon));
}

DayParts ReaderDays::plusDays(const DayParts& day, int days) const {
    const auto noon = m_calendar.date(day.year, day.month, day.day, kNoon);
    if (!noon) {
        return day;
    }
    const auto moved = m_calendar.addDays(*noon, days);
    if (!moved) {
        return day;
    }
    const DateComponents c = m_calendar.components(moved->plus(kNoon * 3600.0));
    return DayParts{c.year, c.month, c.day};
}

DayParts ReaderDays::next(Weekday wanted, const DayParts& from, bool strictly) const {
    const auto current = weekday(from);
    if (!current) {
        return from;
    }
    int ahead = (static_cast<int>(wanted) - static_cast<int>(*current) + 7) % 7;
    if (ahead == 0 && strictly) {
        ahead = 7;
    }
    return plusDays(from, ahead);
}

int ReaderDays::compare(const DayParts& a, const DayParts& b) {
    if (a.year != b.year) {
        return a.year < b.year ? -1 : 1;
    }
    if (a.month != b.month) {
        return a.month < b.month ? -1 : 1;
    }
    return a.day == b.day ? 0 : (a.day < b.day ? -1 : 1);
}

std::string ReaderDays::key(const DayParts& day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}

} // namespace plannery::reader
