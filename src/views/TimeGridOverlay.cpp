#include "views/TimeGridOverlay.h"

#include "grid/TimeGridNow.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace plannery::TimeGridOverlay {

namespace {

QRectF qrect(const Rect& r) {
    return QRectF(r.x, r.y, r.width, r.height);
}

} // namespace

void paintNow(QPainter& painter, const GridPalette& palette, const TimeGridMetrics& metrics,
              double left, double minute) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(qrect(TimeGridNow::line(metrics, left, minute)), palette.red);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette.red);
    painter.drawEllipse(qrect(TimeGridNow::dot(metrics, left, minute)));
    painter.restore();
}

void paintCorner(QPainter& painter, const GridPalette& palette, const TimeGridMetrics& metrics,
                 double gutterWidth, double scale, std::optional<bool> chevronExpanded) {
    const double headerHeight = metrics.headerHeight();
    painter.fillRect(QRectF(0, 0, gutterWidth, headerHeight - 1 / scale), palette.background);
    if (metrics.allDayRows == 0 || gutterWidth <= 4) {
        return;
    }
    const QRectF frame(0, metrics.dateRowHeight + (metrics.chipHeight - 12) / 2, gutterWidth - 4,
                       12);
    const QString text = QCoreApplication::translate("TimeGridView", "all-day");
    QFont font = gridFont(FontSpec{.size = 9.5, .weight = FontWeight::medium});
    // Shrinks to at most 0.7 of its size to fit the gutter.
    const double advance = QFontMetricsF(font).horizontalAdvance(text);
    if (advance > frame.width() && advance > 0) {
        font.setPointSizeF(font.pointSizeF() * std::max(0.7, frame.width() / advance));
    }
    painter.save();
    painter.setClipRect(frame);
    painter.setFont(font);
    painter.setPen(palette.secondaryLabel);
    painter.drawText(frame, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter.restore();
    if (!chevronExpanded) {
        return;
    }
    // A small chevron in a 14 × 12 box right of the gutter, under the label.
    const QRectF box(gutterWidth - 18, frame.bottom() + 1, 14, 12);
    const double halfWidth = 3.5;
    const double halfHeight = 2;
    const QPointF c = box.center();
    const double tip = *chevronExpanded ? -halfHeight : halfHeight;
    QPainterPath path;
    path.moveTo(c.x() - halfWidth, c.y() - tip);
    path.lineTo(c.x(), c.y() + tip);
    path.lineTo(c.x() + halfWidth, c.y() - tip);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(palette.secondaryLabel, 1.6);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.restore();
}

void paintGhost(QPainter& painter, const GridPalette& palette, QRectF frame, const QString& label,
                double alpha) {
    if (frame.width() <= 0 || frame.height() <= 0 || alpha <= 0) {
        return;
    }
    const QColor tint = palette.blue;
    painter.save();
    painter.setOpacity(std::clamp(alpha, 0.0, 1.0));
    painter.setRenderHint(QPainter::Antialiasing, true);
    QColor fill = tint;
    fill.setAlphaF(0.18);
    painter.setBrush(fill);
    painter.setPen(QPen(tint, 1));
    painter.drawRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);

    const QRectF textFrame = frame.adjusted(4, 2, -4, -2);
    if (textFrame.width() > 0 && textFrame.height() > 0 && !label.isEmpty()) {
        const QFont font = gridFont(FontSpec{.size = 11.5, .weight = FontWeight::semibold});
        const QFontMetricsF fm(font);
        painter.setClipRect(textFrame);
        painter.setFont(font);
        painter.setPen(tint);
        // At most two lines, each cut with an ellipsis where it does not fit.
        const QStringList lines = label.split(QLatin1Char('\n'));
        double y = textFrame.top();
        for (int i = 0; i < std::min<qsizetype>(lines.size(), 2); ++i) {
            const QString line = fm.elidedText(lines[i], Qt::ElideRight, textFrame.width());
            painter.drawText(QPointF(textFrame.left(), y + fm.ascent()), line);
            y += fm.lineSpacing();
        }
    }
    painter.restore();
}

} // namespace plannery::TimeGridOverlay
