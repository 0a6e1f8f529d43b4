#pragma once

#include "finder/ReaderText.h"
#include "finder/TextFacts.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace plannery::reader {

// A piece of a line outside its dates, times, lengths and zones.
struct Segment {
    std::size_t begin = 0; // tokens
    std::size_t end = 0;
    bool label = false; // the words before the line's leading colon
};

// The pieces of a line between its dates, times, lengths and zones, split at column gaps,
// bullets, bars, commas, parentheses, semicolons, "@", sentence ends and dashes with spaces around.
std::vector<Segment> freeSegments(const Line& line, const LineFacts& facts);

// "TSV Eichenau – FC Puchheim", "Ashby v Hinckley" in a fixture list: the row's first two
// pieces joined by a dash, or its first piece split by "v" or "vs", as the two sides of a match,
// when one side plays in another of the `rows` too (and is no room or hall). The piece from the
// first side to the second.
std::optional<Segment> fixtureSides(const TextFacts& text, const std::vector<std::size_t>& rows,
                                    std::size_t row);

// Whether a piece says something: a word of two or more letters that is not a filler, a
// greeting, or the name of a weekday or month.
bool hasSubstance(const Line& line, const Segment& segment, const std::string& localeId);

// Whether token `at` ends a sentence (see endsSentenceAt), unless it is the stop of a short
// abbreviation before a name ("in St. Colman's Church", "with Dr. Rao").
bool endsSentence(const Line& line, std::size_t at);

// The tokens of the sentence of a line that holds token k: between the stops that end sentences.
Segment sentenceAround(const Line& line, std::size_t k);

// Number of words in a piece.
std::size_t wordCount(const Line& line, const Segment& segment);

// Whether the tokens from `k` on give a reference, not a name: "Ref CMH-58213", "Dossier n°
// ONT-7741", "Order #40213", "Buchungsnummer 88123".
bool isReference(const Line& line, std::size_t k);

// The first token of a piece after a lead-in such as "Join us for" or "Welcome to our"; the piece's
// first token without one.
std::size_t afterLeadIn(const Line& line, const Segment& segment);

// The piece's text with separators at either end and lead-ins such as "Join us for" or
// "Einladung zum" removed.
std::string segmentText(const Line& line, Segment segment);

} // namespace plannery::reader
