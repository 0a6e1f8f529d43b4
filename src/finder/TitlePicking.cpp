#include "finder/TitlePicking.h"

#include "finder/AddressReading.h"
#include "finder/FinderText.h"
#include "finder/HeadingShapes.h"
#include "finder/LineSegments.h"
#include "finder/NameShapes.h"
#include "finder/PlaceWords.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"
#include "finder/ScheduleLines.h"
#include "finder/WordLists.h"
#include "model/CalEvent.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

namespace plannery::reader {

namespace {

constexpr std::size_t kLongestTitle = 9; // words
constexpr std::size_t kWholeLine = 8;    // a heading this short is taken whole
constexpr std::size_t kFar = 8;          // lines, beyond which all lines count as far
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
            const bool remark =
                t.isSymbol("-") && k + 1 < line.tokens.size() && line.tokens[k + 1].isWord() &&
                ((!line.tokens[k + 1].capital && !hasEventNoun(line, k + 1, line.tokens.size())) ||
                 isReference(line, k + 1));
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
        // a generic piece ("– Billet daté").
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
            if (genericPiece || month) {
                break;
            }
            if (next.begin > s.begin && !line.tokens[next.begin - 1].isSymbol("(")) {
                s.end = next.end;
            }
        }
    }
    return s;
}

// Whether a name as it is entered still holds a word of a generic heading: "NOTICE OF ANNUAL
// GENERAL MEETING" is entered without its notice, "Booking confirmation" is nothing else.
// The words of a folded name, without the punctuation around them ("rendez-vous" is two).
std::vector<std::string_view> foldedWords(const std::string& folded) {
    std::vector<std::string_view> words;
    std::size_t begin = 0;
    while (begin < folded.size()) {
        auto end = folded.find_first_of(" -", begin);
        if (end == std::string::npos) {
            end = folded.size();
        }
        std::string_view word(folded.data() + begin, end - begin);
        while (!word.empty() && std::ispunct(static_cast<unsigned char>(word.back()))) {
            word.remove_suffix(1);
        }
        while (!word.empty() && std::ispunct(static_cast<unsigned char>(word.front()))) {
            word.remove_prefix(1);
        }
        if (!word.empty()) {
            words.push_back(word);
        }
        begin = end + 1;
    }
    return words;
}

// "NEW APPOINTMENT", "Neuer Termin", "Nouveau rendez-vous": what heads the details of one, or
// says it came, names nothing.
bool announcesAppointment(const std::string& name) {
    const std::string folded = FinderText::fold(name);
    constexpr std::string_view kFresh[] = {"new",      "neuer",   "neue",   "nouveau",
                                           "nouvelle", "updated", "revised"};
    constexpr std::string_view kAppointment[] = {"your",   "appointment", "appt", "termin",
                                                 "rendez", "vous",        "rdv"};
    bool fresh = false;
    for (const std::string_view word : foldedWords(folded)) {
        if (WordLists::contains(kFresh, word)) {
            fresh = true;
        } else if (!WordLists::contains(kAppointment, word)) {
            return false;
        }
    }
    return fresh;
}

// "Session 1", "Week 3", "Sitzung 2", "Séance 4", "Session": one of a course's meetings, which
// names the course no more than a generic heading does.
bool namesOnlyMeeting(const std::string& name) {
    const std::string folded = FinderText::fold(name);
    const auto words = foldedWords(folded);
    constexpr std::string_view kMeetings[] = {"session", "lesson",  "class",  "week",
                                              "sitzung", "lektion", "woche",  "einheit",
                                              "seance",  "lecon",   "semaine"};
    return !words.empty() && words.size() <= 2 && WordLists::contains(kMeetings, words[0]) &&
           std::all_of(words.begin() + 1, words.end(), [](std::string_view number) {
               return std::all_of(number.begin(), number.end(), [](char c) {
                   return std::isdigit(static_cast<unsigned char>(c)) != 0;
               });
           });
}

