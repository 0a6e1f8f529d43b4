#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The parts of an event's notes that open something when clicked: web links, e-mail addresses
// and phone numbers. One forward pass over the text, so notes of any length cost their length.
namespace plannery::DetailSheetLinks {

struct LinkSpan {
    std::size_t begin = 0; // byte offsets into the UTF-8 text
    std::size_t end = 0;
    std::string target{}; // "https://…", "mailto:…" or "tel:…"

    friend bool operator==(const LinkSpan&, const LinkSpan&) = default;
};

// The links in the text, in order and without overlaps.
std::vector<LinkSpan> find(std::string_view text);

} // namespace plannery::DetailSheetLinks
