#include "finder/RouteLines.h"

#include "finder/ReaderVocabulary.h"
#include "model/CalEvent.h"

#include <algorithm>

namespace plannery::reader {

namespace {

// The names of places on a line outside parentheses, as token ranges: capitalised words, with the
// small words and hyphens inside a name ("Paris Gare de Lyon", "Marseille Saint-Charles"). A
// single letter ("T" of "T2") or a code before a number ("TP" of "TP1357") is none.
std::vector<std::pair<std::size_t, std::size_t>> placeRuns(const Line& line) {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    bool bracketed = false;
    for (std::size_t k = 0; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        bracketed = t.isSymbol("(") || (bracketed && !t.isSymbol(")"));
        const Token* next = line.at(k + 1);
        const bool code = t.allCaps && next && next->isNumber() && !next->spaced;
        const bool name = t.isWord() && t.capital && t.key.size() >= 2 && !code;
        const bool joins = !runs.empty() && runs.back().second == k && next && next->isWord() &&
                           next->capital &&
                           ((t.isSymbol("-") && !t.spaced && !next->spaced) ||
                            isWordIn(&t, {"de", "du", "des", "la", "le", "am", "an", "der", "upon",
                                          "on", "sur", "en"}));
        if (bracketed || !(name || joins)) {
            continue;
        }
        if (!runs.empty() && runs.back().second == k) {
            runs.back().second = k + 1;
        } else {
            runs.emplace_back(k, k + 1);
        }
    }
    return runs;
}

// The value of a "From:" or "To:" line when it is a place, not an address of mail.
std::optional<std::string> placeValue(const Line& line, const LineFacts& facts) {
    if (facts.labelEnd >= line.tokens.size() ||
        std::any_of(
            line.tokens.begin(), line.tokens.end(),
            [](const Token& t) { return t.isLink() || t.isSymbol("@") || t.isSymbol("<"); }) ||
        !line.tokens[facts.labelEnd].capital) {
        return std::nullopt;
    }
    return trimWhiteSpace(line.text.substr(line.tokens[facts.labelEnd].begin));
}

// "21:40 Cape Town (CPT)" and "07:25 +1 London Heathrow (LHR)" on an itinerary's row: the stops
// written right after the line's times, each a name closed by its airport's code in brackets, as
// token ranges; none unless there are two.
std::vector<std::pair<std::size_t, std::size_t>> codedStops(const Line& line,
                                                            const LineFacts& facts) {
    std::vector<std::pair<std::size_t, std::size_t>> stops;
    for (const TimeMention& time : facts.times) {
        std::size_t begin = time.end;
        // "07:25 +1": the arrival the next day.
        if (line.at(begin) && line.tokens[begin].isSymbol("+") && line.at(begin + 1) &&
            line.tokens[begin + 1].isNumber()) {
            begin += 2;
        }
        std::size_t end = begin;
        while (end < line.tokens.size() && line.tokens[end].isWord() && line.tokens[end].capital) {
            ++end;
        }
        const Token* code = line.at(end + 1);
        if (end > begin && line.tokens[end].isSymbol("(") && code != nullptr && code->isWord() &&
            code->allCaps && code->key.size() == 3 && line.at(end + 2) &&
            line.tokens[end + 2].isSymbol(")")) {
            stops.emplace_back(begin, end + 3);
        }
    }
    return stops.size() >= 2 ? stops : std::vector<std::pair<std::size_t, std::size_t>>{};
}

} // namespace

std::optional<std::string> routeOnLine(const Line& line) {
    const auto arrow = std::find_if(line.tokens.begin(), line.tokens.end(),
                                    [](const Token& t) { return t.isSymbol("→"); });
    if (arrow == line.tokens.end()) {
        return std::nullopt;
    }
    const auto at = static_cast<std::size_t>(arrow - line.tokens.begin());
    std::optional<std::pair<std::size_t, std::size_t>> from;
    std::optional<std::pair<std::size_t, std::size_t>> to;
    for (const auto& run : placeRuns(line)) {
        // "Chicago O'Hare (ORD) Terminal 5 →": the terminal or platform is no stop of the route.
        const Token* number = line.at(run.second);
        if (run.second == run.first + 1 && number != nullptr && number->isNumber() &&
            isWordIn(&line.tokens[run.first],
                     {"terminal", "gate", "platform", "gleis", "voie", "quai", "pier"})) {
            continue;
        }
        if (run.second <= at) {
            from = run;
        } else if (!to) {
            to = run;
        }
    }
    // "journée pédagogique → pas d'école pour les enfants. Une …": words of a sentence between a
    // stop and the arrow make it no route.
    const auto joined = [&line](std::size_t begin, std::size_t end) {
        return std::none_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(begin),
                            line.tokens.begin() + static_cast<std::ptrdiff_t>(end),
                            [](const Token& t) {
                                return (t.isWord() && !t.capital && t.spaced) || t.isSymbol(".") ||
                                       t.isSymbol("!") || t.isSymbol("?");
                            });
    };
    if (!from || !to || !joined(from->second, at) || !joined(at + 1, to->first)) {
        return std::nullopt;
    }
    return std::string(line.span(from->first, from->second)) + " → " +
           std::string(line.span(to->first, to->second));
}

