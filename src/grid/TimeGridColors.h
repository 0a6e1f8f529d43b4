#pragma once

#include "grid/BarberPole.h"
#include "grid/Geometry.h"
#include "model/CalEvent.h"

#include <cstddef>
#include <vector>

namespace plannery {

// The light or dark look of the desktop; the views resolve it and redraw when it changes.
enum class Appearance { light, dark };

// How a calendar's colour becomes the fills and text colours of tiles and chips. All results are
// opaque.
namespace TimeGridColors {

// The background of a tile or chip: a pale tint on white when light, a deep shade when dark.
RGB fill(RGB color, Appearance appearance);
// The title and time text on that background: darker when light, lighter when dark.
RGB text(RGB color, Appearance appearance);

// The most colours a multi-calendar stripe shows.
inline constexpr std::size_t maxStripeColors = 4;
// The colours of the stripe of an event held by these calendars, in calendar order: at most the
// first four. No calendars, no colours, and nothing is drawn.
std::vector<RGB> stripeColors(const std::vector<CalendarRef>& calendars);

// The width of the stripe along the left edge of a tile or chip: wider for events on several
// calendars, narrower on compact ones.
double stripeWidth(bool compact, std::size_t calendarCount);

// One colour of a stripe and the bands it fills.
struct StripeFill {
    RGB color{};
    FillPath path{};

    friend bool operator==(const StripeFill&, const StripeFill&) = default;
};

// What drawing the stripe into `rect` fills: the standard bands, path i in colour i, clipped to
// the rect by the painter. A single calendar fills the whole rect; no calendars fill nothing.
std::vector<StripeFill> stripe(const std::vector<CalendarRef>& calendars, const Rect& rect);

} // namespace TimeGridColors

} // namespace plannery
