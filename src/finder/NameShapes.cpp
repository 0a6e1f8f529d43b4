#include "finder/NameShapes.h"

#include "finder/AddressReading.h"
#include "finder/FinderText.h"
#include "finder/PlaceWords.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"
#include "finder/WordLists.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <string_view>

namespace plannery::reader {

namespace {

// The words of a folded name, without the punctuation around them ("rendez-vous" is two).
std::vector<std::string_view> foldedWords(const std::string& folded) {
    std::vector<std::string_view> words;
    std::size_t begin = 0;
    while (begin < folded.size()) {
        auto end = folded.find_first_of(" -", begin);
        if (end == std::string::npos) {
            end = folded.size();
        }
        std::string_view word(folded.data() + begin, end - begin);
        while (!word.empty() && std::ispunct(static_cast<unsigned char>(word.back()))) {
            word.remove_suffix(1);
        }
        while (!word.empty() && std::ispunct(static_cast<unsigned char>(word.front()))) {
            word.remove_prefix(1);
        }
        if (!word.empty()) {
            words.push_back(word);
        }
        begin = end + 1;
    }
    return words;
}

} // namespace

bool saysClosed(const Line& line, const Segment& s) {
    return anyToken(line, s.begin, s.end,
                    [](const Token& t) { return t.isWord() && Vocabulary::isClosedWord(t.key); });
}

bool isProse(const Line& line, const Segment& s) {
    return anyToken(line, s.begin, s.end, [](const Token& t) {
        return t.isWord() && !t.joined && Vocabulary::isClauseWord(t.key);
    });
}

bool hasGenericHeadingWord(const Line& line, const Segment& s) {
    return anyToken(line, s.begin, s.end, [](const Token& t) {
        return t.isWord() && Vocabulary::isGenericHeadingWord(t.key);
    });
}

bool hasEventNoun(const Line& line, std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end; ++k) {
        const Token& t = line.tokens[k];
        // "Class of 2026" is the people of a year, not a class they attend.
        const Token* year = line.at(k + 2);
        const bool ofYear = isWordIn(line.at(k + 1), {"of"}) && year && year->isNumber() &&
                            year->end - year->begin == 4;
        if (t.isWord() && Vocabulary::isEventNoun(t.key) && !ofYear) {
            return true;
        }
    }
    return false;
}

bool namesOrganisation(const Line& line, std::size_t begin, std::size_t end) {
    const Token* first = nullptr;
    const Token* last = nullptr;
    std::size_t words = 0;
    for (std::size_t k = begin; k < end; ++k) {
        if (line.tokens[k].isWord()) {
            first = first ? first : &line.tokens[k];
            last = &line.tokens[k];
            ++words;
        }
    }
    // A club's own name has a name before its kind ("Elmwood Lawn Tennis Club"); "Book Club" and
    // "October book club" are what its members go to.
    return words >= 2 && first->capital &&
           (Vocabulary::isLeadingOrganisationWord(first->key) ||
            (last->capital && Vocabulary::isOrganisationWord(last->key) &&
             (words >= 3 || last->key != "club")));
}

bool namesMatch(const Line& line, std::size_t begin, std::size_t end) {
    for (std::size_t k = begin + 1; k + 1 < end; ++k) {
        const Token& t = line.tokens[k];
        if (!isWordIn(&t, {"v", "vs", "gegen", "contre"}) || t.capital) {
            continue;
        }
        const std::size_t after = line.tokens[k + 1].isSymbol(".") ? k + 2 : k + 1;
        const Token& before = line.tokens[k - 1];
        if (after < end && before.isWord() && before.capital && line.tokens[after].isWord() &&
            line.tokens[after].capital) {
            return true;
        }
    }
    return false;
}

bool endsInCountry(const Line& line) {
    const auto comma = std::find_if(line.tokens.rbegin(), line.tokens.rend(),
                                    [](const Token& t) { return t.isSymbol(","); });
    if (comma == line.tokens.rend()) {
        return false;
    }
    std::string key;
    for (auto t = comma.base(); t != line.tokens.end(); ++t) {
        if (t->isSymbol("-") && !t->spaced) {
            key += "-";
        } else if (t->isWord()) {
            key += (key.empty() || key.back() == '-' ? "" : " ") + t->key;
        } else {
            return false;
        }
    }
    return !key.empty() && Words::isCountry(key);
}

bool isPreposition(const Token& t) {
    static const std::set<std::string_view> articles = {"the", "a",   "an",  "le",  "la",
                                                        "les", "der", "die", "das", "den"};
    return t.isWord() &&
           (t.key == "with" || (Vocabulary::isFiller(t.key) && !articles.count(t.key)));
}

