#include "widget/WidgetOptions.h"

#include <charconv>
#include <chrono>
#include <cmath>

namespace plannery {

namespace {

template <typename T> std::optional<T> number(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::pair<int, int>> sizeFrom(std::string_view text) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) {
        return std::nullopt;
    }
    const auto width = number<int>(text.substr(0, x));
    const auto height = number<int>(text.substr(x + 1));
    if (!width || !height || *width < 1 || *height < 1 || *width > 4000 || *height > 4000) {
        return std::nullopt;
    }
    return std::pair{*width, *height};
}

std::string inQuotes(std::string_view text) {
    return "\u201C" + std::string(text) + "\u201D";
}

// The offset of "Z", "+01:00", "+0100" or "+01" in seconds east of UTC.
std::optional<int> offsetFrom(std::string_view text) {
    if (text == "Z" || text == "z") {
        return 0;
    }
    if (text.size() < 3 || (text[0] != '+' && text[0] != '-')) {
        return std::nullopt;
    }
    const int sign = text[0] == '-' ? -1 : 1;
    std::string_view rest = text.substr(1);
    std::string digits;
    for (const char c : rest) {
        if (c != ':') {
            digits.push_back(c);
        }
    }
    if (digits.size() != 2 && digits.size() != 4) {
        return std::nullopt;
    }
    const auto hours = number<int>(std::string_view(digits).substr(0, 2));
    const auto minutes =
        digits.size() == 4 ? number<int>(std::string_view(digits).substr(2, 2)) : 0;
    if (!hours || !minutes || *hours > 18 || *minutes > 59) {
        return std::nullopt;
    }
    return sign * (*hours * 3600 + *minutes * 60);
}

} // namespace

std::optional<Instant> parseWidgetNow(std::string_view text, const Calendar& calendar) {
    // YYYY-MM-DDTHH:MM, then optional seconds (and fractions), then optional offset.
    if (text.size() < 16 || text[4] != '-' || text[7] != '-' ||
        (text[10] != 'T' && text[10] != 't' && text[10] != ' ') || text[13] != ':') {
        return std::nullopt;
    }
    const auto year = number<int>(text.substr(0, 4));
    const auto month = number<unsigned>(text.substr(5, 2));
    const auto day = number<unsigned>(text.substr(8, 2));
    const auto hour = number<int>(text.substr(11, 2));
    const auto minute = number<int>(text.substr(14, 2));
    if (!year || !month || !day || !hour || !minute || *hour > 23 || *minute > 59) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year(*year), std::chrono::month(*month),
                                           std::chrono::day(*day)};
    if (!date.ok()) {
        return std::nullopt;
    }
    std::string_view rest = text.substr(16);
    double seconds = 0;
    if (rest.starts_with(":")) {
        std::size_t end = 1;
        while (end < rest.size() && ((rest[end] >= '0' && rest[end] <= '9') || rest[end] == '.')) {
            ++end;
        }
        const auto parsed = number<double>(rest.substr(1, end - 1));
        if (!parsed || end - 1 < 2 || *parsed < 0 || *parsed >= 61) {
            return std::nullopt;
        }
        seconds = *parsed;
        rest = rest.substr(end);
    }
    const double wall =
        static_cast<double>(std::chrono::sys_days(date).time_since_epoch().count()) * 86400.0 +
        *hour * 3600.0 + *minute * 60.0 + seconds;
    if (rest.empty()) {
        // A wall-clock time skipped by a clock change moves forward by the gap, as everywhere.
        const auto whole = calendar.date(*year, static_cast<int>(*month), static_cast<int>(*day),
                                         *hour, *minute, static_cast<int>(seconds));
        if (!whole) {
            return std::nullopt;
        }
        return whole->plus(seconds - std::floor(seconds));
    }
    const auto offset = offsetFrom(rest);
    if (!offset) {
        return std::nullopt;
    }
    return Instant{wall - *offset};
}

