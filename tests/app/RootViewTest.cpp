#include "FakeEventStore.h"
#include "TestSupport.h"
#include "views/AnimationClock.h"

#include "app/AccessView.h"
#include "app/AppSheets.h"
#include "app/CalendarMenus.h"
#include "app/EventDetailSheet.h"
#include "app/EventEditorDialog.h"
#include "app/MainWindow.h"
#include "app/TitlePopover.h"
#include "store/CalendarStore.h"
#include "store/SharedKeychain.h"
#include "store/SharedPrefs.h"
#include "views/AgendaListView.h"
#include "views/FourWeeksView.h"
#include "views/TimeGridView.h"
#include "views/WidgetGalleryView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace plannery {
namespace {

using test::at;

// The main window over an in-memory event store, on Wednesday 11 March 2026 at 10:30.
struct App {
    test::TempDir dir;
    Calendar cal = test::berlin();
    Instant now = at(cal, 2026, 3, 11, 10, 30);
    QSettings settings{QString::fromStdString((dir.path() / "prefs.ini").string()),
                       QSettings::IniFormat};
    SharedKeychain keychain{std::nullopt, dir.path(), settings};
    test::FakeEventStore* fake = nullptr;
    CalendarHandle work;
    std::unique_ptr<CalendarStore> store;
    std::vector<std::string> detailsShown;
    int settingsShown = 0;
    std::unique_ptr<MainWindow> window;

    explicit App(AuthorizationStatus status = AuthorizationStatus::fullAccess) {
        auto own = std::make_unique<test::FakeEventStore>();
        own->setAuthorizationStatus(status);
        work = own->addCalendar({.id = "work", .title = "Work"});
        own->addEvent({.identifier = "standup", .title = "Standup", .calendar = work},
                      at(cal, 2026, 3, 11, 9), at(cal, 2026, 3, 11, 9, 30));
        fake = own.get();
        store = std::make_unique<CalendarStore>(CalendarStore::Services{
            .eventStore = std::move(own),
            .scanHandle = [] { return std::unique_ptr<EventStore>(); },
            .calendar = [this] { return cal; },
            .now = [this] { return now; },
            .defaults = &settings,
            .keychain = &keychain,
        });
    }

    // With the sheets given, or with ones that count what they are asked to show.
    MainWindow& open(LaunchOptions launch = {}, std::optional<RootView::Sheets> sheets = {}) {
        window = std::make_unique<MainWindow>(RootView::Setup{
            .store = store.get(),
            .defaults = &settings,
            .launch = launch,
            .clock = [this] { return now; },
            .sheets = sheets ? *sheets : countingSheets(),
            .outside = {},
        });
        window->resize(1200, 800);
        window->show();
        QCoreApplication::processEvents();
        return *window;
    }

    RootView::Sheets countingSheets() {
        return RootView::Sheets{
            .detail =
                [this](QWidget* parent, const CalEvent& event) {
                    detailsShown.push_back(event.title);
                    return new QDialog(parent);
                },
            .newEvent = {},
            .settings =
                [this](QWidget* parent) {
                    ++settingsShown;
                    auto* dialog = new QDialog(parent);
                    dialog->setObjectName("settingsSheet");
                    return dialog;
                },
        };
    }

