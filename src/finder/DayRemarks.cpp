#include "finder/DayRemarks.h"

#include "finder/DatePieces.h"
#include "finder/ReaderVocabulary.h"

#include <algorithm>

namespace plannery::reader {

namespace {

// Whether any word of the line is one of `words`.
bool hasWord(const Line& line, std::initializer_list<std::string_view> words) {
    return std::any_of(line.tokens.begin(), line.tokens.end(),
                       [&words](const Token& t) { return isWordIn(&t, words); });
}

bool isNegation(const Token& t) {
    return isWordIn(&t, {"no", "not", "kein", "keine", "pas", "aucun", "aucune"});
}

// Where the line's first word or number stands, past the marks of a list ("•", "–", "("); the
// line's length without one.
std::size_t firstWordAt(const Line& line) {
    std::size_t k = 0;
    while (k < line.tokens.size() && line.tokens[k].isSymbol()) {
        ++k;
    }
    return k;
}

// "No rehearsal on 12 March", "(no class on 5 May)", "– kein Training am Montag"; not an answer
// of a word or two ("No worries.", "No, sorry", "No problem!").
bool opensWithNegation(const Line& line) {
    const std::size_t k = firstWordAt(line);
    const Token* first = line.at(k);
    const auto setOff = [](const Token* t) {
        return t != nullptr && (t->isSymbol(".") || t->isSymbol(",") || t->isSymbol("!"));
    };
    // "Pas de classe du jeudi 14 mai au dimanche 17 mai", "No school on Friday": a school shut
    // is an event.
    const std::size_t noun = isWordIn(line.at(k + 1), {"de", "d'"}) ? k + 2 : k + 1;
    const bool school =
        isWordIn(line.at(noun), {"school", "ecole", "d'ecole", "classe", "schule", "unterricht"});
    return first && isNegation(*first) && !setOff(line.at(k + 1)) && !setOff(line.at(k + 2)) &&
           !school;
}

// "STORNIERT am 03.10.2026", "Cancelled: Friday's practice": a line that opens by calling off
// names no day to attend, whether the day is the one called off or the day it was.
bool opensWithCancellation(const Line& line) {
    const Token* first = line.at(firstWordAt(line));
    return first != nullptr && first->isWord() && Vocabulary::isCancelledWord(first->key);
}

// "Mon 10 Aug - Public holiday, NO practice", "no game on the 14th, it's a bye round": a line of
// one day that calls off a team's or a group's meeting on it, wherever it says so. A day of "no
// school" is an event.
bool callsOffMeeting(const Line& line, const std::vector<DateMention>& dates) {
    if (dates.size() != 1) {
        return false;
    }
    for (std::size_t k = 0; k + 1 < line.tokens.size(); ++k) {
        if (isNegation(line.tokens[k]) &&
            isWordIn(&line.tokens[k + 1], {"practice", "training", "rehearsal", "game", "match",
                                           "probe", "spiel", "entrainement", "repetition"})) {
            return true;
        }
    }
    return false;
}

// "WAS   Fri, 5 Mar 2027 · 19:30", "Previous date: 3 May", "Originally scheduled: Sat, May 2",
// "Alter Termin: 12.03.", "Ancien créneau : mardi 3 mars": the day a booking had before it was
// changed.
bool givesFormerDay(const Line& line) {
    const std::size_t k = firstWordAt(line);
    const Token* first = line.at(k);
    if (!isWordIn(first, {"was", "previous", "previously", "old", "original", "originally",
                          "formerly", "bisher", "alter", "alte", "ursprunglich", "ancien",
                          "ancienne", "initialement"})) {
        return false;
    }
    const Token* next = line.at(k + 1);
    return first->allCaps || (next && (next->isSymbol(":") || next->isSymbol("|"))) ||
           isWordIn(next, {"date", "time", "slot", "booking", "appointment", "termin", "datum",
                           "zeit", "creneau", "rendez-vous", "horaire", "scheduled", "planned",
                           "booked", "geplant", "prevu", "prevue"});
}

// "Late cancellations (after 10:15 AM Thu, Jan 14) forfeit the deposit", "Kostenlose
// Stornierung bis 12.03.", "[ Stornieren ]  kostenlos bis Di 06.10.": the terms of cancelling a
// booking, whose days are no events.
bool statesCancellationTerms(const Line& line) {
    return hasWord(line, {"cancellation", "cancellations", "stornierung", "storno", "stornieren",
                          "annulation"}) &&
           hasWord(line,
                   {"policy", "late", "free", "fee", "charge", "charged", "forfeit", "deposit",
                    "kostenlos", "kostenlose", "kostenfrei", "gebuhr", "gratuite", "frais"});
}

// "Mar 25   812 | Apr 25   590 | May 25   544": months one after another with the same number are
// a table's months of a year (a bill's usage history), not days.
bool listsMonths(const std::vector<DateMention>& dates) {
    constexpr std::size_t kShortestRun = 3;
    std::size_t run = 1;
    for (std::size_t k = 1; k < dates.size() && run < kShortestRun; ++k) {
        const DayParts& before = dates[k - 1].day;
        const DayParts& day = dates[k].day;
        const bool next =
            !dates[k].yearWritten && day.day == before.day && day.month == before.month % 12 + 1;
        run = next ? run + 1 : 1;
    }
    return run >= kShortestRun;
}

// "Week of October 26", "Semaine du 12 mai": the week a letter or plan covers, not an event.
bool namesAWeek(const Line& line) {
    return line.tokens.size() >= 2 && isWordIn(&line.tokens[0], {"week", "semaine", "woche"}) &&
           isWordIn(&line.tokens[1], {"of", "du", "vom"});
}

// "Daylight saving starts at 2:00 am on Sunday 3 October", "UK clocks go forward on 28 March",
// "Zeitumstellung am 28. März": the day the clocks change, which nobody attends.
bool tellsClockChange(const Line& line) {
    return (hasWord(line, {"daylight"}) && hasWord(line, {"saving", "savings"})) ||
           (hasWord(line, {"clocks", "clock"}) &&
            hasWord(line, {"forward", "forwards", "back", "change"})) ||
           hasWord(line, {"zeitumstellung", "sommerzeit", "winterzeit"}) ||
           (hasWord(line, {"changement"}) && hasWord(line, {"d'heure", "heure"}));
}

// "Next scheduled read: on or about 04/10/2026", "effective from 1 December", "mit Wirkung vom
// 1. Dezember": a day a bill or a contract gives only roughly, or the day a change takes effect,
// which nobody attends.
bool givesRoughOrEffectiveDay(const Line& line) {
    for (std::size_t k = 0; k + 2 < line.tokens.size(); ++k) {
        const Token* next = line.at(k + 1);
        const Token* third = line.at(k + 2);
        if ((line.tokens[k].isWord("on") && isWordIn(next, {"or"}) &&
             isWordIn(third, {"about", "around"})) ||
            (isWordIn(&line.tokens[k], {"effect", "effective", "wirkung"}) &&
             isWordIn(next, {"from", "vom", "ab"})) ||
            (line.tokens[k].isWord("wef") && third != nullptr)) {
            return true;
        }
    }
    return false;
}

// "Bookings close Wed 12 Aug, 5:00 pm", "Clôture des réservations : lundi 2 février": when the
// booking of an event ends, not the event, which a sentence after it may tell of; so the days
// one may sign up on ("Registration period: 1–12 March", "Anmeldezeitraum: 01.03.–12.03.").
bool tellsBookingsClose(const Line& line, const std::vector<DateMention>& dates) {
    const std::size_t k = firstWordAt(line);
    // A short label's value goes with it, whatever its dots: "Anmeldezeitraum 2. PZR: 01.03.".
    constexpr std::size_t kLabelTokens = 8;
    std::size_t value = k;
    for (std::size_t c = k; c < line.tokens.size() && c <= k + kLabelTokens; ++c) {
        if (line.tokens[c].isSymbol(":")) {
            value = c;
            break;
        }
    }
    const std::size_t end = sentenceEnd(line, value);
    if (std::any_of(dates.begin(), dates.end(),
                    [end](const DateMention& d) { return d.begin > end; })) {
        return false;
    }
    const Token* first = line.at(k);
    const Token* second = line.at(k + 1);
    const Token* third = line.at(k + 2);
    return (isWordIn(first, {"booking", "bookings", "registration", "registrations", "entries",
                             "enrolment", "enrollment", "applications", "sign-ups", "signups"}) &&
            isWordIn(second, {"close", "closes", "closing", "deadline", "period", "window"})) ||
           (isWordIn(first, {"cloture", "fin"}) && isWordIn(second, {"des"}) &&
            isWordIn(third, {"reservations", "inscriptions"})) ||
           isWordIn(first, {"buchungsschluss", "anmeldeschluss", "meldeschluss", "anmeldezeitraum",
                            "anmeldefrist", "buchungszeitraum", "einschreibefrist"});
}

} // namespace

bool namesOpeningHours(const std::string& label) {
    // "Office hours", "Öffnungszeiten", "Sprechzeiten", "Horaires", "Permanence du
    // secrétariat": when a place is open, week after week ("Horaire : de 9h à 16h" is the hours
    // of the event itself).
    return label == "hours" || label.ends_with(" hours") || label.ends_with("offnungszeiten") ||
           label.ends_with("sprechzeiten") || label.ends_with("burozeiten") ||
           label.starts_with("horaires") || label.starts_with("permanence") ||
           label.starts_with("heures d'ouverture") || label == "accueil";
}

// "Von 28. bis 30. Dezember Parteienverkehr nur vormittags", "Öffnungszeiten über Ostern",
// "opening hours over Easter", "aussi ouvert le lundi": a line that tells when an office or a
// museum is open.
bool tellsOpeningHours(const Line& line) {
    for (std::size_t k = 0; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        const Token* before = k > 0 ? &line.tokens[k - 1] : nullptr;
        if (isWordIn(&t, {"parteienverkehr", "offnungszeiten", "sprechzeiten", "burozeiten"}) ||
            (isWordIn(&t, {"opening", "office"}) && isWordIn(line.at(k + 1), {"hours", "times"})) ||
            // "Clinic hrs: Mon-Fri", "Store hours:".
            (isWordIn(&t, {"hours", "hrs"}) &&
             isWordIn(before, {"clinic", "store", "shop", "club", "library", "centre", "center",
                               "reception", "surgery", "practice", "studio"})) ||
            (isWordIn(&t, {"horaires"}) && isWordIn(line.at(k + 1), {"d'ouverture"})) ||
            (isWordIn(&t, {"also", "aussi", "egalement", "auch", "zusatzlich"}) &&
             isWordIn(line.at(k + 1), {"open", "ouvert", "ouverte", "ouverts", "geoffnet"}))) {
            return true;
        }
    }
    return false;
}

bool givesBye(const Line& line) {
    return std::any_of(line.tokens.begin(), line.tokens.end(),
                       [](const Token& t) { return t.isWord("bye") && t.allCaps; });
}

bool remarksDaysAreNoEvents(const Line& line, const std::vector<DateMention>& dates,
                            const std::string& label) {
    return namesOpeningHours(label) || opensWithNegation(line) || opensWithCancellation(line) ||
           callsOffMeeting(line, dates) || givesFormerDay(line) || namesAWeek(line) ||
           listsMonths(dates) || statesCancellationTerms(line) || givesBye(line) ||
           tellsClockChange(line) || tellsOpeningHours(line) || givesRoughOrEffectiveDay(line) ||
           tellsBookingsClose(line, dates);
}

} // namespace plannery::reader
