#pragma once

#include "detail/Ics.h"
#include "platform/PrivateFolder.h"

#include <filesystem>
#include <optional>
#include <string>

namespace plannery {

struct IcsWriteResult {
    std::optional<std::filesystem::path> file; // the written file
    std::optional<std::string> error;          // a sentence for the user

    bool ok() const { return !error.has_value(); }
};

namespace Ics {

// Writes the event as the only file of `directory`: the folder is made (mode 0700) or emptied
// (it belongs to the share file alone), and the file is written atomically under a name made
// from the title. The folder must be the user's own, closed to others, on a way no one else can
// change (PrivateFolder::make); otherwise nothing is written or removed. Stamped now, all-day
// dates in the machine's calendar.
IcsWriteResult write(const IcsEvent& event, const std::filesystem::path& directory);

// The same with the stamp, the calendar and the user given.
IcsWriteResult write(const IcsEvent& event, const std::filesystem::path& directory, Instant stamp,
                     const Calendar& calendar, const PrivateFolder::User& user = {});

} // namespace Ics

} // namespace plannery
