#include "finder/ReaderText.h"

#include "finder/FinderText.h"
#include "finder/RecognitionNoise.h"
#include "finder/StrayGlyphs.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <optional>

namespace plannery::reader {

namespace {

constexpr std::array<std::string_view, 22> kTopLevelDomains = {
    "com", "org", "net", "io", "dev", "edu", "gov", "de",  "fr",   "uk", "co",
    "us",  "ch",  "at",  "it", "es",  "nl",  "eu",  "app", "info", "be", "ca"};

bool isAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The capital letter that stands alone at `at` (a space or the line's end after it), and the
// index after it.
std::optional<std::size_t> loneCapital(std::string_view line, std::size_t at) {
    if (at >= line.size() || (at > 0 && line[at - 1] != ' ')) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(line.data());
    auto next = static_cast<int32_t>(at);
    UChar32 c = 0;
    U8_NEXT(bytes, next, static_cast<int32_t>(line.size()), c);
    const auto after = static_cast<std::size_t>(next);
    if (c < 0 || !u_isupper(c) || (after < line.size() && line[after] != ' ')) {
        return std::nullopt;
    }
    return after;
}

// "S A M S T A G ,   1 9 .   J U N I   2 0 2 7": on a line set with its letters spaced out, each
// piece between wider gaps whose characters all stand one space apart is one word, digits and
// stops included, and the wider gaps are spaces between words.
std::string withSpacedWordsClosedUp(std::string_view line) {
    std::string out;
    std::size_t i = 0;
    while (i < line.size()) {
        // The wider gaps part words, not columns; the indent stays.
        if (line[i] == ' ') {
            const bool indent = out.find_first_not_of(' ') == std::string::npos;
            if (indent || out.back() != ' ') {
                out += ' ';
            }
            ++i;
            continue;
        }
        // The piece up to a gap of two spaces or more.
        std::size_t end = i;
        while (end < line.size() &&
               !(line[end] == ' ' && end + 1 < line.size() && line[end + 1] == ' ')) {
            ++end;
        }
        while (end > i && line[end - 1] == ' ') {
            --end;
        }
        const std::string_view piece = line.substr(i, end - i);
        // Its characters, each but the last followed by one space.
        std::vector<std::string_view> characters;
        bool spaced = true;
        const auto* bytes = reinterpret_cast<const uint8_t*>(piece.data());
        const auto length = static_cast<int32_t>(piece.size());
        for (int32_t k = 0; k < length && spaced;) {
            const int32_t begin = k;
            UChar32 c = 0;
            U8_NEXT(bytes, k, length, c);
            characters.push_back(
                piece.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(k - begin)));
            if (k < length) {
                spaced = piece[static_cast<std::size_t>(k)] == ' ' && k + 1 < length &&
                         piece[static_cast<std::size_t>(k) + 1] != ' ';
                ++k;
            }
        }
        if (spaced && characters.size() >= 2) {
            for (const std::string_view c : characters) {
                out += c;
            }
        } else {
            out += piece;
        }
        i = end;
    }
    return out;
}

// "J A H R E S K O N Z E R T": a heading set with its letters spaced out, read as the word it
// spells. Only capitals, at least four, each one space from the next; a wider gap parts words.
std::string withLettersClosedUp(std::string_view line) {
    constexpr std::size_t kShortestRun = 4;
    std::string out;
    std::size_t i = 0;
    while (i < line.size()) {
        std::string word;
        std::size_t letters = 0;
        std::size_t end = i;
        for (auto after = loneCapital(line, i); after;) {
            const std::size_t at = end == i && letters == 0 ? i : end + 1;
            word.append(line.substr(at, *after - at));
            ++letters;
            end = *after;
            after = end + 1 < line.size() && line[end] == ' ' ? loneCapital(line, end + 1)
                                                              : std::nullopt;
        }
        if (letters >= kShortestRun) {
            out += word;
            i = end;
        } else {
            out += line[i];
            ++i;
        }
    }
    return out == line ? out : withSpacedWordsClosedUp(line);
}

bool isLinkEnd(char c) {
    return c == ' ' || c == '\t' || c == '<' || c == '>' || c == '"' || c == '\'';
}

// The end of a link that starts at `begin`, or `begin` when none starts there: web addresses with
// a scheme or "www.", mail addresses, and domain names with a path or a common ending.
std::size_t linkEnd(std::string_view text, std::size_t begin) {
    if (begin > 0 && (isAsciiAlnum(text[begin - 1]) || text[begin - 1] == '.' ||
                      text[begin - 1] == '@' || text[begin - 1] == '/')) {
        return begin;
    }
    std::size_t end = begin;
    while (end < text.size() && !isLinkEnd(text[end])) {
        ++end;
    }
    // Closing punctuation belongs to the sentence, not the link.
    while (end > begin &&
           std::string_view(".,;:!?)]").find(text[end - 1]) != std::string_view::npos) {
        --end;
    }
    const std::string_view word = text.substr(begin, end - begin);
    if (word.starts_with("http://") || word.starts_with("https://") || word.starts_with("www.")) {
        return word.size() > 7 ? end : begin;
    }
    // Letters, digits, dots and hyphens up to a slash or the end: a domain name (or, with "@", a
    // mail address).
    std::size_t host = 0;
    bool at = false;
    while (host < word.size() && word[host] != '/' && word[host] != '?') {
        const char c = word[host];
        if (c == '@') {
            at = true;
        } else if (!isAsciiAlnum(c) && c != '.' && c != '-' && c != '_' && c != '+') {
            return begin;
        }
        ++host;
    }
    const std::string_view domain =
        word.substr(word.find('@') == std::string_view::npos ? 0 : word.find('@') + 1,
                    host - (at ? word.find('@') + 1 : 0));
    const auto dot = domain.rfind('.');
    if (dot == std::string_view::npos || dot < 2 || dot + 2 >= domain.size()) {
        return begin;
    }
    const std::string_view ending = domain.substr(dot + 1);
    if (!std::all_of(ending.begin(), ending.end(),
                     [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); })) {
        return begin;
    }
    const bool path = host < word.size();
    const bool common = std::find(kTopLevelDomains.begin(), kTopLevelDomains.end(),
                                  FinderText::lower(ending)) != kTopLevelDomains.end();
    return at || path || common ? end : begin;
}

std::string symbolKey(UChar32 c, std::string_view written) {
    if (c == '-' || (c >= 0x2010 && c <= 0x2015) || c == 0x2212 || c == 0xFE58 || c == 0xFE63 ||
        c == 0xFF0D) {
        return "-";
    }
    if (c == 0xB7 || c == 0x2022 || c == '|' || c == 0x22C5 || c == 0x2219 || c == 0x25CF ||
        c == 0x2027 || c == 0xFF5C) {
        return "·";
    }
    if (c == 0x2192 || c == 0x21D2 || c == 0x279D || c == 0x27A1 || c == 0x2794) {
        return "→";
    }
    if (c == 0x2019 || c == 0x2018 || c == 0x2032) {
        return "'";
    }
    return std::string(written);
}

// "aujourd’hui" as "aujourd'hui".
std::string plainApostrophes(const std::string& word) {
    constexpr std::string_view curly = "\u2019";
    std::string out;
    out.reserve(word.size());
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::string_view(word).substr(i, curly.size()) == curly) {
            out.push_back('\'');
            i += curly.size() - 1;
        } else {
            out.push_back(word[i]);
        }
    }
    return out;
}

