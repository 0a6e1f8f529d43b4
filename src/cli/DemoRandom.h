#pragma once

#include "cli/Options.h"
#include "model/Calendar.h"

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace plannery::cli::demo {

// Draws from std::mt19937_64, whose output the standard fixes; the distributions are written
// here because the library's differ between implementations, and the demo data must be the same
// everywhere for a seed.
class Random {
  public:
    explicit Random(std::uint64_t seed) : m_engine(seed) {}

    // Uniform in [0, n) by multiply-and-shift; n > 0.
    int below(int n) {
        const auto wide = static_cast<unsigned __int128>(m_engine()) * static_cast<unsigned>(n);
        return static_cast<int>(wide >> 64);
    }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> const T& pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
    }
    std::string characters(std::string_view alphabet, int count);

  private:
    std::mt19937_64 m_engine;
};

// The days of the demo's range (and a margin after it for events that run on), looked up once
// through the calendar in UTC, where every day exists.
class DayTable {
  public:
    DayTable(const Date& from, int years);

    // Days in the range; indices up to count() + 450 are valid.
    int count() const { return m_count; }
    const Date& date(int index) const { return m_dates[static_cast<std::size_t>(index)]; }
    Weekday weekday(int index) const { return m_weekdays[static_cast<std::size_t>(index)]; }
    // The first day from `index` on that falls on the weekday.
    int next(int index, Weekday weekday) const;
    // The day `months` months after the day at `index`, clamped to the month's end.
    Date plusMonths(int index, int months) const;

  private:
    Calendar m_calendar;
    std::vector<Instant> m_instants;
    std::vector<Date> m_dates;
    std::vector<Weekday> m_weekdays;
    int m_count = 0;
};

} // namespace plannery::cli::demo
