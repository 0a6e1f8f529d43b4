#pragma once

#include "model/EventStore.h"
#include "platform/VdirLayout.h"

#include <filesystem>
#include <optional>
#include <string_view>

// Writing calendar files so that neither a crash nor a sync running at the same time loses
// anything: the bytes go to a temporary file in the same folder and are flushed to disk; the file
// then takes the old one's place in one step (the folder is flushed too). A file is replaced or
// removed only while it is still the one that was read, and that is checked on what was actually
// replaced, not before: the new file and the old one swap names at once, and when the file swapped
// out is not the one that was read (a sync wrote meanwhile), they swap back and the write fails.
// Writers of this program serialise per calendar folder on a lock file (".plannery.lock", a name
// sync tools and the folder scan pass over).
namespace plannery::vdir {

// A file as it was read: what a write may replace and a removal may take away.
struct ReadFile {
    FileStamp stamp;
    std::string_view bytes;
};

// `expected`: the file as it was read, or nullopt for a new file (which must not exist yet; a file
// that appears meanwhile is never replaced). On success, the new file's stamp.
struct FileWriteResult {
    std::optional<FileStamp> stamp;
    std::optional<std::string> error; // a sentence for the user
};

FileWriteResult writeFile(const std::filesystem::path& path, std::string_view bytes,
                          const std::optional<ReadFile>& expected);

// Removes the file when it is still the one that was read.
WriteResult removeFile(const std::filesystem::path& path, const ReadFile& expected);

// Whether a name in a calendar folder is the temporary file of a writer that died before it could
// rename or remove it (a process killed mid-write): ".<name>.<pid>-<n>.tmp" of a process that is
// gone. Such files hold nothing the calendar needs and may be removed.
bool isLeftover(std::string_view name);

// The name of the lock file in a calendar folder.
inline constexpr std::string_view kLockName = ".plannery.lock";

// The sentence of a file that changed on disk since it was read.
inline constexpr std::string_view kChangedOnDisk =
    "The event was changed on disk by another program (a sync, perhaps) since it was read. "
    "Nothing was saved; the other change is kept.";

// The steps of a replacement or a removal between which another writer can come in. Tests pause
// a writer there (see pauseAt); the program never does.
enum class WriteStep {
    replacing, // the new file is written, the lock taken and the old file checked; not replaced
    swapped,   // the new file has the name; the old one is under the temporary name
    removing,  // the lock is taken and the file checked; it is still in place
    setAside,  // the file to remove is under a temporary name
};

namespace testing {
// Called at every step when set; null (and never set) outside tests.
inline void (*pauseAt)(WriteStep step, const std::filesystem::path& file) = nullptr;
// Makes the swap of names fail as on file systems that lack it; false outside tests.
inline bool withoutExchange = false;
} // namespace testing

} // namespace plannery::vdir
