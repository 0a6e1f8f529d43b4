#pragma once

#include "model/EventStore.h"

#include <QLabel>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace plannery {

class CalendarStore;

// What an event's dialog wrote came to: the store's sentence, or the event as it ended.
struct WrittenEvent {
    std::optional<std::string> error;
    StoreEvent ended;
};

// The line where an event's dialog shows the store's sentence: selectable, wrapped, hidden until
// there is one, and in the desktop's red for the palette's appearance.
class DialogErrorLine final : public QLabel {
    Q_OBJECT

  public:
    explicit DialogErrorLine(QWidget* parent);

    void showSentence(const std::string& sentence);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void recolour();
};

// One write of an event's dialog through the calendar store. While it runs, the widgets the user
// could change or press are disabled and the dialog cannot be cancelled; a write the store
// refused shows its sentence and leaves every field as it was, so it can be tried again.
class DialogWrite {
  public:
    using Work = std::function<WrittenEvent(EventStore&)>;
    using Ended = std::function<void(const StoreEvent&)>;

    // `error` shows the store's sentence; `frozen` cannot be used while the store writes.
    void setWidgets(DialogErrorLine* error, std::vector<QWidget*> frozen);

    bool running() const { return m_running; }

    // Runs `work` through `store` for `dialog` (see CalendarStore::write); `ended` gets the event
    // as the store wrote it, unless the store gave a sentence instead.
    void carryOut(CalendarStore& store, QObject* dialog, Work work, Ended ended);

  private:
    void setRunning(bool running);

    DialogErrorLine* m_error = nullptr;
    std::vector<QWidget*> m_frozen;
    bool m_running = false;
};

} // namespace plannery
