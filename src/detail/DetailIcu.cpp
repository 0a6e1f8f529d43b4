#include "detail/DetailIcu.h"

#include "grid/GridDateFormats.h"

#include <unicode/brkiter.h>
#include <unicode/datefmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/dtitvfmt.h>
#include <unicode/listformatter.h>
#include <unicode/locid.h>
#include <unicode/measfmt.h>
#include <unicode/measunit.h>
#include <unicode/measure.h>
#include <unicode/numfmt.h>
#include <unicode/rbnf.h>
#include <unicode/timezone.h>
#include <unicode/tzfmt.h>
#include <unicode/unistr.h>

#include <cmath>
#include <functional>
#include <memory>
#include <unordered_map>

namespace plannery::DetailIcu {

namespace {

constexpr double kMillis = 1000.0;
// The sheet uses a handful of formatters; the limit only guards against a caller that walks
// through many locales or zones.
constexpr std::size_t kCacheLimit = 128;

std::string utf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

icu::UnicodeString unicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), text.size()));
}

std::string cacheKey(std::string_view pattern, const std::string& localeId,
                     const std::string& zoneId = {}) {
    std::string key(localeId);
    key.append(1, '\x1f').append(zoneId).append(1, '\x1f').append(pattern);
    return key;
}

std::unique_ptr<icu::TimeZone> knownZone(const std::string& zoneId) {
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(unicode(zoneId)));
    if (!zone || *zone == icu::TimeZone::getUnknown()) {
        return nullptr;
    }
    return zone;
}

// An unknown zone is written in UTC rather than under ICU's "Etc/Unknown".
icu::TimeZone* zoneOrUtc(const std::string& zoneId) {
    auto zone = knownZone(zoneId);
    return zone ? zone.release() : icu::TimeZone::getGMT()->clone();
}

template <typename T> using Cache = std::unordered_map<std::string, std::unique_ptr<T>>;

// A formatter that cannot be built is kept as absent, so it is not retried on every call.
template <typename T>
T* cached(Cache<T>& cache, const std::string& key,
          const std::function<std::unique_ptr<T>()>& make) {
    if (auto found = cache.find(key); found != cache.end()) {
        return found->second.get();
    }
    if (cache.size() >= kCacheLimit) {
        cache.clear();
    }
    return cache.emplace(key, make()).first->second.get();
}

const icu::DateFormatSymbols* symbols(const std::string& localeId) {
    thread_local Cache<icu::DateFormatSymbols> cache;
    return cached<icu::DateFormatSymbols>(cache, cacheKey({}, localeId), [&] {
        UErrorCode status = U_ZERO_ERROR;
        auto made = std::make_unique<icu::DateFormatSymbols>(icu::Locale(localeId.c_str()), status);
        return U_FAILURE(status) ? nullptr : std::move(made);
    });
}

} // namespace

