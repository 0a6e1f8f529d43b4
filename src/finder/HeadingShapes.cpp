#include "finder/HeadingShapes.h"

#include "finder/FinderText.h"
#include "finder/ReaderVocabulary.h"
#include "finder/WordLists.h"
#include "model/CalEvent.h"

#include <algorithm>
#include <cstdlib>

namespace plannery::reader {

namespace {

// "Mr", "Dr", "Frau", "Mme": a title of address before a person's name.
bool isTitleOfAddress(const Token* t) {
    return isWordIn(t, {"mr", "mrs", "ms", "miss", "mx", "dr", "prof", "rev", "revd", "herr",
                        "frau", "m", "mme", "mlle", "me", "pr"});
}

bool isNumbered(const Line& line) {
    return line.tokens.size() >= 3 && line.tokens[0].isNumber() && line.tokens[0].value < 100 &&
           (line.tokens[1].isSymbol(".") || line.tokens[1].isSymbol(")")) &&
           !line.tokens[1].spaced && line.tokens[2].isWord();
}

// "presents", "präsentiert", "présente": who puts on a show says so.
bool saysPresents(const Token* t) {
    return isWordIn(
        t, {"presents", "present", "prasentiert", "prasentieren", "presente", "presentent"});
}

} // namespace

std::optional<std::string> turningAge(const Line& line) {
    for (std::size_t k = 1; k + 1 < line.tokens.size(); ++k) {
        std::size_t age = k + 1;
        if (line.tokens[k].isWord("is")) {
            if (!isWordIn(line.at(k + 1), {"turning"})) {
                continue;
            }
            age = k + 2;
        } else if (!isWordIn(&line.tokens[k], {"turns"})) {
            continue;
        }
        const Token& name = line.tokens[k - 1];
        const Token* number = line.at(age);
        if (!name.isWord() || !name.capital || number == nullptr || !number->isNumber() ||
            number->value < 1 || number->value > 120) {
            return std::nullopt;
        }
        const int n = number->value;
        const char* ending = (n % 100 >= 11 && n % 100 <= 13) ? "th"
                             : n % 10 == 1                    ? "st"
                             : n % 10 == 2                    ? "nd"
                             : n % 10 == 3                    ? "rd"
                                                              : "th";
        // "MASON IS TURNING 7!" names Mason.
        const std::string_view written = line.slice(name.begin, name.end);
        const std::string who =
            name.allCaps ? FinderText::capitalizeWords(written) : std::string(written);
        return who + "'s " + std::to_string(n) + ending + " birthday";
    }
    return std::nullopt;
}

std::optional<std::string> ordinalBirthday(const Line& line, std::size_t k) {
    const Token& whose = line.tokens[k];
    const Token* number = line.at(k + 1);
    const Token* ending = line.at(k + 2);
    const Token* after = line.at(k + 3);
    const bool possessive =
        whose.isWord() && whose.capital && whose.key.size() > 2 && whose.key.ends_with("'s");
    if (!possessive || !number || !number->isNumber() || number->value < 1 || number->value > 120 ||
        !isWordIn(ending, {"th", "st", "nd", "rd"}) || ending->spaced ||
        (after && after->isWord() && !Vocabulary::isClauseWord(after->key))) {
        return std::nullopt;
    }
    return std::string(line.span(k, k + 3)) + " birthday";
}

namespace {

// A person's name on a line of its own, after any title of address ("Mr Thomas Whitfield").
std::optional<std::string> personOnLine(const Line& line) {
    std::size_t k = 0;
    while (k < line.tokens.size() &&
           (isTitleOfAddress(&line.tokens[k]) || line.tokens[k].isSymbol("."))) {
        ++k;
    }
    const std::size_t words = line.tokens.size() - k;
    if (words == 0 || words > 4 ||
        !std::all_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(k), line.tokens.end(),
                     [](const Token& t) { return t.isWord() && t.capital; })) {
        return std::nullopt;
    }
    return trimWhiteSpace(line.span(k, line.tokens.size()));
}

} // namespace

