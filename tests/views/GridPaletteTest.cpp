#include "GridViewTestSupport.h"

#include "views/GridPalette.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace plannery {
namespace {

// Lines drawn in the opaque stand-in for a translucent colour look as the translucent colour
// would on the background, in both appearances.
TEST(GridPalette, AColourOnTheBackgroundLooksAsItWouldBlended) {
    for (const GridPalette& palette : {GridPalette::light(), GridPalette::dark()}) {
        QImage image(2, 1, QImage::Format_ARGB32_Premultiplied);
        image.fill(palette.background);
        {
            QPainter painter(&image);
            painter.fillRect(QRect(0, 0, 1, 1), palette.separator);
            painter.fillRect(QRect(1, 0, 1, 1), palette.onBackground(palette.separator));
        }
        EXPECT_EQ(palette.onBackground(palette.separator).alpha(), 255);
        EXPECT_TRUE(test::near(image.pixelColor(0, 0), image.pixelColor(1, 0), 1))
            << image.pixelColor(0, 0).name().toStdString() << " "
            << image.pixelColor(1, 0).name().toStdString();
    }
}

} // namespace
} // namespace plannery
