#include "app/DetailSymbol.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace plannery {

namespace {

// A filled circle with a mark cut out of it in the background: the reply symbols.
void markedCircle(QPainter& painter, const QRectF& r, const QColor& color, const QPainterPath& mark,
                  double width) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(r);
    QPen pen(QColor(Qt::white), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(mark);
}

QPointF at(const QRectF& r, double x, double y) {
    return {r.left() + x * r.width(), r.top() + y * r.height()};
}

} // namespace

void paintSymbol(QPainter& painter, const QRectF& rect, SheetSymbol symbol, const QColor& color,
                 bool bold) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(rect.width(), rect.height());
    const QRectF r(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
    const double line = std::max(1.0, side * (bold ? 0.14 : 0.09));
    QPen pen(color, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    QPainterPath mark;
    switch (symbol) {
    case SheetSymbol::checkmarkCircle:
        mark.moveTo(at(r, 0.28, 0.52));
        mark.lineTo(at(r, 0.44, 0.68));
        mark.lineTo(at(r, 0.72, 0.36));
        markedCircle(painter, r, color, mark, line);
        break;
    case SheetSymbol::questionmarkCircle:
        mark.moveTo(at(r, 0.36, 0.38));
        mark.cubicTo(at(r, 0.36, 0.2), at(r, 0.66, 0.2), at(r, 0.64, 0.38));
        mark.cubicTo(at(r, 0.63, 0.5), at(r, 0.5, 0.5), at(r, 0.5, 0.6));
        mark.moveTo(at(r, 0.5, 0.74));
        mark.lineTo(at(r, 0.5, 0.75));
        markedCircle(painter, r, color, mark, line);
        break;
    case SheetSymbol::xmarkCircle:
        mark.moveTo(at(r, 0.33, 0.33));
        mark.lineTo(at(r, 0.67, 0.67));
        mark.moveTo(at(r, 0.67, 0.33));
        mark.lineTo(at(r, 0.33, 0.67));
        markedCircle(painter, r, color, mark, line);
        break;
    case SheetSymbol::arrowRightCircle:
        mark.moveTo(at(r, 0.28, 0.5));
        mark.lineTo(at(r, 0.72, 0.5));
        mark.moveTo(at(r, 0.52, 0.3));
        mark.lineTo(at(r, 0.72, 0.5));
        mark.lineTo(at(r, 0.52, 0.7));
        markedCircle(painter, r, color, mark, line);
        break;
    case SheetSymbol::dashedCircle:
        pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawEllipse(r.adjusted(line, line, -line, -line));
        break;
    case SheetSymbol::calendarWarning:
        painter.setPen(pen);
        painter.drawRoundedRect(at(r, 0.1, 0.2).x(), at(r, 0.1, 0.2).y(), side * 0.8, side * 0.7,
                                side * 0.1, side * 0.1);
        painter.drawLine(at(r, 0.1, 0.38), at(r, 0.9, 0.38));
        painter.drawLine(at(r, 0.5, 0.5), at(r, 0.5, 0.7));
        painter.drawPoint(at(r, 0.5, 0.8));
        break;
    case SheetSymbol::openOutside:
        painter.setPen(pen);
        painter.drawRoundedRect(QRectF(at(r, 0.12, 0.22), at(r, 0.78, 0.88)), side * 0.1,
                                side * 0.1);
        painter.drawLine(at(r, 0.45, 0.55), at(r, 0.88, 0.12));
        painter.drawLine(at(r, 0.6, 0.12), at(r, 0.88, 0.12));
        painter.drawLine(at(r, 0.88, 0.12), at(r, 0.88, 0.4));
        break;
    case SheetSymbol::link:
        painter.setPen(pen);
        painter.translate(r.center());
        painter.rotate(-45);
        painter.drawRoundedRect(QRectF(-side * 0.45, -side * 0.15, side * 0.5, side * 0.3),
                                side * 0.15, side * 0.15);
        painter.drawRoundedRect(QRectF(-side * 0.05, -side * 0.15, side * 0.5, side * 0.3),
                                side * 0.15, side * 0.15);
        break;
    case SheetSymbol::bell:
        mark.moveTo(at(r, 0.2, 0.72));
        mark.cubicTo(at(r, 0.3, 0.6), at(r, 0.25, 0.2), at(r, 0.5, 0.18));
        mark.cubicTo(at(r, 0.75, 0.2), at(r, 0.7, 0.6), at(r, 0.8, 0.72));
        mark.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPath(mark);
        painter.drawEllipse(QRectF(at(r, 0.42, 0.74), at(r, 0.58, 0.9)));
        break;
    case SheetSymbol::repeat:
        painter.setPen(pen);
        painter.drawArc(r.adjusted(side * 0.15, side * 0.2, -side * 0.15, -side * 0.2), 30 * 16,
                        300 * 16);
        painter.drawLine(at(r, 0.78, 0.28), at(r, 0.86, 0.42));
        painter.drawLine(at(r, 0.86, 0.42), at(r, 0.7, 0.42));
        break;
    case SheetSymbol::globe:
        painter.setPen(pen);
        painter.drawEllipse(r.adjusted(line, line, -line, -line));
        painter.drawEllipse(r.adjusted(side * 0.32, line, -side * 0.32, -line));
        painter.drawLine(at(r, 0.1, 0.5), at(r, 0.9, 0.5));
        break;
    case SheetSymbol::video:
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawRoundedRect(QRectF(at(r, 0.05, 0.28), at(r, 0.68, 0.72)), side * 0.08,
                                side * 0.08);
        mark.moveTo(at(r, 0.7, 0.5));
        mark.lineTo(at(r, 0.95, 0.3));
        mark.lineTo(at(r, 0.95, 0.7));
        mark.closeSubpath();
        painter.drawPath(mark);
        break;
    case SheetSymbol::mapPin:
        mark.moveTo(at(r, 0.5, 0.95));
        mark.cubicTo(at(r, 0.1, 0.5), at(r, 0.15, 0.05), at(r, 0.5, 0.05));
        mark.cubicTo(at(r, 0.85, 0.05), at(r, 0.9, 0.5), at(r, 0.5, 0.95));
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPath(mark);
        painter.setBrush(QColor(Qt::white));
        painter.drawEllipse(at(r, 0.5, 0.38), side * 0.12, side * 0.12);
        break;
    case SheetSymbol::lock:
        painter.setPen(pen);
        painter.drawArc(QRectF(at(r, 0.3, 0.1), at(r, 0.7, 0.6)), 0, 180 * 16);
        painter.drawLine(at(r, 0.3, 0.35), at(r, 0.3, 0.45));
        painter.drawLine(at(r, 0.7, 0.35), at(r, 0.7, 0.45));
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawRoundedRect(QRectF(at(r, 0.18, 0.45), at(r, 0.82, 0.92)), side * 0.08,
                                side * 0.08);
        break;
    case SheetSymbol::building:
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawRect(QRectF(at(r, 0.15, 0.3), at(r, 0.5, 0.92)));
        painter.drawRect(QRectF(at(r, 0.5, 0.1), at(r, 0.85, 0.92)));
        break;
    }
    painter.restore();
}

QIcon symbolIcon(SheetSymbol symbol, const QColor& color, int size) {
    QPixmap pixmap(size * 2, size * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paintSymbol(painter, QRectF(0, 0, size, size), symbol, color);
    painter.end();
    return QIcon(pixmap);
}

SymbolView::SymbolView(SheetSymbol symbol, QColor color, int side, QWidget* parent)
    : QWidget(parent), m_symbol(symbol), m_color(color) {
    setFixedSize(side, side);
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintSymbol(painter, QRectF(rect()), m_symbol, m_color);
}

} // namespace plannery
