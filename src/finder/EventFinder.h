#pragma once

#include "finder/EventDraft.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What every event finder engine shares: which engine it is, how it is named to the user, and the
// failure it reports.
namespace plannery::EventFinder {

// The engine that produced a set of drafts.
enum class Source { builtinReader, localModel };

// The shared preference that names the chosen engine; its values are engineKey()'s.
inline constexpr std::string_view kEnginePreference = "eventFinderEngine";
// "builtin" or "local-model".
std::string_view engineKey(Source source);
// The engine a preference value names; none for anything else.
std::optional<Source> sourceFromKey(std::string_view key);
// The engine a stored preference chooses: the Built-in Reader unless it names the local model.
Source chosenEngine(const std::optional<std::string>& preference);

enum class Position { startOfSentence, inSentence };
// "the Built-in Reader", "the local model"; capitalised at the start of a sentence.
std::string engineName(Source source, Position position = Position::inSentence);
// "Found by the Built-in Reader on this computer."
std::string foundBy(Source source);

// A failure the user must see: a complete sentence, shown unchanged.
struct Failure {
    std::string message{};

    const std::string& description() const { return message; }
    friend bool operator==(const Failure&, const Failure&) = default;
};

// When recognised text is blank there is nothing to give an engine.
inline constexpr std::string_view kNoTextInImage = "Plannery couldn't find any text in this image.";

// What one run of an engine gives: the drafts in the engine's order, or a failure. A cancelled run
// gives neither and its caller shows nothing.
struct Result {
    std::vector<EventDraft> drafts{};
    std::optional<Failure> failure{};
    bool cancelled = false;

    friend bool operator==(const Result&, const Result&) = default;
};

} // namespace plannery::EventFinder
