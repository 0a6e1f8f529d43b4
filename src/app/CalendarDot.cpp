#include "app/CalendarDot.h"

#include "model/CalEvent.h"

#include <QColor>
#include <QHash>
#include <QPainter>
#include <QPixmap>

namespace plannery::CalendarDot {

QIcon icon(const std::optional<PlatformColor>& color) {
    static QHash<QString, QIcon> cache;
    QColor fill(Qt::gray);
    if (color) {
        const RGB rgb = RGB::from(color);
        fill = QColor::fromRgbF(static_cast<float>(rgb.r), static_cast<float>(rgb.g),
                                static_cast<float>(rgb.b));
    }
    const QString key = fill.name(QColor::HexArgb);
    if (const auto found = cache.constFind(key); found != cache.constEnd()) {
        return *found;
    }
    // Drawn at twice the size, so the dot stays round on screens that scale.
    QPixmap dot(2 * kSide, 2 * kSide);
    dot.setDevicePixelRatio(2);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(0, 0, kSide, kSide));
    painter.end();
    QIcon icon;
    // The same picture whatever the state, so a menu never greys or tints it.
    for (const QIcon::Mode mode :
         {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected}) {
        icon.addPixmap(dot, mode);
    }
    cache.insert(key, icon);
    return icon;
}

} // namespace plannery::CalendarDot
