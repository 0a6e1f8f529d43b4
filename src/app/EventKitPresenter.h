#pragma once

#include "app/EventEditorDialog.h"
#include "app/EventViewerDialog.h"
#include "model/Calendar.h"
#include "model/EventStore.h"

#include <QObject>

#include <functional>

class QWidget;

namespace plannery {

// Opens the event editor or the event viewer from anywhere in the app, on top of whatever the
// window shows, and passes on how it ended. One pending callback of each kind: a new `edit` or
// `show` replaces the one before, and a callback is called at most once.
class EventKitPresenter final : public QObject {
    Q_OBJECT

  public:
    using EditDone = EventEditorDialog::Finished;
    using ViewDone = EventViewerDialog::Finished;

    // `calendar` gives the user's calendar whenever a screen opens.
    explicit EventKitPresenter(std::function<Calendar()> calendar, QObject* parent = nullptr);
    ~EventKitPresenter() override;

    // Opens the editor on a new or saved event, writing to `store`. Returns the editor, or null
    // when there is no window to open it on (then `done` is never called).
    EventEditorDialog* edit(const StoreEvent& event, CalendarStore& store, EditDone done);
    // Opens the viewer on a saved event; answers and deletions are written to `store`.
    EventViewerDialog* show(const StoreEvent& event, CalendarStore& store, ViewDone done);

    // Where a new screen opens: the topmost dialog shown over the active window (or the first
    // window when none is active), leaving out one that is closing; null without a window.
    static QWidget* presentingWidget();

  private:
    std::function<Calendar()> m_calendar;
    EditDone m_onEdit;
    ViewDone m_onView;
};

} // namespace plannery
