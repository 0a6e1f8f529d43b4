#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plannery {

// The address of a "mailto:" URL (scheme in any case), percent-decoded (kept as it is when the
// decoding fails) and cut at the first "?"; absent for other URLs or an empty address.
std::optional<std::string> emailFromURL(std::string_view url);

// The pattern addresses in calendar titles and participants must match:
// ^[^@\s]+@[^@\s]+\.[^@\s]+$
bool matchesEmailPattern(std::string_view text);

} // namespace plannery
