#include "finder/RecognitionNoise.h"

#include "finder/ReaderVocabulary.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <vector>

namespace plannery::reader {

namespace {

constexpr std::size_t kLongestStray = 3; // characters
// Decorations taken from each end of a line at most: each look at one reads the whole line.
constexpr std::size_t kMostStrays = 3;

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

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
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
                return std::any_of(p.begin(), p.end(), isDigit) &&
                       std::all_of(p.begin(), p.end(), [](char c) {
                           return isDigit(c) || c == 'O' || c == 'l' || c == 'I';
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
    // "km") follow numbers, not words.
    bool isGarble(std::size_t k) const {
        const std::string_view piece = text(k);
        if (piece.size() != 2) {
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

bool isCapital(char c) {
    return c >= 'A' && c <= 'Z';
}

bool isCapitalOrDigit(char c) {
    return isCapital(c) || isDigit(c);
}

// A letter of a British postcode's unit, which never holds C, I, K, M, O or V.
bool isUnitLetter(char c) {
    return isCapital(c) && std::string_view("CIKMOV").find(c) == std::string_view::npos;
}

// A British postcode's outward code as written: one or two letters, a digit, and perhaps a digit
// or a letter ("M3", "SO23", "EC2A").
bool isOutwardCode(std::string_view code) {
    const std::size_t letters = code.size() >= 2 && isAsciiLetter(code[1]) ? 2 : 1;
    if (code.size() < letters + 1 || code.size() > letters + 2 || !isAsciiLetter(code[0]) ||
        !isDigit(code[letters])) {
        return false;
    }
    return std::all_of(code.begin(), code.end(), isCapitalOrDigit);
}

// The digit a recogniser reads as a capital letter, or the letter it reads as a digit.
char digitFor(char c) {
    return c == 'O' ? '0' : c == 'S' ? '5' : c == 'I' ? '1' : c;
}

char letterFor(char c) {
    return c == '0' ? 'O' : c == '5' ? 'S' : c == '1' ? 'I' : c;
}

// A British postcode after its town, at the end of a line or before a comma, with its letters and
// digits in their places: "Manchester M3 SDF" is "M3 5DF" and "WINCHESTER S023 9JX" is "SO23
// 9JX" (an area starts with letters, a unit with a digit). Codes that are already well formed stay,
// and so do other words ("Meet at B2 SOS").
// "Satur day 16th January", "WEDNES DAY 3 MARCH": a weekday's name split before its "day", as a
// recogniser splits a word set in wide letters, before the day of the month it names.
void weekdaysJoined(std::string& line) {
    constexpr std::string_view kFronts[] = {"mon", "tues",  "wednes", "thurs",
                                            "fri", "satur", "sun"};
    for (std::size_t at = 0; at + 4 < line.size(); ++at) {
        if (line[at] != ' ' ||
            (line.compare(at + 1, 3, "day") != 0 && line.compare(at + 1, 3, "DAY") != 0)) {
            continue;
        }
        std::size_t front = at;
        while (front > 0 && isAsciiLetter(line[front - 1])) {
            --front;
        }
        std::string word = line.substr(front, at - front);
        std::transform(word.begin(), word.end(), word.begin(),
                       [](char c) { return static_cast<char>(std::tolower(c)); });
        const std::size_t after = at + 4;
        const bool dated =
            after + 1 < line.size() && line[after] == ' ' && isDigit(line[after + 1]);
        if (dated && std::find(std::begin(kFronts), std::end(kFronts), word) != std::end(kFronts)) {
            line.erase(at, 1);
        }
    }
}

// "SAMEDl", "COMMUNlTY": a word in capitals holds no small letters, so a small "l" in it is a
// capital "I" the recogniser read for one.
void capitalIsForSmallL(std::string& line) {
    const auto inWord = [](char c) {
        return isAsciiLetter(c) || static_cast<unsigned char>(c) >= 0x80;
    };
    for (std::size_t begin = 0; begin < line.size();) {
        if (!inWord(line[begin])) {
            ++begin;
            continue;
        }
        std::size_t end = begin;
        int capitals = 0;
        bool otherSmall = false;
        bool smallL = false;
        for (; end < line.size() && inWord(line[end]); ++end) {
            capitals += isCapital(line[end]) ? 1 : 0;
            smallL = smallL || line[end] == 'l';
            otherSmall = otherSmall || (line[end] != 'l' && line[end] >= 'a' && line[end] <= 'z');
        }
        if (smallL && !otherSmall && capitals >= 2) {
            std::replace(line.begin() + static_cast<std::ptrdiff_t>(begin),
                         line.begin() + static_cast<std::ptrdiff_t>(end), 'l', 'I');
        }
        begin = end;
    }
}

// "écoIe", "fiIm", "WheeIchair": a capital "I" between small letters, after two or more of
// them, is a small "l" the recogniser read for one ("McIntosh" keeps its capital).
void smallLForCapitalI(std::string& line) {
    const auto small = [](char c) { return c >= 'a' && c <= 'z'; };
    for (std::size_t k = 2; k + 1 < line.size(); ++k) {
        if (line[k] == 'I' && small(line[k - 1]) && small(line[k - 2]) && small(line[k + 1])) {
            line[k] = 'l';
        }
    }
}

// "Sa. 26. Junl", "Aprll": an "l" the recogniser read for an "i" in a month's name, which no word
// is spelled as; and "9-12 Ubr", the "h" of the German clock's word read as a "b" after a number.
void lettersOfMonthsAndClocks(std::string& line) {
    constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kMisread = {{
        {"Junl", "Juni"},
        {"Jull", "Juli"},
        {"Aprll", "April"},
        {"Avrll", "Avril"},
    }};
    for (std::size_t begin = 0; begin < line.size();) {
        std::size_t end = begin;
        while (end < line.size() && isAsciiLetter(line[end])) {
            ++end;
        }
        if (end == begin) {
            ++begin;
            continue;
        }
        const std::string_view word(line.data() + begin, end - begin);
        for (const auto& [read, meant] : kMisread) {
            if (word == read) {
                line.replace(begin, read.size(), meant);
                break;
            }
        }
        // "12 Ubr", "9-12 Ubr", "12Ubr"
        std::size_t before = begin;
        while (before > 0 && line[before - 1] == ' ') {
            --before;
        }
        if (word == "Ubr" && before > 0 && isDigit(line[before - 1])) {
            line[begin + 1] = 'h';
        }
        begin = end;
    }
}

// "PR0BLEMSTOFFSAMMLUNG", "H0TEL", "FR1DAY": a zero or a one between capitals of a word in
// capitals, which holds no other digit, is the "O" or "I" the recogniser read as one. Codes
// ("BRL-7H42QK", "K1A 0B1") stay.
void capitalsForZeroAndOne(std::string& line) {
    constexpr std::size_t kShortestWord = 4;
    const auto lookalike = [](char c) { return c == '0' || c == '1'; };
    for (std::size_t begin = 0; begin < line.size();) {
        std::size_t end = begin;
        std::size_t letters = 0;
        bool otherDigit = false;
        bool small = false;
        while (end < line.size() && (isAsciiLetter(line[end]) || isDigit(line[end]))) {
            letters += isAsciiLetter(line[end]) ? 1 : 0;
            otherDigit = otherDigit || (isDigit(line[end]) && !lookalike(line[end]));
            small = small || (line[end] >= 'a' && line[end] <= 'z');
            ++end;
        }
        if (letters >= kShortestWord && !otherDigit && !small) {
            for (std::size_t k = begin + 1; k + 1 < end; ++k) {
                if (lookalike(line[k]) && isCapital(line[k - 1]) && isCapital(line[k + 1])) {
                    line[k] = line[k] == '0' ? 'O' : 'I';
                }
            }
        }
        begin = end == begin ? end + 1 : end;
    }
}

void repairPostcodes(std::string& line) {
    for (std::size_t end = 0; end <= line.size(); ++end) {
        if (end < line.size() && line[end] != ',') {
            continue;
        }
        // The inward code: three characters before `end`, after a space.
        if (end < 5 || line[end - 4] != ' ') {
            continue;
        }
        const std::size_t inward = end - 3;
        std::size_t outward = inward - 1;
        while (outward > 0 && line[outward - 1] != ' ') {
            --outward;
        }
        std::size_t town = outward > 1 ? outward - 1 : 0;
        while (town > 0 && line[town - 1] != ' ') {
            --town;
        }
        const bool afterTown = outward > 1 && (isCapital(line[town]) || line[outward - 2] == ',');
        std::string area = line.substr(outward, inward - 1 - outward);
        std::string unit = line.substr(inward, 3);
        if (area.size() == 4 && isDigit(area[1]) && isDigit(area[2])) {
            area[1] = letterFor(area[1]);
        }
        unit[0] = digitFor(unit[0]);
        const bool postcode = afterTown && isOutwardCode(area) && isDigit(unit[0]) &&
                              isUnitLetter(unit[1]) && isUnitLetter(unit[2]);
        if (postcode) {
            line.replace(outward, area.size(), area);
            line.replace(inward, 3, unit);
        }
    }
}

// A space lost between a place's word and its number: "Lab3" is "Lab 3", "Room12" "Room 12". Only
// a capitalised word for a place takes one ("MP3", "base64" stay).
void splitPlaceNumbers(std::string& line) {
    constexpr std::size_t kMostDigits = 3;
    for (std::size_t begin = 0; begin < line.size(); ++begin) {
        if (!isCapital(line[begin]) || (begin > 0 && line[begin - 1] != ' ')) {
            continue;
        }
        std::size_t digits = begin + 1;
        while (digits < line.size() && line[digits] >= 'a' && line[digits] <= 'z') {
            ++digits;
        }
        std::size_t end = digits;
        while (end < line.size() && isDigit(line[end])) {
            ++end;
        }
        const bool wordEnds = end == line.size() || !isAsciiLetter(line[end]);
        if (digits == end || end - digits > kMostDigits || !wordEnds) {
            continue;
        }
        std::string key = line.substr(begin, digits - begin);
        key[0] = static_cast<char>(key[0] - 'A' + 'a');
        if (Vocabulary::isVenueWord(key)) {
            line.insert(digits, 1, ' ');
        }
    }
}

} // namespace

std::string withoutStrayGlyphs(std::string_view line) {
    return Cleaner(line).run();
}

std::string withDigitsForLookalikes(std::string line) {
    const auto isOne = [](char c) { return c == 'l' || c == 'I' || c == 'L'; };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const std::string_view before = std::string_view(line).substr(0, i);
        const bool starts = before.empty() || before.ends_with(' ') || before.ends_with('\t') ||
                            before.ends_with('(') || before.ends_with('-') ||
                            before.ends_with("\u2013") || before.ends_with("\u2014");
        if (!starts || !(isDigit(line[i]) || isOne(line[i]) || line[i] == 'S')) {
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != ',' &&
               line[end] != ')') {
            ++end;
        }
        std::string_view piece = std::string_view(line).substr(i, end - i);
        while (!piece.empty() && piece.back() == '.') {
            piece.remove_suffix(1);
        }
        // The number: digits and their lookalikes ("1lam", "l0:3O"), with ":" or "." inside.
        std::size_t k = 0;
        bool digit = false;
        while (k < piece.size()) {
            const char c = piece[k];
            const bool inside = (c == ':' || c == '.') && k > 0 && k + 1 < piece.size() &&
                                (isDigit(piece[k + 1]) || isOne(piece[k + 1]));
            if (!(isDigit(c) || isOne(c) || (c == 'O' && k > 0) || inside)) {
                break;
            }
            digit = digit || isDigit(c);
            ++k;
        }
        // The ending: letters up to the piece's end or a dash ("llam-llpm").
        std::size_t stop = k;
        while (stop < piece.size() && ((piece[stop] >= 'a' && piece[stop] <= 'z') ||
                                       (piece[stop] >= 'A' && piece[stop] <= 'Z'))) {
            ++stop;
        }
        const std::string_view number = piece.substr(0, k);
        const std::string_view ending = piece.substr(k, stop - k);
        if (stop < piece.size() && piece[stop] != '-' &&
            !piece.substr(stop).starts_with("\u2013") &&
            !piece.substr(stop).starts_with("\u2014")) {
            continue;
        }
        const bool clock = ending == "am" || ending == "pm";
        bool fix = false;
        if (line[i] == 'S') {
            fix = k == 0 && ending == "Spm"; // "Sam" is a name
        } else if (clock) {
            fix = number != "L"; // "Lam" is a name
        } else if (ending == "h") {
            fix = digit || number == "l";
        } else if (number == "l") {
            fix = ending == "st" || ending == "er" || ending == "re";
        } else if (ending.empty() || ending == "th") {
            // "l0:30", "2O26"; "I5" is a road and "II" a numeral.
            fix = digit && line[i] != 'I' && line[i] != 'L';
        }
        if (!fix) {
            continue;
        }
        for (std::size_t n = i; n < i + std::max<std::size_t>(k, 1); ++n) {
            char& c = line[n];
            c = isOne(c) ? '1' : c == 'O' ? '0' : c == 'S' ? '5' : c;
        }
        i += stop;
    }
    return line;
}

std::string withLettersRepaired(std::string line) {
    // Zeros in a link's host; its path may hold capitals of its own ("?pwd=Rk9O").
    for (const std::string_view scheme : {"http://", "https://", "www."}) {
        for (std::size_t at = line.find(scheme); at != std::string::npos;
             at = line.find(scheme, at + 1)) {
            for (std::size_t k = at + scheme.size();
                 k < line.size() && line[k] != ' ' && line[k] != '\t' && line[k] != '/'; ++k) {
                if (line[k] == 'O' &&
                    (isDigit(line[k - 1]) || (k + 1 < line.size() && isDigit(line[k + 1])))) {
                    line[k] = '0';
                }
            }
        }
    }
    // A dash read twice ("code —- Room 2", "Lunch -- Hall") is one dash.
    for (const std::string_view doubled : {"\u2014-", "\u2013-", "-\u2014", "-\u2013", "--"}) {
        for (std::size_t at = line.find(doubled); at != std::string::npos;
             at = line.find(doubled, at + 1)) {
            const bool spacedBefore = at > 0 && line[at - 1] == ' ';
            const std::size_t after = at + doubled.size();
            if (spacedBefore && after < line.size() && line[after] == ' ') {
                line.replace(at, doubled.size(), "\u2013");
            }
        }
    }
    // "Tierney' s Lounge": a possessive's "s" set apart from its apostrophe.
    for (std::size_t at = line.find("' s"); at != std::string::npos; at = line.find("' s", at)) {
        const std::size_t after = at + 3;
        if (at > 0 && isAsciiLetter(line[at - 1]) &&
            (after >= line.size() || !isAsciiLetter(line[after]))) {
            line.erase(at + 1, 1);
        } else {
            ++at;
        }
    }
    weekdaysJoined(line);
    repairPostcodes(line);
    splitPlaceNumbers(line);
    capitalIsForSmallL(line);
    smallLForCapitalI(line);
    capitalsForZeroAndOne(line);
    lettersOfMonthsAndClocks(line);
    // "straBe", "StraRe", "strae" at a word's end.
    for (std::size_t at = 0; (at = line.find("tra", at)) != std::string::npos; at += 3) {
        const std::size_t rest = at + 3;
        std::size_t length = 0;
        if (line.compare(rest, 2, "Be") == 0 || line.compare(rest, 2, "Re") == 0) {
            length = 2;
        } else if (line.compare(rest, 1, "e") == 0) {
            length = 1;
        }
        const bool wordEnds = rest + length >= line.size() || !isAsciiLetter(line[rest + length]);
        if (length > 0 && wordEnds && at > 0 && (line[at - 1] == 's' || line[at - 1] == 'S')) {
            line.replace(rest, length, "\u00DFe");
        }
    }
    return line;
}

std::string withArrowsForLookalikes(std::string line) {
    constexpr std::array<std::string_view, 5> kReadArrows = {"=", ">", "->", "=>", "-->"};
    const auto hasAlnum = [](std::string_view piece) {
        return std::any_of(piece.begin(), piece.end(),
                           [](char c) { return isDigit(c) || isAsciiLetter(c); });
    };
    std::vector<Piece> pieces;
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        const std::size_t begin = i;
        while (i < line.size() && line[i] != ' ') {
            ++i;
        }
        pieces.push_back(Piece{begin, i});
    }
    const auto text = [&line](const Piece& p) {
        return std::string_view(line).substr(p.begin, p.end - p.begin);
    };
    // From the last piece back, so that the places of the earlier ones hold.
    for (std::size_t k = pieces.size() >= 2 ? pieces.size() - 2 : 0; k >= 1; --k) {
        const bool arrow =
            std::find(kReadArrows.begin(), kReadArrows.end(), text(pieces[k])) != kReadArrows.end();
        if (arrow && hasAlnum(text(pieces[k - 1])) && hasAlnum(text(pieces[k + 1]))) {
            line.replace(pieces[k].begin, pieces[k].end - pieces[k].begin, "\u2192");
        }
    }
    return line;
}

} // namespace plannery::reader
