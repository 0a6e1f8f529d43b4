#include "store/VdirCalendarStore.h"

#include "TestSupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace plannery {
namespace {

namespace fs = std::filesystem;

std::string event(const std::string& title) {
    return test::calendarText(
        test::vevent("a", "DTSTART:20260310T090000Z", "DTEND:20260310T100000Z", title));
}

std::string titleOn(CalendarStore& store) {
    const auto events = store.events(test::at(test::berlin(), 2026, 3, 10, 12));
    return events->size() == 1 ? events->front().title : "(" + std::to_string(events->size()) + ")";
}

// Lets the store's changes come in until the condition holds.
bool changesUntil(CalendarStore& store, const std::function<bool()>& condition) {
    QSignalSpy revisions(&store, &CalendarStore::revisionChanged);
    while (!condition()) {
        if (!revisions.wait(30000)) {
            return condition();
        }
    }
    return true;
}

// What the app does: a quick first look that trusts folders whose time did not change, the full
// check after the first paint, and the folder watcher from then on.
TEST(VdirCalendarStore, EditsInPlaceReachTheViews) {
    test::TempDir dir;
    const fs::path root = dir.path() / "root";
    const fs::path file = dir.write("root/acct/cal/a.ics", event("Lunch"));
    test::setTime(file, 100);
    test::setTime(root / "acct/cal", 50);
    const VdirSetup setup{.roots = {root},
                          .cacheFile = dir.path() / "index.sqlite",
                          .zone = "Europe/Berlin",
                          .check = VdirOptions::Check::changedFolders};
    EXPECT_EQ(titleOn(*makeVdirCalendarStore(setup)), "Lunch");

    // Edited in place while the app was closed, which leaves the folder's time as it was.
    std::ofstream(file, std::ios::binary | std::ios::trunc) << event("Dinner");
    test::setTime(file, 200);
    test::setTime(root / "acct/cal", 50);

    auto store = makeVdirCalendarStore(setup);
    EXPECT_EQ(titleOn(*store), "Lunch") << "the quick look trusts the folder";
    checkEveryFile(*store);
    EXPECT_TRUE(changesUntil(*store, [&] { return titleOn(*store) == "Dinner"; }));

    // Edited in place while it runs.
    std::ofstream(file, std::ios::binary | std::ios::trunc) << event("Supper");
    EXPECT_TRUE(changesUntil(*store, [&] { return titleOn(*store) == "Supper"; }));
}

} // namespace
} // namespace plannery
