#include "platform/ForeignConfigs.h"

#include "platform/VdirLayout.h"
#include "platform/VdirMetadata.h"
#include "platform/VdirScan.h"

#include <algorithm>
#include <set>
#include <string>

#include <glob.h>

namespace plannery::vdir {

namespace {

namespace fs = std::filesystem;

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// A value as both files write it: bare, or in single or double quotes.
std::string unquoted(std::string_view value) {
    value = trimmed(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

fs::path expanded(const std::string& path, const fs::path& home) {
    if (path == "~") {
        return home;
    }
    if (path.starts_with("~/")) {
        return home / path.substr(2);
    }
    return path;
}

fs::path normal(fs::path path) {
    path = path.lexically_normal();
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path()) {
        path = path.parent_path();
    }
    return path;
}

// An INI-like file read line by line: the section headers seen so far (by depth, as khal nests
// them with [[...]]), and each key with its value.
template <typename Visit> void readIni(std::string_view text, Visit visit) {
    std::vector<std::string> sections;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const auto line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == '#' || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const auto depth = line.find_first_not_of('[');
            const auto close = line.find(']');
            if (depth == std::string_view::npos || close == std::string_view::npos ||
                close < depth) {
                continue;
            }
            sections.resize(depth - 1);
            sections.emplace_back(trimmed(line.substr(depth, close - depth)));
            continue;
        }
        const auto equals = line.find('=');
        if (equals != std::string_view::npos) {
            visit(sections, lowered(trimmed(line.substr(0, equals))),
                  unquoted(line.substr(equals + 1)));
        }
    }
}

bool holdsCalendarFiles(const fs::path& folder) {
    const auto names = listCalendarFiles(folder);
    return names && !names->empty();
}

// The home folder, or a folder that holds it: never a root, whatever a configuration says (it
// would read every folder the user has).
bool isHomeOrAbove(const fs::path& folder, const fs::path& home) {
    const fs::path inside = normal(home).lexically_relative(normal(folder));
    return inside.empty() ? normal(folder) == normal(home) : *inside.begin() != "..";
}

void add(std::vector<fs::path>& roots, const fs::path& root, const fs::path& home) {
    if (!root.empty() && !isHomeOrAbove(root, home) &&
        std::find(roots.begin(), roots.end(), root) == roots.end()) {
        roots.push_back(root);
    }
}

// The folders a khal discover pattern matches, as roots. A folder that holds only matches (and
// no calendar files of its own) is their account, so it is the root and they are its calendars;
// otherwise each match is a root of its own, so that nothing the pattern leaves out is read.
std::vector<fs::path> discoverRoots(const fs::path& pattern, const fs::path& home) {
    glob_t found{};
    std::set<fs::path> matches;
    if (::glob(pattern.c_str(), GLOB_ONLYDIR, nullptr, &found) == 0) {
        for (std::size_t i = 0; i < found.gl_pathc; ++i) {
            std::error_code error;
            const fs::path match = normal(found.gl_pathv[i]);
            if (fs::is_directory(match, error)) {
                matches.insert(match);
            }
        }
    }
    ::globfree(&found);
    const auto onlyMatches = [&](const fs::path& folder) {
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            const auto name = it->path().filename().string();
            if (!name.starts_with(".") && it->is_directory(error) &&
                !matches.contains(it->path())) {
                return false;
            }
        }
        return !error && !holdsCalendarFiles(folder);
    };
    std::vector<fs::path> roots;
    for (const auto& match : matches) {
        const fs::path parent = match.parent_path();
        add(roots, !isHomeOrAbove(parent, home) && onlyMatches(parent) ? parent : match, home);
    }
    return roots;
}

} // namespace

std::vector<fs::path> khalRoots(std::string_view config, const fs::path& home) {
    struct Entry {
        std::string path;
        std::string type = "calendar";
    };
    std::vector<std::pair<std::string, Entry>> calendars;
    readIni(config, [&](const std::vector<std::string>& sections, const std::string& key,
                        const std::string& value) {
        if (sections.size() != 2 || lowered(sections[0]) != "calendars") {
            return;
        }
        auto found = std::find_if(calendars.begin(), calendars.end(),
                                  [&](const auto& entry) { return entry.first == sections[1]; });
        if (found == calendars.end()) {
            calendars.emplace_back(sections[1], Entry{});
            found = calendars.end() - 1;
        }
        if (key == "path") {
            found->second.path = value;
        } else if (key == "type") {
            found->second.type = lowered(value);
        }
    });
    std::vector<fs::path> roots;
    for (const auto& [name, entry] : calendars) {
        if (entry.path.empty() || entry.type == "birthdays") {
            continue; // birthdays are address books, not calendars
        }
        const fs::path path = expanded(entry.path, home);
        if (entry.type == "discover") {
            for (const auto& root : discoverRoots(path, home)) {
                add(roots, root, home);
            }
        } else {
            add(roots, normal(path), home);
        }
    }
    return roots;
}

std::vector<fs::path> vdirsyncerRoots(std::string_view config, const fs::path& home) {
    struct Storage {
        std::string type;
        std::string path;
        std::string fileext;
    };
    std::vector<std::pair<std::string, Storage>> storages;
    readIni(config, [&](const std::vector<std::string>& sections, const std::string& key,
                        const std::string& value) {
        if (sections.size() != 1 || !sections[0].starts_with("storage ")) {
            return;
        }
        auto found = std::find_if(storages.begin(), storages.end(),
                                  [&](const auto& entry) { return entry.first == sections[0]; });
        if (found == storages.end()) {
            storages.emplace_back(sections[0], Storage{});
            found = storages.end() - 1;
        }
        if (key == "type") {
            found->second.type = value;
        } else if (key == "path") {
            found->second.path = value;
        } else if (key == "fileext") {
            found->second.fileext = value;
        }
    });
    std::vector<fs::path> roots;
    for (const auto& [name, storage] : storages) {
        if (storage.type != "filesystem" || storage.path.empty() ||
            lowered(storage.fileext) != ".ics") {
            continue;
        }
        // With collections or without (then the folder is one calendar), the folder is the root.
        add(roots, normal(expanded(storage.path, home)), home);
    }
    return roots;
}

std::vector<fs::path> foreignRoots(const fs::path& configHome, const fs::path& home) {
    std::vector<fs::path> found;
    if (const auto text = readFile(configHome / "khal" / "config")) {
        found = khalRoots(*text, home);
    }
    if (const auto text = readFile(configHome / "vdirsyncer" / "config")) {
        for (const auto& root : vdirsyncerRoots(*text, home)) {
            add(found, root, home);
        }
    }
    std::vector<fs::path> existing;
    std::error_code error;
    for (const auto& root : found) {
        if (fs::is_directory(root, error)) {
            existing.push_back(root);
        }
    }
    return existing;
}

} // namespace plannery::vdir
