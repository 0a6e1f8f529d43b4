#include "views/StripeTexture.h"

#include "grid/BarberPole.h"
#include "grid/TimeGridColors.h"
#include "views/TimeGridEventTile.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace plannery::StripeTexture {

namespace {

bool whole(double v) {
    return std::abs(v - std::round(v)) < 1e-6;
}

struct Key {
    std::vector<std::tuple<double, double, double>> colors;
    double width = 0;
    double scale = 1;

    friend auto operator<=>(const Key&, const Key&) = default;
};

// Enough for every combination of calendars a screen shows; past it the pictures start afresh.
constexpr std::size_t kKept = 64;

} // namespace

std::optional<QImage> period(const QPainter& painter, const std::vector<CalendarRef>& calendars,
                             QPointF topLeft, double width) {
    const std::size_t count = std::min(calendars.size(), TimeGridColors::maxStripeColors);
    const QTransform device = painter.deviceTransform();
    if (count < 2 || device.type() > QTransform::TxScale || device.m11() != device.m22() ||
        !(device.m11() > 0)) {
        return std::nullopt;
    }
    const double scale = device.m11();
    const double height = static_cast<double>(count) * BarberPole::standardBand;
    const QPointF corner = device.map(topLeft);
    if (!whole(corner.x()) || !whole(corner.y()) || !whole(width * scale) ||
        !whole(height * scale) || !(width > 0)) {
        return std::nullopt;
    }
    Key key{.colors = {}, .width = width, .scale = scale};
    for (std::size_t i = 0; i < count; ++i) {
        const RGB& rgb = calendars[i].rgb;
        key.colors.emplace_back(rgb.r, rgb.g, rgb.b);
    }
    thread_local std::map<Key, QImage> kept;
    if (const auto it = kept.find(key); it != kept.end()) {
        return it->second;
    }
    QImage image(static_cast<int>(std::round(width * scale)),
                 static_cast<int>(std::round(height * scale)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    {
        QPainter texture(&image);
        texture.setRenderHints(painter.renderHints());
        // A stripe starting one period above the picture has the colours of the bands of one
        // starting at its top, shifted by whole periods, and bands crossing both edges.
        texture.setClipRect(QRectF(0, 0, width, height));
        TimeGridEventTile::drawStripe(texture, calendars, QRectF(0, -height, width, 3 * height));
    }
    if (kept.size() >= kKept) {
        kept.clear();
    }
    return kept.emplace(std::move(key), image).first->second;
}

} // namespace plannery::StripeTexture
