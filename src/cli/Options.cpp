#include "cli/Options.h"

#include "cli/ArgumentReader.h"

#include "model/Calendar.h"
#include "model/MailAddress.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

namespace plannery::cli {

namespace {

// Whole decimal number; nullopt for anything else (signs, spaces, overflow).
template <typename Number> std::optional<Number> parseNumber(std::string_view text) {
    if (text.empty() || text.front() == '-' || text.front() == '+') {
        return std::nullopt;
    }
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

ArgumentReader::Handler dateInto(std::optional<Date>& target, std::string name) {
    return [&target, name](const std::string& value) -> std::string {
        target = parseDate(value);
        if (!target) {
            return "The " + name + " date \"" + value +
                   "\" is not a day that exists; write it as YYYY-MM-DD.";
        }
        return {};
    };
}

ArgumentReader::Handler emailInto(std::vector<std::string>& emails) {
    return [&emails](const std::string& value) -> std::string {
        if (!matchesEmailPattern(value)) {
            return "The --email value \"" + value +
                   "\" is not an e-mail address; write it as name@example.com.";
        }
        emails.push_back(value);
        return {};
    };
}

ArgumentReader::Handler intInto(int& target, std::string name, int low, int high) {
    return [&target, name, low, high](const std::string& value) -> std::string {
        const auto number = parseNumber<int>(value);
        if (!number || *number < low || *number > high) {
            return "The option " + name + " needs a whole number from " + std::to_string(low) +
                   " to " + std::to_string(high) + ", not \"" + value + "\".";
        }
        target = *number;
        return {};
    };
}

ParseResult failure(std::string error) {
    return ParseResult{.invocation = {}, .error = error};
}

ParseResult parseAgenda(const std::vector<std::string>& arguments) {
    AgendaOptions options;
    int days = 0;
    bool hasDays = false;
    std::string mirrorError;
    ArgumentReader reader;
    reader.option("--root", rootInto(options.roots));
    reader.option("--email", emailInto(options.emails));
    reader.option("--from", dateInto(options.from, "--from"));
    reader.option("--to", dateInto(options.to, "--to"));
    auto readDays = intInto(days, "--days", 1, kMaxAgendaDays);
    reader.option("--days", [&](const std::string& value) {
        hasDays = true;
        return readDays(value);
    });
    reader.flag("--show-declined", [&] { options.showDeclined = true; });
    reader.option("--hide", [&](const std::string& value) -> std::string {
        options.hiddenCalendarIDs.insert(value);
        return {};
    });
    reader.option("--mirrors", [&](const std::string& value) -> std::string {
        if (value == "scan") {
            options.mirrors = MirrorMode::scan;
        } else if (value == "none") {
            options.mirrors = MirrorMode::none;
        } else {
            return "The option --mirrors takes scan or none, not \"" + value + "\".";
        }
        return {};
    });
    reader.option("--tz", zoneInto(options.zone));
    reader.flag("--json", [&] { options.format = Format::json; });
    reader.flag("--verbose", [&] { options.verbose = true; });

    if (auto error = readWithoutPositional(reader, arguments); !error.empty()) {
        return failure(error);
    }
    if (hasDays) {
        if (options.to) {
            return failure("Give either --to or --days, not both.");
        }
        options.days = days;
    }
    if (options.from && options.to && *options.to < *options.from) {
        return failure("The --to day " + formatDate(*options.to) + " is before the --from day " +
                       formatDate(*options.from) + ".");
    }
    return ParseResult{.invocation = options, .error = {}};
}

ParseResult parseMirrors(const std::vector<std::string>& arguments) {
    MirrorsOptions options;
    ArgumentReader reader;
    reader.option("--root", rootInto(options.roots));
    reader.option("--email", emailInto(options.emails));
    reader.option("--now", dateInto(options.now, "--now"));
    reader.option("--tz", zoneInto(options.zone));
    reader.flag("--json", [&] { options.format = Format::json; });
    if (auto error = readWithoutPositional(reader, arguments); !error.empty()) {
        return failure(error);
    }
    return ParseResult{.invocation = options, .error = {}};
}

ParseResult parseCalendars(const std::vector<std::string>& arguments) {
    CalendarsOptions options;
    ArgumentReader reader;
    reader.option("--root", rootInto(options.roots));
    reader.option("--email", emailInto(options.emails));
    reader.flag("--json", [&] { options.format = Format::json; });
    if (auto error = readWithoutPositional(reader, arguments); !error.empty()) {
        return failure(error);
    }
    return ParseResult{.invocation = options, .error = {}};
}

ParseResult parseDemo(const std::vector<std::string>& arguments) {
    DemoOptions options;
    ArgumentReader reader;
    reader.option("--events", intInto(options.events, "--events", kMinDemoEvents, kMaxDemoEvents));
    reader.option("--seed", [&](const std::string& value) -> std::string {
        const auto seed = parseNumber<std::uint64_t>(value);
        if (!seed) {
            return "The option --seed needs a whole number, not \"" + value + "\".";
        }
        options.seed = *seed;
        return {};
    });
    reader.option("--from", dateInto(options.from, "--from"));
    reader.option("--years", intInto(options.years, "--years", 1, kMaxDemoYears));
    std::vector<std::string> positional;
    if (auto error = reader.read(arguments, 1, positional); !error.empty()) {
        return failure(error);
    }
    if (positional.empty()) {
        return failure("The demo command needs the folder to write the calendars to.");
    }
    if (positional.size() > 1) {
        return failure("Unexpected argument \"" + positional[1] + "\".");
    }
    options.folder = positional.front();
    return ParseResult{.invocation = options, .error = {}};
}

// The one positional argument of a command that names an event.
std::string eventIDFrom(const std::vector<std::string>& positional, std::string& id) {
    if (positional.empty()) {
        return "Name the event by its identifier (as `plannery agenda --json` lists them).";
    }
    if (positional.size() > 1) {
        return "Unexpected argument \"" + positional[1] + "\".";
    }
    id = positional.front();
    return {};
}

ParseResult parseAdd(const std::vector<std::string>& arguments) {
    AddOptions options;
    std::optional<DateTime> start;
    std::optional<std::string> calendar;
    std::optional<std::string> title;
    ArgumentReader reader;
    reader.option("--root", rootInto(options.roots));
    reader.option("--calendar", [&](const std::string& value) -> std::string {
        calendar = value;
        return {};
    });
    reader.option("--title", [&](const std::string& value) -> std::string {
        title = value;
        return {};
    });
    reader.option("--start", dateTimeInto(start, "--start"));
    reader.option("--end", dateTimeInto(options.end, "--end"));
    reader.flag("--all-day", [&] { options.allDay = true; });
    reader.option("--location", [&](const std::string& value) -> std::string {
        options.location = value;
        return {};
    });
    reader.option("--tz", zoneInto(options.zone));
    if (auto error = readWithoutPositional(reader, arguments); !error.empty()) {
        return failure(error);
    }
    if (!calendar || calendar->empty()) {
        return failure("The add command needs --calendar with a calendar's identifier "
                       "(`plannery calendars` lists them).");
    }
    if (!title) {
        return failure("The add command needs --title.");
    }
    if (!start) {
        return failure("The add command needs --start.");
    }
    const bool timed = start->minuteOfDay.has_value();
    if (options.allDay == timed || (options.end && options.end->minuteOfDay.has_value() != timed)) {
        return failure(options.allDay ? "An all-day event takes days (YYYY-MM-DD), not times."
                                      : "Give --start and --end with a time (YYYY-MM-DDTHH:MM), "
                                        "or add --all-day for days.");
    }
    options.calendar = *calendar;
    options.title = *title;
    options.start = *start;
    return ParseResult{.invocation = options, .error = {}};
}

ParseResult parseRemove(const std::vector<std::string>& arguments) {
    RemoveOptions options;
    ArgumentReader reader;
    reader.option("--root", rootInto(options.roots));
    reader.option("--occurrence", dateTimeInto(options.occurrence, "--occurrence"));
    reader.flag("--future", [&] { options.future = true; });
    reader.option("--tz", zoneInto(options.zone));
    std::vector<std::string> positional;
    if (auto error = reader.read(arguments, 1, positional); !error.empty()) {
        return failure(error);
    }
    if (auto error = eventIDFrom(positional, options.eventID); !error.empty()) {
        return failure(error);
    }
    if (options.future && !options.occurrence) {
        return failure("--future needs --occurrence: the first occurrence to remove.");
    }
    return ParseResult{.invocation = options, .error = {}};
}

ParseResult parseReply(const std::vector<std::string>& arguments) {
    ReplyOptions options;
    ArgumentReader reader;
    reader.option("--root", rootInto(options.roots));
    reader.option("--email", emailInto(options.emails));
    reader.option("--occurrence", dateTimeInto(options.occurrence, "--occurrence"));
    reader.option("--tz", zoneInto(options.zone));
    std::vector<std::string> positional;
    if (auto error = reader.read(arguments, 1, positional); !error.empty()) {
        return failure(error);
    }
    // The answer is the last word: plannery reply ID accept.
    if (!positional.empty()) {
        const std::string& word = positional.back();
        if (word == "accept") {
            options.answer = Answer::accept;
        } else if (word == "decline") {
            options.answer = Answer::decline;
        } else if (word == "tentative") {
            options.answer = Answer::tentative;
        } else {
            return failure("End the reply command with accept, decline or tentative, not \"" +
                           word + "\".");
        }
        positional.pop_back();
    } else {
        return failure("The reply command needs the event and accept, decline or tentative.");
    }
    if (auto error = eventIDFrom(positional, options.eventID); !error.empty()) {
        return failure(error);
    }
    return ParseResult{.invocation = options, .error = {}};
}

ParseResult parseWatch(const std::vector<std::string>& arguments) {
    WatchOptions options;
    int changes = 0;
    ArgumentReader reader;
    reader.option("--root", rootInto(options.roots));
    reader.option("--email", emailInto(options.emails));
    reader.option("--tz", zoneInto(options.zone));
    auto readChanges = intInto(changes, "--changes", 1, 1000000);
    reader.option("--changes", [&](const std::string& value) {
        auto error = readChanges(value);
        options.changes = changes;
        return error;
    });
    if (auto error = readWithoutPositional(reader, arguments); !error.empty()) {
        return failure(error);
    }
    return ParseResult{.invocation = options, .error = {}};
}

// "WxH" with whole numbers from 1 to the largest side.
bool parseSize(const std::string& text, int& width, int& height) {
    const auto x = text.find('x');
    if (x == std::string::npos) {
        return false;
    }
    const auto w = parseNumber<int>(std::string_view(text).substr(0, x));
    const auto h = parseNumber<int>(std::string_view(text).substr(x + 1));
    if (!w || !h || *w < 1 || *h < 1 || *w > kMaxSnapshotSide || *h > kMaxSnapshotSide) {
        return false;
    }
    width = *w;
    height = *h;
    return true;
}

// A decimal number such as 1.25; nullopt for anything else.
std::optional<double> parseDecimal(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

ParseResult parseSnapshot(const std::vector<std::string>& arguments) {
    SnapshotOptions options;
    std::optional<Date> anchor;
    ArgumentReader reader;
    reader.option("--root", rootInto(options.roots));
    reader.option("--email", emailInto(options.emails));
    reader.option("--mode", [&](const std::string& value) -> std::string {
        static constexpr std::array<std::pair<std::string_view, ViewMode>, 6> names{{
            {"agenda", ViewMode::agenda},
            {"day", ViewMode::day},
            {"threedays", ViewMode::threeDay},
            {"workweek", ViewMode::workWeek},
            {"week", ViewMode::week},
            {"fourweeks", ViewMode::fourWeeks},
        }};
        for (const auto& [name, mode] : names) {
            if (value == name) {
                options.mode = mode;
                return {};
            }
        }
        return "The option --mode takes agenda, day, threedays, workweek, week or fourweeks, "
               "not \"" +
               value + "\".";
    });
    reader.flag("--window", [&] { options.window = true; });
    reader.option("--anchor", dateInto(anchor, "--anchor"));
    reader.option("--now", dateTimeInto(options.now, "--now"));
    reader.option("--size", [&](const std::string& value) -> std::string {
        if (!parseSize(value, options.width, options.height)) {
            return "The option --size takes WIDTHxHEIGHT in pixels from 1 to " +
                   std::to_string(kMaxSnapshotSide) + ", not \"" + value + "\".";
        }
        return {};
    });
    reader.option("--scale", [&](const std::string& value) -> std::string {
        const auto scale = parseDecimal(value);
        if (!scale || *scale < 0.5 || *scale > 4) {
            return "The option --scale takes a number from 0.5 to 4, not \"" + value + "\".";
        }
        options.scale = *scale;
        return {};
    });
    reader.option("--hour-height", [&](const std::string& value) -> std::string {
        const auto height = parseDecimal(value);
        if (!height || *height <= 0) {
            return "The option --hour-height takes a positive number of points, not \"" + value +
                   "\".";
        }
        options.hourHeight = *height;
        return {};
    });
    reader.option("--fit-hours", [&](const std::string& value) -> std::string {
        const auto dash = value.find('-');
        const auto start = dash == std::string::npos
                               ? std::nullopt
                               : parseNumber<int>(std::string_view(value).substr(0, dash));
        const auto end = dash == std::string::npos
                             ? std::nullopt
                             : parseNumber<int>(std::string_view(value).substr(dash + 1));
        if (!start || !end || *start > 23 || *end > 24 || *end <= *start) {
            return "The option --fit-hours takes START-END hours such as 8-20, not \"" + value +
                   "\".";
        }
        options.fitHours = std::pair{*start, *end};
        return {};
    });
    reader.option("--tz", zoneInto(options.zone));
    reader.option("--out", [&](const std::string& value) -> std::string {
        options.out = value;
        return {};
    });
    if (auto error = readWithoutPositional(reader, arguments); !error.empty()) {
        return failure(error);
    }
    if (!anchor) {
        return failure("The snapshot command needs --anchor YYYY-MM-DD.");
    }
    if (options.out.empty()) {
        return failure("The snapshot command needs --out FILE.png.");
    }
    options.anchor = *anchor;
    return ParseResult{.invocation = options, .error = {}};
}

ParseResult parseDetail(const std::vector<std::string>& arguments) {
    DetailOptions options;
    ArgumentReader reader;
    reader.option("--root", rootInto(options.roots));
    reader.option("--email", emailInto(options.emails));
    reader.option("--occurrence", dateTimeInto(options.occurrence, "--occurrence"));
    reader.option("--tz", zoneInto(options.zone));
    reader.flag("--json", [&] { options.format = Format::json; });
    std::vector<std::string> positional;
    if (auto error = reader.read(arguments, 1, positional); !error.empty()) {
        return failure(error);
    }
    if (auto error = eventIDFrom(positional, options.eventID); !error.empty()) {
        return failure(error);
    }
    return ParseResult{.invocation = options, .error = {}};
}

ParseResult parseExport(const std::vector<std::string>& arguments) {
    ExportOptions options;
    ArgumentReader reader;
    reader.option("--root", rootInto(options.roots));
    reader.option("--email", emailInto(options.emails));
    reader.option("--occurrence", dateTimeInto(options.occurrence, "--occurrence"));
    reader.option("--tz", zoneInto(options.zone));
    reader.option("--out", [&](const std::string& value) -> std::string {
        options.out = value;
        return {};
    });
    std::vector<std::string> positional;
    if (auto error = reader.read(arguments, 1, positional); !error.empty()) {
        return failure(error);
    }
    if (auto error = eventIDFrom(positional, options.eventID); !error.empty()) {
        return failure(error);
    }
    if (options.out.empty()) {
        return failure("The export command needs --out FILE.ics.");
    }
    return ParseResult{.invocation = options, .error = {}};
}

} // namespace

ParseResult parseArguments(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return failure("No command given.");
    }
    const auto given = [&](std::initializer_list<std::string_view> names) {
        return std::any_of(arguments.begin(), arguments.end(), [&](const std::string& argument) {
            return std::find(names.begin(), names.end(), argument) != names.end();
        });
    };
    if (given({"--help", "-h"})) {
        return ParseResult{.invocation = HelpRequest{}, .error = {}};
    }
    if (given({"--version"})) {
        return ParseResult{.invocation = VersionRequest{}, .error = {}};
    }
    const std::string& command = arguments.front();
    if (command == "agenda") {
        return parseAgenda(arguments);
    }
    if (command == "mirrors") {
        return parseMirrors(arguments);
    }
    if (command == "calendars") {
        return parseCalendars(arguments);
    }
    if (command == "demo") {
        return parseDemo(arguments);
    }
    if (command == "add") {
        return parseAdd(arguments);
    }
    if (command == "remove") {
        return parseRemove(arguments);
    }
    if (command == "reply") {
        return parseReply(arguments);
    }
    if (command == "watch") {
        return parseWatch(arguments);
    }
    if (command == "snapshot") {
        return parseSnapshot(arguments);
    }
    if (command == "detail") {
        return parseDetail(arguments);
    }
    if (command == "export") {
        return parseExport(arguments);
    }
    if (command == "find") {
        return parseFind(arguments);
    }
    if (command == "help") {
        return ParseResult{.invocation = HelpRequest{}, .error = {}};
    }
    return failure("Unknown command \"" + command + "\".");
}

std::string usage() {
    return "usage:\n"
           "  plannery [plannery://LINK] [--root DIR]... [--tz ZONE] [--anchor YYYY-MM-DD]\n"
           "           [--showSettings] [--showTitlePopover] [--imageEventsDemo]\n"
           "           [--quit-after-first-paint]\n"
           "  plannery --help | --version\n"
           "  plannery agenda [--root DIR]... [--from YYYY-MM-DD] [--to YYYY-MM-DD | --days N]\n"
           "                  [--show-declined] [--hide CALENDAR-ID]... [--mirrors scan|none]\n"
           "                  [--tz ZONE] [--json] [--verbose]\n"
           "  plannery mirrors [--root DIR]... [--now YYYY-MM-DD] [--json] [--tz ZONE]\n"
           "  plannery calendars [--root DIR]... [--json]\n"
           "  plannery demo DIR [--events N] [--seed S] [--from YYYY-MM-DD] [--years Y]\n"
           "  plannery add --calendar ID --title T --start DATETIME [--end DATETIME] [--all-day]\n"
           "               [--location L] [--root DIR]... [--tz ZONE]\n"
           "  plannery remove EVENT-ID [--occurrence DATETIME [--future]] [--root DIR]...\n"
           "                  [--tz ZONE]\n"
           "  plannery reply EVENT-ID [--occurrence DATETIME] accept|decline|tentative\n"
           "                 [--root DIR]... [--tz ZONE]\n"
           "  plannery watch [--root DIR]... [--tz ZONE] [--changes N]\n"
           "  plannery snapshot --anchor YYYY-MM-DD --out FILE.png\n"
           "                    [--mode agenda|day|threedays|workweek|week|fourweeks]\n"
           "                    [--window] [--now DATETIME]\n"
           "                    [--size WxH] [--scale F] [--hour-height H] [--fit-hours "
           "START-END]\n"
           "                    [--root DIR]... [--tz ZONE]\n"
           "  plannery detail EVENT-ID [--occurrence DATETIME] [--root DIR]... [--tz ZONE] "
           "[--json]\n"
           "  plannery export EVENT-ID [--occurrence DATETIME] [--root DIR]... [--tz ZONE]\n"
           "                  --out FILE.ics\n"
           "  plannery find [--text FILE|-] [--image FILE]... [--engine builtin|local-model]\n"
           "                [--url URL] [--now DATETIME] [--tz ZONE] [--json]\n"
           "                [--add --calendar ID [--root DIR]...]\n"
           "\n"
           "Without a command Plannery opens its window (a desktop session is needed) on the\n"
           "calendar folders, on the day --anchor names, with the settings, the title popover or\n"
           "the events-from-image sheet open; a link opens what it names. The window's switches\n"
           "also take =true or =false; --quit-after-first-paint prints the start-up time.\n"
           "\n"
           "agenda lists today and the next 6 days unless --from, --to or --days say otherwise;\n"
           "--to is the last day shown.\n"
           "DATETIME is YYYY-MM-DDTHH:MM in the --tz zone (the machine's by default),\n"
           "YYYY-MM-DD for all-day events (an all-day event's --end is its last day), or an\n"
           "instant with its offset as --json prints it, such as 2026-03-10T09:00:00+01:00.\n"
           "EVENT-ID is an eventIdentifier or an id of `plannery agenda --json`; the id names\n"
           "its occurrence, which --occurrence names otherwise (the first one by default).\n"
           "Any tail of an identifier after a / will do when no other fits: work/cal/x.ics.\n"
           "Every command but add, remove and demo takes --email ADDRESS (repeatable): your\n"
           "own addresses, instead of the one found in each account's invitations.\n"
           "find lists the events in a text and in the text of pictures, found by the Built-in\n"
           "Reader or by a language model server on this computer (--url, by default\n"
           "http://127.0.0.1:8080); --add adds them to a calendar.\n";
}

} // namespace plannery::cli
