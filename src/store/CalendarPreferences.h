#pragma once

#include <set>
#include <string>
#include <vector>

class QSettings;

namespace plannery {

// The calendar settings in the app's own preferences: "hiddenCalendarIDs" (a list of strings),
// "showDeclined" (a bool) and "mirroredCalendars" (a list of lists of strings). A value edited
// by hand into something else reads as the default. Without preferences (null) nothing is read
// or written.
namespace CalendarPreferences {

struct Values {
    std::set<std::string> hiddenCalendarIDs{};
    bool showDeclined = false;
    std::vector<std::vector<std::string>> mirrorGroups{};
};

Values read(const QSettings* defaults);
void writeHidden(QSettings* defaults, const std::set<std::string>& ids);
void writeShowDeclined(QSettings* defaults, bool show);
void writeMirrorGroups(QSettings* defaults, const std::vector<std::vector<std::string>>& groups);

} // namespace CalendarPreferences

} // namespace plannery
