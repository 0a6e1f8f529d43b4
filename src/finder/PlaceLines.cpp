#include "finder/PlacePicking.h"

#include "finder/AddressReading.h"
#include "finder/HeadingShapes.h"
#include "finder/LineSegments.h"
#include "finder/PlaceWords.h"
#include "finder/ReaderVocabulary.h"
#include "model/CalEvent.h"

#include <algorithm>

// The text's place where lines of its own give it: a labelled one ("Location:", "Ort:"), an
// address with the venue's name above it and the town below, or a venue's line.
namespace plannery::reader {

namespace {

// "Salle   Rang   Place   Tarif": the heads of a table's columns, set apart by gaps, not colons.
bool headsTable(const Line& line) {
    return isColumnHeads(line) && std::none_of(line.tokens.begin(), line.tokens.end(),
                                               [](const Token& t) { return t.isSymbol(":"); });
}

} // namespace

std::optional<std::string> PlacePicker::labelledAt(std::size_t li) const {
    const LineFacts& facts = m_text.facts[li];
    const Line& line = m_text.lines[li];
    // "Room: Double, garden view" in a booking is the kind of room, not where it is.
    const bool roomKind =
        facts.label == "room" &&
        std::any_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(facts.labelEnd),
                    line.tokens.end(), [](const Token& t) {
                        return isWordIn(&t, {"single", "double", "twin", "triple", "suite", "king",
                                             "queen", "deluxe", "superior", "family"});
                    });
    // Nor is a table's head ("Salle   Rang   Place   Tarif"), whose first column looks like
    // a label without a colon, nor an admission's price ("Entrée : 6 € · -18 ans : gratuit").
    const Token* first = line.at(facts.labelEnd);
    const bool price =
        first != nullptr && first->isNumber() &&
        std::any_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(facts.labelEnd),
                    line.tokens.end(), [](const Token& t) {
                        return t.isSymbol("€") || t.isSymbol("$") || t.isSymbol("£") ||
                               isWordIn(&t, {"chf", "eur"});
                    });
    if (!Vocabulary::isPlaceLabel(facts.label) || roomKind || headsTable(line) || price) {
        return std::nullopt;
    }
    // "Room: 4H (Junior Block)": a room's name is never its time.
    const bool room = facts.label == "room" || facts.label == "raum" || facts.label == "salle";
    // "Treffpunkt: 8:00 Uhr auf dem Schulhof", "Lieu : 14h15, salle B12": the time the
    // label gives with its place is no part of it.
    std::size_t from = facts.labelEnd;
    while (from < line.tokens.size() && !room &&
           (within(facts.times, from) || line.tokens[from].isSymbol(","))) {
        ++from;
    }
    // "Wo: bei uns im Garten, Lindenweg 12": the writer's home is where its address is.
    if (isWordIn(line.at(from), {"bei", "chez", "at"}) &&
        isWordIn(line.at(from + 1), {"uns", "mir", "nous", "moi", "ours", "mine"})) {
        from += 2;
    }
    // "200 Wellington St W, Toronto – please check in at the desk": the place ends where a
    // remark to the reader begins.
    std::size_t to = line.tokens.size();
    for (std::size_t k = from; k + 1 < line.tokens.size(); ++k) {
        const Token& next = line.tokens[k + 1];
        if (line.tokens[k].isSymbol("-") && line.tokens[k].spaced && next.isWord() &&
            !next.capital && Vocabulary::isClauseWord(next.key)) {
            to = k;
            break;
        }
    }
    const auto until = [&line, to](std::size_t begin) {
        const std::size_t end = to < line.tokens.size() ? line.tokens[to].begin : line.text.size();
        return trimWhiteSpace(line.text.substr(begin, end > begin ? end - begin : 0));
    };
    // A line opened by a map pin is all place.
    const std::size_t labelEnd = facts.labelEnd > 0 ? line.tokens[facts.labelEnd - 1].end : 0;
    std::string value = from == facts.labelEnd      ? until(labelEnd)
                        : from < line.tokens.size() ? until(line.tokens[from].begin)
                                                    : std::string();
    if (value.empty() && from == facts.labelEnd && li + 1 < m_text.lines.size()) {
        value = m_text.lines[li + 1].text;
    }
    if (value.empty()) {
        return std::nullopt;
    }
    // "Location:   Outpatients Clinic 4B, Level 2, Ashdown Wing," over "Eastbrook General
    // Hospital": a value that ends with a comma goes on at the next line, up to a remark in
    // brackets ("1300 Wavre (parking gratuit derrière la salle)").
    const bool runsOn = value.ends_with(',');
    if (runsOn && li + 1 < m_text.lines.size() && m_text.lines[li + 1].block == line.block &&
        m_text.facts[li + 1].label.empty() && m_text.facts[li + 1].dates.empty() &&
        m_text.facts[li + 1].times.empty()) {
        const std::string& next = m_text.lines[li + 1].text;
        value += " " + trimWhiteSpace(next.substr(0, next.find(" (")));
    }
    // "Venue:   Fernside Community Learning Centre, Room 6" over "         22 Beaconsfield
    // Street, Wyvernham WV2 8HN": a form's address set in under its value goes on there.
    const auto valueColumn = [&line, &facts]() -> std::size_t {
        for (std::size_t k = facts.labelEnd; k < line.tokens.size(); ++k) {
            if (!line.tokens[k].isSymbol("|")) {
                return line.tokens[k].begin;
            }
        }
        return std::string::npos;
    }();
    if (const std::size_t below = li + 1;
        !runsOn && below < m_text.lines.size() && m_text.lines[below].block == line.block &&
        m_text.lines[below].text.find_first_not_of(" \t") == valueColumn &&
        m_text.facts[below].label.empty() && m_text.facts[below].dates.empty() &&
        m_text.facts[below].times.empty()) {
        if (const auto address = Addresses::span(m_text.lines[below]);
            address && address->first == 0) {
            value = trimWhiteSpace(value) + ", " +
                    Addresses::written(m_text.lines[below], address->first, address->second);
        }
    }
    // "📍  Cabinet de dermatologie Carnot" over "     18 boulevard Carnot, 2e étage (ascenseur)"
    // and "     59000 Lille": a pinned place goes on over the lines set in below it.
    const auto setIn = [&line](const Line& next) {
        return next.text.find_first_not_of(" \t") > line.text.find_first_not_of(" \t");
    };
    constexpr std::size_t kLongestPinned = 3; // lines
    for (std::size_t k = li + 1; line.pinned && k < m_text.lines.size() && k <= li + kLongestPinned;
         ++k) {
        const Line& next = m_text.lines[k];
        if (next.block != line.block || !setIn(next) || !m_text.facts[k].label.empty() ||
            !m_text.facts[k].dates.empty() || !m_text.facts[k].times.empty()) {
            break;
        }
        const std::string part = trimWhiteSpace(next.text.substr(0, next.text.find(" (")));
        value = trimWhiteSpace(value) + ", " + part;
    }
    return trimWhiteSpace(value);
}

