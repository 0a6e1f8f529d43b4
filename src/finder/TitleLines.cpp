#include "finder/TitlePicking.h"

#include "finder/AddressReading.h"
#include "finder/FinderText.h"
#include "finder/HeadingShapes.h"
#include "finder/NameShapes.h"
#include "finder/PlaceWords.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"
#include "finder/ScheduleLines.h"
#include "finder/WordLists.h"

#include <algorithm>

// The name a single line offers for an event: whether the line may name one at all, the whole
// name a piece of it begins, and the features by which that name is weighed.
namespace plannery::reader {

namespace {

constexpr std::size_t kLongestTitle = 9; // words
constexpr std::size_t kWholeLine = 8;    // a heading this short is taken whole
constexpr std::size_t kShortName = 8;    // words

// The whole name that piece `s` begins: after a label such as "Subject:", up to a remark or the
// day; on a line without days or times, the pieces that join into one short name.
Segment wholeName(const Line& line, const LineFacts& facts, const std::vector<Segment>& segments,
                  Segment s, const std::string& localeId) {
    if (Vocabulary::isTitleLabel(facts.label)) {
        // "Subject: Interview confirmation – Senior Data Analyst" up to a remark ("– sign up
        // now") or the day ("@ Wed May 20").
        for (std::size_t k = s.end; k < line.tokens.size(); ++k) {
            const Token& t = line.tokens[k];
            // "– kick-off call" goes on with the name, as a word for an event says.
            // "– NEW DATE", "– UPDATED", "- Rescheduled": what changed, not the name.
            const Token* after = line.at(k + 1);
            const bool change =
                after != nullptr &&
                ((isWordIn(after, {"new"}) &&
                  isWordIn(line.at(k + 2), {"date", "time", "venue", "day"})) ||
                 (after->isWord() &&
                  (Vocabulary::isMoveWord(after->key) || Vocabulary::isCancelledWord(after->key) ||
                   isWordIn(after, {"updated", "update", "change"}))));
            const bool remark =
                t.isSymbol("-") && k + 1 < line.tokens.size() && line.tokens[k + 1].isWord() &&
                ((!line.tokens[k + 1].capital && !hasEventNoun(line, k + 1, line.tokens.size())) ||
                 isReference(line, k + 1) || change);
            // "[Séminaire d'équipe] Chantilly …": a subject's tag in brackets is its name.
            const Token* open = line.at(facts.labelEnd);
            const bool tag = t.isSymbol("]") && open != nullptr && open->isSymbol("[");
            if (t.isSymbol("@") || t.isSymbol("(") || remark || tag ||
                std::any_of(facts.dates.begin(), facts.dates.end(),
                            [k](const DateMention& d) { return d.begin == k; })) {
                break;
            }
            s.end = k + 1;
        }
    } else if (const bool subtitled =
                   std::any_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(s.begin),
                               line.tokens.begin() + static_cast<std::ptrdiff_t>(s.end),
                               [](const Token& t) { return t.isSymbol(":"); });
               subtitled && s.begin >= facts.labelEnd) {
        // "09:30 Opening keynote: Streets for People, Not Parking": a name after its kind runs on
        // over commas, up to a remark or a place ("Module 1: First aid basics, bleeding & shock,
        // Room 4").
        for (const Segment& next : segments) {
            if (next.begin <= s.begin) {
                continue;
            }
            if (!line.tokens[next.begin - 1].isSymbol(",") || next.begin != s.end + 1 ||
                hasVenueWord(line, next.begin, next.end)) {
                break;
            }
            s.end = next.end;
        }
    } else if (facts.dates.empty() && facts.times.empty() && segments.size() > 1 &&
               wordCount(line, Segment{.begin = s.begin, .end = segments.back().end}) <=
                   kWholeLine) {
        // "Intro to Pottery – Taster Workshop", without a remark in parentheses ("(12A)") or
        // a generic piece ("– Billet daté"). A work's name in quotes is whole ("„Der zerbrochne
        // Krug“ · Lustspiel von Heinrich von Kleist").
        const auto isQuote = [](const Token& t) {
            return t.isSymbol("„") || t.isSymbol("“") || t.isSymbol("”") || t.isSymbol("\"") ||
                   t.isSymbol("«") || t.isSymbol("»");
        };
        if (s.end > s.begin + 2 && isQuote(line.tokens[s.begin]) &&
            isQuote(line.tokens[s.end - 1])) {
            return s;
        }
        for (const Segment& next : segments) {
            // A table's cells ("RENTAL VOUCHER        Voucher no. SC-PMI-6620419") are no one name.
            const bool cell = next.begin > s.begin && line.tokens[next.begin - 1].isSymbol("|");
            if (cell) {
                break;
            }
            const bool genericPiece = hasGenericHeadingWord(line, next);
            // "Book Club – March": the month of one of a series, not part of its name.
            const bool month = next.end == next.begin + 1 && line.tokens[next.begin].isWord() &&
                               Words::month(line.tokens[next.begin].key, localeId);
            // "Gîte « La Grange aux Hirondelles » – 6 personnes": how many, not what.
            const bool count = next.end > next.begin + 1 && line.tokens[next.begin].isNumber() &&
                               line.tokens[next.begin + 1].isWord() &&
                               !line.tokens[next.begin + 1].capital;
            if (genericPiece || month || count) {
                break;
            }
            if (next.begin > s.begin && !line.tokens[next.begin - 1].isSymbol("(")) {
                s.end = next.end;
            }
        }
    } else {
        for (std::size_t k = 1; k < segments.size(); ++k) {
            if (segments[k - 1].begin == s.begin && segments[k - 1].end == s.end &&
                goesOnAfterName(line, segments, k)) {
                s.end = segments[k].end;
            }
        }
    }
    return s;
}

// "Automatic reply: …", "Out of Office: …", "Abwesenheitsnotiz: …", "Réponse automatique : …"
// after token `from`.
bool repliesAutomatically(const Line& line, std::size_t from) {
    const Token* first = line.at(from);
    const Token* second = line.at(from + 1);
    return (isWordIn(first, {"automatic", "auto", "automatische", "reponse"}) &&
            isWordIn(second, {"reply", "antwort", "automatique"})) ||
           isWordIn(first, {"autoreply", "abwesenheitsnotiz"}) ||
           (isWordIn(first, {"out"}) && isWordIn(second, {"of"}) &&
            isWordIn(line.at(from + 2), {"office"}));
}

// "21-BWL-112", "UPH101-W27": letters in capitals and digits written together, as references
// and course numbers are.
bool isCode(const Line& line, const Segment& s) {
    bool digits = false;
    bool letters = false;
    for (std::size_t k = s.begin; k < s.end; ++k) {
        const Token& t = line.tokens[k];
        if ((k > s.begin && t.spaced) || (t.isWord() && !t.allCaps && t.key.size() > 1) ||
            (t.isSymbol() && !t.isSymbol("-") && !t.isSymbol("/"))) {
            return false;
        }
        digits = digits || t.isNumber();
        letters = letters || t.isWord();
    }
    return digits && letters;
}

// "vs. Milton Mustangs", "v Coburg Rovers", "@ Halton Ridge Huskies": at token k the word or sign
// for playing against, and the side after it, capitalised, before token `end`; the side's first
// token, none otherwise.
std::optional<std::size_t> sideAfterVersus(const Line& line, std::size_t k, std::size_t end) {
    const Token* versus = line.at(k);
    if (versus == nullptr ||
        !(isWordIn(versus, {"vs", "v", "gegen", "contre"}) || versus->isSymbol("@"))) {
        return std::nullopt;
    }
    const std::size_t side = line.at(k + 1) && line.tokens[k + 1].isSymbol(".") ? k + 2 : k + 1;
    return side < end && line.tokens[side].capital ? std::optional(side) : std::nullopt;
}

// "GAME 8:00 a.m.   HOME vs. Milton Mustangs": a row named only by the word for a match is
// against the side a later piece sets after "vs." or "@" (" vs. Milton Mustangs"); none otherwise.
std::string opponentAfter(const Line& line, const std::vector<Segment>& segments,
                          const Segment& s) {
    if (s.end != s.begin + 1 ||
        !isWordIn(&line.tokens[s.begin], {"game", "match", "spiel", "partie", "fixture"})) {
        return {};
    }
    for (const Segment& next : segments) {
        // "AWAY @ Halton Ridge Huskies": the piece after the "@" that parts it from the rest.
        if (next.begin > s.end && line.tokens[next.begin - 1].isSymbol("@") &&
            line.tokens[next.begin].capital) {
            return " @ " + std::string(line.span(next.begin, next.end));
        }
        for (std::size_t k = std::max(next.begin, s.end); k + 1 < next.end; ++k) {
            if (sideAfterVersus(line, k, next.end)) {
                return " " + std::string(line.span(k, next.end));
            }
        }
    }
    return {};
}

// "ROUND 12 – Sat 6th Feb" over "v Coburg Rovers – HOME": a round of a fixture list, named by
// its number alone, is against the side a line below sets after "v", "vs" or "@" ("Round 12 v
// Coburg Rovers"), without the age group that follows the side ("Hawthorn Harriers 13/U"); or
// it is the match a line below names with both sides ("Rd 8 · Sat 16 Jan" over "8:30 AM – 12:15
// PM" over "Hornsby Heights U12 Green vs Cherrybrook Comets"). None otherwise.
std::optional<std::string> roundsMatch(const TextFacts& text, std::size_t li, const Segment& s) {
    const Line& line = text.lines[li];
    if (s.end != s.begin + 2 || !line.tokens[s.begin + 1].isNumber() ||
        !isWordIn(&line.tokens[s.begin],
                  {"round", "rd", "match", "game", "runde", "spieltag", "journee", "manche"})) {
        return std::nullopt;
    }
    // The sides stand on the next line, or on the one after a line of only the match's times.
    std::size_t k = li + 1;
    const auto onlyTimes = [&text](std::size_t at) {
        const auto& times = text.facts[at].times;
        if (times.empty() || text.lines[at].pastSymbols(0) != times.front().begin) {
            return false;
        }
        // ... perhaps with their zone ("8:30 AM – 12:15 PM AEDT").
        std::size_t end = times.back().end;
        for (const ZoneMention& zone : text.facts[at].zones) {
            end = std::max(end, zone.end);
        }
        return end == text.lines[at].tokens.size();
    };
    if (k < text.lines.size() && text.lines[k].block == line.block && onlyTimes(k)) {
        ++k;
    }
    if (k >= text.lines.size() || text.lines[k].block != line.block ||
        !text.facts[k].dates.empty() || !text.facts[k].times.empty()) {
        return std::nullopt;
    }
    const Line& below = text.lines[k];
    const auto segments = freeSegments(below, text.facts[k]);
    if (segments.empty() || segments[0].begin != below.pastSymbols(0)) {
        return std::nullopt;
    }
    const Segment& side = segments[0];
    if (namesMatch(below, side.begin, side.end) && below.tokens[side.begin].capital) {
        return std::string(below.span(side.begin, side.end));
    }
    const auto named = sideAfterVersus(below, side.begin, side.end);
    if (!named) {
        return std::nullopt;
    }
    std::size_t end = *named + 1;
    for (; end < side.end; ++end) {
        const Token& t = below.tokens[end];
        const bool ageGroup =
            (t.isNumber() && below.at(end + 1) && below.tokens[end + 1].isSymbol("/") &&
             isWordIn(below.at(end + 2), {"u"})) ||
            (t.isWord() && t.key.size() >= 2 && t.key.front() == 'u' &&
             std::all_of(t.key.begin() + 1, t.key.end(),
                         [](char c) { return c >= '0' && c <= '9'; }));
        if (ageGroup) {
            break;
        }
    }
    return normalCapitalisation(std::string(line.span(s.begin, s.end))) + " " +
           std::string(below.span(side.begin, end));
}

// "09:00 – 09:45  ★  KEYNOTE" over "Data Platforms After the Hype": a session named only by its
// kind takes the name on the line right below; none otherwise.
std::optional<std::string> nameUnderKind(const TextFacts& text, std::size_t li, const Segment& s) {
    static constexpr std::string_view kKinds[] = {
        "keynote", "panel",   "workshop",    "hands-on workshop", "case study",    "talk",
        "lecture", "seminar", "tutorial",    "masterclass",       "fireside chat", "plenary",
        "vortrag", "atelier", "table ronde", "conference"};
    const Line& line = text.lines[li];
    std::string key;
    for (std::size_t k = s.begin; k < s.end; ++k) {
        const Token& t = line.tokens[k];
        if (t.isWord()) {
            key += (key.empty() || !t.spaced ? "" : " ") + t.key;
        } else if (t.isSymbol("-") && !t.spaced) {
            key += "-";
        } else {
            return std::nullopt;
        }
    }
    if (!WordLists::contains(kKinds, key) || li + 1 >= text.lines.size() ||
        text.lines[li + 1].block != line.block || !text.facts[li + 1].dates.empty() ||
        !text.facts[li + 1].times.empty()) {
        return std::nullopt;
    }
    // A name may have its subtitle after a colon ("Governance under the PDPA: What Regulators
    // Expect"), unlike a label of a word or two ("Moderator: Tan Hui Min").
    const std::string& label = text.facts[li + 1].label;
    if (!label.empty() && std::count(label.begin(), label.end(), ' ') < 2) {
        return std::nullopt;
    }
    const Line& below = text.lines[li + 1];
    const std::size_t first = below.pastSymbols(0);
    if (first >= below.tokens.size() || !below.tokens[first].isWord() ||
        !below.tokens[first].capital) {
        return std::nullopt;
    }
    return std::string(below.span(first, below.tokens.size()));
}

} // namespace

