#pragma once

#include "app/RootView.h"

class QSettings;

namespace plannery {

class CalendarStore;

// The sheets the window opens: an event in the detail sheet (its copies, replies and edits), a new
// event in the editor, the settings, whose grid preferences reach the window's grids at once, and
// the events found in a picture or a text. `store` and `defaults` must outlive the window.
RootView::Sheets appSheets(CalendarStore& store, QSettings& defaults);

} // namespace plannery