std::optional<std::pair<std::string, std::string>> marriedCouple(const std::vector<Line>& lines,
                                                                 std::size_t li) {
    const Line& line = lines[li];
    const auto marriage = std::find_if(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
        return isWordIn(&t, {"marriage", "wedding", "mariage", "hochzeit"});
    });
    if (marriage == line.tokens.end()) {
        return std::nullopt;
    }
    // Only whose child marries may follow: "of their daughter", "de leur fils", "ihrer Tochter".
    for (auto t = marriage + 1; t != line.tokens.end(); ++t) {
        if (!isWordIn(&*t, {"of", "de", "von", "their", "leur", "ihrer", "ihres", "daughter", "son",
                            "fille", "fils", "tochter", "sohnes"})) {
            return std::nullopt;
        }
    }
    const auto inBlock = [&](std::size_t k) {
        return k < lines.size() && lines[k].block == line.block;
    };
    if (!inBlock(li + 3)) {
        return std::nullopt;
    }
    const Line& joiner = lines[li + 2];
    const bool joins =
        joiner.tokens.size() == 1 &&
        (joiner.tokens[0].isSymbol("&") ||
         isWordIn(&joiner.tokens[0], {"to", "and", "with", "et", "avec", "und", "mit"}));
    const auto one = personOnLine(lines[li + 1]);
    const auto other = personOnLine(lines[li + 3]);
    if (!joins || !one || !other) {
        return std::nullopt;
    }
    return std::pair{*one, *other};
}

std::optional<std::string> joinedName(const std::vector<Line>& lines, std::size_t li) {
    if (li + 2 >= lines.size()) {
        return std::nullopt;
    }
    const Line& joiner = lines[li + 1];
    const Line& second = lines[li + 2];
    const bool joins = joiner.tokens.size() == 1 &&
                       (joiner.tokens[0].isSymbol("&") || joiner.tokens[0].isSymbol("+") ||
                        isWordIn(&joiner.tokens[0], {"and", "und", "et"}));
    if (!joins || joiner.block != lines[li].block || second.block != joiner.block ||
        second.tokens.empty() ||
        !std::all_of(second.tokens.begin(), second.tokens.end(),
                     [](const Token& t) { return t.isWord() && t.capital; })) {
        return std::nullopt;
    }
    return trimWhiteSpace(second.text);
}

bool onlyAnnounces(const Line& line) {
    return !line.tokens.empty() && line.tokens.size() <= 3 &&
           std::all_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
               return !t.isWord() || Vocabulary::isGenericHeadingWord(t.key) ||
                      isWordIn(&t, {"einladung", "you're", "you", "are", "invited"});
           });
}

bool presentsBelow(const Line& line) {
    const auto last = std::find_if(line.tokens.rbegin(), line.tokens.rend(),
                                   [](const Token& t) { return !t.isSymbol(":"); });
    return last != line.tokens.rend() && line.tokens.size() >= 2 && saysPresents(&*last);
}

bool presentsFromAbove(const std::vector<Line>& lines, std::size_t li) {
    for (std::size_t k = li + 1; k < lines.size() && k <= li + 2; ++k) {
        const auto& tokens = lines[k].tokens;
        if (!tokens.empty() && tokens.size() <= 2 && saysPresents(&tokens.front())) {
            return true;
        }
    }
    return false;
}

bool isListItem(const std::vector<Line>& lines, std::size_t li) {
    return isNumbered(lines[li]) && ((li > 0 && isNumbered(lines[li - 1])) ||
                                     (li + 1 < lines.size() && isNumbered(lines[li + 1])));
}

bool opensNumberedSection(const std::vector<Line>& lines, std::size_t li) {
    if (!isNumbered(lines[li])) {
        return false;
    }
    const int number = lines[li].tokens[0].value;
    return std::any_of(lines.begin(), lines.end(), [number](const Line& other) {
        return isNumbered(other) && std::abs(other.tokens[0].value - number) == 1;
    });
}

