#include "finder/StrayGlyphs.h"

#include "finder/RecognitionNoise.h"

#include "model/Ascii.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <vector>

namespace plannery::reader {

namespace {

constexpr std::size_t kLongestStray = 3; // characters
// Decorations taken from each end of a line at most: each look at one reads the whole line.
constexpr std::size_t kMostStrays = 3;

std::vector<UChar32> characters(std::string_view text) {
    std::vector<UChar32> out;
    const auto length = static_cast<int32_t>(text.size());
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        out.push_back(c);
    }
    return out;
}

bool isLetter(UChar32 c) {
    return c >= 0 && (U_GET_GC_MASK(c) & U_GC_L_MASK) != 0;
}

bool isOpener(UChar32 c) {
    return c == '(' || c == '[' || c == '{';
}

bool isCloser(UChar32 c) {
    return c == ')' || c == ']' || c == '}';
}

// Every bracket closes one opened before it, of its own kind.
bool bracketsPair(const std::vector<UChar32>& text) {
    std::vector<UChar32> open;
    for (const UChar32 c : text) {
        if (isOpener(c)) {
            open.push_back(c);
        } else if (isCloser(c)) {
            const UChar32 opener = c == ')' ? '(' : c == ']' ? '[' : '{';
            if (open.empty() || open.back() != opener) {
                return false;
            }
            open.pop_back();
        }
    }
    return open.empty();
}

// An emoji or icon as written: symbols that are pictures, with their joiners, variation
// selectors and skin tones.
bool isPicture(const std::vector<UChar32>& piece) {
    bool picture = false;
    for (const UChar32 c : piece) {
        const auto mask = c >= 0 ? U_GET_GC_MASK(c) : 0;
        if ((mask & U_GC_SO_MASK) != 0) {
            picture = true;
        } else if ((mask & (U_GC_SK_MASK | U_GC_CF_MASK | U_GC_MN_MASK)) == 0) {
            return false;
        }
    }
    return picture;
}

class Cleaner {
  public:
    explicit Cleaner(std::string_view line) : m_line(line), m_pieces(blankSeparated(line)) {}

    std::string run() {
        std::size_t first = 0;
        std::size_t last = m_pieces.size();
        bool endStray = false;
        while (last > first + 1 && m_pieces.size() - last < kMostStrays &&
               stray(first, last, last - 1, false)) {
            --last;
            endStray = true;
        }
        bool startMisread = false;
        while (last > first + 1 && first < kMostStrays &&
               (stray(first, last, first, true) ||
                (endStray && isRing(first) && followsWord(first + 1)))) {
            startMisread = startMisread || isRing(first) || isGarble(first);
            ++first;
        }
        // Pictures come in pairs: after a misread one at the start ("Ol Office Christmas Party
        // 9"), a lone character at the end is the other.
        if (startMisread && !endStray && last > first + 1 &&
            characters(text(last - 1)).size() == 1 && followsWord(last - 1, true) &&
            hasWords(first, last, last - 1)) {
            --last;
        }
        if (first == 0 && last == m_pieces.size()) {
            return std::string(m_line);
        }
        return std::string(
            m_line.substr(m_pieces[first].begin, m_pieces[last - 1].end - m_pieces[first].begin));
    }

  private:
    std::string_view text(std::size_t k) const {
        return m_line.substr(m_pieces[k].begin, m_pieces[k].end - m_pieces[k].begin);
    }