std::optional<std::string> routeStart(const Line& line, const LineFacts& facts) {
    if (const auto stops = codedStops(line, facts); !stops.empty()) {
        return std::string(line.span(stops.front().first, stops.front().second));
    }
    if (!routeOnLine(line)) {
        return std::nullopt;
    }
    const auto arrow = std::find_if(line.tokens.begin(), line.tokens.end(),
                                    [](const Token& t) { return t.isSymbol("→"); });
    const auto at = static_cast<std::size_t>(arrow - line.tokens.begin());
    // A carrier's code before its number ("KS 417", "ICE 1005") is no stop.
    const auto runs = placeRuns(line);
    // Nor is a day's name ("Thu 11 Jun 2026   NZ 10   Auckland (AKL) 21:40 → …").
    const auto stop = std::find_if(runs.begin(), runs.end(), [&line, &facts](const auto& run) {
        const Token& first = line.tokens[run.first];
        const Token* next = line.at(run.second);
        const bool dated =
            std::any_of(facts.dates.begin(), facts.dates.end(), [&run](const auto& d) {
                return run.first >= d.begin && run.first < d.end;
            });
        // Nor the word for the service before its code ("Flight NZ10", "Train ICE 1005").
        const Token* number = line.at(run.second + 1);
        const bool service =
            next && next->isWord() && next->allCaps && number && number->isNumber();
        return !dated && !service &&
               !(run.second == run.first + 1 && first.allCaps && next && next->isNumber());
    });
    if (arrow == line.tokens.end() || stop == runs.end() || stop->first >= at) {
        return std::nullopt;
    }
    const std::size_t begin = stop->first;
    std::size_t end = begin;
    while (end < at && !line.tokens[end].isSymbol("|") &&
           std::none_of(facts.times.begin(), facts.times.end(),
                        [end](const TimeMention& t) { return end >= t.begin && end < t.end; })) {
        ++end;
    }
    while (end > begin && line.tokens[end - 1].isSymbol() && !line.tokens[end - 1].isSymbol(")")) {
        --end;
    }
    return std::string(line.span(begin, end));
}

std::optional<std::string> routeEnd(const Line& line, const LineFacts& facts) {
    if (const auto stops = codedStops(line, facts); !stops.empty()) {
        return std::string(line.span(stops.back().first, stops.back().second));
    }
    if (!routeOnLine(line)) {
        return std::nullopt;
    }
    // After the arrow and any gap around it.
    auto stop = std::find_if(line.tokens.begin(), line.tokens.end(),
                             [](const Token& t) { return t.isSymbol("→"); }) +
                1;
    while (stop != line.tokens.end() && stop->isSymbol("|")) {
        ++stop;
    }
    const auto gap =
        std::find_if(stop, line.tokens.end(), [](const Token& t) { return t.isSymbol("|"); });
    const auto begin = static_cast<std::size_t>(stop - line.tokens.begin());
    const auto end = static_cast<std::size_t>(gap - line.tokens.begin());
    return end > begin ? std::optional(trimWhiteSpace(line.span(begin, end))) : std::nullopt;
}

bool legWithCodedStops(const Line& line, const LineFacts& facts) {
    return !codedStops(line, facts).empty();
}

std::optional<std::string> routeOfLabels(const std::vector<Line>& lines,
                                         const std::vector<LineFacts>& facts, std::size_t li) {
    if (li + 1 >= lines.size() || facts[li].label != "from" || facts[li + 1].label != "to" ||
        std::any_of(facts.begin(), facts.end(), [](const LineFacts& f) {
            return f.label == "subject" || f.label == "sent" || f.label == "cc";
        })) {
        return std::nullopt;
    }
    const auto from = placeValue(lines[li], facts[li]);
    const auto to = placeValue(lines[li + 1], facts[li + 1]);
    return from && to ? std::optional(*from + " → " + *to) : std::nullopt;
}

} // namespace plannery::reader
