// The find command's arguments. They are read by the program itself, so that a wrong one is
// said before the module that reads pictures is loaded.

#include "cli/Options.h"

#include "cli/ArgumentReader.h"

namespace plannery::cli {

ParseResult parseFind(const std::vector<std::string>& arguments) {
    FindOptions options;
    bool calendarGiven = false;
    ArgumentReader reader;
    reader.option("--text", [&](const std::string& value) -> std::string {
        if (options.textFile) {
            return "Give --text once; put several texts in one file.";
        }
        options.textFile = value;
        return {};
    });
    reader.option("--image", [&](const std::string& value) -> std::string {
        options.images.emplace_back(value);
        return {};
    });
    reader.option("--engine", [&](const std::string& value) -> std::string {
        const auto source = EventFinder::sourceFromKey(value);
        if (!source) {
            return "The option --engine takes builtin or local-model, not \"" + value + "\".";
        }
        options.engine = *source;
        return {};
    });
    reader.option("--url", [&](const std::string& value) -> std::string {
        options.url = value;
        return {};
    });
    reader.option("--now", dateTimeInto(options.now, "--now"));
    reader.option("--tz", zoneInto(options.zone));
    reader.flag("--json", [&] { options.format = Format::json; });
    reader.flag("--add", [&] { options.add = true; });
    reader.option("--calendar", [&](const std::string& value) -> std::string {
        options.calendar = value;
        calendarGiven = true;
        return {};
    });
    reader.option("--root", rootInto(options.roots));
    if (auto error = readWithoutPositional(reader, arguments); !error.empty()) {
        return ParseResult{.invocation = {}, .error = error};
    }
    std::string error;
    if (!options.textFile && options.images.empty()) {
        error = "The find command needs --text FILE (- for the standard input) or --image FILE.";
    } else if (options.add && options.calendar.empty()) {
        error = "--add needs --calendar with a calendar's identifier (`plannery calendars` lists "
                "them).";
    } else if (!options.add && calendarGiven) {
        error = "--calendar is for --add.";
    } else if (options.url && options.engine != EventFinder::Source::localModel) {
        error = "--url is for --engine local-model.";
    }
    if (!error.empty()) {
        return ParseResult{.invocation = {}, .error = error};
    }
    return ParseResult{.invocation = options, .error = {}};
}

} // namespace plannery::cli
