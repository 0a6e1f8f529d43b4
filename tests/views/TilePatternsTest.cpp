#include "GridViewTestSupport.h"

#include "grid/TimeGridTileStyle.h"
#include "views/TilePatterns.h"
#include "views/TimeGridEventTile.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::largestDifference;

const std::vector<CalendarRef> kThree{CalendarRef{.id = "a", .rgb = RGB{0.9, 0.2, 0.2}},
                                      CalendarRef{.id = "b", .rgb = RGB{0.2, 0.5, 0.9}},
                                      CalendarRef{.id = "c", .rgb = RGB{0.3, 0.7, 0.3}}};

QImage canvas(double scale) {
    QImage image(static_cast<int>(40 * scale), static_cast<int>(160 * scale),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    return image;
}

// A stripe filled from the picture of one period shows the bands drawn one by one, in their
// colours and at their places down the whole stripe, on plain and doubled pixels.
TEST(TilePatterns, AStripeTiledFromOnePeriodLooksAsItsBandsDrawnOneByOne) {
    for (const double scale : {1.0, 2.0}) {
        for (const std::size_t count : {std::size_t{2}, std::size_t{3}}) {
            const std::vector<CalendarRef> calendars(kThree.begin(),
                                                     kThree.begin() + static_cast<long>(count));
            const QRectF stripe(12, 7, 4, 141);

            QImage bands = canvas(scale);
            {
                QPainter painter(&bands);
                painter.setRenderHint(QPainter::Antialiasing);
                TimeGridEventTile::drawStripe(painter, calendars, stripe);
            }
            QImage tiled = canvas(scale);
            {
                QPainter painter(&tiled);
                painter.setRenderHint(QPainter::Antialiasing);
                const auto period =
                    TilePatterns::stripe(painter, calendars, stripe.topLeft(), stripe.width());
                ASSERT_TRUE(period.has_value()) << "scale " << scale;
                painter.setBrushOrigin(stripe.topLeft());
                painter.fillRect(stripe, QBrush(*period));
            }
            EXPECT_LE(largestDifference(bands, tiled), 1)
                << count << " calendars at scale " << scale;
        }
    }
}

// A tentative event's hatching filled from one period shows the strokes drawn across the shape:
// same places, same translucent colour over what lies beneath.
TEST(TilePatterns, HatchingTiledFromOnePeriodLooksAsItsStrokes) {
    const QColor color = QColor::fromRgbF(0.2f, 0.5f, 0.9f, 0.22f);
    for (const double scale : {1.0, 2.0}) {
        const QRectF shape(7, 11, 29, 137);
        QImage strokes = canvas(scale);
        {
            QPainter painter(&strokes);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setClipRect(shape);
            QPen pen(color);
            pen.setWidthF(TimeGridTileStyle::hatchWidth);
            QPainterPath path;
            for (const HatchLine& line : TimeGridTileStyle::hatchLines(Rect{.x = shape.x(),
                                         .y = shape.y(),
                                         .width = shape.width(),
                                         .height = shape.height()})) {
                path.moveTo(line.from.x, line.from.y);
                path.lineTo(line.to.x, line.to.y);
            }
            painter.strokePath(path, pen);
        }
        QImage tiled = canvas(scale);
        {
            QPainter painter(&tiled);
            painter.setRenderHint(QPainter::Antialiasing);
            const auto period = TilePatterns::hatch(painter, color, shape.topLeft());
            ASSERT_TRUE(period.has_value()) << "scale " << scale;
            painter.setBrushOrigin(shape.topLeft());
            painter.fillRect(shape, QBrush(*period));
        }
        EXPECT_LE(largestDifference(strokes, tiled), 2) << "scale " << scale;
    }
}

// At fractional scales, or with the corner off the pixel grid, the caller draws the pattern itself.
TEST(TilePatterns, NoPictureOffThePixelGridOrForOneCalendar) {
    QImage image = canvas(1.5);
    QPainter painter(&image);
    EXPECT_FALSE(TilePatterns::stripe(painter, kThree, QPointF(8, 8), 4));
    EXPECT_FALSE(TilePatterns::hatch(painter, Qt::red, QPointF(8, 8)));
    painter.end();

    QImage plain = canvas(1);
    QPainter onPlain(&plain);
    EXPECT_TRUE(TilePatterns::stripe(onPlain, kThree, QPointF(8, 8), 4));
    EXPECT_FALSE(TilePatterns::stripe(onPlain, kThree, QPointF(8.5, 8), 4));
    EXPECT_FALSE(TilePatterns::stripe(onPlain, kThree, QPointF(8, 8.25), 4));
    EXPECT_FALSE(TilePatterns::stripe(onPlain, {kThree.front()}, QPointF(8, 8), 4));
    onPlain.translate(0.5, 0);
    EXPECT_FALSE(TilePatterns::stripe(onPlain, kThree, QPointF(8, 8), 4));
    EXPECT_FALSE(TilePatterns::hatch(onPlain, Qt::red, QPointF(8, 8)));
    onPlain.translate(-0.5, 0);
    EXPECT_TRUE(TilePatterns::hatch(onPlain, Qt::red, QPointF(8, 8)));
}

} // namespace
} // namespace plannery
