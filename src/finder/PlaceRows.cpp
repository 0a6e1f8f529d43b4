#include "finder/PlacePicking.h"

#include "finder/AddressReading.h"
#include "finder/HeadingShapes.h"
#include "finder/LineSegments.h"
#include "finder/NameShapes.h"
#include "finder/PlaceWords.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ScheduleLines.h"

#include <algorithm>

// The place a row of a schedule or list gives its own event: said on the row, set in below it,
// or beside its length.
namespace plannery::reader {

namespace {

// "pas d'école", "no school", "keine Schule": a piece that says a place is not used.
bool saysNone(const Token& first) {
    return isWordIn(&first, {"no", "not", "without", "pas", "sans", "kein", "keine", "ohne"});
}

} // namespace

std::optional<std::string> PlacePicker::rowPlace(std::size_t li, std::size_t from,
                                                 bool nameFirst) const {
    const Line& line = m_text.lines[li];
    const LineFacts& facts = m_text.facts[li];
    // "1  Tue   Jan. 11   6:30 pm - 8:30 pm   Multipurpose Room 2" under "#  Day   Date   Time
    // Room": the row's cell under the head for places.
    if (const auto cell = m_placeColumns[li] ? cellIn(line, *m_placeColumns[li]) : std::nullopt;
        cell && *cell >= from && (line.tokens[*cell].isWord() || line.tokens[*cell].isNumber())) {
        return std::string(line.span(*cell, cellEnd(line, *cell, *m_placeColumns[li])));
    }
    const auto segments = freeSegments(line, facts);
    const bool prose = std::any_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
        return t.isWord() && Vocabulary::isClauseWord(t.key);
    });
    // In a row of a schedule or list, a piece after the name that is a place ("– Room 2",
    // ", Library"); a remark in parentheses in lower case is not ("(school closed)"), nor one
    // that says a place is shut ("school closed to pupils", "Halle geschlossen").
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
    // "6 - 9 p.m. • Pinehurst Community Rink": a row named on the line above gives its venue.
    const bool unnamed = onlyVenueAfterTimes(line, facts);
    // The first piece names the row, unless the row names only its venue.
    const bool firstNames = !unnamed && !segments.empty() && (nameFirst || !afterDay(segments[0]));
    for (std::size_t k = 0; k < segments.size() && !prose; ++k) {
        const Segment& s = segments[k];
        // "Saturday 27th February, The Riverside Hotel, Quay Street": a venue set after the day
        // with its street is where the row is, not its name.
        const bool onStreet = afterDay(s) && venueOnStreet(line, segments, k);
        if (((k == 0 && firstNames) || (k == 1 && twoPieces)) && !onStreet) {
            continue; // the row's name
        }
        // Its first word, after a colon that ends the day ("Fri 3/13: No school").
        const Token& first = line.tokens[std::min(line.pastSymbols(s.begin), s.end - 1)];
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
            goesOnAfterName(line, segments, k) || (Vocabulary::isFiller(first.key) && !onStreet) ||
            (bracketed && !first.capital) || saysClosed(line, s) || saysNone(first)) {
            continue;
        }
        const bool room = s.end - s.begin == 2 && first.isWord() && first.capital &&
                          line.tokens[s.begin + 1].isNumber();
        if (hasVenueWord(line, s.begin, s.end) || hasBuildingPart(line, s.begin, s.end) || room ||
            unnamed) {
            // "église Saint-Aubin : concert « Stabat Mater »": what follows a colon is what
            // happens there.
            Segment place = s;
            for (std::size_t n = s.begin + 1; n < s.end; ++n) {
                if (line.tokens[n].isSymbol(":") && hasVenueWord(line, s.begin, n)) {
                    return segmentText(line, Segment{.begin = s.begin, .end = n});
                }
            }
            // "Cardiology, 2nd Floor, Room 204" in a table's column: the pieces of its cell before
            // it, up to the row's name.
            for (std::size_t n = k; n > (firstNames ? 1 : 0); --n) {
                const Segment& before = segments[n - 1];
                const Token& opening = line.tokens[before.begin];
                if (before.end + 1 != segments[n].begin || !line.tokens[before.end].isSymbol(",") ||
                    before.begin < from || before.label ||
                    !(opening.capital || opening.isNumber())) {
                    break;
                }
                place.begin = before.begin;
            }
            // ", Seoul COEX" after "Room 220-222" belongs to it, as does ", 2nd Floor" after
            // "Echo Lab".
            for (std::size_t n = k + 1; n < segments.size(); ++n) {
                if (!line.tokens[segments[n - 1].end].isSymbol(",") ||
                    !(line.tokens[segments[n].begin].capital ||
                      hasBuildingPart(line, segments[n].begin, segments[n].end))) {
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
        return Addresses::written(line, address->first, address->second);
    }
    return phrase(li, from);
}

std::optional<std::string> PlacePicker::setInBelow(std::size_t li) const {
    const auto indent = [](const Line& l) { return l.text.find_first_not_of(" \t"); };
    const auto setIn = [&](std::size_t k) {
        return k < m_text.lines.size() && m_text.lines[k].block == m_text.lines[li].block &&
               indent(m_text.lines[k]) > indent(m_text.lines[li]) &&
               m_text.facts[k].dates.empty() && m_text.facts[k].times.empty();
    };
    // "09:15 – 10:30 Uhr   Eröffnung" over its speaker, its title and "Saal Kettbaum": the room,
    // set on a short line of its own among the lines set in below the session.
    std::size_t below = li + 1;
    for (std::size_t k = li + 1; setIn(k); ++k) {
        const Line& line = m_text.lines[k];
        if (line.tokens.size() <= 4 && line.tokens[0].isWord() && line.tokens[0].capital &&
            Vocabulary::isVenueWord(line.tokens[0].key) && m_text.facts[k].label.empty()) {
            below = k;
            break;
        }
    }
    if (!setIn(below)) {
        return std::nullopt;
    }
    const Line& line = m_text.lines[below];
    const LineFacts& facts = m_text.facts[below];
    if (line.tokens.size() > 10 ||
        (!facts.label.empty() && !Vocabulary::isPlaceLabel(facts.label))) {
        return std::nullopt;
    }
    // "Room 2.14 (bring a laptop)", "Aréna Régis-Lavoie, glace 1 – chandail FONCÉ", "Studio 1 ·
    // Priya": the room set in below a session, without the remark or who leads it there.
    const auto remark = [&line](std::size_t k) {
        const Token* next = line.at(k + 1);
        return line.tokens[k].isSymbol("(") || line.tokens[k].isSymbol("·") ||
               (line.tokens[k].isDash() && line.tokens[k].spaced && next != nullptr &&
                next->isWord() && !next->capital);
    };
    std::size_t begin = facts.labelEnd;
    // "Noah · Westbrook Aquatic Ctr, Pool B": whose session it is, a name alone, before the
    // place.
    if (begin + 2 < line.tokens.size() && line.tokens[begin].isWord() &&
        line.tokens[begin].capital && line.tokens[begin + 1].isSymbol("·") &&
        !Vocabulary::isVenueWord(line.tokens[begin].key) &&
        (hasVenueWord(line, begin + 2, line.tokens.size()) ||
         hasBuildingPart(line, begin + 2, line.tokens.size()))) {
        begin += 2;
    }
    std::size_t end = begin;
    while (end < line.tokens.size() && !remark(end)) {
        ++end;
    }
    if (end == begin || !line.tokens[begin].isWord() || !line.tokens[begin].capital) {
        return std::nullopt;
    }
    return std::string(line.span(begin, end));
}

std::optional<std::string> PlacePicker::besideLength(std::size_t li) const {
    if (li + 1 >= m_text.lines.size() || m_text.lines[li + 1].block != m_text.lines[li].block) {
        return std::nullopt;
    }
    const Line& line = m_text.lines[li + 1];
    const LineFacts& facts = m_text.facts[li + 1];
    if (facts.durations.size() != 1 || facts.durations.front().begin != 0 || !facts.dates.empty() ||
        !facts.times.empty()) {
        return std::nullopt;
    }
    const std::size_t gap = facts.durations.front().end;
    if (gap + 1 >= line.tokens.size() || !line.tokens[gap].isSymbol("|") ||
        line.tokens.size() - gap > 12 || !line.tokens[gap + 1].capital) {
        return std::nullopt;
    }
    // A picture at the row's end ("↻" for a repeating event) is no part of the place.
    std::size_t end = line.tokens.size();
    while (end > gap + 1 &&
           (line.tokens[end - 1].isSymbol("|") ||
            (line.tokens[end - 1].isSymbol() && !line.tokens[end - 1].isSymbol(")")))) {
        --end;
    }
    return std::string(line.span(gap + 1, end));
}

} // namespace plannery::reader
