#pragma once

#include "agenda/WidgetFamily.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

// The widget program as the app reaches it from the gallery: starting it with a face, and the
// autostart entry that starts it at login.
namespace plannery::WidgetProcess {

// `plannery-widget` beside the app (a build folder, an install), else the one on the PATH.
QString program();

// Starts the program with one window showing the face.
void place(WidgetFamily family);

// The faces it starts at login; none while it does not start.
std::optional<std::vector<WidgetFamily>> autostart();
// Starts it at login with these faces, or no longer (none); a sentence when that failed.
std::optional<std::string> setAutostart(const std::vector<WidgetFamily>& families);

} // namespace plannery::WidgetProcess
