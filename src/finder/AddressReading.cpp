#include "finder/AddressReading.h"

#include "finder/FinderText.h"
#include "finder/ReaderVocabulary.h"

namespace plannery::reader::Addresses {

namespace {

// The small words inside names of streets, venues and towns ("Newcastle upon Tyne", "Boulogne
// sur Mer", "Frankfurt am Main") and between a street and its cross streets ("Elm St between 3rd
// & 5th Ave").
bool isJoiner(const Token& t) {
    return t.isWord() && !t.capital &&
           (t.key == "de" || t.key == "du" || t.key == "des" || t.key == "la" || t.key == "le" ||
            t.key == "am" || t.key == "an" || t.key == "der" || t.key == "of" || t.key == "the" ||
            t.key == "et" || t.key == "upon" || t.key == "sur" || t.key == "between");
}

// A word written out rather than shortened: four letters or more, with a vowel ("Road", not
// "St", "Blvd", "Hwy" or a German street's "Hochfeldstr").
bool isWholeWord(const Token& t) {
    return t.isWord() && t.key.size() >= 4 && t.key.find_first_of("aeiou") != std::string::npos &&
           !t.key.ends_with("str");
}

// A postcode and its town: "10178 Berlin", "6353 Weggis"; not a year before a word ("2026 Key
// Dates") nor the end of a telephone number.
bool postcodeAt(const Line& line, std::size_t i) {
    const Token& t = line.tokens[i];
    const Token* town = line.at(i + 1);
    if (!t.isNumber() || (t.key.size() != 5 && t.key.size() != 4) || town == nullptr ||
        !town->isWord() || !town->capital || town->allCaps || !town->spaced) {
        return false;
    }
    if (t.key.size() == 4 && t.value >= 1900 && t.value <= 2099) {
        return false;
    }
    // "CPE 2150 Conversational French": a course's code, letters in capitals and a number.
    const bool code =
        i > 0 && line.tokens[i - 1].isWord() && line.tokens[i - 1].allCaps && t.key.size() == 4;
    return i == 0 || line.tokens[i - 1].isSymbol(",") || (line.tokens[i - 1].isWord() && !code) ||
           (line.tokens[i - 1].isSymbol("·") && t.key.size() == 5);
}

// "OX7 4QP", "LS16 7PQ", "EC2A 2AG"; the areas of the big cities have one letter ("W6 0QL",
// "E1 6AN", "M1 1AE").
bool britishPostcodeAt(const Line& line, std::size_t i) {
    const Token& t = line.tokens[i];
    const Token* digits = line.at(i + 1);
    const bool area = t.allCaps || (t.capital && t.key.size() == 1);
    if (!t.isWord() || !area || t.key.size() > 2 || digits == nullptr || !digits->isNumber() ||
        digits->spaced || digits->key.size() > 2) {
        return false;
    }
    std::size_t k = i + 2;
    if (const Token* letter = line.at(k); letter && !letter->spaced && letter->isWord()) {
        ++k;
    }
    const Token* inward = line.at(k);
    const Token* unit = line.at(k + 1);
    return inward && inward->spaced && inward->isNumber() && inward->key.size() == 1 && unit &&
           !unit->spaced && unit->isWord() && unit->key.size() == 2;
}

// "14, avenue du Bourgailh – 33600 Pessac", "Lindenbichlgasse 14 · 8010 Graz": a dash or dot at
// `at` that sets the postcode and town apart, unlike a year ("Leeds – 2024 Winners").
bool postcodeSetApart(const Line& line, std::size_t at) {
    const Token* code = line.at(at + 1);
    const Token* town = line.at(at + 2);
    const bool year = code != nullptr && code->value >= 1900 && code->value < 2100;
    const Token& mark = line.tokens[at];
    return (mark.isSymbol("-") || mark.isSymbol("·")) && mark.spaced && code != nullptr &&
           code->isNumber() && code->key.size() >= 4 && code->key.size() <= 5 && !year &&
           town != nullptr && town->isWord() && town->capital;
}

// "at 10:40AM, 2250 W Larkin Ave", "7 PM, 12 High Street": the clock before an address is when,
// not the venue's name. Returns where the name starts once such a clock is passed over.
std::size_t pastClock(const Line& line, std::size_t begin, std::size_t start) {
    std::size_t k = begin;
    // The minutes of a clock whose hour the walk back stopped at ("10" of "10:40").
    const bool minutes = k > 0 && line.tokens[k - 1].isSymbol(":") && !line.tokens[k].spaced;
    if (k >= start || !line.tokens[k].isNumber()) {
        return begin;
    }
    ++k;
    if (k + 1 < start && (line.tokens[k].isSymbol(":") || line.tokens[k].isSymbol(".")) &&
        !line.tokens[k].spaced && line.tokens[k + 1].isNumber() && !line.tokens[k + 1].spaced) {
        k += 2;
    }
    const bool meridiem = k < start && isWordIn(&line.tokens[k], {"am", "pm", "uhr", "h"});
    k += meridiem ? 1 : 0;
    const bool clock = minutes || meridiem || k > begin + 1;
    return clock && k < start && line.tokens[k].isSymbol(",") ? k : begin;
}

} // namespace

bool elidedName(const Line& line, const Token& t) {
    std::string_view text = line.slice(t.begin, t.end);
    if (text.size() < 3 || (text[0] != 'l' && text[0] != 'd')) {
        return false;
    }
    if (text[1] == '\'') {
        text.remove_prefix(2);
    } else if (text.substr(1).starts_with("\u2019")) {
        text.remove_prefix(1 + std::string_view("\u2019").size());
    } else {
        return false;
    }
    return FinderText::capitalAt(text, 0) != 0;
}

bool startsAt(const Line& line, std::size_t i) {
    const Token& t = line.tokens[i];
    const Token* next = line.at(i + 1);
    if (next == nullptr) {
        return false;
    }
    // "2pm at St. Mochulla's Church": an hour, not a house's number before a street's "St".
    const bool hour = isWordIn(next, {"am", "pm"});
    if (t.isNumber() && t.key.size() <= 5 && !hour &&
        !(i > 0 && !t.spaced && !line.tokens[i - 1].isWord())) {
        // "2/88 Maudsland Street": a unit's number, then the street's after a slash.
        const Token* streetNumber = line.at(i + 2);
        const bool unit = next->isSymbol("/") && !next->spaced && streetNumber != nullptr &&
                          streetNumber->isNumber() && !streetNumber->spaced;
        // A number, perhaps "W 46th" or "N Halsted", then a street word; the letters written
        // onto a number are its ordinal ("3rd", "21st"), not a street ("Rd", "St").
        // A comma may follow the number in French ("14, rue Pasteur").
        const std::size_t first = unit                                   ? i + 3
                                  : next->isSymbol(",") && !next->spaced ? i + 2
                                                                         : i + 1;
        for (std::size_t k = first; k < line.tokens.size() && k <= first + 3; ++k) {
            const Token& w = line.tokens[k];
            if (w.isWord() && Vocabulary::isStreetWord(w.key) && (w.capital || k == first) &&
                w.spaced) {
                return true;
            }
            if (!w.isWord() && !w.isNumber()) {
                break;
            }
        }
        if (postcodeAt(line, i)) {
            return true;
        }
    }
    // "Dorfstrasse 12", "Am Sportplatz 2", "Heilbronner Str. 77", "Währinger Straße 112"
    const Token* number = next->isSymbol(".") && !next->spaced ? line.at(i + 2) : next;
    const bool afterName = i > 0 && line.tokens[i - 1].isWord() && line.tokens[i - 1].capital;
    if (t.isWord() && t.capital &&
        (Vocabulary::isStreetCompound(t.key) ||
         (afterName && isWordIn(&t, {"strasse", "gasse", "weg", "platz", "allee"}))) &&
        number && number->isNumber() && number->value > 0 && number->value < 10000) {
        return true;
    }
    if (t.isWord() && t.allCaps && t.key.size() == 2 && next->isNumber() && next->key.size() == 5 &&
        next->spaced) {
        return true; // "IL 60540"
    }
    return britishPostcodeAt(line, i);
}

bool inLine(const Line& line) {
    for (std::size_t i = 0; i < line.tokens.size(); ++i) {
        if (startsAt(line, i)) {
            return true;
        }
    }
    return false;
}

std::optional<std::pair<std::size_t, std::size_t>> span(const Line& line) {
    std::size_t start = line.tokens.size();
    for (std::size_t i = 0; i < line.tokens.size(); ++i) {
        if (startsAt(line, i)) {
            start = i;
            break;
        }
    }
    if (start == line.tokens.size()) {
        return std::nullopt;
    }
    // Back over the venue's name: capitalised words, numbers and commas.
    std::size_t begin = start;
    while (begin > 0) {
        const Token& t = line.tokens[begin - 1];
        // "3rd Floor, 20 Victoria Street": an ordinal's ending belongs to its number ("2ish" is
        // a time, not an ordinal).
        const bool ordinal =
            t.isWord() && !t.spaced && begin >= 2 && line.tokens[begin - 2].isNumber() &&
            (t.key.size() == 1 ||
             isWordIn(&t, {"st", "nd", "rd", "th", "er", "e", "eme", "te", "ter"}));
        // "rue de l'Église 4, 5380 Bierwart": a street's name set before its number, in lower
        // case as French writes it, with a name after an elided article.
        const bool street = t.isWord() && (Vocabulary::isStreetWord(t.key) || elidedName(line, t));
        const bool part = (t.isWord() && (t.capital || isJoiner(t) || ordinal || street)) ||
                          t.isNumber() || t.isSymbol(",") || t.isSymbol("'") || t.isSymbol("&") ||
                          (t.isSymbol(".") && !t.spaced) || (t.isSymbol("-") && !t.spaced);
        if (!part) {
            break;
        }
        --begin;
    }
    begin = pastClock(line, begin, start);
    // "Oui, 12 rue Alfred Nobel", "Yes, 22 Aro St": a reply before the address.
    if (begin + 1 < start &&
        isWordIn(&line.tokens[begin],
                 {"oui", "yes", "yep", "yeah", "ja", "jep", "ok", "okay", "non", "no", "nein",
                  "sure", "super", "parfait", "perfect", "merci", "thanks", "danke", "cool"}) &&
        line.tokens[begin + 1].isSymbol(",")) {
        begin += 2;
    }
    while (begin < start && (line.tokens[begin].isSymbol() || isJoiner(line.tokens[begin]))) {
        ++begin;
    }
    // "avec M. Leroy, 8 place de la République": who is met there, not the venue.
    if (begin > 0 && begin < start && isWordIn(&line.tokens[begin - 1], {"with", "avec", "mit"})) {
        begin = start;
    }
    // A venue's name written in lower case after its first word ("Salle des fêtes, 2 place de la
    // Mairie", "Base nautique du lac, 74000 Annecy") runs from the start of the line.
    // So does one whose walk back stopped at a word in lower case ("Aréna municipal
    // Jean-Guy-Tremblay, 1650, rue des Pins").
    // A short word such as "at" or "by" is a preposition before the name, not part of it.
    constexpr std::size_t kShortestNameWord = 5;
    const Token* stop = begin > 0 && begin < start ? &line.tokens[begin - 1] : nullptr;
    const bool stoppedInName = stop != nullptr && stop->isWord() && !stop->capital &&
                               stop->key.size() >= kShortestNameWord &&
                               !Vocabulary::isClauseWord(stop->key);
    if ((begin == start || stoppedInName) && start >= 2 && line.tokens[start - 1].isSymbol(",")) {
        std::size_t from = 0;
        while (from < start && !line.tokens[from].isWord()) {
            ++from;
        }
        bool venue = false;
        bool broken = false;
        for (std::size_t k = from; k + 1 < start; ++k) {
            const Token& t = line.tokens[k];
            venue = venue || (t.isWord() && Vocabulary::isVenueWord(t.key));
            broken = broken || t.isSymbol(":") || t.isSymbol("·") || t.isSymbol("|") ||
                     (t.isWord() && Vocabulary::isClauseWord(t.key));
        }
        if (venue && !broken && from < start && line.tokens[from].capital) {
            begin = from;
        }
    }
    return std::pair{begin, endFrom(line, start)};
}

std::size_t endFrom(const Line& line, std::size_t start) {
    // On over the street, town, state and postcode.
    std::size_t end = start;
    while (end < line.tokens.size()) {
        const Token& t = line.tokens[end];
        // "4th floor", "Lyon 2e": the token before is an ordinal's ending.
        const bool afterOrdinal = end >= start + 2 && line.tokens[end - 1].isWord() &&
                                  !line.tokens[end - 1].spaced && line.tokens[end - 2].isNumber();
        // "4820, rue Fabre, app. 3, Montréal": the flat's number goes with the house's.
        const bool flat = t.isWord() && end > start &&
                          isWordIn(&t, {"app", "apt", "appt", "apartment", "unit", "bte"}) &&
                          end + 1 < line.tokens.size() &&
                          (line.tokens[end + 1].isNumber() ||
                           (line.tokens[end + 1].isSymbol(".") && end + 2 < line.tokens.size() &&
                            line.tokens[end + 2].isNumber()));
        const bool part =
            (t.isWord() && (t.capital || isJoiner(t) || Vocabulary::isStreetWord(t.key) ||
                            (!t.spaced && end > start) || afterOrdinal || flat)) ||
            t.isNumber() || t.isSymbol(",") || t.isSymbol("'") || (t.isSymbol(".") && !t.spaced) ||
            (t.isSymbol("-") && !t.spaced) || postcodeSetApart(line, end) ||
            // "Währinger Straße 112/4": the stair or door after the house's number.
            (t.isSymbol("/") && !t.spaced && end > start && line.tokens[end - 1].isNumber() &&
             end + 1 < line.tokens.size() && line.tokens[end + 1].isNumber() &&
             !line.tokens[end + 1].spaced);
        // A full stop after a whole word or an ordinal ends the sentence ("27B Wellington Road.
        // Bring a bottle!", "Lyon 2e. En cas"); after a shortened word it marks an abbreviation
        // ("St. Albans", "Blvd. West").
        // ... and so does one after the number of a street or suite before a new sentence
        // ("8120 S Broadway Ste 3. Reply C to confirm"), unlike a German floor ("3. Stock").
        const Token* next = line.at(end + 1);
        const bool numberEnds = end >= start + 2 && line.tokens[end - 1].isNumber() &&
                                line.tokens[end - 2].isWord() && next != nullptr &&
                                next->isWord() && next->capital &&
                                !isWordIn(next, {"stock", "og", "etage", "obergeschoss"});
        // ... and after a street's shortened word that ends its name, before a sentence ("418
        // Sargent Ave. Use the stage door"), unlike "St. John of God".
        const Token* after = line.at(end + 2);
        const bool streetEnds = end >= start + 2 && line.tokens[end - 1].isWord() &&
                                Vocabulary::isStreetWord(line.tokens[end - 1].key) &&
                                line.tokens[end - 2].isWord() && line.tokens[end - 2].capital &&
                                next != nullptr && next->isWord() && next->capital &&
                                after != nullptr && after->isWord() && !after->capital;
        const bool sentenceEnd =
            end > start && t.isSymbol(".") &&
            (isWholeWord(line.tokens[end - 1]) || afterOrdinal || numberEnds || streetEnds) &&
            end + 1 < line.tokens.size() && line.tokens[end + 1].spaced;
        if (!part || sentenceEnd ||
            (t.isWord() && (t.key == "tel" || t.key == "phone" || t.key == "fon"))) {
            break;
        }
        ++end;
    }
    while (end > start && (line.tokens[end - 1].isSymbol() || isJoiner(line.tokens[end - 1]))) {
        --end;
    }
    return end;
}

std::string written(const Line& line, std::size_t first, std::size_t last) {
    std::string text;
    std::size_t from = first;
    for (std::size_t k = first; k < last; ++k) {
        if (postcodeSetApart(line, k)) {
            text += std::string(line.span(from, k)) + ", ";
            from = k + 1;
        }
    }
    return text + std::string(line.span(from, last));
}

} // namespace plannery::reader::Addresses
