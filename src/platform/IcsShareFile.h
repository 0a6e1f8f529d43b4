#pragma once

#include "detail/Ics.h"

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

// Writes the event as the only file of `directory`: the folder is emptied (it belongs to the
// share file alone), created again, and the file is written atomically under a name made from
// the title. Stamped now, all-day dates in the machine's calendar.
IcsWriteResult write(const IcsEvent& event, const std::filesystem::path& directory);

// The same with the stamp and the calendar given.
IcsWriteResult write(const IcsEvent& event, const std::filesystem::path& directory, Instant stamp,
                     const Calendar& calendar);

} // namespace Ics

} // namespace plannery
