#include "finder/ReaderVocabulary.h"

#include "finder/WordLists.h"

namespace plannery::reader::Vocabulary {

namespace {

constexpr std::string_view kEventNouns[] = {
    // English
    "party",
    "birthday",
    "wedding",
    "shower",
    "dinner",
    "lunch",
    "breakfast",
    "brunch",
    "coffee",
    "drinks",
    "bbq",
    "barbecue",
    "picnic",
    "meeting",
    "assembly",
    "agm",
    "call",
    "review",
    "interview",
    "appointment",
    "checkup",
    "conference",
    "conferences",
    "summit",
    "meetup",
    "webinar",
    "seminar",
    "workshop",
    "class",
    "lesson",
    "lessons",
    "lecture",
    "course",
    "training",
    "practice",
    "rehearsal",
    "recital",
    "showcase",
    "concert",
    "show",
    "gig",
    "festival",
    "fest",
    "fair",
    "market",
    "sale",
    "drive",
    "run",
    "race",
    "match",
    "game",
    "tournament",
    "quiz",
    "trivia",
    "talk",
    "keynote",
    "panel",
    "session",
    "ceremony",
    "service",
    "exhibition",
    "parade",
    "screening",
    "movie",
    "film",
    "premiere",
    "trip",
    "visit",
    "tour",
    "flight",
    "reunion",
    "celebration",
    "night",
    "evening",
    "shoot",
    "inspection",
    "exam",
    "housewarming",
    "graduation",
    "farewell",
    "launch",
    "opening",
    "fundraiser",
    "gala",
    "dance",
    "kickoff",
    "group",
    "hangout",
    "sleepover",
    "playdate",
    "mot",
    "haircut",
    "yoga",
    // German
    "feier",
    "geburtstag",
    "hochzeit",
    "essen",
    "abendessen",
    "mittagessen",
    "fruhstuck",
    "kaffee",
    "treffen",
    "sitzung",
    "besprechung",
    "termin",
    "konferenz",
    "grillen",
    "kurs",
    "fahrt",
    "fuhrung",
    "vortrag",
    "lesung",
    "wanderung",
    // French
    "fete",
    "soiree",
    "diner",
    "dejeuner",
    "repas",
    "reunion",
    "rendez-vous",
    "assemblee",
    "spectacle",
    "marche",
    "atelier",
    "sortie",
    "conseil",
    "entretien",
    "stage",
    "cours",
    "seance",
    "cine",
    "cinema",
    "visite",
    "voyage",
    "brocante",
    "kermesse",
    "vernissage",
    "bapteme",
    "baptism",
    "christening",
    "taufe",
    "communion",
    "konfirmation",
    "stammtisch",
    "squash",
    "tennis",
    "football",
    "soccer",
    "badminton",
    "golf",
    "swim",
    "swimming",
    "climbing",
    "hike",
    "ride",
    "pilates",
    "workout",
    "massage",
    "pictures",
    "photos",
    "photoshoot",
    "fotoshooting",
    "physio",
    "dentist",
    "doctor",
    "training",
    "tournoi",
    "turnier",
    "spiel",
    "besichtigung",
    "begehung",
    "residential",
};

// The last parts of German compounds that name events.
constexpr std::string_view kEventEndings[] = {
    "versammlung", "abend",     "fest",         "markt",        "konzert", "feier",
    "treffen",     "schulung",  "sitzung",      "termin",       "kurs",    "party",
    "essen",       "fahrt",     "meeting",      "fuhrung",      "vortrag", "lesung",
    "ausflug",     "wanderung", "besichtigung", "gottesdienst", "begehung"};

// Compounds with such an ending that say when rather than what: "am Vorabend", "Freitagabend".
constexpr std::string_view kTimeCompounds[] = {"vorabend",      "feierabend",    "montagabend",
                                               "dienstagabend", "mittwochabend", "donnerstagabend",
                                               "freitagabend",  "samstagabend",  "sonntagabend"};

constexpr std::string_view kVenueWords[] = {
    "hall",        "church",       "chapel",       "cathedral",  "park",       "room",
    "center",      "centre",       "theatre",      "theater",    "arena",      "stadium",
    "library",     "museum",       "school",       "academy",    "college",    "university",
    "cafe",        "restaurant",   "bar",          "pub",        "hotel",      "inn",
    "club",        "lounge",       "studio",       "gallery",    "auditorium", "ballroom",
    "terrace",     "lawn",         "garden",       "gardens",    "field",      "court",
    "gym",         "pool",         "office",       "building",   "hq",         "campus",
    "lab",         "hospital",     "clinic",       "station",    "airport",    "residence",
    "house",       "kirche",       "halle",        "saal",       "schule",     "stadion",
    "raum",        "vereinsheim",  "rathaus",      "bahnhof",    "praxis",     "eglise",
    "salle",       "mairie",       "gare",         "ecole",      "stade",      "base",
    "hof",         "bandstand",    "forge",        "square",     "chateau",    "rectory",
    "barn",        "mediatheque",  "bibliotheque", "bibliothek", "musee",      "surgery",
    "esplanade",   "canteen",      "cafeteria",    "kantine",    "cantine",    "mensa",
    "tavern",      "brewery",      "bistro",       "pavilion",   "synagogue",  "mosque",
    "temple",      "beach",        "pier",         "marina",     "zoo",        "aquarium",
    "planetarium", "observatory",  "castle",       "palace",     "manor",      "abbey",
    "lodge",       "hostel",       "resort",       "clubhouse",  "boathouse",  "warehouse",
    "foyer",       "lobby",        "atrium",       "boardroom",  "plaza",      "rink",
    "sanctuary",   "nave",         "crypt",        "vestry",     "grounds",    "conservatory",
    "kapelle",     "kneipe",       "gaststatte",   "aula",       "schloss",    "burg",
    "freibad",     "hallenbad",    "parc",         "jardin",     "chapelle",   "cathedrale",
    "hopital",     "clinique",     "gymnase",      "piscine",    "auberge",    "brasserie",
    "bistrot",     "palais",       "amphitheatre", "amphi",      "kita",       "classroom",
    "classe",      "kindergarten", "creche",       "nursery",    "playhouse",  "cinema",
    "kino",        "cineplex",     "espace",       "maison",     "buhne",
};

// The last parts of German compounds that name places ("Marienkirche", "Stadthalle").
constexpr std::string_view kVenueEndings[] = {
    "kirche", "kapelle", "halle", "saal",   "schule", "stadion", "haus",  "heim",   "garten",
    "hof",    "zentrum", "platz", "anlage", "park",   "raum",    "treff", "zimmer", "buhne"};

constexpr std::string_view kStreetWords[] = {
    "street", "st", "road", "rd", "avenue", "ave", "lane", "ln", "drive", "dr", "way", "blvd",
    "boulevard", "place", "pl", "court", "ct", "terrace", "square", "sq", "close", "crescent",
    "row", "parkway", "pkwy", "highway", "hwy", "route", "strasse", "str", "weg", "allee", "gasse",
    "grove", "mews", "rue", "chemin", "quai", "impasse", "cours", "lungarno", "parade", "esplanade",
    "promenade", "circle", "circuit",
    // Shortened in British and Australian addresses: "27 Banksia Cres", "4 Ocean Pde"
    "cres", "tce", "pde", "cct",
    // Shortened in French addresses: "12 av. des Acacias", "3 bd Voltaire"
    "av", "bd", "rte", "imp"};

constexpr std::string_view kStreetEndings[] = {"strasse", "str",  "weg",  "platz", "allee",
                                               "gasse",   "ring", "damm", "ufer"};

constexpr std::string_view kFillers[] = {
    "at",     "on",     "in",    "the",  "a",   "an",    "of",   "for",  "to",   "from",  "till",
    "until",  "til",    "late",  "and",  "or",  "by",    "this", "next", "week", "both",  "days",
    "day",    "every",  "each",  "only", "is",  "are",   "be",   "will", "with", "about", "approx",
    "around", "starts", "start", "ends", "am",  "um",    "im",   "vom",  "von",  "bis",   "ab",
    "den",    "der",    "die",   "das",  "und", "oder",  "ist",  "le",   "la",   "les",   "de",
    "du",     "des",    "au",    "aux",  "a",   "et",    "ou",   "dans", "pour", "sur",   "chez",
    "tous",   "jours",  "h",     "uhr",  "pm",  "doors", "it's", "it",   "its",  "our",   "your",
};

// Words that cannot end a name or a place: what is left of a sentence broken before its day
// ("Wildpark Poing am", "Congé d'automne : du").
constexpr std::string_view kDanglingWords[] = {"am", "im", "um", "an",  "at",  "on", "le",
                                               "la", "au", "du", "vom", "the", "a"};

// The buttons and tabs of an app, read with its screen: "Done", "My Tickets", "Add to Apple
// Wallet".
constexpr std::string_view kInterfaceWords[] = {
    "done",   "back",       "cancel",    "close",   "edit",    "share",    "menu",
    "search", "home",       "my",        "tickets", "wallet",  "add",      "apple",
    "get",    "directions", "swipe",     "view",    "details", "settings", "ok",
    "fertig", "zuruck",     "abbrechen", "teilen",  "annuler", "partager", "discover"};

// The words that say an event was called off, or someone's place in it given up.
constexpr std::string_view kCancelledWords[] = {
    "cancelled", "canceled",   "annule",     "annulee",     "abgesagt", "storniert",
    "withdrawn", "abgemeldet", "desinscrit", "desinscrite", "entfallt", "entfallen"};

// The words that say an event was moved to another day or time.
constexpr std::string_view kMoveWords[] = {
    "moved",   "moving",   "moves",    "move",     "rescheduled", "rescheduling", "postponed",
    "changed", "changing", "shifted",  "shifting", "pushed",      "pushing",      "verschoben",
    "verlegt", "deplace",  "deplacee", "reporte",  "reportee"};

constexpr std::string_view kLeavingWords[] = {"departs", "depart", "departure", "dep", "abfahrt"};
constexpr std::string_view kArrivingWords[] = {"arrives", "arrive",  "arrival",
                                               "arr",     "ankunft", "arrivee"};

constexpr std::string_view kClosedWords[] = {"closed", "shut",   "geschlossen", "ferme",
                                             "fermee", "fermes", "fermees"};

constexpr std::string_view kOfficeWords[] = {
    "chair",        "chairperson",   "chairman",        "chairwoman", "secretary", "treasurer",
    "president",    "coordinator",   "convenor",        "organiser",  "organizer", "vorsitzende",
    "vorsitzender", "schriftfuhrer", "schriftfuhrerin", "kassier",    "kassierin", "kassenwart",
    "obmann",       "obfrau",        "presidente",      "secretaire", "tresorier", "tresoriere"};

// Words that make a name an organisation's when they close it: a club, a society, a company
// ("Tidewater Press", "Elmwood Lawn Tennis Club", "Musikverein Oberhaidach" read the other way).
// Such a name signs a notice; the event is what the organisation holds.
constexpr std::string_view kOrganisationWords[] = {"club",
                                                   "society",
                                                   "association",
                                                   "press",
                                                   "inc",
                                                   "ltd",
                                                   "llc",
                                                   "plc",
                                                   "gmbh",
                                                   "trust",
                                                   "foundation",
                                                   "federation",
                                                   "guild",
                                                   "company",
                                                   "corporation",
                                                   "corp",
                                                   "verein",
                                                   "verband",
                                                   "gesellschaft",
                                                   "stiftung",
                                                   "genossenschaft",
                                                   "pfarrei",
                                                   "kirchengemeinde",
                                                   "sarl"};

// Words that make a name an organisation's when they open it ("Paroisse Sainte-Claire",
// "Amicale des Sapeurs-Pompiers", "Verein der Freunde").
constexpr std::string_view kLeadingOrganisationWords[] = {"paroisse", "amicale",   "association",
                                                          "societe",  "fondation", "federation",
                                                          "verein",   "pfarrei",   "pfarre"};

constexpr std::string_view kReopeningWords[] = {"reopen", "reopens",  "reopening",
                                                "rouvre", "rouvrira", "reouverture"};

constexpr std::string_view kAgendaWords[] = {"agenda",       "programme", "program",     "ablauf",
                                             "tagesordnung", "programm",  "deroulement", "ordre"};

constexpr std::string_view kClauseWords[] = {
    "is",    "are",     "was",    "were",    "will",  "would",   "have",   "has",     "having",
    "had",   "we",      "you",    "they",    "he",    "she",     "our",    "let's",   "please",
    "can",   "could",   "should", "don't",   "it's",  "there's", "that",   "if",      "i'm",
    "i'll",  "i've",    "i'd",    "we'll",   "we're", "we've",   "you'll", "you're",  "they're",
    "it'll", "that's",  "wir",    "sie",     "ihr",   "ihre",    "unser",  "unsere",  "ist",
    "sind",  "wird",    "werden", "haben",   "hat",   "bitte",   "wollen", "nous",    "vous",
    "est",   "sont",    "aura",   "avez",    "sera",  "merci",   "venez",  "pensez",  "meets",
    "takes", "findet",  "bleibt", "bleiben", "who's", "what's",  "here's", "he's",    "she's",
    "c'est", "c'etait", "ils",    "elles",   "peut",  "peuvent", "doit",   "doivent", "etre",
    "seront"};

constexpr std::string_view kGreetings[] = {
    "hi",      "hello",  "hey",      "dear",     "hallo", "liebe", "lieber",
    "bonjour", "coucou", "salut",    "chers",    "chere", "guten", "morning",
    "sehr",    "madame", "monsieur", "mesdames", "hiya",  "howdy", "bonsoir",
    "servus",  "moin",   "gruezi",   "hoi",      "ciao",  "kia"}; // "Kia ora Aroha,"

// Words that end a letter: what follows them is its signature.
constexpr std::string_view kClosings[] = {
    "thanks", "thank",  "cheers",      "regards",      "best",      "xo",    "mit",
    "viele",  "vielen", "danke",       "cordialement", "sincerely", "kind",  "love",
    "merci",  "bien",   "herzliche",   "gruss",        "grusse",    "beste", "schone",
    "bises",  "bisous", "amicalement", "yours",        "warmly"};

constexpr std::string_view kGenericHeadingEndings[] = {
    "erinnerung", "bestatigung", "anderung", "verschiebung",
    // A letter or sheet sent round: "Elternbrief", "Gemeindebrief", "Pfarrblatt"
    "brief", "blatt"};

constexpr std::string_view kGenericHeadingWords[] = {
    "confirmation", "confirmed", "reminder", "ticket", "e-ticket", "tickets", "registered",
    "reservation", "booking", "bestatigung", "buchungsbestatigung", "terminbestatigung", "rappel",
    "confirme", "reservee", "e-billet", "billet", "receipt", "order", "itinerary", "programme",
    "program", "schedule", "invitation", "notice", "announcement", "mitteilung", "hinweis", "avis",
    "booked", "rescheduled", "convocation", "einberufung", "aushang", "registration", "inscription",
    "anmeldung", "anmeldebestatigung",
    // A message that something changed: "Change to your appointment", "Terminänderung"
    "change", "changes", "anderung", "terminanderung", "changement", "modification",
    // A school's or club's round-up of events
    "update", "newsletter", "bulletin", "fixtures", "timetable", "rundbrief", "feuille",
    // What to know before coming: "Joining instructions – Applied Data Analytics"
    "joining", "instructions", "hinweise", "consignes",
    // An app's or a booking's lists: "Upcoming (4)", "Saved", "ACTIVITIES"
    "upcoming", "saved", "activities", "aktivitaten", "activites"};

// Who people see by appointment, by the words that name them, and what such an appointment is
// called in the calendar: in English "Dentist appointment", in German and French the
// practitioner alone ("Zahnarzt", "Kiné"). German compounds count by how they begin
// ("Zahnarztpraxis", "Tierärztin").
struct Practitioner {
    std::string_view word;
    std::string_view title;
    bool prefix = false;
};

constexpr Practitioner kPractitioners[] = {
    {"dentist", "Dentist appointment"},
    {"dentists", "Dentist appointment"},
    {"dentistry", "Dentist appointment"},
    {"dental", "Dentist appointment"},
    {"orthodontist", "Orthodontist appointment"},
    {"orthodontics", "Orthodontist appointment"},
    {"dermatology", "Dermatology appointment"},
    {"dermatologist", "Dermatology appointment"},
    {"optician", "Optician appointment"},
    {"opticians", "Optician appointment"},
    {"optometrist", "Optician appointment"},
    {"hair", "Hair appointment"},
    {"hairdresser", "Hair appointment"},
    {"hairdressers", "Hair appointment"},
    {"barber", "Barber"},
    {"barbers", "Barber"},
    {"vet", "Vet appointment"},
    {"vets", "Vet appointment"},
    {"veterinary", "Vet appointment"},
    {"veterinarian", "Vet appointment"},
    {"physiotherapy", "Physio"},
    {"physiotherapist", "Physio"},
    {"pediatrician", "Pediatrician appointment"},
    {"paediatrician", "Paediatrician appointment"},
    {"chiropractor", "Chiropractor appointment"},
    {"chiropractic", "Chiropractor appointment"},
    {"podiatrist", "Podiatrist appointment"},
    {"podiatry", "Podiatrist appointment"},
    {"zahnarzt", "Zahnarzt", true},
    {"tierarzt", "Tierarzt", true},
    {"tierklinik", "Tierarzt", true},
    {"hautarzt", "Hautarzt", true},
    {"augenarzt", "Augenarzt", true},
    {"kinderarzt", "Kinderarzt", true},
    {"hausarzt", "Hausarzt", true},
    {"frauenarzt", "Frauenarzt", true},
    {"friseur", "Friseur", true},
    {"frisor", "Friseur", true},
    {"physiotherapie", "Physiotherapie", true},
    {"physiotherapeut", "Physiotherapie", true},
    {"optiker", "Optiker", true},
    {"kieferorthopad", "Kieferorthopäde", true},
    {"dentiste", "Dentiste"},
    {"dentaire", "Dentiste"},
    {"dermatologue", "Dermatologue"},
    {"kine", "Kiné"},
    {"kinesitherapie", "Kiné"},
    {"kinesitherapeute", "Kiné"},
    {"veterinaire", "Vétérinaire"},
    {"veto", "Vétérinaire"},
    {"coiffeur", "Coiffeur"},
    {"coiffeuse", "Coiffeur"},
    {"coiffure", "Coiffeur"},
    {"opticien", "Opticien"},
    {"orthodontiste", "Orthodontiste"},
    {"pediatre", "Pédiatre"},
    {"osteopathe", "Ostéopathe"},
    {"ophtalmologue", "Ophtalmologue"},
    {"ophtalmo", "Ophtalmologue"},
    {"podologue", "Podologue"},
    {"orthophoniste", "Orthophoniste"},
};
} // namespace

bool isEventNoun(std::string_view key) {
    // "l'assemblée", "d'anniversaire": the noun after an elided article or "de".
    if (key.size() > 2 && (key.starts_with("l'") || key.starts_with("d'"))) {
        key.remove_prefix(2);
    }
    return WordLists::contains(kEventNouns, key) ||
           (WordLists::endsWithOne(kEventEndings, key, 3) &&
            !WordLists::contains(kTimeCompounds, key));
}

bool isVenueWord(std::string_view key) {
    // "l'église", "d'école"
    if (key.size() > 2 && key[1] == '\'' && (key[0] == 'l' || key[0] == 'd')) {
        key.remove_prefix(2);
    }
    return WordLists::contains(kVenueWords, key) || WordLists::endsWithOne(kVenueEndings, key, 3);
}

bool isStreetWord(std::string_view key) {
    return WordLists::contains(kStreetWords, key) || isStreetCompound(key);
}

bool isStreetCompound(std::string_view key) {
    return WordLists::endsWithOne(kStreetEndings, key, 3) || key == "str";
}

bool isDanglingWord(std::string_view key) {
    return WordLists::contains(kDanglingWords, key);
}

bool isCancelledWord(std::string_view key) {
    return WordLists::contains(kCancelledWords, key);
}

bool isMoveWord(std::string_view key) {
    return WordLists::contains(kMoveWords, key);
}

Leg legWord(std::string_view key, bool beforeTime) {
    if (WordLists::contains(kLeavingWords, key) || (beforeTime && key == "ab")) {
        return Leg::leaves;
    }
    if (WordLists::contains(kArrivingWords, key) || (beforeTime && key == "an")) {
        return Leg::arrives;
    }
    return Leg::none;
}

bool isInterfaceWord(std::string_view key) {
    return WordLists::contains(kInterfaceWords, key);
}

bool isFiller(std::string_view key) {
    return WordLists::contains(kFillers, key);
}

bool isAgendaWord(std::string_view key) {
    return WordLists::contains(kAgendaWords, key);
}

bool isClosedWord(std::string_view key) {
    return WordLists::contains(kClosedWords, key);
}

bool isOfficeWord(std::string_view key) {
    return WordLists::contains(kOfficeWords, key);
}

bool isOrganisationWord(std::string_view key) {
    return WordLists::contains(kOrganisationWords, key);
}

bool isLeadingOrganisationWord(std::string_view key) {
    return WordLists::contains(kLeadingOrganisationWords, key);
}

bool isReopeningWord(std::string_view key) {
    return WordLists::contains(kReopeningWords, key);
}

bool isClauseWord(std::string_view key) {
    return WordLists::contains(kClauseWords, key);
}

bool isGreeting(std::string_view key) {
    if (WordLists::contains(kGreetings, key) || WordLists::contains(kClosings, key)) {
        return true;
    }
    // "heyyy", "hiiii", "hellooo": a greeting drawn out in a chat.
    std::size_t end = key.size();
    while (end >= 2 && key[end - 1] == key[end - 2]) {
        --end;
    }
    return end < key.size() && end > 0 && WordLists::contains(kGreetings, key.substr(0, end));
}

bool isClosing(std::string_view key) {
    return WordLists::contains(kClosings, key);
}

bool isGenericHeadingWord(std::string_view key) {
    // "d'inscription"
    if (key.size() > 2 && key[1] == '\'' && (key[0] == 'l' || key[0] == 'd')) {
        key.remove_prefix(2);
    }
    // German compounds: "Terminerinnerung", "Reservierungsbestätigung".
    return WordLists::contains(kGenericHeadingWords, key) ||
           WordLists::endsWithOne(kGenericHeadingEndings, key, 3);
}

std::optional<std::string_view> practitionerTitle(std::string_view key) {
    for (const Practitioner& p : kPractitioners) {
        if (p.prefix ? key.starts_with(p.word) : key == p.word) {
            return p.title;
        }
    }
    return std::nullopt;
}

} // namespace plannery::reader::Vocabulary
