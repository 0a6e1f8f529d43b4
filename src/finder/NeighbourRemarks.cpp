#include "finder/NeighbourRemarks.h"

#include "finder/DayRemarks.h"
#include "finder/DaySentences.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"
#include "finder/WordLists.h"

#include <algorithm>
#include <span>

namespace plannery::reader {

namespace {

// "-----Original Message-----", "-----Ursprüngliche Nachricht-----", "-------- Message d'origine
// --------": the line a mail program sets over the message a reply answers.
bool headsOriginalMessage(const Line& line) {
    const auto& tokens = line.tokens;
    if (tokens.empty() || !tokens.front().isSymbol("-") || !tokens.back().isSymbol("-")) {
        return false;
    }
    std::vector<const Token*> words;
    for (const Token& t : tokens) {
        if (t.isWord()) {
            words.push_back(&t);
        }
    }
    return words.size() == 2 &&
           ((isWordIn(words[0], {"original"}) && isWordIn(words[1], {"message"})) ||
            (isWordIn(words[0], {"ursprungliche"}) && isWordIn(words[1], {"nachricht"})) ||
            (isWordIn(words[0], {"message"}) && isWordIn(words[1], {"d'origine", "origine"})));
}

// "---------- Forwarded message ---------", "Begin forwarded message:", "-------- Weitergeleitete
// Nachricht --------", "-------- Message transféré --------": the line over a message passed on.
bool headsForwardedMessage(const Line& line) {
    std::vector<std::string_view> words;
    for (const Token& t : line.tokens) {
        if (t.isWord()) {
            words.emplace_back(t.key);
        }
    }
    const auto are = [&words](std::initializer_list<std::string_view> expected) {
        return std::equal(words.begin(), words.end(), expected.begin(), expected.end());
    };
    return are({"forwarded", "message"}) || are({"begin", "forwarded", "message"}) ||
           are({"weitergeleitete", "nachricht"}) || are({"message", "transfere"});
}

// The words of a line that holds only up to four of them ("Expected delivery"), as a label's key;
// empty for any other line.
std::string labelLine(const Line& line) {
    std::string key;
    if (line.tokens.size() > 4) {
        return key;
    }
    for (const Token& t : line.tokens) {
        if (!t.isWord()) {
            return {};
        }
        key += (key.empty() ? "" : " ") + t.key;
    }
    return key;
}

// "Subject: Fwd: …", "Objet : TR: …", "Betreff: WG: …": the message passes on the one below it,
// whose days are to be read, rather than answering it.
bool forwardsMessage(const TextFacts& text) {
    for (std::size_t li = 0; li < text.lines.size(); ++li) {
        const LineFacts& facts = text.facts[li];
        if (Vocabulary::isSubjectLabel(facts.label)) {
            const Line& line = text.lines[li];
            return isWordIn(line.at(facts.labelEnd), {"fwd", "fw", "tr", "wg"}) &&
                   line.at(facts.labelEnd + 1) != nullptr &&
                   line.tokens[facts.labelEnd + 1].isSymbol(":");
        }
    }
    return false;
}

// "WAITLIST (1)", "CANCELLED BY FACILITY (1)", "PAST": a heading in capitals of up to four
// words, perhaps with the count of what it lists; its key, or empty for any other line.
std::string capitalsHeading(const Line& line) {
    std::string key;
    std::size_t k = 0;
    for (; k < line.tokens.size() && line.tokens[k].isWord() && line.tokens[k].allCaps; ++k) {
        key += (key.empty() ? "" : " ") + line.tokens[k].key;
    }
    const bool count = k + 3 == line.tokens.size() && line.tokens[k].isSymbol("(") &&
                       line.tokens[k + 1].isNumber() && line.tokens[k + 2].isSymbol(")");
    return k > 0 && k <= 4 && (k == line.tokens.size() || count) ? key : std::string();
}

// "More at Riverbank Moonlight Cinema", "More events like this", "You might also like",
// "Weitere Veranstaltungen", "Vous aimerez aussi": a heading over other events to choose from.
bool suggestsOthers(const Line& line) {
    const Token* first = line.at(0);
    const Token* second = line.at(1);
    const Token* third = line.at(2);
    return line.tokens.size() <= 8 &&
           ((isWordIn(first, {"more"}) && isWordIn(second, {"at", "from", "events", "shows"})) ||
            (isWordIn(first, {"you"}) && isWordIn(second, {"may", "might"}) &&
             isWordIn(third, {"also"})) ||
            (isWordIn(first, {"similar", "related", "recommended"}) &&
             isWordIn(second, {"events", "shows"})) ||
            (isWordIn(first, {"weitere", "ahnliche"}) &&
             isWordIn(second, {"veranstaltungen", "termine", "vorstellungen"})) ||
            (isWordIn(first, {"vous"}) && isWordIn(second, {"aimerez"})) ||
            (isWordIn(first, {"autres"}) && isWordIn(second, {"evenements", "spectacles"})));
}

// "High   06:30   4.8 m": a reading at a time (a tide's height), not an event.
bool isReading(const Line& line, const LineFacts& facts) {
    if (facts.times.size() != 1 || !facts.dates.empty() || facts.times[0].begin > 2) {
        return false;
    }
    std::size_t k = facts.times[0].end;
    while (k < line.tokens.size() && line.tokens[k].isSymbol("|")) {
        ++k;
    }
    const Token* amount = line.at(k);
    if (amount == nullptr || !amount->isNumber()) {
        return false;
    }
    ++k;
    if (line.unspaced(k) && line.at(k)->isSymbol(".") && line.unspaced(k + 1) &&
        line.at(k + 1)->isNumber()) {
        k += 2;
    }
    return k + 1 == line.tokens.size() && isWordIn(line.at(k), {"m", "ft", "cm", "metres", "feet"});
}

} // namespace

void setAsideAnsweredMessage(TextFacts& text) {
    // A reply quotes the message it answers ("> Q1 review: Thursday 12 March"); the days there
    // are what the reply takes up or replaces, not further events.
    // So does a reply that sets the message it answers below "On Fri, Mar 19, 2027 at 3:12 PM
    // … wrote:", "Am 19.03.2027 schrieb …:", "Le 19 mars 2027, … a écrit :".
    // So does one that sets it below "-----Original Message-----", "-----Ursprüngliche
    // Nachricht-----", "-------- Message d'origine --------".
    std::size_t answered = text.lines.size();
    bool forwarded = false;
    for (std::size_t li = 0; li < text.lines.size() && answered == text.lines.size(); ++li) {
        const auto& tokens = text.lines[li].tokens;
        const bool wrote = tokens.size() >= 3 && tokens.back().isSymbol(":") &&
                           isWordIn(&tokens[tokens.size() - 2], {"wrote", "schrieb", "ecrit"}) &&
                           !text.facts[li].dates.empty();
        forwarded = headsForwardedMessage(text.lines[li]);
        // "From: Safety & Compliance <…>" over "Sent: Friday, 27 February 2026 4:02 PM" below
        // the note: the header of the message it passes on or answers.
        const bool header =
            li > 0 && text.lines[li].block != text.lines[0].block &&
            text.facts[li].label == "from" && li + 1 < text.lines.size() &&
            (text.facts[li + 1].label == "sent" || text.facts[li + 1].label == "date");
        if (wrote || forwarded || header || headsOriginalMessage(text.lines[li])) {
            answered = li;
        }
    }
    const auto quoted = [&text, &answered](std::size_t li) {
        const auto& tokens = text.lines[li].tokens;
        return li >= answered || (!tokens.empty() && tokens.front().isSymbol(">"));
    };
    const auto unquotedDays = [&text, &quoted] {
        for (std::size_t li = 0; li < text.lines.size(); ++li) {
            if (!quoted(li) && !text.facts[li].dates.empty() && !text.facts[li].datesAreNotEvents) {
                return true;
            }
        }
        return false;
    };
    // A note without days above the message it passes on ("Can you cover this one?") leaves
    // that message to be read, with what it quotes in turn; so does a note that forwards it,
    // unless it moves what the message tells of ("the training below has moved to Wednesday
    // 17/03").
    const auto movesIt = [&text, &answered] {
        for (std::size_t li = 0; li < answered; ++li) {
            const Line& line = text.lines[li];
            for (const DateMention& d : text.facts[li].dates) {
                if (movedTo(line, d.begin)) {
                    return true;
                }
            }
        }
        return false;
    };
    if (!unquotedDays() || ((forwarded || forwardsMessage(text)) && !movesIt())) {
        answered = text.lines.size();
    }
    const bool setAside = unquotedDays();
    for (std::size_t li = 0; li < text.lines.size() && setAside; ++li) {
        text.facts[li].datesAreNotEvents = text.facts[li].datesAreNotEvents || quoted(li);
    }
}

void setAsideUnderHeadings(TextFacts& text) {
    // "Sat 12 Dec" over "Low  00:21  1.0 m" and "High  06:30  4.8 m": a day's readings, a tide
    // table's, tell when things happen, not what to attend.
    for (std::size_t li = 0; li + 2 < text.lines.size(); ++li) {
        std::size_t readings = 0;
        while (li + 1 + readings < text.lines.size() &&
               isReading(text.lines[li + 1 + readings], text.facts[li + 1 + readings])) {
            ++readings;
        }
        if (readings >= 2 && !text.facts[li].dates.empty()) {
            text.facts[li].datesAreNotEvents = true;
        }
        for (std::size_t k = li + 1; readings >= 2 && k <= li + readings; ++k) {
            text.facts[k].times.clear();
            text.facts[k].zones.clear();
        }
    }
    // "Expected delivery" over "Tue 15 Dec, 10:15 – 12:15": a label on a line of its own holds
    // for the line below it. "OPENING HOURS" over "Summer hours (from Sunday 28 March 2027):
    // 08:00 – 18:00 daily": so does a heading of the sender's hours, or of what a warranty
    // covers ("WARRANTY COVERAGE" over "Compressor: 17/08/2027 to 16/08/2037"), for its block.
    for (std::size_t li = 1; li < text.lines.size(); ++li) {
        if (text.lines[li].block == text.lines[li - 1].block &&
            Vocabulary::isRecordLabel(labelLine(text.lines[li - 1]))) {
            text.facts[li].datesAreNotEvents = true;
        }
    }
    for (std::size_t li = 0; li < text.lines.size(); ++li) {
        if (const std::string heading = labelLine(text.lines[li]);
            !namesOpeningHours(heading) && !Vocabulary::namesCover(heading)) {
            continue;
        }
        for (std::size_t k = li + 1;
             k < text.lines.size() && text.lines[k].block == text.lines[li].block; ++k) {
            text.facts[k].datesAreNotEvents = true;
        }
    }
    // "More at Riverbank Moonlight Cinema", "You might also like", "Weitere Veranstaltungen": an
    // app's or a mailing's suggestions of other events, for its block.
    for (std::size_t li = 0; li + 1 < text.lines.size(); ++li) {
        if (!suggestsOthers(text.lines[li])) {
            continue;
        }
        for (std::size_t k = li + 1;
             k < text.lines.size() && text.lines[k].block == text.lines[li].block; ++k) {
            text.facts[k].datesAreNotEvents = true;
        }
    }
    // An app's list of bookings under "WAITLIST (1)", "CANCELLED BY FACILITY (1)" or "PAST": no
    // day to attend, up to the next heading in capitals.
    bool aside = false;
    for (std::size_t li = 0; li < text.lines.size(); ++li) {
        if (const std::string heading = capitalsHeading(text.lines[li]); !heading.empty()) {
            const auto says = [&heading](std::initializer_list<std::string_view> words) {
                return std::any_of(words.begin(), words.end(), [&heading](std::string_view w) {
                    return WordLists::holdsWholeWord(heading, w);
                });
            };
            aside = says({"waitlist", "waiting", "warteliste", "attente", "past", "vergangen",
                          "vergangene", "passes"}) ||
                    std::any_of(text.lines[li].tokens.begin(), text.lines[li].tokens.end(),
                                [](const Token& t) {
                                    return t.isWord() && Vocabulary::isCancelledWord(t.key);
                                });
            continue;
        }
        text.facts[li].datesAreNotEvents = text.facts[li].datesAreNotEvents || aside;
    }
}

namespace {

// "Networking Dinner (Wed 10 Mar, 18:30, Skyline Terrace) is" over "not included in your Standard
// Pass.": the sentence of the line's last day, perhaps on over the next line, says it is no part
// of what the reader booked.
bool leftOutOfBooking(const TextFacts& text, std::size_t li) {
    const auto& dates = text.facts[li].dates;
    if (dates.empty()) {
        return false;
    }
    std::vector<const Token*> words;
    const Line& line = text.lines[li];
    bool ended = false;
    for (std::size_t k = dates.back().end; k < line.tokens.size() && !ended; ++k) {
        ended = endsSentenceAt(line, k);
        words.push_back(&line.tokens[k]);
    }
    if (!ended && li + 1 < text.lines.size() && text.lines[li + 1].block == line.block) {
        const Line& next = text.lines[li + 1];
        for (std::size_t k = 0; k < next.tokens.size() && !endsSentenceAt(next, k); ++k) {
            words.push_back(&next.tokens[k]);
        }
    }
    for (std::size_t k = 0; k + 1 < words.size(); ++k) {
        if (isWordIn(words[k], {"not", "nicht", "pas", "non"}) &&
            (isWordIn(words[k + 1], {"included", "inbegriffen", "enthalten", "inclus", "inclue",
                                     "compris", "comprise"}) ||
             (isWordIn(words[k + 1], {"part"}) && k + 2 < words.size() &&
              isWordIn(words[k + 2], {"of"})))) {
            return true;
        }
    }
    return false;
}

// The words of the line above line `li`, up to a colon that ends it, when the line opens with its
// first day and goes on from it in the same block; none otherwise.
std::span<const Token> endingAbove(const TextFacts& text, std::size_t li) {
    const auto& dates = text.facts[li].dates;
    const Line& line = text.lines[li];
    if (li == 0 || dates.empty() || dates.front().begin != line.pastSymbols(0) ||
        text.lines[li - 1].block != line.block) {
        return {};
    }
    std::span<const Token> above = text.lines[li - 1].tokens;
    if (!above.empty() && above.back().isSymbol(":")) {
        above = above.first(above.size() - 1);
    }
    return above;
}

// "Postponement day" over "Fri 5 Mar", "Ausweichtermin:" over "Montag, 16. März": a day kept in
// reserve, named at the end of the line above the one it opens.
bool keptInReserveAbove(const TextFacts& text, std::size_t li) {
    const auto above = endingAbove(text, li);
    const std::size_t end = above.size();
    return (end >= 1 && isWordIn(&above[end - 1], {"ersatztermin", "ausweichtermin"})) ||
           (end >= 2 && isWordIn(&above[end - 1], {"date", "day"}) &&
            isWordIn(&above[end - 2], {"rain", "backup", "postponement"}));
}

// "melden Sie sich bitte bis spätestens" over "Freitag, 14. Jänner, …", "adressées … jusqu'au"
// over "20 mars 2028 à 12h": the last day to do something, its words at the end of the line
// above.
bool deadlineAbove(const TextFacts& text, std::size_t li) {
    const auto above = endingAbove(text, li);
    return !above.empty() && isWordIn(&above.back(), {"spatestens", "jusqu'au", "jusqu'a"});
}

} // namespace

void readNeighbourRemarks(TextFacts& text) {
    for (std::size_t li = 0; li < text.lines.size(); ++li) {
        if (leftOutOfBooking(text, li) || keptInReserveAbove(text, li) || deadlineAbove(text, li)) {
            text.facts[li].datesAreNotEvents = true;
        }
    }
    // "ANCIEN RENDEZ-VOUS (annulé)" over "mardi 17 novembre 2026, entre 8 h et 12 h": a heading
    // that calls off the day below it, not a sentence ("… hat kurzfristig abgesagt.") nor a
    // chat's message.
    for (std::size_t li = 1; li < text.lines.size(); ++li) {
        const Line& above = text.lines[li - 1];
        const bool calledOff =
            above.tokens.size() <= 8 && !above.tokens.back().isSymbol(".") &&
            text.facts[li - 1].dates.empty() && !text.facts[li - 1].speaker &&
            !text.facts[li].speaker &&
            std::any_of(above.tokens.begin(), above.tokens.end(), [](const Token& t) {
                return t.isWord() && Vocabulary::isCancelledWord(t.key);
            });
        if (calledOff && text.lines[li].block == above.block) {
            text.facts[li].datesAreNotEvents = true;
        }
        // A calendar's day with nothing on it: "Thursday, 19 February" over "No events", "WED
        // 10" over "Nothing planned. Tap to create." (the app's hint after it); a league's round
        // over "No games – King's Birthday long weekend".
        const auto& words = text.lines[li].tokens;
        const auto stop = std::find_if(words.begin(), words.end(), [](const Token& t) {
            return t.isSymbol(".") || t.isDash();
        });
        const bool nothing =
            !words.empty() && stop - words.begin() <= 3 &&
            ((isWordIn(&words[0], {"no"}) &&
              isWordIn(text.lines[li].at(1),
                       {"events", "plans", "games", "game", "matches", "match", "practice",
                        "training", "lessons", "lesson", "classes", "class"})) ||
             (isWordIn(&words[0], {"nothing"}) &&
              isWordIn(text.lines[li].at(1), {"planned", "scheduled"})) ||
             (isWordIn(&words[0], {"keine"}) &&
              isWordIn(text.lines[li].at(1), {"termine", "ereignisse"})) ||
             (isWordIn(&words[0], {"aucun"}) && isWordIn(text.lines[li].at(1), {"evenement"})));
        if (nothing && text.lines[li].block == above.block) {
            text.facts[li - 1].datesAreNotEvents = true;
        }
        // A table read one cell to a line: "Sat 1 Aug" over "BYE".
        if (givesBye(text.lines[li]) && text.facts[li].dates.empty() &&
            text.lines[li].block == above.block) {
            text.facts[li - 1].datesAreNotEvents = true;
        }
        // "Pre-registration required by" over "Fri. April 16 at lenapetwp.org/": a poster's
        // sentence broken before its day, which is the day to act by.
        const auto& below = text.facts[li].dates;
        if (!below.empty() && below[0].begin <= 1 && text.lines[li].block == above.block &&
            isWordIn(&above.tokens.back(), {"by", "before", "avant", "deadline"})) {
            text.facts[li].dates[0].deadline = true;
        }
        // "… reply to this email no later" over "than 5:00 PM CT on Tuesday, 6/8.": the days of
        // the sentence that goes on there are the latest to act by.
        if (!below.empty() && text.lines[li].block == above.block &&
            isWordIn(&text.lines[li].tokens.front(), {"than"}) &&
            isWordIn(&above.tokens.back(), {"later"})) {
            const std::size_t end = sentenceEnd(text.lines[li], 0);
            for (DateMention& d : text.facts[li].dates) {
                d.deadline = d.deadline || d.begin < end;
            }
        }
        // "Am 18. Mai (Pfingstdienstag)" over "entfällt das Singen!": a sentence that runs on in
        // lower case into the next line calls off its last day there.
        const auto& days = text.facts[li - 1].dates;
        const Token& first = text.lines[li].tokens.front();
        if (!days.empty() && text.lines[li].block == above.block && first.isWord() &&
            !first.capital &&
            !(above.tokens.back().isSymbol(".") || above.tokens.back().isSymbol("!") ||
              above.tokens.back().isSymbol("?")) &&
            calledOffAfter(text.lines[li], 0, 0)) {
            text.facts[li - 1].dates.back().deadline = true;
            text.facts[li - 1].dates.back().calledOff = true;
        }
    }
}

} // namespace plannery::reader
