#include "app/TitlePopover.h"

#include "model/DateFormats.h"

#include <QCalendarWidget>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace plannery {

TitlePopover::TitlePopover(Calendar calendar, int workDaysPerWeek, Handlers handlers,
                           QWidget* parent)
    : QFrame(parent, Qt::Popup), m_calendar(std::move(calendar)), m_handlers(std::move(handlers)) {
    setObjectName(QStringLiteral("titlePopover"));
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(this);

    auto* heading = new QHBoxLayout;
    auto* goTo = new QLabel(tr("Go to"), this);
    QFont bold = goTo->font();
    bold.setBold(true);
    goTo->setFont(bold);
    heading->addWidget(goTo);
    heading->addStretch(1);
    m_month = new QLabel(this);
    m_month->setObjectName(QStringLiteral("titleMonth"));
    heading->addWidget(m_month);
    layout->addLayout(heading);

    m_picker = new QCalendarWidget(this);
    m_picker->setObjectName(QStringLiteral("dayPicker"));
    m_picker->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    // Weekday counts from Sunday = 1, Qt's from Monday = 1.
    const int first = static_cast<int>(m_calendar.firstWeekday());
    m_picker->setFirstDayOfWeek(static_cast<Qt::DayOfWeek>((first + 5) % 7 + 1));
    layout->addWidget(m_picker);
    connect(m_picker, &QCalendarWidget::clicked, this, [this](QDate date) {
        if (const auto day = m_calendar.date(date.year(), date.month(), date.day(), 12)) {
            pick(m_calendar.startOfDay(*day));
        }
    });
    connect(m_picker, &QCalendarWidget::currentPageChanged, this, [this](int year, int month) {
        if (const auto first = m_calendar.date(year, month, 1, 12)) {
            m_month->setText(QString::fromStdString(DateFormats::formatSkeleton(
                "MMMMy", *first, m_calendar.localeId(), m_calendar.zoneId())));
        }
    });

    auto* today = new QPushButton(tr("Today"), this);
    today->setObjectName(QStringLiteral("popoverToday"));
    layout->addWidget(today);
    connect(today, &QPushButton::clicked, this, [this] { pick(m_calendar.startOfDay(m_today)); });

    auto* modes = new QHBoxLayout;
    for (const ViewMode mode : ViewModes::all) {
        auto* button = new QToolButton(this);
        const auto raw = ViewModes::rawValue(mode);
        button->setObjectName(QStringLiteral("quickMode-") +
                              QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size())));
        button->setText(QString::fromStdString(ViewModes::title(mode, workDaysPerWeek)));
        button->setCheckable(true);
        button->setAutoRaise(true);
        modes->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, mode] {
            if (m_handlers.onMode) {
                m_handlers.onMode(mode);
            }
            close();
        });
    }
    layout->addLayout(modes);
}

void TitlePopover::present(ViewMode mode, Instant day, Instant today) {
    m_today = today;
    const DateComponents c = m_calendar.components(day);
    m_picker->setSelectedDate(QDate(c.year, c.month, c.day));
    m_picker->setCurrentPage(c.year, c.month);
    m_month->setText(QString::fromStdString(
        DateFormats::formatSkeleton("MMMMy", day, m_calendar.localeId(), m_calendar.zoneId())));
    for (const ViewMode each : ViewModes::all) {
        const auto raw = ViewModes::rawValue(each);
        if (auto* button = findChild<QToolButton*>(
                QStringLiteral("quickMode-") +
                QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size())))) {
            button->setChecked(each == mode);
        }
    }
}

QString TitlePopover::monthTitle() const {
    return m_month->text();
}

void TitlePopover::pick(Instant day) {
    if (m_handlers.onDay) {
        m_handlers.onDay(day);
    }
    close();
}

void TitlePopover::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    if (m_handlers.onClose) {
        m_handlers.onClose();
    }
}

} // namespace plannery
