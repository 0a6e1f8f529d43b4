#include "views/WidgetAccessoryFace.h"

#include "agenda/WidgetFaceText.h"
#include "views/AgendaRowPainter.h"
#include "views/GridPalette.h"

#include <QFontMetricsF>
#include <QPainter>

namespace plannery {

namespace {

constexpr double kPaddingX = 8;
constexpr double kPaddingY = 5;
constexpr double kRowGap = 4;
constexpr double kTolerance = 0.5;

QFont font(double size, TextSize textSize, FontWeight weight, bool monospacedDigits = false) {
    return gridFont(FontSpec{.size = TextSizes::scaled(size, textSize),
                             .weight = weight,
                             .monospacedDigits = monospacedDigits});
}

QString q(const std::string& text) {
    return AgendaRowPainter::shown(text);
}

} // namespace

WidgetAccessoryFace::WidgetAccessoryFace(const WidgetAgenda& agenda, WidgetFace face,
                                         TextSize textSize, bool backdrop)
    : m_agenda(agenda), m_face(face), m_backdrop(backdrop),
      m_title(font(15, textSize, FontWeight::semibold)),
      m_detail(font(13, textSize, FontWeight::regular)),
      m_time(font(13, textSize, FontWeight::medium, true)),
      m_further(font(13, textSize, FontWeight::medium)),
      m_inline(font(14, textSize, FontWeight::medium)) {}

std::vector<WidgetAccessoryFace::Line>
WidgetAccessoryFace::rectangularLines(std::size_t count) const {
    const std::vector<CalEvent> events = WidgetFaceText::rectangularEvents(m_agenda);
    if (events.empty()) {
        const WidgetFaceText::Heading empty = WidgetFaceText::rectangularEmpty(m_agenda);
        return {Line{.text = q(empty.first), .font = &m_title, .name = q(empty.first)},
                Line{.text = q(empty.second),
                     .font = &m_detail,
                     .secondary = true,
                     .name = q(empty.second)}};
    }
    const CalEvent& first = events.front();
    const QString spoken = QString::fromStdString(m_agenda.describe(first));
    std::vector<Line> lines{Line{.text = q(first.title), .font = &m_title, .name = spoken},
                            Line{.text = q(WidgetFaceText::detailLine(first, m_agenda)),
                                 .font = &m_detail,
                                 .secondary = true,
                                 .name = q(WidgetFaceText::detailLine(first, m_agenda))}};
    for (std::size_t i = 1; i < count && i < events.size(); ++i) {
        lines.push_back(Line{.text = q(events[i].title),
                             .font = &m_further,
                             .time = q(WidgetFaceText::furtherTime(events[i], m_agenda)),
                             .name = QString::fromStdString(m_agenda.describe(events[i]))});
    }
    return lines;
}

double WidgetAccessoryFace::height(const std::vector<Line>& lines) const {
    double total = 0;
    for (const Line& line : lines) {
        total += QFontMetricsF(*line.font).height();
    }
    return total;
}

void WidgetAccessoryFace::layout(const QSizeF& size) {
    m_size = size;
    const double padX = m_backdrop ? kPaddingX : 0;
    const double padY = m_backdrop ? kPaddingY : 0;
    const QRectF content(padX, padY, std::max(size.width() - 2 * padX, 0.0),
                         std::max(size.height() - 2 * padY, 0.0));
    if (m_face == WidgetFace::inlineText) {
        const QString text = q(WidgetFaceText::inlineText(m_agenda));
        m_lines = {Line{.text = text, .font = &m_inline, .frame = content, .name = text}};
        return;
    }
    const std::size_t available = WidgetFaceText::rectangularEvents(m_agenda).size();
    m_shownEvents = available;
    m_lines = rectangularLines(available);
    // The most events that fit, down to the first alone.
    while (m_shownEvents > 1 && height(m_lines) > content.height() + kTolerance) {
        --m_shownEvents;
        m_lines = rectangularLines(m_shownEvents);
    }
    double top = content.top();
    for (Line& line : m_lines) {
        const double h = QFontMetricsF(*line.font).height();
        line.frame = QRectF(content.left(), top, content.width(), h);
        top += h;
    }
}

void WidgetAccessoryFace::paint(QPainter& painter, const WidgetPalette& palette) const {
    for (const Line& line : m_lines) {
        QRectF text = line.frame;
        if (!line.time.isEmpty()) {
            const QFontMetricsF metrics(m_time);
            const double timeWidth = std::min(metrics.horizontalAdvance(line.time), text.width());
            painter.setFont(m_time);
            painter.setPen(palette.secondary);
            painter.drawText(QRectF(text.left(), text.top(), timeWidth, text.height()),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             metrics.elidedText(line.time, Qt::ElideRight, timeWidth));
            text.setLeft(std::min(text.left() + timeWidth + kRowGap, text.right()));
        }
        const QFontMetricsF metrics(*line.font);
        painter.setFont(*line.font);
        painter.setPen(line.secondary ? palette.secondary : palette.primary);
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         metrics.elidedText(line.text, Qt::ElideRight, text.width()));
    }
}

std::vector<WidgetTarget> WidgetAccessoryFace::targets() const {
    std::vector<WidgetTarget> all;
    for (const Line& line : m_lines) {
        all.push_back(WidgetTarget{.frame = line.frame, .name = line.name, .day = tapDay()});
    }
    return all;
}

QString WidgetAccessoryFace::accessibleName() const {
    QStringList names;
    for (const Line& line : m_lines) {
        names.push_back(line.name);
    }
    return names.join(QStringLiteral(". "));
}

Instant WidgetAccessoryFace::tapDay() const {
    if (m_face == WidgetFace::inlineText) {
        return m_agenda.today().day;
    }
    return WidgetFaceText::rectangularTarget(m_agenda);
}

} // namespace plannery
