#include "app/NavigationState.h"

#include "TestSupport.h"
#include "grid/FourWeeksPages.h"
#include "model/Fmt.h"

#include <QSettings>
#include <QSignalSpy>
#include <QStringList>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace plannery {
namespace {

// A window's navigation with a fixed clock (Wednesday 4 March 2026, 14:20 in Berlin) and its
// own preferences file.
class NavigationStateTest : public ::testing::Test {
  protected:
    std::unique_ptr<QSettings> preferences() const {
        return std::make_unique<QSettings>(
            QString::fromStdString((m_folder.path() / "Plannery.conf").string()),
            QSettings::IniFormat);
    }

    std::unique_ptr<NavigationState> make(LaunchOptions launch = {}) {
        return std::make_unique<NavigationState>(NavigationState::Setup{
            .calendar = berlin,
            .defaults = m_defaults.get(),
            .launch = std::move(launch),
            .clock = [this] { return now; },
        });
    }

    Instant day(int year, int month, int d) const { return test::at(berlin, year, month, d); }

    const Calendar berlin = test::berlin();
    Instant now = test::at(berlin, 2026, 3, 4, 14, 20);
    test::TempDir m_folder;
    std::unique_ptr<QSettings> m_defaults = preferences();
};

TEST_F(NavigationStateTest, StartsOnTodayInTheStoredModeOrOnTheLaunchDayWithItsSheets) {
    auto fresh = make();
    EXPECT_EQ(fresh->mode(), ViewMode::threeDay);
    EXPECT_EQ(fresh->anchor(), day(2026, 3, 4));
    EXPECT_FALSE(fresh->showSettings() || fresh->showImageEvents() || fresh->showTitlePopover());
    EXPECT_EQ(fresh->selected(), std::nullopt);
    EXPECT_EQ(fresh->newEventRange(), std::nullopt);
    EXPECT_TRUE(fresh->zoomStack().empty());

    m_defaults->setValue("mode", "fourWeeks");
    auto stored = make(LaunchOptions{.anchor = day(2026, 7, 1).plus(5 * 3600),
                                     .showSettings = true,
                                     .showTitlePopover = true,
                                     .imageEventsDemo = true});
    EXPECT_EQ(stored->mode(), ViewMode::fourWeeks);
    EXPECT_EQ(stored->anchor(), day(2026, 7, 1));
    EXPECT_TRUE(stored->showSettings());
    EXPECT_TRUE(stored->showTitlePopover());
    EXPECT_TRUE(stored->showImageEvents());

    for (const QVariant& nonsense : {QVariant("Week"), QVariant(3), QVariant(QStringList{"day"})}) {
        m_defaults->setValue("mode", nonsense);
        EXPECT_EQ(make()->mode(), ViewMode::threeDay) << nonsense.toString().toStdString();
    }
}

TEST_F(NavigationStateTest, TheModeSurvivesARestartAndAModeChangeForgetsTheZoom) {
    auto state = make();
    state->setMode(ViewMode::week);
    state->zoomTo(day(2026, 3, 5));
    ASSERT_EQ(state->zoomStack().size(), 1u);

    QSignalSpy modes(state.get(), &NavigationState::modeChanged);
    QSignalSpy stacks(state.get(), &NavigationState::zoomStackChanged);
    state->setMode(ViewMode::day);
    EXPECT_EQ(modes.count(), 0) << "already in the day mode";
    EXPECT_EQ(state->zoomStack().size(), 1u);

    state->setMode(ViewMode::agenda);
    EXPECT_EQ(modes.count(), 1);
    EXPECT_EQ(stacks.count(), 1);
    EXPECT_TRUE(state->zoomStack().empty());
    EXPECT_EQ(state->anchor(), day(2026, 3, 5));

    m_defaults->sync();
    const auto reread = preferences();
    EXPECT_EQ(reread->value("mode").toString(), "agenda");
    state.reset();
    EXPECT_EQ(make()->mode(), ViewMode::agenda);
}

TEST_F(NavigationStateTest, PagesMoveByTheModesStep) {
    auto state = make(LaunchOptions{.anchor = day(2026, 3, 10)});
    QSignalSpy anchors(state.get(), &NavigationState::anchorChanged);
    const struct {
        ViewMode mode;
        int pages;
        Instant expected;
    } steps[] = {
        {ViewMode::fourWeeks, 1, day(2026, 4, 7)}, {ViewMode::fourWeeks, -1, day(2026, 3, 10)},
        {ViewMode::agenda, 1, day(2026, 3, 17)},   {ViewMode::workWeek, 1, day(2026, 3, 24)},
        {ViewMode::week, -2, day(2026, 3, 10)},    {ViewMode::threeDay, 1, day(2026, 3, 13)},
        {ViewMode::day, -1, day(2026, 3, 12)},
    };
    int moves = 0;
    for (const auto& step : steps) {
        state->setMode(step.mode);
        state->page(step.pages);
        EXPECT_EQ(state->anchor(), step.expected) << ViewModes::rawValue(step.mode);
        EXPECT_EQ(anchors.count(), ++moves);
    }
    // Paging where no date can be formed leaves the anchor where it was, silently.
    state->page(2'000'000'000);
    EXPECT_EQ(state->anchor(), day(2026, 3, 12));
    EXPECT_EQ(anchors.count(), moves);

    state->today();
    EXPECT_EQ(state->anchor(), day(2026, 3, 4));
    EXPECT_EQ(state->mode(), ViewMode::day);
    state->today();
    EXPECT_EQ(anchors.count(), moves + 1);
}

TEST_F(NavigationStateTest, ShowingADaySwitchesToTheDayModeOnlyWhenTheModeCannotShowIt) {
    auto state = make();
    state->setMode(ViewMode::workWeek);
    state->show(day(2026, 3, 11).plus(15 * 3600));
    EXPECT_EQ(state->mode(), ViewMode::workWeek) << "a Wednesday";
    EXPECT_EQ(state->anchor(), day(2026, 3, 11));
    state->show(day(2026, 3, 7));
    EXPECT_EQ(state->mode(), ViewMode::day) << "a Saturday";
    EXPECT_EQ(state->anchor(), day(2026, 3, 7));

    state->setMode(ViewMode::week);
    state->show(day(2026, 3, 8));
    EXPECT_EQ(state->mode(), ViewMode::week);
    state->setMode(ViewMode::agenda);
    state->show(day(2026, 3, 9));
    EXPECT_EQ(state->mode(), ViewMode::day);
    state->setMode(ViewMode::fourWeeks);
    state->show(day(2026, 5, 20));
    EXPECT_EQ(state->mode(), ViewMode::fourWeeks);
    EXPECT_EQ(state->anchor(), day(2026, 5, 20));
}

TEST_F(NavigationStateTest, ZoomingTwiceOnADayReturnsToTheWeekItCameFrom) {
    auto state = make(LaunchOptions{.anchor = day(2026, 3, 2)});
    state->setMode(ViewMode::week);

    // In: the week is saved and the day shown.
    state->zoomTo(day(2026, 3, 5).plus(10 * 3600));
    EXPECT_EQ(state->mode(), ViewMode::day);
    EXPECT_EQ(state->anchor(), day(2026, 3, 5));
    EXPECT_EQ(state->zoomStack(),
              (std::vector<ZoomEntry>{{.mode = ViewMode::week, .anchor = day(2026, 3, 2)}}));
    // Out again on a day of that week: the week exactly as it was.
    state->zoomTo(day(2026, 3, 5));
    EXPECT_EQ(state->mode(), ViewMode::week);
    EXPECT_EQ(state->anchor(), day(2026, 3, 2));
    EXPECT_TRUE(state->zoomStack().empty());

    // Out on a day the saved week does not hold (paged on in the day mode): the week moves there.
    state->zoomTo(day(2026, 3, 5));
    state->page(5);
    state->zoomTo(state->anchor());
    EXPECT_EQ(state->mode(), ViewMode::week);
    EXPECT_EQ(state->anchor(), day(2026, 3, 10));

    // From the day mode with nothing saved: three days from the tapped day.
    state->setMode(ViewMode::day);
    state->zoomTo(day(2026, 4, 1));
    EXPECT_EQ(state->mode(), ViewMode::threeDay);
    EXPECT_EQ(state->anchor(), day(2026, 4, 1));
}

TEST_F(NavigationStateTest, ZoomingBackKeepsThePageOnlyWhereItShowsTheDay) {
    auto state = make(LaunchOptions{.anchor = day(2026, 3, 2)});
    // The work week has no Saturday column: back on Saturday, the anchor moves to it.
    state->setMode(ViewMode::workWeek);
    state->zoomTo(day(2026, 3, 4));
    state->zoomBack(day(2026, 3, 7), ViewMode::threeDay);
    EXPECT_EQ(state->mode(), ViewMode::workWeek);
    EXPECT_EQ(state->anchor(), day(2026, 3, 7));

    // The agenda comes back on the day zoomed out of.
    state->setMode(ViewMode::agenda);
    state->setAnchor(day(2026, 3, 4));
    state->zoomTo(day(2026, 3, 6));
    state->zoomBack(day(2026, 3, 6), ViewMode::threeDay);
    EXPECT_EQ(state->mode(), ViewMode::agenda);
    EXPECT_EQ(state->anchor(), day(2026, 3, 6));

    // The four weeks come back on their page while the day is on it.
    state->setMode(ViewMode::fourWeeks);
    state->setAnchor(day(2026, 3, 2));
    state->zoomTo(day(2026, 3, 27));
    state->zoomBack(day(2026, 3, 28), ViewMode::threeDay);
    EXPECT_EQ(state->mode(), ViewMode::fourWeeks);
    EXPECT_EQ(state->anchor(), day(2026, 3, 2));
    state->zoomTo(day(2026, 4, 2));
    state->zoomBack(day(2026, 4, 2), ViewMode::threeDay);
    EXPECT_EQ(state->mode(), ViewMode::fourWeeks);
    EXPECT_EQ(state->anchor(), day(2026, 4, 2));
    EXPECT_TRUE(state->zoomStack().empty());
}

TEST_F(NavigationStateTest, LeavingTheFourWeeksKeepsTodayWhenItWasOnThePage) {
    auto state = make(LaunchOptions{.anchor = day(2026, 2, 23)});
    state->setMode(ViewMode::fourWeeks);
    EXPECT_EQ(state->dayOnScreen(), day(2026, 3, 4));
    state->setMode(ViewMode::week);
    EXPECT_EQ(state->anchor(), day(2026, 3, 4));

    state->setMode(ViewMode::fourWeeks);
    state->setAnchor(day(2026, 4, 6));
    EXPECT_EQ(state->dayOnScreen(), day(2026, 4, 6));
    state->setMode(ViewMode::threeDay);
    EXPECT_EQ(state->anchor(), day(2026, 4, 6));

    // Other modes keep their anchor when left, even with today on screen.
    state->setAnchor(day(2026, 3, 3));
    EXPECT_EQ(state->dayOnScreen(), day(2026, 3, 4));
    state->setMode(ViewMode::week);
    EXPECT_EQ(state->anchor(), day(2026, 3, 3));

    // A Saturday is not on the work week's screen.
    now = test::at(berlin, 2026, 3, 7, 11, 0);
    state->setMode(ViewMode::workWeek);
    state->setAnchor(day(2026, 3, 2));
    EXPECT_EQ(state->dayOnScreen(), day(2026, 3, 2));
}

TEST_F(NavigationStateTest, NewEventsOpenAtNineOrAtTheNextHourToday) {
    auto state = make();
    QSignalSpy ranges(state.get(), &NavigationState::newEventRangeChanged);
    state->page(1);
    state->setMode(ViewMode::day);
    state->newEvent();
    EXPECT_EQ(state->newEventRange(),
              (NewEventRange{.start = test::at(berlin, 2026, 3, 7, 9), .end = std::nullopt}));
    EXPECT_EQ(ranges.count(), 1);

    state->setNewEventRange(std::nullopt);
    state->today();
    state->newEvent();
    EXPECT_EQ(state->newEventRange(),
              (NewEventRange{.start = test::at(berlin, 2026, 3, 4, 15), .end = std::nullopt}));

    // A range dragged out in the grid replaces it; the same range again changes nothing.
    const NewEventRange dragged{.start = test::at(berlin, 2026, 3, 4, 10),
                                .end = test::at(berlin, 2026, 3, 4, 11, 30)};
    state->setNewEventRange(dragged);
    state->setNewEventRange(dragged);
    EXPECT_EQ(state->newEventRange(), dragged);
    EXPECT_EQ(ranges.count(), 4);
}

TEST_F(NavigationStateTest, DayLinksCloseTheDetailAndOpenTheDay) {
    auto state = make();
    state->setMode(ViewMode::week);
    state->setSelected(CalEvent{.id = "e1", .title = "Standup"});
    QSignalSpy selections(state.get(), &NavigationState::selectedChanged);

    EXPECT_FALSE(state->openURL(QUrl("plannery://week/2026-03-07")));
    EXPECT_FALSE(state->openURL(QUrl("https://example.com/day/2026-03-07")));
    EXPECT_TRUE(state->selected().has_value());
    EXPECT_EQ(state->anchor(), day(2026, 3, 4));

    EXPECT_TRUE(state->openURL(QUrl("plannery://day/2026-03-07")));
    EXPECT_EQ(state->selected(), std::nullopt);
    EXPECT_EQ(selections.count(), 1);
    EXPECT_EQ(state->mode(), ViewMode::week);
    EXPECT_EQ(state->anchor(), day(2026, 3, 7));

    state->setMode(ViewMode::agenda);
    EXPECT_TRUE(state->openURL(QUrl("plannery://day/2026-03-09")));
    EXPECT_EQ(state->mode(), ViewMode::day);
    EXPECT_EQ(state->anchor(), day(2026, 3, 9));
}

TEST_F(NavigationStateTest, SheetsOpenAndCloseWithOneSignalPerChange) {
    auto state = make();
    QSignalSpy settings(state.get(), &NavigationState::showSettingsChanged);
    QSignalSpy images(state.get(), &NavigationState::showImageEventsChanged);
    QSignalSpy popover(state.get(), &NavigationState::showTitlePopoverChanged);
    QSignalSpy anchors(state.get(), &NavigationState::anchorChanged);

    state->settings();
    state->settings();
    EXPECT_TRUE(state->showSettings());
    EXPECT_EQ(settings.count(), 1);
    state->setShowSettings(false);
    EXPECT_EQ(settings.count(), 2);

    state->setShowTitlePopover(true);
    state->setShowTitlePopover(false);
    EXPECT_EQ(popover.count(), 2);

    // The image-events sheet closes on the day of an event it added.
    state->eventsFromImage();
    EXPECT_TRUE(state->showImageEvents());
    state->imageEventsClosed(test::at(berlin, 2026, 3, 20, 18, 0));
    EXPECT_FALSE(state->showImageEvents());
    EXPECT_EQ(state->anchor(), day(2026, 3, 20));
    state->eventsFromImage();
    state->imageEventsClosed(std::nullopt);
    EXPECT_EQ(state->anchor(), day(2026, 3, 20));
    EXPECT_EQ(images.count(), 4);
    EXPECT_EQ(anchors.count(), 1);

    QSignalSpy selections(state.get(), &NavigationState::selectedChanged);
    const CalEvent event{.id = "e1", .title = "Standup"};
    state->setSelected(event);
    state->setSelected(event);
    state->setSelected(std::nullopt);
    EXPECT_EQ(selections.count(), 2);
}

TEST_F(NavigationStateTest, ListenersSeeTheWholeChange) {
    auto state = make();
    state->setMode(ViewMode::week);
    // When a zoom tells that the mode changed, the anchor and the stack already fit it.
    std::vector<std::string> seen;
    QObject::connect(state.get(), &NavigationState::modeChanged, [&] {
        seen.push_back(std::string(ViewModes::rawValue(state->mode())) + " " +
                       Fmt::dayKey(state->anchor(), berlin) + " " +
                       std::to_string(state->zoomStack().size()));
    });
    QSignalSpy anchors(state.get(), &NavigationState::anchorChanged);
    state->zoomTo(day(2026, 3, 6));
    state->zoomTo(day(2026, 3, 6));
    EXPECT_EQ(seen, (std::vector<std::string>{"day 2026-03-06 1", "week 2026-03-04 0"}));
    EXPECT_EQ(anchors.count(), 2);

    // Reports of the day a view already shows change nothing.
    state->setAnchor(day(2026, 3, 4).plus(8 * 3600));
    EXPECT_EQ(anchors.count(), 2);
    state->setAnchor(Instant{std::nan("")});
    EXPECT_EQ(state->anchor(), day(2026, 3, 4));
}

TEST_F(NavigationStateTest, TitlesFollowTheModeAndTheCalendar) {
    auto state = make();
    EXPECT_EQ(state->title(), "March 2026");
    state->setMode(ViewMode::fourWeeks);
    state->setAnchor(day(2026, 3, 30));
    EXPECT_EQ(state->title(), "Mar \u2013 Apr 2026");
    EXPECT_EQ(state->title(), FourWeeksPages::title(state->anchor(), berlin));
    EXPECT_EQ(state->modeTitle(ViewMode::workWeek), "5 Day");
    EXPECT_EQ(state->modeSymbolName(ViewMode::workWeek), "5.square");

    // A new zone keeps the calendar day: 30 March stays 30 March in Tokyo.
    QSignalSpy calendars(state.get(), &NavigationState::calendarChanged);
    const Calendar tokyo = Calendar::make("Asia/Tokyo", "de_DE").value();
    state->setCalendar(tokyo);
    EXPECT_EQ(state->anchor(), test::at(tokyo, 2026, 3, 30));
    EXPECT_EQ(calendars.count(), 1);
    state->setMode(ViewMode::day);
    EXPECT_EQ(state->title(), "M\u00e4rz 2026");
}

TEST_F(NavigationStateTest, LaunchOptionsComeFromTheCommandLineOverThePreferences) {
    m_defaults->setValue("anchor", "2026-01-15");
    m_defaults->setValue("showSettings", true);
    m_defaults->setValue("imageEventsDemo", "perhaps");
    const LaunchOptions options = NavigationState::readLaunchOptions(
        {"--anchor", "2026-03-07", "--showTitlePopover"}, m_defaults.get(), berlin);
    EXPECT_EQ(options.anchor, day(2026, 3, 7));
    EXPECT_TRUE(options.showSettings);
    EXPECT_TRUE(options.showTitlePopover);
    EXPECT_FALSE(options.imageEventsDemo);
    ASSERT_EQ(options.problems.size(), 1u);
    EXPECT_NE(options.problems[0].find("perhaps"), std::string::npos);

    // Read back from the file, a stored switch is text.
    m_defaults->sync();
    const LaunchOptions reread =
        NavigationState::readLaunchOptions({}, preferences().get(), berlin);
    EXPECT_EQ(reread.anchor, day(2026, 1, 15));
    EXPECT_TRUE(reread.showSettings);
    EXPECT_TRUE(NavigationState::readLaunchOptions({}, nullptr, berlin).problems.empty());

    // A list edited in by hand is no day: it is reported and the default is kept.
    m_defaults->remove("imageEventsDemo");
    m_defaults->setValue("anchor", QStringList{"2026-01-15", "2026-01-16"});
    const LaunchOptions listed = NavigationState::readLaunchOptions({}, m_defaults.get(), berlin);
    EXPECT_EQ(listed.anchor, std::nullopt);
    ASSERT_EQ(listed.problems.size(), 1u);
    EXPECT_NE(listed.problems[0].find("anchor"), std::string::npos);
}

} // namespace
} // namespace plannery
