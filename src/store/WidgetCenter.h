#pragma once

#include <cstdint>

namespace plannery {

class SharedKeychain;

// Asking the widget process to draw again: a counter in the shared store (widgets service,
// account "reload") that the widget watches.
namespace WidgetCenter {

void reloadAllTimelines(SharedKeychain& keychain);
// The counter's current value, 0 before the first reload.
std::uint64_t reloadCount(SharedKeychain& keychain);

} // namespace WidgetCenter

} // namespace plannery
