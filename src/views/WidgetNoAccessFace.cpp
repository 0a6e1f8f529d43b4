#include "views/WidgetNoAccessFace.h"

#include "views/GridPalette.h"
#include "views/WidgetTexts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace plannery {

namespace {

constexpr double kPadding = 14;
constexpr double kGap = 8;
constexpr double kPanelPaddingX = 8;
constexpr double kPanelPaddingY = 5;

bool isPanel(WidgetFamily family) {
    return family == WidgetFamily::accessoryRectangular || family == WidgetFamily::accessoryInline;
}

} // namespace

WidgetNoAccessFace::WidgetNoAccessFace(WidgetFamily family, TextSize textSize, Instant today,
                                       std::optional<QString> problem)
    : m_family(family), m_today(today) {
    const bool small = family == WidgetFamily::systemSmall;
    switch (family) {
    case WidgetFamily::accessoryRectangular:
        m_title = WidgetTexts::noAccessTitle();
        m_message = problem.value_or(WidgetTexts::noAccessRectangular());
        m_titleFont = gridFont(FontSpec{.size = 15, .weight = FontWeight::semibold});
        m_messageFont = gridFont(FontSpec{.size = 13});
        break;
    case WidgetFamily::accessoryInline:
        m_message = problem.value_or(WidgetTexts::noAccessShort());
        m_messageFont = gridFont(
            FontSpec{.size = TextSizes::scaled(14, textSize), .weight = FontWeight::medium});
        break;
    default:
        m_message = problem.value_or(WidgetTexts::noAccess());
        m_symbolSize = small ? 26 : 30;
        m_messageFont =
            gridFont(FontSpec{.size = small ? 12.0 : 14.0, .weight = FontWeight::medium});
        break;
    }
}

void WidgetNoAccessFace::layout(const QSizeF& size) {
    m_size = size;
    if (isPanel(m_family)) {
        const QRectF content =
            QRectF(QPointF(0, 0), size)
                .adjusted(kPanelPaddingX, kPanelPaddingY, -kPanelPaddingX, -kPanelPaddingY);
        const double titleHeight = m_title.isEmpty() ? 0 : QFontMetricsF(m_titleFont).height();
        m_symbol = QRectF(content.left(), content.top(), content.width(), titleHeight);
        m_text = content.adjusted(0, titleHeight, 0, 0);
        return;
    }
    const QRectF content =
        QRectF(QPointF(0, 0), size).adjusted(kPadding, kPadding, -kPadding, -kPadding);
    const QRectF textBounds = QFontMetricsF(m_messageFont)
                                  .boundingRect(QRectF(0, 0, std::max(content.width(), 1.0), 1e6),
                                                Qt::AlignHCenter | Qt::TextWordWrap, m_message);
    const double textHeight = std::min(textBounds.height(), content.height());
    const double total = m_symbolSize + kGap + textHeight;
    const double top = content.top() + std::max((content.height() - total) / 2, 0.0);
    m_symbol = QRectF(content.center().x() - m_symbolSize / 2, top, m_symbolSize, m_symbolSize);
    m_text = QRectF(content.left(), top + m_symbolSize + kGap, content.width(),
                    std::max(content.bottom() - top - m_symbolSize - kGap, 0.0));
}

void WidgetNoAccessFace::paintSymbol(QPainter& painter, const QRectF& square, const QColor& color) {
    if (square.isEmpty()) {
        return;
    }
    const double s = square.width();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(square.topLeft());
    // The calendar: a rounded page with a header band and two rings.
    const QRectF page(s * 0.06, s * 0.14, s * 0.74, s * 0.7);
    QPen pen(color, std::max(s * 0.07, 1.0));
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(page, s * 0.12, s * 0.12);
    painter.fillRect(QRectF(page.left(), page.top(), page.width(), s * 0.16), color);
    for (const double x : {page.left() + page.width() * 0.28, page.right() - page.width() * 0.28}) {
        painter.drawLine(QPointF(x, s * 0.04), QPointF(x, s * 0.2));
    }
    // The badge: a filled circle at the lower right with an exclamation mark cut out.
    const QRectF badge(s * 0.52, s * 0.52, s * 0.46, s * 0.46);
    QPainterPath circle;
    circle.addEllipse(badge);
    QPainterPath mark;
    const double cx = badge.center().x();
    mark.addRoundedRect(QRectF(cx - s * 0.035, badge.top() + s * 0.08, s * 0.07, s * 0.19),
                        s * 0.03, s * 0.03);
    mark.addEllipse(QPointF(cx, badge.bottom() - s * 0.09), s * 0.04, s * 0.04);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(circle.subtracted(mark));
    painter.restore();
}

void WidgetNoAccessFace::paint(QPainter& painter, const WidgetPalette& palette) const {
    if (isPanel(m_family)) {
        if (!m_title.isEmpty()) {
            painter.setFont(m_titleFont);
            painter.setPen(palette.primary);
            painter.drawText(
                m_symbol, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                QFontMetricsF(m_titleFont).elidedText(m_title, Qt::ElideRight, m_symbol.width()));
        }
        painter.setFont(m_messageFont);
        painter.setPen(m_title.isEmpty() ? palette.primary : palette.secondary);
        const int flow = m_family == WidgetFamily::accessoryInline
                             ? int(Qt::AlignVCenter) | Qt::TextSingleLine
                             : int(Qt::AlignTop) | Qt::TextWordWrap;
        const QString text =
            m_family == WidgetFamily::accessoryInline
                ? QFontMetricsF(m_messageFont).elidedText(m_message, Qt::ElideRight, m_text.width())
                : m_message;
        painter.drawText(m_text, int(Qt::AlignLeft) | flow, text);
        return;
    }
    paintSymbol(painter, m_symbol, palette.today);
    painter.setFont(m_messageFont);
    painter.setPen(palette.primary);
    painter.drawText(m_text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_message);
}

std::vector<WidgetTarget> WidgetNoAccessFace::targets() const {
    return {WidgetTarget{
        .frame = QRectF(QPointF(0, 0), m_size), .name = accessibleName(), .day = m_today}};
}

QString WidgetNoAccessFace::accessibleName() const {
    return m_title.isEmpty() ? m_message : m_title + QStringLiteral(". ") + m_message;
}

} // namespace plannery
