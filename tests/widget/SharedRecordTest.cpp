#include "WidgetTestSupport.h"

#include "platform/OpenLock.h"
#include "store/SharedKeychain.h"
#include "store/WidgetCenter.h"
#include "widget/SharedRecord.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sqlite3.h>
#include <sstream>

namespace plannery {
namespace {

using State = SharedRecord::State;
namespace fs = std::filesystem;

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

int filesIn(const fs::path& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

TEST(SharedRecord, ReadsWhatTheAppShares) {
    test::WidgetFixture fixture;
    EXPECT_EQ(SharedRecord(std::nullopt).read().state, State::missing);
    SharedRecord record(fixture.shared);
    // No store yet: nothing is created to read it.
    EXPECT_EQ(record.read().state, State::missing);
    EXPECT_FALSE(fs::exists(fixture.shared.parent_path()));

    fixture.shareSettings(
        R"({"hiddenCalendarIDs":["a"],"showDeclined":true,"mirroredCalendarIDs":[["x","y"]]})");
    fixture.bumpReload();
    fixture.bumpReload();
    fixture.app().set(WidgetCenter::rootsToJson({"/one", "/two"}), SharedKeychain::prefsService(),
                      WidgetCenter::rootsKey);
    const SharedRecord::Snapshot read = record.read();
    EXPECT_EQ(read.state, State::ok);
    EXPECT_EQ(read.settings.hiddenCalendarIDs, std::vector<std::string>{"a"});
    EXPECT_TRUE(read.settings.showDeclined);
    EXPECT_EQ(read.settings.mirroredCalendarIDs.size(), 1u);
    EXPECT_EQ(read.reloadCount, 2u);
    EXPECT_EQ(read.roots, (std::vector<fs::path>{"/one", "/two"}));

    // The app writes on while the widget holds the store open.
    fixture.bumpReload();
    EXPECT_EQ(record.read().reloadCount, 3u);
}

TEST(SharedRecord, DamageIsReportedAndLeftForTheAppToRepair) {
    test::WidgetFixture fixture;
    fixture.shareSettings("{not json");
    SharedRecord record(fixture.shared);
    EXPECT_EQ(record.read().state, State::damaged);

    // A file that is no database at all: the reader neither moves nor changes it.
    fixture.dir.write(fs::path("other") / "shared.sqlite", "not a database, but someone's file");
    const fs::path other = fixture.dir.path() / "other" / "shared.sqlite";
    SharedRecord reader(other);
    EXPECT_EQ(reader.read().state, State::damaged);
    EXPECT_EQ(contentOf(other), "not a database, but someone's file");
    EXPECT_EQ(filesIn(other.parent_path()), 2); // the file and the open lock

    // The app moves it aside and starts afresh; the reader follows the new file.
    auto repaired = SharedStore::open(other);
    ASSERT_NE(repaired, nullptr);
    repaired->set("7", SharedKeychain::widgetsService(), WidgetCenter::reloadAccount);
    const SharedRecord::Snapshot after = reader.read();
    EXPECT_EQ(after.state, State::ok);
    EXPECT_EQ(after.reloadCount, 7u);
}

TEST(SharedRecord, AStoreTheAppHoldsLockedIsBusy) {
    test::WidgetFixture fixture;
    fixture.bumpReload();
    {
        // The app opening or repairing the file.
        const OpenLock opening(fixture.shared, std::chrono::milliseconds(0));
        ASSERT_TRUE(opening.locked());
        EXPECT_EQ(SharedRecord(fixture.shared).read().state, State::busy);
    }
    EXPECT_EQ(SharedRecord(fixture.shared).read().state, State::ok);

    // A store in the older journal mode with a write under way locks readers out.
    const fs::path rollback = fixture.dir.path() / "rollback" / "shared.sqlite";
    fs::create_directories(rollback.parent_path());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(rollback.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "PRAGMA journal_mode=DELETE; CREATE TABLE items(service TEXT NOT NULL, "
                           "account TEXT NOT NULL, data BLOB NOT NULL, PRIMARY KEY(service, "
                           "account)) WITHOUT ROWID; PRAGMA user_version=1;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE; INSERT INTO items VALUES('s', 'a', 'x');", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(SharedRecord(rollback).read().state, State::busy);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(SharedRecord(rollback).read().state, State::ok);
}

} // namespace
} // namespace plannery
