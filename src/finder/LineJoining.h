#pragma once

#include "finder/ReaderText.h"

#include <string>
#include <vector>

// Lines that a poster, a photo or hard line breaks split apart, joined again before they are
// read: a day stacked a word a line ("FRI" over "12" over "JUNE"), a range broken after the word
// that leads to its second half ("from 9.00 a.m. to" over "12.30 p.m."), and a name in capitals
// stacked a word or two a line ("SOIRÉE" over "JAZZ").
namespace plannery::reader {

void joinBrokenLines(std::vector<Line>& lines, const std::string& locale);

} // namespace plannery::reader
