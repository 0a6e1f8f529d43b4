#pragma once

#include "model/Calendar.h"
#include "model/Instant.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace plannery {

// How the window starts: on which day, and with the settings sheet, the title popover or the
// events-from-image sheet already open, or with the widget gallery in place of the calendars.
// Read from the preferences "anchor", "showSettings", "showTitlePopover", "imageEventsDemo",
// "widgetGallery", "widgetGalleryPage" and "widgetGalleryNow" (never written by the app), or for
// one run from the command line: `--anchor 2026-03-07`, `--showSettings`, `--showSettings=false`,
// `--widgetGalleryNow "2025-03-05 14:40"`.
struct LaunchOptions {
    std::optional<Instant> anchor{}; // start of a day; none means today
    bool showSettings = false;
    bool showTitlePopover = false;
    bool imageEventsDemo = false;
    bool widgetGallery = false;
    std::string widgetGalleryPage{}; // which page of the gallery; empty for the overview
    std::string widgetGalleryNow{};  // the gallery's frozen clock as written; empty for none
    // One sentence per value that could not be read; that value was ignored.
    std::vector<std::string> problems{};
};

// The launch options from the command line's arguments (without the program's name) over the
// stored preferences (key to the text stored; a boolean reads "true" or "false"). An option on
// the command line wins over the preference; a bad one is reported and the preference (or the
// default) applies. An option is written "--name" or "-name", its value after "=" or as the
// next argument; a switch given without a value is on. Arguments that are not these options
// belong to others and are skipped.
LaunchOptions parseLaunchOptions(const std::vector<std::string>& arguments,
                                 const std::map<std::string, std::string>& preferences,
                                 const Calendar& calendar);

} // namespace plannery
