#pragma once

#include <optional>
#include <string>
#include <string_view>

// Days and times as a user or a script types them on the command line.
namespace plannery::cli {

// A calendar day as typed on the command line; only days that exist are ever made.
struct Date {
    int year = 1970;
    int month = 1;
    int day = 1;

    friend auto operator<=>(const Date&, const Date&) = default;
    friend bool operator==(const Date&, const Date&) = default;
};

// "YYYY-MM-DD" for a day that exists (2026-02-30 does not; years run from 0001 to 9999 in the
// Gregorian calendar, also before 1582); nullopt otherwise.
std::optional<Date> parseDate(std::string_view text);
std::string formatDate(const Date& date);

// A time as typed: a day, with or without a time of day, read in the command's zone; or, with
// an offset from UTC, one instant whatever the zone.
struct DateTime {
    Date date;
    std::optional<int> minuteOfDay;      // absent for a day alone
    int second = 0;                      // past the minute
    std::optional<int> utcOffsetSeconds; // "Z" is 0

    friend bool operator==(const DateTime&, const DateTime&) = default;
};

// "YYYY-MM-DD", "YYYY-MM-DDTHH:MM" or "YYYY-MM-DD HH:MM" (24-hour clock), with optional ":SS",
// and after a time optionally "Z" or an offset "+HH:MM" / "-HHMM": the ISO 8601 instants that
// --json prints. With a time of day the year may also be 0 or have five digits, as --json prints
// the times of events on the first and last days seen from other zones, and the end of the last
// day (10000-01-01T00:00). nullopt otherwise.
std::optional<DateTime> parseDateTime(std::string_view text);

} // namespace plannery::cli