bool isSalutation(const Line& line) {
    if (line.tokens.empty()) {
        return false;
    }
    const bool greets =
        line.tokens.front().isWord() && Vocabulary::isGreeting(line.tokens.front().key);
    const bool comma = line.tokens.back().isSymbol(",");
    // "Dear Parents and Carers of Year 6," may run longer than a greeting without its comma.
    return (line.tokens.size() <= 6 && (greets || comma)) ||
           (line.tokens.size() <= 12 && greets && comma);
}

std::size_t afterPersonsName(const Line& line) {
    if (line.tokens.empty() || !line.tokens[0].capital || !isTitleOfAddress(&line.tokens[0])) {
        return 0;
    }
    // The name's words and initials, each capitalised, up to four of them.
    std::size_t words = 0;
    for (std::size_t k = 1; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        if (t.isSymbol(".") && !t.spaced) {
            continue;
        }
        if (t.isWord() && t.capital && ++words <= 4) {
            continue;
        }
        const bool setOff = words > 0 && (t.isSymbol("-") || t.isSymbol("–") || t.isSymbol(","));
        return setOff && k + 1 < line.tokens.size() ? k + 1 : 0;
    }
    return 0;
}

bool namesRoleHolder(const Line& line, const LineFacts& facts) {
    const auto honorific = [&line](std::size_t k) {
        const Token* title = line.at(k);
        return title && title->capital && isTitleOfAddress(title);
    };
    if (!facts.label.empty()) {
        return !Vocabulary::isTitleLabel(facts.label) && honorific(facts.labelEnd);
    }
    // "Klasse 3b – Frau Yilmaz", "Year 4 · Mrs Patel": the role set off by a dash or a bar, the
    // person's name ending the line.
    const auto& tokens = line.tokens;
    for (std::size_t k = 1; k + 2 < tokens.size() && tokens.size() <= 8; ++k) {
        if ((tokens[k].isSymbol("-") || tokens[k].isSymbol("·")) && tokens[k].spaced &&
            honorific(k + 1)) {
            return tokens.size() - (k + 2) <= 3 &&
                   std::all_of(
                       tokens.begin() + static_cast<std::ptrdiff_t>(k + 2), tokens.end(),
                       [](const Token& t) { return (t.isWord() && t.capital) || t.isSymbol("."); });
        }
    }
    return false;
}

bool isLetterDate(const std::vector<Line>& lines, const std::vector<LineFacts>& facts,
                  std::size_t li) {
    const Line& line = lines[li];
    if (facts[li].dates.size() != 1 || !facts[li].times.empty()) {
        return false;
    }
    const DateMention& d = facts[li].dates.front();
    const std::size_t end = !line.tokens.empty() && line.tokens.back().isSymbol(".")
                                ? line.tokens.size() - 1
                                : line.tokens.size();
    if (d.end < end) {
        return false;
    }
    // After the town it was written in: letters are dated "Nantes, le 18 mai 2026" and "Köln,
    // den 3. März 2026", where "Florence, 27–30 May" may name where and when an event is; else
    // alone on its line.
    const bool town = line.tokens.size() > 2 && line.tokens[0].isWord() && line.tokens[0].capital &&
                      line.tokens[1].isSymbol(",");
    if (town && !d.last && d.begin <= 3 && isWordIn(line.at(2), {"le", "den", "am"})) {
        return true;
    }
    return (d.begin == 0 || (town && d.begin == 2)) && li + 1 < lines.size() &&
           isSalutation(lines[li + 1]) && facts[li + 1].dates.empty();
}

std::optional<std::string> nameBelow(const std::vector<Line>& lines, std::size_t li) {
    const Line& line = lines[li];
    if (li + 1 >= lines.size() || lines[li + 1].block != line.block ||
        !isWordIn(&line.tokens.back(), {"of", "for", "honoring", "honouring", "de", "fur"})) {
        return std::nullopt;
    }
    const Line& next = lines[li + 1];
    const bool name = !next.tokens.empty() && next.tokens.size() <= 4 &&
                      std::all_of(next.tokens.begin(), next.tokens.end(),
                                  [](const Token& t) { return t.isWord() && t.capital; });
    return name ? std::optional(trimWhiteSpace(next.text)) : std::nullopt;
}

