#include "store/CalendarIDMigration.h"

#include "store/CalendarPreferences.h"
#include "store/SharedPrefs.h"
#include "store/SharedSettings.h"

#include <charconv>
#include <set>

namespace plannery::CalendarIDMigration {

namespace {

namespace fs = std::filesystem;

// As the event store makes its roots absolute and normal.
fs::path normalRoot(const fs::path& root) {
    std::error_code ignored;
    fs::path path = fs::absolute(root, ignored).lexically_normal();
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path()) {
        path = path.parent_path();
    }
    return path;
}

std::vector<std::string> migratedAll(std::vector<std::string> ids,
                                     const std::vector<fs::path>& roots) {
    for (auto& id : ids) {
        id = migrated(id, roots);
    }
    return ids;
}

} // namespace

std::string migrated(const std::string& id, const std::vector<fs::path>& roots) {
    if (id.empty() || id.front() == '/' || roots.empty()) {
        return id;
    }
    if (roots.size() == 1) {
        return (normalRoot(roots.front()) / id).string();
    }
    const auto colon = id.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == id.size()) {
        return id; // not written by any of these roots
    }
    std::size_t index = 0;
    const auto [end, error] = std::from_chars(id.data(), id.data() + colon, index);
    if (error != std::errc{} || end != id.data() + colon || index >= roots.size()) {
        return id;
    }
    return (normalRoot(roots[index]) / id.substr(colon + 1)).string();
}

void migrate(QSettings* defaults, SharedKeychain* keychain, const std::vector<fs::path>& roots) {
    if (defaults != nullptr) {
        const auto stored = CalendarPreferences::read(defaults);
        const std::vector<std::string> hidden(stored.hiddenCalendarIDs.begin(),
                                              stored.hiddenCalendarIDs.end());
        if (const auto moved = migratedAll(hidden, roots); moved != hidden) {
            CalendarPreferences::writeHidden(defaults, {moved.begin(), moved.end()});
        }
        auto groups = stored.mirrorGroups;
        for (auto& group : groups) {
            group = migratedAll(std::move(group), roots);
        }
        if (groups != stored.mirrorGroups) {
            CalendarPreferences::writeMirrorGroups(defaults, groups);
        }
    }
    if (keychain == nullptr) {
        return;
    }
    if (const auto shared = SharedSettings::load(*keychain)) {
        auto moved = *shared;
        const auto hidden = migratedAll(moved.hiddenCalendarIDs, roots);
        const std::set<std::string> sorted(hidden.begin(), hidden.end());
        moved.hiddenCalendarIDs.assign(sorted.begin(), sorted.end());
        for (auto& group : moved.mirroredCalendarIDs) {
            group = migratedAll(std::move(group), roots);
        }
        if (moved != *shared) {
            moved.save(*keychain);
        }
    }
    SharedPrefs prefs(*keychain);
    if (const auto calendar = prefs.string(SharedPrefs::imageEventsCalendar)) {
        prefs.set(migrated(*calendar, roots), SharedPrefs::imageEventsCalendar);
    }
}

} // namespace plannery::CalendarIDMigration
