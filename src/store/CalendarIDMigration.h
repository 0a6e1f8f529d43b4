#pragma once

#include <filesystem>
#include <string>
#include <vector>

class QSettings;

namespace plannery {

class SharedKeychain;

// Calendar identifiers were once paths below the roots, with the root's number in front when
// there were several ("work/cal", "1:work/cal"), so adding or reordering a root renamed them.
// They are now the calendar's absolute path. Settings that still name calendars the old way are
// moved to the new names by the roots they were written with; an identifier of the new kind
// starts with "/" and is never touched, so moving again changes nothing.
namespace CalendarIDMigration {

// The identifier an old one stands for under these roots (in their configured order); any other
// identifier unchanged.
std::string migrated(const std::string& id, const std::vector<std::filesystem::path>& roots);

// Moves the hidden calendars and mirror groups of the app's preferences, the shared settings
// record the widget reads, and the shared preference naming the calendar for events from
// images. Either store may be null.
void migrate(QSettings* defaults, SharedKeychain* keychain,
             const std::vector<std::filesystem::path>& roots);

} // namespace CalendarIDMigration

} // namespace plannery
