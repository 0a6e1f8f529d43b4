#include "agenda/WidgetAgenda.h"

#include "grid/TimeGridHeaderText.h"
#include "grid/TimeGridText.h"
#include "model/DateFormats.h"

#include <algorithm>
#include <limits>
#include <map>

namespace plannery {

namespace {

constexpr Instant kNever{std::numeric_limits<double>::infinity()};

// Steps 3 and 4 of both orders: longer events first, then titles, then identifiers.
bool byEndTitleAndId(const CalEvent& a, const CalEvent& b, const Calendar& calendar) {
    if (a.end != b.end) {
        return a.end > b.end;
    }
    if (const int titles = calendar.compareLocalized(a.title, b.title); titles != 0) {
        return titles < 0;
    }
    return a.id < b.id;
}

void sortDay(WidgetAgenda::Day& day, const Calendar& calendar) {
    std::sort(day.allDay.begin(), day.allDay.end(), [&](const CalEvent& a, const CalEvent& b) {
        return WidgetAgenda::allDayOrder(a, b, calendar);
    });
    std::sort(day.timed.begin(), day.timed.end(), [&](const CalEvent& a, const CalEvent& b) {
        return WidgetAgenda::timedOrder(a, b, calendar);
    });
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            text.append(separator);
        }
        text.append(parts[i]);
    }
    return text;
}

} // namespace

bool WidgetAgenda::allDayOrder(const CalEvent& a, const CalEvent& b, const Calendar& calendar) {
    if (a.isAllDay != b.isAllDay) {
        return a.isAllDay;
    }
    if (a.start != b.start) {
        return a.start < b.start;
    }
    return byEndTitleAndId(a, b, calendar);
}

bool WidgetAgenda::timedOrder(const CalEvent& a, const CalEvent& b, const Calendar& calendar) {
    if (a.start != b.start) {
        return a.start < b.start;
    }
    if (a.isAllDay != b.isAllDay) {
        return a.isAllDay;
    }
    return byEndTitleAndId(a, b, calendar);
}

WidgetAgenda::WidgetAgenda(std::vector<CalEvent> events, Instant now, Calendar calendar,
                           WidgetWords words)
    : m_now(now), m_calendar(std::move(calendar)), m_words(std::move(words)) {
    const Instant today = m_calendar.startOfDay(now);
    m_tomorrow = m_calendar.addDays(today, 1).value_or(kNever);
    const Instant horizon = m_calendar.addDays(today, horizonDays).value_or(kNever);
    m_today.day = today;
    std::map<Instant, Day> later;
    const auto upcomingRule = [&](CalEvent& event) {
        if (event.start < horizon) {
            const Instant day = m_calendar.startOfDay(event.start);
            Day& entry = later[day];
            entry.day = day;
            entry.timed.push_back(std::move(event));
        }
    };
    bool todayHadTimed = false;
    for (CalEvent& event : events) {
        if (event.isAllDay) {
            const Instant first = m_calendar.startOfDay(event.start);
            const Instant last = m_calendar.startOfDay(event.lastInstant());
            if (first <= today && today <= last) {
                m_today.allDay.push_back(std::move(event));
            } else if (today < first && first < horizon) {
                Day& entry = later[first];
                entry.day = first;
                entry.allDay.push_back(std::move(event));
            }
            continue;
        }
        const bool startsBeforeTomorrow = event.start < m_tomorrow;
        // Any timed event that touched today counts, even one that is already over.
        if (startsBeforeTomorrow && event.end > today) {
            todayHadTimed = true;
        }
        if (event.end > now) {
            if (startsBeforeTomorrow) {
                m_today.timed.push_back(std::move(event));
            } else {
                upcomingRule(event);
            }
        } else if (!startsBeforeTomorrow) {
            upcomingRule(event);
        } else if (event.start == event.end && !(event.start < now)) {
            // A reminder without length stays listed while its moment has not passed.
            m_today.timed.push_back(std::move(event));
        }
    }
    sortDay(m_today, m_calendar);
    m_upcoming.reserve(later.size());
    for (auto& [day, entry] : later) {
        sortDay(entry, m_calendar);
        m_upcoming.push_back(std::move(entry));
    }
    m_todayIsDone = todayHadTimed && m_today.timed.empty();
}

bool WidgetAgenda::isTomorrow(Instant dayStart) const {
    return dayStart == m_tomorrow;
}

