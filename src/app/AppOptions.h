#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace plannery {

// How `plannery` was asked to open its window: on which calendar folders and zone, with a link
// to open, and the launch options (the day, a sheet) that the navigation reads.
struct AppOptions {
    std::vector<std::filesystem::path> roots{}; // empty: the configured roots
    std::optional<std::string> zone{};
    std::optional<std::string> url{}; // a "plannery://" link
    // Print the time from start to the first painted view, then quit.
    bool quitAfterFirstPaint = false;
    // Everything else, for the launch options.
    std::vector<std::string> launchArguments{};
    // One sentence per argument that could not be used; the run goes on without it.
    std::vector<std::string> problems{};
};

// Whether the arguments (without the program's name) open the window rather than run a
// command: none at all, a link, or options (other than help) before any command.
bool opensWindow(const std::vector<std::string>& arguments);

AppOptions parseAppOptions(const std::vector<std::string>& arguments);

// Whether the window can be shown: an X11 or Wayland display is named, or QT_QPA_PLATFORM picks
// a platform that needs neither (offscreen, vnc, eglfs…). `variable` reads the environment.
bool displayAvailable(const std::function<std::optional<std::string>(const char* name)>& variable);

// What `plannery` says when it cannot open its window.
inline constexpr const char* kNoDisplay =
    "No display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set): start "
    "Plannery in a desktop session, or use a command such as `plannery agenda` (see `plannery "
    "--help`).";

} // namespace plannery
