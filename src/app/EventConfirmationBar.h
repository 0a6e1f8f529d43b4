#pragma once

#include "detail/EventEditActions.h"

#include <QWidget>

#include <functional>
#include <optional>

class QHBoxLayout;
class QLabel;

namespace plannery {

// The question the event editor and viewer ask before an action (which occurrences of a series,
// or whether to delete at all): the question, one button per answer and Cancel, in place of the
// dialog's own buttons. Hidden until asked.
class EventConfirmationBar final : public QWidget {
    Q_OBJECT

  public:
    explicit EventConfirmationBar(QWidget* parent = nullptr);

    // Shows the question; `answered` gets the span of the button clicked, or nothing for Cancel.
    // The bar hides itself before calling it.
    void ask(const Confirmation& confirmation, std::function<void(std::optional<Span>)> answered);

  private:
    void answer(std::optional<Span> span);

    QLabel* m_question = nullptr;
    QHBoxLayout* m_choices = nullptr;
    std::function<void(std::optional<Span>)> m_answered;
};

} // namespace plannery
