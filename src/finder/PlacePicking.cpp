#include "finder/PlacePicking.h"

#include "finder/AddressReading.h"
#include "finder/LineSegments.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"
#include "model/CalEvent.h"

#include <algorithm>
#include <vector>

namespace plannery::reader {

namespace {

constexpr std::size_t kLongestVenue = 7; // words

// Whether token `k` lies in one of the mentions (of times or of dates) found on its line.
template <typename Mention> bool within(const std::vector<Mention>& mentions, std::size_t k) {
    return std::any_of(mentions.begin(), mentions.end(),
                       [k](const Mention& m) { return k >= m.begin && k < m.end; });
}

bool isCalendarWord(const Token& t, const std::string& localeId) {
    return t.isWord() && (Words::weekday(t.key, localeId) || Words::month(t.key, localeId));
}

bool hasVenueWord(const Line& line, std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end && k < line.tokens.size(); ++k) {
        if (line.tokens[k].isWord() && Vocabulary::isVenueWord(line.tokens[k].key)) {
            return true;
        }
    }
    return false;
}

// ", Civic Centre" (with a town ending the line) or "(Riverside Park)" right after a place
// belongs to it.
std::size_t extendPlace(const Line& line, std::size_t end) {
    const Token* next = line.at(end);
    // ", Kirchgasse 2" after "Gemeindesaal St. Martin" is its address.
    if (next && next->isSymbol(",") && end + 1 < line.tokens.size() &&
        Addresses::startsAt(line, end + 1)) {
        return Addresses::endFrom(line, end + 1);
    }
    if (next && next->isSymbol(",") && hasVenueWord(line, end + 1, end + 4)) {
        std::size_t k = end + 1;
        while (k < line.tokens.size() &&
               (line.tokens[k].isWord() || line.tokens[k].isNumber() ||
                (line.tokens[k].isSymbol(".") && !line.tokens[k].spaced &&
                 k + 1 < line.tokens.size() && line.tokens[k + 1].isNumber()))) {
            ++k;
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

} // namespace

PlacePicker::PlacePicker(const TextFacts& text, const std::vector<Candidate>& candidates,
                         const std::string& localeId)
    : m_text(text), m_localeId(localeId), m_signOff(signOff(text)) {
    for (const Candidate& c : candidates) {
        if (std::find(m_rows.begin(), m_rows.end(), c.line) == m_rows.end()) {
            m_rows.push_back(c.line);
        }
    }
    m_place = labelled();
    if (!m_place) {
        m_place = address();
        // A venue named elsewhere goes before an address that has none ("live at Hideaway
        // Lounge" ... "2201 N Halsted St").
        if (m_place && !m_addressHasVenue) {
            for (std::size_t li = 0; li < text.lines.size(); ++li) {
                if (auto venue = phrase(li, 0);
                    venue && m_place->find(*venue) == std::string::npos) {
                    m_place = *venue + ", " + *m_place;
                    break;
                }
            }
        }
    }
    if (!m_place) {
        m_place = venueLine(VenueLines::body);
    }
    if (!m_place) {
        for (const Candidate& c : candidates) {
            if ((m_place = phrase(c.line, 0))) {
                m_placeLine = c.line;
                break;
            }
        }
    }
    // The link to join a call says where an event is held better than a name in a sentence away
    // from its day ("have a look at the Figma file before the meeting").
    if (!m_place) {
        m_place = meetingLink();
    }
    // A place named in the heading ("FREE YOGA IN THE PARK") is part of the event's name; one
    // named in the lines below says where it is.
    const std::size_t heading = headingLine().value_or(text.lines.size());
    for (std::size_t li = 0; li < text.lines.size() && !m_place; ++li) {
        if (li != heading) {
            m_place = phrase(li, 0);
            m_placeLine = li;
        }
    }
    if (!m_place && heading < text.lines.size()) {
        m_place = phrase(heading, 0);
        m_placeLine = heading;
    }
    // The top line names who writes ("Mairie de Villeneuve", "BOOK CLUB") more often than where
    // the event is, so it comes after any other venue.
    if (!m_place) {
        m_place = venueLine(VenueLines::top);
    }
    if (!m_place) {
        m_place = venueLine(VenueLines::signOff);
    }
}

std::optional<std::string> PlacePicker::labelled() const {
    std::optional<std::string> found;
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        const LineFacts& facts = m_text.facts[li];
        const Line& line = m_text.lines[li];
        // "Room: Double, garden view" in a booking is the kind of room, not where it is.
        const bool roomKind =
            facts.label == "room" &&
            std::any_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(facts.labelEnd),
                        line.tokens.end(), [](const Token& t) {
                            return isWordIn(&t, {"single", "double", "twin", "triple", "suite",
                                                 "king", "queen", "deluxe", "superior", "family"});
                        });
        if (!Vocabulary::isPlaceLabel(facts.label) || roomKind) {
            continue;
        }
        // "Treffpunkt: 8:00 Uhr auf dem Schulhof", "Lieu : 14h15, salle B12": the time the
        // label gives with its place is no part of it.
        std::size_t from = facts.labelEnd;
        while (from < line.tokens.size() &&
               (within(facts.times, from) || line.tokens[from].isSymbol(","))) {
            ++from;
        }
        std::string value =
            from == facts.labelEnd
                ? trimWhiteSpace(line.text.substr(line.tokens[facts.labelEnd - 1].end))
            : from < line.tokens.size() ? trimWhiteSpace(line.text.substr(line.tokens[from].begin))
                                        : std::string();
        if (value.empty() && from == facts.labelEnd && li + 1 < m_text.lines.size()) {
            value = m_text.lines[li + 1].text;
        }
        if (value.empty()) {
            continue;
        }
        // An address under a venue's label adds to the venue.
        if (found && (facts.label == "address" || facts.label == "adresse")) {
            return *found + ", " + value;
        }
        if (found) {
            return found;
        }
        found = trimWhiteSpace(value);
    }
    return found;
}

std::optional<std::string> PlacePicker::address() {
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        const Line& line = m_text.lines[li];
        const LineFacts& lineFacts = m_text.facts[li];
        const auto span = Addresses::span(line);
        // A sentence that gives the day may go on to say where ("un entretien le jeudi 19 mars à
        // 14h30, dans nos locaux au 18 rue de la République"); an address before or among the
        // days is a number misread as one.
        const bool afterDays =
            span &&
            std::all_of(lineFacts.dates.begin(), lineFacts.dates.end(),
                        [&span](const DateMention& d) { return d.end <= span->first; }) &&
            std::all_of(lineFacts.times.begin(), lineFacts.times.end(),
                        [&span](const TimeMention& t) { return t.end <= span->first; });
        if (!span || (!lineFacts.dates.empty() && !afterDays) ||
            Vocabulary::isDetailLabel(lineFacts.label) || m_text.header[li]) {
            continue;
        }
        // The venue's name on the lines above ("The Old Rectory" over "Church Lane, Little Haddon"
        // over "Oxfordshire OX7 4QP"), and the town on the lines below.
        const auto isNamePart = [this, &line](std::size_t k) {
            const Line& above = m_text.lines[k];
            const LineFacts& facts = m_text.facts[k];
            return above.block == line.block && facts.dates.empty() && facts.times.empty() &&
                   facts.label.empty() && above.tokens.size() <= 8 && above.tokens[0].capital &&
                   !std::any_of(above.tokens.begin(), above.tokens.end(), [](const Token& t) {
                       return t.isWord() && Vocabulary::isEventNoun(t.key);
                   });
        };
        std::size_t first = li;
        if (span->first == 0) {
            while (first > 0 && li - first < 2 && isNamePart(first - 1) &&
                   (hasVenueWord(m_text.lines[first - 1], 0, 8) ||
                    std::any_of(m_text.lines[first - 1].tokens.begin(),
                                m_text.lines[first - 1].tokens.end(),
                                [](const Token& t) {
                                    return t.isWord() && Vocabulary::isStreetWord(t.key);
                                }) ||
                    (first == li && first >= 2 && !m_text.facts[first - 2].dates.empty()))) {
                --first;
            }
        }
        std::string text;
        for (std::size_t k = first; k < li; ++k) {
            text += trimWhiteSpace(m_text.lines[k].text) + ", ";
        }
        text += line.span(span->first, span->second);
        for (std::size_t k = li + 1; k < m_text.lines.size() && k <= li + 2; ++k) {
            const auto below = Addresses::span(m_text.lines[k]);
            if (!below || below->first != 0 || m_text.lines[k].block != line.block ||
                !m_text.facts[k].dates.empty() || !m_text.facts[k].label.empty()) {
                break;
            }
            text += ", " + std::string(m_text.lines[k].span(below->first, below->second));
        }
        // "Osteria Nonna, 22 Market Square": a name without a number before the street's.
        bool namedFirst = false;
        for (std::size_t k = span->first; k < span->second; ++k) {
            const Token& t = line.tokens[k];
            if (t.isNumber() || (t.isWord() && Vocabulary::isStreetWord(t.key))) {
                break;
            }
            if (t.isSymbol(",")) {
                namedFirst = k > span->first && line.tokens[span->first].capital;
                break;
            }
        }
        m_addressHasVenue = first < li || span->first > 0 || namedFirst;
        return text;
    }
    return std::nullopt;
}

