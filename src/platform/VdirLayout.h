#pragma once

#include "model/EventStore.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Finding accounts and calendars under the vdir roots. A root holds account folders (each with
// an optional account.ini and calendar folders) and whole-calendar .ics files. A folder in a root
// that itself holds .ics files, a `displayname` or a `color` file (and no account.ini) is taken
// as a calendar, as vdirsyncer lays out collections directly in its storage path; such calendars
// belong to one implicit CalDAV account named after the root.
namespace plannery::vdir {

struct CalendarLocation {
    CalendarHandle calendar;
    // The collection folder; for a calendar kept in one file, the root that holds it.
    std::filesystem::path folder;
    // The file name of a calendar kept in one file; empty for a collection folder.
    std::string wholeFile;
    // Lower-case mail addresses that mark a participant as the current user.
    std::vector<std::string> userAddresses;
    std::size_t rootIndex = 0;
};

struct Layout {
    std::vector<SourceHandle> sources;
    std::vector<CalendarLocation> calendars; // by root, account and calendar folder name
    int existingRoots = 0;
    int readableRoots = 0;
    std::vector<std::string> unreadableFolders; // sentences, missing roots included
};

// Never throws; folders that cannot be read are reported and skipped. Follows symbolic links to
// folders only as deep as the fixed layout goes, so a link loop cannot hang it.
Layout discover(const std::vector<std::filesystem::path>& roots);

// "#RRGGBB" or "#RRGGBBAA" (surrounding white space allowed) as components r, g, b, alpha.
std::optional<PlatformColor> parseColor(std::string_view text);

// ASCII letters in lower case: keys of .ini files, types and e-mail addresses compare so.
std::string lowered(std::string_view text);

// A name that can hold one calendar object: "*.ics", not hidden and not a sync tool's temporary
// file. Whether it is a regular file is checked separately.
bool isCalendarFileName(std::string_view name);

// The candidate calendar file names in a collection folder, sorted; nullopt when the folder
// cannot be read. Temporary files that a killed writer left there are removed on the way.
std::optional<std::vector<std::string>> listCalendarFiles(const std::filesystem::path& folder);

// What a file's identity was when it was read: a change of any part means it must be read again.
struct FileStamp {
    std::int64_t size = 0;
    std::int64_t mtimeNs = 0;
    std::int64_t inode = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// nullopt when the path does not exist or is not a regular file (after following links).
std::optional<FileStamp> statFile(const std::filesystem::path& path);
// A folder's modification time in nanoseconds; nullopt when it is not a folder.
std::optional<std::int64_t> folderTime(const std::filesystem::path& path);

} // namespace plannery::vdir
