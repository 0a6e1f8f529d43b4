#include "store/CalendarIDMigration.h"

#include "TestSupport.h"
#include "store/CalendarPreferences.h"
#include "store/SharedKeychain.h"
#include "store/SharedPrefs.h"
#include "store/SharedSettings.h"
#include "store/VdirCalendarStore.h"

#include <QSettings>
#include <QStringList>

#include <gtest/gtest.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;
using Groups = std::vector<std::vector<std::string>>;

TEST(CalendarIDMigration, OldIdentifiersBecomeAbsolutePaths) {
    const std::vector<fs::path> one{"/home/ann/.calendars/"};
    EXPECT_EQ(CalendarIDMigration::migrated("work/cal", one), "/home/ann/.calendars/work/cal");
    EXPECT_EQ(CalendarIDMigration::migrated("holidays.ics", one),
              "/home/ann/.calendars/holidays.ics");
    EXPECT_EQ(CalendarIDMigration::migrated("collection", one), "/home/ann/.calendars/collection");

    const std::vector<fs::path> two{"/data/one", "/data/two"};
    EXPECT_EQ(CalendarIDMigration::migrated("0:acct/cal", two), "/data/one/acct/cal");
    EXPECT_EQ(CalendarIDMigration::migrated("1:feed.ics", two), "/data/two/feed.ics");
    // New identifiers, and old ones no root of these wrote, stay as they are.
    for (const char* kept :
         {"/data/one/acct/cal", "2:acct/cal", "acct/cal", ":x", "1:", "x:y", "-1:acct", ""}) {
        EXPECT_EQ(CalendarIDMigration::migrated(kept, two), kept) << kept;
    }
    EXPECT_EQ(CalendarIDMigration::migrated("acct/cal", {}), "acct/cal");
}

TEST(CalendarIDMigration, SettingsAreMovedOnceAndTheStoreNamesTheSameCalendars) {
    test::TempDir dir;
    const fs::path first = dir.path() / "first";
    const fs::path second = dir.path() / "second";
    dir.write("first/acct/cal/a.ics", "");
    dir.write("second/work/meetings/b.ics", "");
    QSettings defaults(QString::fromStdString((dir.path() / "prefs.ini").string()),
                       QSettings::IniFormat);
    SharedKeychain keychain(std::nullopt, dir.path(), defaults);
    defaults.setValue("calendarRoots", QStringList{QString::fromStdString(first.string()),
                                                   QString::fromStdString(second.string())});
    CalendarPreferences::writeHidden(&defaults, {"1:work/meetings"});
    CalendarPreferences::writeMirrorGroups(&defaults, Groups{{"0:acct/cal", "1:work/meetings"}});
    SharedSettings{.hiddenCalendarIDs = {"1:work/meetings"},
                   .showDeclined = true,
                   .mirroredCalendarIDs = {{"0:acct/cal", "1:work/meetings"}}}
        .save(keychain);
    SharedPrefs(keychain).set("0:acct/cal", SharedPrefs::imageEventsCalendar);

    const std::string cal = (first / "acct/cal").string();
    const std::string meetings = (second / "work/meetings").string();
    // The record the widget reads is moved on its own, the rest of it untouched.
    CalendarIDMigration::migrate(nullptr, &keychain, {first, second});
    EXPECT_EQ(SharedSettings::load(keychain),
              (SharedSettings{.hiddenCalendarIDs = {meetings},
                              .showDeclined = true,
                              .mirroredCalendarIDs = {{cal, meetings}}}));
    SharedSettings{.hiddenCalendarIDs = {"1:work/meetings"}}.save(keychain);

    auto store = makeVdirCalendarStore(VdirSetup{.roots = {},
                                                 .cacheFile = dir.path() / "index.sqlite",
                                                 .defaults = &defaults,
                                                 .keychain = &keychain});
    EXPECT_EQ(store->hiddenCalendarIDs(), std::set<std::string>{meetings});
    EXPECT_EQ(store->mirrors().groups(), (Groups{{cal, meetings}}));
    const auto calendars = store->eventStore().calendars();
    ASSERT_EQ(calendars.size(), 2u);
    EXPECT_EQ(calendars[0]->calendarIdentifier, cal);
    EXPECT_EQ(calendars[1]->calendarIdentifier, meetings);
    const auto shared = SharedSettings::load(keychain);
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->hiddenCalendarIDs, std::vector<std::string>{meetings});
    EXPECT_EQ(SharedPrefs(keychain).string(SharedPrefs::imageEventsCalendar), cal);
    store.reset();

    // Moving again finds nothing old. Reordering the roots and adding one renames nothing.
    const auto before = SharedSettings::load(keychain);
    defaults.setValue("calendarRoots",
                      QStringList{QString::fromStdString((dir.path() / "third").string()),
                                  QString::fromStdString(second.string()),
                                  QString::fromStdString(first.string())});
    fs::create_directories(dir.path() / "third" / "x" / "y");
    store = makeVdirCalendarStore(VdirSetup{.roots = {},
                                            .cacheFile = dir.path() / "index.sqlite",
                                            .defaults = &defaults,
                                            .keychain = &keychain});
    EXPECT_EQ(SharedSettings::load(keychain), before);
    EXPECT_EQ(store->hiddenCalendarIDs(), std::set<std::string>{meetings});
    EXPECT_EQ(store->mirrors().groups(), (Groups{{cal, meetings}}));
    ASSERT_EQ(store->eventStore().calendars().size(), 3u);
    EXPECT_EQ(store->eventStore().calendars()[0]->calendarIdentifier, cal);
    EXPECT_EQ(store->eventStore().calendars()[1]->calendarIdentifier, meetings);
}

} // namespace
} // namespace plannery
