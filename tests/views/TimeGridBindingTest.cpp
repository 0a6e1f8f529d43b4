#include "FakeEventStore.h"
#include "TestSupport.h"

#include "store/BackgroundPool.h"
#include "store/CalendarStore.h"
#include "store/SharedKeychain.h"
#include "views/TimeGridBinding.h"
#include "views/TimeGridView.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QSettings>
#include <QSignalSpy>
#include <QThreadPool>

#include <algorithm>
#include <memory>
#include <vector>

namespace plannery {
namespace {

using test::at;

// A grid in a window whose anchor is a plain value, on a calendar store over an in-memory
// event store with one calendar.
struct Window {
    test::TempDir dir;
    Calendar cal = test::berlin();
    Instant now = at(cal, 2026, 3, 11, 10, 30);
    QSettings settings{QString::fromStdString((dir.path() / "prefs.ini").string()),
                       QSettings::IniFormat};
    SharedKeychain keychain{std::nullopt, dir.path(), settings};
    test::FakeEventStore* fake = nullptr;
    CalendarHandle work;
    std::unique_ptr<CalendarStore> store;
    Instant anchor = at(cal, 2026, 3, 11);
    int anchorWrites = 0;
    TimeGridView view{TimeGridSpan::week(), cal};
    std::unique_ptr<TimeGridBinding> binding;

    Window() {
        auto own = std::make_unique<test::FakeEventStore>();
        own->setAuthorizationStatus(AuthorizationStatus::fullAccess);
        work = own->addCalendar({.id = "work", .title = "Work"});
        fake = own.get();
        store = std::make_unique<CalendarStore>(CalendarStore::Services{
            .eventStore = std::move(own),
            .scanHandle = [this] { return fake->snapshot(); },
            .calendar = [this] { return cal; },
            .now = [this] { return now; },
            .defaults = &settings,
            .keychain = &keychain,
        });
        view.setNow(now);
        view.resize(1000, 700);
    }

    void bind() {
        const ViewBinding::Anchor windowAnchor{.get = [this] { return anchor; },
                                               .set =
                                                   [this](Instant day) {
                                                       anchor = day;
                                                       ++anchorWrites;
                                                   }};
        binding = std::make_unique<TimeGridBinding>(view, *store, settings, windowAnchor,
                                                    TimeGridView::Handlers{});
    }

