#include "app/EventConfirmationBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace plannery {

EventConfirmationBar::EventConfirmationBar(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_question = new QLabel(this);
    m_question->setWordWrap(true);
    layout->addWidget(m_question);
    m_choices = new QHBoxLayout;
    layout->addLayout(m_choices);
    hide();
}

void EventConfirmationBar::ask(const Confirmation& confirmation,
                               std::function<void(std::optional<Span>)> answered) {
    // The buttons of an earlier question may be the one being clicked: they go once it returns.
    while (QLayoutItem* item = m_choices->takeAt(0)) {
        if (QWidget* old = item->widget()) {
            old->hide();
            old->deleteLater();
        }
        delete item;
    }
    m_question->setText(QString::fromStdString(confirmation.question));
    m_choices->addStretch();
    auto* cancel = new QPushButton(tr("Cancel"), this);
    connect(cancel, &QPushButton::clicked, this, [this] { answer(std::nullopt); });
    m_choices->addWidget(cancel);
    for (const SpanChoice& choice : confirmation.choices) {
        auto* button = new QPushButton(QString::fromStdString(choice.label), this);
        connect(button, &QPushButton::clicked, this, [this, span = choice.span] { answer(span); });
        m_choices->addWidget(button);
    }
    m_answered = std::move(answered);
    show();
    if (!confirmation.choices.empty()) {
        m_choices->itemAt(m_choices->count() - 1)->widget()->setFocus();
    }
}

void EventConfirmationBar::answer(std::optional<Span> span) {
    hide();
    if (auto answered = std::exchange(m_answered, nullptr)) {
        answered(span);
    }
}

} // namespace plannery
