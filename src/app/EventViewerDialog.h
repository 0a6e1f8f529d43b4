#pragma once

#include "app/DialogEnding.h"
#include "app/DialogWrite.h"
#include "detail/EventEditActions.h"
#include "model/Calendar.h"
#include "model/EventStore.h"

#include <QDialog>

#include <functional>
#include <string>

class QDialogButtonBox;
class QLabel;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace plannery {

class CalendarStore;
class EventConfirmationBar;

// The event viewer: what an event says (title, times, place, repetition, calendar, people and
// their answers, alerts, link, notes), with Accept, Maybe and Decline when the user is invited,
// Edit and Delete on a calendar that takes changes, and Done. Answers and deletions go through
// the calendar store (on its worker, once the window has painted); the viewer reports how it ended
// exactly once, closing itself first. A failed write shows the store's sentence and keeps the
// viewer open.
class EventViewerDialog final : public QDialog {
    Q_OBJECT

  public:
    // The result and the event as it ended (read again after an answer).
    using Finished = DialogEnding<ViewerResult>::Handler;

    // `calendar` is the user's: times are shown on its clock.
    EventViewerDialog(StoreEvent event, CalendarStore& store, Calendar calendar,
                      QWidget* parent = nullptr);
    ~EventViewerDialog() override;

    void setOnFinished(Finished handler);
    const StoreEvent& event() const { return m_event; }

    // Escape and closing the window are Done.
    void reject() override;

  private:
    void fill();
    QLabel* addLine(const QString& objectName, const std::string& text);
    void request(ViewerAction action);
    void carryOut(ViewerAction action, Span span);
    void edit();
    void finish(ViewerResult result, const StoreEvent& event);

    StoreEvent m_event;
    CalendarStore& m_store;
    Calendar m_calendar;
    DialogEnding<ViewerResult> m_ending;
    DialogWrite m_write;

    QWidget* m_details = nullptr;
    QVBoxLayout* m_lines = nullptr;
    QWidget* m_replies = nullptr;
    QPushButton* m_accept = nullptr;
    QPushButton* m_maybe = nullptr;
    QPushButton* m_decline = nullptr;
    DialogErrorLine* m_error = nullptr;
    EventConfirmationBar* m_question = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
};

} // namespace plannery