bool TitlePicker::mayName(std::size_t li, bool own) const {
    const Line& line = m_text.lines[li];
    const LineFacts& facts = m_text.facts[li];
    const bool titled = Vocabulary::isTitleLabel(facts.label);
    if ((m_text.header[li] && !titled) || Vocabulary::isDetailLabel(facts.label) ||
        Vocabulary::isPlaceLabel(facts.label) || facts.speaker || facts.chrome ||
        (!own && (signedOff(li) || li < m_chatStart || Addresses::inLine(line) ||
                  namesAddress(li) || namesRoleHolder(line, facts)))) {
        return false;
    }
    // A line among labelled lines ("Patient: John Smith" over "Date: 10/03/2026") is a detail
    // of a form, unless its label says it is the name.
    const auto labelled = [this, &line](std::size_t k) {
        return k < m_text.lines.size() && m_text.lines[k].block == line.block &&
               !m_text.facts[k].label.empty() && !m_text.facts[k].speaker;
    };
    if (!own && !titled && !facts.label.empty() && !facts.speaker &&
        ((li > 0 && labelled(li - 1)) || labelled(li + 1))) {
        return false;
    }
    // A line that ends in a comma is a letter's salutation ("Madame, Monsieur,", "Dear Parents
    // and Carers,") or a sentence that goes on below, and a list of names is the people of a
    // group, not a heading.
    if (!own && !line.tokens.empty() && (line.tokens.back().isSymbol(",") || isNameList(line))) {
        return false;
    }
    // A letter's place and date ("Wien, am 27. Dezember 2027") and the form of address over its
    // recipient's name ("Frau" over "Dr. Henrike Sommerfeld") say who writes to whom.
    const auto addresses = [this](std::size_t k) {
        const auto& tokens = m_text.lines[k].tokens;
        return tokens.size() == 1 &&
               isWordIn(&tokens[0], {"frau", "herrn", "herr", "familie", "madame", "monsieur", "mr",
                                     "mrs", "ms"});
    };
    if (!own && (isLetterDate(m_text.lines, m_text.facts, li) || addresses(li) ||
                 (li > 0 && addresses(li - 1)))) {
        return false;
    }
    // An automatic reply's subject only repeats what the reader wrote.
    if (Vocabulary::isSubjectLabel(facts.label) && repliesAutomatically(line, facts.labelEnd)) {
        return false;
    }
    // A warning ("Do Not Screenshot", "Don't share this code") tells the reader what not to do.
    if (!own && (isWordIn(line.at(0), {"don't", "dont"}) ||
                 (isWordIn(line.at(0), {"do"}) && isWordIn(line.at(1), {"not"})))) {
        return false;
    }
    // A lone word called out ("ROAR!", "Surprise!") cheers the reader on rather than naming the
    // event, unless it is one ("PARTY!").
    const auto words = std::count_if(line.tokens.begin(), line.tokens.end(),
                                     [](const Token& t) { return t.isWord(); });
    const bool called = std::any_of(line.tokens.begin(), line.tokens.end(),
                                    [](const Token& t) { return t.isSymbol("!"); });
    return own || words != 1 || !called || hasEventNoun(line, 0, line.tokens.size());
}

