#include "platform/XdgPaths.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;

mode_t modeOf(const fs::path& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

TEST(XdgPaths, WithoutHomeTheUsersHomeFolderNotTheSharedTemporaryOne) {
    const test::ScopedVariable home("HOME", std::nullopt);
    const test::ScopedVariable cache("XDG_CACHE_HOME", std::nullopt);
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(xdg::home(), fs::path(user->pw_dir));
    EXPECT_EQ(xdg::cacheHome(), fs::path(user->pw_dir) / ".cache");
    const test::ScopedVariable set("HOME", "/home/ann");
    EXPECT_EQ(xdg::home(), fs::path("/home/ann"));
}

TEST(XdgPaths, TheRuntimeFolderIsTheUsersAloneOrNone) {
    test::TempDir dir;
    const fs::path runtime = dir.path() / "run" / "user";
    const fs::path temporary = dir.path() / "tmp";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    fs::create_directory(temporary);
    fs::permissions(temporary, fs::perms::all | fs::perms::sticky_bit);
    const test::ScopedVariable tmp("TMPDIR", temporary.string());

    // The session's runtime folder, when it is the user's and closed.
    {
        const test::ScopedVariable variable("XDG_RUNTIME_DIR", runtime.string());
        const xdg::RuntimeFolder folder = xdg::runtimeFolder();
        EXPECT_EQ(folder.path, runtime / "plannery");
        EXPECT_EQ(folder.problem, std::nullopt);
        EXPECT_EQ(modeOf(runtime / "plannery"), 0700u);
    }
    // Without a usable one (unset, relative, open to others, not the user's), a folder of the
    // user's own in the temporary folder, made closed.
    const fs::path fallback = temporary / ("plannery-" + std::to_string(::getuid()));
    fs::permissions(runtime, fs::perms::all);
    for (const std::optional<std::string>& value :
         {std::optional<std::string>(), std::optional<std::string>("run/user"),
          std::optional(runtime.string())}) {
        const test::ScopedVariable variable("XDG_RUNTIME_DIR", value);
        const xdg::RuntimeFolder folder = xdg::runtimeFolder();
        EXPECT_EQ(folder.path, fallback);
        EXPECT_EQ(folder.problem, std::nullopt);
    }
    EXPECT_EQ(modeOf(fallback), 0700u);
    fs::permissions(runtime, fs::perms::owner_all);
    {
        const test::ScopedVariable variable("XDG_RUNTIME_DIR", runtime.string());
        const auto foreign = PrivateFolder::User{
            .uid = ::getuid(), .ownerOf = [runtime](const fs::path& folder, uid_t owner) {
                return folder == runtime ? ::getuid() + 1 : owner;
            }};
        EXPECT_EQ(xdg::runtimeFolder(foreign).path, fallback);
    }
}

TEST(XdgPaths, ATemporaryFolderAnotherUserPreparedIsNotUsed) {
    test::TempDir dir;
    const fs::path temporary = dir.path() / "tmp";
    fs::create_directory(temporary);
    fs::permissions(temporary, fs::perms::all | fs::perms::sticky_bit);
    const test::ScopedVariable tmp("TMPDIR", temporary.string());
    const test::ScopedVariable runtime("XDG_RUNTIME_DIR", std::nullopt);
    const fs::path expected = temporary / ("plannery-" + std::to_string(::getuid()));
    const std::string quoted = "\u201C" + expected.string() + "\u201D";

    // Made by another user before the user's first start.
    fs::create_directory(expected);
    fs::permissions(expected, fs::perms::owner_all);
    const auto foreign = PrivateFolder::User{
        .uid = ::getuid(), .ownerOf = [expected](const fs::path& folder, uid_t owner) {
            return folder == expected ? ::getuid() + 1 : owner;
        }};
    EXPECT_EQ(xdg::runtimeFolder(foreign).problem,
              "the folder " + quoted + " belongs to another user");
    // Left open for everyone to add to.
    fs::permissions(expected, fs::perms::all);
    EXPECT_EQ(xdg::runtimeFolder().problem, "the folder " + quoted + " is open to other users");
    // A link to somewhere else.
    fs::remove(expected);
    fs::create_directory(dir.path() / "elsewhere");
    fs::permissions(dir.path() / "elsewhere", fs::perms::owner_all);
    fs::create_directory_symlink(dir.path() / "elsewhere", expected);
    EXPECT_EQ(xdg::runtimeFolder().problem, quoted + " is a symbolic link");
}

} // namespace
} // namespace plannery
