#include "finder/FinderText.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

namespace plannery::FinderText {

namespace {

icu::UnicodeString unicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), text.size()));
}

std::string utf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

bool isSpace(UChar32 c) {
    return c == '\t' || u_charType(c) == U_SPACE_SEPARATOR;
}

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string_view trimSpaces(std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    int32_t begin = 0;
    while (begin < length) {
        int32_t next = begin;
        UChar32 c = 0;
        U8_NEXT(bytes, next, length, c);
        if (!isSpace(c)) {
            break;
        }
        begin = next;
    }
    int32_t end = length;
    while (end > begin) {
        int32_t previous = end;
        UChar32 c = 0;
        U8_PREV(bytes, 0, previous, c);
        if (!isSpace(c)) {
            break;
        }
        end = previous;
    }
    return text.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
}

std::string lower(std::string_view text) {
    if (isAscii(text)) {
        std::string out(text);
        for (char& c : out) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
        return out;
    }
    return utf8(unicode(text).toLower(icu::Locale::getRoot()));
}

std::string upper(std::string_view text) {
    return utf8(unicode(text).toUpper(icu::Locale::getRoot()));
}

std::string capitalizeWords(std::string_view text) {
    return utf8(unicode(text).toTitle(nullptr, icu::Locale::getRoot()));
}

std::string capitalizeFirst(std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    int32_t end = 0;
    UChar32 c = 0;
    U8_NEXT(bytes, end, length, c);
    if (c < 0 || !u_islower(c)) {
        return std::string(text);
    }
    return upper(text.substr(0, static_cast<std::size_t>(end))) +
           std::string(text.substr(static_cast<std::size_t>(end)));
}

std::size_t capitalAt(std::string_view text, std::size_t k) {
    if (k >= text.size()) {
        return 0;
    }
    const auto c = static_cast<unsigned char>(text[k]);
    if (c >= 'A' && c <= 'Z') {
        return 1;
    }
    const auto next = static_cast<unsigned char>(k + 1 < text.size() ? text[k + 1] : 0);
    return c == 0xC3U && next >= 0x80U && next < 0x9FU ? 2 : 0;
}

std::size_t smallLetterAt(std::string_view text, std::size_t k) {
    if (k >= text.size()) {
        return 0;
    }
    const auto c = static_cast<unsigned char>(text[k]);
    if (c >= 'a' && c <= 'z') {
        return 1;
    }
    const auto next = static_cast<unsigned char>(k + 1 < text.size() ? text[k + 1] : 0);
    return c == 0xC3U && next >= 0xA0U ? 2 : 0;
}

std::size_t letterCount(std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    std::size_t count = 0;
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c >= 0 && (U_GET_GC_MASK(c) & (U_GC_L_MASK | U_GC_M_MASK)) != 0) {
            ++count;
        }
    }
    return count;
}

bool isAllCaps(std::string_view text) {
    return upper(text) == text && lower(text) != text;
}

std::string fold(std::string_view word) {
    if (isAscii(word)) {
        return lower(word);
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    icu::UnicodeString folded = unicode(word);
    // Full case folding turns the German sharp s into "ss", so "Straße" and "Strasse" meet.
    folded.foldCase();
    if (U_FAILURE(status)) {
        return utf8(folded);
    }
    const icu::UnicodeString decomposed = nfd->normalize(folded, status);
    icu::UnicodeString bare;
    for (int32_t i = 0; i < decomposed.length();) {
        const UChar32 c = decomposed.char32At(i);
        if (u_charType(c) != U_NON_SPACING_MARK) {
            bare.append(c);
        }
        i += U16_LENGTH(c);
    }
    return utf8(bare);
}

} // namespace plannery::FinderText
