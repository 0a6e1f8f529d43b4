#include "agenda/AgendaSections.h"

#include <algorithm>

namespace plannery {

namespace {

bool hasEvents(const AgendaDay& day) {
    return day.events && !day.events->empty();
}

const AgendaEvents& noEvents() {
    static const AgendaEvents empty = std::make_shared<const std::vector<CalEvent>>();
    return empty;
}

} // namespace

namespace AgendaSections {

std::vector<AgendaSection> shown(const std::vector<AgendaDay>& days, Instant start, Instant today,
                                 const Calendar& calendar) {
    const Instant firstDay = calendar.startOfDay(start);
    const Instant todayStart = calendar.startOfDay(today);
    std::vector<AgendaSection> sections;
    std::optional<DateComponents> previous;
    for (const AgendaDay& day : days) {
        if (!hasEvents(day) && day.day != todayStart && day.day != firstDay) {
            continue;
        }
        const DateComponents fields = calendar.components(day.day);
        const bool newMonth =
            !previous || previous->year != fields.year || previous->month != fields.month;
        previous = fields;
        sections.push_back(AgendaSection{
            .day = day.day,
            .events = day.events ? day.events : noEvents(),
            .showMonth = newMonth,
        });
    }
    return sections;
}

std::optional<Instant> scrollTarget(const std::vector<AgendaDay>& days, Instant day, Instant today,
                                    const Calendar& calendar) {
    const Instant wanted = calendar.startOfDay(day);
    const Instant todayStart = calendar.startOfDay(today);
    std::optional<Instant> last;
    for (const AgendaDay& candidate : days) {
        if (!hasEvents(candidate) && candidate.day != todayStart) {
            continue;
        }
        if (candidate.day >= wanted) {
            return candidate.day;
        }
        last = candidate.day;
    }
    return last;
}

std::optional<std::size_t> indexAtOrAfter(const std::vector<AgendaSection>& sections, Instant day) {
    if (sections.empty()) {
        return std::nullopt;
    }
    const auto it = std::lower_bound(
        sections.begin(), sections.end(), day,
        [](const AgendaSection& section, Instant value) { return section.day < value; });
    if (it == sections.end()) {
        return sections.size() - 1;
    }
    return static_cast<std::size_t>(it - sections.begin());
}

} // namespace AgendaSections

} // namespace plannery