std::optional<std::string> PlacePicker::labelled() const {
    std::optional<std::string> found;
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        const auto value = labelledAt(li);
        if (!value) {
            continue;
        }
        // An address under a venue's label adds to the venue.
        const std::string& label = m_text.facts[li].label;
        if (found && (label == "address" || label == "adresse")) {
            return *found + ", " + *value;
        }
        if (found) {
            return found;
        }
        found = value;
    }
    return found;
}

namespace {

// "Larkspur Kitchen — 2210 Fillmore St": the name before an address on its line, without the
// dash or comma that sets it off; nothing when the words before it are a sentence ("Meet us at")
// or a label.
std::string nameBefore(const Line& line, std::size_t addressStart) {
    std::size_t end = addressStart;
    while (end > 0 && line.tokens[end - 1].isSymbol()) {
        --end;
    }
    // A name starts and ends with a capitalised word or a number; "Dinner at" is a sentence.
    const auto bounds = [](const Token& t) { return t.capital || t.isNumber(); };
    // "Inh. Jana Lüdtke · Neuer Markt 5 · 18055 Rostock": whose business it is comes before its
    // place.
    std::size_t begin = 0;
    if (end > 0 && isWordIn(&line.tokens[0], {"inh", "inhaber", "inhaberin", "owner", "proprietor",
                                              "prop", "proprietaire", "gerant", "gerante"})) {
        while (begin < end && !line.tokens[begin].isSymbol("·") &&
               !line.tokens[begin].isSymbol("|")) {
            ++begin;
        }
        ++begin;
    }
    if (begin >= end || !bounds(line.tokens[begin]) || !bounds(line.tokens[end - 1])) {
        return {};
    }
    for (std::size_t k = begin; k < end; ++k) {
        const Token& t = line.tokens[k];
        if (t.isSymbol(":") || t.isLink() ||
            (t.isWord() && !t.capital && t.key.size() > 3 && !t.joined)) {
            return {};
        }
    }
    return std::string(line.span(begin, end));
}

// "Secretary, Ōtautahi Camera Club Inc.", "Chairperson, Linksfield Lions Junior Hockey Club": who
// signs, not where anything is.
bool namesOffice(const Line& line) {
    return line.tokens.size() >= 2 && line.tokens[0].isWord() &&
           Vocabulary::isOfficeWord(line.tokens[0].key) && line.tokens[1].isSymbol(",");
}

// A venue's line above its address as its name: "L'équipe de la Clinique vétérinaire du Plateau"
// signs for the clinic, "The team at Harbour Dental" for the practice.
std::string venueOfLine(const Line& line) {
    std::size_t k = 0;
    // "Wo?     Kletterhalle Griffwerk": an invitation's question before its answer.
    if (isWordIn(line.at(0), {"wo", "where", "ou"}) && line.at(1) != nullptr &&
        line.at(1)->isSymbol("?") && line.at(2) != nullptr) {
        return trimWhiteSpace(line.text.substr(line.tokens[line.pastSymbols(2)].begin));
    }
    if (isWordIn(line.at(0), {"l'equipe"})) {
        k = 1;
    } else if (isWordIn(line.at(0), {"the", "das", "votre", "your", "ihr"}) &&
               isWordIn(line.at(1), {"team", "equipe"})) {
        k = 2;
    }
    if (k > 0) {
        while (isWordIn(line.at(k),
                        {"at", "of", "from", "von", "vom", "der", "des", "de", "du", "la", "le"})) {
            ++k;
        }
    }
    if (k == 0 || k >= line.tokens.size()) {
        return trimWhiteSpace(line.text);
    }
    return trimWhiteSpace(line.text.substr(line.tokens[k].begin));
}

} // namespace

