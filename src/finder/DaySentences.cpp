#include "finder/DaySentences.h"

#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"
#include "finder/SentenceRemarks.h"

#include <algorithm>

namespace plannery::reader {

bool movedFrom(const Line& line, std::size_t i) {
    return i >= 2 && isWordIn(&line.tokens[i - 1], {"from", "vom", "von", "du"}) &&
           line.tokens[i - 2].isWord() && Vocabulary::isMoveWord(line.tokens[i - 2].key);
}

std::optional<std::size_t> movedTo(const Line& line, std::size_t i) {
    std::size_t k = i;
    if (k > 0 && isWordIn(&line.tokens[k - 1], {"the", "den", "le"})) {
        --k;
    }
    if (k >= 2 && isWordIn(&line.tokens[k - 1], {"to", "auf", "a", "au"}) &&
        line.tokens[k - 2].isWord() && Vocabulary::isMoveWord(line.tokens[k - 2].key)) {
        return k - 2;
    }
    // "has been moved from Thursday to Wednesday 11 March", "reporté du jeudi au mercredi": the
    // old day between.
    constexpr std::size_t kOldDayReach = 8; // tokens
    if (k >= 3 && isWordIn(&line.tokens[k - 1], {"to", "au", "auf", "zum"})) {
        for (std::size_t f = k - 1; f-- > 1 && f + kOldDayReach >= k;) {
            if (endsSentenceAt(line, f)) {
                break;
            }
            if (movedFrom(line, f + 1)) {
                return f - 1;
            }
        }
    }
    // "Die Begehung wird auf Freitag, 13.03., 8:30 Uhr verschoben": the verb ends the sentence.
    constexpr std::size_t kVerbReach = 16; // tokens: the day, its time and a word or two
    if (k >= 1 && isWordIn(&line.tokens[k - 1], {"auf"})) {
        for (std::size_t v = i + 1; v < line.tokens.size() && v <= i + kVerbReach; ++v) {
            if (endsSentenceAt(line, v)) {
                break;
            }
            if (line.tokens[v].isWord() && Vocabulary::isMoveWord(line.tokens[v].key)) {
                return k - 1;
            }
        }
    }
    return std::nullopt;
}

// "by 5pm on", "until 11:59 pm (local time) on", "bis 12 Uhr am": where the clock that leads
// to the date at token k begins; k when none does.
std::size_t beforeClock(const Line& line, std::size_t k) {
    std::size_t at = k;
    if (at == 0 || !isWordIn(&line.tokens[at - 1], {"on", "am", "le"})) {
        return k;
    }
    --at;
    if (at > 0 && line.tokens[at - 1].isSymbol(")")) {
        std::size_t open = at - 1;
        while (open > 0 && !line.tokens[open].isSymbol("(") && at - open < 8) {
            --open;
        }
        if (!line.tokens[open].isSymbol("(")) {
            return k;
        }
        at = open;
    }
    const std::size_t end = at;
    while (at > 0 && end - at < 5) {
        const Token& t = line.tokens[at - 1];
        if (!(t.isNumber() || t.isSymbol(":") || t.isSymbol(".") ||
              isWordIn(&t, {"am", "pm", "uhr", "h", "noon", "midnight"}))) {
            break;
        }
        --at;
    }
    const bool clock = at < end && (line.tokens[at].isNumber() ||
                                    isWordIn(&line.tokens[at], {"noon", "midnight"}));
    return clock ? at : k;
}

namespace {

// The words that make a day one on which something was done rather than an event: "Placed Jan 20",
// "shipped on 9 March", "Ce courriel a été envoyé le 2 décembre", "line-up announced 1 May",
// "expédié le 9 mars", and German's participle after its day ("wurde am 14. Oktober versandt").
bool isDoneWord(const Token* t) {
    return isWordIn(t, {"placed", "ordered", "purchased", "issued", "booked", "made", "posted",
                        "published", "announced", "bekanntgegeben", "shipped", "dispatched",
                        "bestellt", "gebucht", "ausgestellt", "angeschlagen", "veroffentlicht",
                        "versandt", "verschickt", "commande", "commandee", "emis", "reserve",
                        "reservee", "publie", "affiche", "expedie", "expediee", "received",
                        "erhalten", "recu", "recue", "sent", "envoye", "envoyee", "gesendet",
                        "versendet", "etabli", "etablie",
                        // a record's end: "Ihre Daten werden am 31.12. gelöscht"
                        "deleted", "geloscht", "supprime", "supprimee", "supprimees", "supprimes"});
}

// What a club or a course holds on its days: "match", "practice", "Kurs", "stage".
bool namesSession(const Token& t) {
    return isWordIn(&t,
                    {"match",      "matches",   "game",     "games",   "fixture",    "practice",
                     "training",   "rehearsal", "class",    "classes", "lesson",     "lessons",
                     "session",    "sessions",  "spiel",    "probe",   "unterricht", "kurs",
                     "stunde",     "cours",     "seance",   "stage",   "stages",     "entrainement",
                     "repetition", "meeting",   "meetings", "party",   "parties"});
}

} // namespace

// The word before a date that makes it a deadline or a start of sales rather than an event.
bool deadlineBefore(const Line& line, std::size_t i) {
    std::size_t k = i;
    // "by the", "by EOD Tuesday", "bis einschl. 10.03.": the words between a deadline's word
    // and its day.
    while (k > 0 && (isWordIn(&line.tokens[k - 1],
                              {"the", "le", "la", "den", "dem", "zum", "am", "eod", "cob",
                               "einschl", "einschliesslich", "inklusive", "inkl"}) ||
                     (line.tokens[k - 1].isSymbol(".") && k >= 2 &&
                      isWordIn(&line.tokens[k - 2], {"einschl", "inkl"})))) {
        --k;
    }
    // "by end of day Wednesday", "by close of business Friday".
    if (k >= 3 && isWordIn(&line.tokens[k - 2], {"of"}) &&
        ((isWordIn(&line.tokens[k - 3], {"end"}) && isWordIn(&line.tokens[k - 1], {"day"})) ||
         (isWordIn(&line.tokens[k - 3], {"close"}) &&
          isWordIn(&line.tokens[k - 1], {"business"})))) {
        k -= 3;
    }
    // Nor a day something was done: "Placed Jan 20, 2027", "Booked on 14/08/2026", "bestellt am".
    // ... also as a label: "Booked on: Thu 20 Aug 2026".
    const std::size_t labelled = k > 0 && line.tokens[k - 1].isSymbol(":") ? k - 1 : k;
    const std::size_t done =
        labelled > 0 && isWordIn(&line.tokens[labelled - 1], {"on", "am", "le"}) ? labelled - 1
                                                                                 : labelled;
    const bool recorded = done > 0 && isDoneWord(&line.tokens[done - 1]);
    // "Newsletter – Friday 11th September 2026", "Rundbrief vom 3. März": the day an issue came
    // out, at its head.
    const std::size_t headed =
        done > 0 && (line.tokens[done - 1].isDash() || line.tokens[done - 1].isSymbol(",") ||
                     isWordIn(&line.tokens[done - 1], {"vom", "du"}))
            ? done - 1
            : done;
    const bool issue = headed > 0 && isWordIn(&line.tokens[headed - 1],
                                              {"newsletter", "bulletin", "edition", "ausgabe",
                                               "rundbrief", "infobrief", "elternbrief"});
    // "Paid by Visa ****4471 on 02.07.2026", "we'll take $41.20 from your account on 30/07/2026":
    // a payment's day, whatever paid it.
    bool paid = false;
    for (std::size_t b = done; b > 0 && done - b < 14 && !paid; --b) {
        const Token& t = line.tokens[b - 1];
        // "Status: PAID · 2027/03/01": a dot set right before the day joins it to its status.
        if (t.isSymbol("·") && b == done) {
            continue;
        }
        if (t.isSymbol(".") || t.isSymbol(",") || t.isSymbol(";") || t.isSymbol("·")) {
            break;
        }
        paid = isWordIn(&t, {"paid", "bezahlt", "paye", "payee", "debit", "debited", "charged",
                             "abgebucht", "preleve", "account", "belastung", "belastet",
                             "lastschrift", "prelevement"}) ||
               // "taken automatically from your card on 23/04/2027"
               (isWordIn(&t, {"card", "karte", "carte"}) && b >= 2 &&
                isWordIn(&line.tokens[b - 2], {"your", "ihrer", "ihre", "votre"}));
    }
    // German puts the verb last: "Der Restbetrag wird am 08.07.2026 automatisch abgebucht".
    for (std::size_t a = i; a < line.tokens.size() && a < i + 20 && !paid; ++a) {
        const Token& t = line.tokens[a];
        if (t.isSymbol(".") && a + 1 < line.tokens.size() && line.tokens[a + 1].spaced) {
            break;
        }
        if (t.isSymbol(";") || t.isSymbol("!") || t.isSymbol("?")) {
            break;
        }
        paid = isWordIn(&t, {"abgebucht", "eingezogen", "uberwiesen", "bezahlt", "konto"});
    }
    // A day kept in reserve is no event either: "Ersatztermin: Montag", "rain date June 7".
    const bool reserve =
        (k >= 1 && isWordIn(&line.tokens[k - 1], {"ersatztermin", "ausweichtermin", "report"})) ||
        (k >= 2 && line.tokens[k - 1].isSymbol(":") &&
         isWordIn(&line.tokens[k - 2], {"ersatztermin", "ausweichtermin"})) ||
        (k >= 2 && isWordIn(&line.tokens[k - 1], {"date"}) &&
         isWordIn(&line.tokens[k - 2], {"rain", "backup", "postponement"}));
    const bool aside = setAsideInSentence(line, k);
    // Nor is a day given up: "no longer available on Tuesday", "moved from Monday", "instead of
    // Friday", "statt am Montag", "au lieu du lundi", "war für Mi, 19.05. geplant".
    bool replaced = false;
    for (std::size_t b = k; b > 0 && b + 4 >= k; --b) {
        const Token* before = b >= 2 ? &line.tokens[b - 2] : nullptr;
        const Token& word = line.tokens[b - 1];
        if (isWordIn(&word, {"to", "auf", "nach", "a", "au"})) {
            break; // "moved from Monday to Tuesday": the new day
        }
        // "instead of tomorrow could we do Thursday": a clause of its own asks for the new day.
        if (word.isWord() && Vocabulary::isClauseWord(word.key)) {
            break;
        }
        replaced = replaced || isWordIn(&word, {"statt", "anstatt"}) ||
                   (isWordIn(&word, {"longer"}) && isWordIn(before, {"no"})) ||
                   // "war für Mi, 19.05. geplant", "was for Friday": the day it had
                   (isWordIn(&word, {"fur", "for"}) && isWordIn(before, {"war", "was", "were"})) ||
                   (isWordIn(&word, {"of"}) && isWordIn(before, {"instead"})) ||
                   // "initialement prévue le vendredi 15/01", "originally scheduled for Friday"
                   (isWordIn(&word, {"prevu", "prevue", "prevus", "prevues", "scheduled", "planned",
                                     "geplant", "angesetzt"}) &&
                    isWordIn(before, {"initialement", "originally", "ursprunglich"})) ||
                   movedFrom(line, b) ||
                   // "au lieu du lundi", unlike "aura lieu du jeudi … au vendredi"
                   (isWordIn(&word, {"du", "de"}) && isWordIn(before, {"lieu"}) && b >= 3 &&
                    isWordIn(&line.tokens[b - 3], {"au"})) ||
                   // "ne pourra pas recevoir Pixel le jeudi"
                   (isWordIn(&word, {"pas"}) &&
                    isWordIn(before, {"peut", "peux", "pouvons", "pourra", "pourrai", "pourrons",
                                      "pourrez", "pourront"}));
    }
    // Nor the day from which something applies: "zum 1. April passen wir ... an", "effective
    // 1 April", "à compter du 1er avril", "as of 1 May" ("bis zum" is a deadline anyway).
    const bool takesEffect =
        (i > 0 && isWordIn(&line.tokens[i - 1], {"zum"})) ||
        (k > 0 && isWordIn(&line.tokens[k - 1], {"effective", "wirksam", "compter", "wef"})) ||
        (k > 1 && isWordIn(&line.tokens[k - 1], {"of"}) && isWordIn(&line.tokens[k - 2], {"as"})) ||
        (k > 1 && isWordIn(&line.tokens[k - 1], {"du"}) &&
         isWordIn(&line.tokens[k - 2], {"compter"}));
    const auto deadlineWord = [&line](std::size_t at) {
        return at > 0 && (isWordIn(&line.tokens[at - 1],
                                   {"by",      "before",   "after",      "until",   "till",
                                    "til",     "through",  "thru",       "avant",   "apres",
                                    "bis",     "deadline", "jusqu'au",   "jusqu'a", "spatestens",
                                    "latest",  "due",      "tard",       "valid",   "gultig",
                                    "valable", "fallig",   "falligkeit", "zahlbar", "echeance"}) ||
                          // "no later than 30 November"
                          (at > 1 && isWordIn(&line.tokens[at - 1], {"than"}) &&
                           isWordIn(&line.tokens[at - 2], {"later"})));
    };
    // "the survey closes on May 20", "your plan's benefits end on 31 August", "läuft am 30.06.
    // ab": the day something runs out. Where it closes or expires, also without "on" ("Expires
    // 30/04/2027", "resale closes 18 March", "verfällt am 31.12."); "Term ends 17 July" may be a
    // day to mark.
    const bool runsOut =
        done > 0 && ((done < labelled &&
                      isWordIn(&line.tokens[done - 1], {"ends", "end", "endet", "enden", "lauft",
                                                        "laufen", "termine", "renewal"})) ||
                     isWordIn(&line.tokens[done - 1],
                              {"closes", "close", "expires", "expire", "expiry", "expiring",
                               "lapses", "resets", "renews", "verfallt", "verfallen", "expirent"}));
    // "I'll be back on Monday, August 10", "de retour le 10 août": when the writer is there
    // again.
    const bool back = done > 1 && done < labelled &&
                      isWordIn(&line.tokens[done - 1], {"back", "retour"}) &&
                      isWordIn(&line.tokens[done - 2], {"be", "i'm", "am", "are", "is", "de"});
    // "prélocation dès le 1er avril", "presale from 1 April", "Vorverkauf ab 1. April": when
    // tickets go on sale.
    const bool sales = k > 1 && isWordIn(&line.tokens[k - 1], {"des", "from", "ab", "starts"}) &&
                       isWordIn(&line.tokens[k - 2], {"prelocation", "prevente", "presale",
                                                      "pre-sale", "vorverkauf", "billetterie"});
    // "in der Woche vom 25. Mai", "the week of March 9", "la semaine du 9 mars": the week
    // something happens in, not a day of its own.
    const bool week = k > 1 && isWordIn(&line.tokens[k - 1], {"of", "vom", "du"}) &&
                      isWordIn(&line.tokens[k - 2], {"week", "woche", "semaine"});
    // "Hauptsaison 01.05.–30.09.", "high season: 1 July – 31 August": when a price holds.
    const bool season = labelled > 0 && line.tokens[labelled - 1].isWord() &&
                        (line.tokens[labelled - 1].key == "season" ||
                         line.tokens[labelled - 1].key.ends_with("saison"));
    // "ab 1. April" is the day sales open, but "ab 16 Uhr am Samstag" is when a party starts.
    return reserve || aside || replaced || takesEffect || recorded || issue || paid || runsOut ||
           back || season || week || sales || deadlineWord(k) ||
           (k > 0 && isWordIn(&line.tokens[k - 1], {"ab"})) || deadlineWord(beforeClock(line, k));
}

std::optional<std::size_t> obligationBefore(const Line& line, std::size_t i) {
    for (std::size_t k = i; k-- > 0;) {
        const Token& t = line.tokens[k];
        if (t.isSymbol(".") || t.isSymbol("!") || t.isSymbol("?") || t.isSymbol(";")) {
            break;
        }
        if (isWordIn(&t, {"must", "muss", "mussen", "doit", "doivent"}) ||
            (isWordIn(&t, {"need", "needs", "have", "has"}) && isWordIn(line.at(k + 1), {"to"}))) {
            return k;
        }
    }
    return std::nullopt;
}

bool dueBefore(const Line& line, std::size_t i) {
    std::size_t k = i;
    while (k > 0 && isWordIn(&line.tokens[k - 1], {"the", "le", "la", "den", "dem", "zum"})) {
        --k;
    }
    // "by", not "until": something is handed in by a day, but goes on until one.
    return k > 0 && isWordIn(&line.tokens[k - 1], {"by", "bis", "avant", "spatestens"}) &&
           obligationBefore(line, k - 1);
}

bool doneAfter(const Line& line, std::size_t i) {
    return isDoneWord(line.at(i));
}

bool deadlineAfter(const Line& line, std::size_t i) {
    const std::size_t k = line.at(i) != nullptr && line.at(i)->isSymbol(",") ? i + 1 : i;
    return isWordIn(line.at(k), {"spatestens"}) ||
           (isWordIn(line.at(k), {"au"}) && isWordIn(line.at(k + 1), {"plus"}) &&
            isWordIn(line.at(k + 2), {"tard"})) ||
           (isWordIn(line.at(k), {"at"}) && isWordIn(line.at(k + 1), {"the"}) &&
            isWordIn(line.at(k + 2), {"latest"}));
}

bool reserveAfter(const Line& line, std::size_t i) {
    bool weather = false;
    bool condition = false;
    for (std::size_t k = i; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        if (t.isSymbol("(") || t.isSymbol(")") || t.isSymbol(";") || endsSentenceAt(line, k)) {
            break;
        }
        weather = weather || isWordIn(&t, {"rain", "rains", "raining", "regen", "regnet", "pluie",
                                           "pleut", "intemperies", "schlechtwetter"});
        condition =
            condition || isWordIn(&t, {"if", "case", "bei", "falls", "wenn", "cas", "si", "s'il"});
    }
    return weather && condition;
}

bool calledOffBefore(const Line& line, std::size_t begin) {
    // "no work party this Saturday", and a form's "No class:   17/02/2027".
    std::size_t k = begin;
    while (k > 0 && (isWordIn(&line.tokens[k - 1], {"on", "the", "this", "le", "ce", "am"}) ||
                     line.tokens[k - 1].isSymbol(":") || line.tokens[k - 1].isSymbol("|"))) {
        --k;
    }
    // "storniert am 12.04.", "cancelled on Friday": the day it was called off, or the one it
    // calls off.
    if (k >= 1 && line.tokens[k - 1].isWord() &&
        Vocabulary::isCancelledWord(line.tokens[k - 1].key)) {
        return true;
    }
    if (k < 2 || !namesSession(line.tokens[k - 1])) {
        return false;
    }
    // A word may say which session ("no work party").
    const auto no = [&line](std::size_t at) {
        return isWordIn(&line.tokens[at], {"no", "kein", "keine"}) ||
               (at > 0 && line.tokens[at].isWord("de") && line.tokens[at - 1].isWord("pas"));
    };
    return no(k - 2) || (k >= 3 && line.tokens[k - 2].isWord() && no(k - 3));
}

bool calledOffAfter(const Line& line, std::size_t begin, std::size_t i) {
    bool atOnce = true; // only symbols between the day and token k
    std::size_t lead = begin;
    while (lead > 0 && isWordIn(&line.tokens[lead - 1], {"den", "dem", "der"})) {
        --lead;
    }
    const bool movedTo = lead > 0 && isWordIn(&line.tokens[lead - 1], {"auf", "nach", "zum"});
    for (std::size_t k = i; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        // The sentence ends, or goes on to another day or to what may happen.
        if (t.isSymbol("!") || t.isSymbol("?") || (t.isSymbol(".") && t.spaced) ||
            (t.isSymbol(".") && k + 1 < line.tokens.size() && line.tokens[k + 1].spaced) ||
            isWordIn(&t, {"instead", "but", "stattdessen", "aber", "mais", "unless", "if", "falls",
                          "wenn", "si", "new", "neuer", "neuen", "nouveau", "nouvelle"})) {
            return false;
        }
        const Token* next = line.at(k + 1);
        // "The 3/2 slot at 12:30 won't work", "Saturday doesn't work for us": a day declined.
        if (isWordIn(&t, {"won't", "doesn't", "wont", "doesnt"}) && isWordIn(next, {"work"})) {
            return true;
        }
        // "Die Turnstunden fallen während der Ferien (21.2.–8.3.) aus", "Der Freitag fällt aus!":
        // German parts the verb.
        if (t.isWord("aus") && (next == nullptr || next->isSymbol(".") || next->isSymbol("!")) &&
            std::any_of(line.tokens.begin(), line.tokens.begin() + static_cast<std::ptrdiff_t>(k),
                        [](const Token& w) {
                            return isWordIn(&w, {"fallen", "fallt"});
                        })) {
            return true;
        }
        // ... or a fixture list's week without a match ("Sa. 28.03. spielfrei", "Sat 23 Jan  No
        // match – county cup weekend", "pas de cours"), or a court closed off ("Plätze 1–4 am Mo
        // 19.04. bis 12 Uhr gesperrt").
        // The words must follow the day at once: "Mon 5 Jan, no practice Thursday" keeps Monday.
        const Token* missing = !atOnce                                     ? nullptr
                               : isWordIn(&t, {"no", "kein", "keine"})     ? next
                               : t.isWord("pas") && isWordIn(next, {"de"}) ? line.at(k + 2)
                                                                           : nullptr;
        if (missing != nullptr && namesSession(*missing)) {
            return true;
        }
        if (isWordIn(&t, {"cancel", "cancelled", "canceled", "absagen", "abgesagt", "entfallt",
                          "entfallen", "annule", "annulee", "annuler", "supprime", "supprimee",
                          "spielfrei", "trainingsfrei", "relache", "gesperrt"})) {
            return true;
        }
        // "Unser Büro bleibt vom 20.07. bis 07.08.2026 geschlossen": someone's office shut, the
        // word for it last, as German puts it.
        if (t.isWord() && Vocabulary::isClosedWord(t.key)) {
            // "In den Osterferien (29.03.–09.04.) ist die Geschäftsstelle geschlossen".
            for (std::size_t w = i; w < k; ++w) {
                if (someonesOffice(line, w)) {
                    return true;
                }
            }
            for (std::size_t b = begin; b > 0; --b) {
                const Token& w = line.tokens[b - 1];
                if (w.isSymbol(".") || w.isSymbol("!") || w.isSymbol("?") || w.isSymbol(":")) {
                    break;
                }
                if (someonesOffice(line, b - 1)) {
                    return true;
                }
            }
        }
        // "der Ausflug am Do. 11.6. muss leider verschoben werden", "müssen wir Ihren Termin am
        // 07.01. leider verschieben": German puts the move last.
        // "auf den 23.6. verschoben" is the day it moves to.
        if (isWordIn(&t, {"verschoben", "verlegt", "verschieben"}) && !movedTo) {
            return true;
        }
        // "qui n'aura donc pas lieu", "findet nicht statt", "will not take place".
        const Token* before = k > 0 ? &line.tokens[k - 1] : nullptr;
        const Token* twoBefore = k > 1 ? &line.tokens[k - 2] : nullptr;
        // "Friday is OFF", "Saturday's off": not "drop off" nor "a day off".
        if ((t.isWord("off") && isWordIn(before, {"is", "are", "'s"})) ||
            (t.isWord("lieu") && isWordIn(before, {"pas"})) ||
            (t.isWord("statt") && isWordIn(before, {"nicht"})) ||
            (t.isWord("place") && isWordIn(before, {"take"}) &&
             isWordIn(twoBefore, {"not", "won't", "never"}))) {
            return true;
        }
        atOnce = atOnce && t.isSymbol();
    }
    return false;
}

// "can be booked ... from Monday 19 January", "Disponible à partir du 1er avril": in a sentence,
// the day something opens.
bool opensFrom(const Line& line, std::size_t i) {
    const bool from = i > 0 && (isWordIn(&line.tokens[i - 1], {"from"}) ||
                                (i > 1 && isWordIn(&line.tokens[i - 1], {"du"}) &&
                                 isWordIn(&line.tokens[i - 2], {"partir"})));
    if (!from) {
        return false;
    }
    return std::any_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
        return isWordIn(&t, {"can", "will", "are", "is", "be", "booked", "available", "open",
                             "opens", "disponible", "disponibles", "ouvert", "ouverte"});
    });
}

} // namespace plannery::reader
