#include "platform/AtomicFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace plannery::vdir {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicFile, WritesNewFilesAndReplacesOnlyWhatWasRead) {
    test::TempDir dir;
    const fs::path path = dir.path() / "event.ics";
    const auto created = writeFile(path, "one", std::nullopt);
    ASSERT_FALSE(created.error) << *created.error;
    EXPECT_EQ(contentOf(path), "one");
    EXPECT_EQ(created.stamp, statFile(path));

    const auto replaced = writeFile(path, "two, longer", created.stamp);
    ASSERT_FALSE(replaced.error) << *replaced.error;
    EXPECT_EQ(contentOf(path), "two, longer");
    EXPECT_EQ(replaced.stamp, statFile(path));
    EXPECT_NE(replaced.stamp->inode, created.stamp->inode); // a new file took the name

    // Another program wrote since: its content stays and no temporary file is left.
    const auto stale = writeFile(path, "three", created.stamp);
    EXPECT_EQ(stale.error, std::string(kChangedOnDisk));
    EXPECT_EQ(contentOf(path), "two, longer");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"event.ics"});

    // A new file whose name was taken meanwhile is not written over.
    const auto taken = writeFile(path, "four", std::nullopt);
    EXPECT_TRUE(taken.error);
    EXPECT_EQ(contentOf(path), "two, longer");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"event.ics"});
}

TEST(AtomicFile, RemovesOnlyTheFileThatWasRead) {
    test::TempDir dir;
    const fs::path path = dir.write("event.ics", "one");
    const auto stamp = statFile(path).value();
    const fs::path other = dir.write("other.ics", "other");
    const auto written = writeFile(path, "changed elsewhere", stamp);
    ASSERT_TRUE(written.stamp);
    EXPECT_EQ(removeFile(path, stamp).error, std::string(kChangedOnDisk));
    EXPECT_TRUE(fs::exists(path));
    EXPECT_TRUE(removeFile(path, *written.stamp).ok());
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(removeFile(path, *written.stamp).error, std::string(kChangedOnDisk));
    EXPECT_TRUE(fs::exists(other));
}

TEST(AtomicFile, UnwritableFolderGivesASentence) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes anywhere";
    }
    test::TempDir dir;
    const fs::path folder = dir.path() / "calendar";
    fs::create_directories(folder);
    const fs::path path = dir.write("calendar/event.ics", "one");
    const auto stamp = statFile(path).value();
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    const auto result = writeFile(path, "two", stamp);
    const auto removal = removeFile(path, stamp);
    const auto missing = writeFile(dir.path() / "gone" / "event.ics", "x", std::nullopt);
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(result.error,
              "The calendar folder \u201C" + folder.string() + "\u201D cannot be written.");
    EXPECT_EQ(removal.error, result.error);
    EXPECT_EQ(contentOf(path), "one");
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"event.ics"});
    EXPECT_TRUE(missing.error);
}

TEST(AtomicFile, OnlyTemporaryFilesOfWritersThatAreGoneAreLeftovers) {
    const pid_t gone = fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) {
        _exit(0);
    }
    waitpid(gone, nullptr, 0);
    const std::string dead = std::to_string(gone);
    const std::string alive = std::to_string(getpid());
    EXPECT_TRUE(isLeftover(".a.ics." + dead + "-0.tmp"));
    EXPECT_TRUE(isLeftover(".x-y.1.ics." + dead + "-17.tmp"));
    EXPECT_FALSE(isLeftover(".a.ics." + alive + "-0.tmp")); // still writing
    for (const std::string& name : std::vector<std::string>{
             "a.ics." + dead + "-0.tmp", ".a.ics." + dead + "-0", ".a.ics." + dead + ".tmp",
             ".a.ics.x-0.tmp", ".tmp", ".a.ics", "." + dead + "-0.tmp"}) {
        EXPECT_FALSE(isLeftover(name)) << name;
    }
}

} // namespace
} // namespace plannery::vdir
