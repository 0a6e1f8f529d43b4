#pragma once

#include <string>
#include <string_view>

namespace plannery::TitleFolding {

// The text with every character that is not a letter, mark or digit removed; nothing folded.
std::string alphanumerics(std::string_view text);

// The key under which two titles are the same event: folded case-, diacritic- and
// width-insensitively (no particular locale), then reduced to letters, marks and digits. Written
// into `out` so that loops over many titles reuse one buffer; plain ASCII takes a fast path.
void fold(std::string_view title, std::string& out);

} // namespace plannery::TitleFolding
