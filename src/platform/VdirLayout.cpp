#include "platform/VdirLayout.h"

#include "platform/AtomicFile.h"
#include "platform/VdirMetadata.h"

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plannery::vdir {

namespace {

namespace fs = std::filesystem;

struct Entry {
    std::string name;
    unsigned char type = DT_UNKNOWN;
};

// Every entry but "." and "..": hidden names are among them, as a writer's temporary files are.
std::optional<std::vector<Entry>> listFolder(const fs::path& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::vector<Entry> entries;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            entries.push_back({.name = entry->d_name, .type = entry->d_type});
        }
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

bool endsWithIcs(std::string_view name) {
    return name.size() > 4 && lowered(name.substr(name.size() - 4)) == ".ics";
}

} // namespace

bool isCalendarFileName(std::string_view name) {
    return !name.empty() && name.front() != '.' && name.front() != '~' && name.front() != '#' &&
           endsWithIcs(name);
}

std::optional<std::vector<std::string>> listCalendarFiles(const fs::path& folder) {
    auto entries = listFolder(folder);
    if (!entries) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (auto& entry : *entries) {
        if (entry.type != DT_DIR && isCalendarFileName(entry.name)) {
            names.push_back(std::move(entry.name));
        } else if (entry.type == DT_REG && isLeftover(entry.name)) {
            ::unlink((folder / entry.name).c_str());
        }
    }
    return names;
}

std::optional<FileStamp> statFile(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return FileStamp{.size = static_cast<std::int64_t>(info.st_size),
                     .mtimeNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
                                info.st_mtim.tv_nsec,
                     .inode = static_cast<std::int64_t>(info.st_ino)};
}

std::optional<std::int64_t> folderTime(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

} // namespace plannery::vdir
