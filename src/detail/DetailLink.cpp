#include "detail/DetailFormat.h"
#include "model/Ascii.h"

#include <algorithm>
#include <array>

// Finding a link in free text such as a location ("Zoom: https://example.zoom.us/j/123",
// "meet.example.com/abc-defg"). Like a desktop link detector it also sees bare domains, "www."
// names and e-mail addresses; the caller wants only web links, so the first link decides.
namespace plannery::DetailFormat {

namespace {

constexpr std::size_t npos = std::string_view::npos;

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lower);
    return out;
}

bool isSchemeChar(char c) {
    return isAsciiLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// Characters that end a link when they stand at its end: sentence punctuation and closing
// quotes or brackets (a closing bracket stays when the link opened one).
bool isTrailingPunctuation(char c) {
    return std::string_view(".,;:!?'\")]}>*").find(c) != npos;
}

bool isBreak(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v' || c == '<' ||
           c == '>' || c == '"';
}

// Top-level domains that a bare name ("example.com/path") must end in to count as a link, so
// that "Room 4.B" or "notes.txt" do not.
constexpr std::array<std::string_view, 72> kKnownDomains{
    "com", "org", "net",  "edu",  "gov",  "mil",  "int",  "info",  "biz",    "io",   "co",   "us",
    "uk",  "de",  "fr",   "it",   "es",   "nl",   "be",   "ch",    "at",     "se",   "no",   "dk",
    "fi",  "ie",  "pt",   "pl",   "cz",   "eu",   "ca",   "au",    "nz",     "jp",   "cn",   "kr",
    "in",  "br",  "mx",   "ar",   "ru",   "ua",   "za",   "sg",    "hk",     "tw",   "il",   "tr",
    "gr",  "hu",  "ro",   "sk",   "lu",   "is",   "me",   "tv",    "fm",     "ly",   "gl",   "ai",
    "app", "dev", "page", "zoom", "team", "chat", "live", "cloud", "online", "site", "link", "to"};

// "example.com", "meet.example.co.uk": two or more dot-separated labels of letters, digits and
// hyphens (non-ASCII letters allowed), the last made of letters only.
bool isDomain(std::string_view host, bool requireKnownEnding) {
    if (host.empty() || host.front() == '.' || host.back() == '.') {
        return false;
    }
    std::size_t labels = 0;
    std::size_t start = 0;
    while (start <= host.size()) {
        std::size_t dot = host.find('.', start);
        if (dot == npos) {
            dot = host.size();
        }
        const std::string_view label = host.substr(start, dot - start);
        if (label.empty() || label.front() == '-' || label.back() == '-') {
            return false;
        }
        for (char c : label) {
            const auto byte = static_cast<unsigned char>(c);
            if (!(byte >= 0x80 || isAsciiLetter(c) || (c >= '0' && c <= '9') || c == '-')) {
                return false;
            }
        }
        ++labels;
        if (dot == host.size()) {
            const bool letters =
                label.size() >= 2 && std::all_of(label.begin(), label.end(), isAsciiLetter);
            if (labels < 2 || !letters) {
                return false;
            }
            if (requireKnownEnding) {
                const std::string ending = lowered(label);
                return std::find(kKnownDomains.begin(), kKnownDomains.end(), ending) !=
                       kKnownDomains.end();
            }
            return true;
        }
        start = dot + 1;
    }
    return false;
}

// The host part of "host[:port][/path][?query][#fragment]".
std::string_view hostOf(std::string_view text) {
    return text.substr(0, text.find_first_of(":/?#"));
}

// A candidate without the punctuation that closes the sentence around it.
std::string_view withoutTrailingPunctuation(std::string_view text) {
    while (!text.empty() && isTrailingPunctuation(text.back())) {
        const char last = text.back();
        if (last == ')' && std::count(text.begin(), text.end(), '(') >=
                               std::count(text.begin(), text.end(), ')')) {
            break;
        }
        text.remove_suffix(1);
    }
    return text;
}

struct Found {
    std::string url;
};

// The first link inside one run of text without white space.
std::optional<Found> linkInWord(std::string_view word) {
    // A URL with a scheme anywhere in the word: "Join:https://..." links from "https".
    if (std::size_t marker = word.find("://"); marker != npos && marker > 0) {
        std::size_t begin = marker;
        while (begin > 0 && isSchemeChar(word[begin - 1])) {
            --begin;
        }
        while (begin < marker && !isAsciiLetter(word[begin])) {
            ++begin;
        }
        const std::string_view url = withoutTrailingPunctuation(word.substr(begin));
        if (begin < marker && url.size() > marker - begin + 3) {
            return Found{std::string(url)};
        }
    }
    std::size_t begin = 0;
    while (begin < word.size() && std::string_view("([{'\"*").find(word[begin]) != npos) {
        ++begin;
    }
    const std::string_view text = withoutTrailingPunctuation(word.substr(begin));
    if (text.empty()) {
        return std::nullopt;
    }
    if (lowered(text.substr(0, 7)) == "mailto:" && text.size() > 7) {
        return Found{std::string(text)};
    }
    if (const std::size_t at = text.find('@'); at != npos && at > 0) {
        if (isDomain(hostOf(text.substr(at + 1)), false)) {
            return Found{"mailto:" + std::string(text)};
        }
        return std::nullopt;
    }
    if (lowered(text.substr(0, 4)) == "www." && isDomain(hostOf(text), false)) {
        return Found{"http://" + std::string(text)};
    }
    if (isDomain(hostOf(text), true)) {
        return Found{"http://" + std::string(text)};
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> link(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBreak(text[i])) {
            ++i;
        }
        std::size_t end = i;
        while (end < text.size() && !isBreak(text[end])) {
            ++end;
        }
        if (end > i) {
            if (std::optional<Found> found = linkInWord(text.substr(i, end - i))) {
                const std::string scheme = lowered(found->url.substr(0, found->url.find(':')));
                if (scheme == "http" || scheme == "https") {
                    return found->url;
                }
                return std::nullopt;
            }
        }
        i = end;
    }
    return std::nullopt;
}

} // namespace plannery::DetailFormat