std::size_t PlacePicker::topLine() const {
    // The first line with words, under what a recogniser may have made of a picture ("ES").
    std::size_t top = 0;
    while (top + 1 < m_text.lines.size() &&
           std::none_of(m_text.lines[top].tokens.begin(), m_text.lines[top].tokens.end(),
                        [](const Token& t) { return t.isWord() && t.key.size() >= 3; })) {
        ++top;
    }
    return top;
}

std::optional<std::size_t> PlacePicker::headingLine() const {
    const std::size_t top = topLine();
    if (top >= m_text.lines.size()) {
        return std::nullopt;
    }
    const auto& tokens = m_text.lines[top].tokens;
    const bool namesEvent = std::any_of(tokens.begin(), tokens.end(), [](const Token& t) {
        return t.isWord() && Vocabulary::isEventNoun(t.key);
    });
    return namesEvent ? std::optional(top) : std::nullopt;
}

std::optional<std::string> PlacePicker::venueLine(VenueLines which) const {
    const std::size_t top = topLine();
    const auto headingAt = headingLine();
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        const Line& line = m_text.lines[li];
        const LineFacts& facts = m_text.facts[li];
        // A first line that names an event is the text's heading ("FREE YOGA IN THE PARK").
        const bool heading = headingAt == li;
        // A line that exclaims is a slogan ("Keep Elm Park Beautiful!"), not a venue's name; one
        // that opens with "your" or "our" or a closing ("Thanks, Office") signs a letter ("Ihr
        // Kita-Team Sonnenschein").
        const bool exclaims = !line.tokens.empty() && line.tokens.back().isSymbol("!");
        // A sentence ("Come and meet our teachers and see the school.") names no venue either.
        const bool sentence =
            std::any_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
                return t.isWord() && Vocabulary::isClauseWord(t.key);
            });
        const bool signs = !line.tokens.empty() && line.tokens.front().isWord() &&
                           (Vocabulary::isClauseWord(line.tokens.front().key) ||
                            Vocabulary::isClosing(line.tokens.front().key) ||
                            isWordIn(&line.tokens.front(), {"your", "votre", "vos", "euer"}));
        // A street without a number, with its town: "Quai de la Fosse, Nantes".
        const auto comma = std::find_if(line.tokens.begin(), line.tokens.end(),
                                        [](const Token& t) { return t.isSymbol(","); });
        const bool street = comma != line.tokens.end() && comma + 1 != line.tokens.end() &&
                            std::any_of(line.tokens.begin(), comma, [](const Token& t) {
                                return t.isWord() && t.capital && Vocabulary::isStreetWord(t.key);
                            });
        if (heading || exclaims || signs || sentence || !facts.dates.empty() ||
            !facts.times.empty() || !facts.label.empty() ||
            line.tokens.size() > kLongestVenue + 3 || line.tokens.empty() ||
            !line.tokens[0].capital || (!hasVenueWord(line, 0, line.tokens.size()) && !street) ||
            std::any_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
                return t.isNumber() && t.key.size() == 4; // "Lincoln Middle School 2026–27 ..."
            })) {
            continue;
        }
        // A route ("London St Pancras → Paris Gare du Nord") starts where the trip does.
        const auto arrow = std::find_if(line.tokens.begin(), line.tokens.end(),
                                        [](const Token& t) { return t.isSymbol("→"); });
        if (arrow != line.tokens.begin() && arrow != line.tokens.end()) {
            return std::string(line.span(0, static_cast<std::size_t>(arrow - line.tokens.begin())));
        }
        const bool signedOff = li >= m_signOff.begin && li < m_signOff.end;
        if ((signedOff   ? VenueLines::signOff
             : li == top ? VenueLines::top
                         : VenueLines::body) != which) {
            continue;
        }
        return trimWhiteSpace(line.text);
    }
    return std::nullopt;
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
    for (std::size_t i = from; i + 1 < line.tokens.size(); ++i) {
        const Token& t = line.tokens[i];
        // "at", "@", "au", "bei" name a place by its name; "in", "im", "dans", "visiting", "on"
        // only with a word for a place ("in Conference Room B", "on the school field", not "in
        // Seattle").
        const bool byName = t.isSymbol("@") || isWordIn(&t, {"at", "au"});
        const bool byKind =
            isWordIn(&t, {"in", "im", "dans", "en", "bei", "visiting", "visit", "on"});
        // "Hands-on lab", "drop-in session": a word joined by a dash is no preposition.
        const bool joined = i > 0 && !t.spaced && line.tokens[i - 1].isSymbol("-");
        if ((!byName && !byKind) || joined) {
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
        // "The Red Lion" keeps its article.
        if (begin > i + 1 && line.tokens[begin - 1].capital) {
            --begin;
        }
        // A place named in lower case ("la salle polyvalente", "the library", "the high school")
        // runs on in lower case.
        bool lowerVenue =
            !head->capital && hasVenueWord(line, begin, begin + 3) && head->key != "the";
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
            const bool part =
                (w.isWord() && (w.capital || lowerVenue) && !isCalendarWord(w, m_localeId)) ||
                (w.isNumber() && end > begin && !inTime(end)) || joins || w.isSymbol("'") ||
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
            if (!part || dayFollows || inDate(end) ||
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
        if (end == begin || (byKind && !venue && (capitals < 2 || t.isWord("on"))) ||
            (withVenueWord && !venue)) {
            continue;
        }
        end = extendPlace(line, end);
        return std::string(line.span(begin, end));
    }
    return std::nullopt;
}

std::optional<std::string> PlacePicker::rowPlace(std::size_t li, std::size_t from,
                                                 bool nameFirst) const {
    const Line& line = m_text.lines[li];
    const LineFacts& facts = m_text.facts[li];
    const auto segments = freeSegments(line, facts);
    const bool prose = std::any_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
        return t.isWord() && Vocabulary::isClauseWord(t.key);
    });
    // In a row of a schedule or list, a piece after the name that is a place ("– Room 2",
    // ", Library"); a remark in parentheses in lower case is not ("(school closed)").
    const auto afterDay = [&facts](const Segment& s) {
        return std::any_of(facts.dates.begin(), facts.dates.end(),
                           [&s](const DateMention& d) { return d.end <= s.begin; }) ||
               std::any_of(facts.times.begin(), facts.times.end(),
                           [&s](const TimeMention& t) { return t.end <= s.begin; });
    };
    // A place a preposition names with a word for one comes first ("in the canteen, Building
    // B"), then a piece that is a place, then any name after "at": in "Streaming at Scale with
    // Open Tools (Room 12A)" the room is the place.
    if (auto named = phrase(li, from, true)) {
        return named;
    }
    // A match's second side is part of its name ("TSV Eichenau – FC Puchheim").
    const auto fixture = nameFirst ? fixtureSides(m_text, m_rows, li) : std::nullopt;
    const bool twoPieces = fixture && !segments.empty() && fixture->end > segments[0].end;
    for (std::size_t k = 0; k < segments.size() && !prose; ++k) {
        const Segment& s = segments[k];
        if ((k == 0 && (nameFirst || !afterDay(s))) || (k == 1 && twoPieces)) {
            continue; // the row's name
        }
        const Token& first = line.tokens[s.begin];
        const bool bracketed = s.begin > 0 && line.tokens[s.begin - 1].isSymbol("(");
        // "Probe im Vereinsheim": the place is what the preposition names.
        const bool introduces = std::any_of(
            line.tokens.begin() + static_cast<std::ptrdiff_t>(s.begin),
            line.tokens.begin() + static_cast<std::ptrdiff_t>(s.end), [](const Token& t) {
                return isWordIn(&t, {"at", "in", "im", "au", "dans", "bei"}) || t.isSymbol("@");
            });
        if (introduces) {
            continue;
        }
        if (s.begin < from || s.label || wordCount(line, s) > 6 ||
            Vocabulary::isFiller(first.key) || (bracketed && !first.capital)) {
            continue;
        }
        const bool room = s.end - s.begin == 2 && first.isWord() && first.capital &&
                          line.tokens[s.begin + 1].isNumber();
        if (hasVenueWord(line, s.begin, s.end) || room) {
            // ", Seoul COEX" after "Room 220-222" belongs to it.
            Segment place = s;
            for (std::size_t n = k + 1; n < segments.size(); ++n) {
                if (!line.tokens[segments[n - 1].end].isSymbol(",") ||
                    !line.tokens[segments[n].begin].capital) {
                    break;
                }
                place.end = segments[n].end;
            }
            return segmentText(line, place);
        }
    }
    // An address the row gives after its day ("bei Dr. Schneider (Hausarztpraxis am Markt,
    // Marktplatz 3, 72070 Tübingen)") goes before a name after a preposition.
    if (const auto address = Addresses::span(line);
        address && address->first >= from &&
        std::all_of(facts.dates.begin(), facts.dates.end(),
                    [&address](const DateMention& d) { return d.end <= address->first; })) {
        return std::string(line.span(address->first, address->second));
    }
    return phrase(li, from);
}

std::string PlacePicker::venueName() const {
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        if (auto venue = phrase(li, 0)) {
            return *venue;
        }
    }
    if (m_addressHasVenue && m_place) {
        return m_place->substr(0, m_place->find(", "));
    }
    return {};
}

std::optional<std::string> PlacePicker::place(const Candidate& c) const {
    if (auto own = rowPlace(c.line, c.begin, true)) {
        return own;
    }
    // A session takes the place its day's heading gives ("Saturday, July 18 · Room 220-222").
    if (c.headingLine) {
        if (auto heading = rowPlace(*c.headingLine, 0, false)) {
            return heading;
        }
    }
    // A place said in the sentence of one of several events is that event's ("Sports Day:
    // Wednesday 1 July on the school field"), not the others'.
    const bool ownedByAnother =
        m_rows.size() >= 2 && m_placeLine && *m_placeLine != c.line &&
        std::find(m_rows.begin(), m_rows.end(), *m_placeLine) != m_rows.end();
    return ownedByAnother ? std::nullopt : m_place;
}

} // namespace plannery::reader
