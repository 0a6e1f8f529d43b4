#pragma once

#include <string>

// The gaps a text recogniser loses between a table's columns and between a word and its number,
// put back. Typed text is read through the same rules.
namespace plannery::reader {

// "Droit des obligationsAmphi Portalis", "Mme LefèvreSalle B214": a venue's word run onto the
// word before it gets its gap back.
void splitJoinedVenues(std::string& line);

// "janv.8 h 30Harfangs 2Castors", "glace 1REPORTÉ": a gap after a number before a capitalised
// word, and after an abbreviated month's stop before its day.
void splitRunTogetherColumns(std::string& line);

// "O8h00-10h00CM Droit", "l7hOO": a French clock with an "O" for a zero or an "l" for its hour's
// one, run into the next column, gets its digits and a space after it.
void frenchClocksSetApart(std::string& line);

// "Lab3" is "Lab 3", "Room12" "Room 12": a space lost between a place's word and its number.
void splitPlaceNumbers(std::string& line);

} // namespace plannery::reader