bool isSpace(UChar32 c) {
    return c == ' ' || c == '\t' || c == 0xA0 || u_charType(c) == U_SPACE_SEPARATOR;
}

bool isLetter(UChar32 c) {
    return c >= 0 && (U_GET_GC_MASK(c) & (U_GC_L_MASK | U_GC_M_MASK)) != 0;
}

class Tokenizer {
  public:
    explicit Tokenizer(Line& line) : m_line(line), m_text(line.text) {}

    void run() {
        const auto length = static_cast<int32_t>(m_text.size());
        const auto* bytes = reinterpret_cast<const uint8_t*>(m_text.data());
        int32_t i = 0;
        int spaces = 0;
        bool tab = false;
        while (i < length) {
            const int32_t start = i;
            UChar32 c = 0;
            U8_NEXT(bytes, i, length, c);
            if (isSpace(c)) {
                ++spaces;
                tab = tab || c == '\t';
                continue;
            }
            // Leader dots between a label and its value ("Arrival ........ Friday 24 July") are a
            // column gap, unlike a sentence's trailing "..." ("wait... friday?").
            if (c == '.' && spaces > 0) {
                const std::size_t end =
                    m_text.find_first_not_of('.', static_cast<std::size_t>(start));
                const std::size_t dots = (end == std::string_view::npos ? m_text.size() : end) -
                                         static_cast<std::size_t>(start);
                if (dots >= 3 && end != std::string_view::npos && m_text[end] == ' ') {
                    i = static_cast<int32_t>(end);
                    spaces = 2;
                    continue;
                }
            }
            if ((spaces >= 2 || tab) && !m_line.tokens.empty()) {
                push(Token::Kind::symbol, "|", static_cast<std::size_t>(start),
                     static_cast<std::size_t>(start), true);
            }
            const bool spaced = spaces > 0;
            spaces = 0;
            tab = false;
            const auto at = static_cast<std::size_t>(start);
            if (const std::size_t end = linkEnd(m_text, at); end > at) {
                push(Token::Kind::link, std::string(m_text.substr(at, end - at)), at, end, spaced);
                i = static_cast<int32_t>(end);
            } else if (c >= '0' && c <= '9') {
                i = number(start, spaced);
            } else if (isLetter(c)) {
                i = word(start, spaced);
            } else {
                push(Token::Kind::symbol,
                     symbolKey(c, m_text.substr(at, static_cast<std::size_t>(i - start))), at,
                     static_cast<std::size_t>(i), spaced);
            }
        }
    }