namespace {

// "Madame Véronique LAMBOTTE" over "Rue du Fort 17/2" and "5100 Jambes": the block of a letter
// that says whom it goes to, whose address is the reader's own.
bool addressesReader(const std::vector<Line>& lines, std::size_t li) {
    for (std::size_t first = li;
         first > 0 && lines[first - 1].block == lines[li].block && li - first < 3; --first) {
        const Line& line = lines[first - 1];
        if (isWordIn(&line.tokens.front(), {"madame", "monsieur", "mme", "mr", "mrs", "ms", "miss",
                                            "mx", "frau", "herr", "herrn", "familie", "famille"}) &&
            line.tokens.size() <= 5) {
            return true;
        }
    }
    return false;
}

// "Postfach 11 40", "PO Box 52", "Case postale 12": where letters go, not a place to be.
bool namesPostBox(const Line& line) {
    for (std::size_t k = 0; k < line.tokens.size(); ++k) {
        const Token* next = line.at(k + 1);
        if (isWordIn(&line.tokens[k], {"postfach", "postbox", "postbus"}) ||
            (isWordIn(&line.tokens[k], {"po", "gpo"}) && isWordIn(next, {"box"})) ||
            (isWordIn(&line.tokens[k], {"case", "boite"}) && isWordIn(next, {"postale"}))) {
            return true;
        }
    }
    return false;
}

// "480 Orchard Street": a line that gives a street and nothing after it, whose town, if any, is
// on the next line.
bool streetAlone(const Line& line) {
    const auto span = Addresses::span(line);
    return span && span->first == 0 && span->second == line.tokens.size() &&
           std::none_of(line.tokens.begin(), line.tokens.end(),
                        [](const Token& t) { return t.isSymbol(","); });
}

// "Longmont, Colorado", "Rhinebeck, New York": a town and its state or region written out, as an
// invitation sets them under the street without a postcode.
bool townAndRegion(const Line& line) {
    constexpr std::size_t kMostWords = 3;
    std::size_t comma = 0;
    std::size_t words = 0;
    for (std::size_t k = 0; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        if (t.isSymbol(",") && comma == 0 && words > 0) {
            comma = k;
            words = 0;
        } else if (!(t.isWord() && t.capital) || ++words > kMostWords) {
            return false;
        }
    }
    return comma > 0 && words > 0;
}

} // namespace