    // Piece `k`, at the start (`atStart`) or end of the pieces [first, last), is a decoration.
    bool stray(std::size_t first, std::size_t last, std::size_t k, bool atStart) const {
        const auto piece = characters(text(k));
        if (isPicture(piece)) {
            return hasWords(first, last, k);
        }
        if (piece.size() > kLongestStray || !hasWords(first, last, k)) {
            return false;
        }
        // The edge of a border, a bubble or a table read as a bar: "| Mum: can you ...".
        if (std::all_of(piece.begin(), piece.end(),
                        [](UChar32 c) { return c == '|' || c == 0xA6 || c == 0x2016; })) {
            return true;
        }
        if (isGarble(k)) {
            return atStart ? followsWord(k + 1) : followsWord(k, true);
        }
        if (isRing(k)) {
            // "HOUSEWARMING 0", not "Spaces left: 0" nor the minutes of "19 h 00" (or "2O h 00",
            // its hour misread too); a lone "O" before words stays.
            const auto digits = [](std::string_view p) {
                return std::any_of(p.begin(), p.end(), isAsciiDigit) &&
                       std::all_of(p.begin(), p.end(), [](char c) {
                           return isAsciiDigit(c) || c == 'O' || c == 'l' || c == 'I';
                       });
            };
            const bool minutes =
                k >= 2 && (text(k - 1) == "h" || text(k - 1) == "H") && digits(text(k - 2));
            return atStart ? text(k) != "O" && followsWord(k + 1)
                           : followsWord(k, true) && !minutes;
        }
        if (std::none_of(piece.begin(), piece.end(),
                         [](UChar32 c) { return isOpener(c) || isCloser(c); })) {
            return false;
        }
        // A list's marker: "1)", "a)", "(2)"; not "{)".
        const bool marker = atStart && piece.size() <= 3 && isCloser(piece.back()) &&
                            (piece.size() == 2) != isOpener(piece.front());
        if (marker) {
            return false;
        }
        // "[]", "{}": a pair that holds nothing.
        if (piece.size() == 2 && isOpener(piece[0]) && isCloser(piece[1])) {
            return true;
        }
        // A bracket that pairs with nothing else on the line.
        std::vector<UChar32> whole;
        std::vector<UChar32> rest;
        for (std::size_t n = first; n < last; ++n) {
            const auto more = characters(text(n));
            whole.insert(whole.end(), more.begin(), more.end());
            if (n != k) {
                rest.insert(rest.end(), more.begin(), more.end());
            }
        }
        return !bracketsPair(whole) && bracketsPair(rest);
    }

    // Only o's and zeros: "0", "Oo", "OO", "00".
    bool isRing(std::size_t k) const {
        const std::string_view piece = text(k);
        return piece.size() <= kLongestStray && std::all_of(piece.begin(), piece.end(), [](char c) {
                   return c == 'o' || c == 'O' || c == '0';
               });
    }

    // Two characters that no language writes as a word: a ring with a stroke ("Ol", "0l"), or
    // two small consonants ("fj"), as a recogniser reads a picture beside a word. Units ("pm",
    // "km") follow numbers, not words; a fixture's "vs Hawthorn Harriers" is a word of its own.
    bool isGarble(std::size_t k) const {
        const std::string_view piece = text(k);
        if (piece.size() != 2 || piece == "vs") {
            return false;
        }
        const auto ring = [](char c) { return c == 'o' || c == 'O' || c == '0'; };
        const auto stroke = [](char c) { return c == 'l' || c == '1' || c == '|'; };
        const bool letter = isAsciiLetter(piece[0]) || isAsciiLetter(piece[1]); // not "10"
        if (letter &&
            ((ring(piece[0]) && stroke(piece[1])) || (stroke(piece[0]) && ring(piece[1])))) {
            return true;
        }
        return std::all_of(piece.begin(), piece.end(), [](char c) {
            return c >= 'a' && c <= 'z' &&
                   std::string_view("aeiouy").find(c) == std::string_view::npos;
        });
    }

    // Piece `k` starts with a letter, or (`before`) the piece before it ends with one and holds
    // no digit ("3.4O pm" is a time with its zero misread).
    bool followsWord(std::size_t k, bool before = false) const {
        if (before) {
            if (k == 0) {
                return false;
            }
            const std::string_view word = text(k - 1);
            const auto previous = characters(word);
            return !previous.empty() && isLetter(previous.back()) &&
                   std::none_of(word.begin(), word.end(), isAsciiDigit);
        }
        if (k >= m_pieces.size()) {
            return false;
        }
        const auto next = characters(text(k));
        return !next.empty() && isLetter(next.front());
    }

    // Words are left among the pieces [first, last) without piece `k`.
    bool hasWords(std::size_t first, std::size_t last, std::size_t k) const {
        for (std::size_t n = first; n < last; ++n) {
            if (n == k) {
                continue;
            }
            const auto piece = characters(text(n));
            if (std::count_if(piece.begin(), piece.end(), isLetter) >= 2) {
                return true;
            }
        }
        return false;
    }

    std::string_view m_line;
    std::vector<Piece> m_pieces;
};

} // namespace

std::string withoutStrayGlyphs(std::string_view line) {
    return Cleaner(line).run();
}

} // namespace plannery::reader