bool isFragment(const Line& line, const Segment& s) {
    const Token& first = line.tokens[s.begin];
    const Token& last = line.tokens[s.end - 1];
    const std::string_view word = line.slice(first.begin, first.end);
    // "v Hillcrest School", "vs. Tigers": a fixture's opponent in a list of matches.
    const Token* named = line.at(s.begin + 1);
    if (named && named->isSymbol(".")) {
        named = line.at(s.begin + 2);
    }
    const bool versus = isWordIn(&first, {"v", "vs"}) && named && named->capital;
    const bool lowerCase =
        first.isWord() && !first.capital && FinderText::upper(word) != word && !versus;
    return lowerCase ||
           isWordIn(&last, {"on",   "at",     "for", "am",   "le",   "from", "de",  "this",
                            "next", "diesen", "ce",  "to",   "with", "of",   "the", "and",
                            "zu",   "mit",    "und", "avec", "et",   "pour"});
}

bool onlyLabels(const Line& line, const Segment& s) {
    std::string key;
    for (std::size_t k = s.begin; k < s.end; ++k) {
        const Token& t = line.tokens[k];
        if (!t.isWord() && !(t.isSymbol("-") && !t.spaced)) {
            return false;
        }
        key += (key.empty() || !t.spaced ? "" : " ") + t.key;
    }
    return Vocabulary::isWhenOrWhereLabel(key) || Vocabulary::isStayLabel(key);
}

bool isBareAppointment(std::string_view title) {
    const std::string key = FinderText::fold(title);
    return key == "appointment" || key == "appt" || key == "termin" || key == "rendez-vous" ||
           key == "rdv" || key == "seance";
}

bool isGroupSize(const Line& line, std::size_t k) {
    return isWordIn(line.at(k), {"party", "table", "group", "tisch"}) &&
           isWordIn(line.at(k + 1), {"of", "for", "fur", "pour"}) && line.at(k + 2) &&
           line.at(k + 2)->isNumber();
}

bool isAddress(const Line& line, const Segment& s) {
    for (std::size_t k = s.begin; k < s.end; ++k) {
        if (Addresses::startsAt(line, k)) {
            return true;
        }
    }
    return false;
}

bool stopsName(const Token& t) {
    static const std::set<std::string_view> words = {
        "the", "a", "an", "un", "une", "le", "la", "les", "der", "die", "das", "ein", "eine", "my",
        "your", "his", "her", "their", "our", "to", "at", "on", "in", "from", "and", "et", "und",
        "for", "of", "with", "de", "du", "zum", "zur", "see", "grab", "get", "join", "come", "free",
        "forget", "moved", "booked", "wanna", "want", "confirming", "reminder", "back", "due", "au",
        "aux", "a", "en", "par", "pour", "avec", "chez", "sur", "dans", "im", "am", "beim", "auf",
        "its", "doing", "still",
        // "next" says when, not what: "unser nächstes Teammeeting"
        "next", "nachste", "nachstes", "nachsten", "prochain", "prochaine",
        // Whose it is says nothing of what it is: "Ihren Termin", "votre rendez-vous".
        "ihren", "ihrem", "dein", "deinen", "deinem", "votre", "vos", "ton", "ta", "mon", "ma"};
    return !t.isWord() || (!t.joined && Vocabulary::isClauseWord(t.key)) ||
           Vocabulary::isGreeting(t.key) || words.count(t.key) > 0;
}

bool isSeriesOrdinal(const Token& t) {
    return !t.capital &&
           isWordIn(&t, {"first", "erste", "ersten", "erster", "erstes", "premier", "premiere"});
}

bool isPeriodPossessive(const Token& t) {
    if (!t.isWord() || !t.key.ends_with("'s")) {
        return false;
    }
    const std::string_view stem = std::string_view(t.key).substr(0, t.key.size() - 2);
    return stem == "year" || stem == "season" || stem == "term" || stem == "week" ||
           stem == "month" || stem == "today" || stem == "tonight" || stem == "tomorrow" ||
           stem == "weekend";
}

bool namesPeriod(const Token& t) {
    return isWordIn(&t, {"year", "season", "term", "semester", "annee", "saison", "trimestre",
                         "jahres", "schuljahres", "semesters", "l'annee"});
}

std::optional<std::string> practitionerOf(const std::vector<Line>& lines) {
    std::optional<std::string_view> found;
    for (const Line& line : lines) {
        for (const Token& t : line.tokens) {
            const std::optional<std::string_view> title =
                t.isWord() ? Vocabulary::practitionerTitle(t.key) : std::nullopt;
            if (title && found && *title != *found) {
                return std::nullopt;
            }
            found = found ? found : title;
        }
    }
    return found ? std::optional<std::string>(*found) : std::nullopt;
}

