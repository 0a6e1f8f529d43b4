#include "platform/PrivateFolder.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;

mode_t modeOf(const fs::path& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

std::string quoted(const fs::path& path) {
    return "\u201C" + path.string() + "\u201D";
}

// The user as the check sees them, with the folders in `foreign` standing for folders of
// another user (only root could make such folders for real).
PrivateFolder::User userWith(std::vector<fs::path> foreign) {
    return PrivateFolder::User{
        .uid = ::getuid(),
        .ownerOf = [foreign = std::move(foreign)](const fs::path& folder, uid_t owner) {
            return std::find(foreign.begin(), foreign.end(), folder) == foreign.end()
                       ? owner
                       : ::getuid() + 1000;
        }};
}

TEST(PrivateFolder, MakesMissingLevelsClosedAndTakesFoldersOfTheUsersOwn) {
    test::TempDir dir;
    const fs::path folder = dir.path() / "run" / "plannery" / "Share";
    EXPECT_EQ(PrivateFolder::make(folder), std::nullopt);
    for (const fs::path& level : {dir.path() / "run", dir.path() / "run" / "plannery", folder}) {
        EXPECT_EQ(modeOf(level), 0700u) << level;
    }
    // Made once, taken as it is afterwards; the check alone makes nothing.
    EXPECT_EQ(PrivateFolder::make(folder), std::nullopt);
    EXPECT_EQ(PrivateFolder::check(folder), std::nullopt);
    EXPECT_EQ(PrivateFolder::check(dir.path() / "missing"),
              "the folder " + quoted(dir.path() / "missing") +
                  " cannot be opened (No such file or directory)");
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
    // A sticky folder open to all, as /tmp is, may lie on the way; trailing separators and
    // relative levels do not matter.
    fs::create_directory(dir.path() / "tmp");
    fs::permissions(dir.path() / "tmp", fs::perms::all | fs::perms::sticky_bit);
    EXPECT_EQ(PrivateFolder::make(dir.path() / "tmp" / "plannery-1" / ""), std::nullopt);
    EXPECT_EQ(PrivateFolder::check(dir.path() / "tmp" / "x" / ".." / "plannery-1"), std::nullopt);
}

TEST(PrivateFolder, RefusesFoldersOthersOwnOpenOrLinkAndTouchesNothingBeyond) {
    test::TempDir dir;
    const fs::path elsewhere = dir.path() / "victim";
    fs::create_directory(elsewhere);
    fs::permissions(elsewhere, fs::perms::owner_all);

    // A symbolic link laid where the folder is expected is never followed, not even to a folder
    // of the user's own.
    fs::create_directory_symlink(elsewhere, dir.path() / "plannery-1000");
    EXPECT_EQ(PrivateFolder::make(dir.path() / "plannery-1000" / "Share"),
              quoted(dir.path() / "plannery-1000") + " is a symbolic link");
    EXPECT_FALSE(fs::exists(elsewhere / "Share"));

    // A folder another user made first, at the end or on the way.
    const fs::path taken = dir.path() / "plannery-1001";
    fs::create_directory(taken);
    fs::permissions(taken, fs::perms::owner_all);
    const std::string foreign = "the folder " + quoted(taken) + " belongs to another user";
    EXPECT_EQ(PrivateFolder::make(taken, userWith({taken})), foreign);
    EXPECT_EQ(PrivateFolder::make(taken / "Share", userWith({taken})), foreign);
    EXPECT_FALSE(fs::exists(taken / "Share"));
    // Root's folders may lie on the way, never at the end: here every folder the test made
    // stands for one of root's, checked for another user.
    const PrivateFolder::User other{
        .uid = ::getuid() + 1000,
        .ownerOf = [](const fs::path&, uid_t owner) { return owner == ::getuid() ? 0 : owner; }};
    EXPECT_EQ(PrivateFolder::check(taken, other),
              "the folder " + quoted(taken) + " belongs to another user");

    // A folder others may list or change.
    const fs::path open = dir.path() / "open";
    fs::create_directory(open);
    fs::permissions(open, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EQ(PrivateFolder::make(open), "the folder " + quoted(open) + " is open to other users");
    fs::permissions(open, fs::perms::all);
    EXPECT_EQ(PrivateFolder::make(open / "Share"),
              "other users can change the folder " + quoted(open));
    EXPECT_FALSE(fs::exists(open / "Share"));

    // A file where a folder belongs.
    const fs::path file = dir.write("file", "keep");
    EXPECT_EQ(PrivateFolder::make(file / "Share"), quoted(file) + " is not a folder");
}

TEST(PrivateFolder, ClosesCacheFoldersAndFilesOfEarlierRuns) {
    test::TempDir dir;
    const fs::path folder = dir.path() / "cache" / "plannery";
    EXPECT_EQ(PrivateFolder::closeFolder(folder), std::nullopt);
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(PrivateFolder::closeFile(folder / "index.sqlite"), std::nullopt);
    EXPECT_EQ(modeOf(folder / "index.sqlite"), 0600u);

    // What an earlier version left open to everyone is closed, content kept.
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    const fs::path old = dir.write("cache/plannery/old.sqlite", "data");
    fs::permissions(old, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                             fs::perms::others_read);
    EXPECT_EQ(PrivateFolder::closeFolder(folder), std::nullopt);
    EXPECT_EQ(PrivateFolder::closeFile(old), std::nullopt);
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(modeOf(old), 0600u);
    EXPECT_EQ(fs::file_size(old), 4u);

    EXPECT_TRUE(PrivateFolder::closeFolder(old / "below"));
    // A link in the file's place is not followed.
    fs::create_symlink(old, folder / "link.sqlite");
    EXPECT_TRUE(PrivateFolder::closeFile(folder / "link.sqlite"));
}

} // namespace
} // namespace plannery
