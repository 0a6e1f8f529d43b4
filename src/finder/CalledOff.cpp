#include "finder/CalledOff.h"

#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"

#include <algorithm>

namespace plannery::reader {

namespace {

// "cancelled", "abgesagt", and the nouns for it ("cancellation", "Absage").
bool saysCancelled(const Token& t) {
    return (t.isWord() && Vocabulary::isCancelledWord(t.key)) ||
           isWordIn(&t, {"cancellation", "absage", "annulation"});
}

// "Subject: EVENT CANCELLED: The Marlow Sisters", "Status: Cancelled", "● CANCELLED   Refund
// credited" (`aboveDays`: no day stands above the line): the subject or the status of a message
// or a booking says it is called off.
bool statesCancellation(const Line& line, const LineFacts& facts, bool aboveDays) {
    const auto& tokens = line.tokens;
    const auto value = tokens.begin() + static_cast<std::ptrdiff_t>(facts.labelEnd);
    if (Vocabulary::isSubjectLabel(facts.label)) {
        return std::any_of(value, tokens.end(), [](const Token& t) { return saysCancelled(t); });
    }
    if (facts.label == "status" || facts.label == "booking status" || facts.label == "statut" ||
        facts.label == "buchungsstatus") {
        return value != tokens.end() && saysCancelled(*value);
    }
    // A booking's status set in capitals, as an app shows it above the days it speaks of.
    const auto first =
        std::find_if(tokens.begin(), tokens.end(), [](const Token& t) { return !t.isSymbol(); });
    if (!aboveDays || !facts.label.empty()) {
        return false;
    }
    if (first != tokens.end() && first->allCaps && first->isWord() &&
        Vocabulary::isCancelledWord(first->key)) {
        return true;
    }
    // ... or its heading there: "Booking cancelled", "Your reservation has been cancelled",
    // "Buchung storniert".
    constexpr std::size_t kLongestHeading = 5; // words
    const auto booking = [](const Token& t) {
        return Vocabulary::isGenericHeadingWord(t.key) ||
               isWordIn(&t, {"appointment", "termin", "rendez-vous"});
    };
    const auto cancelled = [](const Token& t) { return Vocabulary::isCancelledWord(t.key); };
    std::size_t words = 0;
    bool named = false;
    bool off = false;
    for (const Token& t : tokens) {
        if (!t.isWord()) {
            continue;
        }
        ++words;
        named = named || booking(t);
        off = off || cancelled(t);
        if (!booking(t) && !cancelled(t) &&
            !isWordIn(&t, {"your", "has", "been", "was", "is", "ihre", "ihr", "wurde", "ist",
                           "votre", "a", "ete"})) {
            return false;
        }
    }
    return named && off && words <= kLongestHeading;
}

} // namespace

// A message or a booking that says it is called off, and that gives it no other day, has nothing
// to enter.
bool callsItsEventOff(const TextFacts& text) {
    bool subjectCancels = false;
    bool dated = false; // a day stands above the line
    for (std::size_t li = 0; li < text.lines.size() && !subjectCancels; ++li) {
        subjectCancels = statesCancellation(text.lines[li], text.facts[li], !dated);
        dated = dated || !text.facts[li].dates.empty();
    }
    if (!subjectCancels) {
        return false;
    }
    // A new day said with its day ("rescheduled to Friday 20 March", "New date:" over it); "they
    // hope to reschedule later in the year" gives none.
    for (std::size_t li = 0; li < text.lines.size(); ++li) {
        const Line& line = text.lines[li];
        if (text.facts[li].dates.empty() &&
            (li + 1 == text.lines.size() || text.facts[li + 1].dates.empty())) {
            continue;
        }
        for (std::size_t k = 0; k < line.tokens.size(); ++k) {
            const Token& t = line.tokens[k];
            // "Changed your mind? Tables still available on Sat 6 Feb" offers, it moves nothing.
            const bool mind =
                isWordIn(line.at(k + 1), {"your", "my"}) && isWordIn(line.at(k + 2), {"mind"});
            if ((t.isWord() && Vocabulary::isMoveWord(t.key) && !mind) ||
                isWordIn(&t, {"rebooked", "instead", "stattdessen"}) ||
                (isWordIn(&t, {"new", "neuer", "neuen", "neue", "nouvelle", "nouveau"}) &&
                 isWordIn(line.at(k + 1), {"date", "time", "day", "appointment", "termin", "datum",
                                           "heure", "rendez-vous"}))) {
                return false;
            }
        }
    }
    return true;
}

void dropCalledOffDays(const TextFacts& text, std::vector<Candidate>& events) {
    // "Mi 14.10.2026" over "18:00 – 19:00 · Badminton Feld 3" and "STORNIERT am 03.10.2026": a
    // booking in a list whose status below it says it is called off.
    std::erase_if(events, [&text](const Candidate& c) {
        // "21-WIW-150  Klausur  Mi, 10.02.2027  12:00   S 2.114   ✖ abgemeldet (27.01.2027)": a
        // row whose last column, after its day, gives it that status.
        const auto& own = text.lines[c.line].tokens;
        const auto lastGap =
            std::find_if(own.rbegin(), own.rend(), [](const Token& t) { return t.isSymbol("|"); });
        if (lastGap != own.rend() && static_cast<std::size_t>(own.rend() - lastGap) > c.end) {
            const auto status = std::find_if(lastGap.base(), own.end(),
                                             [](const Token& t) { return !t.isSymbol(); });
            if (status != own.end() && status->isWord() &&
                Vocabulary::isCancelledWord(status->key)) {
                return true;
            }
        }
        // "09h00-11h00  TD Droit des obligations - Gr. 3 ANNULÉ (ens. absent)": a status in
        // capitals after the row's day or time.
        if (std::any_of(own.begin() + static_cast<std::ptrdiff_t>(std::min(c.end, own.size())),
                        own.end(), [](const Token& t) {
                            return t.isWord() && t.allCaps && Vocabulary::isCancelledWord(t.key);
                        })) {
            return true;
        }
        for (std::size_t li = c.line + 1; li < text.lines.size() && li <= c.line + kReach &&
                                          text.lines[li].block == text.lines[c.line].block;
             ++li) {
            const auto& tokens = text.lines[li].tokens;
            const auto status = [](const Token& t) {
                return t.isWord() && t.allCaps && Vocabulary::isCancelledWord(t.key);
            };
            const auto first = std::find_if(tokens.begin(), tokens.end(),
                                            [](const Token& t) { return !t.isSymbol(); });
            // ... or in any case on a short line of its own ("storniert", "Cancelled by you"),
            // not in a sentence about cancelling ("Cancelled classes are refunded in full").
            const auto words = std::count_if(tokens.begin(), tokens.end(),
                                             [](const Token& t) { return t.isWord(); });
            const bool statusLine = first != tokens.end() && first->isWord() &&
                                    Vocabulary::isCancelledWord(first->key) && words <= 3;
            if (first != tokens.end() && (status(*first) || statusLine)) {
                return true;
            }
            // Another booking's row; else "Cours 2 · ANNULÉ (froid extrême)" or "Platz 5 · Einzel
            // – storniert am 12.04. (Regen)", the status after the booking's name, with the day
            // it was called off after it.
            const auto cancelled = [&tokens, &status](std::size_t k) {
                const bool afterDash =
                    k > 0 && (tokens[k - 1].isDash() || tokens[k - 1].isSymbol("·"));
                return status(tokens[k]) || (afterDash && tokens[k].isWord() &&
                                             Vocabulary::isCancelledWord(tokens[k].key));
            };
            std::size_t k = 0;
            while (k < tokens.size() && !cancelled(k)) {
                ++k;
            }
            const auto& dates = text.facts[li].dates;
            if (!dates.empty() && dates.front().begin < k) {
                return false;
            }
            if (k < tokens.size()) {
                return true;
            }
        }
        return false;
    });
    // "jeden Dienstag im Mai" with "Am 18. Mai entfällt das Singen!": a day called off on one
    // line is no day of the events named on others; where a time is called off with it ("the
    // 1:00 pm sailing on July 31 has been cancelled"), only an event at that time goes.
    for (std::size_t li = 0; li < text.lines.size(); ++li) {
        const Line& line = text.lines[li];
        for (const DateMention& off : text.facts[li].dates) {
            if (!off.calledOff || off.last) {
                continue;
            }
            // The times of the sentence that calls the day off ("So it's SAT 22nd, 8pm. Friday is
            // OFF" calls off no time).
            std::size_t from = off.begin;
            while (from > 0 && !endsSentenceAt(line, from - 1)) {
                --from;
            }
            const std::size_t to = sentenceEnd(line, off.end);
            std::vector<ClockTime> times;
            for (const TimeMention& t : text.facts[li].times) {
                if (t.begin >= from && t.begin < to) {
                    times.push_back(t.start);
                }
            }
            std::erase_if(events, [&](const Candidate& c) {
                const bool atThatTime =
                    times.empty() ||
                    (c.start && std::find(times.begin(), times.end(), *c.start) != times.end());
                return c.line != li && !c.last && c.day == off.day && atThatTime;
            });
        }
    }
}

} // namespace plannery::reader
