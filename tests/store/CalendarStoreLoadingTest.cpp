#include "CalendarStoreFixture.h"
#include "store/BackgroundPool.h"
#include "store/MonthLoader.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace plannery {
namespace {

// The store as the window has it after its first paint: months load on the worker.
class MonthLoading : public CalendarStoreTest {
  protected:
    CalendarHandle home;
    bool withLunch = false; // whether the calendars hold a lunch on 3 June
    QSemaphore entered;
    QSemaphore proceed;
    std::vector<Instant> queried; // where the worker's queries began
    std::unique_ptr<CalendarStore> store;

    void SetUp() override {
        populate = [this](test::FakeEventStore& fake) {
            home = fake.addCalendar({.id = "home", .title = "Home"});
            fake.addEvent(titled("dentist", home), on(6, 3), on(6, 3, 10));
            fake.addEvent(titled("party", home), on(9, 20, 19), on(9, 20, 23));
            if (withLunch) {
                fake.addEvent(titled("lunch", home), on(6, 3, 12), on(6, 3, 13));
            }
        };
        // No scan after a change comes between the loads (each would make a handle).
        changeDelay = std::chrono::hours(1);
        store = makeStore();
        // The first mirror scan has its own handle; the loads' handles come after it.
        QSignalSpy scanned(store.get(), &CalendarStore::mirrorScanFinished);
        EXPECT_TRUE(scanned.wait());
    }

    void TearDown() override {
        proceed.release(1000);
        CalendarStoreTest::TearDown();
    }

    // The next handle made for the worker waits inside its first query until `proceed`.
    void holdTheNextLoad() {
        prepareScan = [this, first = scans](RecordingStore& handle, int index) {
            handle.queried = &queried;
            if (index == first) {
                handle.entered = &entered;
                handle.proceed = &proceed;
            }
        };
    }

    // Lets the event loop run until the store holds the day's month.
    CalendarStore::EventList waitFor(Instant day) {
        QSignalSpy loaded(store.get(), &CalendarStore::monthsLoaded);
        while (!store->loaded(day)) {
            if (!loaded.wait()) {
                return nullptr;
            }
        }
        return store->loaded(day);
    }

