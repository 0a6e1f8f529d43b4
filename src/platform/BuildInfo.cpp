#include "platform/BuildInfo.h"

#include "BuildInfoValues.h"

#include <array>
#include <utility>

namespace plannery::BuildInfo {

std::optional<std::string> value(std::string_view key) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kValues{{
        {"CFBundleShortVersionString", PLANNERY_BUILD_VERSION},
        {"CFBundleVersion", PLANNERY_BUILD_VERSION},
        {"CFBundleIdentifier", PLANNERY_BUILD_BUNDLE_ID},
        {"PlanneryCommit", PLANNERY_BUILD_COMMIT},
        {"PlanneryKeychainGroup", PLANNERY_BUILD_KEYCHAIN_GROUP},
        {"SUFeedURL", PLANNERY_BUILD_FEED_URL},
        {"SUPublicEDKey", PLANNERY_BUILD_FEED_KEY},
    }};
    for (const auto& [name, text] : kValues) {
        if (name == key) {
            return std::string(text);
        }
    }
    return std::nullopt;
}

std::string bundleIdentifier() {
    return value("CFBundleIdentifier").value_or("org.plannery.Plannery");
}

} // namespace plannery::BuildInfo