    QPointF at1030(int day) const {
        return QPointF(view.columnLeft(at(cal, 2026, 3, day)).value() +
                           view.metrics().columnWidth / 2,
                       view.minuteY(10 * 60 + 30));
    }
};

TEST(TimeGridBinding, AMonthStillLoadingShowsItsDaysEmptyUntilItArrives) {
    Window window;
    window.fake->addEvent({.identifier = "review", .title = "Review", .calendar = window.work},
                          at(window.cal, 2026, 3, 12, 10), at(window.cal, 2026, 3, 12, 11));
    // As after the window's first paint: the store reads months on the worker.
    window.store->loadInBackground();
    window.bind();

    // The week is laid out and paints at once, its days without events.
    const std::vector<Instant> days = window.view.pageDays();
    EXPECT_NE(std::find(days.begin(), days.end(), at(window.cal, 2026, 3, 12)), days.end());
    EXPECT_FALSE(window.view.eventAt(window.at1030(12)));
    QImage image(window.view.size(), QImage::Format_ARGB32_Premultiplied);
    window.view.render(&image);

    QSignalSpy loaded(window.store.get(), &CalendarStore::monthsLoaded);
    while (!window.view.eventAt(window.at1030(12))) {
        ASSERT_TRUE(loaded.wait());
    }
    EXPECT_EQ(window.view.eventAt(window.at1030(12))->title, "Review");
    EXPECT_EQ(window.fake->eventQueries(), 0) << "the window's own handle read nothing";
    backgroundPool().waitForDone();
}

TEST(TimeGridBinding, AGridBrowsedFarAwayLetsGoOfTheMonthsBehindAndReadsThemAgainOnTheWayBack) {
    Window window;
    window.fake->addEvent({.identifier = "review", .title = "Review", .calendar = window.work},
                          at(window.cal, 2026, 3, 12, 10), at(window.cal, 2026, 3, 12, 11));
    window.bind();
    ASSERT_TRUE(window.view.eventAt(window.at1030(12)));
    const std::weak_ptr<const std::vector<CalEvent>> held =
        window.store->loaded(at(window.cal, 2026, 3, 12));
    ASSERT_FALSE(held.expired());

    // A year on, week by week: nothing of March is held any more, by the view or the store.
    for (int week = 1; week <= 52; ++week) {
        window.view.setAnchor(*window.cal.addDays(at(window.cal, 2026, 3, 11), 7 * week));
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(held.expired());
    EXPECT_FALSE(window.store->loaded(at(window.cal, 2026, 3, 12)));

    const int queries = window.fake->eventQueries();
    window.view.setAnchor(at(window.cal, 2026, 3, 11));
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.view.eventAt(window.at1030(12)));
    EXPECT_EQ(window.view.eventAt(window.at1030(12))->title, "Review");
    EXPECT_GT(window.fake->eventQueries(), queries) << "March was read again";
}

TEST(TimeGridBinding, ANewRevisionShowsTheNewEvent) {
    Window window;
    window.bind();
    EXPECT_FALSE(window.view.eventAt(window.at1030(12)));
    window.fake->addEvent({.identifier = "review", .title = "Review", .calendar = window.work},
                          at(window.cal, 2026, 3, 12, 10), at(window.cal, 2026, 3, 12, 11));
    window.store->eventStoreChanged();
    ASSERT_TRUE(window.view.eventAt(window.at1030(12)));
    EXPECT_EQ(window.view.eventAt(window.at1030(12))->title, "Review");
}

TEST(TimeGridBinding, PreferencesAndReportsGoBothWays) {
    Window window;
    // Nonsense in the preference file reads as the defaults: hours fitted from 8 to 20.
    window.settings.setValue("gridFitHours", "perhaps");
    window.settings.setValue("gridFitStartHour", "-3");
    window.settings.setValue("gridHourHeight", "tall");
    window.bind();
    EXPECT_EQ(readTimeGridPreferences(window.settings), TimeGridPreferences{});
    EXPECT_EQ(window.view.metrics().startHour, 8);
    EXPECT_EQ(window.view.metrics().endHour, 20);

    // Without fitting, a zoom is stored as the hour height.
    window.settings.setValue("gridFitHours", false);
    window.binding->preferencesChanged();
    EXPECT_EQ(window.view.metrics().startHour, 0);
    window.view.beginZoom();
    window.view.zoom(1.5, 400);
    window.view.endZoom();
    EXPECT_DOUBLE_EQ(window.settings.value("gridHourHeight").toDouble(),
                     window.view.metrics().hourHeight);

    // The week's first day comes back as the anchor; paging writes the next week.
    EXPECT_EQ(window.anchor, at(window.cal, 2026, 3, 9));
    window.view.page(1);
    EXPECT_EQ(window.anchor, at(window.cal, 2026, 3, 16));
    const int writes = window.anchorWrites;
    // The window moves the anchor itself; the grid follows without writing it back.
    window.anchor = at(window.cal, 2026, 5, 4);
    window.binding->anchorChanged();
    EXPECT_EQ(window.view.pageStart(), at(window.cal, 2026, 5, 4));
    EXPECT_EQ(window.anchorWrites, writes);
    // An anchor inside a week is answered with the week's first day, once.
    window.anchor = at(window.cal, 2026, 5, 14);
    window.binding->anchorChanged();
    EXPECT_EQ(window.view.pageStart(), at(window.cal, 2026, 5, 11));
    EXPECT_EQ(window.anchor, at(window.cal, 2026, 5, 11));
    EXPECT_EQ(window.anchorWrites, writes + 1);
}

} // namespace
} // namespace plannery
