#include "views/MonthEventChip.h"

#include "grid/FourWeeksCell.h"
#include "grid/TimeGridColors.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace plannery {

namespace {

constexpr double kTitleSize = 10;
constexpr double kBarWidth = 3;
constexpr double kGap = 2;
// Around the tint: 1.5 points left and right, half a point above and below; inside it 1.5 points
// above and below and 1 at the trailing end.
constexpr double kOuterX = 1.5;
constexpr double kOuterY = 0.5;
constexpr double kInnerY = 1.5;
constexpr double kInnerTrailing = 1;

QPainterPath polygonPath(const FillPath& path) {
    QPainterPath result;
    for (const Polygon& polygon : path) {
        if (polygon.empty()) {
            continue;
        }
        result.moveTo(polygon.front().x, polygon.front().y);
        for (std::size_t i = 1; i < polygon.size(); ++i) {
            result.lineTo(polygon[i].x, polygon[i].y);
        }
        result.closeSubpath();
    }
    return result;
}

} // namespace

MonthEventChip::MonthEventChip()
    : m_regular(gridFont(FontSpec{.size = kTitleSize, .weight = FontWeight::regular})),
      m_semibold(gridFont(FontSpec{.size = kTitleSize, .weight = FontWeight::semibold})) {}

void MonthEventChip::paint(QPainter& painter, const QRectF& row, const CalEvent& event,
                           const GridPalette& palette, Instant now) const {
    if (event.calendars.empty() || row.width() <= 2 * kOuterX) {
        return;
    }
    const FourWeeksCell::ChipStyle style = FourWeeksCell::chipStyle(event, now);
    painter.save();
    painter.setOpacity(painter.opacity() * style.opacity);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF tint = row.adjusted(kOuterX, kOuterY, -kOuterX, -kOuterY);
    if (style.background) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(
            GridPalette::color(event.calendars.front().rgb, FourWeeksCell::chipBackgroundAlpha));
        painter.drawRoundedRect(tint, FourWeeksCell::chipCornerRadius,
                                FourWeeksCell::chipCornerRadius);
    }
    const QRectF inner = tint.adjusted(0, kInnerY, -kInnerTrailing, -kInnerY);

    // The bar: the calendars' colours in diagonal bands, clipped to a capsule.
    const QRectF bar(inner.left(), inner.top(), kBarWidth, inner.height());
    painter.save();
    QPainterPath capsule;
    capsule.addRoundedRect(bar, kBarWidth / 2, kBarWidth / 2);
    painter.setClipPath(capsule, Qt::IntersectClip);
    painter.setPen(Qt::NoPen);
    const Rect barRect{.x = bar.x(), .y = bar.y(), .width = bar.width(), .height = bar.height()};
    for (const TimeGridColors::StripeFill& fill :
         TimeGridColors::stripe(event.calendars, barRect)) {
        painter.setBrush(GridPalette::color(fill.color));
        painter.drawPath(polygonPath(fill.path));
    }
    painter.restore();

    const QRectF text(bar.right() + kGap, row.top(), inner.right() - bar.right() - kGap,
                      row.height());
    if (text.width() > 1) {
        QFont font = style.semibold ? m_semibold : m_regular;
        font.setStrikeOut(style.strikeThrough);
        painter.setFont(font);
        painter.setPen(palette.label);
        const QString title = QFontMetricsF(font).elidedText(
            QString::fromStdString(event.title).simplified(), Qt::ElideRight, text.width());
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
    }
    painter.restore();
}

} // namespace plannery
