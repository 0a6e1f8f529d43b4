#include "finder/TitleOptions.h"

#include <iterator>

namespace plannery::reader {

namespace {

// Fitted by bench/title-weights.py on the finder texts: the weights under which the names a
// careful person would enter are the likeliest, held near the rules of thumb they replace
// (headings first, a label such as "Subject:" above all, a row's own line in a list). Refit them
// when a feature is added or changed.
constexpr TitleFeatures kWeights = {
    10.37,  // ownLine
    9.32,   // heading
    20.91,  // listRow
    -2.07,  // position
    -0.07,  // distance
    -1.62,  // below
    -0.55,  // otherBlock
    50.00,  // labelled
    -30.02, // generic
    6.78,   // capitals
    3.61,   // capitalised
    9.72,   // eventNoun
    8.02,   // arrow
    3.72,   // shortName
    -6.28,  // skippedGeneric
    -5.90,  // dated
    4.01,   // aboveEvents
    12.03,  // occasion
    30.22,  // route
    50.01,  // leg
    10.95,  // sentence
    7.05,   // sameLine
    7.92,   // trip
    6.97,   // clause
    5.43,   // venue
    -8.00,  // organisation
};

constexpr const char* kNames[] = {
    "ownLine",        "heading", "listRow",     "position",    "distance",    "below", "otherBlock",
    "labelled",       "generic", "capitals",    "capitalised", "eventNoun",   "arrow", "shortName",
    "skippedGeneric", "dated",   "aboveEvents", "occasion",    "route",       "leg",   "sentence",
    "sameLine",       "trip",    "clause",      "venue",       "organisation"};
static_assert(std::size(kNames) == kTitleFeatures);

} // namespace

double weigh(const TitleFeatures& features) {
    double sum = 0;
    for (std::size_t k = 0; k < kTitleFeatures; ++k) {
        sum += kWeights[k] * features[k];
    }
    return sum;
}

const TitleOption* chooseTitle(const std::vector<TitleOption>& options) {
    const TitleOption* best = nullptr;
    double bestWeight = 0;
    for (const TitleOption& option : options) {
        const double weight = weigh(option.features);
        if (!best || weight > bestWeight) {
            best = &option;
            bestWeight = weight;
        }
    }
    return best;
}

const char* featureName(TitleFeature f) {
    return kNames[static_cast<std::size_t>(f)];
}

} // namespace plannery::reader
