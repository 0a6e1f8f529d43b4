#include "app/AppOptions.h"

#include "model/Calendar.h"

namespace plannery {

namespace {

bool isLink(const std::string& argument) {
    return argument.starts_with("plannery:");
}

} // namespace

bool opensWindow(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return true;
    }
    const std::string& first = arguments.front();
    return isLink(first) || (first.starts_with("-") && first != "-h" && first != "--help");
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