    RootView& root() { return window->rootView(); }
    NavigationState& nav() { return root().navigation(); }
    QAction* mode(ViewMode m) { return window->menus().modeAction(m); }
};

TEST(RootView, MenuItemsSwitchModesPageAndKeepTheTitleRight) {
    test::AnimationClock clock;
    App app;
    app.open(LaunchOptions{.anchor = at(app.cal, 2026, 3, 11)});
    EXPECT_EQ(app.nav().mode(), ViewMode::threeDay);
    EXPECT_EQ(app.root().currentView()->objectName(), "timeGrid-threeDay");
    EXPECT_TRUE(app.mode(ViewMode::threeDay)->isChecked());
    EXPECT_EQ(app.root().titleText(), "March 2026");

    app.mode(ViewMode::week)->trigger();
    EXPECT_EQ(app.nav().mode(), ViewMode::week);
    EXPECT_EQ(app.root().currentView()->objectName(), "timeGrid-week");
    EXPECT_TRUE(app.mode(ViewMode::week)->isChecked());
    EXPECT_FALSE(app.mode(ViewMode::threeDay)->isChecked());
    // The mode is kept for the next start.
    EXPECT_EQ(app.settings.value("mode").toString(), "week");

    // The week answers an anchor with its first day.
    EXPECT_EQ(app.nav().anchor(), at(app.cal, 2026, 3, 9));
    app.window->menus().nextAction()->trigger();
    EXPECT_EQ(app.nav().anchor(), at(app.cal, 2026, 3, 16));
    app.window->menus().todayAction()->trigger();
    EXPECT_EQ(app.nav().anchor(), at(app.cal, 2026, 3, 9));

    app.mode(ViewMode::fourWeeks)->trigger();
    auto* fourWeeks = dynamic_cast<FourWeeksView*>(app.root().currentView());
    ASSERT_NE(fourWeeks, nullptr);
    // The page of Wednesday 11 March runs from 8 March to 4 April; the next one to 2 May.
    EXPECT_EQ(app.root().titleText(), "Mar – Apr 2026");
    app.window->menus().nextAction()->trigger();
    clock.finish(); // the page slides into place
    EXPECT_EQ(app.root().titleText().toStdString(), fourWeeks->title());
    EXPECT_EQ(app.root().titleText(), "Apr – May 2026");

    // The window's title follows.
    EXPECT_TRUE(app.window->windowTitle().startsWith("Apr – May 2026"));

    // The agenda lists the days from the anchor on; scrolling it moves the anchor.
    for (int day = 1; day <= 30; ++day) {
        app.fake->addEvent({.identifier = "review-" + std::to_string(day),
                            .title = "Review",
                            .calendar = app.work},
                           at(app.cal, 2026, 4, day, 14), at(app.cal, 2026, 4, day, 15));
    }
    app.store->eventStoreChanged();
    app.mode(ViewMode::agenda)->trigger();
    auto* agenda = dynamic_cast<AgendaListView*>(app.root().currentView());
    ASSERT_NE(agenda, nullptr);
    EXPECT_EQ(agenda->range().start, app.nav().anchor());
    agenda->verticalScrollBar()->setValue(agenda->verticalScrollBar()->value() + 2000);
    ASSERT_NE(app.nav().anchor(), agenda->range().start);
    EXPECT_EQ(std::optional(app.nav().anchor()), agenda->scrolledDay());
}

TEST(RootView, ShortcutsReachTheActiveWindowAndNothingActsWithoutOne) {
    App app;
    MainWindow& window = app.open(LaunchOptions{.anchor = at(app.cal, 2026, 3, 11)});
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(app.nav().mode(), ViewMode::agenda);
    QTest::keyClick(&window, Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(app.nav().mode(), ViewMode::day);
    QTest::keyClick(&window, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(app.nav().anchor(), at(app.cal, 2026, 3, 12));

    window.hide();
    for (ViewMode mode : ViewModes::all) {
        EXPECT_FALSE(app.mode(mode)->isEnabled());
        EXPECT_FALSE(app.mode(mode)->isChecked());
    }
    EXPECT_FALSE(window.menus().todayAction()->isEnabled());
    EXPECT_FALSE(window.menus().settingsAction()->isEnabled());
    // A menu bar without any window to act on, as when the last one closed.
    QMenuBar bar;
    CalendarMenus menus(
        bar, [] { return std::optional<CalendarActions>(); }, 5);
    EXPECT_FALSE(menus.nextAction()->isEnabled());
    EXPECT_EQ(menus.modeAction(ViewMode::workWeek)->text(), "5 Day");
    EXPECT_EQ(menus.modeAction(ViewMode::fourWeeks)->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_6));
}

TEST(RootView, SheetsOpenFromTheirStateAndClearItWhenClosed) {
    App app;
    app.open(LaunchOptions{.anchor = at(app.cal, 2026, 3, 11)});
    app.window->menus().settingsAction()->trigger();
    EXPECT_EQ(app.settingsShown, 1);
    QDialog* sheet = app.root().openSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(app.nav().showSettings());
    sheet->reject();
    QCoreApplication::processEvents();
    EXPECT_FALSE(app.nav().showSettings());
    EXPECT_EQ(app.root().openSheet(), nullptr);

    // Clicking an event in the grid opens its detail.
    app.mode(ViewMode::day)->trigger();
    auto* grid = dynamic_cast<TimeGridView*>(app.root().currentView());
    ASSERT_NE(grid, nullptr);
    QCoreApplication::processEvents();
    const QPointF standup(grid->columnLeft(grid->pageStart()).value() + 40,
                          grid->minuteY(9 * 60 + 15));
    QTest::mouseClick(grid, Qt::LeftButton, {}, standup.toPoint());
    ASSERT_EQ(app.detailsShown, std::vector<std::string>{"Standup"});
    ASSERT_TRUE(app.nav().selected());
    app.root().openSheet()->accept();
    QCoreApplication::processEvents();
    EXPECT_FALSE(app.nav().selected());

    // Launched with the settings sheet open.
    App launched;
    launched.open(LaunchOptions{.showSettings = true});
    EXPECT_EQ(launched.settingsShown, 1);
}

TEST(RootView, EventsFromImageOpensFromTheMenusAndShowsTheDayOfWhatItAdded) {
    int opened = 0;
    std::function<void(std::optional<Instant>)> report;
    const auto withImageSheet = [&](App& app) {
        RootView::Sheets sheets = app.countingSheets();
        sheets.imageEvents = [&](QWidget* parent,
                                 std::function<void(std::optional<Instant>)> done) {
            ++opened;
            report = std::move(done);
            return new QDialog(parent);
        };
        return sheets;
    };
    App app;
    MainWindow& window =
        app.open(LaunchOptions{.anchor = at(app.cal, 2026, 3, 11)}, withImageSheet(app));
    // The engine choice is recorded when the window first shows.
    EXPECT_EQ(SharedPrefs(app.keychain).string(SharedPrefs::eventFinderEngine), "builtin");

    QAction* item = window.menus().eventsFromImageAction();
    EXPECT_TRUE(item->isEnabled());
    EXPECT_EQ(item->text(), "Events from Image…");
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    item->trigger();
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(app.nav().showImageEvents());
    // It closes having added an event on Saturday 21 March: that day shows.
    app.root().openSheet()->accept();
    report(at(app.cal, 2026, 3, 21, 15));
    QCoreApplication::processEvents();
    EXPECT_FALSE(app.nav().showImageEvents());
    EXPECT_EQ(app.nav().anchor(), at(app.cal, 2026, 3, 21));

    // The Add menu offers it too; closing without adding stays on the day.
    auto* add = window.findChild<QToolButton*>("addMenu");
    ASSERT_NE(add, nullptr);
    QAction* fromImage = nullptr;
    for (QAction* action : add->menu()->actions()) {
        if (action->objectName() == "eventsFromImageItem") {
            fromImage = action;
        }
    }
    ASSERT_NE(fromImage, nullptr);
    fromImage->trigger();
    EXPECT_EQ(opened, 2);
    app.root().openSheet()->reject();
    report(std::nullopt);
    QCoreApplication::processEvents();
    EXPECT_EQ(app.nav().anchor(), at(app.cal, 2026, 3, 21));

    // Launched with the sheet open.
    App launched;
    launched.open(LaunchOptions{.imageEventsDemo = true}, withImageSheet(launched));
    EXPECT_EQ(opened, 3);
    // A window without the sheet does not offer it.
    App plain;
    plain.open();
    EXPECT_FALSE(plain.window->menus().eventsFromImageAction()->isEnabled());
}

TEST(RootView, TheAppsSheetsShowTheEventANewEventAndTheSettings) {
    App app;
    app.open(LaunchOptions{.anchor = at(app.cal, 2026, 3, 11)},
             appSheets(*app.store, app.settings));
    app.mode(ViewMode::day)->trigger();
    auto* grid = dynamic_cast<TimeGridView*>(app.root().currentView());
    ASSERT_NE(grid, nullptr);
    QCoreApplication::processEvents();

    // The event in the detail sheet.
    const QPointF standup(grid->columnLeft(grid->pageStart()).value() + 40,
                          grid->minuteY(9 * 60 + 15));
    QTest::mouseClick(grid, Qt::LeftButton, {}, standup.toPoint());
    auto* detail = qobject_cast<EventDetailSheet*>(app.root().openSheet());
    ASSERT_NE(detail, nullptr);
    const auto* title = detail->findChild<QLabel*>("detailTitle");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), "Standup");
    detail->reject();
    QCoreApplication::processEvents();
    EXPECT_FALSE(app.nav().selected());

