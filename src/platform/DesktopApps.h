#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The desktop's default applications, as the freedesktop.org files name them: which desktop
// entry opens a MIME type (mimeapps.list) and the command line that entry runs.
namespace plannery::DesktopApps {

// Where the lookup reads, most important first.
struct Folders {
    std::vector<std::filesystem::path> config{};       // $XDG_CONFIG_HOME, then $XDG_CONFIG_DIRS
    std::vector<std::filesystem::path> applications{}; // $XDG_DATA_HOME and $XDG_DATA_DIRS, each
                                                       // with "applications" appended
};

// The folders of this session's environment.
Folders sessionFolders();

// The defaults a mimeapps.list text gives a MIME type, in their order.
std::vector<std::string> defaultsIn(std::string_view mimeappsList, std::string_view mimeType);

// The program and arguments of a desktop entry's Exec key, with its field codes (%u, %F ...)
// removed and quoting undone; none when the entry has no usable Exec, is hidden or is not an
// application.
std::optional<std::vector<std::string>> commandOf(std::string_view desktopEntry);

// The command of the default application of a MIME type: the first default, in the first
// mimeapps.list that names one, whose desktop file exists and runs something.
std::optional<std::vector<std::string>> defaultCommand(std::string_view mimeType,
                                                       const Folders& folders);

} // namespace plannery::DesktopApps
