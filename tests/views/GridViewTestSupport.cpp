#include "GridViewTestSupport.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace plannery::test {

CalEvent gridEvent(const std::string& id, const std::string& title, Instant start, Instant end,
                   RGB color) {
    return CalEvent{
        .id = id,
        .eventIdentifier = id,
        .title = title,
        .start = start,
        .end = end,
        .calendars = {CalendarRef{.id = "cal-" + id, .title = "Calendar", .rgb = color}},
    };
}

QImage renderView(TimeGridView& view, int width, int height, double dpr) {
    view.resize(width, height);
    QImage image(static_cast<int>(std::ceil(width * dpr)),
                 static_cast<int>(std::ceil(height * dpr)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::magenta);
    view.render(&image);
    return image;
}

QColor pixelAt(const QImage& image, double x, double y) {
    const double dpr = image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(std::floor(x * dpr)),
                            static_cast<int>(std::floor(y * dpr)));
}

bool near(const QColor& a, const QColor& b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

int pixelDifference(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
}

int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            largest = std::max(largest, pixelDifference(a.pixel(x, y), b.pixel(x, y)));
        }
    }
    return largest;
}

} // namespace plannery::test