    // A new event in the editor.
    app.window->menus().newEventAction()->trigger();
    auto* editor = qobject_cast<EventEditorDialog*>(app.root().openSheet());
    ASSERT_NE(editor, nullptr);
    editor->reject();
    QCoreApplication::processEvents();
    EXPECT_FALSE(app.nav().newEventRange());

    // Settings: all hours instead of fitted ones reach the grid on screen at once.
    const int fittedStart = grid->metrics().startHour;
    ASSERT_GT(fittedStart, 0);
    app.window->menus().settingsAction()->trigger();
    QDialog* settings = app.root().openSheet();
    ASSERT_NE(settings, nullptr);
    auto* fit = settings->findChild<QCheckBox*>("fitHours");
    ASSERT_NE(fit, nullptr);
    ASSERT_TRUE(fit->isChecked());
    fit->click();
    EXPECT_EQ(grid->metrics().startHour, 0);
    QTest::mouseClick(settings->findChild<QPushButton*>("done"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_FALSE(app.nav().showSettings());
}

TEST(RootView, AccessViewAsksThenShowsTheCalendarOnceAccessIsGiven) {
    App app(AuthorizationStatus::notDetermined);
    app.open();
    auto* access = qobject_cast<AccessView*>(app.root().currentView());
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->button()->text(), "Allow Access");
    EXPECT_EQ(access->message(), "Plannery needs access to your calendars to show your events.");

    // Refused: the button now sends the user to where access is given.
    app.fake->setAnswerToRequest(AuthorizationStatus::denied);
    QTest::mouseClick(access->button(), Qt::LeftButton);
    EXPECT_EQ(access->button()->text(), "Open Settings");
    EXPECT_EQ(access->message(),
              "Plannery can't read your calendars. Allow Full Access in Settings.");

    // Access given elsewhere: coming back to the window shows the calendar without a restart.
    app.fake->setAuthorizationStatus(AuthorizationStatus::fullAccess);
    QEvent activation(QEvent::ActivationChange);
    app.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app.window.get()));
    QCoreApplication::sendEvent(&app.root(), &activation);
    EXPECT_EQ(app.root().currentView()->objectName(), "timeGrid-threeDay");
}