bool namesOnlyAnAppointment(const std::string& title) {
    const std::vector<Line> lines = readLines(title);
    if (lines.size() != 1) {
        return false;
    }
    bool appointment = false;
    bool practitioner = false;
    bool practice = false;
    bool more = false; // other words: the practice's own name, perhaps
    for (const Token& t : lines.front().tokens) {
        if (!t.isWord() || t.joined) {
            continue;
        }
        if (Vocabulary::practitionerTitle(t.key)) {
            practitioner = true;
        } else if (Vocabulary::isGenericHeadingWord(t.key) ||
                   isWordIn(&t, {"appointment", "appt", "termin", "rendez", "rdv", "seance"})) {
            appointment = true;
        } else if (Vocabulary::isEventNoun(t.key) ||
                   isWordIn(&t, {"dr", "dre", "mr", "mrs", "ms", "m", "mme", "herr", "frau"})) {
            return false;
        } else if (isWordIn(&t, {"clinic", "clinique", "klinik", "hospital", "hopital", "praxis",
                                 "practice", "cabinet", "salon", "surgery", "centre", "center"})) {
            practice = true;
        } else if (!Vocabulary::isFiller(t.key) &&
                   !isWordIn(&t, {"your", "votre", "ihr", "ihren", "ihre", "tomorrow", "today",
                                  "demain", "morgen", "heute", "upcoming", "prochain"})) {
            more = true;
        }
    }
    return (practice && (practitioner || more) && !appointment) ||
           (appointment && !practitioner && !practice && !more);
}

bool announcesAppointment(const std::string& name) {
    const std::string folded = FinderText::fold(name);
    constexpr std::string_view kFresh[] = {"new",      "neuer",   "neue",   "nouveau",
                                           "nouvelle", "updated", "revised"};
    constexpr std::string_view kAppointment[] = {"your",   "appointment", "appt", "termin",
                                                 "rendez", "vous",        "rdv"};
    bool fresh = false;
    for (const std::string_view word : foldedWords(folded)) {
        if (WordLists::contains(kFresh, word)) {
            fresh = true;
        } else if (!WordLists::contains(kAppointment, word)) {
            return false;
        }
    }
    return fresh;
}

bool namesOnlyMeeting(const std::string& name) {
    const std::string folded = FinderText::fold(name);
    const auto words = foldedWords(folded);
    constexpr std::string_view kMeetings[] = {"session", "lesson",  "class",  "week",
                                              "sitzung", "lektion", "woche",  "einheit",
                                              "seance",  "lecon",   "semaine"};
    return !words.empty() && words.size() <= 2 && WordLists::contains(kMeetings, words[0]) &&
           std::all_of(words.begin() + 1, words.end(), [](std::string_view number) {
               return std::all_of(number.begin(), number.end(), [](char c) {
                   return std::isdigit(static_cast<unsigned char>(c)) != 0;
               });
           });
}

bool saysGeneric(const std::string& name) {
    if (announcesAppointment(name)) {
        return true;
    }
    const std::string folded = FinderText::fold(name);
    const auto words = foldedWords(folded);
    return std::any_of(words.begin(), words.end(), [](std::string_view word) {
        return Vocabulary::isGenericHeadingWord(word);
    });
}

bool goesOnAfterName(const Line& line, const std::vector<Segment>& segments, std::size_t k) {
    if (k == 0 || k >= segments.size()) {
        return false;
    }
    const Segment& name = segments[k - 1];
    const Token& whose = line.tokens[name.begin];
    const Token& first = line.tokens[segments[k].begin];
    return name.end == name.begin + 1 && whose.isWord() && whose.capital && !whose.allCaps &&
           segments[k].begin == name.end + 1 && line.tokens[name.end].isDash() && first.isWord() &&
           !first.capital;
}

bool saysShut(const Line& line, std::size_t from, std::size_t to) {
    if (saysClosed(line, Segment{.begin = from, .end = to})) {
        return true;
    }
    for (std::size_t k = from; k < to; ++k) {
        if (isWordIn(&line.tokens[k], {"no", "pas", "kein", "keine"}) &&
            isWordIn(line.at(k + 1), {"school", "d'ecole", "schule", "unterricht", "classes"})) {
            return true;
        }
    }
    return false;
}

bool namesStreet(const Line& line, const Segment& s) {
    constexpr std::size_t kLongestStreet = 4; // words
    return s.end > s.begin + 1 && s.end - s.begin <= kLongestStreet &&
           line.tokens[s.begin].capital && line.tokens[s.end - 1].isWord() &&
           line.tokens[s.end - 1].capital && Vocabulary::isStreetWord(line.tokens[s.end - 1].key);
}

bool venueOnStreet(const Line& line, const std::vector<Segment>& segments, std::size_t k) {
    return k + 1 < segments.size() && hasVenueWord(line, segments[k].begin, segments[k].end) &&
           namesStreet(line, segments[k + 1]);
}

} // namespace plannery::reader
