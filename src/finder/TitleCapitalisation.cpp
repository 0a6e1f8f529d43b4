#include "finder/TitlePicking.h"

#include "finder/FinderText.h"

#include <algorithm>
#include <iterator>

// Titles in the capitalisation a person would write them in.
namespace plannery::reader {

namespace {

constexpr std::string_view kSmallWords[] = {
    "a",    "an",  "the", "and", "or",  "of",  "at",   "in",   "on",   "to",  "for", "by",
    "with", "vs",  "v",   "der", "die", "das", "des",  "dem",  "den",  "und", "im",  "am",
    "an",   "auf", "fur", "zum", "zur", "mit", "von",  "vom",  "de",   "du",  "la",  "le",
    "les",  "et",  "au",  "aux", "en",  "sur", "pour", "dans", "chez", "ou"};

// The title with each of its words, as spaces part them, rewritten by `rewrite`.
template <typename Rewrite> std::string eachWord(const std::string& title, Rewrite rewrite) {
    std::string out;
    std::size_t begin = 0;
    while (begin <= title.size()) {
        auto end = title.find(' ', begin);
        if (end == std::string::npos) {
            end = title.size();
        }
        out += (begin == 0 ? "" : " ") + rewrite(title.substr(begin, end - begin));
        begin = end + 1;
    }
    return out;
}

// "Marché De Noël" as "Marché de Noël", "Night Of The Stars" as "Night of the Stars": after the
// first word, articles, prepositions and conjunctions are written small, as is an elided "d'" or
// "l'" ("Fête D'été" as "Fête d'été").
std::string withSmallJoiningWords(const std::string& title) {
    bool first = true;
    return eachWord(title, [&first](std::string word) {
        const std::string key = FinderText::fold(word);
        if (!first && std::find(std::begin(kSmallWords), std::end(kSmallWords), key) !=
                          std::end(kSmallWords)) {
            word = FinderText::lower(word);
        } else if (!first && (key.starts_with("d'") || key.starts_with("l'"))) {
            word = FinderText::lower(word.substr(0, 1)) + word.substr(1);
        }
        first = first && FinderText::letterCount(word) == 0;
        return word;
    });
}

// "HC", "BBQ", "TSV": a word in capitals without a vowel is an abbreviation, not a word shouted;
// a title's or a street's short form ("DR", "ST") or an ordinal ("2ND") is written small.
bool isAbbreviation(std::string_view word) {
    constexpr std::string_view kShortForms[] = {"dr", "mr", "mrs", "ms", "st", "mt",
                                                "ft", "jr", "sr",  "rd", "pl"};
    const std::string key = FinderText::fold(word);
    return FinderText::letterCount(word) >= 2 &&
           std::find(std::begin(kShortForms), std::end(kShortForms), key) ==
               std::end(kShortForms) &&
           std::none_of(word.begin(), word.end(), [](char c) {
               return std::string_view("AEIOUYaeiouy0123456789").find(c) !=
                          std::string_view::npos ||
                      static_cast<unsigned char>(c) >= 0x80;
           });
}

// "SLR-26-3381": letters and digits together are a reference, kept as written; an ordinal
// ("2ND") is not one.
bool isReference(std::string_view word) {
    const bool digits =
        std::any_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
    const std::string key = FinderText::fold(word);
    const bool ordinal = key.ends_with("st") || key.ends_with("nd") || key.ends_with("rd") ||
                         key.ends_with("th") || key.ends_with("e") || key.ends_with("er");
    return digits && !ordinal && FinderText::letterCount(word) >= 2;
}

// A title in capitals with each word capitalised, but its abbreviations and references kept.
std::string capitalizedWords(const std::string& title) {
    return eachWord(title, [](const std::string& word) {
        return isAbbreviation(word) || isReference(word) ? word : FinderText::capitalizeWords(word);
    });
}

} // namespace

std::string normalCapitalisation(const std::string& title) {
    if (FinderText::letterCount(title) >= 4 && FinderText::isAllCaps(title)) {
        return withSmallJoiningWords(capitalizedWords(title));
    }
    // "LES OISEAUX DE PASSAGE – Cie du Vent Tiède": a piece of several words in capitals, set
    // apart by a dash or a colon, is a name shouted.
    std::string pieces;
    for (std::size_t begin = 0; begin < title.size();) {
        std::size_t end = title.size();
        std::size_t next = end;
        for (const std::string_view dash : {" – ", " - ", " — ", " · ", ": "}) {
            if (const auto at = title.find(dash, begin); at != std::string::npos && at < end) {
                end = at;
                next = at + dash.size();
            }
        }
        const std::string piece = title.substr(begin, end - begin);
        std::size_t longWords = 0;
        eachWord(piece, [&longWords](const std::string& word) {
            longWords += FinderText::letterCount(word) >= 4 ? 1 : 0;
            return word;
        });
        const bool shouted = longWords >= 2 && FinderText::isAllCaps(piece);
        pieces += shouted ? withSmallJoiningWords(capitalizedWords(piece)) : piece;
        pieces += title.substr(end, next - end);
        begin = next;
    }
    // A long word in capitals among others ("SPORTFEST der Grundschule"); short ones are
    // abbreviations ("GCSE", "NASA").
    const std::string out = eachWord(pieces, [](const std::string& word) {
        const bool shout = FinderText::letterCount(word) >= 6 && FinderText::isAllCaps(word);
        return shout ? FinderText::capitalizeWords(word) : word;
    });
    // A fixture's "v Hillcrest School" keeps its small "v" for versus.
    const bool versus = out.starts_with("v ") || out.starts_with("vs ") || out.starts_with("vs. ");
    return versus ? out : FinderText::capitalizeFirst(out);
}

} // namespace plannery::reader
