#include "GridViewTestSupport.h"

#include "views/TileCorners.h"
#include "views/TimeGridEventTile.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::largestDifference;

// A tile's picture 40 × 30 points with something in every pixel: opaque and translucent colours
// that change from pixel to pixel, as a stripe, fill and text leave them.
QImage busyPicture(double scale) {
    QImage picture(static_cast<int>(40 * scale), static_cast<int>(30 * scale),
                   QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(scale);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const int alpha = (x + y) % 3 == 0 ? 255 : 40 + (x * 7 + y * 13) % 200;
            picture.setPixel(x, y, qPremultiply(qRgba((x * 37) % 256, (y * 53) % 256, 90, alpha)));
        }
    }
    return picture;
}

// Cutting the corners from the finished pixels gives what the painter gives when the rounded
// shape's coverage is laid over the picture with DestinationIn, and filling behind them what a
// DestinationOver fill of the corner squares gives: at whole scales, for both ends rounded or
// one, on a shape inset from the picture's edges.
TEST(TileCorners, CuttingAndFillingBehindThePixelsIsWhatThePainterComposes) {
    for (const double scale : {1.0, 2.0, 3.0}) {
        for (const bool roundBottom : {true, false}) {
            const TileShape shape{.rect = Rect{.x = 1, .y = 2, .width = 36, .height = 26},
                                  .radius = 4,
                                  .roundTop = true,
                                  .roundBottom = roundBottom};
            QImage cut = busyPicture(scale);
            TileCorners::cut(cut, shape);

            QImage coverage(cut.size(), QImage::Format_ARGB32_Premultiplied);
            coverage.setDevicePixelRatio(scale);
            coverage.fill(Qt::transparent);
            {
                QPainter painter(&coverage);
                painter.setRenderHint(QPainter::Antialiasing);
                // Outside the rounded corners the picture is kept as it is.
                painter.fillRect(QRectF(0, 0, 40, 30), Qt::black);
                painter.setCompositionMode(QPainter::CompositionMode_Clear);
                painter.fillRect(QRectF(1, 2, 4, 4), Qt::black);
                painter.fillRect(QRectF(33, 2, 4, 4), Qt::black);
                if (roundBottom) {
                    painter.fillRect(QRectF(1, 24, 4, 4), Qt::black);
                    painter.fillRect(QRectF(33, 24, 4, 4), Qt::black);
                }
                painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
                painter.fillPath(TimeGridEventTile::shapePath(shape), Qt::black);
            }
            QImage expected = busyPicture(scale);
            {
                QPainter painter(&expected);
                painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
                painter.drawImage(QPointF(0, 0), coverage);
            }
            EXPECT_LE(largestDifference(cut, expected), 1)
                << "scale " << scale << (roundBottom ? ", both ends" : ", top only");
            EXPECT_EQ(qAlpha(cut.pixel(static_cast<int>(scale), static_cast<int>(2 * scale))), 0)
                << "the outermost corner pixel is cleared";

            const QColor background(250, 248, 240);
            TileCorners::fillBehind(cut, shape, background);
            {
                QPainter painter(&expected);
                painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
                painter.fillRect(QRectF(1, 2, 4, 4), background);
                painter.fillRect(QRectF(33, 2, 4, 4), background);
                if (roundBottom) {
                    painter.fillRect(QRectF(1, 24, 4, 4), background);
                    painter.fillRect(QRectF(33, 24, 4, 4), background);
                }
            }
            EXPECT_LE(largestDifference(cut, expected), 1) << "scale " << scale;
        }
    }
}

} // namespace
} // namespace plannery
