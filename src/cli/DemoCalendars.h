#pragma once

#include "cli/Options.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace plannery::cli::DemoCalendars {

struct Settings {
    std::filesystem::path folder; // must not exist yet or be empty
    int events = 2000;            // calendar objects (one UID each) over all calendars
    std::uint64_t seed = 1;
    Date from;     // the first day events are spread over; the generator never reads the clock
    int years = 2; // how long they are spread over
};

struct Summary {
    int events = 0;    // calendar objects written, mirror copies and holidays included
    int files = 0;     // .ics files
    int accounts = 0;  // account folders
    int calendars = 0; // collection folders plus the subscription file
    std::optional<std::string> error; // a sentence when the folder could not be written
};

// Writes a vdir of several accounts with realistic events: the same seed gives byte-identical
// files. Accounts: a CalDAV account (Fastmail) whose "Google Calendar" mirrors the Google
// account's main calendar file for file, a Google account, an Exchange account sharing some
// invitations with Google, a birthdays account, a local account, and a holidays subscription file
// in the root.
Summary write(const Settings& settings);

// "Wrote 2000 events in 1993 files: 5 accounts, 9 calendars, in DIR."
std::string summaryLine(const Summary& summary, const std::filesystem::path& folder);

} // namespace plannery::cli::DemoCalendars
