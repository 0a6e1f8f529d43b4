#include "cli/EventLookup.h"

#include "TestSupport.h"
#include "platform/VdirEventStore.h"

#include <gtest/gtest.h>

namespace plannery::cli {
namespace {

using test::calendarText;
using test::vevent;

std::string event(const std::string& uid, const std::string& day = "20260310") {
    return vevent(uid, "DTSTART:" + day + "T090000Z", "DTEND:" + day + "T100000Z", uid);
}

TEST(EventLookup, AnyTailAfterASlashNamesWhatOnlyItFits) {
    test::TempDir dir;
    dir.write("work/cal/a.ics", calendarText(event("a")));
    dir.write("work/cal/b.ics", calendarText(event("b")));
    dir.write("home/cal/a.ics", calendarText(event("a2")));
    dir.write("holidays.ics", calendarText(event("u1") + event("x/y#z", "20260311")));
    const VdirEventStore store(VdirOptions{
        .roots = {dir.path()}, .cacheFile = {}, .calendar = test::berlin(), .check = {}});
    const auto full = [&](const std::string& below) { return (dir.path() / below).string(); };

    const auto calendars = store.calendars();
    EXPECT_EQ(calendarID(calendars, full("work/cal")).id, full("work/cal"));
    EXPECT_EQ(calendarID(calendars, "work/cal").id, full("work/cal"));
    EXPECT_EQ(calendarID(calendars, "/work/cal").id, full("work/cal"));
    EXPECT_EQ(calendarID(calendars, "holidays.ics").id, full("holidays.ics"));
    EXPECT_EQ(calendarID(calendars, "cal").problem,
              "The identifier \"cal\" fits several calendars: " + full("home/cal") + " and " +
                  full("work/cal") + "; give more of it.");
    // Only whole names count: "ork/cal" is no tail of "work/cal".
    EXPECT_EQ(calendarID(calendars, "ork/cal").problem,
              "No calendar has the identifier \"ork/cal\"; `plannery calendars` lists them.");

    EXPECT_EQ(eventID(store, full("work/cal/a.ics")).id, full("work/cal/a.ics"));
    EXPECT_EQ(eventID(store, "work/cal/a.ics").id, full("work/cal/a.ics"));
    EXPECT_EQ(eventID(store, "b.ics").id, full("work/cal/b.ics"));
    EXPECT_FALSE(eventID(store, "a.ics").id);
    EXPECT_NE(eventID(store, "a.ics").problem.find("fits several events"), std::string::npos);
    EXPECT_EQ(eventID(store, "holidays.ics#u1").id, full("holidays.ics") + "#u1");
    EXPECT_EQ(eventID(store, "holidays.ics#x/y#z").id, full("holidays.ics") + "#x/y#z");
    EXPECT_EQ(eventID(store, "work/cal/c.ics").problem,
              "No event has the identifier \"work/cal/c.ics\".");
    EXPECT_FALSE(eventID(store, "").id);
}

} // namespace
} // namespace plannery::cli
