#include "platform/XdgPaths.h"

#include <cstdlib>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

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
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    // Not the shared temporary folder: the caches and settings below it are private, and there
    // another user could have made their folders first.
    if (const passwd* user = ::getpwuid(::getuid());
        user != nullptr && user->pw_dir != nullptr && *user->pw_dir == '/') {
        return user->pw_dir;
    }
    return std::filesystem::temp_directory_path();
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

RuntimeFolder runtimeFolder(const PrivateFolder::User& user) {
    // The session's runtime folder is the user's alone while they are logged in; without a
    // usable one, a folder of the user's own in the shared temporary folder, where another user
    // may have made it first: it is checked before it is used.
    std::filesystem::path folder;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime == '/' && !PrivateFolder::check(runtime, user)) {
        folder = std::filesystem::path(runtime) / "plannery";
    } else {
        std::error_code error;
        std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
        folder = (error ? std::filesystem::path("/tmp") : temporary) /
                 ("plannery-" + std::to_string(user.uid));
    }
    return RuntimeFolder{.path = folder, .problem = PrivateFolder::make(folder, user)};
}

} // namespace plannery::xdg
