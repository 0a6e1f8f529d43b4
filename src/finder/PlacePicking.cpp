#include "finder/PlacePicking.h"

#include "finder/AddressReading.h"
#include "finder/HeadingShapes.h"
#include "finder/LegLines.h"
#include "finder/LineSegments.h"
#include "finder/NameShapes.h"
#include "finder/PlaceWords.h"
#include "finder/ReaderVocabulary.h"
#include "finder/RouteLines.h"
#include "finder/ScheduleLines.h"
#include "model/CalEvent.h"

#include <algorithm>
#include <vector>

// The text's place, from the kind of mention trusted most to the kind trusted least, and the place
// each event takes.
namespace plannery::reader {

PlacePicker::PlacePicker(const TextFacts& text, const std::vector<Candidate>& candidates,
                         const std::string& localeId)
    : m_text(text), m_localeId(localeId), m_placeColumns(placeColumns(text.lines)),
      m_signOff(signOff(text)) {
    for (const Candidate& c : candidates) {
        if (std::find(m_rows.begin(), m_rows.end(), c.line) == m_rows.end()) {
            m_rows.push_back(c.line);
        }
    }
    m_place = labelled();
    if (!m_place) {
        m_place = address();
        // The sender's address under the closing says less than the link to join a call.
        if (m_place && m_addressSignsOff) {
            if (auto link = meetingLink()) {
                m_place = std::move(link);
            }
        }
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

std::string PlacePicker::venueName() const {
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        if (auto venue = phrase(li, 0)) {
            return *venue;
        }
    }
    if (m_addressHasVenue && m_place) {
        return m_addressVenue;
    }
    return {};
}
namespace {

// "auf dem Pausenhof", "Wildpark Poing am" (a line broken after its preposition): the place
// without the words that join it to its sentence.
std::optional<std::string> withoutJoiningWords(const Line& line) {
    std::size_t begin = 0;
    std::size_t end = line.tokens.size();
    if (end >= 2 && !line.tokens[0].capital &&
        isWordIn(&line.tokens[0], {"auf", "im", "am", "at", "on", "sur", "dans"})) {
        const std::size_t name =
            end >= 3 && isWordIn(&line.tokens[1], {"dem", "der", "den", "the", "le", "la", "les"})
                ? 2
                : 1;
        if (line.tokens[name].isWord() && line.tokens[name].capital) {
            begin = name;
        }
    }
    // "salle de motricité (durée 1 h environ)", "Schulhof (bitte pünktlich, der Bus wartet
    // nicht!)": a length or a remark in brackets after it is no part of it.
    if (end > begin + 2 && line.tokens[end - 1].isSymbol(")")) {
        std::size_t open = end - 1;
        while (open > begin && !line.tokens[open].isSymbol("(")) {
            --open;
        }
        // "Studio Theatre (doors open 6.10pm)": a time in brackets says when, not where.
        const auto times = readTimes(line, TimeContext{});
        bool aside = std::any_of(times.begin(), times.end(),
                                 [open](const TimeMention& t) { return t.begin > open; });
        for (std::size_t k = open + 1; k + 1 < end; ++k) {
            const Token& t = line.tokens[k];
            aside = aside || t.isSymbol("!") || (t.isWord() && Vocabulary::isClauseWord(t.key)) ||
                    (t.isNumber() && isWordIn(&line.tokens[k + 1],
                                              {"h", "min", "mins", "minutes", "heure", "heures",
                                               "stunde", "stunden", "hour", "hours", "hrs"}));
        }
        // "Bühlstrasse 23, 8400 Winterthur (3. OG, kein Lift)": nor is a remark on the way in
        // after a whole address, unlike the region it names ("1791 EK Den Burg (Texel)").
        const auto address = Addresses::span(line);
        const bool remark =
            std::any_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(open),
                        line.tokens.begin() + static_cast<std::ptrdiff_t>(end),
                        [](const Token& t) { return t.isNumber() || (t.isWord() && !t.capital); });
        aside = aside || (address && address->second == open && remark);
        // "Lake Bryan (permission slips due 3/18)", "guichet 3 (rez-de-chaussée)": a remark of a
        // few words in lower case, unlike where in or by the place ("corner of Elm & 3rd",
        // "bâtiment B, niveau 0").
        const auto words = std::count_if(line.tokens.begin() + static_cast<std::ptrdiff_t>(open),
                                         line.tokens.begin() + static_cast<std::ptrdiff_t>(end),
                                         [](const Token& t) { return t.isWord(); });
        const Token* opening = line.at(open + 1);
        const bool where =
            hasBuildingPart(line, open, end) ||
            isWordIn(opening,
                     {"corner", "near",      "next",     "behind",     "opposite", "beside",
                      "across", "entrance",  "upstairs", "downstairs", "inside",   "outside",
                      "back",   "front",     "pres",     "derriere",   "face",     "neben",
                      "hinter", "gegenuber", "eingang"});
        aside =
            aside || (words >= 3 && opening && opening->isWord() && !opening->capital && !where);
        if (aside && open > begin && line.tokens[open].isSymbol("(")) {
            end = open;
        }
    }
    while (end > begin + 1 && line.tokens[end - 1].isWord() && !line.tokens[end - 1].capital &&
           line.tokens[end - 1].spaced && Vocabulary::isDanglingWord(line.tokens[end - 1].key)) {
        --end;
    }
    if (begin == 0 && end == line.tokens.size()) {
        return std::nullopt;
    }
    return std::string(line.span(begin, end));
}

// "(2e étage)", "(1st floor, next to the cafeteria)", "(2. OG, Aufzug vorhanden)": a bracket
// that opens with the floor says how to find the room once there. Beside the building's name or
// address the calendar's place leaves it to the invitation; a room named alone ("Studio Lounge
// (2nd floor)") keeps it, as the only way to the room the place gives.
bool opensWithFloor(const Line& line, std::size_t open) {
    for (std::size_t k = open + 1; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        if (isWordIn(&t, {"floor", "level", "etage", "og", "eg", "ug", "stock", "obergeschoss",
                          "erdgeschoss", "untergeschoss", "dachgeschoss", "rez"})) {
            const Token* after = line.at(k + 1);
            return after && (after->isSymbol(")") || after->isSymbol(",") ||
                             (t.key == "rez" && after->isSymbol("-")));
        }
        const bool counts = t.isNumber() || t.isSymbol(".") ||
                            isWordIn(&t, {"st", "nd", "rd", "th", "e", "er", "eme", "ground",
                                          "lower", "upper", "top", "first", "second", "third"});
        if (!counts || k > open + 3) {
            return false;
        }
    }
    return false;
}

std::optional<std::string> withoutFloor(const Line& line) {
    for (std::size_t open = 1; open < line.tokens.size(); ++open) {
        if (!line.tokens[open].isSymbol("(") || !opensWithFloor(line, open)) {
            continue;
        }
        std::size_t close = open;
        while (close < line.tokens.size() && !line.tokens[close].isSymbol(")")) {
            ++close;
        }
        const auto comma = [&line](std::size_t from, std::size_t to) {
            return std::any_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(from),
                               line.tokens.begin() + static_cast<std::ptrdiff_t>(to),
                               [](const Token& t) { return t.isSymbol(","); });
        };
        if (close == line.tokens.size() || !(comma(0, open) || comma(close, line.tokens.size()))) {
            return std::nullopt;
        }
        std::string out(line.span(0, open));
        if (close + 1 < line.tokens.size()) {
            out += (line.tokens[close + 1].isSymbol() && !line.tokens[close + 1].spaced ? "" : " ");
            out += line.text.substr(line.tokens[close + 1].begin);
        }
        return out;
    }
    return std::nullopt;
}

// "Cycle Room · Coach Mel", "Studio 2 · Coach Tash R.": who leads what happens there, after a
// dot, is no part of the place; a name needs a word that says so, as a town after the dot
// ("Brightwater Theatre • Leeds") is.
std::optional<std::string> withoutLeader(const Line& line) {
    const auto dot = std::find_if(line.tokens.rbegin(), line.tokens.rend(),
                                  [](const Token& t) { return t.isSymbol("·"); });
    if (dot == line.tokens.rend()) {
        return std::nullopt;
    }
    constexpr std::size_t kLongestName = 4; // words
    const auto from = static_cast<std::size_t>(line.tokens.rend() - dot);
    std::size_t words = 0;
    for (std::size_t k = from; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        const bool initial = t.isSymbol(".") && k > from && line.tokens[k - 1].key.size() == 1;
        if (!(initial || (t.isWord() && t.capital && !Vocabulary::isVenueWord(t.key) &&
                          !Vocabulary::isStreetWord(t.key)))) {
            return std::nullopt;
        }
        words += t.isWord() ? 1 : 0;
    }
    // ... or a first name alone after a room ("Studio 1 · Priya").
    const bool leader =
        isWordIn(line.at(from), {"coach", "instructor", "trainer", "teacher", "tutor", "with",
                                 "mit", "avec", "dr", "mr", "mrs", "ms", "prof"}) ||
        line.tokens.back().isSymbol(".") ||
        (words == 1 && from >= 2 && line.tokens[from - 2].isNumber() &&
         hasVenueWord(line, 0, from - 1));
    if (words == 0 || words > kLongestName || from < 2 || !leader) {
        return std::nullopt;
    }
    return std::string(line.span(0, from - 1));
}

} // namespace

