#include "finder/ReaderWords.h"

#include "finder/FinderText.h"

#include <unicode/datefmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>
#include <unicode/rbnf.h>
#include <unicode/smpdtfmt.h>

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <unordered_map>
#include <vector>

namespace plannery::reader::Words {

namespace {

std::string key(const icu::UnicodeString& name) {
    std::string text;
    name.toUTF8String(text);
    std::string folded = FinderText::fold(text);
    while (!folded.empty() && folded.back() == '.') {
        folded.pop_back();
    }
    return folded;
}

// English writes a few abbreviations that the locale data does not list.
constexpr std::pair<std::string_view, Weekday> kEnglishAbbreviations[] = {
    {"tues", Weekday::tuesday},
    {"weds", Weekday::wednesday},
    {"thur", Weekday::thursday},
    {"thurs", Weekday::thursday},
};

// ... and Austrian German names February "Feber", which no locale data lists.
constexpr std::pair<std::string_view, int> kMonthVariants[] = {{"feber", 2}};

struct Vocabulary {
    std::unordered_map<std::string, int> months;
    std::vector<std::pair<std::string, int>> fullMonths;
    std::unordered_map<std::string, WeekdayName> weekdays;
    std::unordered_map<std::string, int> numbers;
    std::unordered_map<std::string, int> ordinals;
    bool dayFirst = true;
    bool twelveHour = false;

    void addLanguage(const icu::Locale& locale) {
        UErrorCode status = U_ZERO_ERROR;
        icu::DateFormatSymbols symbols(locale, status);
        if (U_FAILURE(status)) {
            return;
        }
        for (const auto context :
             {icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::STANDALONE}) {
            for (const auto width :
                 {icu::DateFormatSymbols::WIDE, icu::DateFormatSymbols::ABBREVIATED}) {
                int32_t count = 0;
                const icu::UnicodeString* names = symbols.getMonths(count, context, width);
                for (int32_t i = 0; i < count && i < 12; ++i) {
                    const std::string name = key(names[i]);
                    months.emplace(name, i + 1);
                    if (width == icu::DateFormatSymbols::WIDE) {
                        fullMonths.emplace_back(name, i + 1);
                    }
                }
                const icu::UnicodeString* days = symbols.getWeekdays(count, context, width);
                for (int32_t i = 1; i < count && i <= 7; ++i) {
                    weekdays.emplace(key(days[i]),
                                     WeekdayName{static_cast<Weekday>(i),
                                                 width == icu::DateFormatSymbols::WIDE});
                }
            }
        }
        for (const bool ordinal : {false, true}) {
            status = U_ZERO_ERROR;
            icu::RuleBasedNumberFormat format(icu::URBNF_SPELLOUT, locale, status);
            if (ordinal) {
                format.setDefaultRuleSet("%spellout-ordinal", status);
            }
            if (U_FAILURE(status)) {
                continue;
            }
            for (int n = 1; n <= 31; ++n) {
                icu::UnicodeString text;
                format.format(static_cast<int32_t>(n), text);
                (ordinal ? ordinals : numbers).emplace(key(text), n);
            }
        }
    }
};

const Vocabulary& vocabulary(const std::string& localeId) {
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<Vocabulary>> cache;
    const icu::Locale user(localeId.c_str());
    const std::string language = user.getLanguage();
    const std::lock_guard lock(mutex);
    auto& entry = cache[localeId];
    if (!entry) {
        entry = std::make_unique<Vocabulary>();
        // Austrian German names January "Jänner", whatever the reader's own German.
        for (const char* name : {"en", "de", "fr", "de_AT"}) {
            entry->addLanguage(icu::Locale(name));
        }
        if (language != "en" && language != "de" && language != "fr" && !language.empty()) {
            entry->addLanguage(icu::Locale(language.c_str()));
        }
        for (const auto& [name, day] : kEnglishAbbreviations) {
            entry->weekdays.emplace(std::string(name), WeekdayName{day, false});
        }
        for (const auto& [name, number] : kMonthVariants) {
            entry->months.emplace(std::string(name), number);
            entry->fullMonths.emplace_back(std::string(name), number);
        }
        std::unique_ptr<icu::DateFormat> format(
            icu::DateFormat::createDateInstance(icu::DateFormat::kShort, user));
        if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(format.get())) {
            icu::UnicodeString pattern;
            simple->toPattern(pattern);
            const int32_t day = pattern.indexOf(u'd');
            const int32_t month = pattern.indexOf(u'M');
            entry->dayFirst = day < 0 || month < 0 || day < month;
        }
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::DateTimePatternGenerator> generator(
            icu::DateTimePatternGenerator::createInstance(user, status));
        if (U_SUCCESS(status)) {
            // "h:mm a" counts to 12, "HH 'Uhr'" to 24: pattern letters outside quoted text.
            const icu::UnicodeString hour = generator->getBestPattern(u"j", status);
            bool quoted = false;
            for (int32_t k = 0; k < hour.length(); ++k) {
                const char16_t c = hour.charAt(k);
                quoted = c == u'\'' ? !quoted : quoted;
                entry->twelveHour = entry->twelveHour || (!quoted && (c == u'h' || c == u'K'));
            }
        }
    }
    return *entry;
}

} // namespace

std::optional<int> month(std::string_view word, const std::string& localeId) {
    const Vocabulary& words = vocabulary(localeId);
    const std::string text(word);
    if (const auto found = words.months.find(text); found != words.months.end()) {
        return found->second;
    }
    if (word.size() < 3) {
        return std::nullopt;
    }
    std::optional<int> month;
    for (const auto& [name, number] : words.fullMonths) {
        if (name.starts_with(word)) {
            if (month && *month != number) {
                return std::nullopt;
            }
            month = number;
        }
    }
    return month;
}

std::optional<WeekdayName> weekday(std::string_view word, const std::string& localeId) {
    const Vocabulary& words = vocabulary(localeId);
    const auto found = words.weekdays.find(std::string(word));
    return found == words.weekdays.end() ? std::nullopt : std::optional(found->second);
}

std::optional<int> numberWord(std::string_view word, const std::string& localeId) {
    const Vocabulary& words = vocabulary(localeId);
    const auto found = words.numbers.find(std::string(word));
    return found == words.numbers.end() ? std::nullopt : std::optional(found->second);
}

std::optional<int> ordinalWord(std::string_view word, const std::string& localeId) {
    const Vocabulary& words = vocabulary(localeId);
    const auto found = words.ordinals.find(std::string(word));
    return found == words.ordinals.end() ? std::nullopt : std::optional(found->second);
}

bool isCountry(std::string_view phrase) {
    // Every country's name in English, German and French, folded ("spain", "new zealand").
    static const std::set<std::string, std::less<>> names = [] {
        std::set<std::string, std::less<>> out;
        for (const char* const* code = icu::Locale::getISOCountries(); *code != nullptr; ++code) {
            const icu::Locale country("", *code);
            for (const char* language : {"en", "de", "fr"}) {
                icu::UnicodeString name;
                country.getDisplayCountry(icu::Locale(language), name);
                out.insert(key(name));
            }
        }
        return out;
    }();
    return names.contains(phrase);
}

bool dayFirst(const std::string& localeId) {
    return vocabulary(localeId).dayFirst;
}

bool twelveHourClock(const std::string& localeId) {
    return vocabulary(localeId).twelveHour;
}

} // namespace plannery::reader::Words
