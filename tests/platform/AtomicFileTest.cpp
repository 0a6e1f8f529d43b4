#include "platform/AtomicFile.h"

#include "Glossary.h"
#include "TestSupport.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <barrier>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <mutex>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
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

// The names in a folder but the writers' lock file.
std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename() != kLockName) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A sync tool's write: its own version of the file, written beside it and renamed into place.
void syncWrites(const fs::path& path, const std::string& content) {
    const fs::path temporary = path.parent_path() / ".sync.tmp";
    std::ofstream(temporary, std::ios::binary) << content;
    fs::rename(temporary, path);
}

ReadFile readNow(const fs::path& path, std::string& bytes) {
    bytes = contentOf(path);
    return ReadFile{.stamp = statFile(path).value(), .bytes = bytes};
}

// Pauses a writer at one step and lets something else happen there, once.
struct Pause {
    static inline std::optional<WriteStep> at;
    static inline std::function<void(const fs::path&)> then;

    Pause(WriteStep step, std::function<void(const fs::path&)> action) {
        at = step;
        then = std::move(action);
        testing::pauseAt = &hook;
    }
    ~Pause() {
        testing::pauseAt = nullptr;
        at.reset();
        then = nullptr;
    }
    static void hook(WriteStep step, const fs::path& path) {
        if (step == at && then) {
            auto action = std::move(then);
            then = nullptr;
            action(path);
        }
    }
};

// A sync replaces or changes the file in every gap between the steps of a write: its change is
// never lost, and the write fails with the sentence when it came before the swap.
TEST(AtomicFile, AChangeBetweenTheCheckAndTheActIsNeverLost) {
    test::TempDir dir;
    const fs::path path = dir.path() / "event.ics";
    std::string read;
    for (const bool withoutExchange : {false, true}) {
        SCOPED_TRACE(withoutExchange ? "without the exchange" : "with the exchange");
        testing::withoutExchange = withoutExchange;
        dir.write("event.ics", "version 1");
        {
            // Replaced by a sync after the check, before the swap.
            const Pause pause(WriteStep::replacing,
                              [](const fs::path& file) { syncWrites(file, "from the sync"); });
            EXPECT_EQ(writeFile(path, "mine", readNow(path, read)).error,
                      std::string(kChangedOnDisk));
            EXPECT_EQ(contentOf(path), "from the sync");
            EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"event.ics"});
        }
        {
            // Written into the same file, to the same size, its time set back: the bytes tell.
            const Pause pause(WriteStep::replacing, [](const fs::path& file) {
                struct stat before {};
                ::stat(file.c_str(), &before);
                std::ofstream(file, std::ios::binary | std::ios::in) << "FROM THE SYNC";
                const timespec times[2] = {before.st_atim, before.st_mtim};
                ::utimensat(AT_FDCWD, file.c_str(), times, 0);
            });
            EXPECT_EQ(writeFile(path, "mine", readNow(path, read)).error,
                      std::string(kChangedOnDisk));
            EXPECT_EQ(contentOf(path), "FROM THE SYNC");
        }
    }
    testing::withoutExchange = false;
    {
        // Replaced by a sync right after the swap: the sync's is the later write and stays.
        dir.write("event.ics", "version 2");
        const Pause pause(WriteStep::swapped,
                          [](const fs::path& file) { syncWrites(file, "later, from the sync"); });
        EXPECT_FALSE(writeFile(path, "mine", readNow(path, read)).error);
        EXPECT_EQ(contentOf(path), "later, from the sync");
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"event.ics"});
    }
    {
        // A removal that a sync's change overtakes.
        dir.write("event.ics", "version 3");
        const Pause pause(WriteStep::removing,
                          [](const fs::path& file) { syncWrites(file, "kept by the sync"); });
        EXPECT_EQ(removeFile(path, readNow(path, read)).error, std::string(kChangedOnDisk));
        EXPECT_EQ(contentOf(path), "kept by the sync");
    }
    {
        // A file created in the name's place while the removed one was aside is new, and stays.
        dir.write("event.ics", "version 4");
        const Pause pause(WriteStep::setAside,
                          [](const fs::path& file) { syncWrites(file, "new from the sync"); });
        EXPECT_TRUE(removeFile(path, readNow(path, read)).ok());
        EXPECT_EQ(contentOf(path), "new from the sync");
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"event.ics"});
    }
}

