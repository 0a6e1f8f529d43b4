#include "cli/OpenStore.h"

namespace plannery::cli {

namespace fs = std::filesystem;

namespace {

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
                                          const Calendar& calendar, VdirOptions::Check check,
                                          bool verbose, std::ostream& err,
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
                    .check = check,
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

} // namespace plannery::cli
