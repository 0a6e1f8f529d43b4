#include "views/AgendaRowPainter.h"

#include "agenda/WidgetFaceText.h"
#include "views/GridPalette.h"
#include "views/TimeGridEventTile.h"
#include "views/TimeGridTitleLines.h"
#include "views/WidgetTexts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace plannery {

namespace {

using Kind = AgendaRow::Kind;

// More characters than the widest face shows on one line.
constexpr int kLongestShown = 400;
constexpr double kTitleGap = 4; // between a title and its place
constexpr double kTrailing = 4; // after an all-day title
constexpr double kTintRadius = 3;
constexpr double kOngoingOverhang = 0.75;
constexpr double kOngoingAlpha = 0.18;
constexpr double kAllDayAlpha = 0.22;
constexpr double kFadedBar = 0.45;
constexpr double kShrinkLimit = 0.8;
constexpr std::size_t kBarColours = 3;
constexpr double kRuleHeight = 0.5;
constexpr double kHeadingGap = 4;
constexpr int kNoteLines = 2;

QFont font(double size, TextSize textSize, FontWeight weight, bool monospacedDigits = false) {
    return gridFont(FontSpec{.size = TextSizes::scaled(size, textSize),
                             .weight = weight,
                             .monospacedDigits = monospacedDigits});
}

double lineHeight(const QFont& f) {
    return QFontMetricsF(f).height();
}

QFont struck(QFont f, bool strike) {
    f.setStrikeOut(strike);
    return f;
}

// One line of text at the left of `rect`, vertically centred, cut with an ellipsis.
void drawLine(QPainter& painter, const QFont& f, const QString& text, const QRectF& rect,
              Qt::Alignment alignment = Qt::AlignLeft) {
    if (rect.width() <= 0) {
        return;
    }
    painter.setFont(f);
    painter.drawText(rect, alignment | Qt::AlignVCenter | Qt::TextSingleLine,
                     QFontMetricsF(f).elidedText(text, Qt::ElideRight, rect.width()));
}

QString upper(const QString& text) {
    return text.toUpper();
}

} // namespace

QString AgendaRowPainter::shown(const std::string& text) {
    QString q = QString::fromStdString(text);
    if (q.size() > kLongestShown) {
        q.truncate(kLongestShown);
        if (q.back().isHighSurrogate()) {
            q.chop(1);
        }
    }
    // Line breaks and tabs fold into single spaces; no-break spaces (as in "9:30 AM") stay.
    QString folded;
    folded.reserve(q.size());
    for (const QChar c : q) {
        const bool breaking = c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' ||
                              c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
        if (!breaking) {
            folded.append(c);
        } else if (!folded.isEmpty() && folded.back() != u' ') {
            folded.append(u' ');
        }
    }
    if (folded.endsWith(u' ')) {
        folded.chop(1);
    }
    return folded;
}

AgendaRowPainter::AgendaRowPainter(const AgendaRowStyle& style, TextSize textSize, bool twelveHours)
    : m_style(style), m_time(font(style.time, textSize, FontWeight::medium, true)),
      m_timeBold(font(style.time, textSize, FontWeight::semibold, true)),
      m_title(font(style.title, textSize, FontWeight::medium)),
      m_titleBold(font(style.title, textSize, FontWeight::semibold)),
      m_place(font(style.time, textSize, FontWeight::regular)),
      m_allDay(font(style.allDay, textSize, FontWeight::semibold)),
      m_header(font(style.header, textSize, FontWeight::bold)),
      m_count(font(style.header + 0.5, textSize, FontWeight::semibold)),
      m_note(font(style.note, textSize, FontWeight::regular)),
      m_timeColumn(std::ceil(QFontMetricsF(m_time).horizontalAdvance(
          QString::fromStdString(style.timeTemplate(twelveHours))))) {}