TEST(RootView, TitlePopoverGoesToADayOrAModeAndNarrowWindowsFoldThePicker) {
    App app;
    app.open(LaunchOptions{.anchor = at(app.cal, 2026, 3, 11)});
    auto* title = app.root().findChild<QToolButton*>("titleZoom");
    ASSERT_NE(title, nullptr);
    QTest::mouseClick(title, Qt::LeftButton);
    auto* popover = app.root().findChild<TitlePopover*>("titlePopover");
    ASSERT_NE(popover, nullptr);
    EXPECT_TRUE(popover->isVisible());
    EXPECT_TRUE(app.nav().showTitlePopover());
    EXPECT_EQ(popover->monthTitle(), "March 2026");
    auto* week = popover->findChild<QToolButton*>("quickMode-week");
    ASSERT_NE(week, nullptr);
    QTest::mouseClick(week, Qt::LeftButton);
    EXPECT_EQ(app.nav().mode(), ViewMode::week);
    EXPECT_FALSE(popover->isVisible());
    EXPECT_FALSE(app.nav().showTitlePopover());

    auto* picker = app.root().findChild<QWidget*>("viewPicker");
    auto* menu = app.root().findChild<QToolButton*>("viewMode");
    EXPECT_TRUE(picker->isVisible());
    EXPECT_FALSE(menu->isVisible());
    app.window->resize(500, 700);
    QCoreApplication::processEvents();
    EXPECT_TRUE(app.root().isCompact());
    EXPECT_FALSE(picker->isVisible());
    EXPECT_TRUE(menu->isVisible());
}

