#include "cli/DemoRandom.h"

namespace plannery::cli::demo {

namespace {

constexpr int kMarginDays = 450;

} // namespace

std::string Random::characters(std::string_view alphabet, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += alphabet[static_cast<std::size_t>(below(static_cast<int>(alphabet.size())))];
    }
    return out;
}

DayTable::DayTable(const Date& from, int years) : m_calendar(*Calendar::make("UTC", "en_US")) {
    const auto first = m_calendar.date(from.year, from.month, from.day);
    const auto end = m_calendar.date(from.year + years, from.month, from.day);
    if (first && end) {
        for (Instant day = *first; day < *end;) {
            m_instants.push_back(day);
            const auto next = m_calendar.addDays(day, 1);
            if (!next) {
                break;
            }
            day = *next;
        }
    }
    m_count = static_cast<int>(m_instants.size());
    Instant day = m_instants.empty() ? first.value_or(Instant{}) : m_instants.back();
    for (int i = 0; i < kMarginDays; ++i) {
        day = m_calendar.addDays(day, 1).value_or(day);
        m_instants.push_back(day);
    }
    for (Instant instant : m_instants) {
        const auto parts = m_calendar.components(instant);
        m_dates.push_back(Date{parts.year, parts.month, parts.day});
        m_weekdays.push_back(parts.weekday);
    }
}

int DayTable::next(int index, Weekday weekday) const {
    for (int i = index; i < index + 7; ++i) {
        if (this->weekday(i) == weekday) {
            return i;
        }
    }
    return index;
}

Date DayTable::plusMonths(int index, int months) const {
    const Instant day = m_instants[static_cast<std::size_t>(index)];
    const auto parts = m_calendar.components(m_calendar.addMonths(day, months).value_or(day));
    return Date{parts.year, parts.month, parts.day};
}

} // namespace plannery::cli::demo
