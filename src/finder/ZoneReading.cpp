#include "finder/ZoneReading.h"

#include "finder/FinderText.h"
#include "finder/ZoneAbbreviations.h"

#include <unicode/locid.h>
#include <unicode/strenum.h>
#include <unicode/timezone.h>
#include <unicode/tznames.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace plannery::reader {

namespace {

constexpr std::size_t kLongestName = 6; // words

std::string utf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

// Folded words joined by single spaces: "Eastern Time" -> "eastern time".
std::string nameKey(std::string_view name) {
    std::string key;
    std::string word;
    const std::string folded = FinderText::fold(name);
    for (const char c : folded) {
        const bool letter =
            static_cast<unsigned char>(c) >= 0x80 || std::isalnum(static_cast<unsigned char>(c));
        if (letter) {
            word.push_back(c);
        } else if (!word.empty()) {
            key += (key.empty() ? "" : " ") + word;
            word.clear();
        }
    }
    if (!word.empty()) {
        key += (key.empty() ? "" : " ") + word;
    }
    return key;
}

// The zones' names in English, German and French (generic, standard and daylight forms, from the
// locale data) and every zone's city ("london", "new york"), each with its zone.
struct ZoneNames {
    std::unordered_map<std::string, std::string> names;
    std::unordered_map<std::string, std::string> cities;

    ZoneNames() {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::StringEnumeration> zones(icu::TimeZone::createTimeZoneIDEnumeration(
            UCAL_ZONE_TYPE_CANONICAL_LOCATION, nullptr, nullptr, status));
        std::unique_ptr<icu::TimeZoneNames> english(
            icu::TimeZoneNames::createInstance(icu::Locale::getEnglish(), status));
        if (U_FAILURE(status)) {
            return;
        }
        while (const icu::UnicodeString* id = zones->snext(status)) {
            icu::UnicodeString city;
            english->getExemplarLocationName(*id, city);
            if (!city.isEmpty()) {
                cities.emplace(nameKey(utf8(city)), utf8(*id));
            }
        }
        for (const char* language : {"en", "de", "fr"}) {
            status = U_ZERO_ERROR;
            std::unique_ptr<icu::TimeZoneNames> local(
                icu::TimeZoneNames::createInstance(icu::Locale(language), status));
            std::unique_ptr<icu::StringEnumeration> metazones(
                local ? local->getAvailableMetaZoneIDs(status) : nullptr);
            if (U_FAILURE(status) || !metazones) {
                continue;
            }
            while (const icu::UnicodeString* metazone = metazones->snext(status)) {
                icu::UnicodeString reference;
                local->getReferenceZoneID(*metazone, "001", reference);
                if (reference.isEmpty()) {
                    continue;
                }
                for (const auto type :
                     {UTZNM_LONG_GENERIC, UTZNM_LONG_STANDARD, UTZNM_LONG_DAYLIGHT}) {
                    icu::UnicodeString name;
                    local->getMetaZoneDisplayName(*metazone, type, name);
                    if (!name.isEmpty()) {
                        names.emplace(nameKey(utf8(name)), utf8(reference));
                    }
                }
            }
        }
    }
};

const ZoneNames& zoneNames() {
    static const ZoneNames names;
    return names;
}

// "UTC+9", "GMT-05:00": whole hours as Etc zones (whose signs are the other way round).
std::optional<ZoneMention> offsetAt(const Line& line, std::size_t i) {
    const Token* sign = line.at(i + 1);
    const Token* hours = line.at(i + 2);
    if (sign == nullptr || hours == nullptr || !(sign->isSymbol("+") || sign->isSymbol("-")) ||
        !hours->isNumber() || hours->value > 14 || hours->spaced) {
        return std::nullopt;
    }
    std::size_t end = i + 3;
    int minutes = 0;
    if (const Token* colon = line.at(end); colon && !colon->spaced && colon->isSymbol(":")) {
        const Token* m = line.at(end + 1);
        if (m == nullptr || !m->isNumber()) {
            return std::nullopt;
        }
        minutes = m->value;
        end += 2;
    }
    const bool east = sign->isSymbol("+");
    if (minutes != 0 && minutes < 60) {
        char id[32];
        std::snprintf(id, sizeof id, "GMT%c%02d:%02d", east ? '+' : '-', hours->value, minutes);
        return ZoneMention{.begin = i, .end = end, .zone = id};
    }
    if (hours->value == 0) {
        return ZoneMention{.begin = i, .end = end, .zone = "UTC"};
    }
    return ZoneMention{.begin = i,
                       .end = end,
                       .zone = std::string("Etc/GMT") + (east ? "-" : "+") +
                               std::to_string(hours->value)};
}

// A place's folded words, in order.
std::vector<std::string> wordsOf(std::string_view place) {
    std::vector<std::string> words;
    const std::string key = nameKey(place);
    for (std::size_t from = 0; from < key.size();) {
        const std::size_t space = std::min(key.find(' ', from), key.size());
        words.push_back(key.substr(from, space - from));
        from = space + 1;
    }
    return words;
}

} // namespace