  private:
    int32_t number(int32_t start, bool spaced) {
        auto end = static_cast<std::size_t>(start);
        while (end < m_text.size() && m_text[end] >= '0' && m_text[end] <= '9') {
            ++end;
        }
        const auto at = static_cast<std::size_t>(start);
        Token& token =
            push(Token::Kind::number, std::string(m_text.substr(at, end - at)), at, end, spaced);
        if (token.key.size() <= 9) {
            token.value = std::stoi(token.key);
        }
        return static_cast<int32_t>(end);
    }

    // Letters, with apostrophes inside ("Mia's", "aujourd'hui", "o'clock").
    int32_t word(int32_t start, bool spaced) {
        const auto length = static_cast<int32_t>(m_text.size());
        const auto* bytes = reinterpret_cast<const uint8_t*>(m_text.data());
        int32_t end = start;
        while (end < length) {
            int32_t next = end;
            UChar32 c = 0;
            U8_NEXT(bytes, next, length, c);
            if (isLetter(c)) {
                end = next;
                continue;
            }
            if ((c == '\'' || c == 0x2019) && next < length) {
                int32_t after = next;
                UChar32 d = 0;
                U8_NEXT(bytes, after, length, d);
                if (isLetter(d)) {
                    end = after;
                    continue;
                }
            }
            break;
        }
        const auto at = static_cast<std::size_t>(start);
        const auto stop = static_cast<std::size_t>(end);
        const std::string_view written = m_text.substr(at, stop - at);
        Token& token =
            push(Token::Kind::word, plainApostrophes(FinderText::fold(written)), at, stop, spaced);
        markCase(token, written);
        return end;
    }

    static void markCase(Token& token, std::string_view written) {
        const auto length = static_cast<int32_t>(written.size());
        const auto* bytes = reinterpret_cast<const uint8_t*>(written.data());
        int letters = 0;
        bool lower = false;
        for (int32_t i = 0; i < length;) {
            UChar32 c = 0;
            U8_NEXT(bytes, i, length, c);
            // "d'Estaing", "l'Opéra": the letter after the elided article.
            const bool elision = letters == 1 && i < length && bytes[i] == '\'';
            if (letters == 0 || (elision && !token.capital)) {
                token.capital = u_isupper(c) || u_istitle(c);
            }
            lower = lower || u_islower(c);
            letters += isLetter(c) ? 1 : 0;
        }
        token.allCaps = letters >= 2 && token.capital && !lower;
    }

    Token& push(Token::Kind kind, std::string key, std::size_t begin, std::size_t end,
                bool spaced) {
        const auto& tokens = m_line.tokens;
        const bool joined = kind == Token::Kind::word && !spaced && tokens.size() >= 2 &&
                            tokens.back().isSymbol("-") && !tokens.back().spaced &&
                            tokens[tokens.size() - 2].isWord();
        m_line.tokens.push_back(Token{.kind = kind,
                                      .key = std::move(key),
                                      .begin = begin,
                                      .end = end,
                                      .spaced = spaced,
                                      .joined = joined});
        return m_line.tokens.back();
    }

