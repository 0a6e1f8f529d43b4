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

} // namespace
} // namespace plannery