bool isNameList(const Line& line) {
    std::size_t names = 0;
    std::size_t words = 0; // in the current name
    for (std::size_t k = 0; k <= line.tokens.size(); ++k) {
        const Token* t = line.at(k);
        const bool last = t && (isWordIn(t, {"and", "und", "et"}) || t->isSymbol("&"));
        if (t == nullptr || t->isSymbol(",") || last) {
            if (words == 0 || words > 2) {
                return false;
            }
            ++names;
            words = 0;
            continue;
        }
        if (!t->isWord() || !t->capital || Vocabulary::isEventNoun(t->key)) {
            return false;
        }
        ++words;
    }
    return names >= 3;
}

std::optional<std::string> sectionLabel(const Line& line) {
    std::string key;
    for (std::size_t k = 0; k < line.tokens.size() && k < 4; ++k) {
        const Token& t = line.tokens[k];
        if (t.isSymbol(":") && k + 1 == line.tokens.size()) {
            break;
        }
        if (!(t.isWord() || (t.isSymbol("-") && !t.spaced))) {
            return std::nullopt;
        }
        key += (k == 0 || !t.spaced ? "" : " ") + t.key;
    }
    if (line.tokens.size() > 4 ||
        !(Vocabulary::isStayLabel(key) || Vocabulary::isWhenOrWhereLabel(key))) {
        return std::nullopt;
    }
    return key;
}

bool isTabBar(const Line& line) {
    // "[ Reschedule ]   [ Cancel ]   [ Directions ]": an app's buttons, each in brackets.
    if (!line.tokens.empty() && line.tokens.front().isSymbol("[") &&
        line.tokens.back().isSymbol("]")) {
        int depth = 0;
        bool outside = false;
        for (const Token& t : line.tokens) {
            depth += t.isSymbol("[") ? 1 : t.isSymbol("]") ? -1 : 0;
            outside = outside || (depth == 0 && !t.isSymbol() && !t.isSymbol("]"));
        }
        if (!outside) {
            return true;
        }
    }
    std::size_t tabs = 0;
    std::size_t k = 0;
    while (k < line.tokens.size()) {
        std::size_t words = 0;
        while (k < line.tokens.size() && line.tokens[k].isWord()) {
            ++words;
            ++k;
        }
        // "Words (N)", then a bar, a gap or the line's end.
        if (words == 0 || k + 3 > line.tokens.size() || !line.tokens[k].isSymbol("(") ||
            !line.tokens[k + 1].isNumber() || !line.tokens[k + 2].isSymbol(")")) {
            return false;
        }
        ++tabs;
        k += 3;
        while (k < line.tokens.size() &&
               (line.tokens[k].isSymbol("|") || line.tokens[k].isSymbol("·"))) {
            ++k;
        }
    }
    return tabs >= 2;
}

// The heads of a fixture list's columns for its two sides.
constexpr std::string_view kSides[] = {
    "home", "away",   "visitor", "visitors", "opponent",  "opponents", "opposition", "heim",
    "gast", "gegner", "local",   "visiteur", "visiteurs", "receveur",  "adversaire", "domicile"};