std::string widgetUsage() {
    return "Usage: plannery-widget [--family "
           "small|medium|large|extra-large|rectangular|inline]...\n"
           "                      [--root DIR]... [--tz ZONE] [--appearance light|dark]\n"
           "                      [--text-size xs|s|m|l|xl|xxl|xxxl|accessibility]\n"
           "       plannery-widget --render FILE.png --family FAMILY [--now DATETIME]\n"
           "                      [--size WxH] [--scale F] [--root DIR]... [--tz ZONE]\n"
           "                      [--appearance light|dark] [--text-size SIZE]\n"
           "DATETIME is YYYY-MM-DDTHH:MM in the zone, or an ISO 8601 instant with its offset.\n";
}

WidgetOptions parseWidgetOptions(const std::vector<std::string>& arguments) {
    WidgetOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        std::optional<std::string> value;
        if (const std::size_t equals = argument.find('=');
            argument.starts_with("--") && equals != std::string::npos) {
            value = argument.substr(equals + 1);
            argument.resize(equals);
        }
        const auto take = [&]() -> std::optional<std::string> {
            if (value) {
                return value;
            }
            if (i + 1 < arguments.size()) {
                return arguments[++i];
            }
            options.problems.push_back("The option " + argument + " needs a value.");
            return std::nullopt;
        };
        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--family") {
            if (const auto name = take()) {
                if (const auto family = WidgetFamilies::parse(*name)) {
                    options.families.push_back(*family);
                } else {
                    options.problems.push_back(
                        "The family " + inQuotes(*name) +
                        " is not one of small, medium, large, extra-large, rectangular, inline.");
                }
            }
        } else if (argument == "--render") {
            if (const auto file = take()) {
                options.renderFile = *file;
            }
        } else if (argument == "--now") {
            options.now = take();
        } else if (argument == "--size") {
            if (const auto text = take()) {
                options.size = sizeFrom(*text);
                if (!options.size) {
                    options.problems.push_back("The size " + inQuotes(*text) +
                                               " is not WIDTHxHEIGHT in points, such as 364x170.");
                }
            }
        } else if (argument == "--scale") {
            if (const auto text = take()) {
                const auto scale = number<double>(*text);
                if (scale && *scale >= 0.5 && *scale <= 4) {
                    options.scale = *scale;
                } else {
                    options.problems.push_back("The scale " + inQuotes(*text) +
                                               " is not a number from 0.5 to 4.");
                }
            }
        } else if (argument == "--root") {
            if (const auto root = take(); root && !root->empty()) {
                options.roots.emplace_back(*root);
            }
        } else if (argument == "--tz") {
            if (const auto zone = take()) {
                if (Calendar::isKnownZone(*zone)) {
                    options.zone = *zone;
                } else {
                    options.problems.push_back("The time zone " + inQuotes(*zone) +
                                               " is not known; use one such as Europe/Berlin.");
                }
            }
        } else if (argument == "--appearance") {
            if (const auto look = take()) {
                if (*look == "light" || *look == "dark") {
                    options.appearance = *look == "dark" ? Appearance::dark : Appearance::light;
                } else {
                    options.problems.push_back("The appearance " + inQuotes(*look) +
                                               " is neither light nor dark.");
                }
            }
        } else if (argument == "--text-size") {
            if (const auto name = take()) {
                if (const auto size = TextSizes::parse(*name)) {
                    options.textSize = *size;
                } else {
                    options.problems.push_back("The text size " + inQuotes(*name) +
                                               " is not one of xs, s, m, l, xl, xxl, xxxl, "
                                               "accessibility.");
                }
            }
        } else if (argument == "--minute-ms") {
            if (const auto text = take()) {
                const auto ms = number<double>(*text);
                if (ms && std::isfinite(*ms) && *ms >= 10 && *ms <= 3600000) {
                    options.minuteMs = *ms;
                } else {
                    options.problems.push_back("The minute length " + inQuotes(*text) +
                                               " is not a number of milliseconds from 10 up.");
                }
            }
        } else {
            options.problems.push_back("The argument " + inQuotes(arguments[i]) +
                                       " is not an option of plannery-widget.");
        }
    }
    if (options.renderFile && options.families.size() > 1) {
        options.problems.push_back("--render draws one face; name one --family.");
    }
    return options;
}

} // namespace plannery