std::optional<TitleOption> TitlePicker::lineOption(std::size_t li, bool own) const {
    if (!mayName(li, own)) {
        return std::nullopt;
    }
    const Line& line = m_text.lines[li];
    const LineFacts& facts = m_text.facts[li];
    const bool titled = Vocabulary::isTitleLabel(facts.label);
    if (!own) {
        std::optional<std::string> occasion = turningAge(line);
        if (auto couple = m_wedding && !occasion ? marriedCouple(m_text.lines, li) : std::nullopt) {
            occasion = wedding(couple->first, couple->second);
        }
        if (occasion) {
            TitleOption option{.text = std::move(*occasion), .line = li};
            option[TitleFeature::heading] = 1;
            option[TitleFeature::position] = static_cast<double>(std::min(li, kFar));
            option[TitleFeature::occasion] = 1;
            return option;
        }
    }
    if (isColumnHeads(line) || isTabBar(line) || sectionLabel(line) || endsInCountry(line) ||
        (!own && (isListItem(m_text.lines, li) || presentsBelow(line) ||
                  presentsFromAbove(m_text.lines, li)))) {
        return std::nullopt;
    }
    const auto segments = freeSegments(line, facts);
    bool skippedGeneric = false; // "Timed Entry Ticket – General Admission" is a weak heading
    const std::size_t allDay = own ? allDayColumn(line) : 0;
    // A row's cell under a table's head for places ("Room") says where, not what.
    const std::size_t placeCell =
        m_placeColumns[li] ? cellIn(line, *m_placeColumns[li]).value_or(line.tokens.size())
                           : line.tokens.size();
    for (const Segment& piece : segments) {
        Segment s = piece;
        // "ALL DAY" says when, as a time would.
        if (s.end <= allDay ||
            (s.begin >= placeCell && s.begin < cellEnd(line, placeCell, *m_placeColumns[li]))) {
            continue;
        }
        // "1. Jahreshauptversammlung": the section's number is no part of its name.
        if (s.begin == 0 && s.end > 2 && opensNumberedSection(m_text.lines, li)) {
            s.begin = 2;
        }
        // "PART 1 - BLOOD TEST", "Teil 2 – Praxis": nor is the part of a whole it heads.
        if (s.end == s.begin + 2 && &piece != &segments.back() &&
            isWordIn(&line.tokens[s.begin], {"part", "teil", "partie", "step", "etape"}) &&
            line.tokens[s.begin + 1].isNumber()) {
            continue;
        }
        // "CPE 2150 Conversational French for Travellers": nor is a course's code.
        if (s.end > s.begin + 2 && line.tokens[s.begin].isWord() && line.tokens[s.begin].allCaps &&
            line.tokens[s.begin].key.size() <= 4 && line.tokens[s.begin + 1].isNumber() &&
            line.tokens[s.begin + 1].key.size() >= 3 && line.tokens[s.begin + 2].isWord() &&
            line.tokens[s.begin + 2].capital && !line.tokens[s.begin + 2].allCaps) {
            s.begin += 2;
        }
        // The name below an announcing heading, without the words that join it on.
        if (!own && li > 0 && &piece == &segments.front() && onlyAnnounces(m_text.lines[li - 1])) {
            while (s.begin + 1 < s.end &&
                   isWordIn(&line.tokens[s.begin], {"zur", "zum", "zu", "to", "the", "our", "a",
                                                    "an", "au", "a", "la", "le", "l'", "notre"})) {
                ++s.begin;
            }
        }
        // "Saturday 27th February, The Riverside Hotel, Quay Street": a venue on its street, and
        // the street, are where the event is.
        const auto index = static_cast<std::size_t>(&piece - segments.data());
        const bool venue = venueOnStreet(line, segments, index);
        const bool street = index > 0 && venueOnStreet(line, segments, index - 1);
        // "…, Bridge Street, Westport.": the town after a street.
        const bool town = index > 0 && line.tokens[segments[index - 1].end].isSymbol(",") &&
                          line.tokens[segments[index - 1].end - 1].isWord() &&
                          line.tokens[segments[index - 1].end - 1].capital &&
                          Vocabulary::isStreetWord(line.tokens[segments[index - 1].end - 1].key);
        if (s.label || venue || street || town || !hasSubstance(line, s, m_localeId) ||
            isAddress(line, s) || onlyLabels(line, s) ||
            anyToken(line, s.begin, s.end, [](const Token& t) { return t.isLink(); })) {
            continue;
        }
        // A heading has a word of three or more letters: "Ee" or "OO EE" is what a recogniser
        // made of a picture or a smudge.
        if (!own && !anyToken(line, s.begin, s.end, [&line](const Token& t) {
                return t.isWord() && FinderText::letterCount(line.slice(t.begin, t.end)) >= 3;
            })) {
            continue;
        }
        const Token& first = line.tokens[s.begin];
        // "Right, Sunday walk is on": a word set off by a comma opens a sentence; "Songs, rhymes
        // and bounces for babies 0–18 months and their grown-ups." a long one.
        constexpr std::size_t kSentenceWords = 8;
        const bool opener =
            wordCount(line, s) == 1 && s.end < line.tokens.size() &&
            line.tokens[s.end].isSymbol(",") &&
            (anyToken(
                 line, s.end, line.tokens.size(),
                 [](const Token& t) { return t.isWord() && Vocabulary::isClauseWord(t.key); }) ||
             wordCount(line, Segment{.begin = s.end, .end = line.tokens.size()}) >= kSentenceWords);
        // "Welcome to our Open Day!" is no sentence once its lead-in is left out.
        const Segment named{.begin = afterLeadIn(line, s), .end = s.end};
        // "the graduation of" over "Sophia Martinez": a card sets whose event it is below.
        const auto whose = !own && s.end == line.tokens.size() && hasEventNoun(line, s.begin, s.end)
                               ? nameBelow(m_text.lines, li)
                               : std::nullopt;
        // "Thanks for booking with us": a pronoun names no one.
        const bool pronoun =
            isWordIn(&line.tokens[named.begin], {"us", "me", "uns", "mir", "mich", "nous", "moi"});
        if (opener || pronoun || Vocabulary::isGreeting(line.tokens[named.begin].key) ||
            isPreposition(line.tokens[named.begin]) || isProse(line, named) ||
            (isFragment(line, s) && !whose) || (own && s.label)) {
            return std::nullopt;
        }
        // "Thanks for booking with Desert Sun Car Rental": only the name after the thanks counts,
        // not the "booking" they mention.
        if (Vocabulary::isGreeting(first.key)) {
            s.begin = named.begin;
        }
        // "JL", "MK": a row's initials say who sees to it, not what it is; "TBD" in a row's
        // column of times says its time is still to come.
        if (wordCount(line, s) == 1 && first.isWord() &&
            ((first.allCaps && first.key.size() <= 2) || isWordIn(&first, {"tbd", "tbc", "tba"}))) {
            continue;
        }
        // "21-BWL-112  Kosten- und Leistungsrechnung": a code in a row's first column is the
        // number of what the next column names.
        if (&piece != &segments.back() && isCode(line, s)) {
            continue;
        }
        // "2 adultes", "3 bed": a count, not a name.
        if (first.isNumber() && s.begin + 1 < s.end && line.tokens[s.begin + 1].isWord() &&
            !line.tokens[s.begin + 1].capital) {
            return std::nullopt;
        }
        if (s.end - s.begin == 3 && isGroupSize(line, s.begin)) {
            return std::nullopt;
        }
        // "Terminbestätigung Inspektion": what is confirmed, without the word that confirms it.
        if (s.end - s.begin >= 2 && first.isWord() && Vocabulary::isGenericHeadingWord(first.key) &&
            line.tokens[s.begin + 1].isWord() && line.tokens[s.begin + 1].capital &&
            !isWordIn(&line.tokens[s.begin + 1],
                      {"of", "for", "to", "de", "du", "des", "der", "zur", "zum", "fur", "pour"}) &&
            !hasGenericHeadingWord(line, Segment{.begin = s.begin + 1, .end = s.end})) {
            ++s.begin;
            skippedGeneric = true;
        }
        // "Musée d'Orsay – Billet daté": the piece that is no generic heading names it.
        const bool genericPiece = hasGenericHeadingWord(line, s);
        if (genericPiece && &piece != &segments.back() && !titled) {
            skippedGeneric = true;
            continue;
        }
        s = wholeName(line, facts, segments, s, m_localeId);
        if (auto match = own && &piece == &segments.front() ? fixtureSides(m_text, m_rows, li)
                                                            : std::nullopt) {
            s = *match;
        }
        if (wordCount(line, s) > kLongestTitle + 3) {
            return std::nullopt;
        }
        if (!own && !titled && namesWriter(li, segments, piece, s)) {
            return std::nullopt;
        }
        TitleOption option{.text = nameText(li, s, own, whose), .line = li};
        if (auto named = own ? nameUnderKind(m_text, li, s) : std::nullopt) {
            option.text = std::move(*named);
        } else if (auto match = own ? roundsMatch(m_text, li, s) : std::nullopt) {
            option.text = std::move(*match);
        }
        if (const std::string against = own ? opponentAfter(line, segments, s) : std::string();
            !against.empty()) {
            option.text = normalCapitalisation(option.text) + against;
        }
        describeName(li, s, own, skippedGeneric, option);
        return option;
    }
    return std::nullopt;
}

