#include "grid/GridDateFormats.h"

#include <unicode/dtfmtsym.h>
#include <unicode/dtitvfmt.h>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <cmath>
#include <memory>
#include <unordered_map>

namespace plannery::GridDateFormats {

namespace {

constexpr double kMillis = 1000.0;
// A grid uses a handful of formatters; the limit only guards against a caller that walks through
// many locales or zones.
constexpr std::size_t kCacheLimit = 128;

std::string utf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

icu::UnicodeString unicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), text.size()));
}

std::string cacheKey(char kind, std::string_view pattern, const std::string& localeId,
                     const std::string& zoneId) {
    std::string key(1, kind);
    key.append(1, '\x1f').append(localeId).append(1, '\x1f').append(zoneId);
    key.append(1, '\x1f').append(pattern);
    return key;
}

// A zone the calendar already accepted; an unknown one falls back to UTC rather than ICU's
// "Etc/Unknown", which would also be UTC but under a misleading name.
icu::TimeZone* zoneFor(const std::string& zoneId) {
    icu::TimeZone* zone = icu::TimeZone::createTimeZone(unicode(zoneId));
    if (zone == nullptr || *zone == icu::TimeZone::getUnknown()) {
        delete zone;
        zone = icu::TimeZone::getGMT()->clone();
    }
    return zone;
}

template <typename Formatter>
using Cache = std::unordered_map<std::string, std::unique_ptr<Formatter>>;

template <typename Formatter, typename Make>
Formatter* cached(Cache<Formatter>& cache, const std::string& key, Make make) {
    if (auto found = cache.find(key); found != cache.end()) {
        return found->second.get();
    }
    if (cache.size() >= kCacheLimit) {
        cache.clear();
    }
    // A formatter that cannot be built is remembered as absent, so it is not retried every time.
    return cache.emplace(key, make()).first->second.get();
}

const icu::SimpleDateFormat* patternFormatter(std::string_view pattern, const std::string& localeId,
                                              const std::string& zoneId) {
    thread_local Cache<icu::SimpleDateFormat> cache;
    return cached(cache, cacheKey('p', pattern, localeId, zoneId),
                  [&]() -> std::unique_ptr<icu::SimpleDateFormat> {
                      UErrorCode status = U_ZERO_ERROR;
                      auto formatter = std::make_unique<icu::SimpleDateFormat>(
                          unicode(pattern), icu::Locale(localeId.c_str()), status);
                      if (U_FAILURE(status)) {
                          return nullptr;
                      }
                      formatter->adoptTimeZone(zoneFor(zoneId));
                      return formatter;
                  });
}

// The short time style's pattern, reduced to its skeleton so that the interval formatter shows
// exactly the fields the short style shows.
icu::UnicodeString shortTimeSkeleton(const std::string& localeId) {
    const icu::Locale locale(localeId.c_str());
    std::unique_ptr<icu::DateFormat> style(
        icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, locale));
    icu::UnicodeString pattern;
    if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(style.get())) {
        simple->toPattern(pattern);
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString skeleton = icu::DateTimePatternGenerator::staticGetSkeleton(pattern, status);
    return U_FAILURE(status) || skeleton.isEmpty() ? icu::UnicodeString(u"jmm") : skeleton;
}

std::string formatWith(const icu::DateFormat* formatter, Instant t) {
    if (formatter == nullptr || !std::isfinite(t.seconds)) {
        return {};
    }
    icu::UnicodeString text;
    formatter->format(t.seconds * kMillis, text);
    return utf8(text);
}

} // namespace

std::string bestPattern(std::string_view skeleton, const std::string& localeId) {
    thread_local std::unordered_map<std::string, std::string> patterns;
    const std::string key = cacheKey('b', skeleton, localeId, {});
    if (auto found = patterns.find(key); found != patterns.end()) {
        return found->second;
    }
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(icu::Locale(localeId.c_str()), status));
    std::string pattern;
    if (U_SUCCESS(status) && generator) {
        const icu::UnicodeString best = generator->getBestPattern(unicode(skeleton), status);
        if (U_SUCCESS(status)) {
            pattern = utf8(best);
        }
    }
    if (patterns.size() >= kCacheLimit) {
        patterns.clear();
    }
    patterns.emplace(key, pattern);
    return pattern;
}

std::string format(std::string_view pattern, Instant t, const std::string& localeId,
                   const std::string& zoneId) {
    return formatWith(patternFormatter(pattern, localeId, zoneId), t);
}

std::string formatSkeleton(std::string_view skeleton, Instant t, const std::string& localeId,
                           const std::string& zoneId) {
    const std::string pattern = bestPattern(skeleton, localeId);
    return pattern.empty() ? std::string() : format(pattern, t, localeId, zoneId);
}

std::string shortTime(Instant t, const std::string& localeId, const std::string& zoneId) {
    thread_local Cache<icu::DateFormat> cache;
    const icu::DateFormat* formatter = cached(
        cache, cacheKey('s', {}, localeId, zoneId), [&]() -> std::unique_ptr<icu::DateFormat> {
            std::unique_ptr<icu::DateFormat> style(icu::DateFormat::createTimeInstance(
                icu::DateFormat::kShort, icu::Locale(localeId.c_str())));
            if (style) {
                style->adoptTimeZone(zoneFor(zoneId));
            }
            return style;
        });
    return formatWith(formatter, t);
}

std::string timeInterval(Instant from, Instant to, const std::string& localeId,
                         const std::string& zoneId) {
    if (!std::isfinite(from.seconds) || !std::isfinite(to.seconds)) {
        return {};
    }
    thread_local Cache<icu::DateIntervalFormat> cache;
    icu::DateIntervalFormat* formatter =
        cached(cache, cacheKey('i', {}, localeId, zoneId),
               [&]() -> std::unique_ptr<icu::DateIntervalFormat> {
                   UErrorCode status = U_ZERO_ERROR;
                   std::unique_ptr<icu::DateIntervalFormat> interval(
                       icu::DateIntervalFormat::createInstance(
                           shortTimeSkeleton(localeId), icu::Locale(localeId.c_str()), status));
                   if (U_FAILURE(status) || !interval) {
                       return nullptr;
                   }
                   interval->adoptTimeZone(zoneFor(zoneId));
                   return interval;
               });
    if (formatter == nullptr) {
        return {};
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::DateInterval interval(from.seconds * kMillis, to.seconds * kMillis);
    icu::UnicodeString text;
    icu::FieldPosition position;
    formatter->format(&interval, text, position, status);
    return U_FAILURE(status) ? std::string() : utf8(text);
}

DayPeriodSymbols amPmSymbols(const std::string& localeId) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::DateFormatSymbols symbols(icu::Locale(localeId.c_str()), status);
    int32_t count = 0;
    const icu::UnicodeString* strings = symbols.getAmPmStrings(count);
    if (U_FAILURE(status) || strings == nullptr || count < 2) {
        return {};
    }
    return DayPeriodSymbols{.am = utf8(strings[0]), .pm = utf8(strings[1])};
}

} // namespace plannery::GridDateFormats
