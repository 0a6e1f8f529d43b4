#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the in-app gallery of widget faces shows: which page, at which instants, and the sample
// events it draws when the calendars may not be read.
namespace plannery::WidgetGallery {

enum class Page { overview, small, medium, large, lock, states };

// "small", "medium", "large", "lock" and "states"; anything else is the overview.
Page page(std::string_view name);
std::string_view pageName(Page page);

// The frozen clock of "widgetGalleryNow": a day key and a time ("2025-03-05 14:40"), or a time
// alone for today ("9:05"). None when empty or in neither form.
std::optional<Instant> parseNow(std::string_view text, Instant now, const Calendar& calendar);

// The instants the tile pages draw: 08:00, 09:35, 12:20, 14:40 and 21:30 on now's day.
std::vector<Instant> tileTimes(Instant now, const Calendar& calendar);
// A tile's caption: the short weekday, the hour and the minute ("Wed 2:40 PM").
std::string caption(Instant t, const Calendar& calendar);

// Nine events on three sample calendars, today's around the hour of now (taken as 8 at the
// earliest and 20 at the latest), then tomorrow's and the day after's.
std::vector<CalEvent> sampleEvents(Instant now, const Calendar& calendar);

} // namespace plannery::WidgetGallery
