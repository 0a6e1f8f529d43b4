#pragma once

#include "model/Calendar.h"
#include "model/Instant.h"

#include <cstddef>
#include <string>
#include <string_view>

// The words a language model is given: the instructions (what to extract, with today's date and
// the user's zone written in) and the prompt that carries the text.
namespace plannery::EventPrompt {

// The instructions for `now` in the calendar's zone: the task, the line "Today is Thursday,
// 12/03/2026 (2026-12-03). The user's time zone is Europe/Berlin.", an empty line and the rules.
std::string instructions(Instant now, const Calendar& calendar);

inline constexpr std::string_view kHeading = "Text from the image:\n\n";
// The heading followed by the first `limit` user-perceived characters of the text (the whole
// text when it is shorter). Used for recognised and pasted text alike.
std::string prompt(std::string_view text, std::size_t limit);

// The first `limit` user-perceived characters of a UTF-8 text; only that much of it is read.
std::string_view leadingCharacters(std::string_view text, std::size_t limit);

} // namespace plannery::EventPrompt
