#include "model/LaunchOptions.h"

#include "model/Fmt.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace plannery {

namespace {

constexpr std::string_view kAnchor = "anchor";
constexpr std::array<std::string_view, 4> kSwitches{"showSettings", "showTitlePopover",
                                                    "imageEventsDemo", "widgetGallery"};
// Options that keep their text as written, for the part that reads them.
constexpr std::array<std::string_view, 2> kTexts{"widgetGalleryPage", "widgetGalleryNow"};

std::string lowerTrimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The words a stored or typed switch may hold; anything else is not a switch value.
std::optional<bool> switchValue(std::string_view text) {
    const std::string word = lowerTrimmed(text);
    if (word == "true" || word == "yes" || word == "1") {
        return true;
    }
    if (word == "false" || word == "no" || word == "0") {
        return false;
    }
    return std::nullopt;
}

bool isSwitch(std::string_view name) {
    return std::find(kSwitches.begin(), kSwitches.end(), name) != kSwitches.end();
}

bool isText(std::string_view name) {
    return std::find(kTexts.begin(), kTexts.end(), name) != kTexts.end();
}

// One option as written: its name and, when given with "=", its value.
struct Written {
    std::string_view name;
    std::optional<std::string_view> value;
};

std::optional<Written> optionIn(std::string_view argument) {
    if (argument.starts_with("--")) {
        argument.remove_prefix(2);
    } else if (argument.starts_with("-")) {
        argument.remove_prefix(1);
    } else {
        return std::nullopt;
    }
    const std::size_t equals = argument.find('=');
    if (equals == std::string_view::npos) {
        return Written{.name = argument, .value = std::nullopt};
    }
    return Written{.name = argument.substr(0, equals), .value = argument.substr(equals + 1)};
}

std::string quoted(std::string_view text) {
    return "\u201C" + std::string(text) + "\u201D";
}

// The values read so far, before the command line is applied on top.
struct Values {
    std::optional<Instant> anchor;
    std::map<std::string, bool, std::less<>> switches;
    std::map<std::string, std::string, std::less<>> texts;
};

void readPreferences(const std::map<std::string, std::string>& preferences,
                     const Calendar& calendar, Values& values, std::vector<std::string>& problems) {
    if (const auto stored = preferences.find(std::string(kAnchor)); stored != preferences.end()) {
        values.anchor = Fmt::parseDayKey(stored->second, calendar);
        if (!values.anchor) {
            problems.push_back("The preference “anchor” holds " + quoted(stored->second) +
                               ", which is not a day such as 2026-03-07; the app opens on today.");
        }
    }
    for (const std::string_view name : kTexts) {
        if (const auto stored = preferences.find(std::string(name)); stored != preferences.end()) {
            values.texts[std::string(name)] = stored->second;
        }
    }
    for (const std::string_view name : kSwitches) {
        const auto stored = preferences.find(std::string(name));
        if (stored == preferences.end()) {
            continue;
        }
        if (const auto on = switchValue(stored->second)) {
            values.switches[std::string(name)] = *on;
        } else {
            problems.push_back("The preference " + quoted(name) + " holds " +
                               quoted(stored->second) + ", which is neither true nor false; it " +
                               "is taken as false.");
        }
    }
}

} // namespace

LaunchOptions parseLaunchOptions(const std::vector<std::string>& arguments,
                                 const std::map<std::string, std::string>& preferences,
                                 const Calendar& calendar) {
    LaunchOptions options;
    Values values;
    readPreferences(preferences, calendar, values, options.problems);

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto option = optionIn(arguments[i]);
        if (!option) {
            continue;
        }
        const std::string name(option->name);
        if (option->name == kAnchor) {
            std::optional<std::string_view> text = option->value;
            // A following "-option" is an option of its own, not the day.
            if (!text && i + 1 < arguments.size() && !arguments[i + 1].starts_with("-")) {
                text = arguments[++i];
            }
            if (!text) {
                options.problems.push_back(
                    "The option --anchor needs a day such as 2026-03-07 after it.");
                continue;
            }
            if (const auto day = Fmt::parseDayKey(*text, calendar)) {
                values.anchor = day;
            } else {
                options.problems.push_back("The option --anchor " + quoted(*text) +
                                           " is not a day such as 2026-03-07; it was ignored.");
            }
        } else if (isText(option->name)) {
            std::optional<std::string_view> text = option->value;
            if (!text && i + 1 < arguments.size() && !arguments[i + 1].starts_with("-")) {
                text = arguments[++i];
            }
            if (text) {
                values.texts[name] = std::string(*text);
            } else {
                options.problems.push_back("The option --" + name +
                                           " needs a value after it; it was ignored.");
            }
        } else if (isSwitch(option->name)) {
            if (option->value) {
                if (const auto on = switchValue(*option->value)) {
                    values.switches[name] = *on;
                } else {
                    options.problems.push_back("The option --" + name +
                                               " takes true or false, not " +
                                               quoted(*option->value) + "; it was ignored.");
                }
                continue;
            }
            // "-showSettings YES" is how such a switch is often written; a word that is not a
            // switch value is the next argument, not this one's.
            const auto next =
                i + 1 < arguments.size() ? switchValue(arguments[i + 1]) : std::nullopt;
            values.switches[name] = next.value_or(true);
            if (next) {
                ++i;
            }
        }
    }

    options.anchor = values.anchor;
    const auto switchOf = [&](std::string_view name) {
        const auto found = values.switches.find(name);
        return found != values.switches.end() && found->second;
    };
    options.showSettings = switchOf("showSettings");
    options.showTitlePopover = switchOf("showTitlePopover");
    options.imageEventsDemo = switchOf("imageEventsDemo");
    options.widgetGallery = switchOf("widgetGallery");
    const auto textOf = [&](std::string_view name) {
        const auto found = values.texts.find(name);
        return found != values.texts.end() ? found->second : std::string();
    };
    options.widgetGalleryPage = textOf("widgetGalleryPage");
    options.widgetGalleryNow = textOf("widgetGalleryNow");
    return options;
}

} // namespace plannery