double AgendaRowPainter::height(const AgendaRow& row, double width) const {
    switch (row.kind) {
    case Kind::event:
        return std::max(lineHeight(m_title), lineHeight(m_time)) + 2 * m_style.rowPadding;
    case Kind::allDay:
        return lineHeight(m_allDay) + 2 * (m_style.rowPadding + 1);
    case Kind::header:
        return m_style.spacing + 1 + lineHeight(m_header);
    case Kind::daySummary:
        return m_style.spacing + 1 + std::max(lineHeight(m_header), lineHeight(m_count));
    case Kind::more:
        return lineHeight(m_count);
    case Kind::note: {
        const QString text = shown(row.text);
        const bool oneLine = QFontMetricsF(m_note).horizontalAdvance(text) <= width;
        return (oneLine ? 1 : kNoteLines) * lineHeight(m_note) + 2 * m_style.rowPadding;
    }
    }
    return 0;
}

void AgendaRowPainter::paint(QPainter& painter, const AgendaRow& row, const QRectF& frame,
                             const WidgetAgenda& agenda, const WidgetPalette& palette) const {
    switch (row.kind) {
    case Kind::event:
        paintEvent(painter, row, frame, agenda, palette);
        return;
    case Kind::allDay:
        paintAllDay(painter, row, frame, palette);
        return;
    case Kind::header:
    case Kind::daySummary:
        paintHeading(painter, row, frame, palette);
        return;
    case Kind::more:
        painter.setPen(palette.secondary);
        drawLine(painter, m_count, WidgetTexts::more(row.count),
                 frame.adjusted(m_style.barWidth + m_style.gap, 0, 0, 0));
        return;
    case Kind::note: {
        painter.setPen(palette.secondary);
        const QRectF text = frame.adjusted(0, m_style.rowPadding, 0, -m_style.rowPadding);
        const QString note = shown(row.text);
        if (QFontMetricsF(m_note).horizontalAdvance(note) <= text.width()) {
            drawLine(painter, m_note, note, text);
            return;
        }
        painter.setFont(m_note);
        const TimeGridTitleLines lines(note, m_note, text.width(), lineHeight(m_note));
        lines.drawLine(painter, 0, text.topLeft());
        if (lines.lineCount() > 1) {
            lines.drawRest(painter, 1, text.topLeft() + QPointF(0, lineHeight(m_note)));
        }
        return;
    }
    }
}

void AgendaRowPainter::paintBar(QPainter& painter, const CalEvent& event,
                                const QRectF& frame) const {
    if (event.calendars.empty()) {
        return;
    }
    const QRectF bar(frame.left(), frame.top(), m_style.barWidth, frame.height());
    std::vector<CalendarRef> shownCalendars(
        event.calendars.begin(),
        event.calendars.begin() +
            static_cast<std::ptrdiff_t>(std::min(event.calendars.size(), kBarColours)));
    painter.save();
    painter.setOpacity(painter.opacity() * (event.isTentative ? kFadedBar : 1.0));
    QPainterPath capsule;
    capsule.addRoundedRect(bar, bar.width() / 2, bar.width() / 2);
    painter.setClipPath(capsule, Qt::IntersectClip);
    TimeGridEventTile::drawStripe(painter, shownCalendars, bar);
    painter.restore();
}

void AgendaRowPainter::paintTime(QPainter& painter, const QString& text, const QRectF& column,
                                 bool ongoing, const WidgetPalette& palette) const {
    QFont f = ongoing ? m_timeBold : m_time;
    const double width = QFontMetricsF(f).horizontalAdvance(text);
    if (width > column.width() && width > 0) {
        f.setPointSizeF(f.pointSizeF() * std::max(kShrinkLimit, column.width() / width));
    }
    painter.setPen(ongoing ? palette.today : palette.secondary);
    drawLine(painter, f, text, column);
}

