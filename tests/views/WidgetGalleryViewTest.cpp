#include "FakeEventStore.h"
#include "TestSupport.h"

#include "store/BackgroundPool.h"
#include "store/CalendarStore.h"
#include "views/WidgetGalleryView.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <QToolButton>

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::at;

// A gallery over an in-memory event store on Wednesday 11 March 2026 at 16:10.
struct Gallery {
    test::TempDir dir;
    Calendar cal = test::berlin();
    Instant now = at(cal, 2026, 3, 11, 16, 10);
    QSettings settings{QString::fromStdString((dir.path() / "prefs.ini").string()),
                       QSettings::IniFormat};
    test::FakeEventStore* fake = nullptr;
    std::unique_ptr<CalendarStore> store;
    std::vector<std::vector<WidgetFamily>> autostartAsked;
    std::optional<std::string> autostartProblem;
    int done = 0;

    // `background`: months load on a worker from a snapshot of the calendars, as in the window
    // after its first paint.
    explicit Gallery(AuthorizationStatus status = AuthorizationStatus::fullAccess,
                     bool background = false) {
        auto own = std::make_unique<test::FakeEventStore>();
        own->setAuthorizationStatus(status);
        const CalendarHandle work = own->addCalendar({.id = "work", .title = "Work"});
        own->addEvent({.identifier = "retro", .title = "Retro", .calendar = work},
                      at(cal, 2026, 3, 11, 17), at(cal, 2026, 3, 11, 18));
        fake = own.get();
        store = std::make_unique<CalendarStore>(CalendarStore::Services{
            .eventStore = std::move(own),
            .scanHandle =
                [this, background] {
                    return background ? fake->snapshot() : std::unique_ptr<EventStore>();
                },
            .calendar = [this] { return cal; },
            .now = [this] { return now; },
            .defaults = &settings,
            .keychain = nullptr,
        });
        store->refreshStatus();
        if (background) {
            store->loadInBackground();
        }
    }

    std::unique_ptr<WidgetGalleryView> open(std::string page, std::string frozen = {}) {
        auto view = std::make_unique<WidgetGalleryView>(WidgetGalleryView::Setup{
            .store = store.get(),
            .page = std::move(page),
            .frozenNow = std::move(frozen),
            .clock = [this] { return now; },
            .placeOnDesktop = {},
            .autostart = [] { return std::optional<std::vector<WidgetFamily>>(); },
            .setAutostart =
                [this](const std::vector<WidgetFamily>& families) {
                    autostartAsked.push_back(families);
                    return autostartProblem;
                },
            .done = [this] { ++done; },
        });
        view->resize(500, 700);
        view->show();
        QCoreApplication::processEvents();
        return view;
    }
};

bool mentions(const WidgetFaceView* face, const QString& text) {
    for (const WidgetTarget& target : face->targets()) {
        if (target.name.contains(text)) {
            return true;
        }
    }
    return false;
}

TEST(WidgetGalleryView, TilePagesDrawEachTimeOfDayAtTheScreensSizes) {
    Gallery gallery;
    const auto view = gallery.open("medium", "2025-03-05 14:40");
    EXPECT_EQ(view->now(), at(gallery.cal, 2025, 3, 5, 14, 40));
    ASSERT_EQ(view->faces().size(), 5u);
    EXPECT_EQ(view->captions()[0], "Wed 8:00\u202fAM");
    EXPECT_EQ(view->captions()[4], "Wed 9:30\u202fPM");
    for (const WidgetFaceView* face : view->faces()) {
        EXPECT_EQ(face->face()->input().family, WidgetFamily::systemMedium);
        EXPECT_EQ(face->size().width(), static_cast<int>(std::round(view->sizes().mediumWidth)));
    }
    EXPECT_EQ(view->faces()[3]->face()->input().now, at(gallery.cal, 2025, 3, 5, 14, 40));

    view->setPage(WidgetGallery::Page::small);
    ASSERT_EQ(view->faces().size(), 5u);
    EXPECT_EQ(view->faces()[0]->face()->input().family, WidgetFamily::systemSmall);
}

