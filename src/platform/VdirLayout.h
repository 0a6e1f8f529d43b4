#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The files of vdir collection folders: which names are calendar objects, and what a file's
// identity was when it was read.
namespace plannery::vdir {

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
