#include "cli/Cli.h"

#include "cli/DemoCalendars.h"
#include "cli/Options.h"
#include "cli/Output.h"
#include "model/EventFetcher.h"
#include "model/MirrorDetection.h"
#include "platform/IcsSeries.h"
#include "platform/VdirEventStore.h"
#include "platform/VdirLayout.h"

#include <chrono>
#include <fstream>
#include <ostream>
#include <sstream>

namespace plannery::cli {

namespace {

namespace fs = std::filesystem;

constexpr int kUsageError = 2;
constexpr int kRootError = 1;

// The only reading of the clock: the defaults for "today" and "now".
Instant clockNow() {
    using namespace std::chrono;
    return Instant{duration<double>(system_clock::now().time_since_epoch()).count()};
}

int usageError(std::ostream& err, const std::string& sentence) {
    err << "plannery: " << sentence << "\n\n" << usage();
    return kUsageError;
}

// The machine's locale with the chosen zone, or the machine's calendar.
Calendar userCalendar(const std::optional<std::string>& zone) {
    Calendar current = Calendar::current();
    if (zone) {
        if (auto chosen = Calendar::make(*zone, current.localeId())) {
            return std::move(*chosen);
        }
    }
    return current;
}

// The start of a typed day in the calendar; through noon, so a zone that skips midnight still
// gives the day's first instant.
std::optional<Instant> dayStart(const Date& date, const Calendar& calendar) {
    const auto noon = calendar.date(date.year, date.month, date.day, 12);
    return noon ? std::optional(calendar.startOfDay(*noon)) : std::nullopt;
}

std::vector<fs::path> rootsOrDefault(const std::vector<fs::path>& roots) {
    std::vector<fs::path> result;
    for (const auto& root : roots.empty() ? std::vector{VdirEventStore::defaultRoot()} : roots) {
        std::error_code error;
        auto absolute = fs::absolute(root, error);
        result.push_back(error ? root : absolute.lexically_normal());
    }
    return result;
}

// A sentence for the first root that does not exist or cannot be read.
std::optional<std::string> checkRoots(const std::vector<fs::path>& roots) {
    for (const auto& root : roots) {
        std::error_code error;
        if (!fs::exists(root, error)) {
            return "The calendar folder " + root.string() + " does not exist.";
        }
        if (!fs::is_directory(root, error)) {
            return "The calendar folder " + root.string() + " is not a folder.";
        }
        fs::directory_iterator probe(root, error);
        if (error) {
            return "The calendar folder " + root.string() + " cannot be read (" + error.message() +
                   ").";
        }
    }
    return std::nullopt;
}

// Opens the store over checked roots; nullptr (after saying why) when a root cannot be read.
// The default folder not existing yet is no error: there are simply no calendars to show.
std::unique_ptr<VdirEventStore> openStore(const std::vector<fs::path>& namedRoots,
                                          const Calendar& calendar, VdirOptions::Check check,
                                          bool verbose, std::ostream& err) {
    const auto roots = rootsOrDefault(namedRoots);
    std::error_code error;
    const bool noCalendarsYet = namedRoots.empty() && !fs::exists(roots.front(), error);
    if (noCalendarsYet) {
        err << "plannery: No calendars yet: " << roots.front().string()
            << " does not exist. Sync calendars there (for example with vdirsyncer), name "
               "another folder with --root, or try `plannery demo DIR`.\n";
    } else if (auto problem = checkRoots(roots)) {
        err << "plannery: " << *problem << "\n";
        return nullptr;
    }
    auto store = std::make_unique<VdirEventStore>(
        VdirOptions{.roots = roots,
                    .cacheFile = VdirEventStore::defaultCacheFile(),
                    .calendar = calendar,
                    .check = check});
    const auto& report = store->loadReport();
    if (!report.unreadableRoots.empty() && !noCalendarsYet) {
        for (const auto& sentence : report.unreadableRoots) {
            err << "plannery: " << sentence << "\n";
        }
        return nullptr;
    }
    // Broken files never stop a listing: the rest is shown and the count is told.
    const auto broken = report.brokenFiles.size();
    if (broken > 0) {
        err << broken << (broken == 1 ? " file" : " files") << " could not be read"
            << (verbose ? ":" : "; --verbose names them.") << "\n";
        if (verbose) {
            for (const auto& file : report.brokenFiles) {
                err << "  " << file << "\n";
            }
        }
    }
    if (verbose) {
        err << report.filesParsed << " files parsed, " << report.filesFromCache
            << " from the index cache.\n";
    }
    return store;
}

int runAgenda(const AgendaOptions& options, std::ostream& out, std::ostream& err) {
    const Calendar calendar = userCalendar(options.zone);
    const Instant now = clockNow();
    const auto from =
        options.from ? dayStart(*options.from, calendar) : std::optional(calendar.startOfDay(now));
    if (!from) {
        return usageError(err, "The --from day cannot be placed in the time zone.");
    }
    std::optional<Instant> lastDay;
    if (options.to) {
        lastDay = dayStart(*options.to, calendar);
    } else {
        lastDay = calendar.addDays(*from, options.days.value_or(7) - 1);
    }
    if (!lastDay || *lastDay < *from) {
        return usageError(err, "The --to day " + (options.to ? formatDate(*options.to) : "") +
                                   " is before the first day shown.");
    }
    const auto end = calendar.addDays(*lastDay, 1);
    if (!end || !calendar.addDays(*from, kMaxAgendaDays).has_value() ||
        *end > *calendar.addDays(*from, kMaxAgendaDays)) {
        return usageError(err,
                          "An agenda shows at most " + std::to_string(kMaxAgendaDays) + " days.");
    }
    const auto store = openStore(options.roots, calendar,
                                 options.verify ? VdirOptions::Check::everyFile
                                                : VdirOptions::Check::changedFolders,
                                 options.verbose, err);
    if (!store) {
        return kRootError;
    }
    const auto calendars = store->calendars();
    for (const auto& hidden : options.hiddenCalendarIDs) {
        const bool known = std::any_of(calendars.begin(), calendars.end(), [&](const auto& c) {
            return c->calendarIdentifier == hidden;
        });
        if (!known) {
            err << "plannery: no calendar has the identifier \"" << hidden
                << "\"; `plannery calendars` lists them.\n";
        }
    }
    FetchOptions fetch{.hiddenCalendarIDs = options.hiddenCalendarIDs,
                       .showDeclined = options.showDeclined,
                       .mirrors = options.mirrors == MirrorMode::scan
                                      ? MirrorDetection::scan(*store, now, calendar)
                                      : CalendarMirrors{}};
    const auto days = EventFetcher::fetchByDay(*store, *from, *end, fetch, calendar);
    if (options.format == Format::json) {
        Output::agendaJson(out, days, calendar);
    } else {
        Output::agendaText(out, days, calendar);
    }
    return 0;
}

int runMirrors(const MirrorsOptions& options, std::ostream& out, std::ostream& err) {
    const Calendar calendar = userCalendar(options.zone);
    std::optional<Instant> now = clockNow();
    if (options.now) {
        now = calendar.date(options.now->year, options.now->month, options.now->day, 12);
        if (!now) {
            return usageError(err, "The --now day cannot be placed in the time zone.");
        }
    }
    const auto store =
        openStore(options.roots, calendar, VdirOptions::Check::changedFolders, false, err);
    if (!store) {
        return kRootError;
    }
    const auto mirrors = MirrorDetection::scan(*store, *now, calendar);
    if (options.format == Format::json) {
        Output::mirrorsJson(out, mirrors);
    } else {
        Output::mirrorsText(out, mirrors, store->calendars());
    }
    return 0;
}

// Calendar objects per calendar: files in a collection folder, UIDs in a calendar kept in one
// file.
Output::SeriesCounts countSeries(const std::vector<fs::path>& roots) {
    Output::SeriesCounts counts;
    for (const auto& location : vdir::discover(roots).calendars) {
        if (!location.calendar) {
            continue;
        }
        if (location.wholeFile.empty()) {
            if (auto files = vdir::listCalendarFiles(location.folder)) {
                counts[location.calendar->calendarIdentifier] = static_cast<int>(files->size());
            }
            continue;
        }
        std::ifstream in(location.folder / location.wholeFile, std::ios::binary);
        if (!in) {
            continue;
        }
        std::ostringstream text;
        text << in.rdbuf();
        const auto result = ics::read(text.str());
        if (!result.unreadable) {
            counts[location.calendar->calendarIdentifier] = static_cast<int>(result.series.size());
        }
    }
    return counts;
}

int runCalendars(const CalendarsOptions& options, std::ostream& out, std::ostream& err) {
    const Calendar calendar = Calendar::current();
    const auto store =
        openStore(options.roots, calendar, VdirOptions::Check::changedFolders, false, err);
    if (!store) {
        return kRootError;
    }
    const auto counts = countSeries(rootsOrDefault(options.roots));
    if (options.format == Format::json) {
        Output::calendarsJson(out, store->sources(), store->calendars(), counts);
    } else {
        Output::calendarsText(out, store->sources(), store->calendars(), counts);
    }
    return 0;
}

int runDemo(const DemoOptions& options, std::ostream& out, std::ostream& err) {
    Date from;
    if (options.from) {
        from = *options.from;
    } else {
        // Today a year ago, so that the demo's two years put today in the middle.
        const Calendar calendar = Calendar::current();
        const Instant today = calendar.startOfDay(clockNow());
        const auto parts = calendar.components(calendar.addMonths(today, -12).value_or(today));
        from = Date{parts.year, parts.month, parts.day};
    }
    const auto summary = DemoCalendars::write(DemoCalendars::Settings{.folder = options.folder,
                                                                      .events = options.events,
                                                                      .seed = options.seed,
                                                                      .from = from,
                                                                      .years = options.years});
    if (summary.error) {
        err << "plannery: " << *summary.error << "\n";
        return kRootError;
    }
    out << DemoCalendars::summaryLine(summary, options.folder) << "\n";
    return 0;
}

} // namespace

int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    const ParseResult parsed = parseArguments(arguments);
    if (!parsed.invocation) {
        return usageError(err, parsed.error);
    }
    return std::visit(
        [&](const auto& options) -> int {
            using Kind = std::decay_t<decltype(options)>;
            if constexpr (std::is_same_v<Kind, AgendaOptions>) {
                return runAgenda(options, out, err);
            } else if constexpr (std::is_same_v<Kind, MirrorsOptions>) {
                return runMirrors(options, out, err);
            } else if constexpr (std::is_same_v<Kind, CalendarsOptions>) {
                return runCalendars(options, out, err);
            } else if constexpr (std::is_same_v<Kind, DemoOptions>) {
                return runDemo(options, out, err);
            } else {
                out << usage();
                return 0;
            }
        },
        *parsed.invocation);
}

} // namespace plannery::cli
