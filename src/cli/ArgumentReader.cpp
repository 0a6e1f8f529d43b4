#include "cli/ArgumentReader.h"

#include "cli/TypedDates.h"
#include "model/Calendar.h"

namespace plannery::cli {

std::string ArgumentReader::read(const std::vector<std::string>& arguments, std::size_t first,
                                 std::vector<std::string>& positional) const {
    for (std::size_t i = first; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.size() < 2 || argument.front() != '-') {
            positional.push_back(argument);
            continue;
        }
        std::string name = argument;
        std::optional<std::string> value;
        if (const auto equals = argument.find('='); equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        }
        if (auto flag = m_flags.find(name); flag != m_flags.end()) {
            if (value) {
                return "The option " + name + " takes no value.";
            }
            flag->second();
            continue;
        }
        auto valued = m_valued.find(name);
        if (valued == m_valued.end()) {
            return "Unknown option " + name + ".";
        }
        if (!value) {
            if (i + 1 >= arguments.size()) {
                return "The option " + name + " needs a value.";
            }
            value = arguments[++i];
        }
        if (std::string error = valued->second(*value); !error.empty()) {
            return error;
        }
    }
    return {};
}

ArgumentReader::Handler dateTimeInto(std::optional<DateTime>& target, std::string name) {
    return [&target, name](const std::string& value) -> std::string {
        target = parseDateTime(value);
        if (!target) {
            return "The " + name + " time \"" + value +
                   "\" is not a time that exists (days run from 0001-01-01 to 9999-12-31); "
                   "write it as YYYY-MM-DDTHH:MM, YYYY-MM-DD or an instant such as "
                   "2026-03-10T09:00:00+01:00.";
        }
        return {};
    };
}

ArgumentReader::Handler zoneInto(std::optional<std::string>& target) {
    return [&target](const std::string& value) -> std::string {
        if (!Calendar::isKnownZone(value)) {
            return "The time zone \"" + value +
                   "\" is not known; use an identifier such as Europe/Berlin.";
        }
        target = value;
        return {};
    };
}

ArgumentReader::Handler rootInto(std::vector<std::filesystem::path>& roots) {
    return [&roots](const std::string& value) -> std::string {
        if (value.empty()) {
            return "The option --root needs a folder.";
        }
        roots.emplace_back(value);
        return {};
    };
}

std::string noPositional(const std::vector<std::string>& positional) {
    return positional.empty() ? std::string()
                              : "Unexpected argument \"" + positional.front() + "\".";
}

// Reads the options of a sub-command that takes no other arguments; an error sentence or "".
std::string readWithoutPositional(ArgumentReader& reader,
                                  const std::vector<std::string>& arguments) {
    std::vector<std::string> positional;
    if (auto error = reader.read(arguments, 1, positional); !error.empty()) {
        return error;
    }
    return noPositional(positional);
}

} // namespace plannery::cli
