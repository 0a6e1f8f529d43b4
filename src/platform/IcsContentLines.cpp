#include "platform/IcsContentLines.h"

#include <cctype>

namespace plannery::ics::lines {

namespace {

std::string upper(std::string_view text) {
    std::string result(text);
    for (auto& c : result) {
        c = char(std::toupper(static_cast<unsigned char>(c)));
    }
    return result;
}

// The physical lines of a text, each with its line end ("\r\n", "\n" or a lone "\r").
std::vector<std::string_view> physicalLines(std::string_view text) {
    std::vector<std::string_view> result;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        } else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
            end += 2;
        } else {
            end += 1;
        }
        result.push_back(text.substr(start, end - start));
        start = end;
    }
    return result;
}

std::string_view withoutEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

// Where the name and the parameters of a line end: its first ':' outside quotes.
std::size_t valueStart(std::string_view line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else if (line[i] == ':' && !quoted) {
            return i;
        }
    }
    return std::string_view::npos;
}

} // namespace

std::string Node::bytes() const {
    if (!isComponent) {
        return raw;
    }
    std::string result = raw;
    for (const auto& child : children) {
        result += child.bytes();
    }
    return result + endRaw;
}

std::string Node::content() const {
    if (!isComponent) {
        return text + "\n";
    }
    std::string result = "BEGIN:" + text + "\n";
    for (const auto& child : children) {
        result += child.content();
    }
    return result + "END:" + text + "\n";
}

std::optional<Node> parse(std::string_view text) {
    // Logical lines: a line that starts with a space or a tab continues the one before it.
    std::vector<Node> logical;
    for (const auto physical : physicalLines(text)) {
        const std::string_view content = withoutEnd(physical);
        if (!logical.empty() && !content.empty() && (content[0] == ' ' || content[0] == '\t') &&
            !logical.back().text.empty()) {
            logical.back().raw += physical;
            logical.back().text += content.substr(1);
        } else {
            logical.push_back(Node{.isComponent = false,
                                   .raw = std::string(physical),
                                   .text = std::string(content),
                                   .endRaw = {},
                                   .children = {}});
        }
    }
    if (!logical.empty() && logical.front().text.starts_with("\xEF\xBB\xBF")) {
        logical.front().text.erase(0, 3); // a byte order mark some exporters write
    }
    std::vector<Node> open(1, Node{.isComponent = true});
    for (auto& line : logical) {
        const std::string name = nameOf(line.text);
        if (name == "BEGIN" || name == "END") {
            const std::string component = upper(split(line.text).value);
            if (name == "BEGIN") {
                open.push_back(Node{.isComponent = true,
                                    .raw = std::move(line.raw),
                                    .text = component,
                                    .endRaw = {},
                                    .children = {}});
                continue;
            }
            if (open.size() < 2 || open.back().text != component) {
                return std::nullopt;
            }
            Node done = std::move(open.back());
            open.pop_back();
            done.endRaw = std::move(line.raw);
            open.back().children.push_back(std::move(done));
            continue;
        }
        open.back().children.push_back(std::move(line));
    }
    if (open.size() != 1) {
        return std::nullopt;
    }
    return std::move(open.front());
}

std::string nameOf(std::string_view line) {
    const auto end = line.find_first_of(";:");
    return upper(line.substr(0, end));
}

Parts split(std::string_view line) {
    Parts parts;
    const std::size_t colon = valueStart(line);
    const std::string_view head = line.substr(0, colon);
    if (colon != std::string_view::npos) {
        parts.value = std::string(line.substr(colon + 1));
    }
    bool quoted = false;
    std::size_t start = 0;
    bool first = true;
    for (std::size_t i = 0; i <= head.size(); ++i) {
        if (i < head.size() && head[i] == '"') {
            quoted = !quoted;
        }
        if (i == head.size() || (head[i] == ';' && !quoted)) {
            std::string segment(head.substr(start, i - start));
            if (first) {
                parts.name = std::move(segment);
                first = false;
            } else {
                parts.params.push_back(std::move(segment));
            }
            start = i + 1;
        }
    }
    return parts;
}

std::string Parts::join() const {
    std::string line = name;
    for (const auto& param : params) {
        line += ";" + param;
    }
    return line + ":" + value;
}

std::string parameterName(std::string_view segment) {
    return upper(segment.substr(0, segment.find('=')));
}

std::string fold(std::string_view line, std::string_view eol) {
    constexpr std::size_t kOctets = 75;
    std::string result;
    std::size_t limit = kOctets;
    while (line.size() > limit) {
        std::size_t cut = limit;
        while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        result.append(line.substr(0, cut));
        result.append(eol);
        result += ' ';
        line.remove_prefix(cut);
        limit = kOctets - 1;
    }
    result.append(line);
    result.append(eol);
    return result;
}

} // namespace plannery::ics::lines
