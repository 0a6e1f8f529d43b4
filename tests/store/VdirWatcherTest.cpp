#include "store/VdirWatcher.h"

#include "platform/VdirEventStore.h"

#include "TestSupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

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
void syncWrite(const test::TempDir& dir, const fs::path& relative, const std::string& text) {
    const fs::path temporary = relative.parent_path() / ("." + relative.filename().string());
    dir.write(temporary, text);
    fs::rename(dir.path() / temporary, dir.path() / relative);
}

TEST(VdirWatcher, ABurstOfTenThousandFilesIsOneReload) {
    test::TempDir dir;
    dir.write("root/acct/cal/a.ics", event("a", "A"));
    VdirEventStore store(options(dir.path() / "root", dir.path() / "index.sqlite"));
    int notified = 0;
    store.setChangeHandler([&] { ++notified; });
    VdirWatcher watcher(store, 50ms, 10s);
    QSignalSpy reloads(&watcher, &VdirWatcher::reloaded);

    for (int i = 0; i < 10000; ++i) {
        syncWrite(dir, "root/acct/cal/" + std::to_string(i) + ".ics",
                  event(std::to_string(i), "Synced " + std::to_string(i)));
    }
    ASSERT_TRUE(reloads.wait(60000));
    EXPECT_FALSE(reloads.wait(300)); // nothing left over
    ASSERT_EQ(reloads.count(), 1);
    EXPECT_TRUE(reloads.at(0).at(0).toBool());
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(
        store.events(test::at(test::berlin(), 2026, 3, 10), test::at(test::berlin(), 2026, 3, 11))
            .size(),
        10001u);
    EXPECT_EQ(store.loadReport().filesParsed, 10000); // the one file seen before was not parsed
}

TEST(VdirWatcher, FoldersThatAppearOrGoAreFollowed) {
    test::TempDir dir;
    const fs::path root = dir.path() / "root";
    VdirEventStore store(options(root, dir.path() / "index.sqlite"));
    VdirWatcher watcher(store, 20ms, 10s);
    QSignalSpy reloads(&watcher, &VdirWatcher::reloaded);
    // The root does not exist yet: its parent is watched for it.
    EXPECT_TRUE(watcher.watchedPaths().contains(QString::fromStdString(dir.path().string())));

    dir.write("root/acct/cal/a.ics", event("a", "A"));
    ASSERT_TRUE(reloads.wait(30000));
    EXPECT_TRUE(reloads.takeLast().at(0).toBool());
    ASSERT_EQ(store.calendars().size(), 1u);
    EXPECT_TRUE(
        watcher.watchedPaths().contains(QString::fromStdString((root / "acct/cal").string())));

    // A second calendar in the same account, then the first one removed.
    dir.write("root/acct/other/b.ics", event("b", "B"));
    ASSERT_TRUE(reloads.wait(30000));
    EXPECT_EQ(store.calendars().size(), 2u);
    fs::remove_all(root / "acct" / "cal");
    ASSERT_TRUE(reloads.wait(30000));
    ASSERT_EQ(store.calendars().size(), 1u);
    EXPECT_EQ(store.calendars()[0]->calendarIdentifier, (root / "acct/other").string());
    EXPECT_FALSE(
        watcher.watchedPaths().contains(QString::fromStdString((root / "acct/cal").string())));

    // The whole root goes: no calendars, no crash, and it is watched for again.
    fs::remove_all(root);
    ASSERT_TRUE(reloads.wait(30000));
    EXPECT_TRUE(store.calendars().empty());
    EXPECT_TRUE(watcher.watchedPaths().contains(QString::fromStdString(dir.path().string())));
}

} // namespace
} // namespace plannery
