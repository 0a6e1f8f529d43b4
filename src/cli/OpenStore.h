#pragma once

#include "model/Calendar.h"
#include "model/CalendarMirrors.h"
#include "platform/VdirEventStore.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Opening the calendars a command works on, and the messages that go with it.
namespace plannery::cli {

// The named roots made absolute, or the default root when none is named.
std::vector<std::filesystem::path> rootsOrDefault(const std::vector<std::filesystem::path>& roots);

// Opens the store over checked roots, every file compared with the index; nullptr (after
// saying why on `err`) when a root cannot be read. The default folder not existing yet is no
// error: there are simply no calendars. What was read other than as written is said on `err`
// too. `emails` are the user's own addresses (--email); without them each account's is found
// in its events.
std::unique_ptr<VdirEventStore> openStore(const std::vector<std::filesystem::path>& namedRoots,
                                          const Calendar& calendar, bool verbose, std::ostream& err,
                                          const std::vector<std::string>& emails = {});

// The calendars that mirror each other around `now`: as the index cache remembers them for the
// day when no calendar and no file changed since, else found again (and remembered).
CalendarMirrors mirrorGroups(VdirEventStore& store, Instant now, const Calendar& calendar);

} // namespace plannery::cli