std::string interval(std::string_view skeleton, Instant from, Instant to,
                     const std::string& localeId, const std::string& zoneId) {
    if (!std::isfinite(from.seconds) || !std::isfinite(to.seconds)) {
        return {};
    }
    thread_local Cache<icu::DateIntervalFormat> cache;
    const icu::DateIntervalFormat* formatter =
        cached<icu::DateIntervalFormat>(cache, cacheKey(skeleton, localeId, zoneId), [&]() {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::DateIntervalFormat> made(icu::DateIntervalFormat::createInstance(
                unicode(skeleton), icu::Locale(localeId.c_str()), status));
            if (U_FAILURE(status) || !made) {
                return std::unique_ptr<icu::DateIntervalFormat>();
            }
            made->adoptTimeZone(zoneOrUtc(zoneId));
            return made;
        });
    if (formatter == nullptr) {
        return {};
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::DateInterval range(from.seconds * kMillis, to.seconds * kMillis);
    icu::UnicodeString text;
    icu::FieldPosition position;
    formatter->format(&range, text, position, status);
    return U_FAILURE(status) ? std::string() : utf8(text);
}

std::string styled(DateStyle date, TimeStyle time, Instant t, const std::string& localeId,
                   const std::string& zoneId) {
    if (!std::isfinite(t.seconds) || (date == DateStyle::none && time == TimeStyle::none)) {
        return {};
    }
    const auto dateStyle =
        date == DateStyle::medium ? icu::DateFormat::kMedium : icu::DateFormat::kNone;
    const auto timeStyle =
        time == TimeStyle::shortStyle ? icu::DateFormat::kShort : icu::DateFormat::kNone;
    thread_local Cache<icu::DateFormat> cache;
    const std::string pattern = std::to_string(static_cast<int>(dateStyle)) + "/" +
                                std::to_string(static_cast<int>(timeStyle));
    const icu::DateFormat* formatter =
        cached<icu::DateFormat>(cache, cacheKey(pattern, localeId, zoneId), [&]() {
            std::unique_ptr<icu::DateFormat> made(icu::DateFormat::createDateTimeInstance(
                dateStyle, timeStyle, icu::Locale(localeId.c_str())));
            if (made) {
                made->adoptTimeZone(zoneOrUtc(zoneId));
            }
            return made;
        });
    if (formatter == nullptr) {
        return {};
    }
    icu::UnicodeString text;
    formatter->format(t.seconds * kMillis, text);
    return utf8(text);
}

std::string list(const std::vector<std::string>& items, const std::string& localeId) {
    thread_local Cache<icu::ListFormatter> cache;
    const icu::ListFormatter* formatter =
        cached<icu::ListFormatter>(cache, cacheKey({}, localeId), [&]() {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::ListFormatter> made(
                icu::ListFormatter::createInstance(icu::Locale(localeId.c_str()), status));
            return U_FAILURE(status) ? nullptr : std::move(made);
        });
    std::vector<icu::UnicodeString> texts;
    texts.reserve(items.size());
    for (const std::string& item : items) {
        texts.push_back(unicode(item));
    }
    if (formatter == nullptr) {
        std::string joined;
        for (const std::string& item : items) {
            joined.append(joined.empty() ? "" : ", ").append(item);
        }
        return joined;
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text;
    formatter->format(texts.data(), static_cast<int32_t>(texts.size()), text, status);
    return U_FAILURE(status) ? std::string() : utf8(text);
}

std::string ordinal(int n, const std::string& localeId) {
    thread_local Cache<icu::RuleBasedNumberFormat> cache;
    const icu::RuleBasedNumberFormat* formatter =
        cached<icu::RuleBasedNumberFormat>(cache, cacheKey({}, localeId), [&]() {
            UErrorCode status = U_ZERO_ERROR;
            auto made = std::make_unique<icu::RuleBasedNumberFormat>(
                icu::URBNF_ORDINAL, icu::Locale(localeId.c_str()), status);
            return U_FAILURE(status) ? nullptr : std::move(made);
        });
    if (formatter == nullptr) {
        return std::to_string(n);
    }
    icu::UnicodeString text;
    formatter->format(static_cast<int32_t>(n), text);
    return utf8(text);
}

std::string number(long long n, const std::string& localeId) {
    thread_local Cache<icu::NumberFormat> cache;
    const icu::NumberFormat* formatter =
        cached<icu::NumberFormat>(cache, cacheKey({}, localeId), [&]() {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::NumberFormat> made(
                icu::NumberFormat::createInstance(icu::Locale(localeId.c_str()), status));
            return U_FAILURE(status) ? nullptr : std::move(made);
        });
    if (formatter == nullptr) {
        return std::to_string(n);
    }
    icu::UnicodeString text;
    formatter->format(static_cast<int64_t>(n), text);
    return utf8(text);
}

std::string duration(const std::vector<DurationPart>& parts, const std::string& localeId) {
    thread_local Cache<icu::MeasureFormat> cache;
    const icu::MeasureFormat* formatter =
        cached<icu::MeasureFormat>(cache, cacheKey({}, localeId), [&]() {
            UErrorCode status = U_ZERO_ERROR;
            auto made = std::make_unique<icu::MeasureFormat>(icu::Locale(localeId.c_str()),
                                                             UMEASFMT_WIDTH_WIDE, status);
            return U_FAILURE(status) ? nullptr : std::move(made);
        });
    if (formatter == nullptr || parts.empty()) {
        return {};
    }
    UErrorCode status = U_ZERO_ERROR;
    std::vector<icu::Measure> measures;
    measures.reserve(parts.size());
    for (const DurationPart& part : parts) {
        icu::MeasureUnit* unit = nullptr;
        switch (part.unit) {
        case DurationUnit::week:
            unit = icu::MeasureUnit::createWeek(status);
            break;
        case DurationUnit::day:
            unit = icu::MeasureUnit::createDay(status);
            break;
        case DurationUnit::hour:
            unit = icu::MeasureUnit::createHour(status);
            break;
        case DurationUnit::minute:
            unit = icu::MeasureUnit::createMinute(status);
            break;
        }
        if (U_FAILURE(status) || unit == nullptr) {
            delete unit;
            return {};
        }
        measures.emplace_back(icu::Formattable(static_cast<int64_t>(part.value)), unit, status);
    }
    icu::UnicodeString text;
    icu::FieldPosition position;
    formatter->formatMeasures(measures.data(), static_cast<int32_t>(measures.size()), text,
                              position, status);
    return U_FAILURE(status) ? std::string() : utf8(text);
}

std::string weekdayName(int weekday, const std::string& localeId) {
    const icu::DateFormatSymbols* table = symbols(localeId);
    if (table == nullptr || weekday < 1 || weekday > 7) {
        return {};
    }
    int32_t count = 0;
    // ICU's weekday array is indexed by its day numbers, which start at 1 = Sunday as ours do.
    const icu::UnicodeString* names =
        table->getWeekdays(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::WIDE);
    return names != nullptr && weekday < count ? utf8(names[weekday]) : std::string();
}

std::string monthName(int month, const std::string& localeId) {
    const icu::DateFormatSymbols* table = symbols(localeId);
    if (table == nullptr || month < 1 || month > 12) {
        return {};
    }
    int32_t count = 0;
    const icu::UnicodeString* names =
        table->getMonths(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::WIDE);
    return names != nullptr && month - 1 < count ? utf8(names[month - 1]) : std::string();
}

std::optional<int> zoneOffset(const std::string& zoneId, Instant t) {
    if (!std::isfinite(t.seconds)) {
        return std::nullopt;
    }
    auto zone = knownZone(zoneId);
    if (!zone) {
        return std::nullopt;
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t raw = 0;
    int32_t dst = 0;
    zone->getOffset(t.seconds * kMillis, false, raw, dst, status);
    return U_FAILURE(status) ? std::nullopt : std::optional<int>((raw + dst) / 1000);
}

std::string zoneGenericName(const std::string& zoneId, Instant t, const std::string& localeId) {
    auto zone = knownZone(zoneId);
    if (!zone || !std::isfinite(t.seconds)) {
        return {};
    }
    thread_local Cache<icu::TimeZoneFormat> cache;
    const icu::TimeZoneFormat* formatter =
        cached<icu::TimeZoneFormat>(cache, cacheKey({}, localeId), [&]() {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::TimeZoneFormat> made(
                icu::TimeZoneFormat::createInstance(icu::Locale(localeId.c_str()), status));
            return U_FAILURE(status) ? nullptr : std::move(made);
        });
    if (formatter == nullptr) {
        return {};
    }
    const UDate date = t.seconds * kMillis;
    icu::UnicodeString generic;
    formatter->format(UTZFMT_STYLE_GENERIC_LONG, *zone, date, generic);
    // Without a name of its own ICU writes the offset ("GMT-05:00"); that is not a name.
    UErrorCode status = U_ZERO_ERROR;
    int32_t raw = 0;
    int32_t dst = 0;
    zone->getOffset(date, false, raw, dst, status);
    icu::UnicodeString gmt;
    formatter->formatOffsetLocalizedGMT(raw + dst, gmt, status);
    return generic.isEmpty() || (U_SUCCESS(status) && generic == gmt) ? std::string()
                                                                      : utf8(generic);
}

std::string upperFirstCharacter(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const icu::UnicodeString whole = unicode(text);
    thread_local std::unique_ptr<icu::BreakIterator> characters = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        return U_FAILURE(status) ? nullptr : std::move(made);
    }();
    int32_t end = whole.moveIndex32(0, 1);
    if (characters) {
        characters->setText(whole);
        const int32_t next = characters->following(0);
        if (next != icu::BreakIterator::DONE && next > 0) {
            end = next;
        }
    }
    icu::UnicodeString first(whole, 0, end);
    first.toUpper(icu::Locale::getRoot());
    return utf8(first);
}

} // namespace plannery::DetailIcu
