#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// Folders that hold what only the user may see or change: the share file and the instance socket
// (in the session's runtime folder), the index cache and the shared settings store. In a folder
// another user can write, a file can be replaced or a symbolic link laid for Plannery to follow;
// in one they can read, event titles, notes and attendees are open to them.
namespace plannery::PrivateFolder {

// Whose folders they must be. `ownerOf` gives the owner the check sees for a folder (its
// recorded owner when empty): tests stand in folders of another user there, which only root
// could make for real.
struct User {
    uid_t uid = ::getuid();
    std::function<uid_t(const std::filesystem::path& folder, uid_t recordedOwner)> ownerOf{};
};

// Makes `folder` (each missing level with mode 0700) or takes the one there, and checks that
// nobody but the user and root can change it or anything on the way to it: no level is a
// symbolic link, each belongs to root or the user and is writable by nobody else unless it is
// sticky (as /tmp is), and `folder` itself belongs to the user and is closed to everyone else.
// None when that holds, else what is wrong, as a clause to end the caller's sentence ("the
// folder “/tmp/plannery-1000” belongs to another user").
std::optional<std::string> make(const std::filesystem::path& folder, const User& user = {});
// The same check of a folder that must be there already; nothing is made.
std::optional<std::string> check(const std::filesystem::path& folder, const User& user = {});

// For folders in the user's own home (caches, settings): makes the folder with mode 0700, or
// takes an existing one away from group and others. An error text when it cannot be made.
std::optional<std::string> closeFolder(const std::filesystem::path& folder);
// Makes the file empty with mode 0600 when missing, or takes an existing one away from group
// and others, without following a symbolic link. An error text when it cannot be opened.
std::optional<std::string> closeFile(const std::filesystem::path& file);

} // namespace plannery::PrivateFolder
