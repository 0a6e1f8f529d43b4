#pragma once

#include <filesystem>

namespace plannery::xdg {

// $HOME, else the temporary folder
std::filesystem::path home();
// $XDG_DATA_HOME, else ~/.local/share
std::filesystem::path dataHome();
// $XDG_CACHE_HOME, else ~/.cache
std::filesystem::path cacheHome();
// $XDG_CONFIG_HOME, else ~/.config
std::filesystem::path configHome();

} // namespace plannery::xdg
