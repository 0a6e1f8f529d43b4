#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plannery {

// The address of a "mailto:" URL (scheme in any case), percent-decoded (kept as it is when the
// decoding fails) and cut at the first "?"; absent for other URLs or an empty address.
std::optional<std::string> emailFromURL(std::string_view url);

// The pattern addresses in calendar titles and participants must match:
// ^[^@\s]+@[^@\s]+\.[^@\s]+$
bool matchesEmailPattern(std::string_view text);

// Addresses as a person types a list of them: separated by commas, semicolons or white space.
struct AddressList {
    std::vector<std::string> addresses; // in the order typed, each once (in any case)
    std::vector<std::string> rejected;  // pieces that are not addresses
};
AddressList addressList(std::string_view text);

} // namespace plannery
