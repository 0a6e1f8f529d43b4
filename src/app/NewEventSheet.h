#pragma once

#include "app/EventEditorDialog.h"
#include "model/Instant.h"

#include <functional>
#include <optional>

class QWidget;

namespace plannery {

class CalendarStore;

// The sheet that creates a new event: the event editor on a new event from `start` to `end` (an
// hour when there is no end) on the store's default calendar for new events. However the editor
// ends, the sheet is dismissed; a saved event reaches the views through the store's change
// notification, nothing else.
namespace NewEventSheet {

// The editor's delegate: whatever the result, it dismisses the sheet.
struct Coordinator {
    std::function<void()> dismiss;

    void editorFinished(EditorResult result) const;
};

// The editor, not yet shown: the caller presents it (the root view opens it as a sheet, and its
// closing is the sheet's dismissal). `dismiss` is called once it closed, with any result.
EventEditorDialog* make(QWidget* parent, Instant start, std::optional<Instant> end,
                        CalendarStore& store, std::function<void()> dismiss = {});

} // namespace NewEventSheet

} // namespace plannery
