#include "detail/DetailHtml.h"

#include <algorithm>
#include <vector>

namespace plannery::DetailHtml {

namespace {

constexpr std::size_t npos = std::string::npos;

// Sorted positions of a pattern, so that "the next one after here" is a binary search however
// the scan moves back and forth.
class Positions {
  public:
    template <typename Match> Positions(std::string_view text, Match match) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (match(text, i)) {
                m_at.push_back(i);
            }
        }
    }
    std::size_t next(std::size_t from) const {
        auto found = std::lower_bound(m_at.begin(), m_at.end(), from);
        return found == m_at.end() ? npos : *found;
    }

  private:
    std::vector<std::size_t> m_at;
};

struct Anchor {
    std::size_t end = 0; // one past "</a>"
    std::string_view href{};
    std::string_view label{};
};

// Links: <a ... href="X" ...>label</a> (either quotation mark), the label may hold tags and line
// breaks. The last href of an opening tag wins, as a greedy "[^>]*href" would take it.
class AnchorScanner {
  public:
    explicit AnchorScanner(std::string_view text)
        : m_text(text),
          m_tagEnds(text, [](std::string_view t, std::size_t i) { return t[i] == '>'; }),
          m_quotes(text,
                   [](std::string_view t, std::size_t i) { return t[i] == '"' || t[i] == '\''; }),
          m_closings(text, [](std::string_view t, std::size_t i) {
              return t[i] == '<' && startsWithNoCase(t, i, "</a>");
          }) {}

    std::optional<Anchor> at(std::size_t start) {
        if (!startsWithNoCase(m_text, start, "<a") ||
            (start + 2 < m_text.size() && isWordByte(m_text[start + 2]))) {
            return std::nullopt;
        }
        const std::size_t tagEnd = m_tagEnds.next(start + 2);
        if (tagEnd == npos) {
            return std::nullopt;
        }
        // Every "<a" inside the same opening tag sees the same href candidates; the rightmost
        // one that leads to a whole link serves all of them.
        if (m_tagEnd != tagEnd) {
            m_tagEnd = tagEnd;
            m_best = rightmostAnchor(start + 2, tagEnd);
        }
        if (!m_best || m_bestHref < start + 2) {
            return std::nullopt;
        }
        return m_best;
    }

  private:
    std::optional<Anchor> rightmostAnchor(std::size_t from, std::size_t tagEnd) {
        for (std::size_t candidate = tagEnd; candidate-- > from;) {
            if (candidate + 4 > tagEnd || !startsWithNoCase(m_text, candidate, "href")) {
                continue;
            }
            if (auto anchor = anchorFrom(candidate + 4)) {
                m_bestHref = candidate;
                return anchor;
            }
        }
        return std::nullopt;
    }

    std::optional<Anchor> anchorFrom(std::size_t i) {
        while (i < m_text.size() && isSpace(m_text[i])) {
            ++i;
        }
        if (i >= m_text.size() || m_text[i] != '=') {
            return std::nullopt;
        }
        ++i;
        while (i < m_text.size() && isSpace(m_text[i])) {
            ++i;
        }
        if (i >= m_text.size() || (m_text[i] != '"' && m_text[i] != '\'')) {
            return std::nullopt;
        }
        const std::size_t valueStart = i + 1;
        const std::size_t valueEnd = m_quotes.next(valueStart);
        if (valueEnd == npos) {
            return std::nullopt;
        }
        const std::size_t openEnd = m_tagEnds.next(valueEnd + 1);
        if (openEnd == npos) {
            return std::nullopt;
        }
        const std::size_t closing = m_closings.next(openEnd + 1);
        if (closing == npos) {
            return std::nullopt;
        }
        return Anchor{.end = closing + 4,
                      .href = m_text.substr(valueStart, valueEnd - valueStart),
                      .label = m_text.substr(openEnd + 1, closing - openEnd - 1)};
    }

    std::string_view m_text;
    Positions m_tagEnds;
    Positions m_quotes;
    Positions m_closings;
    std::size_t m_tagEnd = npos;
    std::optional<Anchor> m_best;
    std::size_t m_bestHref = 0;
};

std::string_view trimmedSpacesAndTabs(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string linkText(const Anchor& anchor) {
    const std::string labelText = withoutTags(anchor.label);
    const std::string_view label = trimmedSpacesAndTabs(labelText);
    if (label.empty() || label == anchor.href || anchor.href.ends_with(label)) {
        return std::string(anchor.href);
    }
    return std::string(label) + " (" + std::string(anchor.href) + ")";
}

std::optional<TagReplacement> anyTag(std::string_view text, std::size_t i) {
    if (text[i + 1] == '>') {
        return std::nullopt;
    }
    const std::size_t close = text.find('>', i + 1);
    if (close == npos) {
        return std::nullopt;
    }
    return TagReplacement{.with = "", .resume = close + 1};
}

} // namespace

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isWordByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
           (byte >= 'A' && byte <= 'Z') || byte == '_';
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool equalsNoCase(std::string_view text, std::string_view word) {
    return text.size() == word.size() &&
           std::equal(text.begin(), text.end(), word.begin(),
                      [](char a, char b) { return lower(a) == lower(b); });
}

bool startsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
    return at <= text.size() && equalsNoCase(text.substr(at, word.size()), word);
}

std::string_view wordAt(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && isWordByte(text[end])) {
        ++end;
    }
    return text.substr(at, end - at);
}

std::string replaceTags(std::string_view text, TagRule rule) {
    std::string out;
    out.reserve(text.size());
    const std::size_t lastClose = text.rfind('>');
    std::size_t copied = 0;
    std::size_t i = text.find('<');
    while (i != npos && lastClose != npos && i < lastClose) {
        if (std::optional<TagReplacement> replaced = rule(text, i)) {
            out.append(text.substr(copied, i - copied)).append(replaced->with);
            copied = replaced->resume;
            i = text.find('<', copied);
        } else {
            i = text.find('<', i + 1);
        }
    }
    out.append(text.substr(copied));
    return out;
}

std::string withoutTags(std::string_view text) {
    return replaceTags(text, anyTag);
}

std::string replaceLinks(std::string_view text) {
    if (text.find('<') == npos) {
        return std::string(text);
    }
    AnchorScanner scanner(text);
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    std::size_t i = text.find('<');
    while (i != npos) {
        if (auto anchor = scanner.at(i)) {
            out.append(text.substr(copied, i - copied)).append(linkText(*anchor));
            copied = anchor->end;
            i = text.find('<', copied);
        } else {
            i = text.find('<', i + 1);
        }
    }
    out.append(text.substr(copied));
    return out;
}

} // namespace plannery::DetailHtml
