#include "finder/LineSegments.h"

#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"
#include "finder/RouteLines.h"

#include <algorithm>
#include <optional>

namespace plannery::reader {

namespace {

bool isSeparator(const Line& line, std::size_t i, bool route) {
    const Token& t = line.tokens[i];
    if (!t.isSymbol()) {
        return false;
    }
    if (t.isSymbol("|") || t.isSymbol("·") || t.isSymbol(",") || t.isSymbol("(") ||
        t.isSymbol(")") || t.isSymbol(";") || t.isSymbol("!") || t.isSymbol("?") ||
        t.isSymbol("@") || t.isSymbol("[") || t.isSymbol("]")) {
        return true;
    }
    // An arrow that joins no stops parts a sentence's pieces, as a dash does.
    if (t.isSymbol("-") || (t.isSymbol("→") && !route)) {
        const bool spacedAfter = i + 1 >= line.tokens.size() || line.tokens[i + 1].spaced;
        return t.spaced && spacedAfter;
    }
    if (t.isSymbol(".") && i > 0) {
        // A sentence ends after a word of three or more letters, not after "Dr." or "St.".
        const Token& before = line.tokens[i - 1];
        return before.isWord() && before.end - before.begin >= 3;
    }
    return false;
}

// Phrases that lead into an event's name on invitations ("Join us for", "Einladung zum"), whom
// a booking is with ("Thanks for booking with Desert Sun Car Rental!"), and whose it is and that it
// comes ("Ihre Prophylaxe-Behandlung", "Upcoming appointment"). Longer phrases come before the
// shorter ones they begin with.
constexpr std::string_view kLeadIns[] = {"thank you for booking with",
                                         "thanks for booking with",
                                         "thank you for choosing",
                                         "thanks for choosing",
                                         "thank you for staying with",
                                         "thank you for your reservation at",
                                         "thank you for your booking at",
                                         "your booking at",
                                         "your booking with",
                                         "your reservation at",
                                         "your reservation with",
                                         "please join us for our",
                                         "join us for our",
                                         "you're invited to our",
                                         "you are invited to our",
                                         "welcome to our",
                                         "please join us for",
                                         "join us for",
                                         "please join us",
                                         "join us",
                                         "you're registered for",
                                         "you are registered for",
                                         "you're registered",
                                         "you are registered",
                                         "you're invited to",
                                         "you are invited to",
                                         "invitation to",
                                         "welcome to",
                                         "einladung zum",
                                         "einladung zur",
                                         "einladung zu",
                                         "invitation a",
                                         "invitation au",
                                         "bienvenue a",
                                         "save the date",
                                         "updated invitation",
                                         "invitation",
                                         "reminder",
                                         "einladung",
                                         "fwd",
                                         "fw",
                                         "updated",
                                         "accepted",
                                         "tentative",
                                         "re",
                                         "aw",
                                         "wg",
                                         "tr",
                                         "your",
                                         "ihre",
                                         "ihren",
                                         "votre",
                                         "upcoming"};

} // namespace

std::vector<Segment> freeSegments(const Line& line, const LineFacts& facts) {
    std::vector<bool> used(line.tokens.size(), false);
    const auto mark = [&used](std::size_t begin, std::size_t end) {
        for (std::size_t k = begin; k < end && k < used.size(); ++k) {
            used[k] = true;
        }
    };
    for (const auto& d : facts.dates) {
        mark(d.begin, d.end);
    }
    for (const auto& t : facts.times) {
        // "Hotel check-in from 15:00": the word that leads to a time goes with it.
        const bool leads = t.begin > 0 && isWordIn(&line.tokens[t.begin - 1], {"from", "at"});
        mark(leads ? t.begin - 1 : t.begin, t.end);
    }
    for (const auto& z : facts.zones) {
        mark(z.begin, z.end);
    }
    for (const auto& d : facts.durations) {
        mark(lengthLabelStart(line, d.begin), d.end);
    }
    // "Mission: Impossible", "Author Talk: Ann Cleeves": a colon after words that are no label is
    // part of a name.
    const bool route = routeOnLine(line).has_value();
    const bool knownLabel =
        facts.labelEnd > 0 && (facts.speaker || Vocabulary::isKnownLabel(facts.label));
    std::vector<Segment> segments;
    Segment current;
    bool open = false;
    for (std::size_t i = 0; i < line.tokens.size(); ++i) {
        const bool labelColon = knownLabel && i + 1 == facts.labelEnd;
        if (used[i] || isSeparator(line, i, route) || labelColon) {
            if (open) {
                current.end = i;
                current.label = knownLabel && current.begin < facts.labelEnd;
                segments.push_back(current);
                open = false;
            }
            continue;
        }
        if (!open) {
            current = Segment{.begin = i};
            open = true;
        }
    }
    if (open) {
        current.end = line.tokens.size();
        current.label = knownLabel && current.begin < facts.labelEnd;
        segments.push_back(current);
    }
    // "📅 Tue, 10 Mar 2026     Slot: 7:00 AM – 8:00 AM": a word or two before a colon inside the
    // line, and the time after it, label that time; a list's row opens with its name ("Term
    // starts: Monday 13 April").
    constexpr std::size_t kLongestLabel = 2; // words
    for (Segment& s : segments) {
        const bool timeAfter = std::any_of(facts.times.begin(), facts.times.end(),
                                           [&s](const TimeMention& t) { return t.begin == s.end; });
        s.label = s.label ||
                  (s.begin > 0 && s.end > s.begin + 1 && timeAfter &&
                   line.tokens[s.end - 1].isSymbol(":") && wordCount(line, s) <= kLongestLabel);
    }
    return segments;
}

std::optional<Segment> fixtureSides(const TextFacts& text, const std::vector<std::size_t>& rows,
                                    std::size_t row) {
    // The two sides of a row, as written: "A – B" in two pieces, "A v B" in one.
    const auto sides = [&text](std::size_t li) -> std::optional<std::pair<Segment, Segment>> {
        const Line& line = text.lines[li];
        const auto segments = freeSegments(line, text.facts[li]);
        if (segments.empty() || segments[0].label) {
            return std::nullopt;
        }
        const Segment& first = segments[0];
        for (std::size_t k = first.begin + 1; k + 1 < first.end; ++k) {
            if (isWordIn(&line.tokens[k], {"v", "vs", "gegen"}) && !line.tokens[k].capital) {
                return std::pair{Segment{.begin = first.begin, .end = k},
                                 Segment{.begin = k + 1, .end = first.end}};
            }
        }
        if (segments.size() >= 2 && segments[1].begin == first.end + 1 &&
            line.tokens[first.end].isSymbol("-")) {
            return std::pair{first, segments[1]};
        }
        return std::nullopt;
    };
    const auto here = sides(row);
    if (!here) {
        return std::nullopt;
    }
    const Line& line = text.lines[row];
    const auto isTeam = [](const Line& l, const Segment& s) {
        const auto from = l.tokens.begin() + static_cast<std::ptrdiff_t>(s.begin);
        const auto to = l.tokens.begin() + static_cast<std::ptrdiff_t>(s.end);
        return l.tokens[s.begin].capital && std::none_of(from, to, [](const Token& t) {
                   return t.isWord() && Vocabulary::isVenueWord(t.key);
               });
    };
    for (const std::size_t other : rows) {
        const auto there = other == row ? std::nullopt : sides(other);
        if (!there) {
            continue;
        }
        const Line& otherLine = text.lines[other];
        for (const Segment& mine : {here->first, here->second}) {
            for (const Segment& theirs : {there->first, there->second}) {
                if (isTeam(line, mine) &&
                    line.span(mine.begin, mine.end) == otherLine.span(theirs.begin, theirs.end)) {
                    return Segment{.begin = here->first.begin, .end = here->second.end};
                }
            }
        }
    }
    return std::nullopt;
}

bool hasSubstance(const Line& line, const Segment& segment, const std::string& localeId) {
    for (std::size_t k = segment.begin; k < segment.end; ++k) {
        const Token& t = line.tokens[k];
        if (t.isWord() && t.key.size() >= 2 && !Vocabulary::isFiller(t.key) &&
            !Vocabulary::isGreeting(t.key) && !Vocabulary::isInterfaceWord(t.key) &&
            !Words::weekday(t.key, localeId) && !Words::month(t.key, localeId)) {
            return true;
        }
    }
    return false;
}

bool endsSentence(const Line& line, std::size_t at) {
    if (!endsSentenceAt(line, at)) {
        return false;
    }
    const Token* before = at > 0 ? &line.tokens[at - 1] : nullptr;
    const Token* after = line.at(at + 1);
    const bool abbreviation =
        line.tokens[at].isSymbol(".") && before != nullptr && before->isWord() && before->capital &&
        before->end - before->begin <= 2 && after != nullptr && after->capital;
    return !abbreviation;
}

Segment sentenceAround(const Line& line, std::size_t k) {
    Segment s{.begin = k, .end = k};
    while (s.begin > 0 && !endsSentence(line, s.begin - 1)) {
        --s.begin;
    }
    while (s.end < line.tokens.size() && !endsSentence(line, s.end)) {
        ++s.end;
    }
    return s;
}

std::size_t wordCount(const Line& line, const Segment& segment) {
    std::size_t words = 0;
    for (std::size_t k = segment.begin; k < segment.end; ++k) {
        words += line.tokens[k].isWord() || line.tokens[k].isNumber() ? 1 : 0;
    }
    return words;
}

std::size_t afterLeadIn(const Line& line, const Segment& segment) {
    // Matched word by word on folded keys, again after each one: "Re: Fwd: Dinner", "AW: WG:
    // Elternabend".
    std::size_t begin = segment.begin;
    for (bool more = true; more;) {
        more = false;
        for (const std::string_view leadIn : kLeadIns) {
            std::size_t k = begin;
            std::size_t at = 0;
            while (k < segment.end && at < leadIn.size()) {
                const Token& t = line.tokens[k];
                const std::size_t space = leadIn.find(' ', at);
                const std::string_view word = leadIn.substr(
                    at, space == std::string_view::npos ? std::string_view::npos : space - at);
                if (!t.isWord() || t.key != word) {
                    break;
                }
                at = space == std::string_view::npos ? leadIn.size() : space + 1;
                ++k;
            }
            if (at < leadIn.size() || k >= segment.end) {
                continue;
            }
            begin = k;
            if (line.tokens[k].isSymbol(":") && k + 1 < segment.end) {
                begin = k + 1;
                more = true;
            }
            break;
        }
    }
    return begin;
}

bool isReference(const Line& line, std::size_t k) {
    if (!isWordIn(line.at(k), {"ref", "reference", "dossier", "order", "invoice", "case", "booking",
                               "reservation", "confirmation", "buchung", "buchungsnummer",
                               "bestellung", "bestellnummer", "auftrag", "aktenzeichen", "vorgang",
                               "rechnung", "commande", "facture"})) {
        return false;
    }
    // Its number or code follows within a few tokens ("Ref: CMH-58213", "Order no. 40213").
    for (std::size_t i = k + 1; i < line.tokens.size() && i <= k + 5; ++i) {
        if (line.tokens[i].isNumber()) {
            return true;
        }
        if (!line.tokens[i].isSymbol() && !isWordIn(&line.tokens[i], {"no", "nr", "n", "number"}) &&
            !line.tokens[i].allCaps) {
            return false;
        }
    }
    return false;
}

std::string segmentText(const Line& line, Segment segment) {
    segment.begin = afterLeadIn(line, segment);
    // "Confirmation of your dental check-up", "Rappel de votre rendez-vous": the event, without
    // the word for the message about it and whose it is.
    if (const Token* first = line.at(segment.begin);
        first && first->isWord() && Vocabulary::isGenericHeadingWord(first->key) &&
        isWordIn(line.at(segment.begin + 1),
                 {"of", "for", "de", "du", "pour", "fur", "zur", "zum"})) {
        std::size_t k = segment.begin + 2;
        if (isWordIn(line.at(k), {"your", "votre", "vos", "ihr", "ihre", "ihres", "ihrer", "ihren",
                                  "the", "la", "le", "l'"})) {
            ++k;
        }
        if (k < segment.end && line.tokens[k].isWord()) {
            segment.begin = k;
        }
    }
    // A heading's own label inside a subject: "Booking confirmed: Vinyasa Flow",
    // "Terminänderung – Ihre Prophylaxe-Behandlung". Where an event's noun comes before the word
    // for the message ("Interview invitation – Senior Data Analyst"), only that word goes.
    std::optional<Segment> dropped;
    // "Buchungsbestätigung Nr. 7730-5519-02 – Hotel Elbkai": the message's number goes with it.
    // "Module 2:" keeps its number.
    const auto reference = [&line, &segment](std::size_t k) {
        const auto mark = [&line](std::size_t m) {
            const Token& t = line.tokens[m];
            return isWordIn(&t, {"nr", "no", "ref"}) || t.isSymbol("#") ||
                   (t.isSymbol(".") && m > 0 && isWordIn(&line.tokens[m - 1], {"nr", "no"}));
        };
        std::size_t m = k;
        while (m > segment.begin && (line.tokens[m].isNumber() ||
                                     (line.tokens[m].isSymbol("-") && !line.tokens[m].spaced))) {
            --m;
        }
        return mark(m);
    };
    std::size_t words = 0;
    for (std::size_t k = segment.begin; k < segment.end && words < 4; ++k) {
        const Token& t = line.tokens[k];
        if (reference(k)) {
            continue;
        }
        ++words;
        const bool dash =
            t.isSymbol("-") && t.spaced && k + 1 < segment.end && line.tokens[k + 1].spaced;
        if (t.isSymbol(":") || dash) {
            const auto from = line.tokens.begin() + static_cast<std::ptrdiff_t>(segment.begin);
            const auto to = line.tokens.begin() + static_cast<std::ptrdiff_t>(k);
            const auto isGeneric = [&](const Token& w) {
                return (w.isWord() && Vocabulary::isGenericHeadingWord(w.key)) ||
                       reference(static_cast<std::size_t>(&w - line.tokens.data()));
            };
            // Before a dash, only a word for the message: "Interview confirmed – Senior Data
            // Analyst" keeps its interview.
            const bool generic =
                dash ? std::all_of(from, to, isGeneric) : std::any_of(from, to, isGeneric);
            if (generic && k + 1 < segment.end) {
                segment.begin = afterLeadIn(line, Segment{.begin = k + 1, .end = segment.end});
            } else if (dash) {
                std::size_t g = k;
                while (g > segment.begin && isGeneric(line.tokens[g - 1])) {
                    --g;
                }
                const auto named = [](const Token& w) {
                    return w.isWord() && Vocabulary::isEventNoun(w.key);
                };
                const auto generics = line.tokens.begin() + static_cast<std::ptrdiff_t>(g);
                if (g < k && std::any_of(from, generics, named)) {
                    dropped = Segment{.begin = g, .end = k};
                }
            }
            break;
        }
        if (!t.isWord()) {
            break;
        }
    }
    const auto closes = [](const Token& t) {
        return t.isSymbol(")") || t.isSymbol("\"") || t.isSymbol("\u201C") ||
               t.isSymbol("\u201D") || t.isSymbol("\u00BB");
    };
    const auto opens = [](const Token& t) {
        return t.isSymbol("(") || t.isSymbol("\"") || t.isSymbol("\u201C") ||
               t.isSymbol("\u201E") || t.isSymbol("\u00AB");
    };
    // An opening quote whose closing one follows inside the name stays: '"Low Tide" Tour 2027'.
    const auto closedLater = [&](std::size_t k) {
        return opens(line.tokens[k]) &&
               std::any_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(k + 2),
                           line.tokens.begin() + static_cast<std::ptrdiff_t>(segment.end - 1),
                           closes);
    };
    // Articles left in front ("a Baby Shower") and separators at either end. A name that
    // opens with its article as written ("A Doll's House", "An Evening with …") keeps it.
    while (segment.begin < segment.end &&
           ((line.tokens[segment.begin].isSymbol() && !closedLater(segment.begin)) ||
            (line.tokens[segment.begin].isWord() && !line.tokens[segment.begin].capital &&
             (line.tokens[segment.begin].key == "a" || line.tokens[segment.begin].key == "an") &&
             segment.end - segment.begin > 1))) {
        ++segment.begin;
    }
    // A closing quote or bracket stays with its opening one; the opening one left at the front
    // ("« VOIX D'EUROPE »") takes it along.
    const auto opened = [&] {
        return std::any_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(segment.begin),
                           line.tokens.begin() + static_cast<std::ptrdiff_t>(segment.end - 1),
                           opens);
    };
    while (segment.end > segment.begin && line.tokens[segment.end - 1].isSymbol() &&
           (!closes(line.tokens[segment.end - 1]) || !opened())) {
        --segment.end;
    }
    // "Interview confirmation", "Dentist appointment reminder": the event without the word for
    // the message about it.
    const auto named = [&line, &segment](std::size_t end) {
        return std::any_of(
            line.tokens.begin() + static_cast<std::ptrdiff_t>(segment.begin),
            line.tokens.begin() + static_cast<std::ptrdiff_t>(end),
            [](const Token& t) { return t.isWord() && Vocabulary::isEventNoun(t.key); });
    };
    while (segment.end > segment.begin + 1 && line.tokens[segment.end - 1].isWord() &&
           Vocabulary::isGenericHeadingWord(line.tokens[segment.end - 1].key) &&
           named(segment.end - 1)) {
        --segment.end;
    }
    if (dropped && segment.begin < dropped->begin && dropped->end < segment.end) {
        return std::string(line.span(segment.begin, dropped->begin)) + ' ' +
               std::string(line.span(dropped->end, segment.end));
    }
    return std::string(line.span(segment.begin, segment.end));
}

} // namespace plannery::reader
