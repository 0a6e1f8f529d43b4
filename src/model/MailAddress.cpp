#include "model/MailAddress.h"

#include "model/PercentDecoding.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>

namespace plannery {

namespace {

constexpr std::string_view kMailto = "mailto:";

// White space as regular expressions see it: tab, line feed, form feed, carriage return and
// the Unicode separators.
bool isPatternSpace(UChar32 c) {
    if (c == '\t' || c == '\n' || c == '\f' || c == '\r') {
        return true;
    }
    return c >= 0 && (U_GET_GC_MASK(c) & U_GC_Z_MASK) != 0;
}

} // namespace

std::optional<std::string> emailFromURL(std::string_view url) {
    if (url.size() < kMailto.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kMailto.size(); ++i) {
        const char c = url[i];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != kMailto[i]) {
            return std::nullopt;
        }
    }
    const std::string_view rest = url.substr(kMailto.size());
    std::string address = percentDecoded(rest).value_or(std::string(rest));
    if (const auto query = address.find('?'); query != std::string::npos) {
        address.erase(query);
    }
    if (address.empty()) {
        return std::nullopt;
    }
    return address;
}

bool matchesEmailPattern(std::string_view text) {
    // ^[^@\s]+@[^@\s]+\.[^@\s]+$ by hand: one "@" with something before it, and after it a "."
    // that is neither the first nor the last character; no white space anywhere.
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    int32_t at = -1;
    bool dotInside = false;
    for (int32_t i = 0; i < length;) {
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (isPatternSpace(c)) {
            return false;
        }
        if (c == '@') {
            if (at >= 0 || start == 0) {
                return false;
            }
            at = start;
        } else if (c == '.' && at >= 0 && start > at + 1 && i < length) {
            dotInside = true;
        }
    }
    return at >= 0 && dotInside;
}

AddressList addressList(std::string_view text) {
    AddressList list;
    const auto lower = [](std::string word) {
        for (char& c : word) {
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        return word;
    };
    std::size_t begin = 0;
    while (begin < text.size()) {
        const auto end = std::min(text.find_first_of(",; \t\r\n", begin), text.size());
        const std::string piece(text.substr(begin, end - begin));
        begin = end + 1;
        if (piece.empty()) {
            continue;
        }
        if (!matchesEmailPattern(piece)) {
            list.rejected.push_back(piece);
        } else if (std::none_of(list.addresses.begin(), list.addresses.end(),
                                [&](const std::string& a) { return lower(a) == lower(piece); })) {
            list.addresses.push_back(piece);
        }
    }
    return list;
}

} // namespace plannery