TEST(WidgetGalleryView, TheFrozenClockTakesATimeOfTodayOrNothing) {
    Gallery gallery;
    EXPECT_EQ(gallery.open("", "9:05")->now(), at(gallery.cal, 2026, 3, 11, 9, 5));
    // Neither form: the real clock.
    EXPECT_EQ(gallery.open("", "soon")->now(), gallery.now);
    const auto overview = gallery.open("anything");
    EXPECT_EQ(overview->page(), WidgetGallery::Page::overview);
    // A medium and a large tile, then the inline and rectangular faces on the wallpaper.
    ASSERT_EQ(overview->faces().size(), 4u);
    EXPECT_EQ(overview->faces()[1]->face()->input().family, WidgetFamily::systemLarge);
    EXPECT_FALSE(overview->faces()[3]->face()->input().accessoryBackdrop);
}

TEST(WidgetGalleryView, TheUsersOwnCalendarsAsTheStoreShowsThem) {
    Gallery gallery;
    const auto view = gallery.open("large");
    EXPECT_TRUE(mentions(view->faces()[3], QStringLiteral("Retro")));
    // Hiding the calendar reaches the gallery through the store.
    gallery.store->setVisible("work", false);
    QCoreApplication::processEvents();
    EXPECT_FALSE(mentions(view->faces()[3], QStringLiteral("Retro")));
}

// The faces take the days the store has loaded; the gallery reads no calendar itself, and draws
// again when the days it asked for arrive.
TEST(WidgetGalleryView, TheUsersEventsArriveFromTheStoresMonths) {
    Gallery gallery(AuthorizationStatus::fullAccess, true);
    const auto view = gallery.open("large");
    QSignalSpy loaded(gallery.store.get(), &CalendarStore::monthsLoaded);
    while (!mentions(view->faces()[3], QStringLiteral("Retro"))) {
        ASSERT_TRUE(loaded.wait());
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(gallery.fake->eventQueries(), 0) << "the gallery read the calendars itself";
    backgroundPool().waitForDone();
}

TEST(WidgetGalleryView, WithoutAccessTheFacesAskForItAndTheStatesShowSamples) {
    Gallery gallery(AuthorizationStatus::denied);
    const auto overview = gallery.open("");
    for (const WidgetFaceView* face : overview->faces()) {
        EXPECT_EQ(face->face()->face(), WidgetFace::noAccess);
    }
    const auto states = gallery.open("states");
    ASSERT_EQ(states->faces().size(), 12u);
    EXPECT_EQ(states->faces()[0]->face()->face(), WidgetFace::noAccess);
    EXPECT_TRUE(states->captions()[0].startsWith(QStringLiteral("No access")));
    EXPECT_TRUE(states->captions()[1].startsWith(QStringLiteral("Sample (preview)")));
    EXPECT_TRUE(mentions(states->faces()[1], QStringLiteral("Coffee with Ana")));
}

TEST(WidgetGalleryView, StartAtLoginAndDone) {
    Gallery gallery;
    const auto view = gallery.open("");
    auto* login = view->findChild<QToolButton*>(QStringLiteral("startAtLogin"));
    ASSERT_NE(login, nullptr);
    QList<QAction*> families = login->menu()->actions();
    ASSERT_EQ(families.size(), 6);
    families[1]->setChecked(true);
    ASSERT_EQ(gallery.autostartAsked.size(), 1u);
    EXPECT_EQ(gallery.autostartAsked[0], std::vector{WidgetFamily::systemMedium});
    EXPECT_TRUE(view->status().isEmpty());
    gallery.autostartProblem = "The autostart entry could not be written.";
    families[2]->setChecked(true);
    EXPECT_EQ(gallery.autostartAsked.back(),
              (std::vector{WidgetFamily::systemMedium, WidgetFamily::systemLarge}));
    EXPECT_EQ(view->status(), "The autostart entry could not be written.");
    // No control for placing faces when the app offers none.
    EXPECT_EQ(view->findChild<QToolButton*>(QStringLiteral("placeOnDesktop")), nullptr);

    view->setFocus();
    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_EQ(gallery.done, 1);
}

} // namespace
} // namespace plannery
