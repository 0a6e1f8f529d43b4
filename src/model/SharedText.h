#pragma once

#include <compare>
#include <cstddef>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace plannery {

// An immutable text that copies share. The records made for every occurrence of every event hold
// their identifiers, titles and calendar names this way: a text can live inside the record it
// was read from (`within`), so making an occurrence copies no characters and allocates nothing
// for them, and a series that repeats a thousand times holds its title once.
class SharedText {
  public:
    SharedText() = default;
    SharedText(std::string text)
        : m_text(text.empty() ? nullptr : std::make_shared<const std::string>(std::move(text))) {}
    SharedText(std::string_view text) : SharedText(std::string(text)) {}
    SharedText(const char* text) : SharedText(std::string(text)) {}

    // A text that is a member of `owner`, kept alive with it.
    template <typename Owner>
    static SharedText within(const std::shared_ptr<Owner>& owner, const std::string& text) {
        SharedText result;
        if (owner && !text.empty()) {
            result.m_text = std::shared_ptr<const std::string>(owner, &text);
        }
        return result;
    }

    const std::string& str() const { return m_text ? *m_text : emptyText(); }
    operator const std::string&() const { return str(); }
    operator std::string_view() const { return str(); }

    bool empty() const { return str().empty(); }
    std::size_t size() const { return str().size(); }
    const char* data() const { return str().data(); }
    const char* c_str() const { return str().c_str(); }

    friend bool operator==(const SharedText& a, const SharedText& b) {
        return a.m_text == b.m_text || a.str() == b.str();
    }
    friend bool operator==(const SharedText& a, std::string_view b) { return a.str() == b; }
    friend bool operator==(const SharedText& a, const std::string& b) { return a.str() == b; }
    friend bool operator==(const SharedText& a, const char* b) { return a.str() == b; }
    friend std::strong_ordering operator<=>(const SharedText& a, const SharedText& b) {
        return a.str() <=> b.str();
    }

    friend std::ostream& operator<<(std::ostream& stream, const SharedText& text) {
        return stream << text.str();
    }

  private:
    static const std::string& emptyText() {
        static const std::string kEmpty;
        return kEmpty;
    }

    std::shared_ptr<const std::string> m_text;
};

} // namespace plannery
