#pragma once

#include "finder/ReaderText.h"
#include "finder/ReaderVocabulary.h"

#include <algorithm>
#include <cstddef>
#include <vector>

// What the parts of the place picker share: how long a venue's name runs, the words for a place,
// and whether a token lies in a day or time.
namespace plannery::reader {

inline constexpr std::size_t kLongestVenue = 7; // words

// Whether token `k` lies in one of the mentions (of times or of dates) found on its line.
template <typename Mention> bool within(const std::vector<Mention>& mentions, std::size_t k) {
    return std::any_of(mentions.begin(), mentions.end(),
                       [k](const Mention& m) { return k >= m.begin && k < m.end; });
}

// "Parkmöglichkeiten finden Sie im Parkhaus Am Lindentor", "Free parking at the Elm Street car
// park": a line about where to leave the car, which names no place of the event.
inline bool speaksOfParking(const Line& line) {
    return std::any_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
        return isWordIn(&t, {"parking", "parken", "parkmoglichkeit", "parkmoglichkeiten",
                             "parkplatze", "stationnement", "stationner", "garer"});
    });
}

// Whether the tokens from `begin` to `end` (at most to the line's end) hold a word for a place
// ("hall", "salle").
inline bool hasVenueWord(const Line& line, std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end && k < line.tokens.size(); ++k) {
        if (line.tokens[k].isWord() && Vocabulary::isVenueWord(line.tokens[k].key)) {
            return true;
        }
    }
    return false;
}

// Whether the tokens from `begin` to `end` name a part of a building: "Ground Floor", "Block C",
// "Suite 300", "2. Stock".
inline bool hasBuildingPart(const Line& line, std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end && k < line.tokens.size(); ++k) {
        if (isWordIn(&line.tokens[k],
                     {"floor", "suite", "wing", "ward", "block", "building", "etage", "stock",
                      "obergeschoss", "untergeschoss", "gebaude", "batiment"})) {
            return true;
        }
    }
    return false;
}

} // namespace plannery::reader
