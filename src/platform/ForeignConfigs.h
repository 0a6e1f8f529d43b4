#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

// Calendar folders that other vdir programs on this computer are configured with, so that a user
// who already syncs or reads calendars sees them without pointing Plannery at them by hand.
namespace plannery::vdir {

// The roots named by khal's configuration (each calendar's folder, and the folders a discover
// pattern matches, or the folder that holds only matches) and by vdirsyncer's filesystem storages
// of .ics files, under the given configuration folder ($XDG_CONFIG_HOME). The home folder and the
// folders above it are never roots. Only folders that exist are returned, each once, in the
// order found.
std::vector<std::filesystem::path> foreignRoots(const std::filesystem::path& configHome,
                                                const std::filesystem::path& home);

// The same, from the texts of the two files; "~" expands to `home`.
std::vector<std::filesystem::path> khalRoots(std::string_view config,
                                             const std::filesystem::path& home);
std::vector<std::filesystem::path> vdirsyncerRoots(std::string_view config,
                                                   const std::filesystem::path& home);

} // namespace plannery::vdir
