#include "views/MonthDayCell.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

constexpr double kNumberSize = 12; // the caption style
constexpr double kMonthSize = 11;  // the smaller caption style
constexpr double kMonthMinScale = 0.7;
constexpr double kMonthGap = 2;
constexpr double kTodayDisc = 20;
constexpr double kOverflowSize = 10;
constexpr double kOverflowInset = 3;

} // namespace

MonthDayCell::MonthDayCell()
    : m_number(gridFont(
          FontSpec{.size = kNumberSize, .weight = FontWeight::medium, .monospacedDigits = true})),
      m_numberBold(m_number),
      m_month(gridFont(FontSpec{.size = kMonthSize, .weight = FontWeight::semibold})),
      m_overflow(gridFont(FontSpec{.size = kOverflowSize, .weight = FontWeight::semibold})) {
    m_numberBold.setWeight(QFont::Bold);
}

QColor MonthDayCell::pastBackground(const GridPalette& palette) {
    return palette.appearance == Appearance::dark ? QColor(28, 28, 30) : QColor(242, 242, 247);
}

void MonthDayCell::paint(QPainter& painter, const QRectF& cell, const MonthDayContent& content,
                         const GridPalette& palette, Instant now) const {
    if (cell.width() <= 0 || cell.height() <= 0) {
        return;
    }
    painter.save();
    painter.setClipRect(cell, Qt::IntersectClip);
    if (content.date.isPast) {
        QColor ground = pastBackground(palette);
        ground.setAlphaF(static_cast<float>(FourWeeksCell::pastBackgroundAlpha));
        painter.fillRect(cell, ground);
        painter.setOpacity(painter.opacity() * FourWeeksCell::pastContentOpacity);
    }
    paintDateRow(painter, cell, content.date, palette);

    const std::size_t count = content.events ? content.events->size() : 0;
    const FourWeeksCell::Fit fit = FourWeeksCell::fit(count, cell.height());
    double y = cell.top() + FourWeeksCell::dateRowHeight;
    for (std::size_t i = 0; i < fit.chips; ++i) {
        m_chip.paint(painter, QRectF(cell.left(), y, cell.width(), FourWeeksCell::rowHeight),
                     (*content.events)[i], palette, now);
        y += FourWeeksCell::rowHeight;
    }
    if (fit.overflow > 0) {
        painter.setFont(m_overflow);
        painter.setPen(palette.secondaryLabel);
        painter.drawText(QRectF(cell.left() + kOverflowInset, y, cell.width() - kOverflowInset,
                                FourWeeksCell::rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         QString::fromStdString(FourWeeksCell::overflowText(fit.overflow)));
    }
    painter.restore();
}

void MonthDayCell::paintDateRow(QPainter& painter, const QRectF& cell,
                                const FourWeeksCell::DateRow& date,
                                const GridPalette& palette) const {
    const QFont& numberFont = date.bold ? m_numberBold : m_number;
    const QString number = QString::fromStdString(date.number);
    const double numberText = QFontMetricsF(numberFont).horizontalAdvance(number);
    const double numberWidth = date.todayCircle ? std::max(kTodayDisc, numberText) : numberText;

    QString month = QString::fromStdString(date.month);
    QFont monthFont = m_month;
    double monthWidth = 0;
    if (!month.isEmpty()) {
        // The month name shrinks to 70 % before it is cut.
        const double room = cell.width() - numberWidth - kMonthGap - 2;
        monthWidth = QFontMetricsF(monthFont).horizontalAdvance(month);
        if (monthWidth > room && monthWidth > 0) {
            const double scale = std::max(room / monthWidth, kMonthMinScale);
            monthFont.setPointSizeF(monthFont.pointSizeF() * scale);
            month = QFontMetricsF(monthFont).elidedText(month, Qt::ElideRight, std::max(room, 0.0));
            monthWidth = QFontMetricsF(monthFont).horizontalAdvance(month);
        }
    }
    const double total = monthWidth + (monthWidth > 0 ? kMonthGap : 0) + numberWidth;
    double x = cell.left() + std::max((cell.width() - total) / 2, 0.0);
    const double rowTop = cell.top();
    const double rowHeight = FourWeeksCell::dateRowHeight;

    if (monthWidth > 0) {
        painter.setFont(monthFont);
        painter.setPen(date.monthDimmed ? palette.secondaryLabel : palette.blue);
        painter.drawText(QRectF(x, rowTop, monthWidth + 1, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, month);
        x += monthWidth + kMonthGap;
    }
    const QRectF numberRect(x, rowTop, numberWidth, rowHeight);
    if (date.todayCircle) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette.red);
        const QPointF centre = numberRect.center();
        painter.drawEllipse(centre, kTodayDisc / 2, kTodayDisc / 2);
        painter.restore();
    }
    painter.setFont(numberFont);
    painter.setPen(palette.role(date.numberColor));
    painter.drawText(numberRect, Qt::AlignCenter | Qt::TextSingleLine, number);
}

} // namespace plannery
