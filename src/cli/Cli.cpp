#include "cli/Cli.h"

#include "cli/CalendarsOutput.h"
#include "cli/DemoCalendars.h"
#include "cli/DetailCommand.h"
#include "cli/EventLookup.h"
#include "cli/OpenStore.h"
#include "cli/Options.h"
#include "cli/Output.h"
#include "cli/WatchCommand.h"
#include "cli/WindowModule.h"
#include "cli/WriteCommands.h"
#include "model/AccountGroups.h"
#include "model/EventFetcher.h"
#include "platform/BuildInfo.h"
#include "platform/IcsSeries.h"
#include "platform/VdirDiscovery.h"
#include "platform/VdirEventStore.h"
#include "platform/VdirLayout.h"

#include <fstream>
#include <iostream>
#include <ostream>
#include <sstream>

namespace plannery::cli {

namespace {

namespace fs = std::filesystem;

constexpr int kUsageError = 2;
constexpr int kRootError = 1;

int usageError(std::ostream& err, const std::string& sentence) {
    err << "plannery: " << sentence << "\n\n" << usage();
    return kUsageError;
}

// The start of a typed day in the calendar; through noon, so a zone that skips midnight still
// gives the day's first instant.
std::optional<Instant> dayStart(const Date& date, const Calendar& calendar) {
    const auto noon = calendar.date(date.year, date.month, date.day, 12);
    return noon ? std::optional(calendar.startOfDay(*noon)) : std::nullopt;
}

int runAgenda(const AgendaOptions& options, std::ostream& out, std::ostream& err) {
    const Calendar calendar = Calendar::currentIn(options.zone);
    const Instant now = Instant::now();
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
    // Days run to 9999-12-31: an agenda that would reach past it ends with that day, so that every
    // day it names can be typed back.
    if (const auto last = dayStart(Date{.year = 9999, .month = 12, .day = 31}, calendar);
        last && lastDay && *lastDay > *last) {
        lastDay = last;
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
    const auto store = openStore(options.roots, calendar, options.verbose, err, options.emails);
    if (!store) {
        return kRootError;
    }
    std::set<std::string> hidden;
    for (const auto& typed : options.hiddenCalendarIDs) {
        const Resolved named = calendarID(store->calendars(), typed);
        if (named.id) {
            hidden.insert(*named.id);
        } else {
            err << "plannery: " << named.problem << "\n";
        }
    }
    FetchOptions fetch{.hiddenCalendarIDs = hidden,
                       .showDeclined = options.showDeclined,
                       .mirrors = options.mirrors == MirrorMode::scan
                                      ? mirrorGroups(*store, now, calendar)
                                      : CalendarMirrors{}};
    // A month at a time, as the app reads them: a long agenda never holds all its events.
    const bool json = options.format == Format::json;
    if (json) {
        Output::agendaJsonOpen(out);
    }
    for (Instant part = *from; part < *end;) {
        const auto month = calendar.monthInterval(part);
        const Instant partEnd = month && part < month->end ? std::min(month->end, *end) : *end;
        const auto days = EventFetcher::fetchByDay(*store, part, partEnd, fetch, calendar);
        if (json) {
            Output::agendaJsonDays(out, days, calendar, part != *from);
        } else {
            Output::agendaText(out, days, calendar, part != *from);
        }
        part = partEnd;
    }
    if (json) {
        Output::agendaJsonClose(out);
    }
    return 0;
}

int runMirrors(const MirrorsOptions& options, std::ostream& out, std::ostream& err) {
    const Calendar calendar = Calendar::currentIn(options.zone);
    std::optional<Instant> now = Instant::now();
    if (options.now) {
        now = calendar.date(options.now->year, options.now->month, options.now->day, 12);
        if (!now) {
            return usageError(err, "The --now day cannot be placed in the time zone.");
        }
    }
    const auto store = openStore(options.roots, calendar, false, err, options.emails);
    if (!store) {
        return kRootError;
    }
    const auto mirrors = mirrorGroups(*store, *now, calendar);
    if (options.format == Format::json) {
        Output::mirrorsJson(out, mirrors);
    } else {
        Output::mirrorsText(out, mirrors, store->calendars());
    }
    return 0;
}

// Calendar objects per calendar: files in a collection folder, UIDs in a calendar kept in one
// file.
CalendarsOutput::SeriesCounts countSeries(const std::vector<fs::path>& roots) {
    CalendarsOutput::SeriesCounts counts;
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
    const auto store = openStore(options.roots, calendar, false, err, options.emails);
    if (!store) {
        return kRootError;
    }
    const Instant now = Instant::now();
    const auto groups = accountGroups(
        *store, [&](const Source& source) { return looksLikeGoogle(*store, source, now); },
        calendar);
    const auto counts = countSeries(rootsOrDefault(options.roots));
    if (options.format == Format::json) {
        CalendarsOutput::json(out, groups, counts, store->foundAddresses());
    } else {
        CalendarsOutput::text(out, groups, counts, store->foundAddresses());
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
        const Instant today = calendar.startOfDay(Instant::now());
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
            } else if constexpr (std::is_same_v<Kind, AddOptions>) {
                return runAdd(options, out, err);
            } else if constexpr (std::is_same_v<Kind, RemoveOptions>) {
                return runRemove(options, out, err);
            } else if constexpr (std::is_same_v<Kind, ReplyOptions>) {
                return runReply(options, out, err);
            } else if constexpr (std::is_same_v<Kind, WatchOptions>) {
                return runWatch(options, out, err);
            } else if constexpr (std::is_same_v<Kind, SnapshotOptions>) {
                return WindowModule::runSnapshot(options, out, err);
            } else if constexpr (std::is_same_v<Kind, DetailOptions>) {
                return runDetail(options, out, err);
            } else if constexpr (std::is_same_v<Kind, ExportOptions>) {
                return runExport(options, out, err);
            } else if constexpr (std::is_same_v<Kind, FindOptions>) {
                return WindowModule::runFind(options, std::cin, out, err);
            } else if constexpr (std::is_same_v<Kind, VersionRequest>) {
                const std::string commit = BuildInfo::value("PlanneryCommit").value_or("");
                out << "plannery " << BuildInfo::value("CFBundleShortVersionString").value_or("")
                    << (commit.empty() ? "" : " (" + commit + ")") << "\n";
                return 0;
            } else {
                out << usage();
                return 0;
            }
        },
        *parsed.invocation);
}

} // namespace plannery::cli
