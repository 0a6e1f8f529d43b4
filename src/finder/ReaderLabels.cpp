#include "finder/ReaderLabels.h"

#include "finder/WordLists.h"

#include <algorithm>
#include <iterator>

namespace plannery::reader::Vocabulary {

namespace {

constexpr std::string_view kWhenOrWhereLabels[] = {"date",
                                                   "dates",
                                                   "day",
                                                   "tag",
                                                   "jour",
                                                   "times",
                                                   "termine",
                                                   "time",
                                                   "when",
                                                   "where",
                                                   "start",
                                                   "end",
                                                   "datum",
                                                   "zeit",
                                                   "uhrzeit",
                                                   "wann",
                                                   "quand",
                                                   "heure",
                                                   "horaire",
                                                   "lieu",
                                                   "ort",
                                                   "location",
                                                   "venue",
                                                   "address",
                                                   "adresse",
                                                   "check-in",
                                                   "check-out",
                                                   "checkin",
                                                   "checkout",
                                                   "outward",
                                                   "outbound",
                                                   "inbound",
                                                   "return",
                                                   "hinfahrt",
                                                   "ruckfahrt",
                                                   "hinflug",
                                                   "ruckflug",
                                                   "departing flight",
                                                   "outbound flight",
                                                   "return flight",
                                                   "inbound flight",
                                                   "aller",
                                                   "retour",
                                                   "your appointment",
                                                   "ihr termin",
                                                   "votre rendez-vous",
                                                   "arrival window",
                                                   "date and time",
                                                   "entry time",
                                                   "anreise",
                                                   "abreise",
                                                   "arrivee",
                                                   "depart",
                                                   "arrival",
                                                   "departure",
                                                   "pick-up",
                                                   "when and where",
                                                   "termin",
                                                   "your scheduled time",
                                                   "appointment",
                                                   "date & time",
                                                   "join"};

constexpr std::string_view kTitleLabels[] = {
    "subject", "betreff", "betrifft", "objet", "title", "titel", "titre", "event", "what", "was",
    "quoi", "veranstaltung", "service", "webinar", "re", "invitation", "einladung",
    "updated invitation", "thema", "course", "kurs", "cours", "program", "activity", "activite",
    "aktivitat",
    // What an appointment is for: "Dienstleistung: Personalausweis beantragen"
    "dienstleistung", "leistung", "anliegen", "behandlung", "treatment", "prestation",
    // ... or which a hospital's letter books: "Investigation: CT Coronary Angiography".
    "investigation", "procedure", "examination", "test", "consultation", "untersuchung", "eingriff",
    "examen", "intervention",
    // What a stay is in: "Objekt: Ferienwohnung „Möwennest“", "Property: Harbour View Cottage".
    "objekt", "unterkunft", "property", "accommodation", "hebergement", "logement",
    // What a ticket is for: "Performance: A Doll's House", "Vorstellung: Die Zauberflöte".
    "performance", "show", "production", "film", "movie", "vorstellung", "spectacle"};

constexpr std::string_view kPlaceLabels[] = {
    "location",
    "where",
    "venue",
    "place",
    "address",
    "ort",
    "adresse",
    "lieu",
    "treffpunkt",
    "meeting point",
    "veranstaltungsort",
    "room",
    "raum",
    "salle",
    "where and when",
    "wo",
    "ou",
    "entree",
    "entrance",
    "eingang",
};

constexpr std::string_view kDetailLabels[] = {
    "price", "prices", "rate", "cost", "tickets", "ticket", "rsvp", "seat", "seats", "row", "block",
    "coach", "vehicle", "dress code", "contact", "phone", "tel", "email", "guests", "visitors",
    "total", "total price", "entry", "eintritt", "tarif", "zimmer", "chambre", "tagesordnung",
    "themen", "snacks", "technician", "ticket type", "fahrkarte", "note", "notes", "parking",
    "agenda", "pin", "pin code", "passcode", "meeting id",
    // A note to the reader: "Reminder: there is no school on Friday".
    "reminder", "please note", "important", "ps", "nb", "rappel", "erinnerung", "attention",
    // Who the booking is for: "Guest: Michael Tran", "Passenger: J. Ellis".
    "guest", "passenger", "passengers", "name", "attendee", "driver", "gast", "reisender",
    "voyageur", "passager", "nom",
    // How long it lasts: "Duration: 30 minutes", "Dauer: ca. 15 Minuten".
    "duration", "length", "running time", "dauer", "spieldauer", "laufzeit", "duree"};

constexpr std::string_view kReferenceLabels[] = {"booking number",
                                                 "booking ref",
                                                 "booking reference",
                                                 "confirmation",
                                                 "confirmation number",
                                                 "confirmation code",
                                                 "confirmation #",
                                                 "order",
                                                 "order #",
                                                 "reference",
                                                 "reservation code",
                                                 "collection reference",
                                                 "buchungsnummer",
                                                 "auftragsnummer",
                                                 "reference de dossier",
                                                 "numero de confirmation",
                                                 "booking",
                                                 "reservation number",
                                                 "ref",
                                                 "pnr",
                                                 "code"};

constexpr std::string_view kStayLabels[] = {
    "check-in", "checkin",   "check in", "check-out", "checkout", "check out",
    "arrival",  "departure", "arrive",   "depart",    "anreise",  "abreise",
    "arrivee",  "pick-up",   "pickup",   "pick up",   "return",   "drop-off",
    "ruckgabe", "abholung",  "start",    "end",       "beginn",   "ende",
    "debut",    "fin",       "abfahrt",  "ruckkunft", "ruckkehr", "retour"};

constexpr std::string_view kSpanStartLabels[] = {
    "start date", "start",      "starts",     "first session", "first class",   "course start",
    "beginn",     "kursbeginn", "startdatum", "debut",         "date de debut", "premier cours"};

constexpr std::string_view kSpanEndLabels[] = {
    "end date", "end",      "ends",     "last session", "last class",  "course end",
    "ende",     "kursende", "enddatum", "fin",          "date de fin", "dernier cours"};

constexpr std::string_view kHeaderLabels[] = {
    "from",     "to",      "sent",  "date", "subject", "cc",     "von",   "an",
    "gesendet", "betreff", "datum", "de",   "a",       "envoye", "objet", "date d'envoi"};

constexpr std::string_view kRecordLabels[] = {
    "sent", "gesendet", "envoye", "last updated", "updated", "effective date", "effective",
    "posted", "published", "issued", "printed", "order date", "booking date", "invoice date",
    // When the booking was made: "Booked on: 20/11/2026", "Gebucht am: 20.11.2026".
    "booked on", "booked", "date booked", "ordered on", "gebucht am", "bestellt am", "shipped",
    "shipped on", "ship date", "dispatched", "dispatched on", "versanddatum", "versandt am",
    "date d'expedition", "expedie le", "reserve le", "commande le", "date de reservation",
    "buchungsdatum", "bestelldatum", "date of birth", "born", "geboren", "erstellt", "stand",
    "mis a jour", "date de naissance", "statement date", "billing date", "bill date",
    "rechnungsdatum", "date de facture",
    // A bill's day to pay is a deadline: "Due date: March 24, 2026", "Fällig am: 24.03.2026".
    "due date", "payment due", "date due", "fallig", "fallig am", "falligkeitsdatum", "echeance",
    "date d'echeance",
    // The last day to sign up: "Anmeldeschluss: 31. März 2026", "Date limite : 6 mars".
    "deadline", "registration deadline", "rsvp deadline", "closing date", "anmeldeschluss",
    "meldeschluss", "einsendeschluss", "anmeldefrist", "date limite", "date limite d'inscription",
    "cloture des inscriptions",
    // A parcel's arrival is no appointment: "Estimated delivery: Thursday, October 22". A
    // delivery booked for a window someone must be home for is one.
    "estimated delivery", "expected delivery", "delivery date", "voraussichtliche lieferung",
    "lieferdatum", "voraussichtliche zustellung", "livraison prevue", "livraison estimee",
    // A label's dates say when a medicine was dispensed or goes off: "Filled: 05/04/2026",
    // "Discard after: 05/04/2027", "Best before", "Mindestens haltbar bis".
    "filled", "dispensed", "discard after", "discard by", "expires", "expiry", "expiry date",
    "expiration date", "exp", "use by", "best before", "haltbar bis", "mindestens haltbar bis",
    "verwendbar bis", "a consommer avant", "date de peremption",
    // A contract's term: "Contract end: 14/03/2027", "Vertragsende: 31.03.2027".
    "contract start", "contract end", "contract start date", "contract end date", "vertragsbeginn",
    "vertragsende", "debut du contrat", "fin du contrat", "fin de contrat", "contract period",
    "contract term", "vertragslaufzeit", "duree du contrat",
    // When a car park's or a gate's ticket was read on the way out: "Exit: 09/05/2026 17:52".
    "exit", "exit time",
    // What a bill or an account covers, and when the next comes: "Billing period: 01/04/2027 to
    // 31/03/2028", "Prochain extrait : 31.05.2027".
    "billing period", "bill period", "statement period", "abrechnungszeitraum", "next statement",
    "next bill", "prochain extrait", "nachster auszug", "prochaine facture"};

} // namespace

bool isWhenOrWhereLabel(std::string_view label) {
    return WordLists::contains(kWhenOrWhereLabels, label) || isPlaceLabel(label);
}

bool isTitleLabel(std::string_view label) {
    return WordLists::contains(kTitleLabels, label);
}

bool isSubjectLabel(std::string_view label) {
    return label == "subject" || label == "betreff" || label == "betrifft" || label == "objet";
}

bool isPlaceLabel(std::string_view label) {
    return WordLists::contains(kPlaceLabels, label);
}

bool isDetailLabel(std::string_view label) {
    return WordLists::contains(kDetailLabels, label) || isReferenceLabel(label);
}

bool isReferenceLabel(std::string_view label) {
    return WordLists::contains(kReferenceLabels, label);
}

bool isStayLabel(std::string_view label) {
    return WordLists::contains(kStayLabels, label);
}

bool opensSpan(std::string_view label) {
    return WordLists::contains(kSpanStartLabels, label);
}

bool closesSpan(std::string_view label) {
    return WordLists::contains(kSpanEndLabels, label);
}

bool isHeaderLabel(std::string_view label) {
    return WordLists::contains(kHeaderLabels, label);
}

bool isRecordLabel(std::string_view label) {
    if (WordLists::contains(kRecordLabels, label)) {
        return true;
    }
    // "Current certificate expiry date", "Gültig bis", "Date d'expiration": when something runs
    // out.
    constexpr std::string_view kRunsOutWords[] = {"expiry",      "expiration", "expires",
                                                  "ablaufdatum", "gultig",     "valid"};
    return std::any_of(
        std::begin(kRunsOutWords), std::end(kRunsOutWords),
        [label](std::string_view word) { return WordLists::holdsWord(label, word); });
}

bool namesCover(std::string_view heading) {
    constexpr std::string_view kCoverWords[] = {"warranty", "guarantee", "garantie",
                                                "gewahrleistung"};
    return std::any_of(
        std::begin(kCoverWords), std::end(kCoverWords),
        [heading](std::string_view word) { return WordLists::holdsWord(heading, word); });
}

bool isKnownLabel(std::string_view label) {
    return isWhenOrWhereLabel(label) || isTitleLabel(label) || isDetailLabel(label) ||
           isStayLabel(label) || isHeaderLabel(label) || isRecordLabel(label);
}

} // namespace plannery::reader::Vocabulary
