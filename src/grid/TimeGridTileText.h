#pragma once

#include "grid/Geometry.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"

#include <cstddef>
#include <string>
#include <vector>

namespace plannery {

// Where a tile's text may go, relative to the tile's top-left corner.
struct TileTextArea {
    Rect rect{};
    double topOffset = 0; // the text's top below the tile's top (negative for tiny tiles)

    friend bool operator==(const TileTextArea&, const TileTextArea&) = default;
};

// How much text a tile shows.
enum class TileTextForm {
    none,    // too small for any text
    words,   // one word of the title per line, nothing else
    oneLine, // title, then start time and location, on one truncated line
    lines,   // title lines, then time range and location (or the start time when compact)
};

// A line a tile could show after its title.
enum class TileFurtherLine {
    startTime, // the compact start time
    timeRange,
    location,
};

// Where the lines of a tile went: tops of the placed title lines and further lines, in the
// tile's coordinates. When fewer title lines were placed than the title has, the last placed
// one shows the rest of the title, cut with an ellipsis.
struct TilePlacement {
    std::vector<double> titleTops{};
    std::vector<double> furtherTops{};
    bool titleTruncated = false;

    friend bool operator==(const TilePlacement&, const TilePlacement&) = default;
};

// The text rules of an event tile: where text goes, which form it takes, which parts of the
// tile other tiles leave readable, and how the lines are placed into them.
namespace TimeGridTileText {

TileTextArea textArea(const Rect& bounds, bool compact, std::size_t calendarCount);
// `titleLineHeight` is the title font's line height rounded up to a whole point.
TileTextForm form(const TileTextArea& area, bool compact, double titleLineHeight);

// The readable stretches of the text area: from its top to the tile's bottom, skipping the
// parts covered by tiles above this one (in the tile's coordinates, ascending); none when all
// are shorter than 8 points, and then no text is drawn.
std::vector<Stretch> readableStretches(const TileTextArea& area, double tileHeight,
                                       const std::vector<Stretch>& covered);

// The title's words for the narrow form: split at spaces, empty pieces dropped.
std::vector<std::string> words(const std::string& title);
// The part of the one-line form after the title: two spaces, the compact start time, and " · "
// with the location when there is one.
std::string oneLineDetail(const CalEvent& event, const Calendar& calendar);
// The lines after the title: the time range and the location for regular tiles; for compact
// ones the compact start time, or nothing when the segment continues from the day before. Their
// texts are made apart, for the lines that find room: most tiles have none for them.
std::vector<TileFurtherLine> furtherLines(const CalEvent& event, bool compact,
                                          bool continuesBefore);
std::string furtherText(TileFurtherLine line, const CalEvent& event, const Calendar& calendar);

// Places `titleLineCount` title lines and then the further lines into the stretches (slack 1
// point); lines that find no room are dropped. A regular tile whose title takes two or more
// lines gives up title lines, down to one, until at least the first further line fits.
TilePlacement place(std::size_t titleLineCount, double titleLineHeight,
                    const std::vector<double>& furtherLineHeights,
                    const std::vector<Stretch>& stretches, bool compact);
// The most title lines `place` puts into the stretches, however many the title has.
std::size_t mostTitleLines(double titleLineHeight, const std::vector<Stretch>& stretches);
// The narrow form's word lines: the tops of the words that found room.
std::vector<double> placeWords(std::size_t wordCount, double lineHeight,
                               const std::vector<Stretch>& stretches);

} // namespace TimeGridTileText

} // namespace plannery
