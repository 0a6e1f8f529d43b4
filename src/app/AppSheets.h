#pragma once

#include "app/RootView.h"

class QSettings;

namespace plannery {

class CalendarStore;

// The sheets the window opens: an event in the viewer (its answers, Edit and Delete), a new
// event in the editor, and the settings, whose grid preferences reach the window's grids at
// once. `store` and `defaults` must outlive the window.
RootView::Sheets appSheets(CalendarStore& store, QSettings& defaults);

} // namespace plannery