std::string WidgetAgenda::label(Instant day) const {
    const Instant start = m_calendar.startOfDay(day);
    if (isTomorrow(start)) {
        return m_words.tomorrow;
    }
    if (start == m_today.day) {
        return m_words.today;
    }
    const DateComponents parts = m_calendar.components(start);
    const DateComponents current = m_calendar.components(m_now);
    const std::string& locale = m_calendar.localeId();
    const std::string& zone = m_calendar.zoneId();
    if (parts.year == current.year && parts.month == current.month) {
        return DateFormats::format("EEE", start, locale, zone) + " " +
               TimeGridHeaderText::numberText(start, m_calendar);
    }
    return DateFormats::formatSkeleton("MMMEd", start, locale, zone);
}

std::string WidgetAgenda::emptyTodayNote() const {
    return m_todayIsDone ? m_words.noMoreEventsToday : m_words.noEventsToday;
}

WidgetAgenda::Section WidgetAgenda::sectionOf(const Day& day, std::optional<std::string> header,
                                              std::string continuation) const {
    Section section{.day = day.day,
                    .header = std::move(header),
                    .continuation = std::move(continuation),
                    .events = {},
                    .emptyNote = std::nullopt};
    section.events.reserve(day.allDay.size() + day.timed.size());
    section.events.insert(section.events.end(), day.allDay.begin(), day.allDay.end());
    section.events.insert(section.events.end(), day.timed.begin(), day.timed.end());
    return section;
}

WidgetAgenda::Section WidgetAgenda::todaySection() const {
    Section today = sectionOf(m_today, std::nullopt, label(m_today.day));
    today.emptyNote = emptyTodayNote();
    return today;
}

std::vector<WidgetAgenda::Section> WidgetAgenda::sections() const {
    std::vector<Section> all;
    all.reserve(m_upcoming.size() + 1);
    all.push_back(todaySection());
    for (Section& section : upcomingSections()) {
        all.push_back(std::move(section));
    }
    return all;
}

std::vector<WidgetAgenda::Section> WidgetAgenda::sections(std::size_t events) const {
    std::vector<Section> all{todaySection()};
    std::size_t listed = all.front().events.size();
    for (const Day& day : m_upcoming) {
        std::string name = label(day.day);
        all.push_back(sectionOf(day, name, name));
        if (listed >= events) {
            break;
        }
        listed += all.back().events.size();
    }
    return all;
}

std::vector<WidgetAgenda::Section> WidgetAgenda::upcomingSections() const {
    std::vector<Section> all;
    all.reserve(m_upcoming.size());
    for (const Day& day : m_upcoming) {
        std::string name = label(day.day);
        all.push_back(sectionOf(day, name, name));
    }
    return all;
}

std::vector<WidgetAgenda::Section>
WidgetAgenda::withClosingNote(std::vector<Section> upcoming) const {
    if (!upcoming.empty()) {
        return upcoming;
    }
    return {Section{.day = m_tomorrow,
                    .header = std::nullopt,
                    .continuation = {},
                    .events = {},
                    .emptyNote = m_words.nothingAhead}};
}

std::vector<CalEvent> WidgetAgenda::nextTimedEvents() const {
    std::vector<CalEvent> events = m_today.timed;
    for (const Day& day : m_upcoming) {
        events.insert(events.end(), day.timed.begin(), day.timed.end());
    }
    return events;
}

std::string WidgetAgenda::describe(const CalEvent& event) const {
    if (event.isAllDay) {
        return WidgetWords::fill(m_words.allDayEvent, event.title);
    }
    if (event.start <= m_now && m_now < event.end) {
        return WidgetWords::fill(m_words.runningEvent, event.title,
                                 TimeGridText::shortTime(event.end, m_calendar));
    }
    return WidgetWords::fill(m_words.eventAt, event.title,
                             TimeGridText::shortTime(event.start, m_calendar));
}

std::string WidgetAgenda::accessibilitySummary(int limit) const {
    std::vector<std::string> parts{DateFormats::formatSkeleton(
        "MMMMEEEEd", m_now, m_calendar.localeId(), m_calendar.zoneId())};
    if (m_today.allDay.empty() && m_today.timed.empty()) {
        parts.push_back(emptyTodayNote());
    }
    int described = 0;
    for (const Section& section : sections(static_cast<std::size_t>(std::max(limit, 0)))) {
        if (section.events.empty() || described >= limit) {
            continue;
        }
        const std::size_t count =
            std::min(static_cast<std::size_t>(limit - described), section.events.size());
        described += static_cast<int>(count);
        std::vector<std::string> descriptions;
        descriptions.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            descriptions.push_back(describe(section.events[i]));
        }
        std::string text = joined(descriptions, "; ");
        parts.push_back(section.header ? *section.header + ": " + text : text);
    }
    return joined(parts, ". ");
}

} // namespace plannery
