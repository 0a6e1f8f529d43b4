#include "grid/TimeGridText.h"

#include "model/DateFormats.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <unordered_map>

namespace plannery::TimeGridText {

namespace {

constexpr const char* kTwentyFourHour = "HH:mm";
constexpr const char* kEnDash = " \u2013 ";

bool isDayPeriodLetter(char16_t c) {
    return c == u'a' || c == u'B' || c == u'b';
}

// Walks a date pattern, calling `visit(unit, quoted)` for each code unit; quoted text ('at',
// and '' for a quote) is literal and never a field.
template <typename Visit> void walkPattern(const icu::UnicodeString& pattern, Visit visit) {
    bool quoted = false;
    for (int32_t i = 0; i < pattern.length(); ++i) {
        const char16_t c = pattern.charAt(i);
        if (c == u'\'') {
            quoted = !quoted;
        }
        visit(c, quoted || c == u'\'');
    }
}

bool hasDayPeriod(const std::string& pattern) {
    bool found = false;
    walkPattern(icu::UnicodeString::fromUTF8(pattern), [&](char16_t c, bool literal) {
        found = found || (!literal && isDayPeriodLetter(c));
    });
    return found;
}

// Blanks are spaces of any width and tabs (the narrow no-break space before "AM" included).
icu::UnicodeString trimmedBlanks(const icu::UnicodeString& text) {
    int32_t start = 0;
    int32_t end = text.length();
    while (start < end && u_isblank(text.char32At(start))) {
        start = text.moveIndex32(start, 1);
    }
    while (end > start && u_isblank(text.char32At(text.moveIndex32(end, -1)))) {
        end = text.moveIndex32(end, -1);
    }
    return icu::UnicodeString(text, start, end - start);
}

// A symbol lower-cased and reduced to its letters: "A.M." → "am".
std::string lettersOf(const std::string& symbol) {
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(symbol);
    text.toLower(icu::Locale::getRoot());
    icu::UnicodeString letters;
    for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
        const UChar32 c = text.char32At(i);
        if (u_isalpha(c)) {
            letters.append(c);
        }
    }
    std::string out;
    letters.toUTF8String(out);
    return out;
}

std::vector<std::string> makeHourTexts(const std::string& localeId) {
    // The hours of one day in UTC, where every hour exists; the 25th is the next midnight.
    const auto hour = [](int h) { return Instant{h * 3600.0}; };
    std::vector<std::string> texts;
    texts.reserve(25);
    const std::string pattern = DateFormats::bestPattern("j", localeId);
    if (!hasDayPeriod(pattern)) {
        for (int h = 0; h <= 24; ++h) {
            texts.push_back(DateFormats::format(kTwentyFourHour, hour(h), localeId, "UTC"));
        }
        return texts;
    }
    const DateFormats::DayPeriodSymbols symbols = DateFormats::amPmSymbols(localeId);
    if (lettersOf(symbols.am) == "am" && lettersOf(symbols.pm) == "pm") {
        for (int h = 0; h <= 24; ++h) {
            const int clock = h % 24;
            const int twelve = clock % 12 == 0 ? 12 : clock % 12;
            texts.push_back(std::to_string(twelve) + (clock < 12 ? "a" : "p"));
        }
        return texts;
    }
    for (int h = 0; h <= 24; ++h) {
        texts.push_back(DateFormats::format(pattern, hour(h), localeId, "UTC"));
    }
    return texts;
}

} // namespace

std::string compactPattern(const std::string& localeId) {
    std::string located = DateFormats::bestPattern("jmm", localeId);
    if (located.empty()) {
        located = kTwentyFourHour;
    }
    icu::UnicodeString kept;
    walkPattern(icu::UnicodeString::fromUTF8(located), [&](char16_t c, bool literal) {
        if (literal || !isDayPeriodLetter(c)) {
            kept.append(c);
        }
    });
    std::string out;
    trimmedBlanks(kept).toUTF8String(out);
    return out.empty() ? std::string(kTwentyFourHour) : out;
}

std::string compactTime(Instant t, const Calendar& calendar) {
    thread_local std::unordered_map<std::string, std::string> patterns;
    auto found = patterns.find(calendar.localeId());
    if (found == patterns.end()) {
        found = patterns.emplace(calendar.localeId(), compactPattern(calendar.localeId())).first;
    }
    return DateFormats::format(found->second, t, calendar.localeId(), calendar.zoneId());
}

std::string shortTime(Instant t, const Calendar& calendar) {
    return DateFormats::shortTime(t, calendar.localeId(), calendar.zoneId());
}

std::string timeRange(const CalEvent& event, const Calendar& calendar) {
    // The last second an event covers decides its day, so one ending at midnight stays on the
    // day it started.
    const Instant lastCovered = event.end > event.start ? event.end.plus(-1) : event.end;
    const Instant startDay = calendar.startOfDay(event.start);
    if (startDay != calendar.startOfDay(lastCovered)) {
        return shortTime(event.start, calendar) + kEnDash + shortTime(event.end, calendar);
    }
    Instant to = event.end;
    if (calendar.startOfDay(event.end) != startDay) {
        // It ends at the next midnight. ICU's interval text would name both dates; the same
        // clock time on the start's day reads as the one-day range it is ("9:00 PM – 12:00 AM").
        const DateComponents day = calendar.components(event.start);
        const DateComponents end = calendar.components(event.end);
        to = calendar.date(day.year, day.month, day.day, end.hour, end.minute, end.second)
                 .value_or(event.end);
    }
    return DateFormats::timeInterval(event.start, to, calendar.localeId(), calendar.zoneId());
}

std::vector<std::string> hourTexts(const std::string& localeId) {
    thread_local std::unordered_map<std::string, std::vector<std::string>> cache;
    auto found = cache.find(localeId);
    if (found == cache.end()) {
        found = cache.emplace(localeId, makeHourTexts(localeId)).first;
    }
    return found->second;
}

std::string eventAccessibilityLabel(const CalEvent& event, const Calendar& calendar) {
    std::string label = event.title.str() + ", " + timeRange(event, calendar);
    if (event.location && !event.location->empty()) {
        label += ", " + event.location->str();
    }
    if (event.isCanceled) {
        label += ", canceled";
    }
    if (event.isTentative) {
        label += ", tentative";
    }
    if (event.isDeclined) {
        label += ", declined";
    }
    return label;
}

std::string chipAccessibilityLabel(const CalEvent& event) {
    return event.title.str() + ", all day";
}

std::string overflowAccessibilityLabel(int count) {
    return std::to_string(count) + " more all-day events";
}

std::string overflowText(int count) {
    return "+" + std::to_string(count);
}

} // namespace plannery::TimeGridText
