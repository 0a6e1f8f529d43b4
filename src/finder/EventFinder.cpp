#include "finder/EventFinder.h"

namespace plannery::EventFinder {

std::string_view engineKey(Source source) {
    return source == Source::localModel ? "local-model" : "builtin";
}

std::optional<Source> sourceFromKey(std::string_view key) {
    for (Source source : {Source::builtinReader, Source::localModel}) {
        if (key == engineKey(source)) {
            return source;
        }
    }
    return std::nullopt;
}

Source chosenEngine(const std::optional<std::string>& preference) {
    const auto source = preference ? sourceFromKey(*preference) : std::nullopt;
    return source.value_or(Source::builtinReader);
}

std::string engineName(Source source, Position position) {
    std::string name = source == Source::localModel ? "the local model" : "the Built-in Reader";
    if (position == Position::startOfSentence) {
        name[0] = 'T';
    }
    return name;
}

std::string foundBy(Source source) {
    return "Found by " + engineName(source) + " on this computer.";
}

} // namespace plannery::EventFinder
