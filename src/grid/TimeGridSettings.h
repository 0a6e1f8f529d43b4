#pragma once

#include "grid/TimeGridHours.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <string>
#include <vector>

// The rules of the settings section that chooses how the day and week grids use their height:
// a band of hours fitted to the screen, or all 24 hours at an hour height of the user's choice.
// Each change takes the stored preferences and gives the ones to store; the grid reads them back
// and repairs whatever it cannot show.
namespace plannery::TimeGridSettings {

// An hour of the pickers as the locale writes it: "8 AM", "20 Uhr"; 24 reads "Midnight". The
// hour is taken on the day of `now` (at `now` itself when that day has no such hour).
std::string hourLabel(int hour, Instant now, const Calendar& calendar);

// The hours a band can start at (0...23) and, after `start`, end at (start + 1 ... 24).
std::vector<int> startHours();
std::vector<int> endHours(int start);

// The start and end the pickers show: the band the grid shows for the stored hours.
TimeGridHourRange shownHours(const TimeGridPreferences& preferences);

// A new start; an end at or before it moves to the hour after it.
TimeGridPreferences withStart(TimeGridPreferences preferences, int start);
// A chosen hour height, kept within the grid's zoom bounds; 0 or less chooses none, so the grid
// takes its own default again.
TimeGridPreferences withHourHeight(TimeGridPreferences preferences, double height);

// The sentence under the section.
std::string footer(bool fit);

} // namespace plannery::TimeGridSettings
