#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

// The names a text offers for one event, each described by a few general features, and the choice
// among them by a weighted sum of those features.
namespace plannery::reader {

enum class TitleFeature : std::size_t {
    ownLine,        // the name stands on the event's own line
    heading,        // the name stands on another line of the text
    listRow,        // the event's own line is a row of a list or schedule
    position,       // the heading's line counted from the top of the text, up to 8
    distance,       // lines between the name and the event's line, up to 8
    below,          // the name stands below the event's line
    otherBlock,     // the name stands in another block of lines than the event
    labelled,       // after a label that says it is the name ("Subject:", "Betreff:")
    generic,        // with a word of a generic heading ("Confirmation", "Update")
    capitals,       // written in capitals
    capitalised,    // most of its words begin with a capital
    eventNoun,      // with a word for an event ("party", "meeting", "Lesung")
    arrow,          // a route ("Leeds → York")
    shortName,      // of eight words or fewer
    skippedGeneric, // a generic piece before it on its line was passed over
    dated,          // its line gives a day or a time
    aboveEvents,    // its line stands just above the first event's
    occasion,       // whose day it is: someone turning an age, a couple marrying
    route,          // a ticket's route near the event
    leg,            // the stops of a leg given on the lines of its times
    sentence,       // the event named in a sentence near its day
    sameLine,       // ... in the sentence that gives the day itself
    trip,           // a visit to the text's place ("Trip to the Science Museum")
    clause,         // the words that lead up to the day ("Pick Gran up from the station")
    venue,          // the name of the text's place
    organisation,   // an organisation's name ("Elmwood Lawn Tennis Club", "Paroisse Saint-Aubin")
    count
};

inline constexpr std::size_t kTitleFeatures = static_cast<std::size_t>(TitleFeature::count);
using TitleFeatures = std::array<double, kTitleFeatures>;

// One name a text offers for an event.
struct TitleOption {
    std::string text{};
    std::size_t line = 0; // the line it stands on
    TitleFeatures features{};

    double& operator[](TitleFeature f) { return features[static_cast<std::size_t>(f)]; }
    double operator[](TitleFeature f) const { return features[static_cast<std::size_t>(f)]; }
};

// The weighted sum of an option's features.
double weigh(const TitleFeatures& features);

// The option of the greatest weight, the first of those that weigh the same; null for none.
const TitleOption* chooseTitle(const std::vector<TitleOption>& options);

// The feature's name as the benchmark writes it ("eventNoun").
const char* featureName(TitleFeature f);

} // namespace plannery::reader
