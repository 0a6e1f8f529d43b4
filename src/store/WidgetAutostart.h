#pragma once

#include "agenda/WidgetFamily.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Whether the widget process starts with the desktop session, and with which faces: the user's
// own autostart entry ($XDG_CONFIG_HOME/autostart/org.plannery.PlanneryWidget.desktop), which
// takes the place of the installed one (that is off).
namespace plannery::WidgetAutostart {

std::filesystem::path entryFile(const std::filesystem::path& configHome);

// The entry that starts `program` with one window per family.
std::string entryText(const std::string& program, const std::vector<WidgetFamily>& families);

// The families the user's entry starts; none when there is no entry or it is turned off.
std::optional<std::vector<WidgetFamily>> enabled(const std::filesystem::path& configHome);

// Writes the entry (atomically) or, with no families, removes it. A sentence when that failed.
std::optional<std::string> set(const std::filesystem::path& configHome, const std::string& program,
                               const std::vector<WidgetFamily>& families);

} // namespace plannery::WidgetAutostart
