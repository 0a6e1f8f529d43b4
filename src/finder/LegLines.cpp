#include "finder/LegLines.h"

#include "finder/AddressReading.h"
#include "finder/EventAssembly.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ZoneReading.h"

#include <algorithm>

namespace plannery::reader {

namespace {

// The word for leaving or arriving right before a stop's time: "ab", "dep", "Arrives".
bool legMarker(const Token& t) {
    return t.isWord() && Vocabulary::legWord(t.key, true) != Vocabulary::Leg::none;
}

// A word for where a journey is boarded or left: "station", "Terminal", "Gleis", "gare".
bool namesStop(const Token& t) {
    return isWordIn(&t, {"station", "terminal", "gate", "platform", "bay", "stand", "airport",
                         "pier", "quay", "gleis", "bahnhof", "hbf", "bussteig", "gare", "quai",
                         "voie", "aeroport", "flughafen"});
}

// "Bremen Hbf   11.03.  ab 07:14   4   RX 4512", "Hannover Hbf  an 08:22  Gleis 9": a ticket's
// row: the stop, perhaps its day, the word for leaving or arriving, the time, then its platform
// and train.
std::optional<std::string> rowStop(const Line& line, const LineFacts& facts) {
    if (facts.times.size() != 1 || facts.times[0].finish || facts.dates.size() > 1) {
        return std::nullopt;
    }
    const auto& tokens = line.tokens;
    const TimeMention& time = facts.times[0];
    if (time.begin < 2 || !legMarker(tokens[time.begin - 1])) {
        return std::nullopt;
    }
    const std::size_t marker = time.begin - 1;
    std::size_t end = 0;
    while (end < marker && (tokens[end].isWord() || tokens[end].isSymbol("."))) {
        ++end;
    }
    if (end == 0 || !tokens[0].capital) {
        return std::nullopt;
    }
    for (std::size_t k = end; k < marker; ++k) {
        const bool dated = !facts.dates.empty() && k >= facts.dates[0].begin &&
                           k < facts.dates[0].end && facts.dates[0].end <= marker;
        if (!dated && !tokens[k].isSymbol()) {
            return std::nullopt;
        }
    }
    return std::string(line.span(0, end));
}

} // namespace

std::optional<std::string> stopOfLeg(const Line& line, const LineFacts& facts) {
    if (auto row = rowStop(line, facts)) {
        return row;
    }
    if (facts.times.size() != 1 || facts.times[0].finish || !facts.dates.empty()) {
        return std::nullopt;
    }
    const auto& tokens = line.tokens;
    const TimeMention& time = facts.times[0];
    // "Departure : Tokyo 10:30", "Ankunft: Köln Hbf 11:05": a label for leaving or arriving, the
    // stop, and the time.
    if (!facts.label.empty()) {
        const bool leg = Vocabulary::legWord(tokens[0].key) != Vocabulary::Leg::none;
        if (!leg || time.end != tokens.size() || facts.labelEnd >= time.begin ||
            !tokens[facts.labelEnd].isWord() || !tokens[facts.labelEnd].capital) {
            return std::nullopt;
        }
        for (std::size_t k = facts.labelEnd; k < time.begin; ++k) {
            if (!tokens[k].isWord() && !tokens[k].isSymbol(".")) {
                return std::nullopt;
            }
        }
        return std::string(line.span(facts.labelEnd, time.begin));
    }
    // "York  dep 08:54", "Edinburgh  arr. 11:28", "Köln Hbf  ab 9:12": the stop, a word for
    // leaving or arriving, and the time.
    std::size_t marker = time.begin;
    if (marker > 0 && tokens[marker - 1].isSymbol(".")) {
        --marker;
    }
    if (time.begin > 0 && time.end == tokens.size() && marker >= 2 &&
        legMarker(tokens[marker - 1])) {
        std::size_t end = 0;
        while (end + 1 < marker && (tokens[end].isWord() || tokens[end].isSymbol("."))) {
            ++end;
        }
        std::size_t gap = end;
        while (gap + 1 < marker && tokens[gap].isSymbol("|")) {
            ++gap;
        }
        if (end > 0 && gap + 1 == marker && tokens[0].isWord() && tokens[0].capital) {
            return std::string(line.span(0, end));
        }
        return std::nullopt;
    }
    if (time.begin != 0) {
        return std::nullopt;
    }
    std::size_t begin = line.pastSymbols(time.end);
    // "08:10  YYZ  Toronto Pearson Intl, Terminal 1", "06:10  YOW  Ottawa": the airport by its
    // name, not its code.
    const bool coded = begin + 2 < tokens.size() && tokens[begin].allCaps &&
                       tokens[begin].key.size() == 3 && tokens[begin + 1].isSymbol("|") &&
                       tokens[begin + 2].capital;
    if (coded) {
        begin += 2;
    }
    // "07:05  London Gatwick (LGW)": an airport by its code names a stop too.
    const bool stop =
        std::any_of(tokens.begin(), tokens.end(), namesStop) || hasAirportCode(line.text) || coded;
    std::size_t end = begin;
    while (end < tokens.size() && (tokens[end].isWord() || tokens[end].isSymbol("."))) {
        ++end;
    }
    if (!stop || end == begin || !tokens[begin].capital) {
        return std::nullopt;
    }
    return std::string(line.span(begin, end));
}

namespace {

// "17:33  London Kings Cross", "ab 09:28  Köln Hbf": a time, perhaps after the word for leaving
// or arriving, then only a name; after such a word the name may go on after a comma ("Departs
// 06:45  Manchester Shudehill Interchange, Stand A").
std::optional<std::string> timedName(const Line& line, const LineFacts& facts) {
    // The line may be set in, its columns apart ("  Départ   08h13   Paris Gare du Nord").
    const std::size_t first = line.pastSymbols(0);
    const bool marked = facts.times.size() == 1 && first < line.tokens.size() &&
                        facts.times[0].begin == line.pastSymbols(first + 1) &&
                        legMarker(line.tokens[first]);
    // A stop given with its address ("Départ 15 h 30  Terminus Centre-Ville, 1420, rue des
    // Érables, Montréal") is named by its town, as stopOfLeg reads it.
    if (facts.times.size() != 1 || (facts.times[0].begin != first && !marked) ||
        facts.times[0].finish || !facts.dates.empty() || (marked && Addresses::inLine(line))) {
        return std::nullopt;
    }
    const std::size_t begin = line.pastSymbols(facts.times[0].end);
    // "10:05  Birmingham New Street          Northern Crosslink": the operator's name may follow
    // across a column gap; a remark in brackets after the word for arriving ("Arrivée  09h30
    // London St Pancras International (heure locale)").
    const auto remark = [&line](const Token& t) {
        const Token* next = line.at(static_cast<std::size_t>(&t - line.tokens.data()) + 1);
        return t.isSymbol("(") && next != nullptr && next->isWord() && !next->capital;
    };
    const auto gap =
        std::find_if(line.tokens.begin() + static_cast<std::ptrdiff_t>(begin), line.tokens.end(),
                     [&](const Token& t) {
                         return t.isSymbol("|") || (marked && (t.isSymbol(",") || remark(t)));
                     });
    const auto end = static_cast<std::size_t>(gap - line.tokens.begin());
    // "Lyon Part-Dieu", "St. Pancras", and after its first word "Paris Montparnasse 1 et 2".
    const auto wordy = [](const Token& t) {
        return t.isWord() || t.isSymbol(".") || (t.isSymbol("-") && !t.spaced);
    };
    const auto named = [&](const Token& t) { return wordy(t) || t.isNumber(); };
    const bool name =
        end > begin && end - begin <= 5 && line.tokens[begin].capital &&
        wordy(line.tokens[begin]) &&
        std::all_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(begin), gap, named) &&
        (marked || std::all_of(gap, line.tokens.end(),
                               [&](const Token& t) { return wordy(t) || t.isSymbol("|"); }));
    return name ? std::optional(std::string(line.span(begin, end))) : std::nullopt;
}

// "06:10" over "Perth (PER)": a time on a line of its own, and the airport or station it is kept
// at on the next line, as an app's card stacks them.
std::optional<std::string> stopUnder(const TextFacts& text, std::size_t li) {
    const Line& line = text.lines[li];
    const LineFacts& facts = text.facts[li];
    if (li + 1 >= text.lines.size() || text.lines[li + 1].block != line.block ||
        facts.times.size() != 1 || facts.times[0].finish || facts.times[0].begin != 0 ||
        facts.times[0].end != line.tokens.size() || !facts.dates.empty()) {
        return std::nullopt;
    }
    const Line& below = text.lines[li + 1];
    const LineFacts& belowFacts = text.facts[li + 1];
    if (below.tokens.empty() || !below.tokens[0].capital || below.tokens.size() > 8 ||
        !belowFacts.times.empty() || !belowFacts.dates.empty()) {
        return std::nullopt;
    }
    const std::string name(below.span(0, below.tokens.size()));
    const bool stop =
        hasAirportCode(name) || std::any_of(below.tokens.begin(), below.tokens.end(), namesStop);
    return stop ? std::optional(name) : std::nullopt;
}

} // namespace

