#include "store/WidgetCenter.h"

#include "store/SharedKeychain.h"

#include "TestSupport.h"

#include <QSettings>
#include <QString>

#include <gtest/gtest.h>

namespace plannery {
namespace {

TEST(WidgetCenter, ReloadsCountUpWhereTheWidgetCanSeeThem) {
    test::TempDir dir;
    QSettings appDefaults(QString::fromStdString((dir.path() / "app.ini").string()),
                          QSettings::IniFormat);
    QSettings widgetDefaults(QString::fromStdString((dir.path() / "widget.ini").string()),
                             QSettings::IniFormat);
    SharedKeychain app(std::string("org.example.group"), dir.path(), appDefaults);
    SharedKeychain widget(std::string("org.example.group"), dir.path(), widgetDefaults);

    EXPECT_EQ(WidgetCenter::reloadCount(widget), 0u);
    WidgetCenter::reloadAllTimelines(app);
    WidgetCenter::reloadAllTimelines(app);
    WidgetCenter::reloadAllTimelines(app);
    EXPECT_EQ(WidgetCenter::reloadCount(widget), 3u);
    EXPECT_EQ(WidgetCenter::reloadCount(app), 3u);

    // Whatever else sits in the item, the count restarts rather than breaking.
    ASSERT_TRUE(app.set("garbage", SharedKeychain::widgetsService(), "reload"));
    EXPECT_EQ(WidgetCenter::reloadCount(widget), 0u);
    WidgetCenter::reloadAllTimelines(widget);
    EXPECT_EQ(WidgetCenter::reloadCount(app), 1u);

    SharedKeychain development(std::nullopt, dir.path(), appDefaults);
    WidgetCenter::reloadAllTimelines(development);
    WidgetCenter::reloadAllTimelines(development);
    EXPECT_EQ(WidgetCenter::reloadCount(development), 2u);
}

TEST(WidgetCenter, TheAppSharesItsCalendarFolders) {
    test::TempDir dir;
    QSettings defaults(QString::fromStdString((dir.path() / "app.ini").string()),
                       QSettings::IniFormat);
    SharedKeychain app(std::string("org.example.group"), dir.path(), defaults);
    const std::vector<std::filesystem::path> roots{"/home/me/.calendars", "/mnt/odd \"name\""};
    WidgetCenter::shareRoots(app, roots);
    const auto stored = app.data(SharedKeychain::prefsService(), WidgetCenter::rootsKey);
    ASSERT_TRUE(stored);
    EXPECT_EQ(WidgetCenter::rootsFromJson(*stored), roots);
    EXPECT_EQ(SharedKeychain::storeFile(std::string("org.example.group"), dir.path()),
              dir.path() / "org.example.group" / "shared.sqlite");
    EXPECT_EQ(SharedKeychain::storeFile(std::nullopt, dir.path()), std::nullopt);
    EXPECT_EQ(SharedKeychain::storeFile(std::string("../elsewhere"), dir.path()), std::nullopt);
    for (const char* garbage : {"", "{}", "[1, 2]", "not json", "[\"\"]"}) {
        EXPECT_TRUE(WidgetCenter::rootsFromJson(garbage).empty()) << garbage;
    }
    EXPECT_EQ(WidgetCenter::countFrom("12"), 12u);
    EXPECT_EQ(WidgetCenter::countFrom("12x"), 0u);
}

} // namespace
} // namespace plannery
