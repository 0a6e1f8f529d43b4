#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace plannery::cli {

// A calendar day as typed on the command line; only days that exist are ever made.
struct Date {
    int year = 1970;
    int month = 1;
    int day = 1;

    friend auto operator<=>(const Date&, const Date&) = default;
    friend bool operator==(const Date&, const Date&) = default;
};

// "YYYY-MM-DD" for a day that exists (2026-02-30 does not); nullopt otherwise.
std::optional<Date> parseDate(std::string_view text);
std::string formatDate(const Date& date);

enum class Format { text, json };
enum class MirrorMode { scan, none };

struct AgendaOptions {
    std::vector<std::filesystem::path> roots; // empty: the default root
    std::optional<Date> from;                 // default: today
    std::optional<Date> to;                   // last day shown, inclusive
    std::optional<int> days;                  // number of days shown, instead of `to`
    bool showDeclined = false;
    std::set<std::string> hiddenCalendarIDs;
    MirrorMode mirrors = MirrorMode::scan;
    std::optional<std::string> zone; // default: the machine's zone
    Format format = Format::text;
    bool verbose = false;
    bool verify = false; // compare every file with the index, not only changed folders

    friend bool operator==(const AgendaOptions&, const AgendaOptions&) = default;
};

struct MirrorsOptions {
    std::vector<std::filesystem::path> roots;
    std::optional<Date> now; // default: today
    Format format = Format::text;
    std::optional<std::string> zone;

    friend bool operator==(const MirrorsOptions&, const MirrorsOptions&) = default;
};

struct CalendarsOptions {
    std::vector<std::filesystem::path> roots;
    Format format = Format::text;

    friend bool operator==(const CalendarsOptions&, const CalendarsOptions&) = default;
};

struct DemoOptions {
    std::filesystem::path folder;
    int events = 2000;
    std::uint64_t seed = 1;
    std::optional<Date> from; // default: today minus one year
    int years = 2;

    friend bool operator==(const DemoOptions&, const DemoOptions&) = default;
};

struct HelpRequest {
    friend bool operator==(const HelpRequest&, const HelpRequest&) = default;
};

using Invocation =
    std::variant<AgendaOptions, MirrorsOptions, CalendarsOptions, DemoOptions, HelpRequest>;

// A parsed command line, or one sentence saying what is wrong with it.
struct ParseResult {
    std::optional<Invocation> invocation;
    std::string error;
};

// The most days one agenda lists, and the bounds of the demo's sizes.
inline constexpr int kMaxAgendaDays = 3660;
inline constexpr int kMinDemoEvents = 100;
inline constexpr int kMaxDemoEvents = 1000000;
inline constexpr int kMaxDemoYears = 20;

// Parses the arguments after the program name. Checks everything that does not depend on the
// clock: dates exist, zones are known, --to is not before --from, numbers are in range.
ParseResult parseArguments(const std::vector<std::string>& arguments);

std::string usage();

} // namespace plannery::cli
