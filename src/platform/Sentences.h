#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace plannery {

// A sentence (or clause) for the user through Qt's translation in `context`, its %1, %2, … (up to
// %9) replaced by `args` in one pass: an argument that holds "%2" (a path can) stays as it is,
// and its bytes are kept whether or not they are valid UTF-8. The English `text` when no
// translation is installed.
std::string translated(const char* context, const char* text,
                       std::initializer_list<std::string_view> args = {});

} // namespace plannery
