#include "detail/DetailSheetLinks.h"

#include "detail/DetailFormat.h"
#include "model/Ascii.h"

#include <algorithm>
#include <optional>

namespace plannery::DetailSheetLinks {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Letters and digits, and every byte of a non-ASCII character.
bool isWordByte(char c) {
    return isLetter(c) || isAsciiDigit(c) || static_cast<unsigned char>(c) >= 0x80;
}

bool isBreak(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v' || c == '<' ||
           c == '>' || c == '"';
}

bool isMailLocalByte(char c) {
    return isLetter(c) || isAsciiDigit(c) || std::string_view("._%+-'").find(c) != npos;
}

bool isHostByte(char c) {
    return isLetter(c) || isAsciiDigit(c) || c == '.' || c == '-';
}

// "ann.lee@example.com" inside a word such as "(ann.lee@example.com)," as its span; the host
// needs a dot and a top-level name of two letters or more.
bool findMail(std::string_view word, std::size_t& begin, std::size_t& end) {
    const std::size_t at = word.find('@');
    if (at == npos) {
        return false;
    }
    begin = at;
    while (begin > 0 && isMailLocalByte(word[begin - 1])) {
        --begin;
    }
    end = at + 1;
    while (end < word.size() && isHostByte(word[end])) {
        ++end;
    }
    while (end > at + 1 && (word[end - 1] == '.' || word[end - 1] == '-')) {
        --end;
    }
    while (begin < at && !isLetter(word[begin]) && !isAsciiDigit(word[begin])) {
        ++begin;
    }
    const std::string_view host = word.substr(at + 1, end - at - 1);
    const std::size_t dot = host.rfind('.');
    if (begin == at || dot == npos || dot == 0) {
        return false;
    }
    const std::string_view ending = host.substr(dot + 1);
    return ending.size() >= 2 && std::all_of(ending.begin(), ending.end(), isLetter);
}

// The web link inside a word, where the detector of the place line finds it.
bool findWeb(std::string_view word, std::size_t& begin, std::size_t& end, std::string& target) {
    std::optional<std::string> url = DetailFormat::link(word);
    if (!url) {
        return false;
    }
    std::string_view shown = *url;
    std::size_t at = word.find(shown);
    if (at == npos && shown.starts_with("http://")) {
        // A bare name the detector gave a scheme.
        shown.remove_prefix(7);
        at = word.find(shown);
    }
    if (at == npos) {
        return false;
    }
    begin = at;
    end = at + shown.size();
    target = std::move(*url);
    return true;
}

// Separators allowed between the digits of a phone number.
bool isPhoneSeparator(char c) {
    return c == ' ' || c == '-' || c == '.' || c == '(' || c == ')' || c == '/';
}

// Dates look like numbers too: "2026-03-10" and "10.03.2026" are not phone numbers.
bool looksLikeDate(std::string_view run) {
    std::vector<std::size_t> groups;
    std::size_t digits = 0;
    char separator = 0;
    for (char c : run) {
        if (isAsciiDigit(c)) {
            ++digits;
            continue;
        }
        if (digits > 0) {
            groups.push_back(digits);
            digits = 0;
        }
        if (separator != 0 && c != separator) {
            return false;
        }
        separator = c;
    }
    groups.push_back(digits);
    if (groups.size() != 3 || (separator != '-' && separator != '.' && separator != '/')) {
        return false;
    }
    return (groups[0] == 4 && groups[1] <= 2 && groups[2] <= 2) ||
           (groups[0] <= 2 && groups[1] <= 2 && (groups[2] == 4 || groups[2] == 2));
}

// A phone number starting at `i` ("+49 30 1234567", "(030) 123-4567"): 7 to 15 digits with
// separators between them, not glued to a word before or after.
bool findPhone(std::string_view text, std::size_t i, std::size_t& end, std::string& target) {
    if (i > 0 && (isWordByte(text[i - 1]) || text[i - 1] == '+')) {
        return false;
    }
    std::size_t j = i;
    std::string digits = text[i] == '+' ? "+" : "";
    if (text[j] == '+' || text[j] == '(') {
        ++j;
    }
    std::size_t lastDigit = npos;
    std::size_t count = 0;
    std::size_t separators = 0; // in a row: ") " is the most a number has
    while (j < text.size() && count <= 15) {
        if (isAsciiDigit(text[j])) {
            digits += text[j];
            lastDigit = j;
            ++count;
            separators = 0;
        } else if (!isPhoneSeparator(text[j]) || ++separators > 2) {
            break;
        }
        ++j;
    }
    if (lastDigit == npos || count < 7 || count > 15) {
        return false;
    }
    end = lastDigit + 1;
    if (end < text.size() && (isWordByte(text[end]) || text[end] == '@')) {
        return false;
    }
    if (looksLikeDate(text.substr(i, end - i))) {
        return false;
    }
    target = "tel:" + digits;
    return true;
}

} // namespace

std::vector<LinkSpan> find(std::string_view text) {
    std::vector<LinkSpan> spans;
    std::size_t i = 0;
    while (i < text.size()) {
        if (isBreak(text[i])) {
            ++i;
            continue;
        }
        if (isAsciiDigit(text[i]) || text[i] == '+' || text[i] == '(') {
            std::size_t end = 0;
            std::string target;
            if (findPhone(text, i, end, target)) {
                spans.push_back(LinkSpan{.begin = i, .end = end, .target = std::move(target)});
                i = end;
                continue;
            }
        }
        std::size_t wordEnd = i;
        while (wordEnd < text.size() && !isBreak(text[wordEnd])) {
            ++wordEnd;
        }
        const std::string_view word = text.substr(i, wordEnd - i);
        std::size_t begin = 0;
        std::size_t end = 0;
        std::string target;
        if (word.find('@') != npos && word.find("://") == npos) {
            if (findMail(word, begin, end)) {
                target = "mailto:" + std::string(word.substr(begin, end - begin));
            }
        } else if (!findWeb(word, begin, end, target)) {
            target.clear();
        }
        if (!target.empty()) {
            spans.push_back(
                LinkSpan{.begin = i + begin, .end = i + end, .target = std::move(target)});
        }
        i = wordEnd;
    }
    return spans;
}

} // namespace plannery::DetailSheetLinks
