#include "finder/TitlePicking.h"

#include "finder/FinderText.h"
#include "finder/LineSegments.h"
#include "finder/ReaderVocabulary.h"
#include "model/CalEvent.h"

#include <algorithm>
#include <set>

namespace plannery::reader {

namespace {

// Headings are worth this much more than an event's own line when they say what it is.
constexpr int kStrongHeading = 30;
constexpr std::size_t kLongestTitle = 9; // words

bool isLink(const Line& line, const Segment& s) {
    return std::any_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(s.begin),
                       line.tokens.begin() + static_cast<std::ptrdiff_t>(s.end),
                       [](const Token& t) { return t.isLink(); });
}

bool hasEventNoun(const Line& line, const Segment& s) {
    for (std::size_t k = s.begin; k < s.end; ++k) {
        if (line.tokens[k].isWord() && Vocabulary::isEventNoun(line.tokens[k].key)) {
            return true;
        }
    }
    return false;
}

bool looksLikeAddress(const Line& line, const Segment& s) {
    bool number = false;
    for (std::size_t k = s.begin; k < s.end; ++k) {
        const Token& t = line.tokens[k];
        number = number || t.isNumber();
        if (number && t.isWord() && Vocabulary::isStreetWord(t.key)) {
            return true;
        }
    }
    return false;
}

// Verbs and pronouns that end an event's name in a sentence ("Grandpa's 80th | is Sunday").
bool endsPhrase(const Token& t) {
    static const std::set<std::string_view> words = {
        "is", "are", "was", "will", "be", "have", "has", "having", "want", "wanna", "see", "grab",
        "get", "join", "come", "free", "forget", "don't", "moved", "move", "booked", "let's",
        "lets", "can", "could", "would", "we", "you", "i", "he", "she", "they", "his", "her", "my",
        "our", "your", "their", "there's", "it's", "on", "at", "in", "this", "next", "tomorrow",
        "today", "tonight", "ist", "findet", "wollen", "wir", "bei", "sind", "on", "aura", "est",
        "se", "fait", "un", "une", "to", "with", "from", "and", "et", "und", "for", "of", "the"};
    return !t.isWord() || words.count(t.key) > 0;
}

} // namespace

std::string normalCapitalisation(const std::string& title) {
    if (FinderText::letterCount(title) >= 4 && FinderText::isAllCaps(title)) {
        return FinderText::capitalizeWords(title);
    }
    return FinderText::capitalizeFirst(title);
}

TitlePicker::TitlePicker(const TextFacts& text, const std::vector<Candidate>& candidates,
                         const std::string& localeId)
    : m_text(text), m_localeId(localeId) {
    std::set<std::size_t> lines;
    for (const Candidate& c : candidates) {
        lines.insert(c.line);
    }
    m_manyLines = lines.size() >= 2;
    pickHeading(candidates);
}

void TitlePicker::pickHeading(const std::vector<Candidate>& candidates) {
    const std::size_t firstEventLine = candidates.empty() ? 0 : candidates.front().line;
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        const Line& line = m_text.lines[li];
        const LineFacts& facts = m_text.facts[li];
        if (m_text.header[li] && !Vocabulary::isTitleLabel(facts.label)) {
            continue;
        }
        if (Vocabulary::isDetailLabel(facts.label) || Vocabulary::isPlaceLabel(facts.label)) {
            continue;
        }
        const auto segments = freeSegments(line, facts);
        for (const Segment& s : segments) {
            if (s.label && !Vocabulary::isTitleLabel(facts.label)) {
                continue;
            }
            if (s.label || !hasSubstance(line, s, m_localeId) || isLink(line, s) ||
                looksLikeAddress(line, s)) {
                continue;
            }
            const std::size_t words = wordCount(line, s);
            const Token& first = line.tokens[s.begin];
            if (Vocabulary::isGreeting(first.key) || words > 12) {
                continue;
            }
            int score = 10 - 2 * static_cast<int>(std::min<std::size_t>(li, 8));
            if (Vocabulary::isTitleLabel(facts.label)) {
                score += 50;
            }
            bool generic = false;
            bool capitals = true;
            int capitalised = 0;
            for (std::size_t k = s.begin; k < s.end; ++k) {
                const Token& t = line.tokens[k];
                if (t.isWord()) {
                    generic = generic || Vocabulary::isGenericHeadingWord(t.key);
                    capitals = capitals && (t.allCaps || t.key.size() < 2);
                    capitalised += t.capital ? 1 : 0;
                }
            }
            if (generic && !Vocabulary::isTitleLabel(facts.label)) {
                score -= 30;
            }
            if (capitals && FinderText::letterCount(line.span(s.begin, s.end)) >= 4) {
                score += 6;
            } else if (capitalised * 2 >= static_cast<int>(words)) {
                score += 4;
            }
            score += hasEventNoun(line, s) ? 8 : 0;
            score += words <= 7 ? 4 : -10;
            if (s.end < line.tokens.size()) {
                const Token& after = line.tokens[s.end];
                score -= after.isSymbol(".") || after.isSymbol("?") ? 8 : 0;
            }
            if (!facts.dates.empty() || !facts.times.empty()) {
                score -= 6;
            }
            if (li + 1 == firstEventLine) {
                score += 3;
            }
            if (!m_heading || score > m_headingScore) {
                m_heading = segmentText(line, s);
                m_headingScore = score;
            }
            break; // one candidate per line: its first piece
        }
    }
}

