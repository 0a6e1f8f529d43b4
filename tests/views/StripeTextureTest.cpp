#include "views/StripeTexture.h"
#include "views/TimeGridEventTile.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace plannery {
namespace {

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

// The largest difference of one colour channel between two pictures of one size.
int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

// A stripe filled from the picture of one period shows the bands drawn one by one, in their
// colours and at their places down the whole stripe, on plain and doubled pixels.
TEST(StripeTexture, AStripeTiledFromOnePeriodLooksAsItsBandsDrawnOneByOne) {
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
                    StripeTexture::period(painter, calendars, stripe.topLeft(), stripe.width());
                ASSERT_TRUE(period.has_value()) << "scale " << scale;
                painter.setBrushOrigin(stripe.topLeft());
                painter.fillRect(stripe, QBrush(*period));
            }
            EXPECT_LE(largestDifference(bands, tiled), 1)
                << count << " calendars at scale " << scale;
        }
    }
}

// Where a period would not meet the pixel grid, the caller draws the bands itself.
TEST(StripeTexture, NoPictureOffThePixelGridOrForOneCalendar) {
    QImage image = canvas(1.25);
    QPainter painter(&image);
    EXPECT_FALSE(StripeTexture::period(painter, kThree, QPointF(8, 8), 4)); // 15 × 1.25 pixels
    painter.end();

    QImage plain = canvas(1);
    QPainter onPlain(&plain);
    EXPECT_TRUE(StripeTexture::period(onPlain, kThree, QPointF(8, 8), 4));
    EXPECT_FALSE(StripeTexture::period(onPlain, kThree, QPointF(8.5, 8), 4));
    EXPECT_FALSE(StripeTexture::period(onPlain, kThree, QPointF(8, 8.25), 4));
    EXPECT_FALSE(StripeTexture::period(onPlain, {kThree.front()}, QPointF(8, 8), 4));
    onPlain.translate(0.5, 0);
    EXPECT_FALSE(StripeTexture::period(onPlain, kThree, QPointF(8, 8), 4));
}

} // namespace
} // namespace plannery
