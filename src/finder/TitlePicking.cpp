#include "finder/TitlePicking.h"

#include "finder/AddressReading.h"
#include "finder/FinderText.h"
#include "finder/HeadingShapes.h"
#include "finder/LineSegments.h"
#include "finder/ReaderVocabulary.h"
#include "model/CalEvent.h"

#include <algorithm>
#include <set>

namespace plannery::reader {

namespace {

// Below this a line's text names an event worse than the words around the event in its sentence.
constexpr int kUsable = 8;
// An event on a line of its own in a list or schedule is named on that line.
constexpr int kOwnLine = 20;
constexpr std::size_t kLongestTitle = 9; // words
constexpr std::size_t kWholeLine = 8;    // a heading this short is taken whole
// An event named in the sentence that gives its day, or in one of the lines just above.
constexpr int kOwnSentence = 15;
constexpr std::size_t kNearby = 3;

bool anyToken(const Line& line, std::size_t begin, std::size_t end, auto test) {
    return std::any_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(begin),
                       line.tokens.begin() + static_cast<std::ptrdiff_t>(end), test);
}

bool isProse(const Line& line, const Segment& s) {
    return anyToken(line, s.begin, s.end,
                    [](const Token& t) { return t.isWord() && Vocabulary::isClauseWord(t.key); });
}

bool hasEventNoun(const Line& line, std::size_t begin, std::size_t end) {
    return anyToken(line, begin, end,
                    [](const Token& t) { return t.isWord() && Vocabulary::isEventNoun(t.key); });
}

// "with Dr. Morales", "from 8pm": a piece that goes on from something else.
bool isPreposition(const Token& t) {
    static const std::set<std::string_view> articles = {"the", "a",   "an",  "le",  "la",
                                                        "les", "der", "die", "das", "den"};
    return t.isWord() &&
           (t.key == "with" || (Vocabulary::isFiller(t.key) && !articles.count(t.key)));
}

// Part of a sentence rather than a name: beginning in lower case ("live at Hideaway Lounge"),
// running into the day ("Just confirming the photo shoot on") or broken off after a word that
// leads on ("Practice moved to", where a line was wrapped).
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

// "Party of 4", "Table for 2", "Tisch für 6": the size of a booking, not an event's name.
bool isGroupSize(const Line& line, std::size_t k) {
    return isWordIn(line.at(k), {"party", "table", "group", "tisch"}) &&
           isWordIn(line.at(k + 1), {"of", "for", "fur", "pour"}) && line.at(k + 2) &&
           line.at(k + 2)->isNumber();
}

bool isNumbered(const Line& line) {
    return line.tokens.size() >= 3 && line.tokens[0].isNumber() && line.tokens[0].value < 100 &&
           (line.tokens[1].isSymbol(".") || line.tokens[1].isSymbol(")")) &&
           !line.tokens[1].spaced && line.tokens[2].isWord();
}

// "3. Klassenfahrt im Frühjahr" among other numbered lines: a point of a list (an agenda's), not
// the heading of the text; a name such as "1. FC Köln" stands alone.
bool isListItem(const std::vector<Line>& lines, std::size_t li) {
    return isNumbered(lines[li]) && ((li > 0 && isNumbered(lines[li - 1])) ||
                                     (li + 1 < lines.size() && isNumbered(lines[li + 1])));
}

bool isAddress(const Line& line, const Segment& s) {
    for (std::size_t k = s.begin; k < s.end; ++k) {
        if (Addresses::startsAt(line, k)) {
            return true;
        }
    }
    return false;
}

// Words a name in a sentence does not run over.
bool stopsName(const Token& t) {
    static const std::set<std::string_view> words = {
        "the", "a", "an", "un", "une", "le", "la", "les", "der", "die", "das", "ein", "eine", "my",
        "your", "his", "her", "their", "our", "to", "at", "on", "in", "from", "and", "et", "und",
        "for", "of", "with", "de", "du", "zum", "zur", "see", "grab", "get", "join", "come", "free",
        "forget", "moved", "booked", "wanna", "want", "confirming", "reminder", "back", "due", "au",
        "aux", "a", "en", "par", "pour", "avec", "chez", "sur", "dans", "im", "am", "beim", "its",
        // "next" says when, not what: "unser nächstes Teammeeting"
        "next", "nachste", "nachstes", "nachsten", "prochain", "prochaine",
        // Whose it is says nothing of what it is: "Ihren Termin", "votre rendez-vous".
        "ihren", "ihrem", "dein", "deinen", "deinem", "votre", "vos", "ton", "ta", "mon", "ma"};
    return !t.isWord() || Vocabulary::isClauseWord(t.key) || Vocabulary::isGreeting(t.key) ||
           words.count(t.key) > 0;
}

// "zum ersten Elternabend", "le premier conseil d'école": which of a series, not what it is (unlike
// a capitalised "First Communion").
bool isSeriesOrdinal(const Token& t) {
    return !t.capital &&
           isWordIn(&t, {"first", "erste", "ersten", "erster", "erstes", "premier", "premiere"});
}

// "de l'année", "des Schuljahres", "of the season": the time an event falls in, not its name.
bool namesPeriod(const Token& t) {
    return isWordIn(&t, {"year", "season", "term", "semester", "annee", "saison", "trimestre",
                         "jahres", "schuljahres", "semesters", "l'annee"});
}

} // namespace

