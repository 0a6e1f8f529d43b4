#include "store/SharedPrefs.h"

#include "store/SharedKeychain.h"

#include "TestSupport.h"

#include <QSettings>
#include <QString>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;

// Counts every statement that writes an item, from a connection of its own. A trigger sees
// writes that leave the bytes as they were, which SQLite does not even put on disk.
class WriteCounter {
  public:
    explicit WriteCounter(const fs::path& file) {
        EXPECT_EQ(sqlite3_open(file.c_str(), &m_db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(m_db, R"sql(
            CREATE TABLE writes(kind TEXT);
            CREATE TRIGGER counted_insert AFTER INSERT ON items
                BEGIN INSERT INTO writes VALUES('insert'); END;
            CREATE TRIGGER counted_update AFTER UPDATE ON items
                BEGIN INSERT INTO writes VALUES('update'); END;
            CREATE TRIGGER counted_delete AFTER DELETE ON items
                BEGIN INSERT INTO writes VALUES('delete'); END;
            )sql",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
    }
    ~WriteCounter() { sqlite3_close(m_db); }
    WriteCounter(const WriteCounter&) = delete;
    WriteCounter& operator=(const WriteCounter&) = delete;

    int writes() {
        sqlite3_stmt* query = nullptr;
        int value = -1;
        if (sqlite3_prepare_v2(m_db, "SELECT count(*) FROM writes", -1, &query, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(query) == SQLITE_ROW) {
            value = sqlite3_column_int(query, 0);
        }
        sqlite3_finalize(query);
        return value;
    }

  private:
    sqlite3* m_db = nullptr;
};

TEST(SharedPrefs, StoresStringsAndSkipsWritesThatChangeNothing) {
    test::TempDir dir;
    QSettings defaults(QString::fromStdString((dir.path() / "defaults.ini").string()),
                       QSettings::IniFormat);
    SharedKeychain keychain(std::string("org.example.group"), dir.path(), defaults);
    SharedPrefs prefs(keychain);

    EXPECT_EQ(prefs.string(SharedPrefs::eventFinderEngine), std::nullopt);
    prefs.set(std::nullopt, SharedPrefs::imageEventsCalendar); // never stored: nothing to do
    EXPECT_EQ(prefs.string(SharedPrefs::imageEventsCalendar), std::nullopt);
    EXPECT_TRUE(keychain.set(std::nullopt, SharedKeychain::prefsService(), "never-stored"));

    prefs.set("builtin", SharedPrefs::eventFinderEngine);
    EXPECT_EQ(prefs.string(SharedPrefs::eventFinderEngine), "builtin");
    EXPECT_EQ(keychain.data(SharedKeychain::prefsService(), "eventFinderEngine"), "builtin");

    WriteCounter counter(dir.path() / "org.example.group" / "shared.sqlite");
    prefs.set("builtin", SharedPrefs::eventFinderEngine);
    prefs.set(std::nullopt, "never-stored");
    EXPECT_EQ(counter.writes(), 0);
    // The counter does see a write of the same bytes made without the check.
    ASSERT_TRUE(keychain.set("builtin", SharedKeychain::prefsService(), "eventFinderEngine"));
    EXPECT_EQ(counter.writes(), 1);

    prefs.set("local-model", SharedPrefs::eventFinderEngine);
    EXPECT_EQ(counter.writes(), 2);
    EXPECT_EQ(prefs.string(SharedPrefs::eventFinderEngine), "local-model");
    prefs.set(std::nullopt, SharedPrefs::eventFinderEngine);
    EXPECT_EQ(counter.writes(), 3);
    EXPECT_EQ(prefs.string(SharedPrefs::eventFinderEngine), std::nullopt);
    EXPECT_EQ(keychain.data(SharedKeychain::prefsService(), "eventFinderEngine"), std::nullopt);

    // Bytes that are not UTF-8 are repaired on reading, not refused.
    ASSERT_TRUE(keychain.set("cal\xff-1", SharedKeychain::prefsService(), "imageEventsCalendar"));
    EXPECT_EQ(prefs.string(SharedPrefs::imageEventsCalendar), "cal\xef\xbf\xbd-1");
}

TEST(SharedPrefs, WithoutAGroupPreferencesUseTheKeychainKeys) {
    test::TempDir dir;
    QSettings defaults(QString::fromStdString((dir.path() / "defaults.ini").string()),
                       QSettings::IniFormat);
    SharedKeychain keychain(std::nullopt, dir.path(), defaults);
    SharedPrefs prefs(keychain);
    const QString key = QString::fromStdString("SharedKeychain." + SharedKeychain::prefsService() +
                                               ".imageEventsCalendar");

    prefs.set("calendar-7", SharedPrefs::imageEventsCalendar);
    EXPECT_EQ(defaults.value(key).toByteArray(), QByteArray("calendar-7"));
    EXPECT_EQ(prefs.string(SharedPrefs::imageEventsCalendar), "calendar-7");
    prefs.set(std::nullopt, SharedPrefs::imageEventsCalendar);
    EXPECT_FALSE(defaults.contains(key));
    EXPECT_EQ(prefs.string(SharedPrefs::imageEventsCalendar), std::nullopt);
}

} // namespace
} // namespace plannery