    Line& m_line;
    std::string_view m_text;
};

} // namespace

bool isWordIn(const Token* token, std::initializer_list<std::string_view> words) {
    return token != nullptr && token->isWord() &&
           std::find(words.begin(), words.end(), token->key) != words.end();
}

bool endsSentenceAt(const Line& line, std::size_t k) {
    const Token& t = line.tokens[k];
    if (t.isSymbol("!") || t.isSymbol("?")) {
        return true;
    }
    if (!t.isSymbol(".") || (k + 1 < line.tokens.size() && !line.tokens[k + 1].spaced)) {
        return false;
    }
    // "The 3:00 p.m. sailing": the stop of a clock's "p.m." before a word in lower case.
    const Token* next = line.at(k + 1);
    const bool clock = k >= 3 && line.tokens[k - 1].isWord("m") &&
                       line.tokens[k - 2].isSymbol(".") &&
                       isWordIn(&line.tokens[k - 3], {"a", "p"});
    return !(clock && next != nullptr && next->isWord() && !next->capital);
}

std::size_t sentenceEnd(const Line& line, std::size_t from) {
    for (std::size_t k = from; k < line.tokens.size(); ++k) {
        if (endsSentenceAt(line, k)) {
            return k;
        }
    }
    return line.tokens.size();
}

std::string_view Line::span(std::size_t first, std::size_t last) const {
    if (first >= last || last > tokens.size()) {
        return {};
    }
    return slice(tokens[first].begin, tokens[last - 1].end);
}

namespace {

// "──── Tuesday, 9 March ────", "-- Today --": words set between two strokes of a rule on each
// side, which the stray glyphs' rules take away.
bool betweenRules(std::string_view raw) {
    const std::string_view text = FinderText::trimSpaces(raw);
    constexpr std::string_view kRules[] = {"──", "——", "━━", "--", "=="};
    const auto ruled = [&text, &kRules](bool atStart) {
        return std::any_of(std::begin(kRules), std::end(kRules), [&](std::string_view rule) {
            return atStart ? text.starts_with(rule) : text.ends_with(rule);
        });
    };
    return text.size() > 8 && ruled(true) && ruled(false);
}

// "📍 OPD Block B, 2nd Floor": a map pin opening the line, before its stray glyphs are taken.
bool opensWithPin(std::string_view raw) {
    const std::size_t first = raw.find_first_not_of(" \t");
    return first != std::string_view::npos && raw.substr(first).starts_with("\U0001F4CD");
}

} // namespace

std::vector<Line> readLines(std::string_view text) {
    if (text.size() > kMaxTextBytes) {
        text = text.substr(0, kMaxTextBytes);
        // Cut at the last line break, or at least not inside a character.
        const auto lastBreak = text.rfind('\n');
        if (lastBreak != std::string_view::npos && lastBreak > kMaxTextBytes / 2) {
            text = text.substr(0, lastBreak);
        }
        while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) {
            text.remove_suffix(1);
        }
        if (!text.empty() && static_cast<unsigned char>(text.back()) >= 0xC0) {
            text.remove_suffix(1);
        }
    }
    std::vector<Line> lines;
    int block = 0;
    int index = 0;
    bool blank = false;
    std::size_t begin = 0;
    while (begin <= text.size() && lines.size() < kMaxLines) {
        auto end = text.find('\n', begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view raw = text.substr(begin, end - begin);
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
        }
        Line line{.text = withArrowsForLookalikes(withLettersRepaired(
                      withDigitsForLookalikes(withLettersClosedUp(withoutStrayGlyphs(raw))))),
                  .index = index++,
                  .ruled = betweenRules(raw),
                  .pinned = opensWithPin(raw)};
        Tokenizer(line).run();
        if (line.tokens.empty()) {
            blank = true;
        } else {
            if (blank && !lines.empty()) {
                ++block;
            }
            blank = false;
            line.block = block;
            lines.push_back(std::move(line));
        }
        begin = end + 1;
    }
    return lines;
}

} // namespace plannery::reader
