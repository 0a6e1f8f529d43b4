#pragma once

#include <optional>
#include <string>
#include <string_view>

// What the build knows about itself, looked up by the keys an application's information
// dictionary uses: "CFBundleShortVersionString", "CFBundleVersion", "CFBundleIdentifier",
// "PlanneryCommit", "PlanneryKeychainGroup", "SUFeedURL", "SUPublicEDKey".
namespace plannery::BuildInfo {

// The value under the key; absent for an unknown key. A value may be empty (a setting the build
// left unset).
std::optional<std::string> value(std::string_view key);

// "org.plannery.Plannery" unless the build chose another.
std::string bundleIdentifier();

} // namespace plannery::BuildInfo
