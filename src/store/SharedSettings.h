#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plannery {

class SharedKeychain;

// The calendar settings the widget process applies like the app: kept as JSON in the keychain
// item (settings service, account "shared").
struct SharedSettings {
    std::vector<std::string> hiddenCalendarIDs{}; // sorted ascending by code units
    bool showDeclined = false;
    std::vector<std::vector<std::string>> mirroredCalendarIDs{};
    // The user's own e-mail addresses, so that the widget knows whose replies are the user's.
    std::vector<std::string> ownEmailAddresses{};

    friend bool operator==(const SharedSettings&, const SharedSettings&) = default;

    // {"hiddenCalendarIDs":[...],"showDeclined":false,"mirroredCalendarIDs":[[...]]}, and
    // "ownEmailAddresses":[...] after them when there are any.
    std::string toJson() const;
    // Missing keys take their defaults and other keys are ignored; nullopt when the text is not
    // such an object.
    static std::optional<SharedSettings> fromJson(std::string_view json);

    static std::optional<SharedSettings> load(SharedKeychain& keychain);
    bool save(SharedKeychain& keychain) const;
};

} // namespace plannery
