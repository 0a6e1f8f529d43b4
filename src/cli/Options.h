#pragma once

#include "cli/TypedDates.h"
#include "finder/EventFinder.h"
#include "grid/ViewMode.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace plannery::cli {

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
    std::vector<std::string> emails{}; // --email: the user's own addresses

    friend bool operator==(const AgendaOptions&, const AgendaOptions&) = default;
};

struct MirrorsOptions {
    std::vector<std::filesystem::path> roots;
    std::optional<Date> now; // default: today
    Format format = Format::text;
    std::optional<std::string> zone;
    std::vector<std::string> emails{}; // --email: the user's own addresses

    friend bool operator==(const MirrorsOptions&, const MirrorsOptions&) = default;
};

struct CalendarsOptions {
    std::vector<std::filesystem::path> roots;
    Format format = Format::text;
    std::vector<std::string> emails{}; // --email: the user's own addresses

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

// plannery add: a new event in a calendar.
struct AddOptions {
    std::vector<std::filesystem::path> roots;
    std::string calendar; // identifier, as `plannery calendars` lists them
    std::string title;
    DateTime start;
    std::optional<DateTime> end; // default: an hour later, or the same day for an all-day event
    bool allDay = false;
    std::optional<std::string> location;
    std::optional<std::string> zone;

    friend bool operator==(const AddOptions&, const AddOptions&) = default;
};

// plannery remove: an event, one occurrence of it, or an occurrence and all after it.
struct RemoveOptions {
    std::vector<std::filesystem::path> roots;
    std::string eventID;
    std::optional<DateTime> occurrence;
    bool future = false;
    std::optional<std::string> zone;

    friend bool operator==(const RemoveOptions&, const RemoveOptions&) = default;
};

enum class Answer { accept, decline, tentative };

// plannery reply: an answer to an invitation, for the series or one occurrence.
struct ReplyOptions {
    std::vector<std::filesystem::path> roots;
    std::string eventID;
    std::optional<DateTime> occurrence;
    Answer answer = Answer::accept;
    std::optional<std::string> zone;
    std::vector<std::string> emails{}; // --email: the user's own addresses

    friend bool operator==(const ReplyOptions&, const ReplyOptions&) = default;
};

// plannery watch: the store kept open, its revision printed as it moves.
struct WatchOptions {
    std::vector<std::filesystem::path> roots;
    std::optional<std::string> zone;
    std::optional<int> changes;        // quit after this many
    std::vector<std::string> emails{}; // --email: the user's own addresses

    friend bool operator==(const WatchOptions&, const WatchOptions&) = default;
};

// plannery snapshot: a view of the calendars, or the whole window, rendered offscreen to a PNG
// file.
struct SnapshotOptions {
    std::vector<std::filesystem::path> roots;
    ViewMode mode = ViewMode::week;
    // The main window (toolbar, title and view) instead of the view alone.
    bool window = false;
    Date anchor;
    std::optional<DateTime> now; // default: the anchor's day at 10:00, so pictures are repeatable
    int width = 1600;
    int height = 1000;
    double scale = 1;
    std::optional<double> hourHeight;
    std::optional<std::pair<int, int>> fitHours; // start and end hour
    std::optional<std::string> zone;
    std::filesystem::path out;
    std::vector<std::string> emails{}; // --email: the user's own addresses

    friend bool operator==(const SnapshotOptions&, const SnapshotOptions&) = default;
};

// plannery detail: what the detail sheet shows of one event (or one occurrence of it).
struct DetailOptions {
    std::vector<std::filesystem::path> roots;
    std::string eventID;
    std::optional<DateTime> occurrence;
    std::optional<std::string> zone;
    Format format = Format::text;
    std::vector<std::string> emails{}; // --email: the user's own addresses

    friend bool operator==(const DetailOptions&, const DetailOptions&) = default;
};

// plannery export: the calendar file the detail sheet shares for one event.
struct ExportOptions {
    std::vector<std::filesystem::path> roots;
    std::string eventID;
    std::optional<DateTime> occurrence;
    std::optional<std::string> zone;
    std::filesystem::path out;
    std::vector<std::string> emails{}; // --email: the user's own addresses

    friend bool operator==(const ExportOptions&, const ExportOptions&) = default;
};

// plannery find: the events in a text or in pictures, listed, or added to a calendar.
struct FindOptions {
    std::optional<std::string> textFile{}; // "-" reads the standard input
    std::vector<std::filesystem::path> images{};
    EventFinder::Source engine = EventFinder::Source::builtinReader;
    std::optional<std::string> url{}; // the local model's server
    std::optional<DateTime> now{};    // default: the clock
    std::optional<std::string> zone{};
    Format format = Format::text;
    bool add = false;
    std::string calendar{}; // with --add: the calendar's identifier, or a unique tail of it
    std::vector<std::filesystem::path> roots{};

    friend bool operator==(const FindOptions&, const FindOptions&) = default;
};

struct HelpRequest {
    friend bool operator==(const HelpRequest&, const HelpRequest&) = default;
};

struct VersionRequest {
    friend bool operator==(const VersionRequest&, const VersionRequest&) = default;
};

using Invocation =
    std::variant<AgendaOptions, MirrorsOptions, CalendarsOptions, DemoOptions, AddOptions,
                 RemoveOptions, ReplyOptions, WatchOptions, SnapshotOptions, DetailOptions,
                 ExportOptions, FindOptions, HelpRequest, VersionRequest>;

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
inline constexpr int kMaxSnapshotSide = 8192;

// Parses the arguments after the program name. Checks everything that does not depend on the
// clock: dates exist, zones are known, --to is not before --from, numbers are in range.
// --help (or -h) and --version anywhere ask for the usage or the version, also among the
// window's options.
ParseResult parseArguments(const std::vector<std::string>& arguments);

std::string usage();

// The find command's options (FindCommand.cpp).
ParseResult parseFind(const std::vector<std::string>& arguments);

} // namespace plannery::cli
