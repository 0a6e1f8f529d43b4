#pragma once

#include "grid/ViewMode.h"

#include <functional>

namespace plannery {

// The commands of one window that the menu bar reaches: its mode and the navigation commands
// of the same names. A window hands these out while it is the active one.
struct CalendarActions {
    ViewMode mode = ViewModes::defaultMode;
    std::function<void(ViewMode)> setMode;
    std::function<void()> today;
    std::function<void(int pages)> page;
    std::function<void()> newEvent;
    std::function<void()> settings;
    std::function<void()> widgetGallery{};
    std::function<void()> eventsFromImage{};
};

} // namespace plannery