bool namesOwnStandardTime(const Line& line, const ZoneMention& zone, const std::string& ownZone) {
    if (zone.zone.empty() || zone.zone == ownZone) {
        return false;
    }
    const bool standard = std::any_of(
        line.tokens.begin() + static_cast<std::ptrdiff_t>(zone.begin),
        line.tokens.begin() + static_cast<std::ptrdiff_t>(std::min(zone.end, line.tokens.size())),
        [&line](const Token& t) {
            const std::string written = FinderText::upper(line.slice(t.begin, t.end));
            return t.isWord() && t.allCaps && written.size() >= 3 && written.ends_with("ST");
        });
    if (!standard) {
        return false;
    }
    const auto make = [](const std::string& id) {
        return std::unique_ptr<icu::TimeZone>(
            icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(id)));
    };
    const auto own = make(ownZone);
    const auto named = make(zone.zone);
    return !own->useDaylightTime() && own->getRawOffset() == named->getRawOffset() &&
           *own != icu::TimeZone::getUnknown();
}

std::optional<ZoneMention> zoneAt(const Line& line, std::size_t i) {
    std::size_t at = i;
    if (const Token* open = line.at(at); open && open->isSymbol("(")) {
        ++at;
    }
    const Token* t = line.at(at);
    if (t == nullptr || !t->isWord()) {
        return std::nullopt;
    }
    const auto close = [&](ZoneMention zone) {
        zone.begin = i;
        if (const Token* c = line.at(zone.end); at > i && c && c->isSymbol(")")) {
            ++zone.end;
        }
        return zone;
    };
    if ((t->key == "utc" || t->key == "gmt") && t->allCaps) {
        if (auto offset = offsetAt(line, at)) {
            ZoneMention zone = close(*offset);
            // "(UTC-08:00) Pacific Time (US & Canada)": a calendar's invitation writes the
            // standard offset before the zone's name, which also holds in summer.
            const Token* next = line.at(zone.end);
            if (next && next->isWord() && next->key != "utc" && next->key != "gmt") {
                if (auto named = zoneAt(line, zone.end)) {
                    zone.zone = named->zone;
                    zone.end = named->end;
                }
            }
            return zone;
        }
    }
    // Abbreviations only in capitals, so "et" (French "and") or "pt" stay words.
    const Token* glued = line.at(at + 1);
    const bool compound = glued && !glued->spaced && glued->isSymbol("-"); // "IST-Zustand"
    if (!compound && (t->allCaps || (t->capital && line.slice(t->begin, t->end).size() == 1))) {
        if (auto zone =
                ZoneAbbreviations::standard(FinderText::upper(line.slice(t->begin, t->end)))) {
            return close(ZoneMention{.end = at + 1, .zone = *zone});
        }
    }
    const ZoneNames& names = zoneNames();
    // The longest zone name or "<city> time" from here.
    std::string key;
    std::optional<ZoneMention> found;
    for (std::size_t n = 0; n < kLongestName && at + n < line.tokens.size(); ++n) {
        const Token& word = line.tokens[at + n];
        if (!word.isWord()) {
            break;
        }
        key += (key.empty() ? "" : " ") + word.key;
        if (const auto name = names.names.find(key); name != names.names.end()) {
            found = ZoneMention{.end = at + n + 1, .zone = name->second};
        }
        if (const Token* next = line.at(at + n + 1); next && next->isWord("time")) {
            if (const auto city = names.cities.find(key); city != names.cities.end()) {
                found = ZoneMention{.end = at + n + 2, .zone = city->second};
            }
        }
    }
    // "heure de Paris"
    if (!found && t->key == "heure" && (line.at(at + 1) && line.at(at + 1)->isWord("de"))) {
        if (const Token* city = line.at(at + 2); city && city->isWord()) {
            if (const auto zone = names.cities.find(city->key); zone != names.cities.end()) {
                found = ZoneMention{.end = at + 3, .zone = zone->second};
            }
        }
    }
    // "1:00 – 3:00 PM Pacific", "10am Eastern / 7am Pacific": a region's time without its
    // "time", unless a name goes on ("7pm Central Library").
    if (!found && t->capital) {
        const Token* next = line.at(at + 1);
        if (const auto name = names.names.find(t->key + " time");
            name != names.names.end() && !(next && next->isWord() && next->capital)) {
            found = ZoneMention{.end = at + 1, .zone = name->second};
        }
    }
    if (found) {
        return close(*found);
    }
    return std::nullopt;
}

