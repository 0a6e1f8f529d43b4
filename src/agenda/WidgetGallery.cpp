#include "agenda/WidgetGallery.h"

#include "model/DateFormats.h"
#include "model/Fmt.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace plannery::WidgetGallery {

namespace {

constexpr std::array<std::pair<Page, std::string_view>, 5> kPages{{
    {Page::small, "small"},
    {Page::medium, "medium"},
    {Page::large, "large"},
    {Page::lock, "lock"},
    {Page::states, "states"},
}};

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t i = 0;
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (i < text.size()) {
        while (i < text.size() && space(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !space(text[i])) {
            ++i;
        }
        if (i > start) {
            parts.push_back(text.substr(start, i - start));
        }
    }
    return parts;
}

std::optional<int> number(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

struct Sample {
    const char* title;
    int day;    // days after today
    int minute; // minute of the day it starts; -1 for all day
    int length; // minutes
    int calendar;
};

CalendarRef sampleCalendar(int index) {
    static const std::array<CalendarRef, 3> calendars{{
        {.id = "sample-personal", .title = "Personal", .rgb = {0.20, 0.47, 0.96}},
        {.id = "sample-work", .title = "Work", .rgb = {0.96, 0.58, 0.10}},
        {.id = "sample-family", .title = "Family", .rgb = {0.30, 0.75, 0.36}},
    }};
    return calendars[static_cast<std::size_t>(index)];
}

} // namespace

Page page(std::string_view name) {
    for (const auto& [value, label] : kPages) {
        if (label == name) {
            return value;
        }
    }
    return Page::overview;
}

std::string_view pageName(Page page) {
    for (const auto& [value, label] : kPages) {
        if (value == page) {
            return label;
        }
    }
    return "overview";
}

std::optional<Instant> parseNow(std::string_view text, Instant now, const Calendar& calendar) {
    const std::vector<std::string_view> parts = words(text);
    if (parts.empty()) {
        return std::nullopt;
    }
    Instant day = calendar.startOfDay(now);
    std::string_view time = text;
    if (parts.size() == 2) {
        const auto parsed = Fmt::parseDayKey(parts[0], calendar);
        if (!parsed) {
            return std::nullopt;
        }
        day = *parsed;
        time = parts[1];
    } else if (parts.size() == 1) {
        time = parts[0];
    }
    const std::size_t colon = time.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const auto hour = number(time.substr(0, colon));
    const auto minute = number(time.substr(colon + 1));
    if (!hour || !minute || *hour < 0 || *hour > 23 || *minute < 0 || *minute > 59) {
        return std::nullopt;
    }
    const DateComponents date = calendar.components(day);
    return calendar.date(date.year, date.month, date.day, *hour, *minute);
}

std::vector<Instant> tileTimes(Instant now, const Calendar& calendar) {
    const DateComponents date = calendar.components(calendar.startOfDay(now));
    std::vector<Instant> times;
    for (const auto& [hour, minute] :
         std::array<std::pair<int, int>, 5>{{{8, 0}, {9, 35}, {12, 20}, {14, 40}, {21, 30}}}) {
        if (const auto t = calendar.date(date.year, date.month, date.day, hour, minute)) {
            times.push_back(*t);
        }
    }
    return times;
}

std::string caption(Instant t, const Calendar& calendar) {
    return DateFormats::formatSkeleton("Ejmm", t, calendar.localeId(), calendar.zoneId());
}

std::vector<CalEvent> sampleEvents(Instant now, const Calendar& calendar) {
    const int h = std::clamp(calendar.components(now).hour, 8, 20) * 60;
    const std::array<Sample, 9> samples{{
        {"Focus time", 0, h - 30, 90, 1},
        {"Coffee with Ana", 0, h + 60, 30, 0},
        {"Design review", 0, h + 120, 60, 1},
        {"Gym", 0, h + 210, 60, 0},
        {"Mom's birthday", 1, -1, 0, 2},
        {"Standup", 1, 9 * 60 + 30, 15, 1},
        {"Planning", 1, 11 * 60, 60, 1},
        {"Lunch", 1, 12 * 60 + 30, 60, 0},
        {"Dinner", 2, 19 * 60 + 30, 90, 2},
    }};
    const Instant today = calendar.startOfDay(now);
    std::vector<CalEvent> events;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const Sample& sample = samples[i];
        const auto dayStart = calendar.addDays(today, sample.day);
        if (!dayStart) {
            continue;
        }
        CalEvent event{.id = "sample-" + std::to_string(i + 1),
                       .eventIdentifier = "sample-" + std::to_string(i + 1),
                       .title = sample.title,
                       .calendars = {sampleCalendar(sample.calendar)}};
        if (sample.minute < 0) {
            event.isAllDay = true;
            event.start = *dayStart;
            event.end = calendar.addDays(*dayStart, 1).value_or(*dayStart);
        } else {
            const DateComponents date = calendar.components(*dayStart);
            const auto start = calendar.date(date.year, date.month, date.day, sample.minute / 60,
                                             sample.minute % 60);
            if (!start) {
                continue;
            }
            event.start = *start;
            event.end = start->plus(sample.length * 60.0);
        }
        events.push_back(std::move(event));
    }
    return events;
}

} // namespace plannery::WidgetGallery
