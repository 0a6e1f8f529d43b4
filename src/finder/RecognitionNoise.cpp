#include "finder/RecognitionNoise.h"

#include "finder/FinderText.h"
#include "finder/ReaderVocabulary.h"
#include "finder/RecognitionGaps.h"
#include "model/Ascii.h"

#include <algorithm>
#include <array>
#include <vector>

namespace plannery::reader {

namespace {

bool isCapital(char c) {
    return c >= 'A' && c <= 'Z';
}

bool isCapitalOrDigit(char c) {
    return isCapital(c) || isAsciiDigit(c);
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
        !isAsciiDigit(code[letters])) {
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

// "Satur day 16th January", "WEDNES DAY 3 MARCH", "Vendred i 12 mars": a weekday's name split
// in two, as a recogniser splits a word set in wide letters, before the day of the month it names.
void weekdaysJoined(std::string& line) {
    constexpr std::string_view kWeekdays[] = {
        "monday", "tuesday",  "wednesday", "thursday",   "friday",   "saturday", "sunday",
        "lundi",  "mardi",    "mercredi",  "jeudi",      "vendredi", "samedi",   "dimanche",
        "montag", "dienstag", "mittwoch",  "donnerstag", "freitag",  "samstag",  "sonntag"};
    const auto lower = [](std::string word) {
        std::transform(word.begin(), word.end(), word.begin(),
                       [](char c) { return static_cast<char>(std::tolower(c)); });
        return word;
    };
    for (std::size_t at = 1; at + 1 < line.size(); ++at) {
        if (line[at] != ' ' || !isAsciiLetter(line[at - 1]) || !isAsciiLetter(line[at + 1])) {
            continue;
        }
        std::size_t back = at + 1;
        while (back < line.size() && isAsciiLetter(line[back])) {
            ++back;
        }
        if (back + 1 >= line.size() || line[back] != ' ' || !isAsciiDigit(line[back + 1])) {
            continue; // no day after it
        }
        std::size_t front = at;
        while (front > 0 && isAsciiLetter(line[front - 1])) {
            --front;
        }
        const std::string word =
            lower(line.substr(front, at - front) + line.substr(at + 1, back - at - 1));
        if (std::find(std::begin(kWeekdays), std::end(kWeekdays), word) != std::end(kWeekdays)) {
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
// is spelled as, or "rn" for an "m" ("Decernber"); and "9-12 Ubr", the "h" of the German clock's
// word read as a "b" after a number.
void lettersOfMonthsAndClocks(std::string& line) {
    constexpr std::array<std::pair<std::string_view, std::string_view>, 10> kMisread = {{
        {"Junl", "Juni"},
        {"Jull", "Juli"},
        {"Aprll", "April"},
        {"Avrll", "Avril"},
        {"Decernber", "December"},
        {"Novernber", "November"},
        {"Septernber", "September"},
        {"Dezernber", "Dezember"},
        {"novernbre", "novembre"},
        {"septernbre", "septembre"},
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
        if (word == "Ubr" && before > 0 && isAsciiDigit(line[before - 1])) {
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
        while (end < line.size() && (isAsciiLetter(line[end]) || isAsciiDigit(line[end]))) {
            letters += isAsciiLetter(line[end]) ? 1 : 0;
            otherDigit = otherDigit || (isAsciiDigit(line[end]) && !lookalike(line[end]));
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

// "Studi0 2", "Cycle R00m", "0cean Pearl": a zero among the small letters of a word, which holds
// no other digit, is the "o" the recogniser read as one ("O" where it opens the word). Clocks
// ("10.00am", "7:00pm") and amounts stay.
void smallLettersForZero(std::string& line) {
    constexpr std::size_t kShortestWord = 3;
    const auto small = [](char c) { return c >= 'a' && c <= 'z'; };
    for (std::size_t begin = 0; begin < line.size();) {
        std::size_t end = begin;
        std::size_t smallLetters = 0;
        std::size_t letters = 0;
        bool otherDigit = false;
        while (end < line.size() && (isAsciiLetter(line[end]) || isAsciiDigit(line[end]))) {
            smallLetters += small(line[end]) ? 1 : 0;
            letters += isAsciiLetter(line[end]) ? 1 : 0;
            otherDigit = otherDigit || (isAsciiDigit(line[end]) && line[end] != '0');
            ++end;
        }
        const char before = begin > 0 ? line[begin - 1] : ' ';
        const bool afterNumber = isAsciiDigit(before) || before == '.' || before == ':' ||
                                 before == ',' || before == '/' || isAsciiLetter(before);
        // A word opens with one zero before small letters only: "0cean", not "00am".
        const bool opens =
            line[begin] != '0' || (begin + 1 < end && small(line[begin + 1]) && smallLetters >= 3);
        if (end - begin >= kShortestWord && letters >= 2 && smallLetters >= 1 && !otherDigit &&
            !afterNumber && opens) {
            for (std::size_t k = begin; k < end; ++k) {
                if (line[k] == '0') {
                    line[k] = k == begin ? 'O' : 'o';
                }
            }
        }
        begin = end == begin ? end + 1 : end;
    }
}

// "Schedu1e", "Ca1culus", "un1ess", "Assemb1ée": a one between small letters, in a word that holds
// no other digit and stands on its own (not in a link or a code), is the "l" the recogniser read
// as one.
void smallLettersForOne(std::string& line) {
    const auto small = [](char c) { return c >= 'a' && c <= 'z'; };
    // The two bytes of a small accented letter ("é", "ü", "à") in UTF-8.
    const auto accented = [&line](std::size_t lead) {
        return FinderText::smallLetterAt(line, lead) == 2;
    };
    const auto letterAt = [&line, &accented](std::size_t k) {
        return isAsciiLetter(line[k]) || isAsciiDigit(line[k]) || accented(k) ||
               (k > 0 && accented(k - 1));
    };
    // The French article's apostrophe opens a word too: "l'Assemb1ée".
    const auto apart = [](char c) {
        return c == ' ' || c == '(' || c == ')' || c == ',' || c == '.' || c == ':' || c == ';' ||
               c == '!' || c == '?' || c == '"' || c == '\'';
    };
    for (std::size_t begin = 0; begin < line.size();) {
        std::size_t end = begin;
        std::size_t digits = 0;
        while (end < line.size() && letterAt(end)) {
            digits += isAsciiDigit(line[end]) && line[end] != '1' ? 1 : 0;
            ++end;
        }
        const bool alone =
            (begin == 0 || apart(line[begin - 1])) && (end == line.size() || apart(line[end]));
        if (alone && digits == 0) {
            for (std::size_t k = begin + 1; k + 1 < end; ++k) {
                if (line[k] == '1' && (small(line[k - 1]) || (k >= 2 && accented(k - 2))) &&
                    (small(line[k + 1]) || accented(k + 1))) {
                    line[k] = 'l';
                }
            }
        }
        begin = end == begin ? end + 1 : end;
    }
}

// A British postcode after its town, at the end of a line or before a comma, with its letters and
// digits in their places: "Manchester M3 SDF" is "M3 5DF" and "WINCHESTER S023 9JX" is "SO23
// 9JX" (an area starts with letters, a unit with a digit). Codes that are already well formed stay,
// and so do other words ("Meet at B2 SOS").
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
        if (area.size() == 4 && isAsciiDigit(area[1]) && isAsciiDigit(area[2])) {
            area[1] = letterFor(area[1]);
        }
        unit[0] = digitFor(unit[0]);
        const bool postcode = afterTown && isOutwardCode(area) && isAsciiDigit(unit[0]) &&
                              isUnitLetter(unit[1]) && isUnitLetter(unit[2]);
        if (postcode) {
            line.replace(outward, area.size(), area);
            line.replace(inward, 3, unit);
        }
    }
}

} // namespace

std::vector<Piece> blankSeparated(std::string_view line) {
    std::vector<Piece> pieces;
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        const std::size_t begin = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            ++i;
        }
        pieces.push_back(Piece{begin, i});
    }
    return pieces;
}

std::string withDigitsForLookalikes(std::string line) {
    frenchClocksSetApart(line);
    const auto isOne = [](char c) { return c == 'l' || c == 'I' || c == 'L'; };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const std::string_view before = std::string_view(line).substr(0, i);
        const bool starts = before.empty() || before.ends_with(' ') || before.ends_with('\t') ||
                            before.ends_with('(') || before.ends_with('-') ||
                            before.ends_with("\u2013") || before.ends_with("\u2014");
        if (!starts || !(isAsciiDigit(line[i]) || isOne(line[i]) || line[i] == 'S')) {
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
        // The number: digits and their lookalikes ("1lam", "l0:3O", "22/1O/2026"), with ":", "."
        // or "/" inside.
        std::size_t k = 0;
        bool digit = false;
        while (k < piece.size()) {
            const char c = piece[k];
            const bool inside = (c == ':' || c == '.' || c == '/') && k > 0 &&
                                k + 1 < piece.size() &&
                                (isAsciiDigit(piece[k + 1]) || isOne(piece[k + 1]));
            if (!(isAsciiDigit(c) || isOne(c) || (c == 'O' && k > 0) || inside)) {
                break;
            }
            digit = digit || isAsciiDigit(c);
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
        // "Toronto, ON M5A 1L4": a Canadian postcode's second half, a letter between digits.
        const auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
        const bool canadianPostcode =
            piece.size() == 3 && isAsciiDigit(piece[0]) && upper(piece[1]) &&
            isAsciiDigit(piece[2]) && before.size() >= 4 && before.ends_with(' ') &&
            upper(before[before.size() - 4]) && isAsciiDigit(before[before.size() - 3]) &&
            upper(before[before.size() - 2]);
        if (canadianPostcode) {
            continue;
        }
        bool fix = false;
        if (line[i] == 'S') {
            fix = k == 0 && ending == "Spm"; // "Sam" is a name
        } else if (clock) {
            fix = number != "L"; // "Lam" is a name
        } else if (ending == "h") {
            fix = digit || number == "l";
        } else if (number == "l") {
            // "lst", "ler"; and "Hallenplatz l (Granulat)", a lone "l" after a capitalised word,
            // which no language writes alone.
            const std::size_t last = before.find_last_not_of(' ');
            const std::size_t first =
                last == std::string_view::npos ? 0 : before.find_last_of(' ', last) + 1;
            const bool afterName =
                last != std::string_view::npos && last + 1 < before.size() &&
                upper(before[first]) && last > first &&
                std::all_of(before.begin() + static_cast<std::ptrdiff_t>(first),
                            before.begin() + static_cast<std::ptrdiff_t>(last + 1),
                            [](char c) { return isAsciiLetter(c); });
            fix = ending == "st" || ending == "er" || ending == "re" || (piece == "l" && afterName);
        } else if (ending.empty() || ending == "th") {
            // "l0:30", "2O26"; "I5" is a road and "II" a numeral. "lO" is no word but ten.
            const bool smallLAndO = number.size() >= 2 && number[0] == 'l' &&
                                    number.find('O') != std::string_view::npos &&
                                    number.find_first_not_of("lO") == std::string_view::npos;
            fix = (digit || smallLAndO) && line[i] != 'I' && line[i] != 'L';
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
                if (line[k] == 'O' && (isAsciiDigit(line[k - 1]) ||
                                       (k + 1 < line.size() && isAsciiDigit(line[k + 1])))) {
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
    splitJoinedVenues(line);
    splitRunTogetherColumns(line);
    capitalIsForSmallL(line);
    smallLForCapitalI(line);
    capitalsForZeroAndOne(line);
    smallLettersForZero(line);
    smallLettersForOne(line);
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
                           [](char c) { return isAsciiDigit(c) || isAsciiLetter(c); });
    };
    const std::vector<Piece> pieces = blankSeparated(line);
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
