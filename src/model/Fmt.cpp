#include "model/Fmt.h"

#include <cstdio>

namespace plannery::Fmt {

std::string dayKey(Instant t, const Calendar& calendar) {
    const DateComponents c = calendar.components(t);
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%04d-%02d-%02d", c.year, c.month, c.day);
    return length > 0 ? std::string(text, static_cast<std::size_t>(length)) : std::string();
}

} // namespace plannery::Fmt
