#include "platform/XdgPaths.h"

#include <cstdlib>

namespace plannery::xdg {

namespace {

// XDG base folders are absolute paths; a relative value is ignored.
std::filesystem::path fromEnvironment(const char* name, const char* fallbackBelowHome) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value == '/') {
        return value;
    }
    return home() / fallbackBelowHome;
}

} // namespace

std::filesystem::path home() {
    const char* home = std::getenv("HOME");
    return (home != nullptr && *home != '\0') ? std::filesystem::path(home)
                                              : std::filesystem::temp_directory_path();
}

std::filesystem::path dataHome() {
    return fromEnvironment("XDG_DATA_HOME", ".local/share");
}
std::filesystem::path cacheHome() {
    return fromEnvironment("XDG_CACHE_HOME", ".cache");
}
std::filesystem::path configHome() {
    return fromEnvironment("XDG_CONFIG_HOME", ".config");
}

} // namespace plannery::xdg
