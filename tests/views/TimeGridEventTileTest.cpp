#include "GridViewTestSupport.h"
#include "TestSupport.h"

#include "views/GridPalette.h"
#include "views/TimeGridEventTile.h"

#include <QImage>
#include <QPainter>
#include <QPalette>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace plannery {
namespace {

using test::at;
using test::gridEvent;

// A tile 120 × 90 points of a short event, of the given kind.
TimeGridTile tileOf(const std::string& kind) {
    const Calendar cal = test::berlin();
    CalEvent event = gridEvent("e-" + kind, "Call", at(cal, 2026, 3, 9, 9), at(cal, 2026, 3, 9, 10),
                               RGB{0.2, 0.5, 0.9});
    TimeGridTile tile;
    if (kind == "striped") {
        event.calendars.push_back(CalendarRef{.id = "home", .rgb = RGB{0.9, 0.4, 0.1}});
    }
    event.isTentative = kind == "tentative";
    event.isDeclined = kind == "declined";
    tile.outlined = kind == "outlined";
    tile.block.segment = TimeGridSegment{.event = event, .startMinute = 540, .endMinute = 600};
    tile.block.frame = Rect{.x = 0, .y = 0, .width = 120, .height = 90};
    return tile;
}

enum class Canvas { shared, own };

// The tile drawn into a transparent picture as a column draws it among others (`shared`) or into
// a picture of its own (`own`).
QImage draw(const TimeGridTile& tile, double scale, Canvas canvas) {
    const Rect& f = tile.block.frame;
    QImage image(static_cast<int>(f.width * scale), static_cast<int>(f.height * scale),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    TileFonts fonts;
    if (canvas == Canvas::own) {
        TimeGridEventTile::drawPicture(image, tile, test::berlin(), GridPalette::from(QPalette()),
                                       fonts);
        return image;
    }
    QPainter painter(&image);
    TimeGridEventTile::paint(painter, QRectF(0, 0, f.width, f.height), tile, test::berlin(),
                             GridPalette::from(QPalette()), fonts);
    return image;
}

// In a picture of its own a tile is drawn square and its corners cut afterwards. It must look as
// the tile whose every part is filled with rounded ends: the same everywhere but the corners'
// edge pixels, and those only as much as blending the parts at once rather than one by one on
// a part-covered pixel changes them.
TEST(TimeGridEventTile, ATileDrawnSquareAndCutLooksAsOneFilledWithRoundedEnds) {
    for (const std::string kind : {"plain", "striped", "tentative", "declined", "outlined"}) {
        for (const double scale : {1.0, 2.0}) {
            const TimeGridTile tile = tileOf(kind);
            const QImage rounded = draw(tile, scale, Canvas::shared);
            const QImage cut = draw(tile, scale, Canvas::own);
            // The rounded corners (radius 4, one more around an outlined tile) lie within six
            // points of the tile's corners.
            const int corner = static_cast<int>(6 * scale);
            int largestInside = 0;
            int largestAtCorners = 0;
            for (int y = 0; y < cut.height(); ++y) {
                for (int x = 0; x < cut.width(); ++x) {
                    const bool atCorner = (x < corner || x >= cut.width() - corner) &&
                                          (y < corner || y >= cut.height() - corner);
                    int& largest = atCorner ? largestAtCorners : largestInside;
                    largest = std::max(largest,
                                       test::pixelDifference(rounded.pixel(x, y), cut.pixel(x, y)));
                }
            }
            EXPECT_LE(largestInside, 2) << kind << " at scale " << scale;
            EXPECT_LE(largestAtCorners, 96) << kind << " at scale " << scale;
            // The corners are cut: the outermost corner pixel shows nothing, as in the shape.
            EXPECT_EQ(qAlpha(cut.pixel(0, 0)), qAlpha(rounded.pixel(0, 0))) << kind;
            EXPECT_LT(qAlpha(cut.pixel(0, 0)), 64) << kind;
        }
    }
}

// A tall tentative tile's hatching, filled in bands of rows, repeats every period all the way
// down: no seam where one band meets the next.
TEST(TimeGridEventTile, TallHatchingRepeatsWithoutSeams) {
    for (const double scale : {1.0, 2.0}) {
        TimeGridTile tile = tileOf("tentative");
        tile.block.frame.height = 400;
        tile.block.segment.event.title = {};
        const QImage image = draw(tile, scale, Canvas::own);
        const int period = static_cast<int>(6 * scale);
        int largest = 0;
        // Right of the stripe, below the event's time at the top, above the rounded bottom.
        for (int y = static_cast<int>(40 * scale); y + period < image.height() - 10 * scale; ++y) {
            for (int x = static_cast<int>(10 * scale); x < image.width() - 10 * scale; ++x) {
                largest = std::max(
                    largest, test::pixelDifference(image.pixel(x, y), image.pixel(x, y + period)));
            }
        }
        EXPECT_LE(largest, 1) << "scale " << scale;
    }
}

} // namespace
} // namespace plannery
