#include "views/WidgetWallpaper.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace plannery {

namespace {

constexpr double kRadius = 18;

} // namespace

WidgetWallpaper::WidgetWallpaper(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("widgetWallpaper"));
}

void WidgetWallpaper::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(rect().topLeft(), rect().bottomRight());
    gradient.setColorAt(0, QColor(28, 36, 74));
    gradient.setColorAt(0.55, QColor(74, 48, 108));
    gradient.setColorAt(1, QColor(150, 70, 96));
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), kRadius, kRadius);
    painter.fillPath(shape, gradient);
}

} // namespace plannery