void AgendaRowPainter::paintEvent(QPainter& painter, const AgendaRow& row, const QRectF& frame,
                                  const WidgetAgenda& agenda, const WidgetPalette& palette) const {
    const CalEvent& event = row.event;
    if (row.ongoing && !event.calendars.empty()) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(GridPalette::color(event.calendars.front().rgb, kOngoingAlpha));
        painter.drawRoundedRect(frame.adjusted(0, -kOngoingOverhang, 0, kOngoingOverhang),
                                kTintRadius, kTintRadius);
        painter.restore();
    }
    paintBar(painter, event, frame);
    const QRectF content =
        frame.adjusted(m_style.barWidth + m_style.gap, m_style.rowPadding, 0, -m_style.rowPadding);
    const QRectF column(content.left(), content.top(), std::min(m_timeColumn, content.width()),
                        content.height());
    paintTime(painter,
              QString::fromStdString(WidgetFaceText::rowTime(row, m_style.detailed, agenda)),
              column, row.ongoing, palette);

    const double left = column.right() + m_style.gap;
    const double available = std::max(content.right() - left, 0.0);
    const QFont title = struck(row.ongoing ? m_titleBold : m_title, event.isCanceled);
    const QString titleText = shown(event.title);
    const bool hasPlace = m_style.detailed && event.location && !event.location->empty();
    // The title keeps its width; the place takes what is left.
    const double titleWidth =
        hasPlace ? std::min(QFontMetricsF(title).horizontalAdvance(titleText), available)
                 : available;
    painter.setPen(event.isTentative || event.isCanceled ? palette.secondary : palette.primary);
    drawLine(painter, title, titleText, QRectF(left, content.top(), titleWidth, content.height()));
    if (hasPlace) {
        const double placeLeft = left + titleWidth + kTitleGap;
        painter.setPen(palette.secondary);
        drawLine(painter, m_place, shown(*event.location),
                 QRectF(placeLeft, content.top(), std::max(content.right() - placeLeft, 0.0),
                        content.height()));
    }
}

void AgendaRowPainter::paintAllDay(QPainter& painter, const AgendaRow& row, const QRectF& frame,
                                   const WidgetPalette& palette) const {
    const CalEvent& event = row.event;
    if (!event.calendars.empty()) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(GridPalette::color(event.calendars.front().rgb, kAllDayAlpha));
        painter.drawRoundedRect(frame, kTintRadius, kTintRadius);
        painter.restore();
    }
    paintBar(painter, event, frame);
    painter.setPen(palette.primary);
    drawLine(painter, struck(m_allDay, event.isCanceled), shown(event.title),
             frame.adjusted(m_style.barWidth + m_style.gap, m_style.rowPadding + 1, -kTrailing,
                            -(m_style.rowPadding + 1)));
}

void AgendaRowPainter::paintHeading(QPainter& painter, const AgendaRow& row, const QRectF& frame,
                                    const WidgetPalette& palette) const {
    const QRectF line = frame.adjusted(0, m_style.spacing + 1, 0, 0);
    QString count;
    double countWidth = 0;
    if (row.kind == Kind::daySummary) {
        count = WidgetTexts::events(row.count);
        countWidth = std::min(QFontMetricsF(m_count).horizontalAdvance(count), line.width());
    }
    const QString text = upper(shown(row.text));
    const double room =
        std::max(line.width() - countWidth - (countWidth > 0 ? kHeadingGap : 0), 0.0);
    const double textWidth = std::min(QFontMetricsF(m_header).horizontalAdvance(text), room);
    painter.setPen(palette.secondary);
    drawLine(painter, m_header, text, QRectF(line.left(), line.top(), textWidth, line.height()));
    const double ruleLeft = line.left() + textWidth + (textWidth > 0 ? kHeadingGap : 0);
    const double ruleRight = line.right() - countWidth - (countWidth > 0 ? kHeadingGap : 0);
    if (ruleRight > ruleLeft) {
        painter.fillRect(QRectF(ruleLeft, line.center().y() - kRuleHeight / 2, ruleRight - ruleLeft,
                                kRuleHeight),
                         palette.hairline);
    }
    if (countWidth > 0) {
        painter.setPen(palette.secondary);
        drawLine(painter, m_count, count,
                 QRectF(line.right() - countWidth, line.top(), countWidth, line.height()),
                 Qt::AlignRight);
    }
}

QString AgendaRowPainter::accessibleName(const AgendaRow& row, const WidgetAgenda& agenda) const {
    switch (row.kind) {
    case Kind::event:
    case Kind::allDay:
        return QString::fromStdString(agenda.describe(row.event));
    case Kind::header:
    case Kind::note:
        return shown(row.text);
    case Kind::more:
        return WidgetTexts::more(row.count);
    case Kind::daySummary:
        return shown(row.text) + QStringLiteral(", ") + WidgetTexts::events(row.count);
    }
    return {};
}

} // namespace plannery
