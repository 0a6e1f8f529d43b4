#include "model/LinkSchemes.h"

#include "model/Ascii.h"
#include "model/DeepLink.h"

#include <algorithm>
#include <array>
#include <string>

namespace plannery::LinkSchemes {

namespace {

constexpr std::array<std::string_view, 7> kOpened = {"http",    "https",   "mailto",        "tel",
                                                     "zoommtg", "msteams", DeepLink::scheme};

char lowered(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool opens(std::string_view url) {
    const bool plain = std::none_of(url.begin(), url.end(), [](char c) {
        return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F;
    });
    const std::size_t colon = url.find(':');
    if (!plain || colon == std::string_view::npos || colon == 0 || colon + 1 == url.size() ||
        !isAsciiLetter(url.front())) {
        return false;
    }
    std::string scheme;
    for (const char c : url.substr(0, colon)) {
        if (!isAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') {
            return false;
        }
        scheme.push_back(lowered(c));
    }
    return std::find(kOpened.begin(), kOpened.end(), scheme) != kOpened.end();
}

} // namespace plannery::LinkSchemes
