#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace plannery {

// A hash of many parts in order, kept beside a value worked out from them (in the index cache)
// to tell whether they changed since: another part, or a part that begins elsewhere, gives
// another hash.
class Fingerprint {
  public:
    void add(std::string_view bytes) {
        mix(std::hash<std::string_view>{}(bytes));
        mix(bytes.size());
    }
    void add(std::int64_t number) { mix(static_cast<std::uint64_t>(number)); }
    std::uint64_t value() const { return m_hash; }
    std::string text() const { return std::to_string(m_hash); }

  private:
    void mix(std::uint64_t part) {
        m_hash ^= part + 0x9E3779B97F4A7C15ULL + (m_hash << 6) + (m_hash >> 2);
    }

    std::uint64_t m_hash = 0;
};

} // namespace plannery
