#include "finder/EventSuggestion.h"

#include "finder/EventPrompt.h"
#include "finder/FinderText.h"
#include "finder/ZoneAbbreviations.h"
#include "model/CalEvent.h"

#include <charconv>
#include <set>
#include <utility>

namespace plannery {

namespace {

constexpr double kWeek = 7 * 86400.0;
constexpr double kHour = 3600.0;
constexpr double kDay = 86400.0;

// A decimal integer, with an optional plus sign; none for anything else or an overflow.
std::optional<int> integer(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// The instant of a wall-clock time on a day that exists in the calendar: a day such as 30
// February is not moved into March but refused.
std::optional<Instant> form(const Calendar& calendar, const DayParts& day, int hour = 0,
                            int minute = 0) {
    const auto instant = calendar.date(day.year, day.month, day.day, hour, minute);
    if (!instant) {
        return std::nullopt;
    }
    const DateComponents c = calendar.components(calendar.startOfDay(*instant));
    if (c.year != day.year || c.month != day.month || c.day != day.day) {
        return std::nullopt;
    }
    return instant;
}

std::optional<std::string> cleanedField(const std::optional<std::string>& field) {
    if (!field) {
        return std::nullopt;
    }
    std::string text = trimWhiteSpace(*field);
    const std::string lowered = FinderText::lower(text);
    if (text.empty() || lowered == "null" || lowered == "none" || lowered == "n/a") {
        return std::nullopt;
    }
    return text;
}

// A model that writes a day without knowing the year tends to put this year even when the day has
// passed; an event more than a week ago in a text that never names that year moves on by a year, or
// two when one is not enough.
void repairYear(DayParts& start, std::optional<DayParts>& end, Instant now,
                const Calendar& calendar, std::string_view sourceText) {
    if (sourceText.find(std::to_string(start.year)) != std::string_view::npos) {
        return;
    }
    const Instant weekAgo = now.plus(-kWeek);
    const auto date = form(calendar, start);
    if (!date || !(*date < weekAgo)) {
        return;
    }
    const auto nextYear = form(calendar, DayParts{start.year + 1, start.month, start.day});
    const int shift = nextYear && *nextYear < weekAgo ? 2 : 1;
    start.year += shift;
    if (end) {
        end->year += shift;
    }
}

} // namespace

std::vector<EventSuggestion> EventSuggestion::suggestions(const std::vector<EventDraft>& drafts,
                                                          Instant now, const Calendar& calendar,
                                                          std::string_view sourceText) {
    std::vector<EventSuggestion> result;
    std::set<std::pair<std::string, double>> seen;
    for (const EventDraft& draft : drafts) {
        auto suggestion = make(draft, now, calendar, sourceText);
        if (suggestion &&
            seen.emplace(FinderText::lower(suggestion->title), suggestion->start.seconds).second) {
            result.push_back(std::move(*suggestion));
        }
    }
    return result;
}

std::optional<EventSuggestion> EventSuggestion::make(const EventDraft& draft, Instant now,
                                                     const Calendar& calendar,
                                                     std::string_view sourceText) {
    EventSuggestion suggestion{.title = tidyTitle(draft.title)};
    if (suggestion.title.empty()) {
        return std::nullopt;
    }
    auto startDay = day(draft.startDate);
    if (!startDay) {
        return std::nullopt;
    }
    auto endDay = draft.endDate ? day(*draft.endDate) : std::nullopt;
    const auto startTime = draft.startTime ? time(*draft.startTime) : std::nullopt;
    const auto zoneId = startTime && draft.timeZone ? zone(*draft.timeZone) : std::nullopt;

    std::optional<Calendar> zoned;
    if (zoneId && *zoneId != calendar.zoneId()) {
        zoned = Calendar::make(*zoneId, calendar.localeId(), calendar.firstWeekday());
    }
    const Calendar& working = zoned ? *zoned : calendar;
    repairYear(*startDay, endDay, now, working, sourceText);

    if (!startTime) {
        const auto start = form(working, *startDay);
        if (!start) {
            return std::nullopt;
        }
        const auto endStart = endDay ? form(working, *endDay) : std::nullopt;
        const Instant last = endStart && !(*endStart < *start) ? *endStart : *start;
        suggestion.start = *start;
        suggestion.end = working.addDays(last, 1).value_or(last.plus(kDay));
        suggestion.isAllDay = true;
    } else {
        const auto start = form(working, *startDay, startTime->hour, startTime->minute);
        if (!start) {
            return std::nullopt;
        }
        suggestion.start = *start;
        suggestion.end = start->plus(kHour);
        const auto endTime = draft.endTime ? time(*draft.endTime) : std::nullopt;
        if (endTime) {
            auto end = form(working, endDay.value_or(*startDay), endTime->hour, endTime->minute);
            if (end && !(*start < *end) && !endDay) {
                // 22:00 to 01:00 crosses midnight.
                end = working.addDaysKeepingTime(*end, 1);
            }
            if (end && *start < *end) {
                suggestion.end = *end;
            }
        }
        if (zoned && zoned->utcOffsetSeconds(*start) != calendar.utcOffsetSeconds(*start)) {
            suggestion.timeZone = zoneId;
        }
    }
    suggestion.location = cleanedField(draft.location);
    suggestion.notes = cleanedField(draft.notes);
    suggestion.id = freshUUID();
    return suggestion;
}

std::string EventSuggestion::tidyTitle(std::string_view title) {
    std::string trimmed = trimWhiteSpace(title);
    if (FinderText::letterCount(trimmed) >= 4 && FinderText::isAllCaps(trimmed)) {
        return FinderText::capitalizeWords(trimmed);
    }
    return trimmed;
}

std::optional<DayParts> EventSuggestion::day(std::string_view text) {
    const std::string_view head = EventPrompt::leadingCharacters(FinderText::trimSpaces(text), 10);
    int numbers[3] = {};
    int count = 0;
    std::size_t begin = 0;
    while (begin <= head.size()) {
        auto end = head.find('-', begin);
        if (end == std::string_view::npos) {
            end = head.size();
        }
        if (const auto number = integer(head.substr(begin, end - begin))) {
            if (count == 3) {
                return std::nullopt;
            }
            numbers[count++] = *number;
        }
        begin = end + 1;
    }
    if (count != 3 || numbers[1] < 1 || numbers[1] > 12 || numbers[2] < 1 || numbers[2] > 31) {
        return std::nullopt;
    }
    return DayParts{numbers[0], numbers[1], numbers[2]};
}

std::optional<ClockTime> EventSuggestion::time(std::string_view text) {
    const std::string lowered = FinderText::lower(FinderText::trimSpaces(text));
    std::string_view rest = lowered;
    auto digits = [&rest](std::size_t most) {
        std::size_t n = 0;
        while (n < rest.size() && n < most && rest[n] >= '0' && rest[n] <= '9') {
            ++n;
        }
        return n;
    };
    auto twoDigitsAfterColon = [&rest]() {
        return rest.size() >= 3 && rest[0] == ':' && rest[1] >= '0' && rest[1] <= '9' &&
               rest[2] >= '0' && rest[2] <= '9';
    };
    // (\d{1,2})(?::(\d{2}))?(?::\d{2})?\s*(a|p)?\.?(?:m\.?)? over the whole text.
    const std::size_t hourDigits = digits(2);
    if (hourDigits == 0) {
        return std::nullopt;
    }
    int hour = std::stoi(std::string(rest.substr(0, hourDigits)));
    int minute = 0;
    rest.remove_prefix(hourDigits);
    if (twoDigitsAfterColon()) {
        minute = (rest[1] - '0') * 10 + (rest[2] - '0');
        rest.remove_prefix(3);
    }
    if (twoDigitsAfterColon()) {
        rest.remove_prefix(3);
    }
    while (!rest.empty() &&
           std::string_view(" \t\n\r\v\f").find(rest.front()) != std::string_view::npos) {
        rest.remove_prefix(1);
    }
    char half = 0;
    if (!rest.empty() && (rest.front() == 'a' || rest.front() == 'p')) {
        half = rest.front();
        rest.remove_prefix(1);
    }
    if (!rest.empty() && rest.front() == '.') {
        rest.remove_prefix(1);
    }
    if (!rest.empty() && rest.front() == 'm') {
        rest.remove_prefix(1);
        if (!rest.empty() && rest.front() == '.') {
            rest.remove_prefix(1);
        }
    }
    if (!rest.empty()) {
        return std::nullopt;
    }
    if (half != 0) {
        if (hour < 1 || hour > 12) {
            return std::nullopt;
        }
        hour = (hour == 12 ? 0 : hour) + (half == 'p' ? 12 : 0);
    }
    if (hour > 24 || minute > 59) {
        return std::nullopt;
    }
    return hour == 24 ? ClockTime{23, 59} : ClockTime{hour, minute};
}

std::optional<std::string> EventSuggestion::zone(std::string_view text) {
    const std::string trimmed(FinderText::trimSpaces(text));
    if (trimmed.empty()) {
        return std::nullopt;
    }
    if (trimmed.find('/') != std::string::npos && Calendar::isKnownZone(trimmed)) {
        return trimmed;
    }
    const std::string upper = FinderText::upper(trimmed);
    if (auto region = ZoneAbbreviations::region(upper)) {
        return region;
    }
    if (Calendar::isKnownZone(trimmed)) {
        return trimmed;
    }
    return ZoneAbbreviations::standard(upper);
}

} // namespace plannery
