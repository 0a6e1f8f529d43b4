#pragma once

#include "platform/PrivateFolder.h"

#include <filesystem>
#include <optional>
#include <string>

namespace plannery::xdg {

// $HOME, else the user's home folder from the user database, else the temporary folder
std::filesystem::path home();
// $XDG_DATA_HOME, else ~/.local/share
std::filesystem::path dataHome();
// $XDG_CACHE_HOME, else ~/.cache
std::filesystem::path cacheHome();
// $XDG_CONFIG_HOME, else ~/.config
std::filesystem::path configHome();

struct RuntimeFolder {
    std::filesystem::path path;
    std::optional<std::string> problem; // why the folder must not be used, a clause
};
// The folder for this session's files that no other user may see or change (the share file, the
// instance socket): "plannery" in $XDG_RUNTIME_DIR when that is an absolute path to a folder of
// the user's own closed to everyone else, otherwise "plannery-<uid>" in the temporary folder.
// Made when missing and checked as PrivateFolder::make does; with a problem the folder is not to
// be used at all.
RuntimeFolder runtimeFolder(const PrivateFolder::User& user = {});

} // namespace plannery::xdg
