#pragma once

#include "model/EventStore.h"
#include "platform/VdirLayout.h"

#include <filesystem>
#include <optional>
#include <string_view>

// Writing calendar files so that neither a crash nor a sync running at the same time loses
// anything: the bytes go to a temporary file in the same folder, are flushed to disk and renamed
// over the old file (the folder is flushed too), and a file is only overwritten or removed while
// it is still the one that was read.
namespace plannery::vdir {

// `expected`: the stamp of the file as it was read, or nullopt for a new file (which must not
// exist yet). On success, the new file's stamp.
struct FileWriteResult {
    std::optional<FileStamp> stamp;
    std::optional<std::string> error; // a sentence for the user
};

FileWriteResult writeFile(const std::filesystem::path& path, std::string_view bytes,
                          const std::optional<FileStamp>& expected);

// Removes the file when it still has the expected stamp.
WriteResult removeFile(const std::filesystem::path& path, const FileStamp& expected);

// Whether a name in a calendar folder is the temporary file of a writer that died before it could
// rename or remove it (a process killed mid-write): ".<name>.<pid>-<n>.tmp" of a process that is
// gone. Such files hold nothing the calendar needs and may be removed.
bool isLeftover(std::string_view name);

// The sentence of a file that changed on disk since it was read.
inline constexpr std::string_view kChangedOnDisk =
    "The event was changed on disk by another program (a sync, perhaps) since it was read. "
    "Nothing was saved; the other change is kept.";

} // namespace plannery::vdir
