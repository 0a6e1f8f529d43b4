#include "views/TimeGridGutterPainter.h"

#include "grid/TimeGridText.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace plannery {

namespace {

FontSpec hourFont() {
    return FontSpec{.size = 10, .weight = FontWeight::medium, .monospacedDigits = true};
}

FontSpec nowFont() {
    return FontSpec{.size = 10, .weight = FontWeight::semibold, .monospacedDigits = true};
}

QRectF toQRect(const Rect& r) {
    return QRectF(r.x, r.y, r.width, r.height);
}

} // namespace

TimeGridGutterPainter::TimeGridGutterPainter(Calendar calendar) : m_calendar(std::move(calendar)) {
    for (const std::string& text : TimeGridText::hourTexts(m_calendar.localeId())) {
        m_texts.push_back(QString::fromStdString(text));
    }
}

void TimeGridGutterPainter::configure(const TimeGridMetrics& metrics, double gutterWidth,
                                      std::optional<Instant> now, std::optional<double> nowMinute,
                                      double scale) {
    std::vector<double> positions;
    positions.reserve(25);
    for (int hour = 0; hour <= 24; ++hour) {
        positions.push_back(metrics.y(hour * 60.0));
    }
    std::optional<double> nowPosition;
    if (nowMinute) {
        nowPosition = metrics.y(*nowMinute);
    }
    m_labels = TimeGridGutter::hourLabels(positions, gutterWidth, nowPosition, scale);
    m_nowFrame = TimeGridGutter::nowLabelFrame(nowPosition, gutterWidth);
    m_nowText = now && m_nowFrame
                    ? QString::fromStdString(TimeGridText::compactTime(*now, m_calendar))
                    : QString();
}

void TimeGridGutterPainter::paint(QPainter& painter, const GridPalette& palette) const {
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(gridFont(hourFont()));
    painter.setPen(palette.secondaryLabel);
    for (std::size_t i = 0; i < m_labels.size() && i < m_texts.size(); ++i) {
        if (m_labels[i].hidden || m_labels[i].frame.width <= 0) {
            continue;
        }
        painter.drawText(toQRect(m_labels[i].frame),
                         Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, m_texts[i]);
    }
    if (m_nowFrame && m_nowFrame->width > 0 && !m_nowText.isEmpty()) {
        const QRectF frame = toQRect(*m_nowFrame);
        QFont font = gridFont(nowFont());
        // Shrinks to at most 0.8 of its size to fit the gutter.
        const double advance = QFontMetricsF(font).horizontalAdvance(m_nowText);
        if (advance > frame.width() && advance > 0) {
            font.setPointSizeF(font.pointSizeF() * std::max(0.8, frame.width() / advance));
        }
        painter.fillRect(frame, palette.background);
        painter.setFont(font);
        painter.setPen(palette.red);
        painter.drawText(frame, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, m_nowText);
    }
    painter.restore();
}

double TimeGridGutterPainter::preferredWidth() const {
    const QFontMetricsF hourMetrics(gridFont(hourFont()));
    std::optional<double> widest;
    for (const QString& text : m_texts) {
        widest = std::max(widest.value_or(0), hourMetrics.horizontalAdvance(text));
    }
    const Instant sample = m_calendar.date(2026, 1, 5, 12, 58).value_or(Instant{});
    const QString nowText = QString::fromStdString(TimeGridText::compactTime(sample, m_calendar));
    return TimeGridMetrics::gutterPreferredWidth(
        widest, QFontMetricsF(gridFont(nowFont())).horizontalAdvance(nowText));
}

} // namespace plannery
