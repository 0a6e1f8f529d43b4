#include "finder/StrayGlyphs.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <vector>

namespace plannery::reader {

namespace {

constexpr std::size_t kLongestStray = 3; // characters

struct Piece {
    std::size_t begin = 0; // bytes of the line
    std::size_t end = 0;
};

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
    explicit Cleaner(std::string_view line) : m_line(line) {
        std::size_t i = 0;
        while (i < line.size()) {
            if (line[i] == ' ' || line[i] == '\t') {
                ++i;
                continue;
            }
            const std::size_t begin = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
                ++i;
            }
            m_pieces.push_back(Piece{begin, i});
        }
    }

    std::string run() {
        std::size_t first = 0;
        std::size_t last = m_pieces.size();
        bool endStray = false;
        while (last > first + 1 && stray(first, last, last - 1, false)) {
            --last;
            endStray = true;
        }
        while (last > first + 1 && (stray(first, last, first, true) ||
                                    (endStray && isRing(first) && followsWord(first + 1)))) {
            ++first;
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
        if (isRing(k)) {
            // "HOUSEWARMING 0", not "Spaces left: 0"; a lone "O" before words stays.
            return atStart ? text(k) != "O" && followsWord(k + 1) : followsWord(k, true);
        }
        if (std::none_of(piece.begin(), piece.end(),
                         [](UChar32 c) { return isOpener(c) || isCloser(c); })) {
            return false;
        }
        // A list's marker: "1)", "a)", "(2)".
        const bool marker = atStart && piece.size() <= 3 && isCloser(piece.back()) &&
                            (piece.size() == 2 || isOpener(piece.front()));
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

    // Piece `k` starts with a letter, or (`before`) the piece before it ends with one.
    bool followsWord(std::size_t k, bool before = false) const {
        if (before) {
            if (k == 0) {
                return false;
            }
            const auto previous = characters(text(k - 1));
            return !previous.empty() && isLetter(previous.back());
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

std::string withOnesForLookalikes(std::string line) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const std::string_view before = std::string_view(line).substr(0, i);
        const bool starts = before.empty() || before.ends_with(' ') || before.ends_with('\t') ||
                            before.ends_with('(') || before.ends_with('-') ||
                            before.ends_with("\u2013") || before.ends_with("\u2014");
        if (!starts || (line[i] != 'l' && line[i] != 'I')) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != ',' &&
               line[end] != ')') {
            ++end;
        }
        std::string_view rest = std::string_view(line).substr(i + 1, end - i - 1);
        while (!rest.empty() && rest.back() == '.') {
            rest.remove_suffix(1);
        }
        // "l0:30", "l5h", "l2.30pm": digits, with ":" or "." between them, and an ending.
        std::size_t k = 0;
        while (k < rest.size() &&
               (isDigit(rest[k]) || ((rest[k] == ':' || rest[k] == '.') && k > 0 &&
                                     k + 1 < rest.size() && isDigit(rest[k + 1])))) {
            ++k;
        }
        const std::string_view ending = rest.substr(k);
        const bool clock = ending == "am" || ending == "pm";
        const bool number =
            ending == "h" || (k == 0 ? ending == "st" || ending == "er" || ending == "re"
                                     : ending.empty() || ending == "th");
        // "Ist" and "I5" are a word and a road: a capital I is a one only before a clock's ending.
        if (line[i] == 'l' ? clock || number : clock) {
            line[i] = '1';
        }
    }
    return line;
}

} // namespace plannery::reader
