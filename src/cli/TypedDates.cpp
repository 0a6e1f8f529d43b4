#include "cli/TypedDates.h"

#include "model/Calendar.h"

#include <cstdio>

namespace plannery::cli {

namespace {

// A run of decimal digits; nullopt for anything else (signs, spaces, an empty text).
std::optional<int> digits(std::string_view text) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// "Z", "+HH", "+HH:MM" or "+HHMM" (or with "-") in seconds east of UTC; nullopt otherwise.
std::optional<int> parseOffset(std::string_view text) {
    if (text == "Z" || text == "z") {
        return 0;
    }
    if (text.size() < 3 || (text[0] != '+' && text[0] != '-')) {
        return std::nullopt;
    }
    const int sign = text[0] == '-' ? -1 : 1;
    std::string_view rest = text.substr(1);
    std::string_view minutes = "00";
    if (rest.size() == 5 && rest[2] == ':') {
        minutes = rest.substr(3);
    } else if (rest.size() == 4) {
        minutes = rest.substr(2);
    } else if (rest.size() != 2) {
        return std::nullopt;
    }
    const auto h = digits(rest.substr(0, 2));
    const auto m = digits(minutes);
    if (!h || !m || *h > 18 || *m > 59) {
        return std::nullopt;
    }
    return sign * (*h * 3600 + *m * 60);
}

} // namespace

std::optional<DateTime> parseDateTime(std::string_view text) {
    const auto date = parseDate(text.substr(0, 10));
    if (!date) {
        return std::nullopt;
    }
    if (text.size() == 10) {
        return DateTime{
            .date = *date, .minuteOfDay = std::nullopt, .second = 0, .utcOffsetSeconds = {}};
    }
    if (text.size() < 16 || (text[10] != 'T' && text[10] != ' ') || text[13] != ':') {
        return std::nullopt;
    }
    const auto hour = digits(text.substr(11, 2));
    const auto minute = digits(text.substr(14, 2));
    if (!hour || !minute || *hour > 23 || *minute > 59) {
        return std::nullopt;
    }
    DateTime result{.date = *date,
                    .minuteOfDay = *hour * 60 + *minute,
                    .second = 0,
                    .utcOffsetSeconds = std::nullopt};
    std::string_view rest = text.substr(16);
    if (rest.size() >= 3 && rest[0] == ':') {
        const auto second = digits(rest.substr(1, 2));
        if (!second || *second > 59) {
            return std::nullopt;
        }
        result.second = *second;
        rest.remove_prefix(3);
    }
    if (!rest.empty()) {
        result.utcOffsetSeconds = parseOffset(rest);
        if (!result.utcOffsetSeconds) {
            return std::nullopt;
        }
    }
    return result;
}

std::optional<Date> parseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    const auto year = digits(text.substr(0, 4));
    const auto month = digits(text.substr(5, 2));
    const auto day = digits(text.substr(8, 2));
    // Days run from 0001-01-01 to 9999-12-31, Gregorian throughout.
    if (!year || !month || !day || *year < 1) {
        return std::nullopt;
    }
    // The calendar is lenient (February 30 becomes March 2), so a day exists exactly when it
    // comes back unchanged.
    const auto utc = Calendar::make("UTC", "en_US");
    const auto instant = utc->date(*year, *month, *day, 12);
    if (!instant) {
        return std::nullopt;
    }
    const auto back = utc->components(*instant);
    if (back.year != *year || back.month != *month || back.day != *day) {
        return std::nullopt;
    }
    return Date{.year = *year, .month = *month, .day = *day};
}

std::string formatDate(const Date& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

} // namespace plannery::cli
