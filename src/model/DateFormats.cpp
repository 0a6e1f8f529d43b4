#include "model/DateFormats.h"

#include "model/IcuCache.h"

#include <unicode/datefmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/dtitvfmt.h>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/tzfmt.h>

#include <cmath>
#include <memory>

namespace plannery::DateFormats {

using IcuCache::unicode;
using IcuCache::utf8;

namespace {

constexpr double kMillis = 1000.0;

std::string formatWith(const icu::DateFormat* formatter, Instant t) {
    if (formatter == nullptr || !std::isfinite(t.seconds)) {
        return {};
    }
    icu::UnicodeString text;
    formatter->format(t.seconds * kMillis, text);
    return utf8(text);
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

// `key` tells the skeleton apart; `skeleton` is asked only when the formatter is built.
template <typename Skeleton>
std::string formatInterval(const std::string& key, const Skeleton& skeleton, Instant from,
                           Instant to, const std::string& localeId, const std::string& zoneId) {
    if (!std::isfinite(from.seconds) || !std::isfinite(to.seconds)) {
        return {};
    }
    icu::DateIntervalFormat* formatter = IcuCache::cached<icu::DateIntervalFormat>(
        IcuCache::key(key, localeId, zoneId), [&]() -> std::unique_ptr<icu::DateIntervalFormat> {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::DateIntervalFormat> made(icu::DateIntervalFormat::createInstance(
                skeleton(), icu::Locale(localeId.c_str()), status));
            if (U_FAILURE(status) || !made) {
                return nullptr;
            }
            made->adoptTimeZone(IcuCache::zoneOrUtc(zoneId));
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

const icu::DateFormatSymbols* symbols(const std::string& localeId) {
    return IcuCache::cached<icu::DateFormatSymbols>(
        IcuCache::key({}, localeId), [&]() -> std::unique_ptr<icu::DateFormatSymbols> {
            UErrorCode status = U_ZERO_ERROR;
            auto made =
                std::make_unique<icu::DateFormatSymbols>(icu::Locale(localeId.c_str()), status);
            return U_FAILURE(status) ? nullptr : std::move(made);
        });
}

} // namespace

std::string bestPattern(std::string_view skeleton, const std::string& localeId) {
    // The pattern is kept rather than the generator: a generator is costly to build and to ask.
    const icu::UnicodeString* pattern = IcuCache::cached<icu::UnicodeString>(
        IcuCache::key(skeleton, localeId), [&]() -> std::unique_ptr<icu::UnicodeString> {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::DateTimePatternGenerator> generator(
                icu::DateTimePatternGenerator::createInstance(icu::Locale(localeId.c_str()),
                                                              status));
            if (U_FAILURE(status) || !generator) {
                return nullptr;
            }
            auto best = std::make_unique<icu::UnicodeString>(
                generator->getBestPattern(unicode(skeleton), status));
            return U_FAILURE(status) ? nullptr : std::move(best);
        });
    return pattern == nullptr ? std::string() : utf8(*pattern);
}

std::string format(std::string_view pattern, Instant t, const std::string& localeId,
                   const std::string& zoneId) {
    const icu::SimpleDateFormat* formatter = IcuCache::cached<icu::SimpleDateFormat>(
        IcuCache::key(pattern, localeId, zoneId), [&]() -> std::unique_ptr<icu::SimpleDateFormat> {
            UErrorCode status = U_ZERO_ERROR;
            auto made = std::make_unique<icu::SimpleDateFormat>(
                unicode(pattern), icu::Locale(localeId.c_str()), status);
            if (U_FAILURE(status)) {
                return nullptr;
            }
            made->adoptTimeZone(IcuCache::zoneOrUtc(zoneId));
            return made;
        });
    return formatWith(formatter, t);
}

std::string formatSkeleton(std::string_view skeleton, Instant t, const std::string& localeId,
                           const std::string& zoneId) {
    const std::string pattern = bestPattern(skeleton, localeId);
    return pattern.empty() ? std::string() : format(pattern, t, localeId, zoneId);
}

std::string styled(DateStyle date, TimeStyle time, Instant t, const std::string& localeId,
                   const std::string& zoneId) {
    if (date == DateStyle::none && time == TimeStyle::none) {
        return {};
    }
    const auto dateStyle =
        date == DateStyle::medium ? icu::DateFormat::kMedium : icu::DateFormat::kNone;
    const auto timeStyle =
        time == TimeStyle::shortStyle ? icu::DateFormat::kShort : icu::DateFormat::kNone;
    const std::string styles = std::to_string(static_cast<int>(dateStyle)) + "/" +
                               std::to_string(static_cast<int>(timeStyle));
    const icu::DateFormat* formatter = IcuCache::cached<icu::DateFormat>(
        IcuCache::key(styles, localeId, zoneId), [&]() -> std::unique_ptr<icu::DateFormat> {
            std::unique_ptr<icu::DateFormat> made(icu::DateFormat::createDateTimeInstance(
                dateStyle, timeStyle, icu::Locale(localeId.c_str())));
            if (made) {
                made->adoptTimeZone(IcuCache::zoneOrUtc(zoneId));
            }
            return made;
        });
    return formatWith(formatter, t);
}

std::string shortTime(Instant t, const std::string& localeId, const std::string& zoneId) {
    return styled(DateStyle::none, TimeStyle::shortStyle, t, localeId, zoneId);
}

std::string interval(std::string_view skeleton, Instant from, Instant to,
                     const std::string& localeId, const std::string& zoneId) {
    return formatInterval(
        std::string(skeleton), [&] { return unicode(skeleton); }, from, to, localeId, zoneId);
}

std::string timeInterval(Instant from, Instant to, const std::string& localeId,
                         const std::string& zoneId) {
    // A key no skeleton spells: the short style's skeleton is known only once it is asked for.
    return formatInterval(
        "\x1dshort", [&] { return shortTimeSkeleton(localeId); }, from, to, localeId, zoneId);
}

DayPeriodSymbols amPmSymbols(const std::string& localeId) {
    const icu::DateFormatSymbols* table = symbols(localeId);
    int32_t count = 0;
    const icu::UnicodeString* strings = table == nullptr ? nullptr : table->getAmPmStrings(count);
    if (strings == nullptr || count < 2) {
        return {};
    }
    return DayPeriodSymbols{.am = utf8(strings[0]), .pm = utf8(strings[1])};
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
    auto zone = IcuCache::knownZone(zoneId);
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
    auto zone = IcuCache::knownZone(zoneId);
    if (!zone || !std::isfinite(t.seconds)) {
        return {};
    }
    const icu::TimeZoneFormat* formatter = IcuCache::cached<icu::TimeZoneFormat>(
        IcuCache::key({}, localeId), [&]() -> std::unique_ptr<icu::TimeZoneFormat> {
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

} // namespace plannery::DateFormats
