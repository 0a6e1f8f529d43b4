#include "app/NewEventSheet.h"

#include "detail/EventEditForm.h"
#include "store/CalendarStore.h"

#include <utility>

namespace plannery::NewEventSheet {

void Coordinator::editorFinished(EditorResult) const {
    if (dismiss) {
        dismiss();
    }
}

EventEditorDialog* make(QWidget* parent, Instant start, std::optional<Instant> end,
                        CalendarStore& store, std::function<void()> dismiss) {
    const Calendar& calendar = store.calendar();
    auto* editor = new EventEditorDialog(
        EventEdit::newEvent(start, end, store.eventStore().defaultCalendarForNewEvents(), calendar),
        store, calendar, parent);
    editor->setOnFinished(
        [coordinator = Coordinator{std::move(dismiss)}](EditorResult result, const StoreEvent&) {
            coordinator.editorFinished(result);
        });
    return editor;
}

} // namespace plannery::NewEventSheet
