#pragma once

#include "app/DialogEnding.h"
#include "app/DialogWrite.h"
#include "detail/EventEditActions.h"
#include "detail/EventEditAlerts.h"
#include "detail/EventEditForm.h"
#include "model/Calendar.h"
#include "model/EventStore.h"

#include <QDialog>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;
class QWidget;

namespace plannery {

class CalendarStore;
class EventConfirmationBar;

// The event editor: title, location, all-day, start, end, time zone, calendar, link, notes and
// alerts of a new or saved event, with Save, Cancel and (for a saved event) Delete. It writes
// through the calendar store (on its worker, once the window has painted) and reports how it
// ended exactly once, closing itself first.
//
// What the user typed is never lost to a failed write: the store's sentence (an end before the
// start, a file a sync changed meanwhile, a calendar that went away) is shown above the buttons
// and every field keeps its value, so Save can be tried again. A save reads the event again
// first and changes only the fields the user changed, so a retry keeps what the sync wrote
// into the others. An event on a calendar that takes no changes is shown without Save and
// Delete.
class EventEditorDialog final : public QDialog {
    Q_OBJECT

  public:
    // The result, and the event as it ended: as saved (with the identifier the store gave it),
    // as deleted, or as it was opened.
    using Finished = DialogEnding<EditorResult>::Handler;

    // `calendar` is the user's: floating and all-day times are on its clock.
    EventEditorDialog(StoreEvent event, CalendarStore& store, Calendar calendar,
                      QWidget* parent = nullptr);
    ~EventEditorDialog() override;

    void setOnFinished(Finished handler);
    const StoreEvent& event() const { return m_event; }

    // Escape and closing the window cancel.
    void reject() override;

  private:
    void buildFields();
    void buildButtons();
    void showForm(const EventEditForm& form);
    EventEditForm currentForm() const;
    void fillTimeZones(const std::optional<std::string>& zone);
    void fillCalendars(const std::string& selected);
    void fillAlerts(bool allDay, const std::vector<Alarm>& checked);
    void setTimesVisible(bool allDay);
    void startEdited();
    void allDayToggled(bool allDay);
    void request(EditorAction action);
    void ask(const Confirmation& confirmation, EditorAction action);
    void carryOut(EditorAction action, Span span);
    void finish(EditorResult result, const StoreEvent& event);

    StoreEvent m_event;
    CalendarStore& m_store;
    Calendar m_calendar;
    // The form as the editor opened, read back from the fields: a save applies what differs.
    EventEditForm m_opened;
    // The start the end was last measured from, so that moving the start moves the end along.
    WallClock m_shownStart;
    std::vector<AlertChoice> m_alertChoices;
    DialogEnding<EditorResult> m_ending;
    DialogWrite m_write;

    QWidget* m_fields = nullptr;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_location = nullptr;
    QCheckBox* m_allDay = nullptr;
    QDateEdit* m_startDate = nullptr;
    QTimeEdit* m_startTime = nullptr;
    QDateEdit* m_endDate = nullptr;
    QTimeEdit* m_endTime = nullptr;
    QComboBox* m_timeZone = nullptr;
    QLabel* m_timeZoneLabel = nullptr;
    QComboBox* m_calendarBox = nullptr;
    QLineEdit* m_url = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    QListWidget* m_alerts = nullptr;
    QLabel* m_note = nullptr;
    DialogErrorLine* m_error = nullptr;
    EventConfirmationBar* m_question = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_delete = nullptr;
};

} // namespace plannery
