#include "platform/IcsSplice.h"

#include "platform/IcsText.h"

#include <libical/ical.h>

#include <deque>
#include <unordered_map>

namespace plannery::ics::splice {

namespace {

using lines::Node;

constexpr std::size_t kNone = std::size_t(-1);

// A line of the parser's writing as the text would say it: without the parser's error notes,
// and with a rule's value as written (see forParser).
std::optional<std::string> cleaned(const std::string& line) {
    const std::string name = lines::nameOf(line);
    if (name == "X-LIC-ERROR") {
        return std::nullopt;
    }
    if (name != "RRULE") {
        return line;
    }
    auto parts = lines::split(line);
    for (auto param = parts.params.begin(); param != parts.params.end(); ++param) {
        if (lines::parameterName(*param) != kRuleTextParameter) {
            continue;
        }
        std::string value = param->substr(param->find('=') + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        parts.params.erase(param);
        parts.value = std::move(value);
        return parts.join();
    }
    return line;
}

void clean(Node& node) {
    std::vector<Node> kept;
    for (auto& child : node.children) {
        if (child.isComponent) {
            clean(child);
        } else if (auto text = cleaned(child.text)) {
            child.text = std::move(*text);
        } else {
            continue;
        }
        kept.push_back(std::move(child));
    }
    node.children = std::move(kept);
}

// The parser's writing without its carriage returns: it sometimes folds a line between the CR
// and the LF of its end ("...\r\r\n \n"). Its lines never hold a CR of their own.
std::string withoutReturns(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (c != '\r') {
            result += c;
        }
    }
    return result;
}

std::optional<Node> parsedWriting(std::string_view text) {
    auto node = lines::parse(withoutReturns(text));
    if (node) {
        clean(*node);
    }
    return node;
}

// The lines the parser writes for one line of the text: none when it drops the line, several
// for a property that lists several values it keeps apart (EXDATE:a,b).
std::vector<std::string> parsedLines(const std::string& line) {
    if (line.empty()) {
        return {};
    }
    const std::string text = "BEGIN:VCALENDAR\r\n" + forParser(line) + "\r\nEND:VCALENDAR\r\n";
    icalcomponent* root = icalparser_parse_string(text.c_str());
    icalerror_clear_errno();
    std::vector<std::string> result;
    if (!root) {
        return result;
    }
    for (auto* p = icalcomponent_get_first_property(root, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(root, ICAL_ANY_PROPERTY)) {
        char* written = icalproperty_as_ical_string_r(p);
        const auto parsed = lines::parse(withoutReturns(written ? written : ""));
        icalmemory_free_buffer(written);
        if (!parsed || parsed->children.size() != 1) {
            continue;
        }
        if (auto clean = cleaned(parsed->children.front().text)) {
            result.push_back(std::move(*clean));
        }
    }
    icalcomponent_free(root);
    return result;
}

std::optional<Link> alignComponent(const Node& written, const Node& parsed) {
    std::vector<std::size_t> parsedLineItems;
    std::vector<std::size_t> parsedComponents;
    for (std::size_t i = 0; i < parsed.children.size(); ++i) {
        (parsed.children[i].isComponent ? parsedComponents : parsedLineItems).push_back(i);
    }
    Link link;
    link.children.resize(written.children.size());
    std::size_t nextLine = 0;
    std::size_t nextComponent = 0;
    for (std::size_t k = 0; k < written.children.size(); ++k) {
        const Node& item = written.children[k];
        if (item.isComponent) {
            if (nextComponent < parsedComponents.size() &&
                parsed.children[parsedComponents[nextComponent]].text == item.text) {
                const std::size_t index = parsedComponents[nextComponent++];
                auto inner = alignComponent(item, parsed.children[index]);
                if (!inner) {
                    return std::nullopt;
                }
                inner->parsed = {index};
                link.children[k] = std::move(*inner);
            }
            continue;
        }
        const auto expected = parsedLines(item.text);
        bool same = !expected.empty() && nextLine + expected.size() <= parsedLineItems.size();
        for (std::size_t i = 0; same && i < expected.size(); ++i) {
            same = parsed.children[parsedLineItems[nextLine + i]].text == expected[i];
        }
        if (same) {
            for (std::size_t i = 0; i < expected.size(); ++i) {
                link.children[k].parsed.push_back(parsedLineItems[nextLine++]);
            }
        }
    }
    if (nextLine != parsedLineItems.size() || nextComponent != parsedComponents.size()) {
        return std::nullopt;
    }
    return link;
}

// What pairs a component of the parser's writing before and after a change when its content
// changed: its name, and its UID (or TZID) and RECURRENCE-ID.
std::string keyOf(const Node& component, const std::map<std::string, std::string>& renamed) {
    std::string key = component.text + "\n";
    for (const auto& child : component.children) {
        if (child.isComponent) {
            continue;
        }
        const std::string name = lines::nameOf(child.text);
        if (name == "UID" || name == "TZID") {
            std::string value = lines::split(child.text).value;
            if (const auto found = renamed.find(value); found != renamed.end()) {
                value = found->second;
            }
            key += value + "\n";
        } else if (name == "RECURRENCE-ID") {
            key += child.text + "\n";
        }
    }
    return key;
}

// The line as written with the change from `before` to `after` (two writings of it by the
// parser): parameters and the value that did not change keep their spelling, parameters the
// parser dropped stay.
std::string patched(const std::string& written, const std::string& before,
                    const std::string& after) {
    const auto w = lines::split(written);
    const auto b = lines::split(before);
    const auto a = lines::split(after);
    lines::Parts result{.name = w.name, .params = {}, .value = {}};
    std::vector<bool> beforeUsed(b.params.size(), false);
    std::vector<bool> afterUsed(a.params.size(), false);
    auto take = [](const std::vector<std::string>& params, std::vector<bool>& used,
                   const std::string& name) -> std::size_t {
        for (std::size_t i = 0; i < params.size(); ++i) {
            if (!used[i] && lines::parameterName(params[i]) == name) {
                used[i] = true;
                return i;
            }
        }
        return kNone;
    };
    for (const auto& param : w.params) {
        const std::string name = lines::parameterName(param);
        const std::size_t was = take(b.params, beforeUsed, name);
        if (was == kNone) {
            result.params.push_back(param); // the parser does not know it
            continue;
        }
        const std::size_t is = take(a.params, afterUsed, name);
        if (is != kNone) {
            result.params.push_back(a.params[is] == b.params[was] ? param : a.params[is]);
        }
    }
    for (std::size_t i = 0; i < a.params.size(); ++i) {
        if (!afterUsed[i]) {
            result.params.push_back(a.params[i]);
        }
    }
    result.value = a.value == b.value ? w.value : a.value;
    return result.join();
}

class Splicer {
  public:
    Splicer(const Base& base, const Options& options) : m_base(base), m_options(options) {}

    std::string component(const Node& written, const Link& link, const Node& before,
                          const Node& after, int depth) {
        if (before.content() == after.content()) {
            return written.bytes();
        }
        Pairing pairing = pair(before, after);
        // Where the changed writing's new items go: after the item as written that holds the
        // item before them in the changed writing (first of all when there is none).
        std::vector<std::size_t> parsedToWritten(before.children.size(), kNone);
        for (std::size_t k = 0; k < link.children.size(); ++k) {
            for (std::size_t index : link.children[k].parsed) {
                parsedToWritten[index] = k;
            }
        }
        std::map<std::size_t, std::vector<std::size_t>> insertedAfter; // kNone: first of all
        std::size_t anchor = kNone;
        for (std::size_t i = 0; i < after.children.size(); ++i) {
            const std::size_t was = pairing.beforeOf[i];
            if (was != kNone && parsedToWritten[was] != kNone) {
                anchor = parsedToWritten[was];
            } else if (was == kNone) {
                insertedAfter[anchor].push_back(i);
            }
        }
        std::string result = written.raw;
        auto insert = [&](std::size_t at) {
            for (std::size_t i : insertedAfter[at]) {
                result += fresh(after.children[i]);
            }
        };
        insert(kNone);
        for (std::size_t k = 0; k < written.children.size(); ++k) {
            const Node& item = written.children[k];
            const Link& itemLink = link.children[k];
            if (itemLink.parsed.empty()) {
                if (m_options.keepUnknownAtTop || depth > 1) {
                    result += item.bytes();
                }
            } else if (item.isComponent) {
                const std::size_t was = itemLink.parsed.front();
                if (const std::size_t is = pairing.afterOf[was]; is != kNone) {
                    result += component(item, itemLink, before.children[was], after.children[is],
                                        depth + 1);
                }
            } else {
                result += line(item, itemLink, before, after, pairing);
            }
            insert(k);
        }
        return result + written.endRaw;
    }

  private:
    struct Pairing {
        std::vector<std::size_t> afterOf;  // per item before the change
        std::vector<std::size_t> beforeOf; // per item after the change
        std::vector<bool> same;            // per item before: unchanged
    };

    // Items unchanged by content first; then changed lines by name and value, or by name when
    // the name is unique on both sides; changed components by their key.
    Pairing pair(const Node& before, const Node& after) const {
        Pairing p{.afterOf = std::vector<std::size_t>(before.children.size(), kNone),
                  .beforeOf = std::vector<std::size_t>(after.children.size(), kNone),
                  .same = std::vector<bool>(before.children.size(), false)};
        std::unordered_map<std::string, std::deque<std::size_t>> byContent;
        for (std::size_t i = 0; i < before.children.size(); ++i) {
            byContent[before.children[i].content()].push_back(i);
        }
        for (std::size_t i = 0; i < after.children.size(); ++i) {
            auto& candidates = byContent[after.children[i].content()];
            if (!candidates.empty()) {
                link(p, candidates.front(), i, true);
                candidates.pop_front();
            }
        }
        auto lineKey = [](const Node& n, bool withValue) {
            return lines::nameOf(n.text) + (withValue ? "\n" + lines::split(n.text).value : "");
        };
        for (const bool withValue : {true, false}) {
            std::unordered_map<std::string, std::vector<std::size_t>> open;
            std::unordered_map<std::string, int> afterCount;
            for (std::size_t i = 0; i < before.children.size(); ++i) {
                if (p.afterOf[i] == kNone && !before.children[i].isComponent) {
                    open[lineKey(before.children[i], withValue)].push_back(i);
                }
            }
            for (std::size_t i = 0; i < after.children.size(); ++i) {
                if (p.beforeOf[i] == kNone && !after.children[i].isComponent) {
                    ++afterCount[lineKey(after.children[i], withValue)];
                }
            }
            for (std::size_t i = 0; i < after.children.size(); ++i) {
                if (p.beforeOf[i] != kNone || after.children[i].isComponent) {
                    continue;
                }
                const std::string key = lineKey(after.children[i], withValue);
                auto& candidates = open[key];
                if (candidates.size() == 1 && (withValue || afterCount[key] == 1)) {
                    link(p, candidates.front(), i, false);
                    candidates.clear();
                }
            }
        }
        // A component without a UID or TZID (an alarm, the calendar) is the same one only when
        // it is the only one of its name on both sides: an alarm changed is one removed and
        // another added.
        std::unordered_map<std::string, int> beforeNames;
        std::unordered_map<std::string, int> afterNames;
        for (const auto& child : before.children) {
            beforeNames[child.isComponent ? child.text : ""] += 1;
        }
        for (const auto& child : after.children) {
            afterNames[child.isComponent ? child.text : ""] += 1;
        }
        std::unordered_map<std::string, std::deque<std::size_t>> byKey;
        for (std::size_t i = 0; i < before.children.size(); ++i) {
            if (p.afterOf[i] == kNone && before.children[i].isComponent) {
                byKey[keyOf(before.children[i], {})].push_back(i);
            }
        }
        for (std::size_t i = 0; i < after.children.size(); ++i) {
            if (p.beforeOf[i] != kNone || !after.children[i].isComponent) {
                continue;
            }
            const std::string& name = after.children[i].text;
            const std::string key = keyOf(after.children[i], m_options.renamedUids);
            if (key == name + "\n" && (beforeNames[name] != 1 || afterNames[name] != 1)) {
                continue;
            }
            auto& candidates = byKey[key];
            if (!candidates.empty()) {
                link(p, candidates.front(), i, false);
                candidates.pop_front();
            }
        }
        return p;
    }

    static void link(Pairing& p, std::size_t before, std::size_t after, bool same) {
        p.afterOf[before] = after;
        p.beforeOf[after] = before;
        p.same[before] = same;
    }

    std::string line(const Node& written, const Link& link, const Node& before, const Node& after,
                     const Pairing& pairing) const {
        bool unchanged = true;
        for (std::size_t index : link.parsed) {
            unchanged = unchanged && pairing.same[index];
        }
        if (unchanged) {
            return written.raw;
        }
        std::string result;
        for (std::size_t index : link.parsed) {
            const std::size_t is = pairing.afterOf[index];
            if (is == kNone) {
                continue; // removed
            }
            const std::string& now = after.children[is].text;
            result += lines::fold(link.parsed.size() == 1
                                      ? patched(written.text, before.children[index].text, now)
                                      : now,
                                  m_base.eol);
        }
        return result;
    }

    // An item the change added, in the text's line ends.
    std::string fresh(const Node& node) const {
        if (!node.isComponent) {
            return lines::fold(node.text, m_base.eol);
        }
        std::string result = lines::fold("BEGIN:" + node.text, m_base.eol);
        for (const auto& child : node.children) {
            result += fresh(child);
        }
        return result + lines::fold("END:" + node.text, m_base.eol);
    }

    const Base& m_base;
    const Options& m_options;
};

} // namespace

std::optional<Base> align(std::string_view text, std::string_view parsersWriting) {
    auto written = lines::parse(text);
    auto parsed = parsedWriting(parsersWriting);
    if (!written || !parsed) {
        return std::nullopt;
    }
    auto link = alignComponent(*written, *parsed);
    if (!link) {
        return std::nullopt;
    }
    const auto firstEnd = text.find_first_of("\r\n");
    const bool bareNewlines = firstEnd != std::string_view::npos && text[firstEnd] == '\n';
    return Base{.written = std::move(*written),
                .parsed = std::move(*parsed),
                .link = std::move(*link),
                .eol = bareNewlines ? "\n" : "\r\n"};
}

std::optional<std::string> apply(const Base& base, std::string_view changed,
                                 const Options& options) {
    auto after = parsedWriting(changed);
    if (!after) {
        return std::nullopt;
    }
    Splicer splicer(base, options);
    return splicer.component(base.written, base.link, base.parsed, *after, 0);
}

std::string forParser(std::string_view line) {
    std::string withText = withRuleText(line);
    return withText.empty() ? std::string(line) : withText;
}

} // namespace plannery::ics::splice
