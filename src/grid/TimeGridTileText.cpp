#include "grid/TimeGridTileText.h"

#include "grid/TimeGridColors.h"
#include "grid/TimeGridLayout.h"
#include "grid/TimeGridText.h"

#include <algorithm>

namespace plannery::TimeGridTileText {

namespace {

constexpr double kTallTile = 20;
constexpr double kOneLineHeight = 13;
constexpr double kMinTextWidth = 9;
constexpr double kMinTextHeight = 6;
constexpr double kMinLinesWidth = 32;
constexpr double kMinStretch = 8;
constexpr double kSlack = 1;

} // namespace

TileTextArea textArea(const Rect& bounds, bool compact, std::size_t calendarCount) {
    const double stripe = TimeGridColors::stripeWidth(compact, calendarCount);
    const double left = stripe + (compact ? 2 : 3.5);
    const double right = bounds.width - (compact ? 1 : 3);
    // Short tiles centre a single line, letting it overhang the top by at most 2 points.
    const double top = bounds.height >= kTallTile
                           ? (compact ? 1.5 : 2.5)
                           : std::max((bounds.height - kOneLineHeight) / 2, -2.0);
    return TileTextArea{
        .rect = Rect{.x = left, .y = top, .width = right - left, .height = bounds.height - top},
        .topOffset = top};
}

TileTextForm form(const TileTextArea& area, bool compact, double titleLineHeight) {
    if (!(area.rect.width >= kMinTextWidth) || !(area.rect.height > kMinTextHeight)) {
        return TileTextForm::none;
    }
    if (area.rect.width < kMinLinesWidth) {
        return TileTextForm::words;
    }
    if (!compact && area.rect.height < 2 * titleLineHeight) {
        return TileTextForm::oneLine;
    }
    return TileTextForm::lines;
}

std::vector<Stretch> readableStretches(const TileTextArea& area, double tileHeight,
                                       const std::vector<Stretch>& covered) {
    // Text keeps a point clear above a covering tile and, below it, as much room as it has
    // under the tile's own top.
    return TimeGridLayout::visibleStretches(area.rect.top(), tileHeight, covered, 1,
                                            area.topOffset + 1, kMinStretch);
}

std::vector<std::string> words(const std::string& title) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start <= title.size()) {
        const std::size_t end = std::min(title.find(' ', start), title.size());
        if (end > start) {
            result.push_back(title.substr(start, end - start));
        }
        start = end + 1;
    }
    return result;
}

std::string oneLineDetail(const CalEvent& event, const Calendar& calendar) {
    std::string detail = "  " + TimeGridText::compactTime(event.start, calendar);
    if (event.location && !event.location->empty()) {
        detail += " \u00B7 " + event.location->str();
    }
    return detail;
}

std::vector<TileFurtherLine> furtherLines(const CalEvent& event, bool compact,
                                          bool continuesBefore) {
    if (compact) {
        return continuesBefore ? std::vector<TileFurtherLine>{}
                               : std::vector<TileFurtherLine>{TileFurtherLine::startTime};
    }
    if (event.location && !event.location->empty()) {
        return {TileFurtherLine::timeRange, TileFurtherLine::location};
    }
    return {TileFurtherLine::timeRange};
}

std::string furtherText(TileFurtherLine line, const CalEvent& event, const Calendar& calendar) {
    switch (line) {
    case TileFurtherLine::startTime:
        return TimeGridText::compactTime(event.start, calendar);
    case TileFurtherLine::timeRange:
        return TimeGridText::timeRange(event, calendar);
    case TileFurtherLine::location:
        return event.location.value_or("");
    }
    return {};
}

TilePlacement place(std::size_t titleLineCount, double titleLineHeight,
                    const std::vector<double>& furtherLineHeights,
                    const std::vector<Stretch>& stretches, bool compact) {
    const auto attempt = [&](std::size_t titleLines) {
        std::vector<double> heights(titleLines, titleLineHeight);
        heights.insert(heights.end(), furtherLineHeights.begin(), furtherLineHeights.end());
        const std::vector<double> tops = TimeGridLayout::flow(heights, stretches, kSlack);
        TilePlacement placement;
        const std::size_t placedTitle = std::min(titleLines, tops.size());
        placement.titleTops.assign(tops.begin(), tops.begin() + static_cast<long>(placedTitle));
        placement.furtherTops.assign(tops.begin() + static_cast<long>(placedTitle), tops.end());
        placement.titleTruncated = placedTitle < titleLineCount;
        return placement;
    };
    std::size_t titleLines = titleLineCount;
    TilePlacement placement = attempt(titleLines);
    while (!compact && titleLines >= 2 && !furtherLineHeights.empty() &&
           placement.furtherTops.empty()) {
        --titleLines;
        placement = attempt(titleLines);
    }
    return placement;
}

std::size_t mostTitleLines(double titleLineHeight, const std::vector<Stretch>& stretches) {
    if (stretches.empty() || !(titleLineHeight > 0) || !std::isfinite(titleLineHeight)) {
        return 0;
    }
    // Each stretch holds no more lines than its height and slack allow, and the lines are placed
    // as `place` places them.
    double room = 0;
    for (const Stretch& stretch : stretches) {
        room += std::max(stretch.upper - stretch.lower, 0.0) + kSlack;
    }
    const double bound = std::min(std::ceil(room / titleLineHeight), 10000.0);
    return TimeGridLayout::flow(
               std::vector<double>(static_cast<std::size_t>(bound), titleLineHeight), stretches,
               kSlack)
        .size();
}

std::vector<double> placeWords(std::size_t wordCount, double lineHeight,
                               const std::vector<Stretch>& stretches) {
    return TimeGridLayout::flow(std::vector<double>(wordCount, lineHeight), stretches, kSlack);
}

} // namespace plannery::TimeGridTileText
