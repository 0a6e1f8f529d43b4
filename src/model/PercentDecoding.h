#pragma once

#include <optional>
#include <string>
#include <string_view>

// Percent-escapes as URLs carry them ("%20", "%C3%A9"), for the parts of links that Plannery reads:
// mail addresses, day links, map and meeting links.
namespace plannery {

// Whether the bytes are UTF-8 text (no broken or overlong sequence, no surrogate).
bool isValidUtf8(std::string_view text);

// Every "%XX" replaced by its byte; none when a "%" starts no such pair or the bytes are not
// UTF-8 text.
std::optional<std::string> percentDecoded(std::string_view text);

} // namespace plannery
