#include "views/CalendarToggle.h"

#include "views/GridPalette.h"
#include "views/SettingsSection.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QVBoxLayout>
#include <QtMath>

namespace plannery {

namespace {

// The dot is 12 points beside body text of 13 points and grows and shrinks with the text.
constexpr double kDotSize = 12;
constexpr double kBodyTextSize = 13;

} // namespace

CalendarToggle::CalendarToggle(const CalendarRow& row, QWidget* parent)
    : QWidget(parent), m_calendarID(row.calendarID), m_rgb(row.rgb) {
    const QString title = QString::fromStdString(row.title);
    setObjectName(QStringLiteral("calendarToggle-") + title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_switch = new QCheckBox(title, this);
    m_switch->setAccessibleName(title);
    layout->addWidget(m_switch);
    paintDot();
    connect(m_switch, &QCheckBox::clicked, this, &CalendarToggle::switched);

    if (row.mirrorNote) {
        // The note lines up with the title, past the box and the dot.
        const QStyle* style = m_switch->style();
        const int spacing = style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, m_switch);
        const int indent = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, m_switch) +
                           spacing + m_switch->iconSize().width() + spacing;
        auto* line = new QWidget(this);
        auto* lineLayout = new QHBoxLayout(line);
        lineLayout->setContentsMargins(indent, 0, 0, 0);
        lineLayout->setSpacing(4);
        const QIcon linkIcon = QIcon::fromTheme(QStringLiteral("insert-link"));
        if (!linkIcon.isNull()) {
            auto* icon = new QLabel(line);
            const int side = QFontInfo(font()).pixelSize();
            icon->setPixmap(linkIcon.pixmap(side, side));
            lineLayout->addWidget(icon);
        }
        auto* note = new QLabel(QString::fromStdString(*row.mirrorNote), line);
        note->setObjectName(QStringLiteral("mirrorNote"));
        note->setTextFormat(Qt::PlainText);
        note->setWordWrap(true);
        lineLayout->addWidget(note, 1);
        SettingsSection::makeSecondary(*line);
        layout->addWidget(line);
    }
}

bool CalendarToggle::isOn() const {
    return m_switch->isChecked();
}

void CalendarToggle::setOn(bool on) {
    m_switch->setChecked(on);
}

void CalendarToggle::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        paintDot();
    }
}

void CalendarToggle::paintDot() {
    const double side = kDotSize * QFontInfo(font()).pixelSize() / kBodyTextSize;
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(qCeil(side * ratio), qCeil(side * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(GridPalette::color(m_rgb));
    painter.drawEllipse(QRectF(0, 0, side, side));
    painter.end();
    m_switch->setIcon(QIcon(pixmap));
    m_switch->setIconSize(QSize(qCeil(side), qCeil(side)));
}

} // namespace plannery
