#include "views/AgendaDayPainter.h"

#include "agenda/AgendaRowLook.h"
#include "agenda/AgendaText.h"
#include "grid/TimeGridHeaderText.h"
#include "views/TimeGridEventTile.h"
#include "views/TimeGridTitleLines.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

namespace L = AgendaLayout;

// Text sizes in points: footnote, title 3, caption 2, subheadline and caption.
constexpr double kFootnote = 13;
constexpr double kTitle3 = 20;
constexpr double kCaption2 = 11;
constexpr double kSubheadline = 15;
constexpr double kCaption = 12;
// Titles are remembered by the thousand; a list of very many distinct titles starts afresh.
constexpr std::size_t kRememberedTitles = 50000;

double lineHeight(const QFont& font) {
    return std::ceil(QFontMetricsF(font).lineSpacing());
}

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// One line of text in `font` at the top of `rect`, cut with an ellipsis to its width.
void drawLine(QPainter& painter, const QFont& font, const QString& text, const QRectF& rect,
              Qt::Alignment alignment = Qt::AlignLeft) {
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.drawText(rect, alignment | Qt::AlignVCenter | Qt::TextSingleLine,
                     metrics.elidedText(text, Qt::ElideRight, rect.width()));
}

} // namespace

AgendaDayPainter::AgendaDayPainter() {
    updateFonts();
}

void AgendaDayPainter::updateFonts() {
    m_footnote = gridFont(FontSpec{.size = kFootnote});
    m_heading = gridFont(FontSpec{.size = kTitle3, .weight = FontWeight::bold});
    m_weekday = gridFont(FontSpec{.size = kCaption2, .weight = FontWeight::semibold});
    m_number =
        gridFont(FontSpec{.size = kTitle3, .weight = FontWeight::medium, .monospacedDigits = true});
    m_numberToday =
        gridFont(FontSpec{.size = kTitle3, .weight = FontWeight::bold, .monospacedDigits = true});
    m_title = gridFont(FontSpec{.size = kSubheadline, .weight = FontWeight::semibold});
    m_titleStruck = m_title;
    m_titleStruck.setStrikeOut(true);
    m_caption = gridFont(FontSpec{.size = kCaption, .monospacedDigits = true});
    m_subheadline = gridFont(FontSpec{.size = kSubheadline});
    m_lines = AgendaLineHeights{
        .footnote = lineHeight(m_footnote),
        .heading = lineHeight(m_heading),
        .badgeWeekday = lineHeight(m_weekday),
        .title = lineHeight(m_title),
        .caption = lineHeight(m_caption),
        .subheadline = lineHeight(m_subheadline),
    };
    m_titleWidths.clear();
}

double AgendaDayPainter::titleWidth(const std::string& title) const {
    if (const auto it = m_titleWidths.find(title); it != m_titleWidths.end()) {
        return it->second;
    }
    if (m_titleWidths.size() >= kRememberedTitles) {
        m_titleWidths.clear();
    }
    const double width = QFontMetricsF(m_title).horizontalAdvance(qs(title).simplified());
    m_titleWidths.emplace(title, width);
    return width;
}

void AgendaDayPainter::paintSection(QPainter& painter, const QRectF& frame, const QRectF& exposed,
                                    const AgendaDayContent& content, Instant now,
                                    const Calendar& calendar, const GridPalette& palette) const {
    const AgendaSection& section = *content.section;
    if (section.showMonth) {
        paintHeading(painter, frame, section.day, calendar, palette);
    }
    const double top = frame.top() + L::dayRowTop(section.showMonth, m_lines);
    paintBadge(painter, QPointF(frame.left() + L::dayPaddingX, top), section.day, content.isToday,
               calendar, palette);

    const double left = frame.left() + L::eventsLeft;
    const double width = std::max(frame.right() - L::dayPaddingX - left, 0.0);
    if (section.isEmpty()) {
        painter.setPen(palette.secondaryLabel);
        drawLine(painter, m_subheadline, qs(AgendaText::noEvents),
                 QRectF(left, top, width, std::max(L::noEventsMinHeight, m_lines.subheadline)));
    } else {
        const std::vector<int>& lines = *content.titleLines;
        const std::vector<double> tops = L::eventRowTops(lines, m_lines);
        for (std::size_t i = 0; i < section.events->size() && i < lines.size(); ++i) {
            const QRectF row(left, top + tops[i], width, L::eventRowHeight(lines[i], m_lines));
            if (row.bottom() < exposed.top() || row.top() > exposed.bottom()) {
                continue;
            }
            paintRow(painter, row, (*section.events)[i], lines[i], section.day, now, calendar,
                     palette);
        }
    }
    painter.fillRect(QRectF(frame.left() + L::dividerIndent, frame.bottom() - L::dividerHeight,
                            std::max(frame.width() - L::dividerIndent, 0.0), L::dividerHeight),
                     palette.separator);
}

void AgendaDayPainter::paintHeading(QPainter& painter, const QRectF& frame, Instant day,
                                    const Calendar& calendar, const GridPalette& palette) const {
    painter.setPen(palette.label);
    drawLine(painter, m_heading, qs(AgendaText::monthHeading(day, calendar)),
             QRectF(frame.left() + L::headingPaddingX, frame.top() + L::headingPaddingTop,
                    std::max(frame.width() - 2 * L::headingPaddingX, 0.0), m_lines.heading));
}