    Instant month(int number) const { return on(number, 1, 0); }
};

TEST_F(MonthLoading, BeforeTheFirstPaintMonthsAreReadAtOnceAfterItOnTheWorker) {
    // The window's first paint may not open empty: the month asked for is there on return.
    store->request(on(6, 3, 0), on(6, 4, 0));
    ASSERT_TRUE(store->loaded(on(6, 3, 0)));
    EXPECT_EQ(titles(store->loaded(on(6, 3, 0))), std::vector<std::string>{"dentist"});
    EXPECT_TRUE(store->loaded(on(6, 30, 0))) << "the whole month is loaded";
    EXPECT_FALSE(store->loaded(on(7, 1, 0)));
    const int readHere = platform->fake.eventQueries();
    EXPECT_EQ(readHere, 1);

    holdTheNextLoad();
    store->loadInBackground();
    EXPECT_TRUE(store->loadsInBackground());
    store->request(on(9, 20, 0), on(9, 21, 0));
    EXPECT_FALSE(store->loaded(on(9, 20, 0))) << "a request returns before the month is read";
    entered.acquire();
    EXPECT_EQ(store->loader().loading(), month(9));
    EXPECT_EQ(QThreadPool::globalInstance()->activeThreadCount(), 0)
        << "the month is read beside Qt's own pool, which a paint's large fills wait on";
    // The months either side follow; June is loaded already and not asked again.
    EXPECT_EQ(store->loader().waiting(), (std::vector<Instant>{month(8), month(10)}));
    proceed.release(1000);
    ASSERT_TRUE(waitFor(on(9, 20, 0)));
    EXPECT_EQ(titles(store->loaded(on(9, 20, 0))), std::vector<std::string>{"party"});
    ASSERT_TRUE(waitFor(on(10, 1, 0)));
    ASSERT_TRUE(waitFor(on(8, 1, 0)));
    // Nothing was read on the main thread, and each month once on the worker.
    EXPECT_EQ(platform->fake.eventQueries(), readHere);
    EXPECT_EQ(std::set<Instant>(queried.begin(), queried.end()).size(), queried.size());
    EXPECT_EQ(queried.size(), 3u);

    // A month read on the main thread after the first paint is a fault.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEBUG_DEATH(store->events(on(12, 24)), "main thread");
}

TEST_F(MonthLoading, AChangeWhileAMonthLoadsIsNotOverwrittenByTheOlderRead) {
    holdTheNextLoad();
    store->loadInBackground();
    store->request(on(6, 3, 0), on(6, 4, 0));
    entered.acquire(); // June is being read from before the change

    // A sync adds a lunch; the store forgets everything, and the view asks again.
    withLunch = true;
    QSignalSpy revision(store.get(), &CalendarStore::revisionChanged);
    platform->fake.addEvent(titled("lunch", home), on(6, 3, 12), on(6, 3, 13));
    EXPECT_EQ(revision.count(), 1);
    store->request(on(6, 3, 0), on(6, 4, 0));
    // The old read is still under way; June waits for a read of its own.
    EXPECT_EQ(store->loader().loading(), month(6));
    EXPECT_EQ(store->loader().waiting().front(), month(6));

    // Every publication of June holds the lunch: the older read is dropped.
    std::vector<std::vector<std::string>> published;
    QObject::connect(store.get(), &CalendarStore::monthsLoaded, store.get(), [&] {
        if (const auto day = store->loaded(on(6, 3, 0))) {
            published.push_back(titles(day));
        }
    });
    proceed.release(1000);
    ASSERT_TRUE(waitFor(on(6, 3, 0)));
    EXPECT_EQ(titles(store->loaded(on(6, 3, 0))), (std::vector<std::string>{"dentist", "lunch"}));
    while (store->loader().busy()) {
        QSignalSpy loaded(store.get(), &CalendarStore::monthsLoaded);
        ASSERT_TRUE(loaded.wait());
    }
    ASSERT_FALSE(published.empty());
    for (const auto& titlesSeen : published) {
        EXPECT_EQ(titlesSeen, (std::vector<std::string>{"dentist", "lunch"}));
    }
    EXPECT_EQ(std::count(queried.begin(), queried.end(), month(6)), 2) << "once stale, once new";
}

TEST_F(MonthLoading, PagingFastDoesNotPileUpLoads) {
    holdTheNextLoad();
    store->loadInBackground();
    store->request(on(1, 10, 0), on(1, 11, 0));
    entered.acquire(); // January is under way while the user pages through the year
    for (int number = 2; number <= 12; ++number) {
        store->request(on(number, 10, 0), on(number, 11, 0));
    }
    const std::vector<Instant> waiting = store->loader().waiting();
    EXPECT_LE(waiting.size(), MonthLoader::kWaiting);
    ASSERT_FALSE(waiting.empty());
    EXPECT_EQ(waiting.front(), month(12)) << "the month shown last goes first";
    EXPECT_EQ(std::count(waiting.begin(), waiting.end(), month(1)), 0) << "not twice in flight";

    proceed.release(1000);
    ASSERT_TRUE(waitFor(on(12, 10, 0)));
    while (store->loader().busy()) {
        QSignalSpy loaded(store.get(), &CalendarStore::monthsLoaded);
        ASSERT_TRUE(loaded.wait());
    }
    // Months no longer wanted fell off: January and what waited, each read once.
    EXPECT_LE(queried.size(), 1 + MonthLoader::kWaiting);
    EXPECT_EQ(std::set<Instant>(queried.begin(), queried.end()).size(), queried.size());
    EXPECT_FALSE(store->loaded(on(2, 10, 0)));
    EXPECT_TRUE(store->loaded(on(1, 10, 0))) << "a finished load is kept";
}

TEST_F(MonthLoading, BrowsingPastTheKeptMonthsHandsTheirMemoryBackOncePaused) {
    store->loadInBackground();
    const auto browse = [this](int from, int to) {
        for (int number = from; number <= to; ++number) {
            store->request(on(number, 10, 0), on(number, 11, 0));
            ASSERT_TRUE(waitFor(on(number, 10, 0)));
        }
        while (store->loader().busy()) {
            QSignalSpy loaded(store.get(), &CalendarStore::monthsLoaded);
            ASSERT_TRUE(loaded.wait());
        }
        QCoreApplication::processEvents(); // the pause
    };
    browse(1, 3);
    EXPECT_EQ(freedMemoryReturns, 0) << "nothing was dropped";
    browse(4, 12);
    EXPECT_FALSE(store->loaded(on(1, 10, 0))) << "January was dropped";
    EXPECT_GE(freedMemoryReturns, 1);
}

TEST_F(MonthLoading, TheStoreMayGoWhileAMonthLoads) {
    holdTheNextLoad();
    store->loadInBackground();
    store->request(on(6, 3, 0), on(6, 4, 0));
    entered.acquire();
    store.reset();
    proceed.release(1000);
    backgroundPool().waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(queried.size(), 1u) << "the load ended on its own handle";
}

TEST_F(MonthLoading, WithoutAccessTheDaysAreEmptyAtOnce) {
    status = Status::denied;
    store = makeStore();
    store->loadInBackground();
    store->request(on(6, 3, 0), on(6, 4, 0));
    ASSERT_TRUE(store->loaded(on(6, 3, 0)));
    EXPECT_TRUE(store->loaded(on(6, 3, 0))->empty());
    EXPECT_FALSE(store->loader().busy());
}

} // namespace
} // namespace plannery
