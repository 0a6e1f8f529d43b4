#include "app/AccessView.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace plannery {

AccessView::AccessView(Handlers handlers, QWidget* parent)
    : QWidget(parent), m_handlers(std::move(handlers)) {
    setObjectName(QStringLiteral("accessView"));
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon::fromTheme(QStringLiteral("x-office-calendar")).pixmap(48, 48));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);

    auto* title = new QLabel(tr("Calendar Access"), this);
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);

    m_message = new QLabel(this);
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_message);

    m_button = new QPushButton(this);
    m_button->setDefault(true);
    layout->addWidget(m_button, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    connect(m_button, &QPushButton::clicked, this, [this] {
        const auto& handler = m_status == AuthorizationStatus::notDetermined
                                  ? m_handlers.allowAccess
                                  : m_handlers.openSettings;
        if (handler) {
            handler();
        }
    });
    setStatus(AuthorizationStatus::notDetermined);
}

void AccessView::setStatus(AuthorizationStatus status) {
    m_status = status;
    if (status == AuthorizationStatus::notDetermined) {
        m_message->setText(tr("Plannery needs access to your calendars to show your events."));
        m_button->setText(tr("Allow Access"));
    } else {
        m_message->setText(
            tr("Plannery can't read your calendars. Allow Full Access in Settings."));
        m_button->setText(tr("Open Settings"));
    }
}

QString AccessView::message() const {
    return m_message->text();
}

} // namespace plannery
