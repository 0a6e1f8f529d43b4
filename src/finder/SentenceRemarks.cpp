#include "finder/SentenceRemarks.h"

#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"

namespace plannery::reader {

bool someonesOffice(const Line& line, std::size_t k) {
    const Token* owner = k >= 1 ? &line.tokens[k - 1] : nullptr;
    return isWordIn(&line.tokens[k], {"office",       "offices",       "helpline",
                                      "switchboard",  "buro",          "bureau",
                                      "bureaux",      "sekretariat",   "secretariat",
                                      "centre",       "center",        "depot",
                                      "depots",       "store",         "stores",
                                      "shop",         "shops",         "branch",
                                      "branches",     "showroom",      "geschaftsstelle",
                                      "kundencenter", "kundenservice", "warehouse",
                                      "warehouses",   "entrepot"}) &&
           owner && owner->isWord() && !isWordIn(owner, {"the", "das", "der", "le", "la", "les"});
}

namespace {

// Whether token `k` is the sender saying that they are shut: "we are closed from 24 December",
// "We're closed Dec 24 – Jan 4", "nous serons fermés du 24 au 26". A shop or restaurant tells its
// customers when not to come; a school names itself ("the school will be closed").
bool sendersClosure(const Line& line, std::size_t k) {
    if (!isWordIn(&line.tokens[k], {"we", "we're", "we'll", "wir", "nous"})) {
        return false;
    }
    for (std::size_t n = k + 1; n < line.tokens.size() && n <= k + 3; ++n) {
        const Token& t = line.tokens[n];
        if (t.isWord() && Vocabulary::isClosedWord(t.key)) {
            return true;
        }
        if (!t.isWord()) {
            return false;
        }
    }
    return false;
}

// Whether token `k` names, after its article, the premises of a service the reader only visits:
// "the practice will close at 1pm on Wednesday", "die Praxis bleibt am Freitag geschlossen". Their
// closure is the service's day, not the reader's; a school's or an office's may be the reader's.
bool servicesPremises(const Line& line, std::size_t k) {
    return k >= 1 &&
           isWordIn(&line.tokens[k], {"practice", "surgery", "clinic", "pharmacy", "library",
                                      "praxis", "ordination", "apotheke", "bibliothek", "cabinet",
                                      "clinique", "pharmacie", "bibliotheque", "mediatheque"}) &&
           isWordIn(&line.tokens[k - 1],
                    {"the", "our", "this", "die", "unsere", "diese", "le", "la", "notre"});
}

// Whether token `k` says someone cannot keep a day: "Dr. Feldman is unable to see you", "is
// unavailable", "Dr. Okafor is out of the office on Thu 11/19".
bool cannotKeep(const Line& line, std::size_t k) {
    const auto word = [&line, k](std::size_t back, std::initializer_list<std::string_view> keys) {
        return k >= back && isWordIn(&line.tokens[k - back], keys);
    };
    const bool outOfOffice =
        word(0, {"office"}) && ((word(1, {"of"}) && word(2, {"out"})) ||
                                (word(1, {"the"}) && word(2, {"of"}) && word(3, {"out"})));
    return word(0, {"unable", "unavailable"}) || outOfOffice;
}

} // namespace

bool keptByNoOne(const Line& line, std::size_t k) {
    // "is unable to see you on Monday", not "is out on Thu 11/19 😔 Could we move you to Fri".
    constexpr std::size_t kWordsBetween = 6;
    for (std::size_t b = k; b > 0 && b + kWordsBetween >= k && !endsSentenceAt(line, b - 1); --b) {
        if (cannotKeep(line, b - 1)) {
            return true;
        }
    }
    return false;
}

// What the sentence before token `k` says of its day that makes it no event: the day the rain
// may call for ("In case of rain, Sports Day will move to Friday 10 July", "Bei Regen am
// Sonntag"), one someone cannot keep ("Dr. Feldman is unable to see you on Monday"), one offered
// instead ("If that slot doesn't work, I can also offer Friday, June 19"), the day sales open
// ("booking opens for Friends on 12 January"), one called off ("we have to cancel your Sat 1/17
// appt"), days to choose from ("Her next openings are Tue 1/20 or Thu 1/22", "Other clinic
// dates are Oct 20 and Oct 28", "Reply 1 for Tuesday"), a bill's day ("Your first bill will arrive
// around August 5"), a day someone's office is closed and a deadline ("The deadline for entries is
// Friday").
bool setAsideInSentence(const Line& line, std::size_t k) {
    bool weather = false;
    bool condition = false;
    bool unable = false;
    bool sales = false;
    bool opens = false;
    bool also = false;
    bool offer = false;
    bool alternative = false;
    bool calledOff = false;
    bool openings = false;
    bool choice = false;
    bool bill = false;
    bool reopens = false;
    bool office = false;
    bool closed = false;
    bool deadline = false;
    std::size_t b = k;
    for (; b > 0; --b) {
        const Token& t = line.tokens[b - 1];
        // The full stop of an abbreviated month ends no sentence: "closed Dec. 25, Dec. 26".
        const bool abbreviation = t.isSymbol(".") && b >= 2 && line.tokens[b - 2].isWord() &&
                                  line.tokens[b - 2].key.size() <= 4 &&
                                  Words::month(line.tokens[b - 2].key, "en");
        if ((t.isSymbol(".") && !abbreviation) || t.isSymbol("!") || t.isSymbol("?") ||
            t.isSymbol(";")) {
            break;
        }
        // Bad weather only: "if the weather is good, we grill on Sunday" is the plan.
        weather =
            weather || isWordIn(&t, {"rain", "regen", "pluie", "schlechtwetter", "intemperies"}) ||
            (isWordIn(&t, {"weather", "wetter", "temps"}) && b >= 2 &&
             isWordIn(&line.tokens[b - 2], {"bad", "wet", "schlechtem", "schlechtes", "mauvais"}));
        condition = condition || isWordIn(&t, {"if", "case", "bei", "falls", "wenn", "cas", "si"});
        unable = unable || cannotKeep(line, b - 1);
        also = also || isWordIn(&t, {"also", "aussi"});
        offer = offer || isWordIn(&t, {"offer", "propose", "proposer"});
        alternative = alternative || isWordIn(&t, {"alternatively", "alternative", "sinon"});
        sales = sales || isWordIn(&t, {"booking", "bookings", "tickets", "sales", "registration",
                                       "enrolment", "enrollment", "vorverkauf", "anmeldung",
                                       "inscriptions", "billetterie"});
        opens = opens || isWordIn(&t, {"open", "opens", "sale", "beginnt", "startet", "ouvre",
                                       "ouvrent", "ouverture"});
        // "PRESALE MON 25 MAY 10AM": the day tickets go on sale, in one word.
        sales = sales || isWordIn(&t, {"presale", "pre-sale", "presales"});
        opens = opens || isWordIn(&t, {"presale", "pre-sale", "presales"});
        // "we have to cancel your Sat 1/17 appt"
        calledOff = calledOff || isWordIn(&t, {"cancel", "cancelling", "canceling", "annuler"});
        // "Your first bill will arrive around August 5", "Next billing date: 12/05/2026": a bill's
        // day, not the reader's.
        bill = bill || (!t.capital && isWordIn(&t, {"bill", "billing", "invoice", "statement",
                                                    "rechnung", "facture"}));
        // "We will reopen on Tuesday, October 13": the day after a closure, when all is as usual.
        reopens = reopens || (t.isWord() && Vocabulary::isReopeningWord(t.key));
        // "The church office will be closed Monday, March 2", "our call centre will be closed on
        // Monday 4 May": someone's desk shut for a day, which the reader does not work at. "The
        // office will be closed on Friday" is the reader's own.
        office = office || someonesOffice(line, b - 1) || sendersClosure(line, b - 1) ||
                 servicesPremises(line, b - 1);
        // ... said with the verb too: "our offices close for the festive season from 18 December".
        closed = closed || (t.isWord() && Vocabulary::isClosedWord(t.key)) ||
                 isWordIn(&t, {"close", "closes"});
        // "Anmeldeschluss für alle AGs ist Fr., 11.09.!", "The deadline for entries is Friday":
        // the last day to do something, said in a sentence.
        deadline = deadline || isWordIn(&t, {"deadline", "anmeldeschluss", "meldeschluss",
                                             "einsendeschluss", "annahmeschluss", "anmeldefrist",
                                             "redaktionsschluss", "bestellschluss"});
        // "The last day to withdraw is Friday", "closing date: 18 March", "date limite
        // d'inscription : vendredi", "dernier délai le 18 mars"; "the last day of term" is an
        // event.
        const Token* before = b >= 2 ? &line.tokens[b - 2] : nullptr;
        // "last pick-ups for CNY orders are on 3 Feb", "last posting date 18 December": the last
        // chance for a service, not an event.
        deadline =
            deadline ||
            (isWordIn(&t, {"day", "date"}) && isWordIn(before, {"last"}) &&
             isWordIn(line.at(b), {"to"})) ||
            (isWordIn(before, {"last"}) &&
             isWordIn(&t, {"orders", "order", "pick-ups", "pick-up", "pickups", "pickup",
                           "collections", "collection", "deliveries", "delivery", "posting"})) ||
            (isWordIn(&t, {"date"}) && isWordIn(before, {"closing"})) ||
            (isWordIn(&t, {"limite"}) && isWordIn(before, {"date"})) ||
            (isWordIn(&t, {"delai"}) && isWordIn(before, {"dernier"}));
        // "Her next openings are Tue 1/20 at 6:15 PM or Thu 1/22": days to choose from; so are
        // "Other clinic dates are Oct 20 and Oct 28", "Weitere Termine: …".
        openings = openings || isWordIn(&t, {"openings", "creneaux", "disponibilites"});
        const Token* twoBefore = b >= 3 ? &line.tokens[b - 3] : nullptr;
        // ... and "available slots with Dr Lim: Thu 07/01 8:40AM or 4:10PM", "Next available
        // times:": the words that offer days beside the one booked.
        const std::initializer_list<std::string_view> offered = {
            "other", "weitere", "andere", "autres", "available", "freie", "disponibles"};
        openings =
            openings ||
            (isWordIn(&t, {"dates", "days", "times", "sessions", "slots", "termine", "seances"}) &&
             (isWordIn(before, offered) || isWordIn(twoBefore, offered)));
        // "Reply 1 for Tuesday, 2 for Thursday": the answers to a question.
        choice = choice ||
                 (isWordIn(&t, {"for", "pour", "fur"}) && b >= 3 && line.tokens[b - 2].isNumber() &&
                  isWordIn(&line.tokens[b - 3], {"reply", "text", "press", "type"}));
    }
    // "Fermé les jours fériés (Vendredi-Saint 26 mars …)", "Closed Mondays and 25 December": a
    // notice that opens with the word for shut gives the sender's own hours, when not to come.
    while (b < k && !line.tokens[b].isWord()) {
        ++b;
    }
    const bool shutNotice = b < k && Vocabulary::isClosedWord(line.tokens[b].key);
    return (weather && condition) || unable || shutNotice ||
           (condition && ((also && offer) || alternative)) || (sales && opens) || calledOff ||
           openings || choice || bill || reopens || (office && closed) || deadline;
}

} // namespace plannery::reader