TEST(RootView, DeepLinksOpenTheirDayAndBadOnesChangeNothing) {
    App app;
    MainWindow& window = app.open(LaunchOptions{.anchor = at(app.cal, 2026, 3, 11)});
    window.openLink("plannery://day/2026-03-07");
    EXPECT_EQ(app.nav().anchor(), at(app.cal, 2026, 3, 7));
    window.openLink("plannery://week/2026-04-07");
    window.openLink("plannery://day/2026-02-30");
    EXPECT_EQ(app.nav().anchor(), at(app.cal, 2026, 3, 7));
    // An empty message only brings the window forward.
    window.openLink("");
    EXPECT_EQ(app.nav().anchor(), at(app.cal, 2026, 3, 7));
}

TEST(RootView, TheWidgetGalleryTakesThePlaceOfTheCalendars) {
    // Launched with the gallery, even without calendar access.
    App denied(AuthorizationStatus::denied);
    LaunchOptions launch;
    launch.widgetGallery = true;
    launch.widgetGalleryPage = "lock";
    launch.widgetGalleryNow = "2026-03-11 14:40";
    denied.open(launch);
    auto* gallery = dynamic_cast<WidgetGalleryView*>(denied.root().currentView());
    ASSERT_NE(gallery, nullptr);
    EXPECT_EQ(gallery->page(), WidgetGallery::Page::lock);
    EXPECT_EQ(gallery->now(), at(denied.cal, 2026, 3, 11, 14, 40));
    EXPECT_FALSE(denied.window->findChild<QToolBar*>(QStringLiteral("toolbar"))->isVisible());
    // Done goes back to what the window shows without the gallery.
    auto* done = gallery->findChild<QPushButton*>(QStringLiteral("widgetGalleryDone"));
    ASSERT_NE(done, nullptr);
    done->click();
    EXPECT_NE(dynamic_cast<AccessView*>(denied.root().currentView()), nullptr);

    // The menu item opens it; choosing a view leaves it.
    App app;
    app.open(LaunchOptions{.anchor = at(app.cal, 2026, 3, 11)});
    QAction* item = app.window->menus().widgetGalleryAction();
    ASSERT_TRUE(item->isEnabled());
    item->trigger();
    EXPECT_TRUE(app.root().showsWidgetGallery());
    ASSERT_NE(dynamic_cast<WidgetGalleryView*>(app.root().currentView()), nullptr);
    app.mode(ViewMode::week)->trigger();
    EXPECT_FALSE(app.root().showsWidgetGallery());
    EXPECT_EQ(app.root().currentView()->objectName(), "timeGrid-week");
    EXPECT_TRUE(app.window->findChild<QToolBar*>(QStringLiteral("toolbar"))->isVisible());
}

} // namespace
} // namespace plannery
