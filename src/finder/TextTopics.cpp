#include "finder/TextTopics.h"

#include "finder/ReaderWords.h"
#include "finder/TitlePicking.h"

#include <algorithm>
#include <map>
#include <set>
#include <string_view>

namespace plannery::reader {

namespace {

// Whether a word of the text passes `test`.
template <typename Test> bool anyWord(const TextFacts& text, Test test) {
    return std::any_of(text.lines.begin(), text.lines.end(), [&test](const Line& line) {
        return std::any_of(line.tokens.begin(), line.tokens.end(), test);
    });
}

} // namespace

bool aboutFlight(const TextFacts& text) {
    return anyWord(text, [](const Token& t) {
        return isWordIn(&t, {"flight", "flights", "airline", "airlines", "airways", "flug",
                             "fluges", "vol"}) ||
               (t.capital && t.isWord("air"));
    });
}

std::optional<std::string> vehicleOf(const TextFacts& text, const std::string& localeId) {
    const bool german = localeId.starts_with("de");
    const bool french = localeId.starts_with("fr");
    const auto kind = [&](const Line& line, std::size_t k) -> std::optional<std::string_view> {
        const Token& t = line.tokens[k];
        // "Coach C, Seat 42": a train's carriage.
        const Token* next = line.at(k + 1);
        const bool carriage = t.isWord("coach") && next != nullptr &&
                              (next->isNumber() || next->isWord()) && next->end - next->begin <= 2;
        if (carriage || isWordIn(&t, {"train", "trains", "rail", "railcard", "zug", "zuges",
                                      "bahnfahrt", "tgv", "sncf"})) {
            return german ? "Zug" : "Train";
        }
        if (isWordIn(&t, {"coach", "coaches", "autocar", "autocars", "fernbus"})) {
            return german ? "Fernbus" : french ? "Autocar" : "Coach";
        }
        if (isWordIn(&t, {"bus", "autobus"})) {
            return "Bus";
        }
        if (isWordIn(&t, {"ferry", "ferries", "sailing", "fahre", "traversee", "bateau"})) {
            return german ? "Fähre" : "Ferry";
        }
        return std::nullopt;
    };
    std::map<std::string_view, int> counts;
    for (const Line& line : text.lines) {
        for (std::size_t k = 0; k < line.tokens.size(); ++k) {
            if (const auto found = kind(line, k)) {
                ++counts[*found];
            }
        }
    }
    if (french) {
        std::erase_if(counts,
                      [](const auto& c) { return c.first == "Train" || c.first == "Ferry"; });
    }
    const auto most =
        std::max_element(counts.begin(), counts.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == counts.end() ? std::nullopt : std::optional(std::string(most->first));
}

bool aboutWedding(const TextFacts& text) {
    return anyWord(text, [](const Token& t) {
        return isWordIn(&t, {"marriage", "married", "wedding", "hochzeit", "trauung", "heiraten",
                             "mariage", "marier"});
    });
}

std::optional<std::string> sportOf(const TextFacts& text) {
    static const std::set<std::string_view> sports = {
        "soccer",   "football", "hockey",     "rugby",    "netball",  "cricket", "basketball",
        "baseball", "softball", "volleyball", "lacrosse", "handball", "futsal",  "fussball"};
    for (const Line& line : text.lines) {
        for (const Token& t : line.tokens) {
            if (t.isWord() && sports.contains(t.key)) {
                return normalCapitalisation(std::string(line.slice(t.begin, t.end)));
            }
        }
    }
    return std::nullopt;
}

} // namespace plannery::reader
