#include "store/VdirCalendarStore.h"

#include "TestSupport.h"

#include <QSignalSpy>
#include <QTest>

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
    return events->size() == 1 ? events->front().title.str()
                               : "(" + std::to_string(events->size()) + ")";
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

// The title the views show on 10 March once the window has painted: its month loads on the
// worker, asked for here.
std::string loadedTitleOn(CalendarStore& store) {
    const Instant day = test::at(test::berlin(), 2026, 3, 10);
    store.request(day, day.plus(86400));
    const auto events = store.loaded(day);
    if (!events) {
        return "(loading)";
    }
    return events->size() == 1 ? events->front().title.str()
                               : "(" + std::to_string(events->size()) + ")";
}

// Lets the store's changes and loaded months come in until the condition holds.
bool loadsUntil(CalendarStore& store, const std::function<bool()>& condition) {
    QSignalSpy revisions(&store, &CalendarStore::revisionChanged);
    QSignalSpy loads(&store, &CalendarStore::monthsLoaded);
    while (!condition()) {
        if (!QTest::qWaitFor([&] { return !revisions.isEmpty() || !loads.isEmpty(); }, 30000)) {
            return condition();
        }
        revisions.clear();
        loads.clear();
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

// After the first paint, saving and removing run on a worker, one after the other: a removal
// asked for at once finds the event just added, before the store has read it back; the views
// see what was written once it has; a write goes through even when whoever asked has gone.
TEST(VdirCalendarStore, AfterTheFirstPaintWritesRunOnAWorkerInOrderAndReachTheViews) {
    test::TempDir dir;
    const fs::path root = dir.path() / "root";
    dir.write("root/acct/cal/a.ics", event("Lunch"));
    auto store = makeVdirCalendarStore(
        {.roots = {root}, .cacheFile = dir.path() / "index.sqlite", .zone = "Europe/Berlin"});
    EXPECT_EQ(titleOn(*store), "Lunch");
    store->loadInBackground();
    QSignalSpy written(store.get(), &CalendarStore::written);

    const Instant day = test::at(test::berlin(), 2026, 3, 10);
    auto content = std::make_shared<EventContent>();
    content->title = "Tea";
    content->calendar = store->eventStore().calendars().front();
    StoreEvent tea;
    tea.content = content;
    tea.startDate = day.plus(16 * 3600);
    tea.endDate = day.plus(17 * 3600);
    QObject asking;
    std::vector<std::string> steps;
    store->write(
        &asking, [tea](EventStore& events) { return events.save(tea, Span::thisEvent).ok(); },
        [&](bool saved) { steps.push_back(saved ? "saved" : "not saved"); });
    store->write(
        &asking,
        [day](EventStore& events) {
            for (const StoreEvent& one : events.events(day, day.plus(86400))) {
                if (one.title() == "Tea") {
                    return events.remove(one, Span::thisEvent).ok();
                }
            }
            return false;
        },
        [&](bool removed) { steps.push_back(removed ? "removed" : "not found"); });
    EXPECT_TRUE(steps.empty()) << "nothing is written on the window's thread";
    while (written.count() < 2) {
        ASSERT_TRUE(written.wait(30000));
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"saved", "removed"}));
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(root / "acct/cal")) {
        if (entry.path().extension() == ".ics") {
            files.push_back(entry.path().filename().string());
        }
    }
    EXPECT_EQ(files, std::vector<std::string>{"a.ics"});

    bool told = false;
    {
        QObject gone;
        store->write(
            &gone,
            [day](EventStore& events) {
                StoreEvent lunch = events.events(day, day.plus(86400)).at(0);
                auto retitled = std::make_shared<EventContent>(*lunch.content);
                retitled->title = "Brunch";
                lunch.content = retitled;
                return events.save(lunch, Span::thisEvent).ok();
            },
            [&](bool) { told = true; });
    }
    EXPECT_TRUE(loadsUntil(*store, [&] { return loadedTitleOn(*store) == "Brunch"; }));
    EXPECT_FALSE(told);
}

} // namespace
} // namespace plannery
