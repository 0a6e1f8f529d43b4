#pragma once

#include <set>
#include <string>
#include <vector>

class QSettings;

namespace plannery {

// The calendar settings in the app's own preferences: "hiddenCalendarIDs" (a list of strings),
// "showDeclined" (a bool), "mirroredCalendars" (a list of lists of strings) and
// "ownEmailAddresses" (a list of the user's addresses). A value edited by hand into something
// else reads as the default; an address list keeps only what are addresses. Without preferences
// (null) nothing is read or written.
namespace CalendarPreferences {

struct Values {
    std::set<std::string> hiddenCalendarIDs{};
    bool showDeclined = false;
    std::vector<std::vector<std::string>> mirrorGroups{};
    std::vector<std::string> ownAddresses{};
};

Values read(const QSettings* defaults);
void writeHidden(QSettings* defaults, const std::set<std::string>& ids);
void writeShowDeclined(QSettings* defaults, bool show);
void writeMirrorGroups(QSettings* defaults, const std::vector<std::vector<std::string>>& groups);
void writeOwnAddresses(QSettings* defaults, const std::vector<std::string>& addresses);

} // namespace CalendarPreferences

} // namespace plannery
