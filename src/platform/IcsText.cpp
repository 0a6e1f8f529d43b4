#include "platform/IcsText.h"

#include "platform/IcsContentLines.h"

#include <libical/ical.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <vector>

namespace plannery::ics {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
// The parser keeps the interval in a short; rules beyond it are walked with their own interval
// (see ruleInterval).
constexpr long long kParserInterval = 32767;
constexpr long long kMaxCount = 1000000000;

// The property name of a content line, upper-cased.
std::string propertyName(std::string_view line) {
    const auto end = line.find_first_of(";:");
    std::string name(line.substr(0, std::min(end, line.size())));
    for (auto& c : name) {
        c = char(std::toupper(static_cast<unsigned char>(c)));
    }
    return name;
}

} // namespace

std::string validUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0) {
            out += kReplacement;
            ++i;
            continue;
        }
        if (c < 0x80) {
            // Copy a whole run of ASCII at once: most text is nothing else.
            std::size_t end = i + 1;
            while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80 &&
                   text[end] != '\0') {
                ++end;
            }
            out.append(text.substr(i, end - i));
            i = end;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        }
        bool valid = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = k == 1 ? (next >= low && next <= high) : (next >= 0x80 && next <= 0xBF);
        }
        if (valid) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += kReplacement;
            ++i;
        }
    }
    return out;
}

std::string safeRule(std::string_view rule) {
    std::string out;
    std::size_t start = 0;
    while (start <= rule.size()) {
        auto end = rule.find(';', start);
        if (end == std::string_view::npos) {
            end = rule.size();
        }
        std::string part(rule.substr(start, end - start));
        start = end + 1;
        if (part.empty()) {
            continue;
        }
        const auto equals = part.find('=');
        std::string key = part.substr(0, equals);
        for (auto& c : key) {
            c = char(std::toupper(static_cast<unsigned char>(c)));
        }
        if ((key == "INTERVAL" || key == "COUNT") && equals != std::string::npos) {
            long long value = 0;
            const char* first = part.data() + equals + 1;
            const char* last = part.data() + part.size();
            auto [ptr, error] = std::from_chars(first, last, value);
            if (error == std::errc::result_out_of_range) {
                value = kMaxCount;
            } else if (error != std::errc() || ptr != last) {
                value = key == "INTERVAL" ? 1 : 0;
            }
            if (key == "INTERVAL") {
                value = std::clamp(value, 1LL, kParserInterval);
            } else if (value < 1) {
                // A rule that repeats zero times: the event still happens at its start.
                value = 1;
            } else {
                value = std::min(value, kMaxCount);
            }
            part = key + "=" + std::to_string(value);
        }
        if (!out.empty()) {
            out += ';';
        }
        out += part;
    }
    auto parsed = icalrecurrencetype_from_string(out.c_str());
    icalerror_clear_errno();
    // The parser hands over the calendar scale it allocated.
    free(parsed.rscale);
    if (parsed.freq == ICAL_NO_RECURRENCE || parsed.interval < 1) {
        return {};
    }
    return out;
}

std::int64_t ruleInterval(std::string_view rule) {
    std::size_t start = 0;
    while (start < rule.size()) {
        auto end = rule.find(';', start);
        if (end == std::string_view::npos) {
            end = rule.size();
        }
        const std::string_view part = rule.substr(start, end - start);
        start = end + 1;
        if (lines::parameterName(part) != "INTERVAL" || part.find('=') == std::string_view::npos) {
            continue;
        }
        const std::string_view digits = part.substr(part.find('=') + 1);
        std::int64_t value = 1;
        const auto [ptr, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error == std::errc::result_out_of_range) {
            return kMaxInterval;
        }
        if (error != std::errc() || ptr != digits.data() + digits.size()) {
            return 1;
        }
        return std::clamp<std::int64_t>(value, 1, kMaxInterval);
    }
    return 1;
}

std::string withRulePart(std::string_view rule, std::string_view name, std::string_view value) {
    std::string result;
    bool placed = false;
    auto add = [&](std::string_view part) {
        result += result.empty() ? "" : ";";
        result += part;
    };
    std::size_t start = 0;
    while (start < rule.size()) {
        auto end = rule.find(';', start);
        if (end == std::string_view::npos) {
            end = rule.size();
        }
        const std::string_view part = rule.substr(start, end - start);
        start = end + 1;
        if (part.empty()) {
            continue;
        }
        if (lines::parameterName(part) != name) {
            add(part);
        } else if (!placed && !value.empty()) {
            add(std::string(name) + "=" + std::string(value));
            placed = true;
        }
    }
    if (!placed && !value.empty()) {
        add(std::string(name) + "=" + std::string(value));
    }
    return result;
}

std::string withRuleText(std::string_view line) {
    if (propertyName(line) != "RRULE") {
        return std::string(line);
    }
    auto parts = lines::split(line);
    const std::string safe = safeRule(parts.value);
    if (safe.empty() || parts.value.find_first_of("\"\r\n") != std::string::npos) {
        return {};
    }
    std::erase_if(parts.params, [](const std::string& param) {
        return lines::parameterName(param) == kRuleTextParameter;
    });
    parts.params.push_back(std::string(kRuleTextParameter) + "=\"" + parts.value + "\"");
    parts.value = safe;
    return parts.join();
}

std::vector<std::string> sanitizeIcs(std::string_view raw) {
    std::string text = validUtf8(raw);
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        text.erase(0, 3); // a byte order mark some exporters write
    }
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < text.size()) {
        auto end = text.find_first_of("\r\n", i);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string_view line(text.data() + i, end - i);
        i = end;
        if (i < text.size() && text[i] == '\r') {
            ++i;
        }
        if (i < text.size() && text[i] == '\n') {
            ++i;
        }
        if (!line.empty() && (line.front() == ' ' || line.front() == '\t') && !lines.empty()) {
            lines.back().append(line.substr(1));
        } else if (!line.empty()) {
            lines.emplace_back(line);
        }
    }
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (auto& line : lines) {
        const std::string name = propertyName(line);
        if (name == "RRULE") {
            line = withRuleText(line);
            if (line.empty()) {
                continue;
            }
        } else if (name == "EXRULE") {
            const auto colon = line.find(':');
            const std::string rule =
                colon == std::string::npos ? std::string() : safeRule(line.substr(colon + 1));
            if (rule.empty()) {
                continue;
            }
            line = line.substr(0, colon + 1) + rule;
        }
        out.push_back(std::move(line));
    }
    return out;
}

} // namespace plannery::ics
