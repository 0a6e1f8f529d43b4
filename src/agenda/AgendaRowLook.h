#pragma once

#include "grid/TimeGridTileStyle.h"
#include "model/CalEvent.h"
#include "model/Instant.h"

// How an event row of the agenda list is tinted and faded.
namespace plannery::AgendaRowLook {

// The whole row's opacity: declined events fade as their tiles do in the grid (also when they
// are past), timed events that are over fade a little, the rest are drawn in full.
double opacity(const CalEvent& event, Instant now);
inline constexpr double declinedOpacity = TimeGridTileStyle::declinedOpacity;
inline constexpr double pastOpacity = 0.55;

// The alpha of the first calendar's colour behind the row: all-day events stand out more.
double fillAlpha(const CalEvent& event);
inline constexpr double allDayFillAlpha = 0.18;
inline constexpr double timedFillAlpha = 0.08;

// The rounded shape every row is drawn on and clipped to.
inline constexpr double cornerRadius = 6;

// A tentative event's dashed border inside that shape, in the first calendar's colour.
inline constexpr double tentativeBorderWidth = 1;
inline constexpr double tentativeDashOn = 3;
inline constexpr double tentativeDashOff = 2;
inline constexpr double tentativeBorderAlpha = 0.6;

} // namespace plannery::AgendaRowLook