bool isColumnHeads(const Line& line) {
    // Labels of one to three tokens ("Check-in", "Date and time"), with or without the gaps
    // between columns, which a recogniser may have read as single spaces.
    // A fixture list's head names its sides too: "Date Heure Visiteur Local Aréna".
    const auto isLabel = [](const std::string& key) {
        return Vocabulary::isWhenOrWhereLabel(key) || Vocabulary::isStayLabel(key) ||
               WordLists::contains(kSides, key);
    };
    const auto words = std::count_if(line.tokens.begin(), line.tokens.end(),
                                     [](const Token& t) { return t.isWord(); });
    std::ptrdiff_t labels = 0;
    std::ptrdiff_t labelWords = 0;
    for (std::size_t k = 0; k < line.tokens.size();) {
        std::size_t matched = 0;
        std::string key;
        for (std::size_t n = k; n < line.tokens.size() && n < k + 3; ++n) {
            const Token& t = line.tokens[n];
            if (t.isSymbol("|")) {
                break;
            }
            key += (n == k || !t.spaced ? "" : " ") + t.key;
            if (isLabel(key)) {
                matched = n + 1 - k;
            }
        }
        if (matched == 0) {
            ++k;
            continue;
        }
        ++labels;
        labelWords += std::count_if(line.tokens.begin() + static_cast<std::ptrdiff_t>(k),
                                    line.tokens.begin() + static_cast<std::ptrdiff_t>(k + matched),
                                    [](const Token& t) { return t.isWord(); });
        k += matched;
    }
    if (labels >= 2 && labelWords * 2 >= words) {
        return true;
    }
    // "Wk   Date   Topic", "Rd   Date   Time   Court   Opponent": three or more short cells set
    // apart by column gaps, one of them a day's or a time's.
    std::size_t cells = 0;
    bool when = false;
    for (std::size_t k = 0; k < line.tokens.size();) {
        std::size_t end = k;
        std::string key;
        std::size_t cellWords = 0;
        while (end < line.tokens.size() && !line.tokens[end].isSymbol("|")) {
            const Token& t = line.tokens[end];
            if (t.isNumber() || t.isLink()) {
                return false;
            }
            cellWords += t.isWord() ? 1 : 0;
            key += (end == k || !t.spaced ? "" : " ") + t.key;
            ++end;
        }
        if (cellWords == 0 || cellWords > 2) {
            return false;
        }
        when = when || isLabel(key);
        ++cells;
        k = end + 1;
    }
    return cells >= 3 && when;
}

SignOff signOff(const TextFacts& text) {
    SignOff out{.begin = text.lines.size(), .end = text.lines.size()};
    for (std::size_t li = 1; li < text.lines.size(); ++li) {
        const Line& line = text.lines[li];
        if (!line.tokens.empty() && line.tokens[0].isWord() &&
            Vocabulary::isClosing(line.tokens[0].key) && line.tokens.size() <= 4) {
            out.begin = li;
            break;
        }
    }
    // A letter that opens with a greeting ends with its sender, even without a closing word:
    // "Chers parents, ..." ends "La maîtresse", "Dear all, ..." ends "The PTA".
    const auto& all = text.lines;
    if (out.begin == all.size() && all.size() >= 3 && !all.front().tokens.empty() &&
        all.front().tokens.front().isWord() &&
        Vocabulary::isGreeting(all.front().tokens.front().key) &&
        all.back().block != all.front().block) {
        std::size_t first = all.size() - 1;
        while (first > 0 && all[first - 1].block == all.back().block) {
            --first;
        }
        const bool short_ = all.size() - first <= 2 &&
                            std::all_of(all.begin() + static_cast<std::ptrdiff_t>(first), all.end(),
                                        [](const Line& l) { return l.tokens.size() <= 4; });
        const bool undated =
            std::all_of(text.facts.begin() + static_cast<std::ptrdiff_t>(first), text.facts.end(),
                        [](const LineFacts& f) { return f.dates.empty() && f.times.empty(); });
        if (short_ && undated) {
            out.begin = first;
        }
    }
    // A mailing's footer, the block that says why it came and how to stop it ("You are receiving
    // this email because ...", "Unsubscribe · Privacy policy"), is the sender's too.
    for (std::size_t li = 1; li < out.begin; ++li) {
        const auto& tokens = text.lines[li].tokens;
        if (std::any_of(tokens.begin(), tokens.end(), [](const Token& t) {
                return isWordIn(&t, {"unsubscribe", "abmelden", "abbestellen", "desabonner",
                                     "desinscrire", "desinscription"});
            })) {
            std::size_t first = li;
            while (first > 0 && text.lines[first - 1].block == text.lines[li].block) {
                --first;
            }
            out.begin = first;
            break;
        }
    }
    // A note above a forwarded message signs off before the message's own header.
    for (std::size_t li = out.begin; li < text.lines.size(); ++li) {
        if (text.header[li]) {
            out.end = li;
            break;
        }
    }
    return out;
}

} // namespace plannery::reader
