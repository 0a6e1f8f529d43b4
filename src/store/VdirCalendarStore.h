#pragma once

#include "platform/VdirEventStore.h"
#include "store/CalendarStore.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QSettings;

namespace plannery {

class SharedKeychain;

// The calendar store as the app and the command line run it: on vdir roots, with the index
// cache, a watcher of the folders, the zone and midnight checks, and the app's preferences.
struct VdirSetup {
    // Empty: the roots kept in the preferences ("calendarRoots"), else the default root.
    std::vector<std::filesystem::path> roots{};
    std::filesystem::path cacheFile{}; // empty: the default index cache
    QSettings* defaults = nullptr;     // must outlive the store
    SharedKeychain* keychain = nullptr;
    // A zone for this run instead of the system's.
    std::optional<std::string> zone{};
    // The user's addresses for this run (--email) instead of the preferences' "Your e-mail
    // addresses".
    std::optional<std::vector<std::string>> ownAddresses{};
    // How the first read compares the files with the index; the quick look (only folders whose
    // time changed) is to be followed by checkEveryFile.
    VdirOptions::Check check = VdirOptions::Check::everyFile;
};

// The roots kept in the preferences, or the default root.
std::vector<std::filesystem::path> configuredRoots(QSettings& defaults);

std::unique_ptr<CalendarStore> makeVdirCalendarStore(const VdirSetup& setup);

// Compares every file with the index in the background, and shows what changed, on a store made
// by makeVdirCalendarStore (the app, after its first paint).
void checkEveryFile(CalendarStore& store);

} // namespace plannery