void TitlePicker::describeName(std::size_t li, const Segment& s, bool own, bool skippedGeneric,
                               TitleOption& option) const {
    const Line& line = m_text.lines[li];
    const LineFacts& facts = m_text.facts[li];
    const bool titled = Vocabulary::isTitleLabel(facts.label);
    const std::size_t words = wordCount(line, s);
    bool capitals = true;
    std::size_t capitalised = 0;
    for (std::size_t k = s.begin; k < s.end; ++k) {
        const Token& t = line.tokens[k];
        if (t.isWord()) {
            capitals = capitals && (t.allCaps || t.key.size() < 2);
            capitalised += t.capital ? 1 : 0;
        }
    }
    capitals = capitals && FinderText::letterCount(line.span(s.begin, s.end)) >= 4;
    const auto flag = [&option](TitleFeature f, bool on) { option[f] = on ? 1 : 0; };
    flag(own ? TitleFeature::ownLine : TitleFeature::heading, true);
    option[TitleFeature::position] = own ? 0 : static_cast<double>(std::min(li, kFar));
    flag(TitleFeature::labelled, titled);
    flag(TitleFeature::generic, !titled && saysGeneric(option.text));
    flag(TitleFeature::capitals, capitals);
    flag(TitleFeature::capitalised, !capitals && capitalised * 2 >= words);
    flag(TitleFeature::eventNoun,
         hasEventNoun(line, s.begin, s.end) || namesMatch(line, s.begin, s.end));
    flag(TitleFeature::arrow,
         anyToken(line, s.begin, s.end, [](const Token& t) { return t.isSymbol("→"); }));
    flag(TitleFeature::shortName, words <= kShortName);
    flag(TitleFeature::skippedGeneric, skippedGeneric);
    flag(TitleFeature::dated, !facts.dates.empty() || !facts.times.empty());
    flag(TitleFeature::aboveEvents, li + 1 == m_firstEventLine);
    // A practice is an organisation too, but its name says whom an appointment is with.
    flag(TitleFeature::organisation,
         namesOrganisation(line, s.begin, s.end) && !namesPractitioner(option.text));
}

} // namespace plannery::reader
