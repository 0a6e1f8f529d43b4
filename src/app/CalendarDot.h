#pragma once

#include "model/EventStore.h"

#include <QIcon>

#include <optional>

namespace plannery {

// The coloured dots of the calendar menus: a filled circle in the calendar's colour (grey for a
// calendar without one), drawn once per colour and kept for the whole run, so calendars of the
// same colour share one picture. Menus show it in its own colours, never tinted.
namespace CalendarDot {

inline constexpr int kSide = 14;

QIcon icon(const std::optional<PlatformColor>& color);

} // namespace CalendarDot

} // namespace plannery
