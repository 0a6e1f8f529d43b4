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

// "YYYY-MM-DD" for a day that exists (in the years 0 to 9999), or with five `yearDigits`
// "YYYYY-MM-DD" from 10000 on.
std::optional<Date> dayOf(std::string_view text, std::size_t yearDigits) {
    if (text.size() != yearDigits + 6 || text[yearDigits] != '-' || text[yearDigits + 3] != '-') {
        return std::nullopt;
    }
    const auto year = digits(text.substr(0, yearDigits));
    const auto month = digits(text.substr(yearDigits + 1, 2));
    const auto day = digits(text.substr(yearDigits + 4, 2));
    if (!year || !month || !day || (yearDigits == 5 && *year < 10000)) {
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

} // namespace

std::optional<DateTime> parseDateTime(std::string_view text) {
    // Days run from 0001-01-01 to 9999-12-31, but the instants of events on them do not stay
    // inside: --json prints the end of an event on the last day (an all-day one ends as
    // 10000-01-01 begins), and times seen from a zone other than the event's, in the year 10000
    // or later, or in the year 0. With a time of day, such an instant is read back.
    const std::size_t yearDigits = text.size() > 4 && text[4] != '-' ? 5 : 4;
    const std::size_t dateLength = yearDigits + 6;
    const auto date = dayOf(text.substr(0, dateLength), yearDigits);
    if (!date) {
        return std::nullopt;
    }
    const bool onADay = date->year >= 1 && date->year <= 9999;
    if (text.size() == dateLength && onADay) {
        return DateTime{
            .date = *date, .minuteOfDay = std::nullopt, .second = 0, .utcOffsetSeconds = {}};
    }
    const std::string_view clock = text.substr(dateLength);
    if (clock.size() < 6 || (clock[0] != 'T' && clock[0] != ' ') || clock[3] != ':') {
        return std::nullopt;
    }
    const auto hour = digits(clock.substr(1, 2));
    const auto minute = digits(clock.substr(4, 2));
    if (!hour || !minute || *hour > 23 || *minute > 59) {
        return std::nullopt;
    }
    DateTime result{.date = *date,
                    .minuteOfDay = *hour * 60 + *minute,
                    .second = 0,
                    .utcOffsetSeconds = std::nullopt};
    std::string_view rest = clock.substr(6);
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
    // Days run from 0001-01-01 to 9999-12-31, Gregorian throughout.
    auto date = dayOf(text, 4);
    return date && date->year >= 1 ? date : std::nullopt;
}

std::string formatDate(const Date& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

} // namespace plannery::cli
