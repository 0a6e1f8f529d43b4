#include "finder/TitlePicking.h"

#include "finder/DaySentences.h"
#include "finder/HeadingShapes.h"
#include "finder/NameShapes.h"
#include "finder/PlaceWords.h"
#include "finder/ReaderVocabulary.h"

#include <algorithm>

// The titles that the sentences of a text give: the event named near its day, the clause that
// leads up to the day or the subject after it, what is due by a day, and a trip to the place
// visited.
namespace plannery::reader {

namespace {

// An event is named in the sentence that gives its day, or in one of the lines just above.
constexpr std::size_t kNearby = 3;

// "laden … zum Frühjahrsputz … ein", "lädt zur Weihnachtsfeier": the capitalised noun after
// "zum" or "zur" in a sentence that invites.
std::optional<std::string> invitedTo(const Line& line, const Segment& sentence,
                                     const std::vector<bool>& dated) {
    const bool invites = std::any_of(
        line.tokens.begin() + static_cast<std::ptrdiff_t>(sentence.begin),
        line.tokens.begin() + static_cast<std::ptrdiff_t>(sentence.end), [](const Token& t) {
            return isWordIn(&t, {"laden", "ladt", "einladen", "einladung", "eingeladen"});
        });
    for (std::size_t k = sentence.begin; invites && k + 1 < sentence.end; ++k) {
        const Token& noun = line.tokens[k + 1];
        if (isWordIn(&line.tokens[k], {"zum", "zur"}) && !dated[k + 1] && noun.isWord() &&
            noun.capital) {
            return std::string(line.span(k + 1, k + 2));
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<TitleOption> TitlePicker::sentenceOption(const Candidate& c) const {
    const auto option = [&c](std::string text, std::size_t li) {
        TitleOption named{.text = std::move(text), .line = li};
        named[TitleFeature::sentence] = 1;
        named[TitleFeature::sameLine] = li == c.line ? 1 : 0;
        return named;
    };
    // The event named near the day: "are you free for dinner on friday?", "Pub quiz is back".
    for (std::size_t li = c.line + 1; li-- > 0 && li + kNearby >= c.line;) {
        const Line& line = m_text.lines[li];
        const LineFacts& facts = m_text.facts[li];
        if (signedOff(li)) {
            continue;
        }
        // Days and times end a name ("8pm drinks" is "drinks").
        std::vector<bool> dated(line.tokens.size(), false);
        const auto mark = [&dated](std::size_t begin, std::size_t end) {
            std::fill(dated.begin() + static_cast<std::ptrdiff_t>(begin),
                      dated.begin() + static_cast<std::ptrdiff_t>(std::min(end, dated.size())),
                      true);
        };
        for (const DateMention& d : facts.dates) {
            mark(d.begin, d.end);
        }
        for (const TimeMention& t : facts.times) {
            mark(t.begin, t.end);
        }
        // Neither who wrote the line nor a label such as "Termin:" is the event it names.
        const bool skipLabel = facts.speaker || Vocabulary::isKnownLabel(facts.label);
        const std::size_t first = skipLabel ? facts.labelEnd : 0;
        // On the day's own line, the day's sentence names it first: "Yep, practice as usual. And
        // team photos are Tuesday at 5:15 right before practice" names the photos. What comes
        // before or after it is another event.
        // "Place items out the night before": a noun that says when is no event.
        const auto eventNoun = [&](std::size_t k) {
            return !dated[k] && line.tokens[k].isWord() &&
                   Vocabulary::isEventNoun(line.tokens[k].key) && !isGroupSize(line, k) &&
                   !isWordIn(line.at(k + 1), {"before", "after", "vorher", "davor", "avant"});
        };
        if (li == c.line) {
            const Segment sentence = sentenceAround(line, c.begin);
            // "Außerdem laden wir herzlich zum Frühjahrsputz am Samstag … ein": what an invitation
            // asks to names the event, whatever the word.
            if (auto invited = invitedTo(line, sentence, dated)) {
                return option(*invited, li);
            }
            for (std::size_t k = std::max(sentence.begin, first); k < sentence.end; ++k) {
                if (eventNoun(k) &&
                    !(k > 0 && isWordIn(&line.tokens[k - 1],
                                        {"before", "after", "vor", "nach", "avant", "apres"}))) {
                    return option(phraseAround(line, dated, k), li);
                }
            }
        }
        for (std::size_t k = first; k < line.tokens.size(); ++k) {
            if (auto birthday = dated[k] ? std::nullopt : ordinalBirthday(line, k)) {
                return option(*birthday, li);
            }
            if (eventNoun(k)) {
                return option(phraseAround(line, dated, k), li);
            }
        }
    }
    return std::nullopt;
}

// "Can you pick Gran up from the station on Friday?" gives "pick Gran up from the station";
// "Quick reminder that our quarterly all-hands is next Wednesday" gives "quarterly all-hands".
std::optional<std::string> TitlePicker::clauseTitle(const Candidate& c) const {
    if (auto own = clauseBefore(c.line, c.begin)) {
        return own->text;
    }
    const Line& line = m_text.lines[c.line];
    // "Right, Sunday walk is on": a weekday that qualifies the event's name begins it.
    if (c.relative && c.end == c.begin + 1 && line.tokens[c.begin].capital) {
        std::size_t end = c.end;
        while (end < line.tokens.size() && end < c.end + 3 && line.tokens[end].isWord() &&
               !Vocabulary::isClauseWord(line.tokens[end].key) && !stopsName(line.tokens[end])) {
            ++end;
        }
        if (end > c.end && end < line.tokens.size() && line.tokens[end].isWord() &&
            Vocabulary::isClauseWord(line.tokens[end].key)) {
            return std::string(line.span(c.begin, end));
        }
    }
    // A row of a list without a name of its own is what the line that opens the list says of
    // every row: "Unsere Kita bleibt an folgenden Tagen geschlossen:".
    for (std::size_t li = c.line; li-- > 0 && li + 2 * kNearby >= c.line;) {
        const Line& line = m_text.lines[li];
        if (line.block != m_text.lines[c.line].block || line.tokens.empty()) {
            break;
        }
        if (line.tokens.back().isSymbol(":") && m_text.facts[li].dates.empty()) {
            const auto intro = clauseBefore(li, line.tokens.size() - 1);
            return intro && intro->closure ? std::optional(intro->text) : std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<std::string> TitlePicker::subjectAfterDay(const Candidate& c) const {
    if (!m_localeId.starts_with("de")) {
        return std::nullopt;
    }
    const Line& line = m_text.lines[c.line];
    const auto& tokens = line.tokens;
    // The day opens the sentence ...
    for (std::size_t k = 0; k < c.begin; ++k) {
        if (tokens[k].isSymbol(".") || tokens[k].isSymbol("!") || tokens[k].isSymbol("?")) {
            if (k + 1 < c.begin) {
                return std::nullopt;
            }
        } else if (!isWordIn(&tokens[k], {"am", "an", "ab", "fur", "diesen", "kommenden"})) {
            return std::nullopt;
        }
    }
    // ... then the verb, written small, and its subject with its article: the nouns, written
    // with capitals.
    std::size_t k = c.end;
    while (k < tokens.size() && tokens[k].isSymbol(",")) {
        ++k;
    }
    if (k >= tokens.size() || !tokens[k].isWord() || tokens[k].capital) {
        return std::nullopt;
    }
    ++k;
    const auto article = [&tokens](std::size_t at) {
        return at < tokens.size() && tokens[at].isWord() && !tokens[at].capital &&
               isWordIn(&tokens[at], {"der", "die", "das", "ein", "eine", "unser", "unsere", "euer",
                                      "eure", "ihr", "ihre"});
    };
    // A place may stand between the verb and the subject: "findet in Ihrer Straße die
    // Sperrmüllabfuhr statt", "findet im Gemeindesaal unser Basar statt".
    if (k < tokens.size() &&
        isWordIn(&tokens[k], {"in", "im", "auf", "bei", "beim", "an", "vor", "hinter", "neben"})) {
        std::size_t j = k + 1;
        while (j < tokens.size() && tokens[j].isWord() &&
               isWordIn(&tokens[j], {"der", "dem", "den", "ihrer", "ihrem", "unserer", "unserem",
                                     "eurer", "eurem"})) {
            ++j;
        }
        while (j < tokens.size() && tokens[j].isWord() && tokens[j].capital) {
            ++j;
        }
        if (j > k + 1 && article(j)) {
            k = j;
        }
    }
    while (article(k)) {
        ++k;
    }
    std::size_t end = k;
    while (end < tokens.size() && tokens[end].isWord() && tokens[end].capital && end < k + 3) {
        ++end;
    }
    // "Am Donnerstag ist unser Schulzimmer … offen": a room opened names where, not what; "am
    // Mittwoch sind Sie herzlich eingeladen" names whom.
    if (end == k || Vocabulary::isVenueWord(tokens[end - 1].key) ||
        isWordIn(&tokens[k], {"sie", "wir", "ihr", "es", "man", "er", "du"})) {
        return std::nullopt;
    }
    return std::string(line.span(k, end));
}

std::optional<TitlePicker::Clause> TitlePicker::clauseBefore(std::size_t li,
                                                             std::size_t limit) const {
    const Line& line = m_text.lines[li];
    const LineFacts& facts = m_text.facts[li];
    const Candidate c{.line = li, .begin = limit};
    // The words before a list's closing colon read as a label; they are the clause.
    std::size_t begin = facts.labelEnd <= limit ? facts.labelEnd : 0;
    for (std::size_t k = begin; k < c.begin; ++k) {
        if (endsSentence(line, k)) {
            begin = k + 1;
        }
    }
    // A word set off by a comma opens the sentence rather than naming anything: "Right, ...",
    // "Tom, ...", "Alors, ...".
    if (begin + 2 <= c.begin && line.tokens[begin].isWord() &&
        line.tokens[begin + 1].isSymbol(",")) {
        begin += 2;
    }
    while (begin < c.begin &&
           (!line.tokens[begin].isWord() || stopsName(line.tokens[begin]) ||
            isWordIn(&line.tokens[begin], {"quick", "just", "do", "remember", "still", "also", "so",
                                           "donc", "alors", "bref"}))) {
        ++begin;
    }
    // "Who's up for Rattlesnake Ledge on Sunday?", "anyone up for tennis", "Wer hat Bock auf
    // Grillen?", "qui est partant pour un ciné ?": what is asked for.
    for (std::size_t k = begin; k + 2 < c.begin && k < begin + 3; ++k) {
        const bool asks =
            (line.tokens[k].isWord("up") && line.tokens[k + 1].isWord("for")) ||
            (isWordIn(&line.tokens[k], {"lust", "bock"}) && line.tokens[k + 1].isWord("auf")) ||
            (isWordIn(&line.tokens[k], {"partant", "partants", "chaud", "chauds"}) &&
             line.tokens[k + 1].isWord("pour"));
        if (asks &&
            std::all_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(begin),
                        line.tokens.begin() + static_cast<std::ptrdiff_t>(k), [](const Token& t) {
                            return isWordIn(&t, {"who's", "whos", "who", "is", "anyone", "anybody",
                                                 "everyone", "else", "wer", "hat", "jemand", "habt",
                                                 "ihr", "qui", "est", "quelqu'un", "des"});
                        })) {
            begin = k + 2;
            break;
        }
    }
    // "there is no school on Friday": what there is, without the words that say so.
    if (begin + 2 < c.begin && isWordIn(&line.tokens[begin], {"there"}) &&
        isWordIn(&line.tokens[begin + 1], {"is", "are", "will"})) {
        begin +=
            line.tokens[begin + 1].key == "will" && isWordIn(line.at(begin + 2), {"be"}) ? 3 : 2;
    }
    // A clause ends before its verb or pronoun, but not inside a compound ("rendez-vous").
    std::size_t end = begin;
    while (end < c.begin &&
           !(line.tokens[end].isWord() && !line.tokens[end].joined &&
             Vocabulary::isClauseWord(line.tokens[end].key)) &&
           !line.tokens[end].isSymbol(",") && !line.tokens[end].isSymbol("?")) {
        ++end;
    }
    while (end > begin && stopsName(line.tokens[end - 1]) && !line.tokens[end - 1].capital &&
           !line.tokens[end - 1].isNumber()) {
        --end;
    }
    const std::size_t words = end - begin;
    if (words == 0 || words > 7) {
        return std::nullopt;
    }
    // "Am Faschingsdienstag, 9. Februar": a day's own name, a German compound of its weekday,
    // names no event.
    if (words == 1 && line.tokens[begin].isWord()) {
        const std::string& key = line.tokens[begin].key;
        for (const std::string_view day :
             {"montag", "dienstag", "mittwoch", "donnerstag", "freitag", "samstag", "sonntag"}) {
            if (key.size() > day.size() + 2 && key.ends_with(day)) {
                return std::nullopt;
            }
        }
    }
    // "in St. Colman's Church on Thursday": a venue after its preposition is where, not what.
    std::size_t lead = begin;
    while (lead > 0 && isWordIn(&line.tokens[lead - 1], {"the", "der", "die", "das", "le", "la"})) {
        --lead;
    }
    if (lead > 0 &&
        isWordIn(&line.tokens[lead - 1], {"in", "at", "im", "bei", "dans", "au", "a"}) &&
        hasVenueWord(line, begin, end)) {
        return std::nullopt;
    }
    // "the office will be closed on Friday" is a day the office is closed.
    for (std::size_t k = end; k < c.begin; ++k) {
        if (line.tokens[k].isWord() && Vocabulary::isClosedWord(line.tokens[k].key)) {
            return Clause{std::string(line.span(begin, end)) + " " +
                              std::string(line.slice(line.tokens[k].begin, line.tokens[k].end)),
                          true};
        }
    }
    return Clause{std::string(line.span(begin, end)), false};
}

std::optional<std::string> TitlePicker::dueTitle(const Candidate& c) const {
    const Line& line = m_text.lines[c.line];
    const auto obligation = obligationBefore(line, c.begin);
    if (!obligation) {
        return std::nullopt;
    }
    // The subject of the sentence, without its article: "The write-up", "Completed forms".
    std::size_t begin = *obligation;
    const auto ends = [](const Token& t) {
        return t.isSymbol(".") || t.isSymbol("!") || t.isSymbol("?") || t.isSymbol(")") ||
               t.isSymbol(":") || t.isSymbol(",");
    };
    while (begin > 0 && !ends(line.tokens[begin - 1])) {
        --begin;
    }
    while (begin < *obligation &&
           (!line.tokens[begin].isWord() ||
            isWordIn(&line.tokens[begin], {"the", "your", "our", "all", "die", "der", "das", "ihre",
                                           "eure", "le", "la", "les", "vos", "votre"}))) {
        ++begin;
    }
    const std::size_t words = wordCount(line, Segment{.begin = begin, .end = *obligation});
    if (words == 0 || words > 5) {
        return std::nullopt;
    }
    const std::string subject(line.span(begin, *obligation));
    if (m_localeId.starts_with("de")) {
        return "Abgabe " + subject;
    }
    if (m_localeId.starts_with("fr")) {
        return subject + " à rendre";
    }
    return subject + " due";
}

// "Year 4 will be visiting the Natural History Museum on Wednesday": a trip to the place visited.
std::optional<std::string> TitlePicker::tripTitle(const Candidate& c) const {
    const Line& line = m_text.lines[c.line];
    const bool visits = std::any_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
        return isWordIn(&t, {"visiting", "visit"});
    });
    const auto at = m_venue.empty() ? std::string::npos : line.text.find(m_venue);
    if (!visits || at == std::string::npos) {
        return std::nullopt;
    }
    const bool article = std::string_view(line.text).substr(0, at).ends_with("the ");
    return "Trip to " + std::string(article ? "the " : "") + m_venue;
}

std::string TitlePicker::phraseAround(const Line& line, const std::vector<bool>& dated,
                                      std::size_t noun) const {
    const auto& tokens = line.tokens;
    std::size_t begin = noun;
    // Back over what qualifies it: "Pub quiz", "new Pixar movie", "6th birthday party".
    while (begin > 0 && !dated[begin - 1]) {
        const Token& t = tokens[begin - 1];
        const bool ordinal = t.isWord() && !t.spaced && begin >= 2 && tokens[begin - 2].isNumber();
        if (ordinal) {
            begin -= 2;
            continue;
        }
        // "Year 6 residential", "Klasse 4 Ausflug": whose class it is, by its number.
        const bool classNumber = t.isNumber() && t.value < 20 && begin >= 2 && !dated[begin - 2] &&
                                 tokens[begin - 2].isWord() && tokens[begin - 2].capital &&
                                 isWordIn(&tokens[begin - 2], {"year", "class", "grade", "klasse",
                                                               "jahrgang", "classe"});
        if (classNumber) {
            begin -= 2;
            continue;
        }
        // "parent–teacher meeting": a dash inside a compound joins its words.
        const bool joined = t.isSymbol("-") && !t.spaced && begin >= 2 &&
                            tokens[begin - 2].isWord() && !tokens[begin].spaced;
        if (joined) {
            begin -= 2;
            continue;
        }
        // "Parents' evening": a plural's apostrophe joins it to the event it owns.
        const bool owner = t.isSymbol("'") && !t.spaced && begin >= 2 &&
                           tokens[begin - 2].isWord() && tokens[begin - 2].key.ends_with("s");
        if (owner) {
            begin -= 2;
            continue;
        }
        if (stopsName(t) || isSeriesOrdinal(t) || isPeriodPossessive(t)) {
            break;
        }
        --begin;
    }
    std::size_t end = noun + 1;
    // "in-service day", "training weekend", "Spieltag": what kind of day it is goes with it.
    while (
        end < tokens.size() && !dated[end] && tokens[end].isWord() &&
        (Vocabulary::isEventNoun(tokens[end].key) ||
         isWordIn(&tokens[end], {"day", "days", "weekend", "evening", "morning", "afternoon"}))) {
        ++end;
    }
    // "the service design workshop": a word for an event may only qualify the one a word or two
    // later, which ends the compound.
    for (std::size_t k = end; k < tokens.size() && k < end + 2; ++k) {
        const Token& t = tokens[k];
        if (dated[k] || !t.isWord() || t.capital || Vocabulary::isClauseWord(t.key) ||
            stopsName(t)) {
            break;
        }
        const Token* head = line.at(k + 1);
        if (head && !dated[k + 1] && head->isWord() && !head->capital &&
            Vocabulary::isEventNoun(head->key)) {
            end = k + 2;
            break;
        }
    }
    // "assemblée générale ordinaire", "réunion annuelle": in French what kind of meeting it is
    // follows the noun.
    while (end < tokens.size() && !dated[end] &&
           isWordIn(&tokens[end], {"generale", "generales", "annuelle", "annuel", "ordinaire",
                                   "extraordinaire", "pleniere", "constitutive"})) {
        ++end;
    }
    // 'our free webinar "Cloud Costs Under Control"': the name in quotes goes with its kind.
    const auto opens = [](const Token& t) {
        return t.isSymbol("\"") || t.isSymbol("\u201C") || t.isSymbol("\u201E") ||
               t.isSymbol("\u00AB");
    };
    const auto closes = [](const Token& t) {
        return t.isSymbol("\"") || t.isSymbol("\u201D") || t.isSymbol("\u201C") ||
               t.isSymbol("\u00BB");
    };
    if (end < tokens.size() && opens(tokens[end])) {
        for (std::size_t k = end + 1; k < tokens.size() && k < end + 12; ++k) {
            if (closes(tokens[k])) {
                end = k + 1;
                break;
            }
        }
    }
    // "conseil d'école", "fête d'été": an elided "de" joins its word.
    if (end < tokens.size() && tokens[end].isWord() && tokens[end].key.starts_with("d'") &&
        tokens[end].key.size() > 2) {
        ++end;
    }
    // "... for the stats final", "... with Dr. Hannah Ross", "... de rentrée de la classe de
    // CE2", "Termin zur Vorsorgeuntersuchung", "game vs the Hornets"
    if (end + 1 < tokens.size() && tokens[end].isWord() &&
        isWordIn(&tokens[end], {"for", "of", "with", "de", "du", "zur", "zum", "fur", "bei", "chez",
                                "vs", "v", "versus", "against", "gegen", "contre"})) {
        // An opponent is a name: "match against Kingsmead starts at 4" ends before "starts".
        const bool opponent =
            isWordIn(&tokens[end], {"vs", "v", "versus", "against", "gegen", "contre"});
        std::size_t more = end + 1;
        while (more < tokens.size() && more < end + 9 && !dated[more] &&
               ((tokens[more].isWord() && !Vocabulary::isClauseWord(tokens[more].key) &&
                 (tokens[more].capital || tokens[more].key == "the" ||
                  (!opponent && (!stopsName(tokens[more]) || tokens[more].key == "la" ||
                                 tokens[more].key == "de")))) ||
                tokens[more].isNumber() || (tokens[more].isSymbol(".") && !tokens[more].spaced))) {
            ++more;
        }
        while (more > end + 1 && (stopsName(tokens[more - 1]) && !tokens[more - 1].capital &&
                                  !tokens[more - 1].isNumber())) {
            --more;
        }
        const bool period =
            std::any_of(tokens.begin() + static_cast<std::ptrdiff_t>(end + 1),
                        tokens.begin() + static_cast<std::ptrdiff_t>(more), namesPeriod);
        if (more > end + 1 && !period) {
            end = more;
            // "Termin zur Inspektion und zum Reifenwechsel": a second name joined on the same way.
            if (end + 2 < tokens.size() && !dated[end + 2] &&
                isWordIn(&tokens[end], {"and", "und", "et"}) &&
                isWordIn(&tokens[end + 1],
                         {"for", "of", "with", "de", "du", "zur", "zum", "fur"}) &&
                tokens[end + 2].isWord() && tokens[end + 2].capital) {
                end += 3;
                while (end < tokens.size() && !dated[end] && tokens[end].isWord() &&
                       tokens[end].capital) {
                    ++end;
                }
            }
        }
    }
    std::string name(line.span(begin, end));
    // "l'assemblée générale" is entered as "Assemblée générale".
    if (tokens[begin].key.starts_with("l'") && tokens[begin].key.size() > 2) {
        const std::size_t apostrophe = name.starts_with("l\u2019") || name.starts_with("L\u2019")
                                           ? std::string_view("\u2019").size()
                                           : 1;
        name.erase(0, 1 + apostrophe);
    }
    // "Leo is having his 6th birthday party": Leo's.
    if (begin > 0 && tokens[begin - 1].isWord() &&
        (tokens[begin - 1].key == "his" || tokens[begin - 1].key == "her" ||
         tokens[begin - 1].key == "their")) {
        for (std::size_t k = begin - 1; k-- > 0;) {
            const Token& t = tokens[k];
            if (t.isSymbol(".") || t.isSymbol("!") || t.isSymbol("?")) {
                break;
            }
            if (t.isWord() && t.capital && !Vocabulary::isGreeting(t.key) && t.key != "i" &&
                !Vocabulary::isFiller(t.key) && t.key.find('\'') == std::string::npos) {
                // "Sarah and James ... their wedding": the couple's.
                std::size_t first = k;
                if (tokens[begin - 1].key == "their" && k >= 2 &&
                    (tokens[k - 1].isWord("and") || tokens[k - 1].isSymbol("&")) &&
                    tokens[k - 2].isWord() && tokens[k - 2].capital) {
                    first = k - 2;
                }
                name = std::string(line.span(first, k + 1)) + "'s " + name;
                break;
            }
        }
    }
    return name;
}

} // namespace plannery::reader
