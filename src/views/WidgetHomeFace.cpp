#include "views/WidgetHomeFace.h"

#include "views/GridPalette.h"

#include <QFontMetricsF>
#include <QPainter>

namespace plannery {

namespace {

constexpr double kTodayGap = 3;
constexpr double kLargeGap = 5;
constexpr double kDividerWidth = 0.5;
constexpr double kDividerAlpha = 0.25;

double width(const QFont& font, const std::string& text) {
    return QFontMetricsF(font).horizontalAdvance(QString::fromStdString(text));
}

} // namespace

WidgetHomeFace::WidgetHomeFace(const WidgetAgenda& agenda, const HomeFaceLayout& layout,
                               TextSize textSize)
    : m_agenda(agenda), m_layout(layout),
      m_headingFont(gridFont(FontSpec{.size = TextSizes::scaled(layout.headingSize, textSize),
                                      .weight = FontWeight::bold})),
      m_headingGap(layout.heading == HomeFaceLayout::Heading::large ? kLargeGap : kTodayGap) {
    if (layout.heading == HomeFaceLayout::Heading::large) {
        m_headings.push_back(WidgetFaceText::largeHeading(agenda.now(), agenda.calendar()));
    } else {
        const auto all = WidgetFaceText::todayHeadings(agenda.now(), agenda.calendar());
        m_headings.assign(all.begin(), all.end());
    }
    const WidgetFaceText::Heading& longest = m_headings.front();
    AgendaFlowList::Heading heading{
        .height = [this](double w) { return headingHeight(w); },
        .paint = [this](QPainter& painter, const QRectF& frame,
                        const WidgetPalette& palette) { paintHeading(painter, frame, palette); },
        .day = layout.linkRows ? std::optional<Instant>(agenda.today().day) : std::nullopt,
        .name = QString::fromStdString(longest.first + " " + longest.second),
    };
    // Today, then the days ahead as far as the cap reaches, or the note that there are none.
    std::vector<WidgetAgenda::Section> sections =
        agenda.sections(static_cast<std::size_t>(std::max(layout.cap, 0)));
    if (sections.size() == 1) {
        sections.push_back(agenda.withClosingNote({}).front());
    }
    m_list = std::make_unique<AgendaFlowList>(agenda, std::move(sections), layout, textSize,
                                              std::move(heading));
}

double WidgetHomeFace::headingHeight(double) const {
    return QFontMetricsF(m_headingFont).height() + m_layout.headingPaddingBottom;
}

const WidgetFaceText::Heading& WidgetHomeFace::headingFor(double available) const {
    for (const WidgetFaceText::Heading& heading : m_headings) {
        if (width(m_headingFont, heading.first) + m_headingGap +
                width(m_headingFont, heading.second) <=
            available) {
            return heading;
        }
    }
    return m_headings.back();
}

void WidgetHomeFace::layout(const QSizeF& size) {
    m_size = size;
    m_content = QRectF(m_layout.paddingX, m_layout.paddingTop,
                       std::max(size.width() - 2 * m_layout.paddingX, 0.0),
                       std::max(size.height() - m_layout.paddingTop - m_layout.paddingBottom, 0.0));
    m_list->layout(m_content);
}

void WidgetHomeFace::paintHeading(QPainter& painter, const QRectF& frame,
                                  const WidgetPalette& palette) const {
    const WidgetFaceText::Heading& heading = headingFor(frame.width());
    const QFontMetricsF metrics(m_headingFont);
    const QRectF line(frame.left(), frame.top(), frame.width(), metrics.height());
    painter.setFont(m_headingFont);
    const QString first = QString::fromStdString(heading.first);
    const double firstWidth = std::min(metrics.horizontalAdvance(first), line.width());
    painter.setPen(palette.today);
    painter.drawText(QRectF(line.left(), line.top(), firstWidth, line.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     metrics.elidedText(first, Qt::ElideRight, firstWidth));
    const double secondLeft = line.left() + firstWidth + m_headingGap;
    const double secondWidth = std::max(line.right() - secondLeft, 0.0);
    if (secondWidth > 0) {
        painter.setPen(palette.primary);
        painter.drawText(QRectF(secondLeft, line.top(), secondWidth, line.height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         metrics.elidedText(QString::fromStdString(heading.second), Qt::ElideRight,
                                            secondWidth));
    }
}

void WidgetHomeFace::paint(QPainter& painter, const WidgetPalette& palette) const {
    if (m_layout.divider && m_layout.columns == 2) {
        QColor line = palette.secondary;
        line.setAlphaF(line.alphaF() * static_cast<float>(kDividerAlpha));
        painter.fillRect(QRectF(m_size.width() / 2 - kDividerWidth / 2, m_content.top(),
                                kDividerWidth, m_content.height()),
                         line);
    }
    m_list->paint(painter, palette);
}

std::vector<WidgetTarget> WidgetHomeFace::targets() const {
    return m_list->targets();
}

QString WidgetHomeFace::accessibleName() const {
    return m_list->accessibleSummary();
}

Instant WidgetHomeFace::tapDay() const {
    return m_agenda.today().day;
}

} // namespace plannery
