#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plannery {

class SharedKeychain;

// String preferences that other processes read too, kept as keychain items of the preferences
// service, one per key.
class SharedPrefs {
  public:
    static constexpr std::string_view eventFinderEngine = "eventFinderEngine";
    static constexpr std::string_view imageEventsCalendar = "imageEventsCalendar";

    explicit SharedPrefs(SharedKeychain& keychain) : m_keychain(keychain) {}

    // Invalid UTF-8 in a stored value is replaced, never rejected.
    std::optional<std::string> string(std::string_view key) const;
    // Absent deletes; storing the value already there writes nothing.
    void set(const std::optional<std::string>& value, std::string_view key);

  private:
    SharedKeychain& m_keychain;
};

} // namespace plannery