std::optional<std::size_t> nextStop(const TextFacts& text, std::size_t li) {
    const auto& lines = text.lines;
    const auto inBlock = [&](std::size_t k) {
        return k < lines.size() && lines[k].block == lines[li].block;
    };
    if (inBlock(li + 1) && stopOfLeg(lines[li], text.facts[li]) &&
        stopOfLeg(lines[li + 1], text.facts[li + 1])) {
        return li + 1;
    }
    // "06:10" over "Perth (PER)" over "Terminal 3" over "13:15" over "Sydney (SYD)".
    if (stopUnder(text, li)) {
        for (std::size_t k = li + 2; inBlock(k) && k <= li + 1 + kReach; ++k) {
            if (!text.facts[k].times.empty() || !text.facts[k].dates.empty()) {
                return stopUnder(text, k) ? std::optional(k) : std::nullopt;
            }
        }
        return std::nullopt;
    }
    if (!text.railJourney || !timedName(lines[li], text.facts[li])) {
        return std::nullopt;
    }
    // What is said of the ride between them ("Northline Rail · Direct · 1h 56m") has no time.
    // Right below, the next name ends the leg only where the two are all of their block's times
    // ("07:42  York" over "10:05  Birmingham New Street"), unlike the rows of a programme.
    const auto timedLines = [&] {
        std::size_t first = li;
        while (first > 0 && lines[first - 1].block == lines[li].block) {
            --first;
        }
        int count = 0;
        for (std::size_t k = first; inBlock(k); ++k) {
            count += text.facts[k].times.empty() ? 0 : 1;
        }
        return count;
    };
    for (std::size_t k = li + 1; inBlock(k) && k <= li + kReach; ++k) {
        const LineFacts& facts = text.facts[k];
        if (!facts.times.empty() || !facts.dates.empty()) {
            return timedName(lines[k], facts) && (k > li + 1 || timedLines() == 2)
                       ? std::optional(k)
                       : std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<std::string> stationOfRow(const TextFacts& text, std::size_t li) {
    const Line& line = text.lines[li];
    const LineFacts& facts = text.facts[li];
    if (auto station = rowStop(line, facts)) {
        return station;
    }
    if (auto station = stopUnder(text, li)) {
        return station;
    }
    // "08:10  YYZ  Toronto Pearson Intl, Terminal 1": all that follows the time.
    if (facts.times.size() == 1 && facts.times[0].begin == 0 && stopOfLeg(line, facts)) {
        return std::string(line.span(line.pastSymbols(facts.times[0].end), line.tokens.size()));
    }
    return timedName(line, facts);
}

std::optional<std::string> stopName(const TextFacts& text, std::size_t li) {
    const Line& line = text.lines[li];
    const LineFacts& facts = text.facts[li];
    if (auto stop = stopOfLeg(line, facts)) {
        return stop;
    }
    auto under = stopUnder(text, li);
    return under ? under : timedName(line, facts);
}

} // namespace plannery::reader
