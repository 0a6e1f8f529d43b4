#pragma once

#include <string_view>

namespace plannery::GoogleCalendarLink {

// Opens the link in the desktop's default browser; a failure is silent, as there is nothing the
// user could do about it here.
void open(std::string_view url);

} // namespace plannery::GoogleCalendarLink
