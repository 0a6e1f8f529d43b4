#include "views/TimeGridHeader.h"

#include "grid/TimeGridColors.h"
#include "grid/TimeGridHeaderText.h"
#include "grid/TimeGridText.h"
#include "views/TimeGridEventTile.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace plannery {

namespace {

QRectF toQRect(const Rect& r) {
    return QRectF(r.x, r.y, r.width, r.height);
}

FontSpec chipFont(bool compact) {
    return FontSpec{.size = compact ? 9.5 : 11, .weight = FontWeight::semibold};
}

} // namespace

TimeGridHeader::TimeGridHeader(Calendar calendar) : m_calendar(std::move(calendar)) {}

void TimeGridHeader::release() {
    m_configured = false;
    m_allDay.clear();
    m_chips.clear();
    m_picture = QImage();
}

void TimeGridHeader::configure(Instant day, std::vector<CalEvent> allDay,
                               const TimeGridMetrics& metrics, bool isToday, double scale) {
    const double safeScale = std::isfinite(scale) && scale > 0 ? scale : 1;
    if (m_configured && day == m_day && allDay == m_allDay && metrics == m_metrics &&
        isToday == m_isToday && safeScale == m_scale) {
        return;
    }
    m_configured = true;
    m_day = day;
    m_allDay = std::move(allDay);
    m_metrics = metrics;
    m_isToday = isToday;
    m_scale = safeScale;
    rebuild();
}

void TimeGridHeader::rebuild() {
    m_picture = QImage();
    m_weekend = m_calendar.isWeekend(m_day);
    const double width = m_metrics.columnWidth;
    m_weekdayText = QString::fromStdString(
        TimeGridHeaderText::weekdayText(m_day, m_calendar, width, m_metrics.monthOnFirstDay));
    m_numberText = QString::fromStdString(TimeGridHeaderText::numberText(m_day, m_calendar));
    const QFontMetricsF weekdayMetrics(gridFont(TimeGridHeaderText::weekdayFont(width, m_isToday)));
    const QFontMetricsF numberMetrics(gridFont(TimeGridHeaderText::numberFont()));
    m_frames = TimeGridHeaderLayout::labelFrames(
        m_metrics, weekdayMetrics.horizontalAdvance(m_weekdayText), weekdayMetrics.height(),
        numberMetrics.horizontalAdvance(m_numberText), m_scale);
    m_chips = TimeGridHeaderLayout::layoutChips(m_metrics, m_allDay.size());
}

void TimeGridHeader::paint(QPainter& painter, const GridPalette& palette) const {
    if (lacksPicture(palette)) {
        drawPicture(palette);
    }
    if (m_picture.isNull()) {
        draw(painter, palette);
        return;
    }
    painter.drawImage(QPointF(0, 0), m_picture);
}

bool TimeGridHeader::lacksPicture(const GridPalette& palette) const {
    return m_picture.isNull() || !(palette == m_picturePalette);
}

void TimeGridHeader::drawPicture(const GridPalette& palette) const {
    const QSize pixels(static_cast<int>(std::ceil(m_metrics.columnWidth * m_scale)),
                       static_cast<int>(std::ceil(m_metrics.headerHeight() * m_scale)));
    m_picture = QImage();
    if (pixels.width() <= 0 || pixels.height() <= 0 || pixels.width() > 8192 ||
        pixels.height() > 8192) {
        return;
    }
    m_picture = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_picture.setDevicePixelRatio(m_scale);
    m_picture.fill(Qt::transparent);
    m_picturePalette = palette;
    QPainter painter(&m_picture);
    draw(painter, palette);
}

void TimeGridHeader::draw(QPainter& painter, const GridPalette& palette) const {
    const double width = m_metrics.columnWidth;
    const TimeGridHeaderText::HeaderColors colors =
        TimeGridHeaderText::colors(m_isToday, m_weekend);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    painter.setFont(gridFont(TimeGridHeaderText::weekdayFont(width, m_isToday)));
    painter.setPen(palette.role(colors.weekday));
    painter.drawText(toQRect(m_frames.weekday), Qt::AlignCenter | Qt::TextSingleLine,
                     m_weekdayText);

    const QRectF number = toQRect(m_frames.number);
    if (colors.showsTodayCircle) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette.red);
        painter.drawRoundedRect(number, number.height() / 2, number.height() / 2);
    }
    painter.setFont(gridFont(TimeGridHeaderText::numberFont()));
    painter.setPen(palette.role(colors.number));
    painter.drawText(number, Qt::AlignCenter | Qt::TextSingleLine, m_numberText);

    for (const HeaderChip& chip : m_chips) {
        paintChip(painter, palette, chip);
    }
    painter.restore();
}

void TimeGridHeader::paintChip(QPainter& painter, const GridPalette& palette,
                               const HeaderChip& chip) const {
    const QRectF frame = toQRect(chip.frame);
    if (frame.isEmpty()) {
        return;
    }
    const bool compact = TimeGridHeaderLayout::compactChips(m_metrics.columnWidth);
    const double radius = TimeGridHeaderLayout::chipCornerRadius;
    QPainterPath shape;
    shape.addRoundedRect(frame, radius, radius);
    const QFont font = gridFont(chipFont(compact));
    const QFontMetricsF metrics(font);
    painter.save();
    painter.setFont(font);
    if (!chip.eventIndex || *chip.eventIndex >= m_allDay.size()) {
        painter.fillPath(shape, palette.tertiaryFill);
        painter.setPen(palette.secondaryLabel);
        painter.drawText(frame, Qt::AlignCenter | Qt::TextSingleLine,
                         QString::fromStdString(TimeGridText::overflowText(
                             static_cast<int>(std::min<std::size_t>(chip.overflow, 1 << 30)))));
        painter.restore();
        return;
    }
    const CalEvent& event = m_allDay[*chip.eventIndex];
    if (event.calendars.empty()) {
        painter.restore();
        return;
    }
    painter.setOpacity(painter.opacity() * TimeGridHeaderLayout::chipOpacity(event));
    const RGB rgb = event.calendars.front().rgb;
    painter.setClipPath(shape, Qt::IntersectClip);
    painter.fillPath(shape, GridPalette::color(TimeGridColors::fill(rgb, palette.appearance)));
    const double stripe = TimeGridColors::stripeWidth(compact, event.calendars.size());
    TimeGridEventTile::drawStripe(painter, event.calendars,
                                  QRectF(frame.left(), frame.top(), stripe, frame.height()));
    const double textLeft = frame.left() + stripe + TimeGridHeaderLayout::chipTextGap(compact);
    const double textWidth = frame.right() - textLeft - 2;
    if (textWidth > 0) {
        painter.setPen(GridPalette::color(TimeGridColors::text(rgb, palette.appearance)));
        const QString title = QString::fromStdString(event.title).left(2000);
        painter.drawText(QRectF(textLeft, frame.top(), textWidth, frame.height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         metrics.elidedText(title.simplified(), Qt::ElideRight, textWidth));
    }
    painter.restore();
}

TimeGridHeader::Hit TimeGridHeader::hit(QPointF p) const {
    const HeaderHit h =
        TimeGridHeaderLayout::hit(m_chips, m_metrics.dateRowHeight, Point{p.x(), p.y()});
    Hit result{.kind = h.kind};
    if (h.kind == HeaderHit::Kind::event) {
        if (h.eventIndex < m_allDay.size()) {
            result.event = m_allDay[h.eventIndex];
        } else {
            result.kind = HeaderHit::Kind::none;
        }
    }
    return result;
}

} // namespace plannery
