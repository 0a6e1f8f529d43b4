#include "finder/LineJoining.h"

#include "finder/FinderText.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"

namespace plannery::reader {

namespace {

// Lines `li` to `li + count - 1` read as the one line they make, numbered as the first.
void joinLines(std::vector<Line>& lines, std::size_t li, std::size_t count) {
    std::string joined = lines[li].text;
    for (std::size_t k = 1; k < count; ++k) {
        joined += " ";
        joined += FinderText::trimSpaces(lines[li + k].text);
    }
    Line line = std::move(readLines(joined).front());
    line.index = lines[li].index;
    line.block = lines[li].block;
    lines[li] = std::move(line);
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(li + 1),
                lines.begin() + static_cast<std::ptrdiff_t>(li + count));
}

// "FRI" over "12" over "JUNE": a poster's day stacked a word a line, joined into the line of
// its first word so that it reads as one day.
// "Saturday 19 & Sunday 20" over "September": the month, perhaps with its year, set on a line of
// its own under the days it belongs to.
void joinMonthsBelowDays(std::vector<Line>& lines, const std::string& locale) {
    for (std::size_t li = 0; li + 1 < lines.size(); ++li) {
        const Line& next = lines[li + 1];
        const auto& tokens = lines[li].tokens;
        const bool monthAlone = next.block == lines[li].block && !next.tokens.empty() &&
                                next.tokens.size() <= 2 && next.tokens[0].isWord() &&
                                Words::month(next.tokens[0].key, locale) &&
                                (next.tokens.size() == 1 ||
                                 (next.tokens[1].isNumber() && next.tokens[1].key.size() == 4));
        const Token* last = tokens.empty() ? nullptr : &tokens.back();
        const bool endsInDay = last && last->isNumber() && last->value >= 1 && last->value <= 31 &&
                               last->key.size() <= 2 && tokens.size() >= 2;
        if (monthAlone && endsInDay) {
            joinLines(lines, li, 2);
        }
    }
}

void joinStackedDays(std::vector<Line>& lines, const std::string& locale) {
    for (std::size_t li = 0; li + 1 < lines.size(); ++li) {
        std::size_t count = 0;
        bool day = false;
        bool month = false;
        bool weekday = false;
        while (count < 3 && li + count < lines.size() && lines[li + count].tokens.size() == 1 &&
               lines[li + count].block == lines[li].block) {
            const Token& t = lines[li + count].tokens[0];
            if (t.isNumber() && !day && t.value >= 1 && t.value <= 31) {
                day = true;
            } else if (t.isWord() && !month && Words::month(t.key, locale)) {
                month = true;
            } else if (t.isWord() && !weekday && !day && !month && Words::weekday(t.key, locale)) {
                weekday = true;
            } else {
                break;
            }
            ++count;
        }
        if (!day || !month || count < 2) {
            continue;
        }
        joinLines(lines, li, count);
    }
}

// "from 9.00 a.m. to" over "12.30 p.m. in the classrooms": a text copied with hard line breaks
// splits a range or a day from the word that leads to it. A line that ends in such a word runs
// on into the next line of its block when that starts with a number.
bool leadsOn(const Line& line, const Line& next) {
    if (line.tokens.size() < 2 || next.block != line.block || !next.tokens[0].isNumber()) {
        return false;
    }
    const Token& last = line.tokens.back();
    // "11:00am – 11:30am" over "5 Noble Terrace": "am" after a clock is its half of the day, not
    // the German "on".
    const Token& beforeLast = line.tokens[line.tokens.size() - 2];
    if (last.isWord("am") && beforeLast.isNumber()) {
        return false;
    }
    // "Tue 12/15 1:30-" over "4:00 PM Weller Science Ctr": a range of clocks broken after its
    // dash.
    const std::size_t n = line.tokens.size();
    const bool clockBroken =
        last.isDash() && !last.spaced && n >= 4 && beforeLast.isNumber() &&
        (line.tokens[n - 3].isSymbol(":") || line.tokens[n - 3].isSymbol(".")) &&
        next.tokens.size() >= 3 && (next.tokens[1].isSymbol(":") || next.tokens[1].isSymbol("."));
    // "à" as written: folded, it is the English article too. A word in capitals is a name
    // ("All times are ET").
    return clockBroken ||
           (!last.capital &&
            isWordIn(&last, {"to", "till", "until", "from", "between", "and", "at", "on", "bis",
                             "von", "und", "um", "am", "ab", "au", "du", "et", "le", "des"})) ||
           line.slice(last.begin, last.end) == "à" || (last.spaced && last.isSymbol("-"));
}

void joinWrappedRanges(std::vector<Line>& lines) {
    for (std::size_t li = 0; li + 1 < lines.size(); ++li) {
        // The joined line may end in such a word again.
        while (li + 1 < lines.size() && leadsOn(lines[li], lines[li + 1])) {
            joinLines(lines, li, 2);
        }
    }
}

// "SOIRÉE" over "JAZZ" over "& SWING": a poster's name stacked a word or two a line, in
// capitals, is one name.
bool isStackedWord(const Line& line) {
    std::size_t words = 0;
    for (const Token& t : line.tokens) {
        // "SPRING FLOWER" over "SHOW 2026": the year the name ends with.
        const bool year =
            t.isNumber() && t.key.size() == 4 && &t == &line.tokens.back() && words > 0;
        if (t.isWord() && t.allCaps && !Vocabulary::isGenericHeadingWord(t.key)) {
            ++words;
        } else if (!t.isSymbol("&") && !t.isSymbol("-") && !t.isSymbol("'") && !year) {
            return false;
        }
    }
    return words >= 1 && words <= 2;
}

void joinStackedWords(std::vector<Line>& lines) {
    for (std::size_t li = 0; li + 1 < lines.size(); ++li) {
        std::size_t count = 0;
        while (li + count < lines.size() && lines[li + count].block == lines[li].block &&
               isStackedWord(lines[li + count])) {
            ++count;
        }
        if (count >= 2) {
            joinLines(lines, li, count);
        }
    }
}

// "- Practice group schedules are unchanged: Bronze M/W 5:00-6:00, Silver M/W/F" over "  5:00-6:30,
// Gold M-F 5:30-7:30 a.m.": a list's item wrapped onto a line set in to its text, which goes on
// with it rather than opening a row of its own.
void joinWrappedItems(std::vector<Line>& lines) {
    for (std::size_t li = 0; li + 1 < lines.size(); ++li) {
        const std::string& text = lines[li].text;
        const std::size_t bullet = text.find_first_not_of(' ');
        if (bullet == std::string::npos || bullet + 2 >= text.size() ||
            (text[bullet] != '-' && text[bullet] != '*') || text[bullet + 1] != ' ') {
            continue;
        }
        const std::size_t itemText = text.find_first_not_of(' ', bullet + 1);
        while (li + 1 < lines.size() && lines[li + 1].block == lines[li].block) {
            const std::string& next = lines[li + 1].text;
            const std::size_t indent = next.find_first_not_of(' ');
            if (indent != itemText || next[indent] == '-' || next[indent] == '*') {
                break;
            }
            joinLines(lines, li, 2);
        }
    }
}

} // namespace

void joinBrokenLines(std::vector<Line>& lines, const std::string& locale) {
    joinStackedDays(lines, locale);
    joinMonthsBelowDays(lines, locale);
    joinWrappedItems(lines);
    joinWrappedRanges(lines);
    joinStackedWords(lines);
}

} // namespace plannery::reader
