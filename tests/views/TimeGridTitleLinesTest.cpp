#include "views/TimeGridTitleLines.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

namespace plannery {
namespace {

constexpr double kWidth = 90;

// What `draw` leaves on a white picture wider than the title's width.
QImage drawn(const std::function<void(QPainter&)>& draw) {
    QImage image(200, 30, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    draw(painter);
    return image;
}

// The rightmost column with ink, or -1.
int inkRight(const QImage& image) {
    for (int x = image.width() - 1; x >= 0; --x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                return x;
            }
        }
    }
    return -1;
}

// A tile shows the last line that has room as the rest of its title: the line as laid out when
// nothing follows it, and otherwise what of it fits before an ellipsis, never wider than the tile.
TEST(TimeGridTitleLines, TheRestOfATitleEndsInAnEllipsisOnlyWhenSomethingIsCut) {
    const QFont font = QApplication::font();
    const double lineHeight = QFontMetricsF(font).lineSpacing();
    const TimeGridTitleLines title(QStringLiteral("Quarterly planning with the regional teams"),
                                   font, kWidth, lineHeight);
    ASSERT_GE(title.lineCount(), 3u);

    const std::size_t last = title.lineCount() - 1;
    EXPECT_EQ(drawn([&](QPainter& p) {
                  title.drawRest(p, last, {0, 0});
              }),
              drawn([&](QPainter& p) {
                  title.drawLine(p, last, {0, 0});
              }));

    const QImage cut = drawn([&](QPainter& p) { title.drawRest(p, 0, {0, 0}); });
    EXPECT_NE(cut, drawn([&](QPainter& p) { title.drawLine(p, 0, {0, 0}); }));
    EXPECT_GE(inkRight(cut), 0);
    EXPECT_LE(inkRight(cut), static_cast<int>(kWidth));

    // Laid out no further than a tile can show, the title still tells where it goes on, and the
    // lines it has are the same.
    const TimeGridTitleLines firstTwo(QStringLiteral("Quarterly planning with the regional teams"),
                                      font, kWidth, lineHeight, 2);
    ASSERT_EQ(firstTwo.lineCount(), 2u);
    EXPECT_EQ(firstTwo.lines()[0].length, title.lines()[0].length);
    EXPECT_EQ(drawn([&](QPainter& p) { firstTwo.drawRest(p, 0, {0, 0}); }), cut);
    EXPECT_EQ(drawn([&](QPainter& p) {
                  firstTwo.drawLine(p, 1, {0, 0});
              }),
              drawn([&](QPainter& p) {
                  title.drawLine(p, 1, {0, 0});
              }));

    // A tile too narrow for a letter and the ellipsis still draws within itself.
    const TimeGridTitleLines narrow(QStringLiteral("Standup"), font, 4, lineHeight);
    ASSERT_GE(narrow.lineCount(), 2u);
    EXPECT_LE(inkRight(drawn([&](QPainter& p) { narrow.drawRest(p, 0, {0, 0}); })), 12);
}

} // namespace
} // namespace plannery