std::optional<std::string> PlacePicker::address() {
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        const Line& line = m_text.lines[li];
        const LineFacts& lineFacts = m_text.facts[li];
        const auto span = Addresses::span(line);
        // A sentence that gives the day may go on to say where ("un entretien le jeudi 19 mars à
        // 14h30, dans nos locaux au 18 rue de la République"); an address before or among the
        // days is a number misread as one.
        // A later sentence's times are its own ("… 22 Kotare Street, Fendalton. Doors open
        // 7.15pm"), except in a chat's message, where an address is said for the plan of that
        // message alone.
        const std::size_t sentenceEnd =
            span && !lineFacts.speaker ? sentenceAround(line, span->first).end : line.tokens.size();
        const bool afterDays =
            span &&
            std::all_of(lineFacts.dates.begin(), lineFacts.dates.end(),
                        [&span, sentenceEnd](const DateMention& d) {
                            return d.end <= span->first || d.begin >= sentenceEnd;
                        }) &&
            std::all_of(lineFacts.times.begin(), lineFacts.times.end(),
                        [&span, sentenceEnd](const TimeMention& t) {
                            return t.end <= span->first || t.begin >= sentenceEnd;
                        });
        if (!span || (!lineFacts.dates.empty() && !afterDays) ||
            Vocabulary::isDetailLabel(lineFacts.label) || m_text.header[li] ||
            addressesReader(m_text.lines, li) || namesPostBox(line)) {
            continue;
        }
        // The venue's name on the lines above ("The Old Rectory" over "Church Lane, Little Haddon"
        // over "Oxfordshire OX7 4QP"), and the town on the lines below.
        const auto isNamePart = [this, &line](std::size_t k) {
            const Line& above = m_text.lines[k];
            const LineFacts& facts = m_text.facts[k];
            // A section's heading of one word in capitals ("ACCOMMODATION") names no venue.
            const bool section = above.tokens.size() == 1 && above.tokens[0].allCaps;
            return above.block == line.block && facts.dates.empty() && facts.times.empty() &&
                   facts.label.empty() && above.tokens.size() <= 8 && above.tokens[0].capital &&
                   !section && !namesOffice(above) &&
                   !std::any_of(above.tokens.begin(), above.tokens.end(), [](const Token& t) {
                       return t.isWord() && Vocabulary::isEventNoun(t.key);
                   });
        };
        // Between a day and an address that opens with its venue ("Gasthof „Zur Post",
        // Hauptplatz 5"), a line names the event, not the venue.
        const bool opensWithVenue =
            hasVenueWord(line, 0, std::min<std::size_t>(line.tokens.size(), 2));
        std::size_t first = li;
        if (span->first == 0) {
            while (first > 0 && li - first < 2 && isNamePart(first - 1) &&
                   (hasVenueWord(m_text.lines[first - 1], 0, 8) ||
                    std::any_of(m_text.lines[first - 1].tokens.begin(),
                                m_text.lines[first - 1].tokens.end(),
                                [](const Token& t) {
                                    return t.isWord() && Vocabulary::isStreetWord(t.key);
                                }) ||
                    (first == li && first >= 2 && !m_text.facts[first - 2].dates.empty() &&
                     !opensWithVenue))) {
                --first;
            }
        }
        std::string text;
        for (std::size_t k = first; k < li; ++k) {
            text += venueOfLine(m_text.lines[k]) + ", ";
        }
        // "L'Olympia – 28 boulevard des Capucines": the venue set off by a dash before its
        // address, on a line that is neither a message nor a label's.
        const Token* setOff = span->first > 0 ? &line.tokens[span->first - 1] : nullptr;
        const bool dashed = setOff && (setOff->isDash() || setOff->isSymbol("·"));
        // "Samstag, 6. März 2027 – Kirchgemeindehaus Wiesenthal, Dorfstrasse 22": a day before
        // the dash is when, not the venue's name.
        const bool datedBefore =
            std::any_of(lineFacts.dates.begin(), lineFacts.dates.end(),
                        [&span](const DateMention& d) { return d.begin < span->first; });
        if (const std::string name = first == li && dashed && !lineFacts.speaker &&
                                             lineFacts.label.empty() && !datedBefore
                                         ? nameBefore(line, span->first)
                                         : std::string();
            !name.empty()) {
            text += name + ", ";
        }
        text += Addresses::written(line, span->first, span->second);
        // The address goes on below only where its line ends with it, perhaps with a remark in
        // brackets ("Hainbuchenweg 7 (2. OG, Aufzug vorhanden)"), not where a sentence follows
        // ("Hamilton. Away = Riverlea" over "Park Turf, 3 Ngaio Street").
        bool endsLine = true;
        for (std::size_t k = span->second, depth = 0; k < line.tokens.size() && endsLine; ++k) {
            const Token& t = line.tokens[k];
            depth += t.isSymbol("(") ? 1 : 0;
            endsLine = depth > 0 || t.isSymbol();
            depth -= t.isSymbol(")") && depth > 0 ? 1 : 0;
        }
        std::size_t last = li;
        for (std::size_t k = li + 1; endsLine && k < m_text.lines.size() && k <= li + 2; ++k) {
            const auto below = Addresses::span(m_text.lines[k]);
            if (!below || below->first != 0 || m_text.lines[k].block != line.block ||
                !m_text.facts[k].dates.empty() || !m_text.facts[k].label.empty()) {
                break;
            }
            text += ", " + Addresses::written(m_text.lines[k], below->first, below->second);
            last = k;
        }
        if (endsLine && last + 1 < m_text.lines.size() && streetAlone(m_text.lines[last]) &&
            m_text.lines[last + 1].block == line.block && townAndRegion(m_text.lines[last + 1])) {
            text += ", " + m_text.lines[last + 1].text;
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
        m_addressSignsOff = li >= m_signOff.begin && li < m_signOff.end;
        m_addressVenue = first < li        ? venueOfLine(m_text.lines[first])
                         : span->first > 0 ? nameBefore(line, span->first)
                         : namedFirst      ? text.substr(0, text.find(", "))
                                           : std::string();
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
        // A price ("Base fares        $218.00") makes a line one of a bill.
        const bool priced = std::any_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
            return t.isSymbol("$") || t.isSymbol("€") || t.isSymbol("£") || t.isSymbol("¥");
        });
        // Nor a table's head or the row below it ("Salle   Rang   Place   Tarif" over "Grande
        // salle  F  14  Plein").
        const bool table = headsTable(line) || (li > 0 && headsTable(m_text.lines[li - 1]));
        if (heading || exclaims || signs || sentence || priced || table || namesOffice(line) ||
            speaksOfParking(line) || !facts.dates.empty() || !facts.times.empty() ||
            !facts.label.empty() || line.tokens.size() > kLongestVenue + 3 || line.tokens.empty() ||
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

} // namespace plannery::reader