std::optional<std::string> TitlePicker::lineTitle(const Candidate& c) const {
    const Line& line = m_text.lines[c.line];
    const LineFacts& facts = m_text.facts[c.line];
    for (const Segment& s : freeSegments(line, facts)) {
        if (s.label && (Vocabulary::isWhenOrWhereLabel(facts.label) ||
                        Vocabulary::isDetailLabel(facts.label) || isStayLabel(facts.label))) {
            continue;
        }
        if (!hasSubstance(line, s, m_localeId) || isLink(line, s) || looksLikeAddress(line, s) ||
            wordCount(line, s) > kLongestTitle) {
            continue;
        }
        return segmentText(line, s);
    }
    return std::nullopt;
}

std::optional<std::string> TitlePicker::sentenceTitle(const Candidate& c) const {
    // The event named near the day: "are you free for dinner on friday?", "Pub quiz is back".
    for (std::size_t li = c.line + 1; li-- > 0 && li + 2 > c.line;) {
        const Line& line = m_text.lines[li];
        if (line.block != m_text.lines[c.line].block) {
            break;
        }
        for (std::size_t k = 0; k < line.tokens.size(); ++k) {
            if (!line.tokens[k].isWord() || !Vocabulary::isEventNoun(line.tokens[k].key)) {
                continue;
            }
            std::size_t begin = k;
            while (begin > 0 && !endsPhrase(line.tokens[begin - 1]) &&
                   !Vocabulary::isGreeting(line.tokens[begin - 1].key) &&
                   !line.tokens[begin - 1].isSymbol()) {
                --begin;
            }
            std::size_t end = k + 1;
            while (end < line.tokens.size() && line.tokens[end].isWord() &&
                   Vocabulary::isEventNoun(line.tokens[end].key)) {
                ++end;
            }
            // "study group for the stats final", "farewell drinks for Margaret"
            if (end + 1 < line.tokens.size() &&
                (line.tokens[end].isWord("for") || line.tokens[end].isWord("of"))) {
                std::size_t more = end + 1;
                while (more < line.tokens.size() && more < end + 5 && line.tokens[more].isWord() &&
                       (!endsPhrase(line.tokens[more]) || line.tokens[more].isWord("the"))) {
                    ++more;
                }
                if (more > end + 1 && !line.tokens[more - 1].isWord("the")) {
                    end = more;
                }
            }
            return std::string(line.span(begin, end));
        }
    }
    return std::nullopt;
}

std::string TitlePicker::title(const Candidate& c) const {
    std::optional<std::string> chosen;
    const auto own = lineTitle(c);
    if (c.session || (m_manyLines && own)) {
        chosen = own;
    } else if (m_heading && m_headingScore >= kStrongHeading) {
        chosen = m_heading;
    } else if (own) {
        chosen = own;
    } else if (auto sentence = sentenceTitle(c)) {
        chosen = sentence;
    } else {
        chosen = m_heading;
    }
    if (!chosen || chosen->empty()) {
        chosen = m_heading.value_or(std::string(m_text.lines[c.line].text));
    }
    return normalCapitalisation(trimWhiteSpace(*chosen));
}

} // namespace plannery::reader
