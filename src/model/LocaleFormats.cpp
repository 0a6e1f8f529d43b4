#include "model/LocaleFormats.h"

#include "model/IcuCache.h"

#include <unicode/brkiter.h>
#include <unicode/listformatter.h>
#include <unicode/locid.h>
#include <unicode/measfmt.h>
#include <unicode/measunit.h>
#include <unicode/measure.h>
#include <unicode/numfmt.h>
#include <unicode/rbnf.h>

#include <memory>

namespace plannery::LocaleFormats {

using IcuCache::unicode;
using IcuCache::utf8;

std::string list(const std::vector<std::string>& items, const std::string& localeId) {
    const icu::ListFormatter* formatter = IcuCache::cached<icu::ListFormatter>(
        IcuCache::key({}, localeId), [&]() -> std::unique_ptr<icu::ListFormatter> {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::ListFormatter> made(
                icu::ListFormatter::createInstance(icu::Locale(localeId.c_str()), status));
            return U_FAILURE(status) ? nullptr : std::move(made);
        });
    if (formatter == nullptr) {
        std::string joined;
        for (const std::string& item : items) {
            joined.append(joined.empty() ? "" : ", ").append(item);
        }
        return joined;
    }
    std::vector<icu::UnicodeString> texts;
    texts.reserve(items.size());
    for (const std::string& item : items) {
        texts.push_back(unicode(item));
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text;
    formatter->format(texts.data(), static_cast<int32_t>(texts.size()), text, status);
    return U_FAILURE(status) ? std::string() : utf8(text);
}

std::string ordinal(int n, const std::string& localeId) {
    const icu::RuleBasedNumberFormat* formatter = IcuCache::cached<icu::RuleBasedNumberFormat>(
        IcuCache::key({}, localeId), [&]() -> std::unique_ptr<icu::RuleBasedNumberFormat> {
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
    const icu::NumberFormat* formatter = IcuCache::cached<icu::NumberFormat>(
        IcuCache::key({}, localeId), [&]() -> std::unique_ptr<icu::NumberFormat> {
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
    const icu::MeasureFormat* formatter = IcuCache::cached<icu::MeasureFormat>(
        IcuCache::key({}, localeId), [&]() -> std::unique_ptr<icu::MeasureFormat> {
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

std::string upperFirstCharacter(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const icu::UnicodeString whole = unicode(text);
    icu::BreakIterator* characters = IcuCache::cached<icu::BreakIterator>(
        IcuCache::key({}, "root"), []() -> std::unique_ptr<icu::BreakIterator> {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::BreakIterator> made(
                icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
            return U_FAILURE(status) ? nullptr : std::move(made);
        });
    int32_t end = whole.moveIndex32(0, 1);
    if (characters != nullptr) {
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

} // namespace plannery::LocaleFormats