// Writers that read the file and add a line of their own, in a thousand rounds where both read
// the same version and then write at once: every write that reports success is in the file at
// the end, and every other one failed with the sentence. Against a sync that renames its version
// into place unchecked, every one of the sync's lines is kept.
TEST(AtomicFile, RacingWritersLoseNoUpdate) {
    const char* asked = std::getenv("PLANNERY_RACE_PAIRS");
    const int pairs = asked != nullptr ? std::max(1, std::atoi(asked)) : 1000;
    for (const bool againstSync : {false, true}) {
        SCOPED_TRACE(againstSync ? "against a sync" : "two checked writers");
        test::TempDir dir;
        const fs::path path = dir.write("event.ics", "start\n");
        std::barrier together(2);
        std::vector<std::string> saved[2];
        std::vector<std::string> refusals;
        std::mutex lock;
        auto writer = [&](int who) {
            std::mt19937 random(who);
            for (int i = 0; i < pairs; ++i) {
                std::string bytes;
                const ReadFile read = readNow(path, bytes);
                together.arrive_and_wait();
                const std::string line = (who == 0 ? "A" : "B") + std::to_string(i) + "\n";
                if (againstSync && who == 1) {
                    test::spin(random); // a little earlier or later each time
                    syncWrites(path, bytes + line);
                    saved[who].push_back(line);
                    together.arrive_and_wait();
                    continue;
                }
                const auto result = writeFile(path, bytes + line, read);
                {
                    const std::lock_guard guard(lock);
                    (result.error ? refusals : saved[who]).push_back(result.error.value_or(line));
                }
                // Rounds do not overlap: the next one reads what this one left.
                together.arrive_and_wait();
            }
        };
        std::thread a(writer, 0);
        std::thread b(writer, 1);
        a.join();
        b.join();
        const std::string end = contentOf(path);
        int lost = 0;
        for (int who = againstSync ? 1 : 0; who < 2; ++who) {
            for (const auto& line : saved[who]) {
                lost += end.find(line) == std::string::npos ? 1 : 0;
            }
        }
        EXPECT_EQ(lost, 0);
        for (const auto& sentence : refusals) {
            EXPECT_EQ(sentence, kChangedOnDisk);
        }
        EXPECT_EQ(saved[0].size() + saved[1].size() + refusals.size(), std::size_t(2 * pairs));
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"event.ics"});
        std::cout << (againstSync ? "against a sync: " : "two checked writers: ") << pairs
                  << " pairs, " << saved[0].size() + saved[1].size() << " saved, " << lost
                  << " lost, " << refusals.size() << " refused\n";
    }
}

TEST(AtomicFile, WritesNewFilesAndReplacesOnlyWhatWasRead) {
    test::TempDir dir;
    const fs::path path = dir.path() / "event.ics";
    const auto created = writeFile(path, "one", std::nullopt);
    ASSERT_FALSE(created.error) << *created.error;
    EXPECT_EQ(contentOf(path), "one");
    EXPECT_EQ(created.stamp, statFile(path));

    const auto replaced = writeFile(path, "two, longer", ReadFile{*created.stamp, "one"});
    ASSERT_FALSE(replaced.error) << *replaced.error;
    EXPECT_EQ(contentOf(path), "two, longer");
    EXPECT_EQ(replaced.stamp, statFile(path));
    EXPECT_NE(replaced.stamp->inode, created.stamp->inode); // a new file took the name

    // Another program wrote since: its content stays and no temporary file is left.
    const auto stale = writeFile(path, "three", ReadFile{*created.stamp, "one"});
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
    const auto written = writeFile(path, "changed elsewhere", ReadFile{stamp, "one"});
    ASSERT_TRUE(written.stamp);
    EXPECT_EQ(removeFile(path, ReadFile{stamp, "one"}).error, std::string(kChangedOnDisk));
    EXPECT_TRUE(fs::exists(path));
    EXPECT_TRUE(removeFile(path, ReadFile{*written.stamp, "changed elsewhere"}).ok());
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(removeFile(path, ReadFile{*written.stamp, "changed elsewhere"}).error,
              std::string(kChangedOnDisk));
    EXPECT_TRUE(fs::exists(other));
}

TEST(AtomicFile, UnwritableFolderGivesASentence) {
    test::TempDir dir;
    const fs::path folder = dir.path() / "calendar";
    fs::create_directories(folder);
    const fs::path path = dir.write("calendar/event.ics", "one");
    // Permission bits do not stop the superuser from writing.
    test::asUnprivilegedUser(dir.path(), [&] {
        const auto stamp = statFile(path).value();
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        const auto result = writeFile(path, "two", ReadFile{stamp, "one"});
        const auto removal = removeFile(path, ReadFile{stamp, "one"});
        const auto missing = writeFile(dir.path() / "gone" / "event.ics", "x", std::nullopt);
        fs::permissions(folder, fs::perms::owner_all);
        EXPECT_EQ(result.error,
                  "The calendar folder \u201C" + folder.string() + "\u201D cannot be written.");
        EXPECT_EQ(removal.error, result.error);
        EXPECT_EQ(contentOf(path), "one");
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"event.ics"});
        EXPECT_TRUE(missing.error);
    });
}

TEST(AtomicFile, FailuresAreToldInTheUsersLanguage) {
    test::TempDir dir;
    test::Glossary german(
        test::Glossary::Entries{{"AtomicFile|The calendar folder %1 no longer exists.",
                                 "Den Kalenderordner %1 gibt es nicht mehr."}});
    ASSERT_TRUE(QCoreApplication::installTranslator(&german));
    // A folder named "%2" is a name, not a place for an argument.
    const auto written = writeFile(dir.path() / "%2" / "event.ics", "x", std::nullopt);
    QCoreApplication::removeTranslator(&german);
    EXPECT_EQ(written.error, "Den Kalenderordner \u201C" + (dir.path() / "%2").string() +
                                 "\u201D gibt es nicht mehr.");
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
