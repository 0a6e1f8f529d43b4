#include "GridViewTestSupport.h"

#include <QPainter>

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

} // namespace plannery::test
