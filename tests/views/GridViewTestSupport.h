#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "views/TimeGridView.h"

#include <QColor>
#include <QImage>

#include <string>

namespace plannery::test {

// A timed or all-day event on one calendar of the given colour (more calendars may be added).
CalEvent gridEvent(const std::string& id, const std::string& title, Instant start, Instant end,
                   RGB color = RGB{1, 0, 0});

// The view drawn as a user would see it, at `width` × `height` points and `dpr` device pixels
// per point.
QImage renderView(TimeGridView& view, int width, int height, double dpr);

// The colour at a point (in points) of an image rendered by renderView.
QColor pixelAt(const QImage& image, double x, double y);

// Whether two colours match within `tolerance` on every channel.
bool near(const QColor& a, const QColor& b, int tolerance = 3);

// The largest difference of one channel, alpha included, between two pixels, and between two
// pictures of one size.
int pixelDifference(QRgb a, QRgb b);
int largestDifference(const QImage& a, const QImage& b);

} // namespace plannery::test
