#include "views/TimeGridTitleLines.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextOption>

#include <cmath>

namespace plannery {

namespace {

// A title longer than any tile can show is cut before layout, so a pasted book costs no time.
constexpr int kMaxTitleLength = 2000;

} // namespace

TimeGridTitleLines::TimeGridTitleLines(const QString& title, const QFont& font, double width,
                                       double lineHeight, std::size_t mostLines)
    : m_title(title.left(kMaxTitleLength)), m_font(font),
      m_width(std::isfinite(width) && width > 0 ? width : 1),
      m_lineHeight(std::isfinite(lineHeight) ? lineHeight : 0),
      m_layout(std::make_unique<QTextLayout>(m_title, m_font)) {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_layout->setTextOption(option);
    m_layout->setCacheEnabled(true);
    m_layout->beginLayout();
    double y = 0;
    while (m_lines.size() < mostLines) {
        QTextLine line = m_layout->createLine();
        if (!line.isValid()) {
            break;
        }
        line.setLineWidth(m_width);
        line.setPosition(QPointF(0, y));
        m_lines.push_back(Line{.start = line.textStart(), .length = line.textLength(), .top = y});
        y += line.height();
    }
    m_layout->endLayout();
}

void TimeGridTitleLines::drawLine(QPainter& painter, std::size_t index, QPointF topLeft) const {
    if (index >= m_lines.size()) {
        return;
    }
    const QTextLine line = m_layout->lineAt(static_cast<int>(index));
    line.draw(&painter, topLeft - QPointF(0, m_lines[index].top));
}

void TimeGridTitleLines::drawRest(QPainter& painter, std::size_t index, QPointF topLeft) const {
    if (index + 1 >= m_lines.size()) {
        // Nothing follows: the line is all of the rest, and it fits.
        drawLine(painter, index, topLeft);
        return;
    }
    // The rest does not fit on one line, so what is shown is the part of this line (laid out
    // already) that leaves room for the ellipsis; the rest is never shaped again.
    const QChar ellipsis(0x2026);
    const QFontMetricsF metrics(m_font, painter.device());
    // One character's advance is looked up, where a string's would be shaped.
    const double room = m_width - metrics.horizontalAdvance(ellipsis);
    const QTextLine line = m_layout->lineAt(static_cast<int>(index));
    const Line& laidOut = m_lines[index];
    int end = line.xToCursor(room, QTextLine::CursorBetweenCharacters);
    while (end > laidOut.start && line.cursorToX(end) > room) {
        --end;
    }
    const QString shown = m_title.mid(laidOut.start, end - laidOut.start).simplified() + ellipsis;
    painter.setFont(m_font);
    painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), shown);
}

} // namespace plannery
