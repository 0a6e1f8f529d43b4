#include "finder/TextFacts.h"

#include "finder/ChatLayout.h"
#include "finder/DayRemarks.h"
#include "finder/LineJoining.h"
#include "finder/NeighbourRemarks.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace plannery::reader {

namespace {

// Where a chat export's time stamp ends ("[10/08/2026, 09:12] Hannah: ..."); 0 without one.
std::size_t afterStamp(const Line& line) {
    if (line.tokens.empty()) {
        return 0;
    }
    if (line.tokens[0].isSymbol("[")) {
        for (std::size_t i = 1; i < line.tokens.size() && i < 14; ++i) {
            if (line.tokens[i].isSymbol("]")) {
                return i + 1;
            }
        }
        return 0;
    }
    // "09/03/2026, 18:40 - Priya Raman: …", "3/9/26, 6:40 pm - Tom: …": an exported chat's day
    // and time before a dash.
    std::size_t slashes = 0;
    bool clock = false;
    for (std::size_t i = 0; i < line.tokens.size() && i < 14; ++i) {
        const Token& t = line.tokens[i];
        if (t.isSymbol("-") && t.spaced) {
            return slashes >= 2 && clock && i > 0 ? i + 1 : 0;
        }
        slashes += t.isSymbol("/") || t.isSymbol(".") ? 1 : 0;
        clock = clock || t.isSymbol(":");
        if (!t.isNumber() && !t.isSymbol("/") && !t.isSymbol(".") && !t.isSymbol(",") &&
            !t.isSymbol(":") && !isWordIn(&t, {"am", "pm", "a", "p", "m"})) {
            return 0;
        }
    }
    return 0;
}

// "Check-in: ...", "Date of birth: ...": up to four words (joined by spaces or hyphens) before a
// colon at the start of the line, after a chat export's time stamp if there is one; or a label
// the reader knows before a table's column gap ("Check-in      Fri 4 Sep 2026").
struct Label {
    std::string key{};
    std::size_t end = 0;  // the first token after the colon
    bool name = false;    // one to three words, each capitalised: perhaps who wrote a message
    bool stamped = false; // after a time stamp: certainly who wrote the message
};

// "Entsorgung: Das Sperrgut nehmen wir mit", "Cancellation: we refund …": a long word with the
// ending of an abstract noun is a heading, not who wrote the line.
bool namesAnAct(std::string_view key) {
    constexpr std::size_t kShortestAct = 7;
    return key.size() >= kShortestAct &&
           (key.ends_with("ung") || key.ends_with("heit") || key.ends_with("keit") ||
            key.ends_with("schaft") || key.ends_with("tion"));
}

// "🌺" in "Tash 🌺: from 3ish": a picture beside a name in a chat (four bytes of UTF-8: the
// emoji planes, not punctuation).
bool isPicture(const Token& t) {
    return t.isSymbol() && !t.key.empty() && static_cast<unsigned char>(t.key[0]) >= 0xF0;
}

Label labelOf(const Line& line) {
    Label label{.name = true};
    const std::size_t from = afterStamp(line);
    bool bulleted = false;
    std::size_t words = 0;
    for (std::size_t i = from; i < line.tokens.size() && i < from + 8; ++i) {
        const Token& t = line.tokens[i];
        if (t.isSymbol(":")) {
            if (label.key.empty() || (bulleted && !namesOpeningHours(label.key))) {
                return {};
            }
            label.end = i + 1;
            label.name = label.name && words <= 3;
            label.stamped = from > 0;
            return label;
        }
        // "• Club hours: Mon–Fri 05:00–21:00": a list's bullet before a label of hours.
        if (i == from && (t.isSymbol("·") || t.isSymbol("*"))) {
            bulleted = true;
            continue;
        }
        // "Departure      : Tokyo 10:30": labels aligned in a column before their colons.
        if (t.isSymbol("|") && line.at(i + 1) && line.at(i + 1)->isSymbol(":")) {
            continue;
        }
        if (t.isSymbol("|") && Vocabulary::isKnownLabel(label.key)) {
            label.end = i + 1;
            label.name = false;
            return label;
        }
        if (t.isWord()) {
            label.key += (label.key.empty() || line.tokens[i - 1].isSymbol("-") ? "" : " ") + t.key;
            label.name = label.name && t.capital && !namesAnAct(t.key);
            ++words;
        } else if (t.isSymbol("-") && !label.key.empty() && !t.spaced) {
            label.key += "-";
        } else if (t.isSymbol(".") && !label.key.empty() && !t.spaced && line.at(i + 1) &&
                   line.at(i + 1)->isSymbol(":")) {
            continue; // "Kurs-Nr.:", "Tel.:": an abbreviation's full stop before the colon
        } else if (!(t.isSymbol("#") || t.isSymbol("(") || t.isSymbol(")") || isPicture(t) ||
                     // After an export's stamp, the writer's name runs to the colon, with a role
                     // or a child's name beside it ("Brad (U11 Coach)", "Nic – Archie's mum").
                     from > 0)) {
            break;
        }
    }
    return {};
}

} // namespace

