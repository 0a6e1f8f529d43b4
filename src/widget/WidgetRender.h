#pragma once

#include "widget/WidgetOptions.h"

#include <QImage>

#include <optional>
#include <ostream>
#include <string>

namespace plannery {

class WidgetCalendars;

// Draws one face into a picture, as the widget window would show it at the given instant. Needs
// a Qt application (any platform, offscreen included) and no window.
namespace WidgetRender {

// The face of `options.families.front()` (the medium face when none is named) at `now`.
QImage image(const WidgetOptions& options, WidgetCalendars& calendars, Instant now);

// `plannery-widget --render FILE`: 0 when the picture was written; 1, with one sentence on
// `err`, when --now cannot be read or the file cannot be written.
int run(const WidgetOptions& options, std::ostream& err);

} // namespace WidgetRender

} // namespace plannery
