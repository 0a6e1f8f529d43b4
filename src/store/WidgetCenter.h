#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace plannery {

class SharedKeychain;

// Asking the widget process to draw again: a counter in the shared store (widgets service,
// account "reload") that the widget watches.
namespace WidgetCenter {

void reloadAllTimelines(SharedKeychain& keychain);
// The counter's current value, 0 before the first reload.
std::uint64_t reloadCount(SharedKeychain& keychain);
// The counter in the item's bytes; 0 for anything but a decimal number.
std::uint64_t countFrom(std::string_view bytes);
inline constexpr std::string_view reloadAccount = "reload";

// The calendar folders the app reads, so that the widget reads the same ones: a JSON array of
// paths, the shared preference "calendarRoots". Written only when it changed.
void shareRoots(SharedKeychain& keychain, const std::vector<std::filesystem::path>& roots);
inline constexpr std::string_view rootsKey = "calendarRoots";
std::string rootsToJson(const std::vector<std::filesystem::path>& roots);
// The paths in such an array; none for anything else.
std::vector<std::filesystem::path> rootsFromJson(std::string_view json);

} // namespace WidgetCenter

} // namespace plannery