bool namesLength(const Token& t) {
    return isWordIn(&t, {"duration", "duree", "length", "runtime"}) ||
           (t.isWord() && t.key.ends_with("dauer"));
}

std::size_t lengthLabelStart(const Line& line, std::size_t k) {
    // "Durée : environ 1h15", "Dauer ca. 90 Minuten": how long, roughly.
    while (k > 0 && (isWordIn(&line.tokens[k - 1], {"environ", "about", "approx", "approximately",
                                                    "ca", "circa", "etwa", "rund", "around"}) ||
                     (line.tokens[k - 1].isSymbol(".") && k > 1 &&
                      isWordIn(&line.tokens[k - 2], {"ca", "approx"})))) {
        --k;
    }
    std::size_t label = k;
    if (label > 0 && line.tokens[label - 1].isSymbol(":")) {
        --label;
    }
    const Token* word = label > 0 ? &line.tokens[label - 1] : nullptr;
    if (word && word->isWord() && namesLength(*word)) {
        return label - 1;
    }
    // "running time 2h 40m"
    if (word && word->key == "time" && label >= 2 && line.tokens[label - 2].isWord("running")) {
        return label - 2;
    }
    // "Durée du repas : 2 h": a label that opens with the word for a length.
    constexpr std::size_t kLongestLabel = 4; // words
    const std::size_t first = line.pastSymbols(0);
    if (label < k && label > first && label - first <= kLongestLabel &&
        namesLength(line.tokens[first]) &&
        std::all_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(first),
                    line.tokens.begin() + static_cast<std::ptrdiff_t>(label),
                    [](const Token& t) { return t.isWord(); })) {
        return first;
    }
    return k;
}

bool labelsLength(const Line& line, std::size_t k) {
    const std::size_t start = lengthLabelStart(line, k);
    return start < k && line.tokens[start].isWord() &&
           (namesLength(line.tokens[start]) || line.tokens[start].isWord("running"));
}

