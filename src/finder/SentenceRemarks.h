#pragma once

#include "finder/ReaderText.h"

#include <cstddef>

// What the sentence around a day says of it that makes it no event: an office shut, a day the rain
// may call for, one offered instead, a deadline.
namespace plannery::reader {

// "church office", "call centre", "Unser Büro", "our depots": the desk or premises of someone
// named at token `k`, which the reader does not work at; "the office" with only an article is the
// reader's own.
bool someonesOffice(const Line& line, std::size_t k);

// Whether the sentence before token `k` says that someone cannot keep the day there ("Dr. Okafor
// is out of the office on Thu 11/19"): the day is called off, and with it what was set for it.
bool keptByNoOne(const Line& line, std::size_t k);

// Whether the sentence before token `k` of `line` makes the day there no event.
bool setAsideInSentence(const Line& line, std::size_t k);

} // namespace plannery::reader
