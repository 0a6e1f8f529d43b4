#pragma once

// A small strict JSON reader for checking the command line's output in tests: it rejects
// anything that is not JSON (trailing commas, raw control characters in strings, bad escapes),
// so a test that parses output also checks that the output is valid.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plannery::test::json {

struct Value {
    enum class Kind { null, boolean, number, string, array, object } kind = Kind::null;
    bool boolean = false;
    double number = 0;
    std::string string;
    std::vector<Value> array;
    std::map<std::string, Value> object;

    bool has(const std::string& key) const { return object.count(key) > 0; }
    const Value& operator[](const std::string& key) const { return object.at(key); }
    const Value& operator[](std::size_t index) const { return array.at(index); }
};

class Reader {
  public:
    explicit Reader(std::string_view text) : m_text(text) {}

    std::optional<Value> document() {
        auto value = parseValue();
        skipSpace();
        if (!value || m_pos != m_text.size()) {
            return std::nullopt;
        }
        return value;
    }

  private:
    void skipSpace() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\n' ||
                                         m_text[m_pos] == '\r' || m_text[m_pos] == '\t')) {
            ++m_pos;
        }
    }
    bool take(char c) {
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool literal(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) == word) {
            m_pos += word.size();
            return true;
        }
        return false;
    }

    std::optional<Value> parseValue() {
        skipSpace();
        if (m_pos >= m_text.size() || ++m_depth > 64) {
            return std::nullopt;
        }
        Value value;
        const char c = m_text[m_pos];
        std::optional<Value> result;
        if (c == '{') {
            result = parseObject();
        } else if (c == '[') {
            result = parseArray();
        } else if (c == '"') {
            auto text = parseString();
            if (text) {
                value.kind = Value::Kind::string;
                value.string = std::move(*text);
                result = value;
            }
        } else if (literal("true") || literal("false")) {
            value.kind = Value::Kind::boolean;
            value.boolean = c == 't';
            result = value;
        } else if (literal("null")) {
            result = value;
        } else {
            result = parseNumber();
        }
        --m_depth;
        return result;
    }

    std::optional<Value> parseNumber() {
        const std::size_t begin = m_pos;
        while (m_pos < m_text.size() &&
               std::string_view("+-0123456789.eE").find(m_text[m_pos]) != std::string_view::npos) {
            ++m_pos;
        }
        if (begin == m_pos) {
            return std::nullopt;
        }
        Value value;
        value.kind = Value::Kind::number;
        try {
            std::size_t used = 0;
            const std::string text(m_text.substr(begin, m_pos - begin));
            value.number = std::stod(text, &used);
            if (used != text.size()) {
                return std::nullopt;
            }
        } catch (...) {
            return std::nullopt;
        }
        return value;
    }

    static void appendUtf8(std::string& out, std::uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::optional<std::string> parseString() {
        if (!take('"')) {
            return std::nullopt;
        }
        std::string out;
        while (m_pos < m_text.size()) {
            const auto c = static_cast<unsigned char>(m_text[m_pos++]);
            if (c == '"') {
                return out;
            }
            if (c < 0x20) {
                return std::nullopt; // raw control characters are not allowed
            }
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (m_pos >= m_text.size()) {
                return std::nullopt;
            }
            const char escape = m_text[m_pos++];
            switch (escape) {
            case '"':
            case '\\':
            case '/':
                out += escape;
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                if (m_pos + 4 > m_text.size()) {
                    return std::nullopt;
                }
                const std::string hex(m_text.substr(m_pos, 4));
                m_pos += 4;
                if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
                    return std::nullopt;
                }
                appendUtf8(out, static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16)));
                break;
            }
            default:
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    std::optional<Value> parseArray() {
        take('[');
        Value value;
        value.kind = Value::Kind::array;
        if (take(']')) {
            return value;
        }
        do {
            auto item = parseValue();
            if (!item) {
                return std::nullopt;
            }
            value.array.push_back(std::move(*item));
        } while (take(','));
        return take(']') ? std::optional(value) : std::nullopt;
    }

    std::optional<Value> parseObject() {
        take('{');
        Value value;
        value.kind = Value::Kind::object;
        if (take('}')) {
            return value;
        }
        do {
            skipSpace();
            auto key = parseString();
            if (!key || !take(':')) {
                return std::nullopt;
            }
            auto item = parseValue();
            if (!item || value.object.count(*key) > 0) {
                return std::nullopt;
            }
            value.object.emplace(std::move(*key), std::move(*item));
        } while (take(','));
        return take('}') ? std::optional(value) : std::nullopt;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_depth = 0;
};

inline std::optional<Value> parse(std::string_view text) {
    return Reader(text).document();
}

} // namespace plannery::test::json
