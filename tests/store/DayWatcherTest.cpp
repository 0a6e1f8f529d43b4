#include "store/DayWatcher.h"
#include "TestSupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace plannery {
namespace {

using namespace std::chrono_literals;

// The watcher's clock and zone are the test's: `clock` and `zone` move only when the test says.
class DayWatcherTest : public ::testing::Test {
  protected:
    std::string zone = "Europe/Berlin";
    Instant clock = test::at(test::berlin(), 2026, 6, 15, 11);

    std::unique_ptr<DayWatcher> makeWatcher() {
        return std::make_unique<DayWatcher>([this] { return test::calendarIn(zone); },
                                            [this] { return clock; });
    }
};

TEST_F(DayWatcherTest, WaitsUntilTheNextLocalMidnight) {
    const Calendar berlin = test::berlin();
    clock = test::at(berlin, 2026, 6, 15, 23, 59).plus(59.5);
    auto watcher = makeWatcher();
    EXPECT_EQ(watcher->untilNextDay(), 500ms);
    // The day summer time starts has 23 hours.
    clock = test::at(berlin, 2026, 3, 29);
    EXPECT_EQ(watcher->untilNextDay(), std::chrono::milliseconds(23h));
    clock = test::at(berlin, 2026, 10, 25);
    EXPECT_EQ(watcher->untilNextDay(), std::chrono::milliseconds(25h));
}

TEST_F(DayWatcherTest, TellsNewDaysAndNewZonesOnce) {
    auto watcher = makeWatcher();
    QSignalSpy days(watcher.get(), &DayWatcher::dayChanged);
    QSignalSpy zones(watcher.get(), &DayWatcher::timeZoneChanged);

    clock = clock.plus(3600);
    watcher->check();
    EXPECT_EQ(days.count(), 0);
    clock = test::at(test::berlin(), 2026, 6, 16, 0, 1);
    watcher->check();
    watcher->check();
    EXPECT_EQ(days.count(), 1);
    EXPECT_EQ(zones.count(), 0);

    // Still 16 June in New York at 18:01 there: only the zone is news.
    zone = "America/New_York";
    clock = test::at(test::calendarIn(zone), 2026, 6, 16, 18, 1);
    watcher->check();
    watcher->check();
    EXPECT_EQ(zones.count(), 1);
    EXPECT_EQ(days.count(), 1);
}

TEST_F(DayWatcherTest, TheMidnightTimerFires) {
    const Calendar berlin = test::berlin();
    clock = test::at(berlin, 2026, 6, 15, 23, 59).plus(59.95);
    auto watcher = makeWatcher();
    QSignalSpy days(watcher.get(), &DayWatcher::dayChanged);
    clock = test::at(berlin, 2026, 6, 16).plus(0.01);
    EXPECT_TRUE(days.wait(30000));
    EXPECT_EQ(days.count(), 1);
}

} // namespace
} // namespace plannery