namespace {

// "7.30pm", "7:30 pm", "7pm" ending at token i ("pm"): the clock on the 12-hour dial, as hour
// * 60 + minute.
std::optional<int> afternoonClock(const Line& line, std::size_t i) {
    if (!line.tokens[i].isWord("pm") || i == 0 || !line.tokens[i - 1].isNumber()) {
        return std::nullopt;
    }
    const Token& last = line.tokens[i - 1];
    const bool minutes = i >= 3 && last.key.size() == 2 &&
                         (line.tokens[i - 2].isSymbol(".") || line.tokens[i - 2].isSymbol(":")) &&
                         line.tokens[i - 3].isNumber();
    const int hour = minutes ? line.tokens[i - 3].value : last.value;
    const int minute = minutes ? last.value : 0;
    // "daily 8am–10pm": the end of a range of hours, as a shop's, says nothing of an event's.
    const std::size_t first = minutes ? i - 3 : i - 1;
    if (hour < 1 || hour > 11 || minute > 59 ||
        (first > 0 && (line.tokens[first - 1].isDash() ||
                       isWordIn(&line.tokens[first - 1], {"to", "till", "until"})))) {
        return std::nullopt;
    }
    return hour * 60 + minute;
}

// "14:00", "09:30", "16 h 30", "17 Uhr": a clock at token i that only a 24-hour dial shows.
bool writesTwentyFourHours(const Line& line, std::size_t i) {
    const Token& hour = line.tokens[i];
    if (!hour.isNumber() || hour.key.size() != 2) {
        return false;
    }
    const bool pastNoon = hour.value >= 13 && hour.value <= 23;
    const Token* next = line.at(i + 1);
    if (pastNoon && isWordIn(next, {"h", "uhr"})) {
        return true;
    }
    const Token* minute = line.at(i + 2);
    if (!next || !minute || !minute->isNumber() || minute->key.size() != 2) {
        return false;
    }
    // "19.30–21.00 Uhr", not "14.03." (a day and its month).
    const bool dotted = next->isSymbol(".") && !next->spaced && !minute->spaced &&
                        (minute->value == 0 || minute->value > 12);
    if (!next->isSymbol(":") && !dotted) {
        return false;
    }
    return pastNoon || (hour.key[0] == '0' && hour.value > 0);
}

// "9:00–10:00 am PT / 12:00–1:00 pm ET / 5:00–6:00 pm London time", "8:00 AM PDT | 4:00 PM BST |
// 8:30 PM IST", "Tue 6:30 PM PDT | Wed 7:00 AM IST": one moment in several zones, of which the
// reader's own is kept, or else the first.
void keepOneOfZonedTimes(const Line& line, LineFacts& facts, const ReaderDays& days) {
    const auto zoned = [&facts](std::size_t k) { return !facts.zones[k].zone.empty(); };
    // The next clock follows zone k's after a separator, and perhaps its day's short name.
    const auto followsZone = [&](std::size_t k) {
        const std::size_t separator = facts.zones[k].end;
        if (separator >= line.tokens.size() ||
            !(line.tokens[separator].isSymbol("/") || line.tokens[separator].isSymbol("|") ||
              line.tokens[separator].isSymbol("·"))) {
            return false;
        }
        const std::size_t next = facts.times[k + 1].begin;
        return next == separator + 1 ||
               (next == separator + 2 && line.tokens[separator + 1].isWord() &&
                Words::weekday(line.tokens[separator + 1].key, days.localeId()));
    };
    for (std::size_t first = 0; first < facts.times.size(); ++first) {
        std::size_t last = first;
        while (last + 1 < facts.times.size() && zoned(last) && zoned(last + 1) &&
               followsZone(last)) {
            ++last;
        }
        if (last == first) {
            continue;
        }
        std::size_t keep = first;
        for (std::size_t k = first; k <= last; ++k) {
            if (facts.zones[k].zone == days.zoneId()) {
                keep = k;
            }
        }
        const auto at = [first](auto& list, std::size_t k) {
            return list.begin() + static_cast<std::ptrdiff_t>(k);
        };
        const TimeMention time = facts.times[keep];
        // The clocks left out are read too: "11:00 AM PT" after "2:00 PM ET /" names nothing.
        ZoneMention zone = facts.zones[keep];
        zone.begin = facts.times[first].begin;
        zone.end = facts.zones[last].end;
        facts.times.erase(at(facts.times, first), at(facts.times, last + 1));
        facts.zones.erase(at(facts.zones, first), at(facts.zones, last + 1));
        facts.times.insert(at(facts.times, first), time);
        facts.zones.insert(at(facts.zones, first), zone);
    }
}

// Whether token `k` stands in square brackets closed after a drop-down's arrow: "[ WiSe 2026/27
// ▾ ]".
bool inDropDown(const Line& line, std::size_t k) {
    std::size_t open = k;
    while (open > 0 && !line.tokens[open - 1].isSymbol("[") &&
           !line.tokens[open - 1].isSymbol("]")) {
        --open;
    }
    if (open == 0 || !line.tokens[open - 1].isSymbol("[")) {
        return false;
    }
    for (std::size_t n = k; n < line.tokens.size() && !line.tokens[n].isSymbol("["); ++n) {
        if (line.tokens[n].isSymbol("]")) {
            return n > 0 && (line.tokens[n - 1].isSymbol("▾") || line.tokens[n - 1].isSymbol("▼"));
        }
    }
    return false;
}

// "1pm Sydney, i.e. 10–11am our time": a moment told again on the reader's own clock is read
// there, and the far clock's time goes.
void keepTimeOnOwnClock(const Line& line, LineFacts& facts) {
    for (std::size_t k = 1; k < facts.times.size(); ++k) {
        const std::size_t after = facts.zones[k].end;
        const bool own = isWordIn(line.at(after), {"our", "your", "my"}) &&
                         isWordIn(line.at(after + 1), {"time"});
        bool restated = false;
        for (std::size_t n = facts.times[k - 1].end; n < facts.times[k].begin; ++n) {
            restated = restated || line.tokens[n].isSymbol("=") ||
                       isWordIn(&line.tokens[n], {"i", "ie", "which", "that's", "thats", "soit"});
        }
        if (own && restated) {
            facts.times.erase(facts.times.begin() + static_cast<std::ptrdiff_t>(k - 1));
            facts.zones.erase(facts.zones.begin() + static_cast<std::ptrdiff_t>(k - 1));
            return;
        }
    }
}

// Whether a text tells of a journey by rail: "Your e-tickets", "Railcard", "Hinfahrt".
bool saysRailJourney(const std::vector<Line>& lines) {
    return std::any_of(lines.begin(), lines.end(), [](const Line& line) {
        return std::any_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
            return isWordIn(&t, {"train", "trains", "rail", "railcard", "e-ticket", "e-tickets",
                                 "journey", "zug", "bahn", "fahrkarte", "hinfahrt", "ruckfahrt",
                                 "billet", "e-billet", "trajet", "voyage"});
        });
    });
}

} // namespace

