#include "detail/DetailFormat.h"

#include "detail/DetailHtml.h"

#include <algorithm>
#include <array>
#include <optional>

// Plain text from event notes. Mail programs and web calendars write notes as HTML fragments;
// the sheet shows text. Every step is one pass over the text (no backtracking regular
// expressions), so a note of megabytes with unbalanced tags costs no more than its length.
// Tag names are matched without regard to letter case: "<BR>" is as common as "<br>".
namespace plannery::DetailFormat {

namespace {

using namespace DetailHtml;

constexpr std::size_t npos = std::string::npos;

template <std::size_t N>
bool isOneOf(std::string_view name, const std::array<std::string_view, N>& names) {
    return std::any_of(names.begin(), names.end(),
                       [&](std::string_view known) { return equalsNoCase(name, known); });
}

constexpr std::array<std::string_view, 13> kMarkupTags{
    "br", "p", "div", "a", "b", "i", "u", "ul", "ol", "li", "span", "strong", "em"};
constexpr std::array<std::string_view, 12> kClosingMarkupTags{
    "p", "div", "a", "b", "i", "u", "ul", "ol", "li", "span", "strong", "em"};
constexpr std::array<std::string_view, 11> kBreakingEndTags{"p",  "div", "li", "ul", "ol", "h1",
                                                            "h2", "h3",  "h4", "h5", "h6"};

// Whether the notes hold any of the tags that mark them as HTML; a lone "<" or an unknown tag
// does not.
bool looksLikeHtml(std::string_view text) {
    const std::size_t lastClose = text.rfind('>');
    if (lastClose == npos) {
        return false;
    }
    for (std::size_t i = text.find('<'); i != npos && i < lastClose; i = text.find('<', i + 1)) {
        if (text[i + 1] == '/') {
            const std::string_view name = wordAt(text, i + 2);
            if (isOneOf(name, kClosingMarkupTags) && i + 2 + name.size() < text.size() &&
                text[i + 2 + name.size()] == '>') {
                return true;
            }
        } else if (const std::string_view name = wordAt(text, i + 1);
                   isOneOf(name, kMarkupTags) && i + 1 + name.size() <= lastClose) {
            return true;
        }
    }
    return false;
}

// <br>, <br/>, <BR />.
std::optional<TagReplacement> lineBreak(std::string_view text, std::size_t i) {
    if (!startsWithNoCase(text, i + 1, "br")) {
        return std::nullopt;
    }
    std::size_t k = i + 3;
    while (k < text.size() && isSpace(text[k])) {
        ++k;
    }
    if (k < text.size() && text[k] == '/') {
        ++k;
    }
    if (k < text.size() && text[k] == '>') {
        return TagReplacement{.with = "\n", .resume = k + 1};
    }
    return std::nullopt;
}

// The end of a block: </p>, </div>, </li>, </ul>, </ol>, </h1> ... </h6>.
std::optional<TagReplacement> blockEnd(std::string_view text, std::size_t i) {
    if (text[i + 1] != '/') {
        return std::nullopt;
    }
    const std::string_view name = wordAt(text, i + 2);
    const std::size_t close = i + 2 + name.size();
    if (close < text.size() && text[close] == '>' && isOneOf(name, kBreakingEndTags)) {
        return TagReplacement{.with = "\n", .resume = close + 1};
    }
    return std::nullopt;
}

// <li ...> starts a bullet.
std::optional<TagReplacement> listItem(std::string_view text, std::size_t i) {
    if (!startsWithNoCase(text, i + 1, "li") || (i + 3 < text.size() && isWordByte(text[i + 3]))) {
        return std::nullopt;
    }
    const std::size_t close = text.find('>', i + 3);
    if (close == npos) {
        return std::nullopt;
    }
    return TagReplacement{.with = "\u2022 ", .resume = close + 1};
}

// Any tag: "<", at least one character that is not ">", then ">".
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    for (std::size_t i = text.find(from); i != npos; i = text.find(from, copied)) {
        out.append(text.substr(copied, i - copied)).append(to);
        copied = i + from.size();
    }
    out.append(text.substr(copied));
    return out;
}

// Spaces and tabs at the end of a line go; three or more line breaks become two.
std::string tidyLines(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t blanks = 0; // spaces and tabs not yet written
    std::size_t breaks = 0; // line breaks in the current run
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t') {
            ++blanks;
            continue;
        }
        if (c == '\n') {
            blanks = 0;
            if (++breaks <= 2) {
                out.push_back('\n');
            }
            continue;
        }
        out.append(text.substr(i - blanks, blanks));
        blanks = 0;
        breaks = 0;
        out.push_back(c);
    }
    out.append(text.substr(text.size() - blanks, blanks));
    return out;
}

// White space and line breaks as Unicode counts them (the no-break space included).
std::size_t spaceWidthAt(std::string_view text, std::size_t i) {
    if (isSpace(text[i])) {
        return 1;
    }
    static constexpr std::array<std::string_view, 7> kWide{
        "\xC2\x85",     "\xC2\xA0",     "\xE2\x80\xA8", "\xE2\x80\xA9",
        "\xE2\x80\xAF", "\xE2\x81\x9F", "\xE3\x80\x80"};
    for (std::string_view space : kWide) {
        if (text.substr(i, space.size()) == space) {
            return space.size();
        }
    }
    // U+1680 and U+2000 ... U+200A.
    if (text.substr(i, 3) == "\xE1\x9A\x80") {
        return 3;
    }
    if (i + 2 < text.size() && text.substr(i, 2) == "\xE2\x80" &&
        static_cast<unsigned char>(text[i + 2]) >= 0x80 &&
        static_cast<unsigned char>(text[i + 2]) <= 0x8A) {
        return 3;
    }
    return 0;
}

bool endsWithSpaceAt(std::string_view text, std::size_t end, std::size_t& width) {
    for (std::size_t w = 1; w <= 3 && w <= end; ++w) {
        if (spaceWidthAt(text, end - w) == w) {
            width = w;
            return true;
        }
    }
    return false;
}

std::string trimmed(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t width = spaceWidthAt(text, begin);
        if (width == 0) {
            break;
        }
        begin += width;
    }
    std::size_t end = text.size();
    std::size_t width = 0;
    while (end > begin && endsWithSpaceAt(text, end, width)) {
        end -= width;
    }
    return std::string(text.substr(begin, end - begin));
}

} // namespace

std::string plainNotes(std::string_view notes) {
    std::string text = replaceAll(notes, "\r\n", "\n");
    if (!looksLikeHtml(text)) {
        return trimmed(text);
    }
    text = replaceLinks(text);
    text = replaceTags(text, lineBreak);
    text = replaceTags(text, blockEnd);
    text = replaceTags(text, listItem);
    text = withoutTags(text);
    for (auto [entity, character] : std::array<std::pair<std::string_view, std::string_view>, 7>{{
             {"&nbsp;", " "},
             {"&lt;", "<"},
             {"&gt;", ">"},
             {"&quot;", "\""},
             {"&#39;", "'"},
             {"&apos;", "'"},
             {"&amp;", "&"},
         }}) {
        if (text.find(entity) != npos) {
            text = replaceAll(text, entity, character);
        }
    }
    return trimmed(tidyLines(text));
}

} // namespace plannery::DetailFormat