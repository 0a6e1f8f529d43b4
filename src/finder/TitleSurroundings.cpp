#include "finder/TitlePicking.h"

#include "finder/AddressReading.h"
#include "finder/FinderText.h"
#include "finder/HeadingShapes.h"
#include "finder/LegLines.h"
#include "finder/NameShapes.h"
#include "finder/PlaceWords.h"
#include "finder/ReaderVocabulary.h"
#include "finder/RouteLines.h"
#include "finder/ScheduleLines.h"
#include "finder/ZoneReading.h"
#include "model/CalEvent.h"

#include <algorithm>

// What the lines around a name say of it: who writes rather than what happens, whose event it is,
// the act on tour, the venue over its address, and the route of a ticket's leg.
namespace plannery::reader {

namespace {

constexpr std::size_t kRouteReach = 2; // lines between a leg's day and its route

} // namespace

bool TitlePicker::namesWriter(std::size_t li, const std::vector<Segment>& segments,
                              const Segment& piece, const Segment& s) const {
    const Line& line = m_text.lines[li];
    if (!hasVenueWord(line, s.begin, s.end) || hasEventNoun(line, s.begin, s.end)) {
        return false;
    }
    // A letterhead over the salutation ("Kita Sonnenschein" over "Liebe Eltern,", "École
    // Jules Ferry" over "Madame, Monsieur,"), perhaps with the head's name, an address and the
    // day of writing between them, names who writes, not the event.
    std::size_t below = li + 1;
    while (below < m_text.lines.size() &&
           (namesRoleHolder(m_text.lines[below], m_text.facts[below]) ||
            isLetterDate(m_text.lines, m_text.facts, below) ||
            Addresses::inLine(m_text.lines[below]))) {
        ++below;
    }
    if (below < m_text.lines.size() && isSalutation(m_text.lines[below])) {
        return true;
    }
    // So does the sender at the top of a poster over its shouted heading ("Westfield Public
    // Library" over "PAJAMA STORYTIME"), though not over a booking's ("RESERVATION CONFIRMED").
    for (std::size_t k = li + 1; li <= 1 && k < m_text.lines.size() && k <= li + 4; ++k) {
        const Line& heading = m_text.lines[k];
        const bool shouted =
            m_text.facts[k].dates.empty() && m_text.facts[k].times.empty() &&
            std::any_of(heading.tokens.begin(), heading.tokens.end(),
                        [](const Token& t) { return t.allCaps; }) &&
            std::all_of(heading.tokens.begin(), heading.tokens.end(), [](const Token& t) {
                return !t.isWord() || (t.allCaps && !Vocabulary::isVenueWord(t.key) &&
                                       !Vocabulary::isGenericHeadingWord(t.key));
            });
        if (shouted) {
            return true;
        }
    }
    // So does a school's or club's name beside the kind of page that lists several events
    // ("Maple Grove Middle School — Weekly Update", "Westfield Academy — Netball Fixtures").
    const bool besideGeneric =
        std::any_of(segments.begin(), segments.end(), [&](const Segment& other) {
            return &other != &piece && hasGenericHeadingWord(line, other);
        });
    return besideGeneric && m_manyLines;
}

std::string TitlePicker::nameText(std::size_t li, Segment s, bool own,
                                  const std::optional<std::string>& whose) const {
    const Line& line = m_text.lines[li];
    if (whose && line.tokens[s.begin].isWord("the")) {
        ++s.begin;
    }
    std::string text = segmentText(line, s);
    if (whose) {
        text += " " + *whose;
    }
    if (auto partner =
            !own && s.end == line.tokens.size() ? joinedName(m_text.lines, li) : std::nullopt) {
        text = m_wedding ? wedding(text, *partner) : text + " & " + *partner;
    }
    // "UK Tour 2026", "Low Tide Tour": the tour the act above is on.
    const std::size_t tourEnd =
        s.end - s.begin >= 2 && line.tokens[s.end - 1].isNumber() ? s.end - 1 : s.end;
    if (auto act = !own && isWordIn(&line.tokens[tourEnd - 1], {"tour", "tournee"})
                       ? actAbove(li)
                       : std::nullopt) {
        text = *act + " – " + text;
    }
    if (auto rest = !own && s.end == line.tokens.size() ? restBelow(li) : std::nullopt) {
        text += " " + *rest;
    }
    return text;
}

// "EMILY CARTER" over "&" over "JAMES OKAFOR", invited to their marriage: "Emily and James's
// wedding", by the names the couple go by.
std::string TitlePicker::wedding(const std::string& one, const std::string& other) const {
    const auto given = [](const std::string& name) {
        return normalCapitalisation(name.substr(0, std::min(name.find(' '), name.size())));
    };
    if (m_localeId.starts_with("de")) {
        return "Hochzeit von " + given(one) + " und " + given(other);
    }
    if (m_localeId.starts_with("fr")) {
        return "Mariage de " + given(one) + " et " + given(other);
    }
    return given(one) + " and " + given(other) + "'s wedding";
}

// "THE LAMPLIGHTER'S" over "DAUGHTER": a heading in capitals that ends on a word that cannot end
// a name (a possessive, an article, "of", "and") goes on on the line below.
std::optional<std::string> TitlePicker::restBelow(std::size_t li) const {
    const Line& line = m_text.lines[li];
    const std::size_t below = li + 1;
    if (line.tokens.empty() || below >= m_text.lines.size() ||
        m_text.lines[below].block != line.block || !m_text.facts[below].dates.empty() ||
        !m_text.facts[below].times.empty() || !m_text.facts[below].label.empty()) {
        return std::nullopt;
    }
    const Token& last = line.tokens.back();
    const bool open = last.isWord() && last.allCaps &&
                      (last.key.ends_with("'s") ||
                       isWordIn(&last, {"the", "of", "and", "a", "an", "de", "du", "des", "der",
                                        "die", "das", "und", "et", "la", "le"}));
    const Line& next = m_text.lines[below];
    const bool capitals = !next.tokens.empty() &&
                          std::all_of(next.tokens.begin(), next.tokens.end(), [](const Token& t) {
                              return !t.isWord() || t.allCaps || t.key.size() < 2;
                          });
    if (!open || !capitals) {
        return std::nullopt;
    }
    return trimWhiteSpace(next.text);
}

// "Arctic Monkeys" over "The Car Tour": a tour is the act's, named on the line above.
std::optional<std::string> TitlePicker::actAbove(std::size_t li) const {
    // The support act ("with special guest Maya Oduya") stands between the act and its tour.
    if (li > 1 && isWordIn(&m_text.lines[li - 1].tokens.front(), {"with", "w", "avec", "mit"}) &&
        anyToken(m_text.lines[li - 1], 0, m_text.lines[li - 1].tokens.size(), [](const Token& t) {
            return isWordIn(&t, {"guest", "guests", "invite", "invites", "gast", "gaste"});
        })) {
        --li;
    }
    if (li == 0 || m_text.lines[li - 1].block != m_text.lines[li].block ||
        !m_text.facts[li - 1].dates.empty() || !m_text.facts[li - 1].times.empty() ||
        !m_text.facts[li - 1].label.empty()) {
        return std::nullopt;
    }
    const Line& above = m_text.lines[li - 1];
    const auto words = std::count_if(above.tokens.begin(), above.tokens.end(),
                                     [](const Token& t) { return t.isWord(); });
    const bool name =
        words >= 1 && words <= 4 &&
        std::all_of(above.tokens.begin(), above.tokens.end(), [](const Token& t) {
            return (t.isWord() && t.capital && !Vocabulary::isEventNoun(t.key) &&
                    !Vocabulary::isVenueWord(t.key) && !Vocabulary::isGenericHeadingWord(t.key)) ||
                   t.isSymbol("&") || t.isSymbol("-");
        });
    return name ? std::optional(normalCapitalisation(trimWhiteSpace(above.text))) : std::nullopt;
}

// The venue's name over its address ("Pawsitive Care Animal Hospital" over "2150 Pearl St"): the
// place of the event, not its name. An address that opens with its venue ("Royal Exchange
// Theatre, St Ann's Square") has its name already, and the line above names what is on there.
bool TitlePicker::namesAddress(std::size_t li) const {
    if (li + 1 >= m_text.lines.size() || m_text.lines[li + 1].block != m_text.lines[li].block ||
        !m_text.facts[li].dates.empty()) {
        return false;
    }
    const Line& below = m_text.lines[li + 1];
    const auto address = Addresses::span(below);
    if (!address || address->first != 0) {
        return false;
    }
    const auto comma = std::find_if(below.tokens.begin(), below.tokens.end(),
                                    [](const Token& t) { return t.isSymbol(","); });
    return !hasVenueWord(below, 0, static_cast<std::size_t>(comma - below.tokens.begin()));
}

namespace {

// A stop by its town: "York Station" and "Bremen Hbf" by the town before the station's word,
// "Chicago O'Hare" and "London Kings Cross" by the city a zone is named after.
std::string townOf(std::string stop) {
    // "Geneva (GVA)": the airport's code goes.
    if (const auto open = stop.rfind(" (");
        open != std::string::npos && stop.ends_with(')') && stop.size() == open + 6 &&
        std::all_of(stop.begin() + static_cast<std::ptrdiff_t>(open + 2), stop.end() - 1,
                    [](char c) { return c >= 'A' && c <= 'Z'; })) {
        stop.erase(open);
    }
    for (std::size_t space = stop.find(' '); space != std::string::npos;
         space = stop.find(' ', space + 1)) {
        const std::string town = stop.substr(0, space);
        const std::string rest = FinderText::fold(stop.substr(space + 1));
        if (cityZone(FinderText::fold(town)) || rest == "hbf" || rest == "hauptbahnhof" ||
            rest == "bahnhof" || rest == "station" || rest == "gare" || rest == "railway station" ||
            rest == "coach station") {
            return town;
        }
    }
    return stop;
}

} // namespace

std::optional<std::string> TitlePicker::trip(std::optional<std::string> route) const {
    // A journey is entered by where it goes and what it goes in: "Flight to Lisbon", "Flug nach
    // Lissabon", "Train to York"; German and French put the vehicle before the route ("Zug
    // Bremen → Hannover", "Autocar Montréal → Québec").
    const std::string_view arrow = " → ";
    const std::size_t at = route ? route->find(arrow) : std::string::npos;
    if (at == std::string::npos || (!m_flight && !m_vehicle)) {
        return route;
    }
    const std::string from = townOf(route->substr(0, at));
    const std::string to = townOf(route->substr(at + arrow.size()));
    if (m_flight) {
        return (m_localeId.starts_with("de")   ? "Flug nach "
                : m_localeId.starts_with("fr") ? "Vol pour "
                                               : "Flight to ") +
               to;
    }
    if (m_localeId.starts_with("de") || m_localeId.starts_with("fr")) {
        return *m_vehicle + " " + from + std::string(arrow) + to;
    }
    return *m_vehicle + " to " + to;
}

std::optional<std::string> TitlePicker::routeTitle(const Candidate& c) const {
    const auto& lines = m_text.lines;
    for (std::size_t li = c.line >= kRouteReach ? c.line - kRouteReach : 0;
         li < lines.size() && li <= c.line + kRouteReach; ++li) {
        if (lines[li].block != lines[c.line].block) {
            continue;
        }
        if (auto route = routeOnLine(lines[li])) {
            return route;
        }
        if (auto route = routeOfLabels(lines, m_text.facts, li)) {
            return route;
        }
    }
    return std::nullopt;
}

// "7:45 AM  Leeds – Coach Station" over "11:05 AM  London – Victoria Coach Station": the leg's
// own lines name only its stops, so the route is its name. Under a leg's day ("RETURN  Sun 12
// Jul") its stops follow on the next lines ("Edinburgh  dep 17:30" over "York  arr 20:02").
std::optional<std::string> TitlePicker::legTitle(const Candidate& c) const {
    if (!c.finish) {
        return std::nullopt;
    }
    const auto& lines = m_text.lines;
    for (std::size_t li = c.line; li + 1 < lines.size() && li <= c.line + kRouteReach; ++li) {
        if (lines[li + 1].block != lines[c.line].block) {
            break;
        }
        if (const auto to = nextStop(m_text, li)) {
            return trip(*stopName(m_text, li) + " → " + *stopName(m_text, *to));
        }
    }
    return std::nullopt;
}

} // namespace plannery::reader