std::optional<std::string> cityZone(const std::string& key) {
    const ZoneNames& names = zoneNames();
    if (const auto city = names.cities.find(key); city != names.cities.end()) {
        return city->second;
    }
    return std::nullopt;
}

bool hasAirportCode(std::string_view place) {
    // "YYZ  Toronto Pearson Intl": a code before the airport's name, as itineraries list them.
    const auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
    if (place.size() > 4 && std::all_of(place.begin(), place.begin() + 3, upper) &&
        place[3] == ' ' && place.substr(0, 3) != "THE") {
        return true;
    }
    for (std::size_t open = place.find('('); open != std::string_view::npos;
         open = place.find('(', open + 1)) {
        const std::string_view code = place.substr(open + 1, 4);
        if (code.size() == 4 && code[3] == ')' &&
            std::all_of(code.begin(), code.begin() + 3, upper)) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> airportZone(std::string_view place) {
    const std::vector<std::string> words = wordsOf(place);
    const bool airport =
        std::any_of(words.begin(), words.end(),
                    [](const std::string& w) {
                        return w == "airport" || w == "flughafen" || w == "aeroport";
                    }) ||
        hasAirportCode(place);
    return airport ? cityZoneIn(place) : std::nullopt;
}

std::optional<std::string> cityZoneIn(std::string_view place) {
    const std::vector<std::string> words = wordsOf(place);
    constexpr std::size_t kLongestCity = 3; // words: "salt lake city"
    for (std::size_t i = 0; i < words.size(); ++i) {
        for (std::size_t n = std::min(kLongestCity, words.size() - i); n > 0; --n) {
            std::string city = words[i];
            for (std::size_t k = 1; k < n; ++k) {
                city += " " + words[i + k];
            }
            if (auto zone = cityZone(city)) {
                return zone;
            }
        }
    }
    return std::nullopt;
}

bool saysTimesAreLocal(const Line& line) {
    for (std::size_t i = 0; i < line.tokens.size(); ++i) {
        if (!isWordIn(&line.tokens[i], {"times", "zeiten", "heures", "horaires"})) {
            continue;
        }
        for (std::size_t k = i + 1; k < line.tokens.size() && !endsSentenceAt(line, k - 1); ++k) {
            if (isWordIn(&line.tokens[k],
                         {"local", "ortszeit", "ortszeiten", "locale", "locales"})) {
                return true;
            }
        }
    }
    return false;
}

std::optional<std::string> zoneForAllTimes(const Line& line) {
    const auto times = std::find_if(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
        return t.isWord("times") || t.isWord("zeiten") || t.isWord("heures") ||
               t.isWord("horaires");
    });
    if (times == line.tokens.end()) {
        return std::nullopt;
    }
    // In the same sentence: "All times are LOCAL. The UK is on BST" names no zone for all.
    if (saysTimesAreLocal(line)) {
        return std::nullopt;
    }
    for (auto i = static_cast<std::size_t>(times - line.tokens.begin()) + 1;
         i < line.tokens.size() && !endsSentenceAt(line, i - 1); ++i) {
        if (auto zone = zoneAt(line, i)) {
            return zone->zone;
        }
    }
    return std::nullopt;
}

} // namespace plannery::reader
