#include "finder/TitleOptions.h"

#include <iterator>

namespace plannery::reader {

namespace {

// Fitted by bench/title-weights.py on the finder texts: the weights under which the names a
// careful person would enter are the likeliest, held near the rules of thumb they replace
// (headings first, a label such as "Subject:" above all, a row's own line in a list). Refit them
// when a feature is added or changed.
constexpr TitleFeatures kWeights = {
    10.36,  // ownLine
    9.37,   // heading
    20.89,  // listRow
    -2.08,  // position
    -0.08,  // distance
    -1.67,  // below
    -0.86,  // otherBlock
    50.00,  // labelled
    -29.24, // generic
    6.69,   // capitals
    3.62,   // capitalised
    9.68,   // eventNoun
    8.02,   // arrow
    3.74,   // shortName
    -6.28,  // skippedGeneric
    -5.92,  // dated
    3.98,   // aboveEvents
    12.03,  // birthday
    30.20,  // route
    50.01,  // leg
    10.70,  // sentence
    7.17,   // sameLine
    7.92,   // trip
    6.94,   // clause
    5.70,   // venue
};

constexpr const char* kNames[] = {
    "ownLine",        "heading", "listRow",     "position",    "distance",  "below", "otherBlock",
    "labelled",       "generic", "capitals",    "capitalised", "eventNoun", "arrow", "shortName",
    "skippedGeneric", "dated",   "aboveEvents", "birthday",    "route",     "leg",   "sentence",
    "sameLine",       "trip",    "clause",      "venue"};
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
