#include "finder/PlacePicking.h"

#include "finder/LineSegments.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"
#include "model/CalEvent.h"

#include <algorithm>

namespace plannery::reader {

namespace {

constexpr std::size_t kLongestVenue = 7; // words

const Token* tokenAt(const Line& line, std::size_t i) {
    return i < line.tokens.size() ? &line.tokens[i] : nullptr;
}

bool isCalendarWord(const Token& t, const std::string& localeId) {
    return t.isWord() && (Words::weekday(t.key, localeId) || Words::month(t.key, localeId));
}

// A street with its number ("42 Elm Street", "Seestraße 8", "5 rue Tholozé"), a postcode with its
// town ("10178 Berlin", "NC 27513", "OX7 4QP").
bool isAddressAt(const Line& line, std::size_t i) {
    const Token& t = line.tokens[i];
    const Token* next = tokenAt(line, i + 1);
    if (t.isNumber() && t.key.size() <= 5 && next != nullptr) {
        for (std::size_t k = i + 1; k < line.tokens.size() && k <= i + 4; ++k) {
            const Token& w = line.tokens[k];
            if (w.isWord() && Vocabulary::isStreetWord(w.key)) {
                return true;
            }
            if (!w.isWord() && !w.isNumber()) {
                break;
            }
        }
        // A postcode before a town.
        if ((t.key.size() == 5 || t.key.size() == 4) && next->isWord() && next->capital &&
            next->spaced) {
            return true;
        }
    }
    if (t.isWord() && Vocabulary::isStreetWord(t.key) && t.capital && next && next->isNumber() &&
        next->value > 0 && next->value < 10000) {
        return true; // "Dorfstrasse 12", "Am Sportplatz 2"
    }
    if (t.isWord() && t.allCaps && t.key.size() == 2 && next && next->isNumber() &&
        next->key.size() == 5 && next->spaced) {
        return true; // "IL 60540"
    }
    // A British postcode: "OX7 4QP", "LS16 7PQ", "EC2A 2AG".
    if (t.isWord() && t.allCaps && t.key.size() <= 2 && next && next->isNumber() && !next->spaced &&
        next->key.size() <= 2) {
        std::size_t k = i + 2;
        if (const Token* letter = tokenAt(line, k); letter && !letter->spaced && letter->isWord()) {
            ++k;
        }
        const Token* inward = tokenAt(line, k);
        const Token* unit = tokenAt(line, k + 1);
        return inward && inward->spaced && inward->isNumber() && inward->key.size() == 1 && unit &&
               !unit->spaced && unit->isWord() && unit->key.size() == 2;
    }
    return false;
}

bool hasAddress(const Line& line) {
    for (std::size_t i = 0; i < line.tokens.size(); ++i) {
        if (isAddressAt(line, i)) {
            return true;
        }
    }
    return false;
}

bool hasVenueWord(const Line& line, std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end && k < line.tokens.size(); ++k) {
        if (line.tokens[k].isWord() && Vocabulary::isVenueWord(line.tokens[k].key)) {
            return true;
        }
    }
    return false;
}

bool isMeetingLink(std::string_view link) {
    for (const std::string_view host : {"zoom.us", "meet.google.com", "teams.microsoft.com",
                                        "teams.live.com", "webex.com", "whereby.com", "meet.jit.si",
                                        "gotomeeting.com", "bluejeans.com", "/live", "zoom.com"}) {
        if (link.find(host) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

std::string cleanLink(std::string_view link) {
    while (!link.empty() && (link.back() == '>' || link.back() == ')')) {
        link.remove_suffix(1);
    }
    return std::string(link);
}

} // namespace

PlacePicker::PlacePicker(const TextFacts& text, const std::vector<Candidate>& candidates,
                         const std::string& localeId)
    : m_text(text), m_localeId(localeId) {
    m_place = labelled();
    if (!m_place) {
        m_place = address();
    }
    if (!m_place) {
        m_place = venueLine();
    }
    if (!m_place) {
        for (const Candidate& c : candidates) {
            if ((m_place = phrase(c.line, 0))) {
                break;
            }
        }
    }
    if (!m_place) {
        for (std::size_t li = 0; li < text.lines.size() && !m_place; ++li) {
            m_place = phrase(li, 0);
        }
    }
    if (!m_place) {
        m_place = meetingLink();
    }
}

std::optional<std::string> PlacePicker::labelled() const {
    std::optional<std::string> found;
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        const LineFacts& facts = m_text.facts[li];
        const Line& line = m_text.lines[li];
        if (!Vocabulary::isPlaceLabel(facts.label)) {
            continue;
        }
        std::string value = trimWhiteSpace(line.text.substr(line.tokens[facts.labelEnd - 1].end));
        if (value.empty() && li + 1 < m_text.lines.size()) {
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

std::optional<std::string> PlacePicker::address() const {
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        const Line& line = m_text.lines[li];
        if (!hasAddress(line) || !m_text.facts[li].dates.empty() ||
            Vocabulary::isDetailLabel(m_text.facts[li].label) || m_text.header[li]) {
            continue;
        }
        // The address's own lines, and the venue's name above them.
        std::size_t first = li;
        while (first > 0 && m_text.lines[first - 1].block == line.block &&
               m_text.facts[first - 1].dates.empty() && m_text.facts[first - 1].times.empty() &&
               m_text.facts[first - 1].label.empty() && m_text.lines[first - 1].tokens.size() <= 8 &&
               !m_text.lines[first - 1].tokens.empty() && m_text.lines[first - 1].tokens[0].capital &&
               (hasVenueWord(m_text.lines[first - 1], 0, 8) ||
                (first == li && m_text.lines[first - 1].tokens.size() <= 6 && li >= 2 &&
                 !m_text.facts[first - 2].dates.empty()) ||
                hasAddress(m_text.lines[first - 1]) ||
                std::any_of(m_text.lines[first - 1].tokens.begin(),
                            m_text.lines[first - 1].tokens.end(),
                            [](const Token& t) { return t.isWord() && Vocabulary::isStreetWord(t.key); }))) {
            --first;
        }
        std::size_t last = li;
        while (last + 1 < m_text.lines.size() && m_text.lines[last + 1].block == line.block &&
               hasAddress(m_text.lines[last + 1]) && m_text.facts[last + 1].dates.empty() &&
               m_text.facts[last + 1].label.empty()) {
            ++last;
        }
        std::string text;
        for (std::size_t k = first; k <= last; ++k) {
            std::string piece = trimWhiteSpace(m_text.lines[k].text);
            // Keep only the address's piece of a line that goes on ("... · Tel. 069 2731").
            const Line& l = m_text.lines[k];
            for (const Token& t : l.tokens) {
                if (t.isSymbol("·") || t.isSymbol("|")) {
                    const std::string_view before = std::string_view(l.text).substr(0, t.begin);
                    const std::string_view after = std::string_view(l.text).substr(t.end);
                    piece = trimWhiteSpace(hasAddress(l) && before.find_first_of("0123456789") !=
                                                                std::string_view::npos
                                               ? before
                                               : after);
                    break;
                }
            }
            text += (text.empty() ? "" : ", ") + piece;
        }
        return text;
    }
    return std::nullopt;
}

std::optional<std::string> PlacePicker::venueLine() const {
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        const Line& line = m_text.lines[li];
        const LineFacts& facts = m_text.facts[li];
        if (!facts.dates.empty() || !facts.times.empty() || !facts.label.empty() ||
            line.tokens.size() > kLongestVenue + 3 || line.tokens.empty() || !line.tokens[0].capital ||
            !hasVenueWord(line, 0, line.tokens.size())) {
            continue;
        }
        return trimWhiteSpace(line.text);
    }
    return std::nullopt;
}

std::optional<std::string> PlacePicker::phrase(std::size_t li, std::size_t from) const {
    const Line& line = m_text.lines[li];
    for (std::size_t i = from; i + 1 < line.tokens.size(); ++i) {
        const Token& t = line.tokens[i];
        const bool at = t.isSymbol("@") ||
                        (t.isWord() && (t.key == "at" || t.key == "in" || t.key == "au" ||
                                        t.key == "im" || t.key == "dans" || t.key == "bei"));
        if (!at) {
            continue;
        }
        std::size_t begin = i + 1;
        if (const Token* article = tokenAt(line, begin);
            article && article->isWord() &&
            (article->key == "the" || article->key == "den" || article->key == "der" ||
             article->key == "die" || article->key == "la" || article->key == "le")) {
            ++begin;
        }
        const Token* head = tokenAt(line, begin);
        if (head == nullptr || !head->isWord() || isCalendarWord(*head, m_localeId)) {
            continue;
        }
        const bool venueFirst = Vocabulary::isVenueWord(head->key);
        if (!head->capital && !venueFirst) {
            continue;
        }
        std::size_t end = begin;
        std::size_t words = 0;
        while (end < line.tokens.size() && words < kLongestVenue) {
            const Token& w = line.tokens[end];
            const bool joins = w.isWord() && (w.key == "of" || w.key == "de" || w.key == "du" ||
                                              w.key == "des" || w.key == "der" || w.key == "am" ||
                                              w.key == "on" || w.key == "l'ecole" || w.key == "the");
            const bool part = (w.isWord() && (w.capital || venueFirst) && !isCalendarWord(w, m_localeId)) ||
                              (w.isNumber() && end > begin) || joins || w.isSymbol("'") ||
                              (w.isSymbol(".") && !w.spaced);
            if (!part) {
                break;
            }
            ++end;
            words += w.isWord() ? 1 : 0;
        }
        while (end > begin && (line.tokens[end - 1].isWord("of") || line.tokens[end - 1].isWord("on") ||
                               line.tokens[end - 1].isWord("the") || line.tokens[end - 1].isWord("de"))) {
            --end;
        }
        if (end == begin) {
            continue;
        }
        // ", Civic Centre" or "(Riverside Park)" right after it belongs to it.
        if (const Token* next = tokenAt(line, end); next && next->isSymbol("(")) {
            for (std::size_t k = end + 1; k < line.tokens.size() && k < end + 8; ++k) {
                if (line.tokens[k].isSymbol(")")) {
                    end = k + 1;
                    break;
                }
            }
        } else if (next && next->isSymbol(",") && hasVenueWord(line, end + 1, end + 4)) {
            std::size_t k = end + 1;
            while (k < line.tokens.size() && (line.tokens[k].isWord() || line.tokens[k].isNumber() ||
                                              (line.tokens[k].isSymbol(".") && !line.tokens[k].spaced))) {
                ++k;
            }
            end = k;
            if (const Token* open = tokenAt(line, end); open && open->isSymbol("(")) {
                for (std::size_t j = end + 1; j < line.tokens.size() && j < end + 8; ++j) {
                    if (line.tokens[j].isSymbol(")")) {
                        end = j + 1;
                        break;
                    }
                }
            }
        }
        const std::size_t shown = begin > i + 1 && !Vocabulary::isVenueWord(head->key) ? begin : i + 1;
        return std::string(line.span(venueFirst ? i + 1 : shown, end));
    }
    return std::nullopt;
}

std::optional<std::string> PlacePicker::meetingLink() const {
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        const LineFacts& facts = m_text.facts[li];
        for (const Token& t : m_text.lines[li].tokens) {
            if (t.isLink() && (isMeetingLink(t.key) ||
                               facts.label == "join" || facts.label == "joining info" ||
                               facts.label == "call link" || facts.label == "stream link")) {
                return cleanLink(t.key);
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> PlacePicker::linePlace(const Candidate& c) const {
    const Line& line = m_text.lines[c.line];
    const LineFacts& facts = m_text.facts[c.line];
    const auto segments = freeSegments(line, facts);
    for (std::size_t k = 1; k < segments.size(); ++k) {
        const Segment& s = segments[k];
        if (s.begin < c.begin || s.label) {
            continue;
        }
        const bool room = s.end - s.begin == 2 && line.tokens[s.begin].isWord() &&
                          line.tokens[s.begin].capital && line.tokens[s.begin + 1].isNumber();
        if (hasVenueWord(line, s.begin, s.end) || room) {
            return segmentText(line, s);
        }
    }
    return phrase(c.line, c.begin);
}

std::optional<std::string> PlacePicker::place(const Candidate& c) const {
    if (auto own = linePlace(c)) {
        return own;
    }
    return m_place;
}

} // namespace plannery::reader
