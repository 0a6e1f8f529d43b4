#include "finder/RecognitionGaps.h"

#include "finder/FinderText.h"
#include "finder/ReaderVocabulary.h"
#include "model/Ascii.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace plannery::reader {

namespace {

bool isCapital(char c) {
    return c >= 'A' && c <= 'Z';
}

} // namespace

// "Droit des obligationsAmphi Portalis", "Mme LefèvreSalle B214": a venue's word run onto the
// word before it, as a recogniser joins a table's columns, which get their gap back; a name's
// capital inside a word ("McDonald", "LaSalle") follows fewer small letters or starts no venue's
// word.
void splitJoinedVenues(std::string& line) {
    constexpr std::size_t kFewestSmall = 3;
    std::size_t small = 0;
    for (std::size_t k = 0; k < line.size(); ++k) {
        if (line[k] >= 'a' && line[k] <= 'z') {
            ++small;
            continue;
        }
        if (isCapital(line[k]) && small >= kFewestSmall) {
            std::size_t end = k + 1;
            while (end < line.size() && line[end] >= 'a' && line[end] <= 'z') {
                ++end;
            }
            std::string key = line.substr(k, end - k);
            key[0] = static_cast<char>(key[0] - 'A' + 'a');
            if (end > k + 1 && (end == line.size() || !isAsciiLetter(line[end])) &&
                Vocabulary::isVenueWord(key)) {
                line.insert(k, 2, ' ');
                k += 2;
            }
        }
        small = 0;
    }
}

// "sam. 16 janv.8 h 30Harfangs 2Castors de Rigaud 1Centre sportif", "glace 1REPORTÉ": a table's
// columns run together by a recogniser. The gap goes back, as two spaces, after an abbreviated
// month's stop before the day's number, and between a number that stands on its own and a word
// written on after it with a capital: three small letters after it ("Castors", "Aréna"), or four
// capitals ("REPORTÉ"). Codes ("4G", "2FA", "B3J") and units ("12Uhr") stay.
void splitRunTogetherColumns(std::string& line) {
    const auto capitalAt = [&line](std::size_t k) { return FinderText::capitalAt(line, k); };
    for (std::size_t k = 1; k + 2 < line.size(); ++k) {
        if (isAsciiDigit(line[k - 1]) && capitalAt(k) != 0) {
            std::size_t start = k - 1;
            while (start > 0 && isAsciiDigit(line[start - 1])) {
                --start;
            }
            if (start > 0 && line[start - 1] != ' ') {
                continue;
            }
            std::size_t end = k + capitalAt(k);
            std::size_t small = 0;
            std::size_t capitals = 1;
            // Small letters, "é" and "à" among them.
            while (FinderText::smallLetterAt(line, end) != 0) {
                end += FinderText::smallLetterAt(line, end);
                ++small;
            }
            while (small == 0 && end < line.size() && capitalAt(end) != 0) {
                ++capitals;
                end += capitalAt(end);
            }
            if (small >= 3 || capitals >= 4) {
                line.insert(k, 2, ' ');
                k += 2;
            }
            continue;
        }
        // "janv.8", "Dez.12": a month's stop, then its day.
        if (line[k] == '.' && isAsciiDigit(line[k + 1]) && isAsciiLetter(line[k - 1])) {
            std::size_t begin = k;
            while (begin > 0 && (isAsciiLetter(line[begin - 1]) ||
                                 (static_cast<unsigned char>(line[begin - 1]) & 0x80U) != 0)) {
                --begin;
            }
            std::string key = line.substr(begin, k - begin);
            std::transform(key.begin(), key.end(), key.begin(),
                           [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; });
            static constexpr std::string_view kShortMonths[] = {
                "jan",  "janv", "feb", "fev", "f\u00e9vr", "mar", "mrz",
                "apr",  "avr",  "jun", "jul", "juil",      "aug", "sep",
                "sept", "oct",  "okt", "nov", "dec",       "dez", "d\u00e9c"};
            if (std::find(std::begin(kShortMonths), std::end(kShortMonths), key) !=
                std::end(kShortMonths)) {
                line.insert(k + 1, 1, ' ');
                ++k;
            }
        }
    }
}

// "O8h00-10h00CM Droit", "13h30-15h3OCM Histoire", "l7hOO": a French clock read with an "O" for a
// zero, or an "l" for its hour's one, and run into the column after it, as a recogniser joins a
// timetable's columns. The clock gets its digits and a space after it; a clock needs a digit of
// its own ("Oh" stays).
void frenchClocksSetApart(std::string& line) {
    const auto digitLike = [](char c) { return isAsciiDigit(c) || c == 'O'; };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const bool starts = i == 0 || line[i - 1] == ' ' || line[i - 1] == '-' ||
                            line[i - 1] == '\t' || line[i - 1] == '(';
        const bool one = line[i] == 'l' && i + 1 < line.size() && digitLike(line[i + 1]);
        if (!starts || !(digitLike(line[i]) || one)) {
            continue;
        }
        std::size_t h = one ? i + 1 : i;
        while (h < line.size() && h < i + 2 && digitLike(line[h])) {
            ++h;
        }
        if (h == i || h + 2 >= line.size() || line[h] != 'h' || !digitLike(line[h + 1]) ||
            !digitLike(line[h + 2])) {
            continue;
        }
        const std::size_t end = h + 3;
        const bool digit = std::any_of(line.begin() + static_cast<std::ptrdiff_t>(i),
                                       line.begin() + static_cast<std::ptrdiff_t>(end),
                                       [](char c) { return isAsciiDigit(c); });
        if (!digit) {
            continue;
        }
        std::replace(line.begin() + static_cast<std::ptrdiff_t>(i),
                     line.begin() + static_cast<std::ptrdiff_t>(end), 'O', '0');
        line[i] = one ? '1' : line[i];
        if (end < line.size() && isAsciiLetter(line[end])) {
            line.insert(end, 1, ' ');
        }
        i = end;
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
        while (end < line.size() && isAsciiDigit(line[end])) {
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

} // namespace plannery::reader