std::string normalCapitalisation(const std::string& title) {
    if (FinderText::letterCount(title) >= 4 && FinderText::isAllCaps(title)) {
        return FinderText::capitalizeWords(title);
    }
    // A long word in capitals among others ("SPORTFEST der Grundschule"); short ones are
    // abbreviations ("GCSE", "NASA").
    std::string out;
    std::size_t begin = 0;
    while (begin <= title.size()) {
        auto end = title.find(' ', begin);
        if (end == std::string::npos) {
            end = title.size();
        }
        const std::string word = title.substr(begin, end - begin);
        const bool shout = FinderText::letterCount(word) >= 6 && FinderText::isAllCaps(word);
        out += (begin == 0 ? "" : " ") + (shout ? FinderText::capitalizeWords(word) : word);
        begin = end + 1;
    }
    // A fixture's "v Hillcrest School" keeps its small "v" for versus.
    const bool versus = out.starts_with("v ") || out.starts_with("vs ") || out.starts_with("vs. ");
    return versus ? out : FinderText::capitalizeFirst(out);
}

TitlePicker::TitlePicker(const TextFacts& text, const std::vector<Candidate>& candidates,
                         const std::string& localeId, std::string venue)
    : m_text(text), m_localeId(localeId), m_venue(std::move(venue)) {
    std::set<std::size_t> lines;
    for (const Candidate& c : candidates) {
        lines.insert(c.line);
    }
    m_manyLines = lines.size() >= 2;
    m_firstEventLine = candidates.empty() ? 0 : candidates.front().line;
    // A letter's sign-off and what follows it (the sender's name) name no event.
    m_signature = m_text.lines.size();
    for (std::size_t li = 1; li < m_text.lines.size(); ++li) {
        const Line& line = m_text.lines[li];
        if (!line.tokens.empty() && line.tokens[0].isWord() &&
            Vocabulary::isClosing(line.tokens[0].key) && line.tokens.size() <= 4) {
            m_signature = li;
            break;
        }
    }
    // A letter that opens with a greeting ends with its sender, even without a closing word:
    // "Chers parents, ..." ends "La maîtresse", "Dear all, ..." ends "The PTA".
    const auto& all = m_text.lines;
    if (m_signature == all.size() && all.size() >= 3 && !all.front().tokens.empty() &&
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
        const bool undated = std::all_of(
            m_text.facts.begin() + static_cast<std::ptrdiff_t>(first), m_text.facts.end(),
            [](const LineFacts& f) { return f.dates.empty() && f.times.empty(); });
        if (short_ && undated) {
            m_signature = first;
        }
    }
    // In a list, a row's name is its own, not the heading of the other rows.
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        if (m_manyLines && lines.count(li) > 0) {
            continue;
        }
        if (auto option = lineOption(li, false);
            option && (!m_heading || option->score > m_heading->score)) {
            m_heading = option;
        }
    }
}