std::optional<std::string> PlacePicker::place(const Candidate& c) const {
    // Each trim gives the place without a part of its line, or none where it has none to take
    // off; each reads the line the one before left.
    std::optional<std::string> place = placeOf(c);
    for (const auto trim : {withoutJoiningWords, withoutFloor, withoutLeader}) {
        const std::vector<Line> lines = place ? readLines(*place) : std::vector<Line>{};
        if (lines.empty()) {
            break;
        }
        if (auto trimmed = trim(lines[0])) {
            place = std::move(trimmed);
        }
    }
    return place;
}

std::optional<std::string> PlacePicker::placeOf(const Candidate& c) const {
    // A leg of a journey on a ticket's rows leaves from its first station ("17:33  London Kings
    // Cross").
    const std::size_t stop = c.stopLine.value_or(c.line);
    if (auto station =
            c.finish && nextStop(m_text, stop) ? stationOfRow(m_text, stop) : std::nullopt) {
        return station;
    }
    if (auto moved = movedPlace(c)) {
        return moved;
    }
    // Its own row's place, said in the sentence of its day ("in St. Colman's Church on
    // Thursday 25th March at 12 noon"), not in one before it on its line.
    if (auto own = rowPlace(c.line, sentenceAround(m_text.lines[c.line], c.begin).begin, true)) {
        return own;
    }
    if (auto service = callService(c.line)) {
        return service;
    }
    // A session's place, or a row's that opens with its day ("Mar. 10 nov.   Pratique   18 h 15"
    // over "               Aréna Régis-Lavoie, glace 2", or a form's "Day 1:   Saturday 22nd
    // May, 10.00am" over "              Room 4, Main Building"), is set in below it.
    const Line& own = m_text.lines[c.line];
    constexpr std::size_t kLongestLabel = 3; // tokens
    const auto colon = std::find_if(own.tokens.begin(), own.tokens.end(),
                                    [](const Token& t) { return t.isSymbol(":"); });
    const auto afterColon = static_cast<std::size_t>(colon - own.tokens.begin()) + 1;
    const bool opensRow =
        c.begin == 0 || (colon != own.tokens.end() && afterColon <= kLongestLabel + 1 &&
                         own.pastSymbols(afterColon) == c.begin);
    if (auto below = c.session || (opensRow && c.start) ? setInBelow(c.line) : std::nullopt) {
        return below;
    }
    if (auto below = besideLength(c.line)) {
        return below;
    }
    // ... or, under a line of only its times, the address it is at.
    if (c.session && namedBelow(m_text, c.line)) {
        const Line& next = m_text.lines[c.line + 1];
        if (const auto address = Addresses::span(next); address && address->first == 0) {
            return Addresses::written(next, address->first, address->second);
        }
    }
    if (auto own = blockVenue(c)) {
        return own;
    }
    if (auto own = labelledBelow(c)) {
        return own;
    }
    // "Join: https://zoom.us/j/…" under each of several webinars: the link in its own block.
    if (auto link = ownBlock(c) ? meetingLink(m_text.lines[c.line].block) : std::nullopt) {
        return link;
    }
    // A session takes the place its day's heading gives ("Saturday, July 18 · Room 220-222").
    if (c.headingLine) {
        if (auto heading = rowPlace(*c.headingLine, 0, false)) {
            return heading;
        }
    }
    // A leg of a journey is where it leaves from: the route under its day ("KS 417  Melbourne
    // (MEL) 7:00am  ->  Sydney (SYD) 8:25am").
    for (std::size_t li = c.line; li < m_text.lines.size() && li <= c.line + 2; ++li) {
        if (m_text.lines[li].block != m_text.lines[c.line].block) {
            break;
        }
        if (auto start = routeStart(m_text.lines[li], m_text.facts[li])) {
            return start;
        }
    }
    // ... or what a ticket's "From:" over "To:" gives ("From  Bristol (BRS)").
    for (std::size_t li = c.line >= kReach ? c.line - kReach : 0;
         li < m_text.lines.size() && li <= c.line + kReach; ++li) {
        if (m_text.lines[li].block != m_text.lines[c.line].block) {
            continue;
        }
        if (auto route = routeOfLabels(m_text.lines, m_text.facts, li)) {
            return route->substr(0, route->find(" → "));
        }
    }
    // A place said in the sentence of one of several events is that event's ("Sports Day:
    // Wednesday 1 July on the school field"), not the others'; so is one said in the block of
    // another ("Excursion au Domaine du Bois-Rouvroy :" over "mercredi 7 octobre").
    const auto owns = [this, &c](std::size_t row) {
        return row != c.line && (row == *m_placeLine ||
                                 (m_text.lines[row].block == m_text.lines[*m_placeLine].block &&
                                  m_text.lines[c.line].block != m_text.lines[row].block));
    };
    const bool ownedByAnother = m_rows.size() >= 2 && m_placeLine && *m_placeLine != c.line &&
                                std::any_of(m_rows.begin(), m_rows.end(), owns);
    // Among several events, a whole day that names no place of its own ("Pädagogischer Tag –
    // kein Unterricht", "Last day of term", "Forms due") is held nowhere: the text's place, often
    // its sender's letterhead, is where its other events are.
    const bool wholeDayAmongOthers = m_rows.size() >= 2 && !c.start && !c.last;
    return ownedByAnother || wholeDayAmongOthers ? std::nullopt : m_place;
}

