#include "cli/OpenStore.h"

#include "model/MirrorDetection.h"

namespace plannery::cli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMirrorsKey = "mirror groups";

// "<day start>\n<zone>\n", then each group's identifiers, each ended by a NUL, and a NUL after
// each group (identifiers are file names and paths, which never hold one).
std::string encodeMirrors(const std::string& day, const CalendarMirrors& mirrors) {
    std::string text = day;
    for (const auto& group : mirrors.groups()) {
        for (const auto& id : group) {
            text += id;
            text += '\0';
        }
        text += '\0';
    }
    return text;
}

std::optional<CalendarMirrors> decodeMirrors(const std::string& day, const std::string& text) {
    if (!text.starts_with(day)) {
        return std::nullopt;
    }
    std::vector<std::vector<std::string>> groups(1);
    for (std::size_t at = day.size(); at < text.size();) {
        const std::size_t end = text.find('\0', at);
        if (end == std::string::npos) {
            return std::nullopt;
        }
        if (end == at) {
            groups.emplace_back();
        } else {
            groups.back().push_back(text.substr(at, end - at));
        }
        at = end + 1;
    }
    groups.pop_back();
    return CalendarMirrors(groups);
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

} // namespace

std::vector<fs::path> rootsOrDefault(const std::vector<fs::path>& roots) {
    std::vector<fs::path> result;
    for (const auto& root : roots.empty() ? std::vector{VdirEventStore::defaultRoot()} : roots) {
        std::error_code error;
        auto absolute = fs::absolute(root, error);
        result.push_back(error ? root : absolute.lexically_normal());
    }
    return result;
}

std::unique_ptr<VdirEventStore> openStore(const std::vector<fs::path>& namedRoots,
                                          const Calendar& calendar, bool verbose, std::ostream& err,
                                          const std::vector<std::string>& emails) {
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
                    .ownAddresses = emails});
    const auto& report = store->loadReport();
    if (!report.unreadableRoots.empty() && !noCalendarsYet) {
        for (const auto& sentence : report.unreadableRoots) {
            err << "plannery: " << sentence << "\n";
        }
        return nullptr;
    }
    for (const auto& note : report.notes) {
        err << "plannery: " << note << "\n";
    }
    // Broken files never stop a listing: the rest is shown and the count is told.
    const auto broken = report.brokenFiles.size();
    if (broken > 0) {
        err << broken << (broken == 1 ? " file" : " files") << " could not be read"
            << (verbose ? ":" : "; plannery agenda --verbose names them.") << "\n";
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

CalendarMirrors mirrorGroups(VdirEventStore& store, Instant now, const Calendar& calendar) {
    const std::string day =
        std::to_string(calendar.startOfDay(now).seconds) + "\n" + calendar.zoneId() + "\n";
    if (const auto kept = store.remembered(kMirrorsKey)) {
        if (auto mirrors = decodeMirrors(day, *kept)) {
            return std::move(*mirrors);
        }
    }
    auto mirrors = MirrorDetection::scan(store, now, calendar);
    store.remember(kMirrorsKey, encodeMirrors(day, mirrors));
    return mirrors;
}

} // namespace plannery::cli