std::optional<TitlePicker::Option> TitlePicker::lineOption(std::size_t li, bool own) const {
    const Line& line = m_text.lines[li];
    const LineFacts& facts = m_text.facts[li];
    const bool titled = Vocabulary::isTitleLabel(facts.label);
    if ((m_text.header[li] && !titled) || Vocabulary::isDetailLabel(facts.label) ||
        Vocabulary::isPlaceLabel(facts.label) || facts.speaker ||
        (!own && (li >= m_signature || Addresses::inLine(line) || namesAddress(li)))) {
        return std::nullopt;
    }
    // A line that ends in a comma is a letter's salutation ("Madame, Monsieur,", "Dear Parents
    // and Carers,") or a sentence that goes on below, not a heading.
    if (!own && !line.tokens.empty() && line.tokens.back().isSymbol(",")) {
        return std::nullopt;
    }
    // A lone word called out ("ROAR!", "Surprise!") cheers the reader on rather than naming the
    // event, unless it is one ("PARTY!").
    const auto words = std::count_if(line.tokens.begin(), line.tokens.end(),
                                     [](const Token& t) { return t.isWord(); });
    const bool called = std::any_of(line.tokens.begin(), line.tokens.end(),
                                    [](const Token& t) { return t.isSymbol("!"); });
    if (!own && words == 1 && called && !hasEventNoun(line, 0, line.tokens.size())) {
        return std::nullopt;
    }
    if (!own) {
        if (auto birthday = turningAge(line)) {
            return Option{*birthday, 10 - 2 * static_cast<int>(std::min<std::size_t>(li, 8)) + 12};
        }
    }
    if (isColumnHeads(line) || sectionLabel(line) || (!own && isListItem(m_text.lines, li))) {
        return std::nullopt;
    }
    const auto segments = freeSegments(line, facts);
    bool skippedGeneric = false; // "Timed Entry Ticket – General Admission" is a weak heading
    for (const Segment& piece : segments) {
        Segment s = piece;
        // The name below an announcing heading, without the words that join it on.
        if (!own && li > 0 && &piece == &segments.front() && onlyAnnounces(m_text.lines[li - 1])) {
            while (s.begin + 1 < s.end &&
                   isWordIn(&line.tokens[s.begin], {"zur", "zum", "zu", "to", "the", "our", "a",
                                                    "an", "au", "a", "la", "le", "l'", "notre"})) {
                ++s.begin;
            }
        }
        if (s.label || !hasSubstance(line, s, m_localeId) || isAddress(line, s) ||
            anyToken(line, s.begin, s.end, [](const Token& t) { return t.isLink(); })) {
            continue;
        }
        // A heading has a word of three or more letters: "Ee" or "OO EE" is what a recogniser
        // made of a picture or a smudge.
        if (!own && !anyToken(line, s.begin, s.end, [&line](const Token& t) {
                return t.isWord() && FinderText::letterCount(line.slice(t.begin, t.end)) >= 3;
            })) {
            continue;
        }
        const Token& first = line.tokens[s.begin];
        // "Right, Sunday walk is on": a word set off by a comma opens a sentence.
        const bool opener = wordCount(line, s) == 1 && s.end < line.tokens.size() &&
                            line.tokens[s.end].isSymbol(",") &&
                            anyToken(line, s.end, line.tokens.size(), [](const Token& t) {
                                return t.isWord() && Vocabulary::isClauseWord(t.key);
                            });
        // "Welcome to our Open Day!" is no sentence once its lead-in is left out.
        const Segment named{.begin = afterLeadIn(line, s), .end = s.end};
        // "the graduation of" over "Sophia Martinez": a card sets whose event it is below.
        const auto whose = !own && s.end == line.tokens.size() && hasEventNoun(line, s.begin, s.end)
                               ? nameBelow(m_text.lines, li)
                               : std::nullopt;
        if (opener || Vocabulary::isGreeting(line.tokens[named.begin].key) ||
            isPreposition(first) || isProse(line, named) || (isFragment(line, s) && !whose) ||
            (own && s.label)) {
            return std::nullopt;
        }
        // "Thanks for booking with Desert Sun Car Rental": only the name after the thanks counts,
        // not the "booking" they mention.
        if (Vocabulary::isGreeting(first.key)) {
            s.begin = named.begin;
        }
        // "2 adultes", "3 bed": a count, not a name.
        if (first.isNumber() && s.begin + 1 < s.end && line.tokens[s.begin + 1].isWord() &&
            !line.tokens[s.begin + 1].capital) {
            return std::nullopt;
        }
        if (s.end - s.begin == 3 && isGroupSize(line, s.begin)) {
            return std::nullopt;
        }
        // "Musée d'Orsay – Billet daté": the piece that is no generic heading names it.
        const bool genericPiece = anyToken(line, s.begin, s.end, [](const Token& t) {
            return t.isWord() && Vocabulary::isGenericHeadingWord(t.key);
        });
        if (genericPiece && !titled && &piece != &segments.back()) {
            skippedGeneric = true;
            continue;
        }
        if (titled) {
            // "Subject: Interview confirmation – Senior Data Analyst" up to a remark ("– sign up
            // now") or the day ("@ Wed May 20").
            for (std::size_t k = s.end; k < line.tokens.size(); ++k) {
                const Token& t = line.tokens[k];
                const bool remark = t.isSymbol("-") && k + 1 < line.tokens.size() &&
                                    line.tokens[k + 1].isWord() && !line.tokens[k + 1].capital;
                if (t.isSymbol("@") || t.isSymbol("(") || remark ||
                    std::any_of(facts.dates.begin(), facts.dates.end(),
                                [k](const DateMention& d) { return d.begin == k; })) {
                    break;
                }
                s.end = k + 1;
            }
        } else if (facts.dates.empty() && facts.times.empty() && segments.size() > 1 &&
                   wordCount(line, Segment{.begin = s.begin, .end = segments.back().end}) <=
                       kWholeLine) {
            // "Intro to Pottery – Taster Workshop", without a remark in parentheses ("(12A)") or
            // a generic piece ("– Billet daté").
            for (const Segment& next : segments) {
                const bool genericPiece = anyToken(line, next.begin, next.end, [](const Token& t) {
                    return t.isWord() && Vocabulary::isGenericHeadingWord(t.key);
                });
                if (genericPiece) {
                    break;
                }
                if (next.begin > s.begin && !line.tokens[next.begin - 1].isSymbol("(")) {
                    s.end = next.end;
                }
            }
        }
        const std::size_t words = wordCount(line, s);
        if (words > kLongestTitle + 3) {
            return std::nullopt;
        }
        // Headings come first; an event's own line is judged without regard to where it stands.
        int score = 10 - (own ? 0 : 2 * static_cast<int>(std::min<std::size_t>(li, 8)));
        score += titled ? 50 : 0;
        bool generic = false;
        bool capitals = true;
        int capitalised = 0;
        for (std::size_t k = s.begin; k < s.end; ++k) {
            const Token& t = line.tokens[k];
            if (t.isWord()) {
                generic = generic || Vocabulary::isGenericHeadingWord(t.key);
                capitals = capitals && (t.allCaps || t.key.size() < 2);
                capitalised += t.capital ? 1 : 0;
            }
        }
        score -= generic && !titled ? 30 : 0;
        if (capitals && FinderText::letterCount(line.span(s.begin, s.end)) >= 4) {
            score += 6;
        } else if (capitalised * 2 >= static_cast<int>(words)) {
            score += 4;
        }
        const bool eventNoun = hasEventNoun(line, s.begin, s.end);
        score += eventNoun ? 8 : 0;
        // A letterhead over the salutation ("Kita Sonnenschein" over "Liebe Eltern,", "École
        // Jules Ferry" over "Madame, Monsieur,") names who writes, not the event.
        const bool institution = anyToken(line, s.begin, s.end, [](const Token& t) {
            return t.isWord() && Vocabulary::isVenueWord(t.key);
        });
        if (!own && institution && !eventNoun && !titled && li + 1 < m_text.lines.size() &&
            isSalutation(m_text.lines[li + 1])) {
            return std::nullopt;
        }
        // So does a school's or club's name beside the kind of page that lists several events
        // ("Maple Grove Middle School — Weekly Update", "Westfield Academy — Netball Fixtures").
        const bool besideGeneric =
            std::any_of(segments.begin(), segments.end(), [&](const Segment& other) {
                return &other != &piece &&
                       anyToken(line, other.begin, other.end, [](const Token& t) {
                           return t.isWord() && Vocabulary::isGenericHeadingWord(t.key);
                       });
            });
        if (!own && institution && !eventNoun && !titled && besideGeneric && m_manyLines) {
            return std::nullopt;
        }
        // "Portsmouth → Fishbourne" (or "Portsmouth > Fishbourne", as recognisers read arrows): a
        // route names the trip, more than the carrier's name does.
        const bool route = anyToken(line, s.begin, s.end, [](const Token& t) {
            return t.isSymbol("→") || t.isSymbol(">");
        });
        score += route ? 8 : 0;
        score += words <= 8 ? 4 : 0;
        score -= skippedGeneric ? 6 : 0;
        score -= !facts.dates.empty() || !facts.times.empty() ? 6 : 0;
        score += li + 1 == m_firstEventLine ? 3 : 0;
        if (whose && line.tokens[s.begin].isWord("the")) {
            ++s.begin;
        }
        std::string text = segmentText(line, s);
        if (whose) {
            text += " " + *whose;
        }
        if (auto partner =
                !own && s.end == line.tokens.size() ? joinedName(m_text.lines, li) : std::nullopt) {
            text += " & " + *partner;
        }
        if (auto act = !own && isWordIn(&line.tokens[s.end - 1], {"tour", "tournee"})
                           ? actAbove(li)
                           : std::nullopt) {
            text = *act + " – " + text;
        }
        return Option{text, score};
    }
    return std::nullopt;
}

