#include "platform/PicturePreparation.h"

#include "PhotoLook.h"

#include <QFont>
#include <QPainter>
#include <QTransform>

#include <gtest/gtest.h>

namespace plannery {
namespace {

using PicturePreparation::forReading;

constexpr qint64 kBudget = 16'000'000;

// Five lines of print in 26-pixel letters, on white unless said otherwise.
QImage page(QColor paper = Qt::white, QColor ink = Qt::black, int pixelSize = 26,
            QSize size = QSize(1100, 360)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(paper);
    QPainter painter(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    painter.setPen(ink);
    const QStringList lines{
        QStringLiteral("Summer fair on the village green, Saturday 20 June from 11:00"),
        QStringLiteral("Cake stall, tombola and a brass band in the afternoon"),
        QStringLiteral("Dog show at 14:30 by the pavilion, entries on the day"),
        QStringLiteral("Raffle drawn at 16:00; tickets from the post office"),
        QStringLiteral("All welcome, free entry, parking in the school yard"),
    };
    for (int i = 0; i < lines.size(); ++i) {
        painter.drawText(pixelSize * 2, pixelSize * (3 + 2 * i), lines[i]);
    }
    return image;
}

// The picture turned clockwise (as seen) by `degrees`, on a ground of its paper's colour.
QImage turned(const QImage& image, double degrees) {
    const QImage rotated =
        image.transformed(QTransform().rotate(degrees), Qt::SmoothTransformation);
    QImage flat(rotated.size(), QImage::Format_RGB32);
    flat.fill(image.pixel(0, 0));
    QPainter painter(&flat);
    painter.drawImage(0, 0, rotated);
    return flat;
}

QImage gray(const QImage& image) {
    return image.convertToFormat(QImage::Format_Grayscale8);
}

TEST(PicturePreparationTest, LevelPicturesKeepTheirPixels) {
    for (const QImage& level :
         {page(), page(QColor(0x20, 0x22, 0x26), Qt::white), turned(page(), 0.15)}) {
        const PreparedPicture prepared = forReading(level, kBudget);
        EXPECT_EQ(prepared.straightenedDegrees, 0);
        EXPECT_EQ(prepared.gray, gray(level));
    }

    // Transparent parts become white, and the picture is kept within the pixel budget.
    QImage clear(400, 300, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    const PreparedPicture prepared = forReading(clear, 30'000);
    EXPECT_LE(qint64(prepared.gray.width()) * prepared.gray.height(), 30'000);
    EXPECT_EQ(prepared.gray.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(qGray(prepared.gray.pixel(5, 5)), 255);

    // Pictures too small to hold a line, or without any, pass through.
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(Qt::black);
    EXPECT_EQ(forReading(dot, kBudget).gray.size(), QSize(1, 1));
    QImage blank(640, 480, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_EQ(forReading(blank, kBudget).gray, gray(blank));
}

TEST(PicturePreparationTest, SlantedLinesAreFoundAndTurnedLevel) {
    for (const double degrees : {2.5, -4.0, 1.0, -6.0}) {
        const QImage slanted = turned(page(), degrees);
        const PreparedPicture prepared = forReading(slanted, kBudget);
        EXPECT_NEAR(prepared.straightenedDegrees, degrees, 0.2) << degrees;
        // Nothing is cut off: the turned picture holds the whole of the slanted one.
        EXPECT_GE(prepared.gray.width(), slanted.width()) << degrees;
        EXPECT_GE(prepared.gray.height(), slanted.height()) << degrees;
        // Turned back, the lines are level: what slant is left is below what is corrected.
        EXPECT_EQ(forReading(prepared.gray, kBudget).straightenedDegrees, 0) << degrees;
    }
    // Light print on a dark ground is found slanted alike.
    EXPECT_NEAR(forReading(turned(page(QColor(0x20, 0x22, 0x26), Qt::white), -3.0), kBudget)
                    .straightenedDegrees,
                -3.0, 0.2);
    // So is a photo: grey print on tinted paper, on a table, soft and grainy.
    EXPECT_NEAR(
        forReading(test::photographed(page(QColor(0xE0, 0xD8, 0xC4), QColor(0x4A, 0x45, 0x40))),
                   kBudget)
            .straightenedDegrees,
        2.5, 0.2);
}

TEST(PicturePreparationTest, SmallPrintIsEnlargedWithinTheBudget) {
    // Interface text: lower-case letters 8 pixels high.
    const QImage small = page(Qt::white, Qt::black, 15, QSize(700, 220));
    const PreparedPicture enlarged = forReading(small, kBudget);
    EXPECT_EQ(enlarged.enlargement, 2);
    EXPECT_EQ(enlarged.gray.size(), small.size() * 2);
    EXPECT_EQ(enlarged.gray.dotsPerMeterX(), small.dotsPerMeterX() * 2);
    EXPECT_EQ(enlarged.straightenedDegrees, 0);

    // Print large enough is read as it is.
    EXPECT_EQ(forReading(page(), kBudget).enlargement, 1);
    // So is a full screen of small print: enlarged, it would take too long to read.
    const QImage screen = page(Qt::white, Qt::black, 15, QSize(1920, 1080));
    const PreparedPicture full = forReading(screen, kBudget);
    EXPECT_EQ(full.enlargement, 1);
    EXPECT_EQ(full.gray, gray(screen));
}

} // namespace
} // namespace plannery
