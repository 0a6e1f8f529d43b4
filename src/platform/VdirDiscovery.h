#pragma once

#include "model/EventStore.h"

#include <filesystem>
#include <string>
#include <vector>

// Finding the accounts and calendars under the vdir roots, in every layout that vdirsyncer and
// khal write:
// - A folder below a root (at most kMaxDepth levels down) is a calendar when it holds .ics files,
//   a `displayname` or a `color` file, or when it sits directly in an account folder (a sync tool
//   creates a collection before its first event arrives). Folders with an account.ini are
//   accounts, and so is any folder that holds a calendar.
// - A root that is itself such a folder (khal's `path =` naming one collection, vdirsyncer with
//   `collections = null`), or an empty root, is one calendar. Otherwise the .ics files directly
//   in a root are whole calendars kept in one file (subscriptions and exports).
// - A calendar's account is the folder that holds it; a calendar directly in a root, or the root
//   itself, belongs to an account named after the root folder.
// - Hidden folders (".*") are skipped; links to folders are followed, but not links found inside
//   a followed link, and never back into a folder that holds them.
//
// A calendar is identified by the absolute path of its folder (of its file, for a calendar kept
// in one file) as reached from its root, so that adding, removing or reordering roots never
// renames one. A folder reached along several paths is listed once: by the path without links,
// from the root highest up, and then by the first path in byte order.
namespace plannery::vdir {

inline constexpr int kMaxDepth = 4;

struct CalendarLocation {
    CalendarHandle calendar;
    // The collection folder; for a calendar kept in one file, the root that holds it.
    std::filesystem::path folder;
    // The file name of a calendar kept in one file; empty for a collection folder.
    std::string wholeFile;
    // Lower-case mail addresses that the account's folder names as the user's: the `emails` of
    // its account.ini, and its title when that is an address.
    std::vector<std::string> accountAddresses;
    // Those, the calendar's title when that is an address, and the addresses the store was told
    // or found: a participant with one of them is the current user. Filled in by the store.
    std::vector<std::string> userAddresses;
    // calendar.ini says `default = true`.
    bool isDefault = false;
};

struct Layout {
    std::vector<SourceHandle> sources;       // by identifier
    std::vector<CalendarLocation> calendars; // by identifier
    int existingRoots = 0;
    int readableRoots = 0;
    std::vector<std::string> unreadableFolders; // sentences about roots, missing ones included
    // Sentences about folders and files that were skipped or read other than as written.
    std::vector<std::string> notes;
};

// How much is read at most, so that a folder of a hundred thousand empty folders neither takes
// minutes nor makes as many calendars; past either, a sentence says what was left out.
struct DiscoveryLimits {
    std::size_t foldersPerRoot = 10000;
    std::size_t calendars = 1000;
};

// Never throws and never changes anything on disk. `roots` must be absolute and normal.
Layout discover(const std::vector<std::filesystem::path>& roots, DiscoveryLimits limits = {});

} // namespace plannery::vdir
