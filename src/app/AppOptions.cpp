#include "app/AppOptions.h"

#include "model/Calendar.h"

#include <algorithm>

namespace plannery {

namespace {

bool isLink(const std::string& argument) {
    return argument.starts_with("plannery:");
}

} // namespace

bool opensWindow(const std::vector<std::string>& arguments) {
    // Asking for the usage or the version never opens the window, whatever else is given.
    for (const auto& argument : arguments) {
        if (argument == "-h" || argument == "--help" || argument == "--version") {
            return false;
        }
    }
    if (arguments.empty()) {
        return true;
    }
    const std::string& first = arguments.front();
    return isLink(first) || first.starts_with("-");
}

bool displayAvailable(const std::function<std::optional<std::string>(const char* name)>& variable) {
    const auto named = [&](const char* name) {
        const auto value = variable(name);
        return value && !value->empty();
    };
    if (named("DISPLAY") || named("WAYLAND_DISPLAY")) {
        return true;
    }
    // A list such as "wayland;xcb" is tried in order; a platform that draws elsewhere
    // (offscreen, vnc, eglfs, linuxfb) needs no display.
    const std::string platforms = variable("QT_QPA_PLATFORM").value_or("");
    std::size_t begin = 0;
    while (begin < platforms.size()) {
        const auto end = std::min(platforms.find(';', begin), platforms.size());
        const std::string entry = platforms.substr(begin, end - begin);
        const std::string name = entry.substr(0, entry.find(':'));
        if (!name.empty() && name != "xcb" && !name.starts_with("wayland")) {
            return true;
        }
        begin = end + 1;
    }
    return false;
}

AppOptions parseAppOptions(const std::vector<std::string>& arguments) {
    AppOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto value = [&](std::string_view name) -> std::optional<std::string> {
            if (argument.starts_with(std::string(name) + "=")) {
                return argument.substr(name.size() + 1);
            }
            if (argument == name) {
                if (i + 1 < arguments.size() && !arguments[i + 1].starts_with("-")) {
                    return arguments[++i];
                }
                options.problems.push_back("The option " + std::string(name) +
                                           " needs a value; it was ignored.");
                return std::string();
            }
            return std::nullopt;
        };
        if (const auto root = value("--root")) {
            if (!root->empty()) {
                options.roots.emplace_back(*root);
            }
        } else if (const auto zone = value("--tz")) {
            if (zone->empty()) {
                continue;
            }
            if (Calendar::isKnownZone(*zone)) {
                options.zone = *zone;
            } else {
                options.problems.push_back("The time zone " + *zone +
                                           " is unknown; the system's zone is used.");
            }
        } else if (argument == "--quit-after-first-paint") {
            options.quitAfterFirstPaint = true;
        } else if (isLink(argument)) {
            options.url = argument;
        } else {
            options.launchArguments.push_back(argument);
        }
    }
    return options;
}

} // namespace plannery
