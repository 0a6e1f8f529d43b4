#include "store/SharedSettings.h"

#include "store/SharedKeychain.h"

#include "TestSupport.h"

#include <QSettings>
#include <QString>

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;

// Rows and bytes of the settings item, read straight from the file as the widget process would.
struct StoredItem {
    int rows = 0;
    std::string data;
};

StoredItem storedSettings(const fs::path& file) {
    StoredItem item;
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* query = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db,
                                 "SELECT data FROM items WHERE service = ?1 AND account = 'shared'",
                                 -1, &query, nullptr),
              SQLITE_OK);
    const std::string service = SharedKeychain::settingsService();
    sqlite3_bind_text(query, 1, service.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(query) == SQLITE_ROW) {
        ++item.rows;
        item.data.assign(static_cast<const char*>(sqlite3_column_blob(query, 0)),
                         static_cast<std::size_t>(sqlite3_column_bytes(query, 0)));
    }
    sqlite3_finalize(query);
    sqlite3_close(db);
    return item;
}

TEST(SharedSettings, EncodesKeysInRecordOrderWithEscapedStrings) {
    EXPECT_EQ(SharedSettings{}.toJson(),
              R"({"hiddenCalendarIDs":[],"showDeclined":false,"mirroredCalendarIDs":[]})");

    const SharedSettings settings{
        .hiddenCalendarIDs = {"a\"quote", "back\\slash", "line\nbreak\ttab\r\x0b",
                              std::string("\x01"), "caf\xc3\xa9/\xf0\x9f\x93\x85"},
        .showDeclined = true,
        .mirroredCalendarIDs = {{"x", "y"}, {}, {"z"}}};
    EXPECT_EQ(
        settings.toJson(),
        R"({"hiddenCalendarIDs":["a\"quote","back\\slash","line\nbreak\ttab\r\u000b","\u0001",)"
        "\"caf\xc3\xa9/\xf0\x9f\x93\x85\"],"
        R"("showDeclined":true,"mirroredCalendarIDs":[["x","y"],[],["z"]]})");
    EXPECT_EQ(SharedSettings::fromJson(settings.toJson()), settings);
    // The user's addresses follow, only when there are any.
    const SharedSettings addresses{.ownEmailAddresses = {"ann@example.org"}};
    EXPECT_EQ(addresses.toJson(),
              R"({"hiddenCalendarIDs":[],"showDeclined":false,)"
              R"("mirroredCalendarIDs":[],"ownEmailAddresses":["ann@example.org"]})");
    EXPECT_EQ(SharedSettings::fromJson(addresses.toJson()), addresses);

    // Text that is not UTF-8 must not make the record unreadable to the other process.
    const SharedSettings broken{.hiddenCalendarIDs = {"bad\xff"}};
    const auto decoded = SharedSettings::fromJson(broken.toJson());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->hiddenCalendarIDs, std::vector<std::string>{"bad\xef\xbf\xbd"});
}

TEST(SharedSettings, DecodesMissingKeysAsDefaultsAndRejectsOtherShapes) {
    const auto onlyDeclined = SharedSettings::fromJson(R"({"showDeclined":true})");
    ASSERT_TRUE(onlyDeclined);
    EXPECT_EQ(*onlyDeclined, (SharedSettings{.showDeclined = true}));

    const auto reordered = SharedSettings::fromJson(
        R"( { "future" : {"x":[1,2]}, "mirroredCalendarIDs":[["b","a"]], "extra":7,
              "hiddenCalendarIDs":["z","a"], "showDeclined":null } )");
    ASSERT_TRUE(reordered);
    EXPECT_EQ(*reordered, (SharedSettings{.hiddenCalendarIDs = {"z", "a"},
                                          .showDeclined = false,
                                          .mirroredCalendarIDs = {{"b", "a"}}}));
    EXPECT_EQ(SharedSettings::fromJson("{}"), SharedSettings{});

    for (const char* garbage :
         {"", "not json", "[]", "null", "\"{}\"", "{", "{} trailing", R"({"showDeclined":"yes"})",
          R"({"showDeclined":1})", R"({"hiddenCalendarIDs":"a"})", R"({"hiddenCalendarIDs":[1]})",
          R"({"mirroredCalendarIDs":["a"]})", R"({"mirroredCalendarIDs":[[null]]})",
          R"({"ownEmailAddresses":"a@b.org"})"}) {
        EXPECT_EQ(SharedSettings::fromJson(garbage), std::nullopt) << garbage;
    }
}

TEST(SharedSettings, SavingAddsTheItemThenUpdatesItInPlace) {
    test::TempDir dir;
    QSettings defaults(QString::fromStdString((dir.path() / "defaults.ini").string()),
                       QSettings::IniFormat);
    SharedKeychain keychain(std::string("org.example.group"), dir.path() / "data", defaults);
    const fs::path file = dir.path() / "data" / "org.example.group" / "shared.sqlite";

    EXPECT_EQ(SharedSettings::load(keychain), std::nullopt);
    const SharedSettings first{.hiddenCalendarIDs = {"cal-1"}, .showDeclined = true};
    ASSERT_TRUE(first.save(keychain));
    EXPECT_EQ(SharedSettings::load(keychain), first);
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    const SharedSettings second{.hiddenCalendarIDs = {"a", "b", "c"},
                                .mirroredCalendarIDs = {{"a", "b", "c"}}};
    ASSERT_TRUE(second.save(keychain));
    EXPECT_EQ(SharedSettings::load(keychain), second);
    const StoredItem stored = storedSettings(file);
    EXPECT_EQ(stored.rows, 1);
    EXPECT_EQ(stored.data, second.toJson());

    // A record the other process cannot decode reads as none, to be written again.
    ASSERT_TRUE(keychain.set("{\"showDeclined\":", SharedKeychain::settingsService(), "shared"));
    EXPECT_EQ(SharedSettings::load(keychain), std::nullopt);
}

TEST(SharedSettings, WithoutAGroupTheRecordIsAPreference) {
    test::TempDir dir;
    const QString ini = QString::fromStdString((dir.path() / "defaults.ini").string());
    const SharedSettings settings{.hiddenCalendarIDs = {"x"}, .mirroredCalendarIDs = {{"x", "y"}}};
    {
        QSettings defaults(ini, QSettings::IniFormat);
        SharedKeychain keychain(SharedKeychain::accessGroupFrom("$(GROUP)"), dir.path(), defaults);
        ASSERT_TRUE(settings.save(keychain));
        EXPECT_EQ(defaults
                      .value(QString::fromStdString("SharedKeychain." +
                                                    SharedKeychain::settingsService() + ".shared"))
                      .toByteArray()
                      .toStdString(),
                  settings.toJson());
    }
    // Written to the file, and read back by the next run.
    QSettings defaults(ini, QSettings::IniFormat);
    SharedKeychain keychain(std::nullopt, dir.path(), defaults);
    EXPECT_EQ(SharedSettings::load(keychain), settings);
}

} // namespace
} // namespace plannery