TextFacts TextFacts::read(std::string_view text, const ReaderDays& days) {
    TextFacts out;
    out.lines = readLines(text);
    const std::string& locale = days.localeId();
    joinBrokenLines(out.lines, locale);
    out.railJourney = saysRailJourney(out.lines);
    const DateReader dates(days,
                           DateReader::numericOrder(out.lines).value_or(Words::dayFirst(locale)));

    TimeContext shared{.twelveHour = Words::twelveHourClock(locale), .localeId = locale};
    std::map<int, int> headerLabels; // by block
    std::map<int, int> mailMarks;    // subjects and senders with a mail address, by block
    std::multiset<std::string> labels;
    int chatLines = 0;
    // Lines that start with a name and a colon ("Mark R:", "Priya:"): three of them, by two
    // people or more of whom one writes again, are a chat's messages whatever they say.
    int namedLines = 0;
    std::multiset<std::string> names;
    for (const Line& line : out.lines) {
        const Label label = labelOf(line);
        labels.insert(label.key);
        const Token* first = line.at(label.end);
        const bool named = label.name && !Vocabulary::isKnownLabel(label.key);
        chatLines += named && first && first->isWord() && !first->capital ? 1 : 0;
        if (named) {
            ++namedLines;
            names.insert(label.key);
        }
        for (std::size_t i = 0; i < line.tokens.size(); ++i) {
            const Token& t = line.tokens[i];
            // "movie night", "Friday night", unlike a hotel's "$219/night".
            const bool night = t.isWord("night") && i > 0 && line.tokens[i - 1].isWord() &&
                               !isWordIn(&line.tokens[i - 1], {"per", "a", "one", "each", "last"});
            // German names evening events as compounds: "Spieleabend", "Elternabend".
            const bool germanEvening = t.isWord() && t.key.size() > 5 && t.key.ends_with("abend");
            shared.morning = shared.morning ||
                             isWordIn(&t, {"morning", "breakfast", "brunch", "fruh", "fruhstuck",
                                           "morgens", "vormittag", "matin", "dejeuner"});
            shared.evening = shared.evening || night || germanEvening ||
                             (isWordIn(&t, {"tonight", "evening", "dinner", "supper", "abend",
                                            "abends", "soir", "soiree", "diner",
                                            // what happens after work: "quiz at the pub, 8"
                                            "quiz", "pub", "drinks", "gig"}));
            shared.twelveHour =
                shared.twelveHour || (t.isWord() && (t.key == "pm" || t.key == "am") && i > 0 &&
                                      line.tokens[i - 1].isNumber());
            // A chat's time stamp before the writer's name is the app's clock, not the writer's.
            shared.twentyFourHour = shared.twentyFourHour ||
                                    (!(named && i < label.end) && writesTwentyFourHours(line, i));
            if (const auto clock = afternoonClock(line, i)) {
                shared.afternoonClocks.push_back(*clock);
            }
        }
        if (Vocabulary::isHeaderLabel(label.key)) {
            ++headerLabels[line.block];
            // A subject, or a sender written with a mail address ("From: Priya <priya@…>"),
            // unlike a ticket's "From: London".
            const bool mailed = std::any_of(
                line.tokens.begin() + static_cast<std::ptrdiff_t>(label.end), line.tokens.end(),
                [](const Token& t) { return t.isLink() && t.key.find('@') != std::string::npos; });
            mailMarks[line.block] += Vocabulary::isSubjectLabel(label.key) || mailed ? 1 : 0;
        }
    }
    // The header at the top of an e-mail, and that of a message forwarded or quoted further down
    // ("---------- Forwarded message ---------" over "From:", "Date:", "Subject:", "To:"), or
    // under the subject set apart above it.
    const auto isHeaderBlock = [&headerLabels, &mailMarks](int block) {
        return headerLabels[block] >= (block == 0 ? 2 : 3) && (block == 0 || mailMarks[block] > 0);
    };

    const bool chatter =
        std::any_of(names.begin(), names.end(),
                    [&names](const std::string& n) { return names.count(n) >= 2; }) &&
        names.count(*names.begin()) < names.size();
    for (const Line& line : out.lines) {
        LineFacts facts;
        const Label label = labelOf(line);
        facts.label = label.key;
        facts.labelEnd = label.end;
        // A map pin says "Location:" as an app shows it.
        if (line.pinned && facts.label.empty()) {
            facts.label = "location";
        }
        // "Sara: are you free for dinner on friday?": who wrote the line, not a label. A name
        // that writes a sentence, or several lines, or after a chat's time stamp.
        if (!facts.label.empty() && !Vocabulary::isKnownLabel(facts.label) &&
            !namesOpeningHours(facts.label)) {
            const auto value = line.tokens.begin() + static_cast<std::ptrdiff_t>(facts.labelEnd);
            const bool sentence = std::any_of(value, line.tokens.end(), [](const Token& t) {
                return t.isWord() && Vocabulary::isClauseWord(t.key);
            });
            const Token* first = line.at(facts.labelEnd);
            const bool lowerCase = first && first->isWord() && !first->capital;
            // In a chat, every line that starts with a name is a message ("Tasha: 🙋 might be
            // late").
            facts.speaker =
                label.stamped ||
                (label.name && (sentence || lowerCase || chatLines >= 2 ||
                                (namedLines >= 3 && chatter) || labels.count(facts.label) > 1));
            if (facts.speaker) {
                facts.label.clear();
            }
        }
        const bool header = isHeaderBlock(line.block) && Vocabulary::isHeaderLabel(facts.label);
        out.header.push_back(header);
        const auto next = static_cast<std::size_t>(&line - out.lines.data()) + 1;
        facts.dates = dates.read(
            line, next < out.lines.size() && out.lines[next].block == line.block ? &out.lines[next]
                                                                                 : nullptr);
        // "la ville de demain", "the world of tomorrow", "die Schule von morgen": a noun, unlike
        // "à partir de demain" or "as of tomorrow".
        std::erase_if(facts.dates, [&line](const DateMention& d) {
            return d.relative && !d.weekdayOnly && d.begin > 0 &&
                   isWordIn(&line.tokens[d.begin - 1], {"de", "of", "von", "du", "des"}) &&
                   !(d.begin > 1 &&
                     isWordIn(&line.tokens[d.begin - 2], {"partir", "compter", "as", "end", "ab"}));
        });
        // "Promo NOV10", "Code: MAR25": a code that reads like a day.
        std::erase_if(facts.dates, [&line](const DateMention& d) {
            std::size_t k = d.begin;
            if (k > 0 && line.tokens[k - 1].isSymbol(":")) {
                --k;
            }
            return k > 0 && isWordIn(&line.tokens[k - 1], {"promo", "code", "coupon", "voucher",
                                                           "gutschein", "rabattcode", "promocode"});
        });
        // "moved to Thursday, NOT Wednesday", "nicht am Mittwoch": a day ruled out.
        std::erase_if(facts.dates, [&line](const DateMention& d) {
            std::size_t k = d.begin;
            while (k > 0 && isWordIn(&line.tokens[k - 1], {"on", "am", "le", "the"})) {
                --k;
            }
            return k > 0 && isWordIn(&line.tokens[k - 1], {"not", "nicht", "pas"});
        });
        // "Zeitraum: [ 1. PZR (01.02.–13.02.2027) ▾ ]": the value a drop-down of an app shows,
        // which chooses what the screen lists.
        std::erase_if(facts.dates,
                      [&line](const DateMention& d) { return inDropDown(line, d.begin); });
        // Who wrote a message is no day, even when named "Sam" (samedi) or "Di" (Dienstag).
        if (facts.speaker) {
            const std::size_t name = afterStamp(line);
            std::erase_if(facts.dates, [&facts, name](const DateMention& d) {
                return d.begin >= name && d.begin < facts.labelEnd;
            });
        }
        TimeContext context = shared;
        context.chat = facts.speaker;
        for (const DateMention& date : facts.dates) {
            context.taken.emplace_back(date.begin, date.end);
            context.dateEnds.push_back(date.end);
            if (date.evening) {
                context.evening = true;
            }
        }
        facts.times = readTimes(line, context);
        // "3:40pm – 4:30pm (was 3:10pm)": the time a change replaced.
        std::erase_if(facts.times, [&line](const TimeMention& t) {
            return t.begin >= 2 && line.tokens[t.begin - 2].isSymbol("(") &&
                   isWordIn(&line.tokens[t.begin - 1],
                            {"was", "previously", "formerly", "vorher", "bisher", "avant",
                             "initialement", "anciennement"});
        });
        for (const TimeMention& time : facts.times) {
            context.taken.emplace_back(time.begin, time.end);
        }
        facts.durations = readDurations(line, context);
        // "Durée : 1 h 30", "Dauer: 1:30 Std.": after the label of a length, a time is one.
        for (std::size_t k = 0; k < facts.times.size(); ++k) {
            const TimeMention& t = facts.times[k];
            if (!t.finish && labelsLength(line, t.begin)) {
                // The hours as written: reading "1h15" as a time may have moved it to 13:15.
                const Token& hours = line.tokens[t.begin];
                const int written = hours.isNumber() ? hours.value : t.start.hour;
                facts.durations.push_back(DurationMention{
                    .begin = t.begin, .end = t.end, .minutes = written * 60 + t.start.minute});
                facts.times.erase(facts.times.begin() + static_cast<std::ptrdiff_t>(k));
                break;
            }
        }
        // A zone after a time; times in parentheses after it are the same time elsewhere ("4pm
        // London time (11am New York)").
        std::vector<TimeMention> kept;
        std::size_t skipUntil = 0;
        for (const TimeMention& time : facts.times) {
            if (time.begin < skipUntil) {
                continue;
            }
            kept.push_back(time);
            const auto zone = zoneAt(line, time.end);
            facts.zones.push_back(zone.value_or(ZoneMention{.begin = time.end, .end = time.end}));
            if (zone && zone->end < line.tokens.size() && line.tokens[zone->end].isSymbol("(")) {
                for (std::size_t k = zone->end; k < line.tokens.size(); ++k) {
                    if (line.tokens[k].isSymbol(")")) {
                        skipUntil = k;
                        break;
                    }
                }
            }
        }
        facts.times = std::move(kept);
        keepOneOfZonedTimes(line, facts, days);
        keepTimeOnOwnClock(line, facts);
        for (ZoneMention& zone : facts.zones) {
            if (namesOwnStandardTime(line, zone, days.zoneId())) {
                zone.zone = days.zoneId();
            }
        }
        const std::size_t stampEnd = afterStamp(line);
        const bool chatStamp =
            stampEnd > 0 && !facts.dates.empty() && facts.dates[0].begin < stampEnd;
        // "8 Feb Mon   6:04   7:44  12:22   2:48   4:58   6:26": a table of a day's times of
        // prayer, tides or the sun, a column each, tells when things happen, not what to attend.
        const bool timesTable =
            facts.times.size() >= 5 &&
            std::none_of(facts.times.begin(), facts.times.end(),
                         [](const TimeMention& t) { return t.finish.has_value(); });
        // "Sa, 05.06.2027      14        3         9": a day's row of counts (a poll's votes, a
        // meter's readings) in columns.
        const bool countsRow =
            facts.dates.size() == 1 && facts.times.empty() &&
            std::count_if(line.tokens.begin() + static_cast<std::ptrdiff_t>(facts.dates[0].end),
                          line.tokens.end(), [](const Token& t) { return t.isNumber(); }) >= 2 &&
            std::all_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(facts.dates[0].end),
                        line.tokens.end(), [](const Token& t) {
                            return t.isNumber() || t.isSymbol("|") ||
                                   (t.isSymbol() && !t.isSymbol(":") && !t.isSymbol("-"));
                        });
        facts.datesAreNotEvents = (header && !Vocabulary::isSubjectLabel(facts.label)) ||
                                  Vocabulary::isRecordLabel(facts.label) || chatStamp ||
                                  timesTable || countsRow ||
                                  remarksDaysAreNoEvents(line, facts.dates, facts.label);
        if (chatStamp) {
            // The message's own time stamp is not an event; what it says may be.
            facts.dates.erase(facts.dates.begin());
            facts.datesAreNotEvents = false;
            while (!facts.times.empty() && facts.times.front().begin < stampEnd) {
                facts.times.erase(facts.times.begin());
                facts.zones.erase(facts.zones.begin());
            }
        }
        if (!out.zoneForAllTimes) {
            out.zoneForAllTimes = reader::zoneForAllTimes(line);
        }
        out.localTimes = out.localTimes || saysTimesAreLocal(line);
        out.facts.push_back(std::move(facts));
    }
    setAsideAnsweredMessage(out);
    setAsideUnderHeadings(out);
    readChatLayout(out, days);
    readNeighbourRemarks(out);
    return out;
}

} // namespace plannery::reader
