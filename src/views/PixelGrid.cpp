#include "views/PixelGrid.h"

#include <QPainter>
#include <QTransform>

#include <cmath>

namespace plannery::PixelGrid {

bool whole(double value) {
    return std::abs(value - std::round(value)) < 1e-6;
}

std::optional<double> wholeScale(const QPainter& painter) {
    const QTransform device = painter.deviceTransform();
    if (device.type() > QTransform::TxScale || device.m11() != device.m22() ||
        !(device.m11() > 0) || !whole(device.m11())) {
        return std::nullopt;
    }
    return device.m11();
}

bool onPixelCorner(const QPainter& painter, QPointF point) {
    const QPointF device = painter.deviceTransform().map(point);
    return whole(device.x()) && whole(device.y());
}

} // namespace plannery::PixelGrid
