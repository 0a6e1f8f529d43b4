#include "finder/PlacePicking.h"

#include "finder/AddressReading.h"
#include "finder/PlaceWords.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"

#include <algorithm>

// The place a sentence names after a preposition ("at Hideaway Lounge", "in Conference Room B",
// "au Pathé Wepler"), with what belongs to it after it ("(Riverside Park)", ", Kirchgasse 2").
namespace plannery::reader {

namespace {

bool isCalendarWord(const Token& t, const std::string& localeId) {
    return t.isWord() && (Words::weekday(t.key, localeId) || Words::month(t.key, localeId));
}

// ", Civic Centre" (with a town ending the line) or "(Riverside Park)" right after a place
// belongs to it, but not a sentence that goes on about it.
std::size_t extendPlace(const Line& line, std::size_t end) {
    const Token* next = line.at(end);
    // "the Community Room at Hawthorne Rec Center": a room at the building it is in.
    if (next && next->isWord("at") && end > 0 &&
        Vocabulary::isVenueWord(line.tokens[end - 1].key)) {
        std::size_t k = end + 1;
        while (k < line.tokens.size() && line.tokens[k].isWord() && line.tokens[k].capital) {
            ++k;
        }
        if (k > end + 1 && hasVenueWord(line, end + 1, k)) {
            end = k;
            next = line.at(end);
        }
    }
    // ", Kirchgasse 2" after "Gemeindesaal St. Martin" is its address.
    if (next && next->isSymbol(",") && end + 1 < line.tokens.size() &&
        Addresses::startsAt(line, end + 1)) {
        return Addresses::endFrom(line, end + 1);
    }
    if (next && next->isSymbol(",") && hasVenueWord(line, end + 1, end + 4)) {
        std::size_t k = end + 1;
        bool clause = false;
        while (k < line.tokens.size() &&
               (line.tokens[k].isWord() || line.tokens[k].isNumber() ||
                (line.tokens[k].isSymbol(".") && !line.tokens[k].spaced &&
                 k + 1 < line.tokens.size() && line.tokens[k + 1].isNumber()))) {
            clause =
                clause || (line.tokens[k].isWord() && Vocabulary::isClauseWord(line.tokens[k].key));
            ++k;
        }
        // ", their office is on Wellington Street" is a sentence about it.
        if (clause) {
            return end;
        }
        end = k;
        next = line.at(end);
        // ", Bath" ending the line: the town.
        if (next && next->isSymbol(",") && end + 2 == line.tokens.size() &&
            line.tokens[end + 1].isWord() && line.tokens[end + 1].capital) {
            return end + 2;
        }
    }
    // An exclamation in parentheses is a remark ("on the school field (bring sun hats!)").
    if (next && next->isSymbol("(")) {
        for (std::size_t k = end + 1; k < line.tokens.size() && k < end + 8; ++k) {
            if (line.tokens[k].isSymbol("!")) {
                break;
            }
            if (line.tokens[k].isSymbol(")")) {
                return k + 1;
            }
        }
    }
    return end;
}

// Which tokens stand inside quotation marks: the place in a talk's name ("Chasing the Milky Way:
// astrophotography in the Mackenzie Basin") is the talk's, not the event's.
std::vector<bool> quotedTokens(const Line& line) {
    std::vector<bool> quoted(line.tokens.size(), false);
    bool straight = false;
    bool german = false; // „…“ closes with the mark that opens an English quotation
    int curly = 0;
    for (std::size_t k = 0; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        if (t.isSymbol("\"")) {
            straight = !straight;
        } else if (t.isSymbol("\u201E") || t.isSymbol("\u00AB")) {
            german = german || t.isSymbol("\u201E");
            ++curly;
        } else if (t.isSymbol("\u201C")) {
            curly += german && curly > 0 ? -1 : 1;
        } else if ((t.isSymbol("\u201D") || t.isSymbol("\u00BB")) && curly > 0) {
            --curly;
        }
        quoted[k] = straight || curly > 0;
    }
    return quoted;
}

} // namespace

std::string PlacePicker::wrappedOn(std::size_t li, std::size_t end) const {
    const Line& line = m_text.lines[li];
    if (end < line.tokens.size() || li + 1 >= m_text.lines.size() ||
        m_text.lines[li + 1].block != line.block) {
        return {};
    }
    // "dans la salle" over "de CE2 (bâtiment B, 1er étage). Durée : …": a place broken before
    // the words that say which goes on with them, up to the end of their sentence or a comma.
    const Line& next = m_text.lines[li + 1];
    if (next.tokens.empty() || !isWordIn(&next.tokens[0], {"de", "du", "des", "of", "der"})) {
        return {};
    }
    int depth = 0;
    std::size_t k = 0;
    for (; k < next.tokens.size(); ++k) {
        const Token& t = next.tokens[k];
        depth += t.isSymbol("(") ? 1 : t.isSymbol(")") ? -1 : 0;
        if (depth == 0 &&
            (t.isSymbol(".") || t.isSymbol(",") || t.isSymbol(";") || t.isSymbol(":") ||
             (t.isWord() && Vocabulary::isClauseWord(t.key)) ||
             within(m_text.facts[li + 1].dates, k) || within(m_text.facts[li + 1].times, k))) {
            break;
        }
    }
    return k > 1 ? " " + std::string(next.span(0, k)) : std::string();
}

std::optional<std::string> PlacePicker::phrase(std::size_t li, std::size_t from,
                                               bool withVenueWord) const {
    const Line& line = m_text.lines[li];
    // "at the Odeon 8:15": a number that starts a time is no part of the place.
    const auto inTime = [&times = m_text.facts[li].times](std::size_t k) {
        return within(times, k);
    };
    // "bei Dr. Müller am 12.03.": a day after the place is no part of it either.
    const auto inDate = [&dates = m_text.facts[li].dates](std::size_t k) {
        return within(dates, k);
    };
    // Nor where to leave the car ("Free parking at the rear of the hotel").
    if (speaksOfParking(line)) {
        return std::nullopt;
    }
    const std::vector<bool> quoted = quotedTokens(line);
    for (std::size_t i = from; i + 1 < line.tokens.size(); ++i) {
        const Token& t = line.tokens[i];
        if (quoted[i]) {
            continue;
        }
        // "at", "@", "au", "bei" name a place by its name; "in", "im", "dans", "visiting", "on"
        // only with a word for a place ("in Conference Room B", "on the school field", not "in
        // Seattle").
        // "Treffpunkt Baucontainer Einfahrt Nord": where to meet, named as after "at".
        // "à l'Hôtel de ville", "à la Salle des fêtes": "à" with a place's kind, capitalised,
        // after its article ("à 19h30", "à Paris" and "à la fin" name none).
        const Token* kind = line.at(i + 1);
        if (isWordIn(kind, {"la"})) {
            kind = line.at(i + 2);
        }
        const bool toVenue = t.isWord("a") && kind != nullptr && kind->isWord() &&
                             (kind->capital || Addresses::elidedName(line, *kind)) &&
                             Vocabulary::isVenueWord(kind->key);
        const bool byName = t.isSymbol("@") || isWordIn(&t, {"at", "au", "treffpunkt"}) || toVenue;
        const bool byKind =
            isWordIn(&t, {"in", "im", "dans", "en", "bei", "visiting", "visit", "on"});
        // "Hands-on lab", "drop-in session": a word joined by a dash is no preposition.
        const bool joined = i > 0 && !t.spaced && line.tokens[i - 1].isSymbol("-");
        // "nicht im Gruppenraum, sondern im Bewegungsraum", "not at the hall but in the gym":
        // the place denied is not where it is.
        const bool denied = i > 0 && isWordIn(&line.tokens[i - 1], {"not", "nicht", "pas"});
        if ((!byName && !byKind) || joined || denied) {
            continue;
        }
        std::size_t begin = i + 1;
        if (const Token* article = line.at(begin);
            article && article->isWord() &&
            (article->key == "the" || article->key == "den" || article->key == "der" ||
             article->key == "die" || article->key == "la" || article->key == "le" ||
             article->key == "l'ecole")) {
            ++begin;
        }
        const Token* head = line.at(begin);
        if (head == nullptr || !head->isWord() || isCalendarWord(*head, m_localeId)) {
            continue;
        }
        // "in Ihrer Straße", "at your home", "à votre domicile": the reader's own, named by no
        // one; "in unserer Praxis", "at our studio": the writer's, which its address names.
        if (isWordIn(head, {"your", "ihrer", "ihrem", "ihre", "ihren", "votre", "vos", "deiner",
                            "deinem", "eurer", "eurem", "our", "unserer", "unserem", "unser",
                            "unseren", "notre", "nos"})) {
            continue;
        }
        // "The Red Lion" keeps its article.
        if (begin > i + 1 && line.tokens[begin - 1].capital) {
            --begin;
        }
        // A place named in lower case ("la salle polyvalente", "the library", "the high school")
        // runs on in lower case. Without an article its first word is the kind of place ("in
        // school", "au gymnase"): "in proper school uniform" is what to wear.
        const bool article = begin > i + 1;
        bool lowerVenue =
            !head->capital && head->key != "the" &&
            (article ? hasVenueWord(line, begin, begin + 3) : Vocabulary::isVenueWord(head->key));
        if (!head->capital && !lowerVenue) {
            continue;
        }
        // "au restaurant Le Comptoir des Halles": the kind of place before a name that opens with
        // its article is no part of the name.
        if (lowerVenue && Vocabulary::isVenueWord(head->key) &&
            isWordIn(line.at(begin + 1), {"the", "le", "la", "les", "der", "die", "das"}) &&
            line.tokens[begin + 1].capital) {
            ++begin;
            lowerVenue = false;
        }
        std::size_t end = begin;
        std::size_t words = 0;
        while (end < line.tokens.size() && words < kLongestVenue) {
            const Token& w = line.tokens[end];
            const bool joins =
                w.isWord() && (w.key == "of" || w.key == "de" || w.key == "du" || w.key == "des" ||
                               w.key == "der" || w.key == "am" || w.key == "on" || w.key == "the" ||
                               w.key == "l'ecole");
            // "au Parc aquatique du Mont-Castor", "au Centre sportif": French names a venue by
            // its kind and the adjective after it.
            const bool adjective = m_localeId.starts_with("fr") && end == begin + 1 && w.isWord() &&
                                   !w.capital && line.tokens[begin].capital &&
                                   Vocabulary::isVenueWord(line.tokens[begin].key);
            // ... and by its kind and what it is for: "Salle des fêtes", "Maison de quartier".
            const bool purpose = m_localeId.starts_with("fr") && end == begin + 2 && w.isWord() &&
                                 !w.capital && isWordIn(line.at(begin + 1), {"de", "des", "du"}) &&
                                 line.tokens[begin].capital &&
                                 Vocabulary::isVenueWord(line.tokens[begin].key);
            const bool part =
                (w.isWord() && (w.capital || lowerVenue || adjective || purpose) &&
                 !isCalendarWord(w, m_localeId)) ||
                (w.isNumber() && end > begin && !inTime(end)) || joins || w.isSymbol("'") ||
                // "Klassenraum der 2b": a class's or room's letter after its number
                (w.isWord() && !w.spaced && w.key.size() == 1 && end > begin &&
                 line.tokens[end - 1].isNumber()) ||
                // "The Crown & Anchor"
                ((w.isSymbol("&") || w.isSymbol("+")) && end > begin &&
                 end + 1 < line.tokens.size() && line.tokens[end + 1].capital) ||
                // "Saint-Pierre", "Jean-Moulin"
                (w.isSymbol("-") && !w.spaced && end > begin && end + 1 < line.tokens.size() &&
                 !line.tokens[end + 1].spaced && line.tokens[end + 1].isWord()) ||
                // "St. Anne's", not the end of a sentence ("the Crown Inn. We will").
                (w.isSymbol(".") && !w.spaced && end > begin && line.tokens[end - 1].isWord() &&
                 line.tokens[end - 1].end - line.tokens[end - 1].begin <= 3 &&
                 !(end + 1 < line.tokens.size() && line.tokens[end + 1].isWord() &&
                   Vocabulary::isClauseWord(line.tokens[end + 1].key))) ||
                // "Room 4.12", "Raum 2.07"
                (w.isSymbol(".") && !w.spaced && end > begin && line.tokens[end - 1].isNumber() &&
                 end + 1 < line.tokens.size() && line.tokens[end + 1].isNumber() &&
                 !line.tokens[end + 1].spaced);
            // "au zoo de Vincennes aura lieu": a verb ends the place, and "in the gym during
            // lessons" says when after it.
            const bool dayFollows = w.isWord("am") && inDate(end + 1);
            // "at the airport at least 90 minutes before your flight": a place named in lower
            // case ends where the sentence goes on to say when or how long.
            const Token* next = line.at(end + 1);
            const bool lowerEnds = lowerVenue && end > begin &&
                                   (isWordIn(&w, {"before", "after", "until", "till", "within",
                                                  "from", "avant", "apres"}) ||
                                    (w.isWord("at") && isWordIn(next, {"least", "latest"})) ||
                                    (w.isNumber() && next && next->isWord() && !next->capital));
            if (!part || dayFollows || lowerEnds || inDate(end) ||
                (w.isWord() && Vocabulary::isClauseWord(w.key)) ||
                isWordIn(&w, {"during", "while", "throughout", "pendant", "lors", "wahrend"})) {
                break;
            }
            ++end;
            words += w.isWord() ? 1 : 0;
        }
        // A name goes on with the kind of place it names: "the Elm Park pavilion", "the Edale car
        // park".
        if (end > begin && line.tokens[end - 1].capital) {
            for (std::size_t k = end; k < line.tokens.size() && k < end + 2; ++k) {
                const Token& w = line.tokens[k];
                if (!w.isWord() || w.capital) {
                    break;
                }
                if (Vocabulary::isVenueWord(w.key)) {
                    end = k + 1;
                    break;
                }
            }
        }
        while (end > begin &&
               (line.tokens[end - 1].isWord("of") || line.tokens[end - 1].isWord("on") ||
                line.tokens[end - 1].isWord("the") || line.tokens[end - 1].isWord("de") ||
                line.tokens[end - 1].isSymbol("."))) {
            --end;
        }
        // "in", "im", "bei" name a place by a word for one or by a name of two words ("im Goldenen
        // Hirsch"), not by one capitalised word ("in Seattle", "bei Regen").
        const auto capitals =
            std::count_if(line.tokens.begin() + static_cast<std::ptrdiff_t>(begin),
                          line.tokens.begin() + static_cast<std::ptrdiff_t>(end),
                          [](const Token& w) { return w.isWord() && w.capital; });
        // "on" names a place only by a word for one: "Workshop on Efficient Reasoning" is a topic.
        const bool venue = hasVenueWord(line, begin, end);
        // "en classe", "in school": the kind of place alone, without an article, is where one is
        // taught, not a place to go to.
        const bool bareKind = lowerVenue && !article && end == begin + 1;
        if (end == begin || (byKind && !venue && (capitals < 2 || t.isWord("on"))) ||
            (withVenueWord && !venue) || bareKind) {
            continue;
        }
        end = extendPlace(line, end);
        std::string_view place = line.span(begin, end);
        // "à l'Hôtel de ville": the place is the "Hôtel de ville", without its article.
        if (toVenue && !line.tokens[begin].capital) {
            place.remove_prefix(place.starts_with("l'") ? 2 : 4);
        }
        return std::string(place) + wrappedOn(li, end);
    }
    return std::nullopt;
}

} // namespace plannery::reader
