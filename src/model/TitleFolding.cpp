#include "model/TitleFolding.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>

namespace plannery::TitleFolding {

namespace {

// Letters, marks and digits: the Unicode alphanumerics.
constexpr std::uint32_t kAlphanumericMask = U_GC_L_MASK | U_GC_M_MASK | U_GC_N_MASK;

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isAsciiAlphanumeric(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

void appendUtf8(std::string& out, UChar32 c) {
    char buffer[U8_MAX_LENGTH];
    std::int32_t length = 0;
    U8_APPEND_UNSAFE(buffer, length, c);
    out.append(buffer, static_cast<std::size_t>(length));
}

// Case, diacritics and width folded: compatibility decomposition turns full-width and other
// presentation forms into their plain letters and splits accents off, the non-spacing marks
// (the accents) are dropped, and full case folding compares "Straße" with "STRASSE".
void foldedAlphanumerics(std::string_view title, std::string& out) {
    thread_local icu::UnicodeString source;
    thread_local icu::UnicodeString decomposed;
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkd = icu::Normalizer2::getNFKDInstance(status);
    source.setTo(icu::UnicodeString::fromUTF8(
        icu::StringPiece(title.data(), static_cast<std::int32_t>(title.size()))));
    if (U_FAILURE(status) || nfkd == nullptr) {
        decomposed = source;
    } else {
        nfkd->normalize(source, decomposed, status);
        if (U_FAILURE(status)) {
            decomposed = source;
        }
    }
    decomposed.foldCase(U_FOLD_CASE_DEFAULT);
    const std::int32_t length = decomposed.length();
    for (std::int32_t i = 0; i < length;) {
        const UChar32 c = decomposed.char32At(i);
        i += U16_LENGTH(c);
        const std::uint32_t category = U_GET_GC_MASK(c);
        if ((category & kAlphanumericMask) != 0 && (category & U_GC_MN_MASK) == 0) {
            appendUtf8(out, c);
        }
    }
}

} // namespace

std::string alphanumerics(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t i = 0; i < length;) {
        const std::int32_t begin = i;
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c >= 0 && (U_GET_GC_MASK(c) & kAlphanumericMask) != 0) {
            out.append(text.data() + begin, static_cast<std::size_t>(i - begin));
        }
    }
    return out;
}

void fold(std::string_view title, std::string& out) {
    out.clear();
    if (isAscii(title)) {
        out.resize(title.size());
        char* next = out.data();
        for (char c : title) {
            if (isAsciiAlphanumeric(c)) {
                *next++ = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            }
        }
        out.resize(static_cast<std::size_t>(next - out.data()));
        return;
    }
    foldedAlphanumerics(title, out);
}

} // namespace plannery::TitleFolding
