#include "store/VdirWatcher.h"

#include "platform/VdirEventStore.h"

#include "TestSupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <thread>

#include <sys/stat.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string event(const std::string& uid, const std::string& title) {
    return test::calendarText(
        test::vevent(uid, "DTSTART:20260310T090000Z", "DTEND:20260310T100000Z", title));
}

VdirOptions options(const fs::path& root, const fs::path& cache) {
    return VdirOptions{.roots = {root}, .cacheFile = cache, .calendar = test::berlin()};
}

// As a sync tool writes: beside the file, then renamed over it.
void syncWrite(const fs::path& file, const std::string& text) {
    const fs::path temporary = file.parent_path() / ("." + file.filename().string() + ".sync");
    std::ofstream(temporary, std::ios::binary | std::ios::trunc) << text;
    fs::rename(temporary, file);
}

// As an editor that saves into the same file writes (nano, `cat >`): the same inode, cut and
// written again.
void writeInPlace(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

ino_t inodeOf(const fs::path& file) {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? info.st_ino : 0;
}

std::vector<std::string> titles(const VdirEventStore& store) {
    std::vector<std::string> result;
    for (const auto& one : store.events(test::at(test::berlin(), 2026, 3, 10),
                                        test::at(test::berlin(), 2026, 3, 11))) {
        result.push_back(one.title().value_or(""));
    }
    std::sort(result.begin(), result.end());
    return result;
}

// Lets the watcher's reloads come in until the condition holds; false when it still does not
// after the last reload within the time allowed.
bool reloadsUntil(QSignalSpy& reloads, const std::function<bool()>& condition) {
    while (!condition()) {
        if (!reloads.wait(30000)) {
            return condition();
        }
    }
    return true;
}

TEST(VdirWatcher, ABurstOfTenThousandFilesIsOneReload) {
    test::TempDir dir;
    test::setTime(dir.write("root/acct/cal/a.ics", event("a", "A")), 1);
    VdirEventStore store(options(dir.path() / "root", dir.path() / "index.sqlite"));
    int notified = 0;
    store.setChangeHandler([&] { ++notified; });
    VdirWatcher watcher(store, 50ms, 10s);
    QSignalSpy reloads(&watcher, &VdirWatcher::reloaded);

    // More events than inotify queues by default: the overflow means one full read.
    for (int i = 0; i < 10000; ++i) {
        syncWrite(dir.path() / ("root/acct/cal/" + std::to_string(i) + ".ics"),
                  event(std::to_string(i), "Synced " + std::to_string(i)));
    }
    ASSERT_TRUE(reloads.wait(60000));
    EXPECT_FALSE(reloads.wait(300)); // nothing left over
    ASSERT_EQ(reloads.count(), 1);
    EXPECT_TRUE(reloads.at(0).at(0).toBool());
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(titles(store).size(), 10001u);
    EXPECT_EQ(store.loadReport().filesParsed, 10000); // the one file seen before was not parsed
}

TEST(VdirWatcher, FilesWrittenInPlaceAreSeen) {
    test::TempDir dir;
    const fs::path file = dir.write("root/acct/cal/a.ics", event("a", "Draft"));
    const fs::path other = dir.write("root/acct/cal/b.ics", event("b", "Other"));
    VdirEventStore store(options(dir.path() / "root", dir.path() / "index.sqlite"));
    VdirWatcher watcher(store, 20ms, 10s);
    QSignalSpy reloads(&watcher, &VdirWatcher::reloaded);
    const ino_t inode = inodeOf(file);

    writeInPlace(file, event("a", "Final"));
    EXPECT_TRUE(reloadsUntil(reloads, [&] {
        return titles(store) == std::vector<std::string>{"Final", "Other"};
    }));
    // The same size, within moments of the last write: the content tells.
    writeInPlace(file, event("a", "Fixed"));
    EXPECT_TRUE(reloadsUntil(reloads, [&] {
        return titles(store) == std::vector<std::string>{"Fixed", "Other"};
    }));
    writeInPlace(other, event("b", "Other, longer"));
    EXPECT_TRUE(reloadsUntil(reloads, [&] {
        return titles(store) == std::vector<std::string>{"Fixed", "Other, longer"};
    }));
    EXPECT_EQ(inodeOf(file), inode) << "the edits went into the same file";

    // A calendar kept in one file in the root.
    const fs::path holidays = dir.path() / "root/holidays.ics";
    writeInPlace(holidays, event("h", "Holiday"));
    EXPECT_TRUE(reloadsUntil(reloads, [&] { return titles(store).size() == 3; }));
    writeInPlace(holidays, event("h", "Bank holiday"));
    EXPECT_TRUE(reloadsUntil(reloads, [&] {
        return titles(store) == std::vector<std::string>{"Bank holiday", "Fixed", "Other, longer"};
    }));
}

// A sync tool renames its versions over a file while an editor writes into it: whichever wins
// on disk is what the store ends with, and the other files the sync wrote meanwhile are there.
TEST(VdirWatcher, ASyncAndAnEditorWritingOneFileAtOnce) {
    test::TempDir dir;
    const fs::path file = dir.write("root/acct/cal/a.ics", event("a", "Start"));
    VdirEventStore store(options(dir.path() / "root", dir.path() / "index.sqlite"));
    VdirWatcher watcher(store, 20ms, 10s);
    QSignalSpy reloads(&watcher, &VdirWatcher::reloaded);

    std::thread sync([&] {
        for (int i = 0; i < 200; ++i) {
            syncWrite(file, event("a", "Sync " + std::to_string(i)));
            syncWrite(dir.path() / ("root/acct/cal/s" + std::to_string(i) + ".ics"),
                      event("s" + std::to_string(i), "Synced " + std::to_string(i)));
        }
    });
    for (int i = 0; i < 200; ++i) {
        writeInPlace(file, event("a", "Edit " + std::to_string(i)));
    }
    sync.join();

    const auto onDisk = [&] {
        std::ifstream in(file, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        const auto at = text.find("SUMMARY:");
        return text.substr(at + 8, text.find('\r', at) - at - 8);
    };
    const std::string last = onDisk();
    EXPECT_TRUE(reloadsUntil(reloads,
                             [&] {
                                 const auto now = titles(store);
                                 return now.size() == 201 &&
                                        std::find(now.begin(), now.end(), last) != now.end();
                             }))
        << "the file holds \"" << last << "\"";
    // A start after it all reads the same.
    EXPECT_EQ(titles(VdirEventStore(options(dir.path() / "root", dir.path() / "index.sqlite"))),
              titles(store));
}

TEST(VdirWatcher, FoldersThatAppearOrGoAreFollowed) {
    test::TempDir dir;
    const fs::path root = dir.path() / "root";
    VdirEventStore store(options(root, dir.path() / "index.sqlite"));
    VdirWatcher watcher(store, 20ms, 10s);
    QSignalSpy reloads(&watcher, &VdirWatcher::reloaded);
    const auto watched = [&](const fs::path& path) {
        return watcher.watchedPaths().contains(QString::fromStdString(path.string()));
    };
    // The root does not exist yet: its parent is watched for it.
    EXPECT_TRUE(watched(dir.path()));

    dir.write("root/acct/cal/a.ics", event("a", "A"));
    ASSERT_TRUE(reloadsUntil(reloads, [&] { return store.calendars().size() == 1; }));
    EXPECT_TRUE(watched(root / "acct/cal"));
    EXPECT_TRUE(watched(root / "acct"));
    EXPECT_TRUE(reloadsUntil(reloads, [&] { return titles(store).size() == 1; }));

    // A second calendar in the same account, its file written before the folder was watched;
    // then the first calendar removed.
    dir.write("root/acct/other/b.ics", event("b", "B"));
    EXPECT_TRUE(reloadsUntil(reloads, [&] { return titles(store).size() == 2; }));
    fs::remove_all(root / "acct" / "cal");
    ASSERT_TRUE(reloadsUntil(reloads, [&] { return store.calendars().size() == 1; }));
    EXPECT_EQ(store.calendars()[0]->calendarIdentifier, (root / "acct/other").string());
    EXPECT_FALSE(watched(root / "acct/cal"));

    // The whole root goes: no calendars, no crash, and it is watched for again.
    fs::remove_all(root);
    EXPECT_TRUE(reloadsUntil(reloads, [&] { return store.calendars().empty(); }));
    EXPECT_TRUE(watched(dir.path()));
    dir.write("root/acct/cal/c.ics", event("c", "C"));
    EXPECT_TRUE(
        reloadsUntil(reloads, [&] { return titles(store) == std::vector<std::string>{"C"}; }));
}

} // namespace
} // namespace plannery
