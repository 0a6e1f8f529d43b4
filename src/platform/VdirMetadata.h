#pragma once

#include "model/EventStore.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The small files that describe vdir folders: a collection's `displayname` and `color`, and the
// optional account.ini and calendar.ini. Other programs and people write them, so each is read
// defensively: a file too large to be what it claims, bytes that are not text, or a value that
// means nothing gives the default, with a sentence for the user where the file needs fixing.
// Reading never changes a file.
namespace plannery::vdir {

// A value read from a metadata file, and what the user should hear about the file.
template <typename Value> struct MetadataRead {
    Value value{};
    std::vector<std::string> notes;
};

struct AccountIni {
    SourceType type = SourceType::calDAV; // what vdirsyncer syncs, and the default
    std::optional<std::string> title;
    std::vector<std::string> emails; // lower case
};

struct CalendarIni {
    std::optional<CalendarType> type; // absent: the account's kind decides
    bool readOnly = false;
    bool isDefault = false; // `default = true`: where new events go
};

// A missing file gives the defaults without a note.
MetadataRead<AccountIni> readAccountIni(const std::filesystem::path& file);
MetadataRead<CalendarIni> readCalendarIni(const std::filesystem::path& file);

// The title in a `displayname` file, as one line of UTF-8 text (line breaks and other control
// characters become spaces; bytes that are not UTF-8 are read as Latin-1); nullopt when the file
// is missing, blank or too large.
MetadataRead<std::optional<std::string>> readDisplayName(const std::filesystem::path& file);

// The colour in a `color` file; nullopt when the file is missing or holds no colour.
MetadataRead<std::optional<PlatformColor>> readColor(const std::filesystem::path& file);

// "#RGB", "#RRGGBB" or "#RRGGBBAA" (surrounding white space allowed) as components r, g, b,
// alpha.
std::optional<PlatformColor> parseColor(std::string_view text);

// Any bytes as one line of valid UTF-8, as displayname files are read.
std::string oneLineText(std::string_view bytes);

// ASCII letters in lower case: keys of .ini files, types and e-mail addresses compare so.
std::string lowered(std::string_view text);

} // namespace plannery::vdir
