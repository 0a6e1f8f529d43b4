#include "agenda/WidgetTime.h"

#include "model/DateFormats.h"

#include <cstdio>
#include <map>
#include <mutex>

namespace plannery::WidgetTime {

namespace {

// The pattern letters outside quoted literals ("HH 'Uhr'" names no day period).
bool hasDayPeriod(const std::string& pattern) {
    bool quoted = false;
    for (const char c : pattern) {
        if (c == '\'') {
            quoted = !quoted;
        } else if (!quoted && c == 'a') {
            return true;
        }
    }
    return false;
}

std::string asciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

} // namespace

bool usesTwelveHours(const std::string& localeId) {
    static std::mutex mutex;
    static std::map<std::string, bool, std::less<>> decided;
    const std::lock_guard lock(mutex);
    if (const auto found = decided.find(localeId); found != decided.end()) {
        return found->second;
    }
    const bool twelve = hasDayPeriod(DateFormats::bestPattern("j", localeId));
    decided.emplace(localeId, twelve);
    return twelve;
}

std::string clockText(int hour, int minute) {
    const int dial = hour % 12 == 0 ? 12 : hour % 12;
    char text[16];
    if (minute == 0) {
        std::snprintf(text, sizeof text, "%d", dial);
    } else {
        std::snprintf(text, sizeof text, "%d:%02d", dial, minute);
    }
    return text;
}

std::string daySuffix(int hour, const std::string& localeId) {
    const DateFormats::DayPeriodSymbols symbols = DateFormats::amPmSymbols(localeId);
    const std::string& symbol = hour < 12 ? symbols.am : symbols.pm;
    const std::string lower = asciiLower(symbol);
    if (lower == "am" || lower == "a.m.") {
        return "a";
    }
    if (lower == "pm" || lower == "p.m.") {
        return "p";
    }
    return " " + symbol;
}

std::string shortTime(Instant t, const Calendar& calendar) {
    const DateComponents parts = calendar.components(t);
    if (usesTwelveHours(calendar.localeId())) {
        return clockText(parts.hour, parts.minute) + daySuffix(parts.hour, calendar.localeId());
    }
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", parts.hour, parts.minute);
    return text;
}

std::string range(Instant start, Instant end, const Calendar& calendar) {
    constexpr const char* enDash = "\u2013";
    if (!usesTwelveHours(calendar.localeId())) {
        return shortTime(start, calendar) + enDash + shortTime(end, calendar);
    }
    const DateComponents from = calendar.components(start);
    const DateComponents to = calendar.components(end);
    const std::string fromSuffix = daySuffix(from.hour, calendar.localeId());
    const std::string toSuffix = daySuffix(to.hour, calendar.localeId());
    std::string text = clockText(from.hour, from.minute);
    if (fromSuffix != toSuffix) {
        text += fromSuffix;
    }
    return text + enDash + clockText(to.hour, to.minute) + toSuffix;
}

} // namespace plannery::WidgetTime