std::optional<std::string> PlacePicker::movedPlace(const Candidate& c) const {
    if (m_rows.size() != 1) {
        return std::nullopt;
    }
    for (std::size_t li = c.line + 1; li < m_text.lines.size() && li < m_signOff.begin; ++li) {
        const Line& line = m_text.lines[li];
        const LineFacts& facts = m_text.facts[li];
        if (!facts.dates.empty() || facts.chrome) {
            continue;
        }
        const auto address = Addresses::span(line);
        // A place of a few words after its article, with a word for a place or an address.
        const auto placeIn = [&](std::size_t begin, std::size_t end) -> std::optional<std::string> {
            if (isWordIn(line.at(begin), {"the", "das", "den", "die", "la", "le", "l'"})) {
                ++begin;
            }
            if (end <= begin || !line.tokens[begin].isWord() ||
                !(hasVenueWord(line, begin, end) ||
                  (address && address->first >= begin && address->first < end))) {
                return std::nullopt;
            }
            return trimWhiteSpace(line.span(begin, end));
        };
        const auto isTo = [](const Token* t) {
            return isWordIn(t, {"to", "into", "nach", "in", "ins", "a", "au", "dans"});
        };
        for (std::size_t k = 0; k < line.tokens.size(); ++k) {
            if (!(line.tokens[k].isWord() && Vocabulary::isMoveWord(line.tokens[k].key))) {
                continue;
            }
            // "moved to the Leeds office, Wellington Place – same date and time", "déplacée à
            // la salle des fêtes": up to the sentence's end or a remark set off by a dash.
            if (isTo(line.at(k + 1))) {
                std::size_t end = k + 2;
                while (end < line.tokens.size() && !endsSentenceAt(line, end) &&
                       !line.tokens[end].isDash() && !within(facts.times, end)) {
                    ++end;
                }
                if (auto place = placeIn(k + 2, end)) {
                    return place;
                }
            }
            // "wird in das Lager Süd verlegt": the verb after where to.
            for (std::size_t b = k; b-- > 0 && !endsSentenceAt(line, b);) {
                if (isTo(&line.tokens[b])) {
                    if (auto place = placeIn(b + 1, k)) {
                        return place;
                    }
                    break;
                }
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> PlacePicker::labelledBelow(const Candidate& c) const {
    if (m_rows.size() < 2) {
        return std::nullopt;
    }
    const std::size_t row = c.timeLine.value_or(c.line);
    for (std::size_t li = row + 1; li < m_text.lines.size() && li <= row + kReach; ++li) {
        if (std::find(m_rows.begin(), m_rows.end(), li) != m_rows.end()) {
            break;
        }
        if (auto place = labelledAt(li)) {
            return place;
        }
    }
    return std::nullopt;
}

bool PlacePicker::ownBlock(const Candidate& c) const {
    const int block = m_text.lines[c.line].block;
    return m_rows.size() >= 2 && std::none_of(m_rows.begin(), m_rows.end(), [&](std::size_t row) {
               return row != c.line && m_text.lines[row].block == block;
           });
}

std::optional<std::string> PlacePicker::blockVenue(const Candidate& c) const {
    if (!ownBlock(c)) {
        return std::nullopt;
    }
    const int block = m_text.lines[c.line].block;
    // "Friday, September 18" over "7 to 10 in the evening", "The Tap Room at Kingston Hall" and
    // "42 Wall Street, Kingston, NY": the venue's line and the address below it.
    std::string place;
    for (std::size_t li = c.line + 1;
         li < m_text.lines.size() && li <= c.line + kReach && m_text.lines[li].block == block;
         ++li) {
        const Line& line = m_text.lines[li];
        const LineFacts& facts = m_text.facts[li];
        if (!facts.dates.empty() || !facts.label.empty() || line.tokens.empty()) {
            break;
        }
        if (!facts.times.empty()) {
            // "Départ 15 h 30  Terminus Centre-Ville, 1420, rue des Érables, Montréal": the row of
            // the time a journey starts at gives the address it leaves from, up to where the
            // address ends ("um 19.30 Uhr im Saal …, Hauptstraße 17, statt").
            const TimeMention& time = facts.times.front();
            const auto address = Addresses::span(line);
            if (c.start && time.start == *c.start && !time.finish && time.begin <= 1 &&
                time.end < line.tokens.size() && address && address->second > time.end) {
                return std::string(line.span(time.end, address->second));
            }
            // "Ceremony at half one (1.30pm) sharp in St Colman's Church": the sentence that
            // gives the start says where.
            if (auto said = c.start && time.start == *c.start ? phrase(li, 0) : std::nullopt) {
                return said;
            }
            continue;
        }
        // A name or an address on a line of its own, not a sentence that goes on from above, a
        // remark, or a leg's route; after the name of the person seen there ("Dr A. Verhaegen -
        // Consultations d'anesthésie, route 214 (bâtiment B)").
        const std::size_t from = afterPersonsName(line);
        const Token& first = line.tokens[from];
        bool own = (first.capital || first.isNumber()) && line.tokens.size() - from <= 16;
        for (std::size_t k = from; k < line.tokens.size() && own; ++k) {
            const Token& t = line.tokens[k];
            own = !t.isSymbol("→") && !(t.isWord() && Vocabulary::isClauseWord(t.key));
        }
        const bool address = own && Addresses::inLine(line);
        // "Radiology, Ground Floor, Block C": a department and the part of the building it is in.
        const bool venue = own && first.isWord() &&
                           (hasVenueWord(line, from, line.tokens.size()) ||
                            hasBuildingPart(line, from, line.tokens.size()));
        // "Sonntag, 30. Mai, 17 Uhr" over "in der Pfarrkirche": the line opens with the place,
        // unless an address beside it makes it the text's place.
        if (!own && place.empty()) {
            return Addresses::inLine(line) ? std::nullopt : phrase(li, 0, true);
        }
        // Below a line of only its day and time, the event's name comes before its place.
        if (!address && !venue) {
            if (li == c.line + 1 &&
                (onlyWhen(m_text, c.line) || (c.session && namedBelow(m_text, c.line)))) {
                continue;
            }
            break;
        }
        // "Turnhalle der Grundschule (Schulstraße 2) wieder in eine Narrenburg.": the sentence
        // that goes on in small letters after the address in brackets is no part of the place.
        std::size_t end = from + 1;
        while (end < line.tokens.size() &&
               !(line.tokens[end - 1].isSymbol(")") && line.tokens[end].isWord() &&
                 !line.tokens[end].capital)) {
            ++end;
        }
        place += (place.empty() ? "" : ", ") + trimWhiteSpace(line.span(from, end));
        if (address) {
            break;
        }
    }
    return place.empty() ? std::nullopt : std::optional<std::string>(place);
}

} // namespace plannery::reader
