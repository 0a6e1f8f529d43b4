#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <string>
#include <vector>

// The clock texts of the time grid and the spoken labels of its tiles and chips. Everything
// locale-dependent comes from ICU formatters built once per thread and kept (DateFormats).
namespace plannery::TimeGridText {

// The locale's hour-and-minute pattern without its day period ("h:mm" for en_US, "HH:mm" for
// de_DE): for the gutter's now label and wherever space is short. "HH:mm" when nothing is left.
std::string compactPattern(const std::string& localeId);
// t in the compact pattern, in the calendar's zone and locale.
std::string compactTime(Instant t, const Calendar& calendar);
// t in the locale's short time style, without a date.
std::string shortTime(Instant t, const Calendar& calendar);

// The time range of an event as a tile shows it. An event within one day, counting one that
// ends exactly at the next midnight, reads as one interval ("9:00 – 10:30 PM"); one that runs
// into another day gives both short times joined by a spaced en dash.
std::string timeRange(const CalEvent& event, const Calendar& calendar);

// The gutter's 25 labels for the hours 0...24 (24 reads as midnight again): "HH:mm" in 24-hour
// locales, "12a", "1a", ..., "11p", "12a" where the day periods are AM and PM, and the locale's own
// hour pattern ("오전 12시") where they are something else.
std::vector<std::string> hourTexts(const std::string& localeId);

// What a screen reader says for a timed event's tile: title, time range, location, then
// whether it is canceled, tentative or declined.
std::string eventAccessibilityLabel(const CalEvent& event, const Calendar& calendar);
// An all-day chip: "Title, all day".
std::string chipAccessibilityLabel(const CalEvent& event);
// The overflow chip's spoken label ("3 more all-day events") and its visible text ("+3").
std::string overflowAccessibilityLabel(int count);
std::string overflowText(int count);

} // namespace plannery::TimeGridText