bool saysGeneric(const std::string& name) {
    if (announcesAppointment(name)) {
        return true;
    }
    const std::string folded = FinderText::fold(name);
    const auto words = foldedWords(folded);
    return std::any_of(words.begin(), words.end(), [](std::string_view word) {
        return Vocabulary::isGenericHeadingWord(word);
    });
}

// "Jour 1 :", "Day 2 –", "Tag 3:": the label of one day of an event held over several, at the
// start of a line; its length in tokens, or 0.
std::size_t dayOfSeriesLabel(const Line& line) {
    const Token* number = line.at(1);
    return isWordIn(line.at(0), {"day", "jour", "journee", "tag", "part", "partie", "teil"}) &&
                   number && number->isNumber() && number->value >= 1 && number->value <= 9
               ? 2
               : 0;
}

// Whether a word of the text passes `test`.
template <typename Test> bool anyWord(const TextFacts& text, Test test) {
    return std::any_of(text.lines.begin(), text.lines.end(), [&test](const Line& line) {
        return std::any_of(line.tokens.begin(), line.tokens.end(), test);
    });
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

// Whether a text is about a flight: "Flight KS 417", "Kestrel Airways", "Atlantica Air", "Ihr
// Flug", "votre vol".
bool aboutFlight(const TextFacts& text) {
    return anyWord(text, [](const Token& t) {
        return isWordIn(&t, {"flight", "flights", "airline", "airlines", "airways", "flug",
                             "fluges", "vol"}) ||
               (t.capital && t.isWord("air"));
    });
}

// What a ticket's journey is made in, as a calendar names it: "Train", "Coach", "Zug",
// "Fernbus", "Autocar". The word the text uses most for one; none for a flight (see aboutFlight)
// or where no word names one. French names a train's or a boat's trip by its route alone
// ("Paris Gare de Lyon → Marseille Saint-Charles").
std::optional<std::string> vehicleOf(const TextFacts& text, const std::string& localeId) {
    const bool german = localeId.starts_with("de");
    const bool french = localeId.starts_with("fr");
    const auto kind = [&](const Line& line, std::size_t k) -> std::optional<std::string_view> {
        const Token& t = line.tokens[k];
        // "Coach C, Seat 42": a train's carriage.
        const Token* next = line.at(k + 1);
        const bool carriage = t.isWord("coach") && next != nullptr &&
                              (next->isNumber() || next->isWord()) && next->end - next->begin <= 2;
        if (carriage || isWordIn(&t, {"train", "trains", "rail", "railcard", "zug", "zuges",
                                      "bahnfahrt", "tgv", "sncf"})) {
            return german ? "Zug" : "Train";
        }
        if (isWordIn(&t, {"coach", "coaches", "autocar", "autocars", "fernbus"})) {
            return german ? "Fernbus" : french ? "Autocar" : "Coach";
        }
        if (isWordIn(&t, {"bus", "autobus"})) {
            return "Bus";
        }
        if (isWordIn(&t, {"ferry", "ferries", "sailing", "fahre", "traversee", "bateau"})) {
            return german ? "Fähre" : "Ferry";
        }
        return std::nullopt;
    };
    std::map<std::string_view, int> counts;
    for (const Line& line : text.lines) {
        for (std::size_t k = 0; k < line.tokens.size(); ++k) {
            if (const auto found = kind(line, k)) {
                ++counts[*found];
            }
        }
    }
    if (french) {
        std::erase_if(counts,
                      [](const auto& c) { return c.first == "Train" || c.first == "Ferry"; });
    }
    const auto most =
        std::max_element(counts.begin(), counts.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == counts.end() ? std::nullopt : std::optional(std::string(most->first));
}

// Whether a text is about a marriage: "at the celebration of their marriage", "Hochzeit".
bool aboutWedding(const TextFacts& text) {
    return anyWord(text, [](const Token& t) {
        return isWordIn(&t, {"marriage", "married", "wedding", "hochzeit", "trauung", "heiraten",
                             "mariage", "marier"});
    });
}

// The game a text's matches are of: "RIVERBEND YOUTH SOCCER ASSOCIATION", "Year 9 Netball
// Fixtures".
std::optional<std::string> sportOf(const TextFacts& text) {
    static const std::set<std::string_view> sports = {
        "soccer",   "football", "hockey",     "rugby",    "netball",  "cricket", "basketball",
        "baseball", "softball", "volleyball", "lacrosse", "handball", "futsal",  "fussball"};
    for (const Line& line : text.lines) {
        for (const Token& t : line.tokens) {
            if (t.isWord() && sports.contains(t.key)) {
                return normalCapitalisation(std::string(line.slice(t.begin, t.end)));
            }
        }
    }
    return std::nullopt;
}

} // namespace

TitlePicker::TitlePicker(const TextFacts& text, const std::vector<Candidate>& candidates,
                         const std::string& localeId, std::string venue)
    : m_text(text), m_localeId(localeId), m_venue(std::move(venue)), m_flight(aboutFlight(text)),
      m_vehicle(m_flight ? std::nullopt : vehicleOf(text, localeId)), m_wedding(aboutWedding(text)),
      m_sport(sportOf(text)), m_practitioner(practitionerOf(text.lines)) {
    std::set<std::size_t> lines;
    for (const Candidate& c : candidates) {
        lines.insert(c.line);
        m_eventBlocks.insert(text.lines[c.line].block);
    }
    m_manyLines = lines.size() >= 2;
    m_daysOfSeries =
        static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](std::size_t li) {
            return dayOfSeriesLabel(text.lines[li]) > 0;
        }));
    m_rows.assign(lines.begin(), lines.end());
    m_firstEventLine = candidates.empty() ? 0 : candidates.front().line;
    // A letter's sign-off and what follows it (the sender's name) name no event.
    const SignOff signature = signOff(text);
    m_signature = signature.begin;
    m_signatureEnd = signature.end;
    // Above a chat's messages stands the name of the chat ("Tigers U10 Parents", "Book club"),
    // not of an event.
    const auto firstMessage = std::find_if(m_text.facts.begin(), m_text.facts.end(),
                                           [](const LineFacts& f) { return f.speaker; });
    const auto messages = std::count_if(m_text.facts.begin(), m_text.facts.end(),
                                        [](const LineFacts& f) { return f.speaker; });
    if (messages >= 2) {
        m_chatStart = static_cast<std::size_t>(firstMessage - m_text.facts.begin());
    }
    // In a list, a row's name is its own, not the heading of the other rows.
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        if (m_manyLines && lines.count(li) > 0) {
            continue;
        }
        if (auto option = lineOption(li, false)) {
            m_headings.push_back(std::move(*option));
        }
    }
    // "Course: Wine Studies – Foundation Level" names the event; the mail's subject about it
    // names the message ("NC-214 Wine Studies: timetable & joining details").
    const auto subject = [this](const TitleOption& option) {
        return Vocabulary::isSubjectLabel(m_text.facts[option.line].label);
    };
    if (std::any_of(m_headings.begin(), m_headings.end(), [&](const TitleOption& option) {
            return option[TitleFeature::labelled] != 0 && !subject(option);
        })) {
        for (TitleOption& option : m_headings) {
            if (subject(option)) {
                option[TitleFeature::labelled] = 0;
            }
        }
    }
}

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
    if (isColumnHeads(line) || sectionLabel(line) || endsInCountry(line) ||
        (!own && (isListItem(m_text.lines, li) || presentsBelow(line) ||
                  presentsFromAbove(m_text.lines, li)))) {
        return std::nullopt;
    }
    const auto segments = freeSegments(line, facts);
    bool skippedGeneric = false; // "Timed Entry Ticket – General Admission" is a weak heading
    for (const Segment& piece : segments) {
        Segment s = piece;
        // "1. Jahreshauptversammlung": the section's number is no part of its name.
        if (s.begin == 0 && s.end > 2 && opensNumberedSection(m_text.lines, li)) {
            s.begin = 2;
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
        if (s.label || !hasSubstance(line, s, m_localeId) || isAddress(line, s) ||
            onlyLabels(line, s) ||
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
        // "Right, Sunday walk is on": a word set off by a comma opens a sentence.
        const bool opener = wordCount(line, s) == 1 && s.end < line.tokens.size() &&
                            line.tokens[s.end].isSymbol(",") &&
                            anyToken(line, s.end, line.tokens.size(), [](const Token& t) {
                                return t.isWord() && Vocabulary::isClauseWord(t.key);
                            });
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

std::vector<TitleOption> TitlePicker::options(const Candidate& c) const {
    std::vector<TitleOption> out;
    const auto add = [&out](std::string text, std::size_t line, TitleFeature source) {
        TitleOption option{.text = std::move(text), .line = line};
        option[source] = 1;
        out.push_back(std::move(option));
    };
    if (auto leg = legTitle(c)) {
        add(*leg, c.line, TitleFeature::leg);
    }
    // A row that gives only its times and venue is named by the line above it, not by a remark
    // in brackets nor a sentence that leads in to the row ("… Gisler (Fachstelle Medienbildung):").
    const bool venueRow = onlyVenueAfterTimes(m_text.lines[c.line], m_text.facts[c.line]);
    const auto namesRow = [this](std::size_t li) {
        const auto& tokens = m_text.lines[li].tokens;
        return m_text.lines[li].block == m_text.lines[li + 1].block &&
               m_text.facts[li].dates.empty() && m_text.facts[li].times.empty() &&
               !tokens.empty() && !tokens.front().isSymbol("(") && !tokens.back().isSymbol(":");
    };
    const bool namedAbove = venueRow && c.line > 0 && namesRow(c.line - 1);
    // "Session 2" says which meeting of a course a row is, not what is on.
    if (auto own = !venueRow    ? lineOption(c.line, true)
                   : namedAbove ? lineOption(c.line - 1, true)
                                : std::nullopt;
        own && !namesOnlyMeeting(own->text)) {
        (*own)[TitleFeature::listRow] = c.session || m_manyLines ? 1 : 0;
        out.push_back(std::move(*own));
    }
    if (auto route = trip(routeTitle(c))) {
        add(*route, c.line, TitleFeature::route);
    }
    // A session of a schedule named on its own line is named there, not by the day's heading.
    if (c.session && !out.empty()) {
        return out;
    }
    // One that is not is named by its day's line as by its own ("Sunday, Sept 19 — Farewell
    // Brunch" over "10am – noon at the Orchard Inn").
    if (auto day = c.session && c.headingLine ? lineOption(*c.headingLine, true) : std::nullopt) {
        out.push_back(std::move(*day));
    }
    const auto place = [&c, this](TitleOption& option) {
        const std::size_t li = option.line;
        option[TitleFeature::distance] =
            static_cast<double>(std::min(li > c.line ? li - c.line : c.line - li, kFar));
        option[TitleFeature::below] = li > c.line ? 1 : 0;
        option[TitleFeature::otherBlock] =
            m_text.lines[li].block != m_text.lines[c.line].block ? 1 : 0;
    };
    // Events set in blocks of their own ("LANTERN-MAKING WORKSHOPS" over its day and place,
    // "LANTERN WALK" over its own) are named by the heading of their block.
    const int block = m_text.lines[c.line].block;
    const auto ownHeading = [&](const TitleOption& heading) {
        return m_eventBlocks.size() >= 2 && heading.line < c.line &&
               m_text.lines[heading.line].block == block && heading[TitleFeature::generic] == 0 &&
               heading[TitleFeature::dated] == 0;
    };
    // Whose day it is ("at the marriage of their daughter …") names the first event below it,
    // whatever block that is set in.
    const auto announces = [&](const TitleOption& heading) {
        const auto next = std::upper_bound(m_rows.begin(), m_rows.end(), heading.line);
        return heading[TitleFeature::occasion] != 0 && next != m_rows.end() &&
               m_text.lines[*next].block == block;
    };
    const bool headed = std::any_of(m_headings.begin(), m_headings.end(), ownHeading);
    // "Subject: Camera Club – Winter programme & AGM" over "Sat 25 July – Winter field trip to
    // Lyttelton", "• Sa 10.10., 11:15 Uhr – Führung" and "Networking dinner – Saturday 12 Sept": a
    // row that sets what happens beside its day names that event, and the subject it shares with
    // every other row weighs as any heading does.
    const auto& dates = m_text.facts[c.line].dates;
    const auto& tokens = m_text.lines[c.line].tokens;
    const auto dayAt = dates.empty() || c.session || c.begin >= tokens.size()
                           ? tokens.end()
                           : tokens.begin() + static_cast<std::ptrdiff_t>(c.begin);
    const bool besideDay =
        dayAt != tokens.end() &&
        (std::all_of(tokens.begin(), dayAt,
                     [this](const Token& t) {
                         return t.isSymbol() || (t.isWord() && Words::weekday(t.key, m_localeId));
                     }) ||
         (dayAt - 1)->isDash());
    const bool namedRow = besideDay && !out.empty() && out.front()[TitleFeature::listRow] != 0 &&
                          out.front()[TitleFeature::eventNoun] != 0;
    for (TitleOption heading : m_headings) {
        if (headed && !ownHeading(heading) && !announces(heading)) {
            continue;
        }
        if (namedRow) {
            heading[TitleFeature::labelled] = 0;
        }
        place(heading);
        out.push_back(std::move(heading));
    }
    // A block with a heading of its own is not named by a sentence of another block either.
    if (auto sentence = sentenceOption(c);
        sentence && !(headed && m_text.lines[sentence->line].block != block) &&
        !announcesAppointment(sentence->text)) {
        place(*sentence);
        out.push_back(std::move(*sentence));
    }
    // "Am Mittwoch findet die Sperrmüllabfuhr statt" names the event in the day's own sentence.
    if (auto subject = subjectAfterDay(c)) {
        add(*subject, c.line, TitleFeature::sentence);
        out.back()[TitleFeature::sameLine] = 1;
    }
    if (auto trip = tripTitle(c)) {
        add(*trip, c.line, TitleFeature::trip);
    }
    if (auto clause = clauseTitle(c)) {
        add(*clause, c.line, TitleFeature::clause);
    }
    // ... nor by the text's venue.
    if (!m_venue.empty() && !headed) {
        add(m_venue, c.line, TitleFeature::venue); // "Your booking is confirmed at The Harbor Inn"
    }
    // Nor does a sentence's "Session".
    std::erase_if(out, [](const TitleOption& option) { return namesOnlyMeeting(option.text); });
    return out;
}

std::optional<std::string> TitlePicker::fixedTitle(const Candidate& c) const {
    if (auto due = c.due ? dueTitle(c) : std::nullopt) {
        return normalCapitalisation(*due);
    }
    // "The school will be closed on Friday 13 March for staff training": the closure is the
    // event, whatever it is for.
    if (auto closure = c.session ? std::nullopt : clauseBefore(c.line, c.begin);
        closure && closure->closure) {
        return normalCapitalisation(closure->text);
    }
    return std::nullopt;
}

std::string TitlePicker::title(const Candidate& c) const {
    if (auto fixed = fixedTitle(c)) {
        return *fixed;
    }
    const std::vector<TitleOption> all = options(c);
    if (const TitleOption* best = chooseTitle(all)) {
        return withDayOfSeries(finished(best->text), c.line);
    }
    // Nothing names it: whom it is with, or else the line, without a chat message's stamp and
    // writer.
    if (m_practitioner) {
        return *m_practitioner;
    }
    const Line& line = m_text.lines[c.line];
    const LineFacts& facts = m_text.facts[c.line];
    return finished(facts.speaker && facts.labelEnd < line.tokens.size()
                        ? line.text.substr(line.tokens[facts.labelEnd].begin)
                        : line.text);
}

std::string TitlePicker::withDayOfSeries(std::string title, std::size_t li) const {
    const Line& line = m_text.lines[li];
    const std::size_t label = dayOfSeriesLabel(line);
    if (label == 0 || m_daysOfSeries < 2 || FinderText::fold(title).find(line.at(0)->key) == 0) {
        return title;
    }
    return title + " (" + std::string(line.span(0, label)) + ")";
}

} // namespace plannery::reader