void AgendaDayPainter::paintBadge(QPainter& painter, QPointF topLeft, Instant day, bool isToday,
                                  const Calendar& calendar, const GridPalette& palette) const {
    painter.setPen(isToday ? palette.red : palette.secondaryLabel);
    drawLine(painter, m_weekday, qs(AgendaText::badgeWeekday(day, calendar)),
             QRectF(topLeft.x(), topLeft.y(), L::badgeWidth, m_lines.badgeWeekday),
             Qt::AlignHCenter);
    const QRectF number(topLeft.x() + (L::badgeWidth - L::numberFrame) / 2,
                        topLeft.y() + m_lines.badgeWeekday + L::badgeSpacing, L::numberFrame,
                        L::numberFrame);
    if (isToday) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette.red);
        painter.drawEllipse(number);
        painter.restore();
        painter.setPen(palette.role(ColorRole::white));
    } else {
        painter.setPen(palette.label);
    }
    painter.setFont(isToday ? m_numberToday : m_number);
    painter.drawText(number, Qt::AlignCenter | Qt::TextSingleLine,
                     qs(TimeGridHeaderText::numberText(day, calendar)));
}

void AgendaDayPainter::paintRow(QPainter& painter, const QRectF& row, const CalEvent& event,
                                int titleLines, Instant day, Instant now, const Calendar& calendar,
                                const GridPalette& palette) const {
    if (event.calendars.empty()) {
        return;
    }
    const RGB color = event.calendars.front().rgb;
    painter.save();
    painter.setOpacity(painter.opacity() * AgendaRowLook::opacity(event, now));
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(row, AgendaRowLook::cornerRadius, AgendaRowLook::cornerRadius);
    painter.fillPath(shape, GridPalette::color(color, AgendaRowLook::fillAlpha(event)));
    painter.setClipPath(shape, Qt::IntersectClip);

    TimeGridEventTile::drawStripe(painter, event.calendars,
                                  QRectF(row.left(), row.top(), L::stripeWidth, row.height()));

    const double textLeft = row.left() + L::stripeWidth + L::stripeGap;
    const double textWidth = std::max(row.right() - L::rowPaddingTrailing - textLeft, 0.0);
    const double textTop = row.top() + L::rowPaddingY;
    const QFont& titleFont = event.isCanceled ? m_titleStruck : m_title;
    const QString title = qs(event.title).simplified();
    painter.setPen(palette.label);
    if (titleLines <= 1) {
        drawLine(painter, titleFont, title, QRectF(textLeft, textTop, textWidth, m_lines.title));
    } else {
        const TimeGridTitleLines laidOut(title, titleFont, textWidth, m_lines.title);
        laidOut.drawLine(painter, 0, QPointF(textLeft, textTop));
        laidOut.drawRest(painter, 1, QPointF(textLeft, textTop + m_lines.title));
    }

    const double captionTop = textTop + std::clamp(titleLines, 1, L::maxTitleLines) * m_lines.title;
    const QString time = qs(AgendaText::timeText(event, day, calendar));
    const double timeWidth = std::min(QFontMetricsF(m_caption).horizontalAdvance(time), textWidth);
    painter.setPen(palette.secondaryLabel);
    drawLine(painter, m_caption, time, QRectF(textLeft, captionTop, timeWidth, m_lines.caption));
    const double placeLeft = textLeft + timeWidth + L::captionGap;
    if (event.location && !event.location->empty() && placeLeft < row.right()) {
        drawLine(painter, m_caption, qs(*event.location).simplified(),
                 QRectF(placeLeft, captionTop,
                        std::max(row.right() - L::rowPaddingTrailing - placeLeft, 0.0),
                        m_lines.caption));
    }

    if (event.isTentative) {
        QPen pen(GridPalette::color(color, AgendaRowLook::tentativeBorderAlpha),
                 AgendaRowLook::tentativeBorderWidth);
        pen.setDashPattern({AgendaRowLook::tentativeDashOn, AgendaRowLook::tentativeDashOff});
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const double inset = AgendaRowLook::tentativeBorderWidth / 2;
        painter.drawRoundedRect(row.adjusted(inset, inset, -inset, -inset),
                                AgendaRowLook::cornerRadius - inset,
                                AgendaRowLook::cornerRadius - inset);
    }
    painter.restore();
}

void AgendaDayPainter::paintShowEarlier(QPainter& painter, const QRectF& frame, bool pressed,
                                        const GridPalette& palette) const {
    QColor color = palette.blue;
    if (pressed) {
        color.setAlphaF(color.alphaF() * 0.4f);
    }
    painter.setPen(color);
    drawLine(painter, m_footnote, qs(AgendaText::showEarlier), frame, Qt::AlignHCenter);
}

void AgendaDayPainter::paintSpinner(QPainter& painter, const QRectF& frame, int phase,
                                    const GridPalette& palette) const {
    constexpr int spokes = 12;
    const double radius = std::min(frame.width(), frame.height()) / 2;
    if (!(radius > 0)) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(frame.center());
    QPen pen(palette.secondaryLabel, std::max(radius / 5, 1.0), Qt::SolidLine, Qt::RoundCap);
    for (int i = 0; i < spokes; ++i) {
        // Spokes behind the brightest one fade out.
        const int behind = ((phase - i) % spokes + spokes) % spokes;
        QColor color = palette.secondaryLabel;
        color.setAlphaF(color.alphaF() * static_cast<float>(1.0 - behind / double(spokes)));
        pen.setColor(color);
        painter.setPen(pen);
        painter.drawLine(QPointF(0, -radius * 0.5), QPointF(0, -radius));
        painter.rotate(360.0 / spokes);
    }
    painter.restore();
}

} // namespace plannery
