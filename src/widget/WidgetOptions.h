#pragma once

#include "agenda/AgendaRowStyle.h"
#include "agenda/WidgetFamily.h"
#include "grid/TimeGridColors.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plannery {

// How `plannery-widget` was asked to run: which faces, on which calendars, and whether to draw
// one into a picture instead of showing windows.
struct WidgetOptions {
    std::vector<WidgetFamily> families{}; // one window each; the medium face when none is named
    std::optional<std::string> renderFile{};
    std::optional<std::string> now{}; // as written; read with parseNow in the run's calendar
    std::optional<std::pair<int, int>> size{};
    double scale = 1;
    std::vector<std::filesystem::path> roots{}; // empty: the roots the app shares
    std::optional<std::string> zone{};
    std::optional<Appearance> appearance{}; // none: the desktop's (light in pictures)
    TextSize textSize = TextSize::large;
    // How long a minute of the widget's clock lasts, in real milliseconds (benchmarks and demos
    // run a day in minutes).
    double minuteMs = 60000;
    bool help = false;
    // One sentence per argument that could not be used; the run stops with these.
    std::vector<std::string> problems{};
};

WidgetOptions parseWidgetOptions(const std::vector<std::string>& arguments);

// The usage text.
std::string widgetUsage();

// An instant as --now takes it: "YYYY-MM-DDTHH:MM" on the calendar's wall clock, or an ISO 8601
// instant with its offset ("2026-03-09T14:20:00+01:00", "...Z"). None for anything else.
std::optional<Instant> parseWidgetNow(std::string_view text, const Calendar& calendar);

} // namespace plannery
