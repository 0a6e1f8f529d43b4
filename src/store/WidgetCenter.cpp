#include "store/WidgetCenter.h"

#include "store/SharedKeychain.h"

#include <charconv>
#include <string>

namespace plannery::WidgetCenter {

namespace {

constexpr std::string_view kAccount = "reload";

} // namespace

void reloadAllTimelines(SharedKeychain& keychain) {
    // A failed increment only means the widget redraws at its next minute boundary instead.
    keychain.increment(SharedKeychain::widgetsService(), kAccount);
}

std::uint64_t reloadCount(SharedKeychain& keychain) {
    const std::string bytes =
        keychain.data(SharedKeychain::widgetsService(), kAccount).value_or("0");
    std::uint64_t count = 0;
    const char* end = bytes.data() + bytes.size();
    const auto [stop, error] = std::from_chars(bytes.data(), end, count);
    return error == std::errc{} && stop == end ? count : 0;
}

} // namespace plannery::WidgetCenter
