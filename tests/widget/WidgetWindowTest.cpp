#include "WidgetTestSupport.h"

#include "views/WidgetFaceView.h"
#include "widget/WidgetCalendars.h"
#include "widget/WidgetWindow.h"

#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::at;
namespace fs = std::filesystem;

// A medium face over one calendar, its clock in the test's hands.
struct Window {
    test::WidgetFixture fixture;
    Instant now = at(fixture.cal, 2026, 3, 11, 10);
    QSettings positions{QString::fromStdString((fixture.dir.path() / "widget.ini").string()),
                        QSettings::IniFormat};
    std::vector<QString> opened;
    std::unique_ptr<WidgetCalendars> calendars;

    Window() {
        fixture.addEvent("home", "dentist", "20260311T130000Z", "20260311T140000Z", "Dentist");
        fixture.addEvent("work", "standup", "20260312T080000Z", "20260312T083000Z", "Standup");
        calendars = std::make_unique<WidgetCalendars>(WidgetCalendars::Setup{
            .roots = {fixture.root},
            .sharedFile = std::nullopt,
            .cacheFile = {},
            .zone = std::nullopt,
            .watch = false,
            .calendar = [this] { return fixture.cal; },
        });
    }

    std::unique_ptr<WidgetWindow> open(WidgetFamily family = WidgetFamily::systemMedium) {
        auto window = std::make_unique<WidgetWindow>(WidgetWindow::Setup{
            .family = family,
            .calendars = calendars.get(),
            .now = [this] { return now; },
            .size = QSize(364, 170),
            .appearance = std::nullopt,
            .textSize = TextSize::large,
            .positions = &positions,
            .openLink = [this](const QString& url) { opened.push_back(url); },
            .desktopLayer = true,
            .index = 0,
        });
        window->show();
        QCoreApplication::processEvents();
        return window;
    }
};

bool mentions(WidgetFaceView& face, const QString& text) {
    for (const WidgetTarget& target : face.targets()) {
        if (target.name.contains(text)) {
            return true;
        }
    }
    return false;
}

TEST(WidgetWindow, AFramelessWindowAtTheBottomThatOpensTheApp) {
    Window test;
    auto window = test.open();
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnBottomHint);
    EXPECT_EQ(window->size(), QSize(364, 170));
    EXPECT_TRUE(mentions(window->face(), QStringLiteral("Dentist")));
    // The app need not run: a click hands the day's link on, which starts it if need be.
    QTest::mouseClick(&window->face(), Qt::LeftButton, {}, QPoint(60, 12));
    ASSERT_EQ(test.opened.size(), 1u);
    EXPECT_EQ(test.opened[0], "plannery://day/2026-03-11");
}

TEST(WidgetWindow, TheMinuteRedrawFollowsTheClockWhereverItJumps) {
    Window test;
    auto window = test.open();
    // Forward to the next day: the standup is today's now, the dentist gone.
    test.now = at(test.fixture.cal, 2026, 3, 12, 9);
    window->redraw();
    EXPECT_EQ(window->face().face()->input().now, test.now);
    EXPECT_FALSE(mentions(window->face(), QStringLiteral("Dentist")));
    EXPECT_TRUE(window->face().face()->accessibleName().startsWith(QStringLiteral("Thursday")));
    // And back again.
    test.now = at(test.fixture.cal, 2026, 3, 11, 10);
    window->redraw();
    EXPECT_TRUE(mentions(window->face(), QStringLiteral("Dentist")));
}

TEST(WidgetWindow, ItStaysWhereTheUserLeavesIt) {
    Window test;
    QPoint left;
    {
        auto window = test.open();
        const QPoint start = window->pos();
        WidgetFaceView& face = window->face();
        QTest::mousePress(&face, Qt::LeftButton, {}, QPoint(100, 100));
        QMouseEvent move(QEvent::MouseMove, QPointF(160, 140), face.mapToGlobal(QPointF(160, 140)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&face, &move);
        QTest::mouseRelease(&face, Qt::LeftButton, {}, QPoint(160, 140));
        left = window->pos();
        EXPECT_EQ(left, start + QPoint(60, 40));
        // A drag is no click.
        EXPECT_TRUE(test.opened.empty());
    }
    auto again = test.open();
    EXPECT_EQ(again->pos(), left);
}

TEST(WidgetWindow, ItFollowsTheDesktopsLook) {
    Window test;
    auto window = test.open();
    QPalette dark = window->palette();
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    window->setPalette(dark);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->appearance(), Appearance::dark);
    EXPECT_EQ(window->face().face()->input().appearance, Appearance::dark);
}

} // namespace
} // namespace plannery