std::optional<TitlePicker::Option> TitlePicker::sentenceOption(const Candidate& c) const {
    // The event named near the day: "are you free for dinner on friday?", "Pub quiz is back".
    for (std::size_t li = c.line + 1; li-- > 0 && li + kNearby >= c.line;) {
        const Line& line = m_text.lines[li];
        const LineFacts& facts = m_text.facts[li];
        if (li >= m_signature) {
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
        for (std::size_t k = skipLabel ? facts.labelEnd : 0; k < line.tokens.size(); ++k) {
            if (auto birthday = dated[k] ? std::nullopt : ordinalBirthday(line, k)) {
                return Option{*birthday, li == c.line ? kOwnSentence : kUsable + 1};
            }
            if (dated[k] || !line.tokens[k].isWord() ||
                !Vocabulary::isEventNoun(line.tokens[k].key) || isGroupSize(line, k)) {
                continue;
            }
            return Option{phraseAround(line, dated, k), li == c.line ? kOwnSentence : kUsable + 1};
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
    // "Right, Sunday walk is on": a weekday that qualifies the event's name begins it.
    const Line& line = m_text.lines[c.line];
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

std::optional<TitlePicker::Clause> TitlePicker::clauseBefore(std::size_t li,
                                                             std::size_t limit) const {
    const Line& line = m_text.lines[li];
    const LineFacts& facts = m_text.facts[li];
    const Candidate c{.line = li, .begin = limit};
    // The words before a list's closing colon read as a label; they are the clause.
    std::size_t begin = facts.labelEnd <= limit ? facts.labelEnd : 0;
    for (std::size_t k = begin; k < c.begin; ++k) {
        if (line.tokens[k].isSymbol(".") || line.tokens[k].isSymbol("!") ||
            line.tokens[k].isSymbol("?")) {
            begin = k + 1;
        }
    }
    // A word set off by a comma opens the sentence rather than naming anything: "Right, ...",
    // "Tom, ...", "Alors, ...".
    if (begin + 2 <= c.begin && line.tokens[begin].isWord() &&
        line.tokens[begin + 1].isSymbol(",")) {
        begin += 2;
    }
    while (begin < c.begin && (!line.tokens[begin].isWord() || stopsName(line.tokens[begin]) ||
                               isWordIn(&line.tokens[begin], {"quick", "just", "do", "remember",
                                                              "still", "also", "so"}))) {
        ++begin;
    }
    // "there is no school on Friday": what there is, without the words that say so.
    if (begin + 2 < c.begin && isWordIn(&line.tokens[begin], {"there"}) &&
        isWordIn(&line.tokens[begin + 1], {"is", "are", "will"})) {
        begin +=
            line.tokens[begin + 1].key == "will" && isWordIn(line.at(begin + 2), {"be"}) ? 3 : 2;
    }
    std::size_t end = begin;
    while (end < c.begin &&
           !(line.tokens[end].isWord() && Vocabulary::isClauseWord(line.tokens[end].key)) &&
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
    // "the office will be closed on Friday" is a day the office is closed.
    for (std::size_t k = end; k < c.begin; ++k) {
        if (isWordIn(&line.tokens[k], {"closed", "geschlossen", "ferme", "fermee"})) {
            return Clause{std::string(line.span(begin, end)) + " " +
                              std::string(line.slice(line.tokens[k].begin, line.tokens[k].end)),
                          true};
        }
    }
    return Clause{std::string(line.span(begin, end)), false};
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
        // "parent–teacher meeting": a dash inside a compound joins its words.
        const bool joined = t.isSymbol("-") && !t.spaced && begin >= 2 &&
                            tokens[begin - 2].isWord() && !tokens[begin].spaced;
        if (joined) {
            begin -= 2;
            continue;
        }
        if (stopsName(t) || isSeriesOrdinal(t)) {
            break;
        }
        --begin;
    }
    std::size_t end = noun + 1;
    while (end < tokens.size() && tokens[end].isWord() &&
           Vocabulary::isEventNoun(tokens[end].key)) {
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
    // CE2", "Termin zur Vorsorgeuntersuchung"
    if (end + 1 < tokens.size() && tokens[end].isWord() &&
        isWordIn(&tokens[end],
                 {"for", "of", "with", "de", "du", "zur", "zum", "fur", "bei", "chez"})) {
        std::size_t more = end + 1;
        while (more < tokens.size() && more < end + 9 && !dated[more] &&
               ((tokens[more].isWord() && !Vocabulary::isClauseWord(tokens[more].key) &&
                 (tokens[more].capital || !stopsName(tokens[more]) || tokens[more].key == "the" ||
                  tokens[more].key == "la" || tokens[more].key == "de")) ||
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
        }
    }
    std::string name(line.span(begin, end));
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
                name = std::string(line.slice(t.begin, t.end)) + "'s " + name;
                break;
            }
        }
    }
    return name;
}

// "Arctic Monkeys" over "The Car Tour": a tour is the act's, named on the line above.
std::optional<std::string> TitlePicker::actAbove(std::size_t li) const {
    if (li == 0 || m_text.lines[li - 1].block != m_text.lines[li].block ||
        !m_text.facts[li - 1].dates.empty() || !m_text.facts[li - 1].times.empty() ||
        !m_text.facts[li - 1].label.empty()) {
        return std::nullopt;
    }
    const Line& above = m_text.lines[li - 1];
    const auto words = std::count_if(above.tokens.begin(), above.tokens.end(),
                                     [](const Token& t) { return t.isWord(); });
    const bool name =
        words >= 1 && words <= 4 &&
        std::all_of(above.tokens.begin(), above.tokens.end(), [](const Token& t) {
            return (t.isWord() && t.capital && !Vocabulary::isEventNoun(t.key) &&
                    !Vocabulary::isVenueWord(t.key) && !Vocabulary::isGenericHeadingWord(t.key)) ||
                   t.isSymbol("&") || t.isSymbol("-");
        });
    return name ? std::optional(normalCapitalisation(trimWhiteSpace(above.text))) : std::nullopt;
}

// The venue's name over its address ("Pawsitive Care Animal Hospital" over "2150 Pearl St"): the
// place of the event, not its name.
bool TitlePicker::namesAddress(std::size_t li) const {
    return li + 1 < m_text.lines.size() && m_text.lines[li + 1].block == m_text.lines[li].block &&
           m_text.facts[li].dates.empty() && Addresses::span(m_text.lines[li + 1]) &&
           Addresses::span(m_text.lines[li + 1])->first == 0;
}

std::optional<TitlePicker::Option> TitlePicker::ownOption(const Candidate& c) const {
    auto option = lineOption(c.line, true);
    if (option) {
        option->score += c.session || m_manyLines ? kOwnLine : 0;
    }
    return option;
}

std::string TitlePicker::title(const Candidate& c) const {
    std::optional<Option> best = ownOption(c);
    if (!(c.session && best)) {
        if (m_heading && (!best || m_heading->score > best->score)) {
            best = m_heading;
        }
        if (auto sentence = sentenceOption(c);
            sentence && (!best || sentence->score > best->score)) {
            best = sentence;
        }
        if (!best || best->score < kUsable) {
            if (auto trip = tripTitle(c)) {
                best = Option{*trip, kUsable};
            } else if (auto clause = clauseTitle(c)) {
                best = Option{*clause, kUsable};
            } else if (!m_venue.empty()) {
                best = Option{m_venue, kUsable}; // "Your booking is confirmed at The Harbor Inn"
            }
        }
    }
    return normalCapitalisation(trimWhiteSpace(best ? best->text : m_text.lines[c.line].text));
}

} // namespace plannery::reader
