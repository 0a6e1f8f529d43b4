#include "platform/DesktopApps.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace plannery::DesktopApps {

namespace {

namespace fs = std::filesystem;

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

// Each "key=value" line of one [group] of an ini-like text, in order.
template <typename Visit>
void eachEntry(std::string_view text, std::string_view group, Visit visit) {
    bool inGroup = false;
    std::size_t from = 0;
    while (from < text.size()) {
        auto end = text.find('\n', from);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = trimmed(text.substr(from, end - from));
        from = end + 1;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inGroup = line == "[" + std::string(group) + "]";
            continue;
        }
        const auto equals = line.find('=');
        if (inGroup && equals != std::string_view::npos) {
            visit(trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)));
        }
    }
}

std::optional<std::string> readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<fs::path> pathList(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    std::string text = value && *value ? value : fallback;
    std::vector<fs::path> paths;
    std::stringstream in(text);
    for (std::string piece; std::getline(in, piece, ':');) {
        if (!piece.empty()) {
            paths.emplace_back(piece);
        }
    }
    return paths;
}

fs::path home(const char* variable, const char* underHome) {
    if (const char* value = std::getenv(variable); value && *value) {
        return value;
    }
    const char* homeDir = std::getenv("HOME");
    return fs::path(homeDir ? homeDir : "/") / underHome;
}

// Splits an Exec value into words: double quotes group, a backslash escapes inside them.
std::vector<std::string> words(std::string_view exec) {
    std::vector<std::string> result;
    std::string word;
    bool quoted = false;
    bool inWord = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '\\' && i + 1 < exec.size()) {
                word += exec[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord) {
                result.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        result.push_back(std::move(word));
    }
    return result;
}

} // namespace

Folders sessionFolders() {
    Folders folders;
    folders.config.push_back(home("XDG_CONFIG_HOME", ".config"));
    for (auto& path : pathList("XDG_CONFIG_DIRS", "/etc/xdg")) {
        folders.config.push_back(std::move(path));
    }
    folders.applications.push_back(home("XDG_DATA_HOME", ".local/share") / "applications");
    for (auto& path : pathList("XDG_DATA_DIRS", "/usr/local/share:/usr/share")) {
        folders.applications.push_back(path / "applications");
    }
    return folders;
}

std::vector<std::string> defaultsIn(std::string_view mimeappsList, std::string_view mimeType) {
    std::vector<std::string> ids;
    eachEntry(mimeappsList, "Default Applications",
              [&](std::string_view key, std::string_view value) {
                  if (key != mimeType) {
                      return;
                  }
                  std::size_t from = 0;
                  while (from < value.size()) {
                      auto end = value.find(';', from);
                      if (end == std::string_view::npos) {
                          end = value.size();
                      }
                      if (const auto id = trimmed(value.substr(from, end - from)); !id.empty()) {
                          ids.emplace_back(id);
                      }
                      from = end + 1;
                  }
              });
    return ids;
}

std::optional<std::vector<std::string>> commandOf(std::string_view desktopEntry) {
    std::string exec;
    bool usable = true;
    bool application = false;
    eachEntry(desktopEntry, "Desktop Entry", [&](std::string_view key, std::string_view value) {
        if (key == "Exec") {
            exec = value;
        } else if (key == "Type") {
            application = value == "Application";
        } else if ((key == "Hidden" || key == "NoDisplay") && value == "true") {
            usable = key == "NoDisplay"; // an entry hidden from menus still opens files
        }
    });
    if (!usable || !application) {
        return std::nullopt;
    }
    std::vector<std::string> command;
    for (std::string& word : words(exec)) {
        // Field codes stand for files or URLs; the calendar program opens without any.
        if (word.size() == 2 && word[0] == '%') {
            continue;
        }
        std::string unescaped;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (word[i] == '%' && i + 1 < word.size() && word[i + 1] == '%') {
                ++i;
            }
            unescaped += word[i];
        }
        command.push_back(std::move(unescaped));
    }
    if (command.empty()) {
        return std::nullopt;
    }
    return command;
}

std::optional<std::vector<std::string>> defaultCommand(std::string_view mimeType,
                                                       const Folders& folders) {
    std::vector<fs::path> lists;
    for (const auto& folder : folders.config) {
        lists.push_back(folder / "mimeapps.list");
    }
    for (const auto& folder : folders.applications) {
        lists.push_back(folder / "mimeapps.list");
    }
    for (const auto& list : lists) {
        const auto text = readText(list);
        if (!text) {
            continue;
        }
        for (const auto& id : defaultsIn(*text, mimeType)) {
            for (const auto& folder : folders.applications) {
                if (const auto entry = readText(folder / id)) {
                    if (auto command = commandOf(*entry)) {
                        return command;
                    }
                }
            }
        }
    }
    return std::nullopt;
}

} // namespace plannery::DesktopApps
