#include "CalendarStoreFixture.h"
#include "detail/EventDetailCopies.h"
#include "store/BackgroundPool.h"
#include "store/SharedSettings.h"
#include "store/WidgetCenter.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThreadPool>

#include <gtest/gtest.h>

namespace plannery {
namespace {

TEST_F(CalendarStoreTest, ReadsFetchOneMonthAtATimeUntilTheStoreChanges) {
    CalendarHandle home;
    populate = [&](test::FakeEventStore& fake) {
        home = fake.addCalendar({.id = "home", .title = "Home"});
        fake.addEvent(titled("dentist", home), on(6, 3), on(6, 3, 10));
        fake.addEvent(titled("party", home), on(6, 20, 19), on(6, 20, 23));
        fake.addEvent(titled("trip", home), on(7, 2), on(7, 2, 18));
    };
    auto store = makeStore();
    QSignalSpy revision(store.get(), &CalendarStore::revisionChanged);

    EXPECT_EQ(titles(store->events(on(6, 3, 15))), std::vector<std::string>{"dentist"});
    EXPECT_EQ(platform->fake.eventQueries(), 1);
    EXPECT_EQ(titles(store->events(on(6, 20, 8))), std::vector<std::string>{"party"});
    EXPECT_TRUE(store->events(on(6, 25))->empty()); // an empty day of a loaded month is a hit
    EXPECT_EQ(platform->fake.eventQueries(), 1);
    EXPECT_EQ(titles(store->events(on(7, 2))), std::vector<std::string>{"trip"});
    EXPECT_EQ(platform->fake.eventQueries(), 2);

    // Days start at local midnight from the day of `from`, across the month boundary.
    const auto days = store->days(on(6, 29, 13), on(7, 2, 0));
    ASSERT_EQ(days.size(), 3u);
    EXPECT_EQ(days[0].first, on(6, 29, 0));
    EXPECT_EQ(days[2].first, on(7, 1, 0));
    EXPECT_EQ(platform->fake.eventQueries(), 2);

    // A change in the store: one bump, and the next read asks the store again.
    const quint64 before = store->revision();
    platform->fake.addEvent(titled("lunch", home), on(6, 3, 12), on(6, 3, 13));
    EXPECT_EQ(store->revision(), before + 1);
    EXPECT_EQ(revision.count(), 1);
    EXPECT_EQ(titles(store->events(on(6, 3))), (std::vector<std::string>{"dentist", "lunch"}));
    EXPECT_EQ(platform->fake.eventQueries(), 3);

    // Around the end of summer time (25 October) every day still starts at local midnight.
    const auto autumn = store->days(on(10, 24, 12), on(10, 27, 0));
    ASSERT_EQ(autumn.size(), 3u);
    EXPECT_EQ(autumn[1].first, on(10, 25, 0));
    EXPECT_EQ(autumn[2].first, on(10, 26, 0));
}

TEST_F(CalendarStoreTest, OnlyTheMonthsAskedForLastStayLoaded) {
    populate = [&](test::FakeEventStore& fake) {
        const auto home = fake.addCalendar({.id = "home", .title = "Home"});
        for (int month = 1; month <= 12; ++month) {
            fake.addEvent(titled("on the 10th of " + std::to_string(month), home), on(month, 10),
                          on(month, 10, 10));
        }
    };
    auto store = makeStore();
    const auto loadedMonths = [&] {
        std::vector<int> months;
        for (int month = 1; month <= 12; ++month) {
            if (store->loaded(on(month, 10, 0))) {
                months.push_back(month);
            }
        }
        return months;
    };

    // Paging through the year a month at a time keeps the last eight months asked for, and a
    // month whose days someone still holds.
    CalendarStore::EventList february;
    for (int month = 1; month <= 12; ++month) {
        store->request(on(month, 10, 0), on(month, 11, 0));
        if (month == 2) {
            february = store->loaded(on(2, 10, 0));
        }
    }
    EXPECT_EQ(loadedMonths(), (std::vector<int>{2, 6, 7, 8, 9, 10, 11, 12}));

    // A month asked for again is fresh again: going back to May keeps it over June.
    february.reset();
    store->request(on(5, 10, 0), on(5, 11, 0));
    store->request(on(1, 10, 0), on(1, 11, 0));
    EXPECT_EQ(loadedMonths(), (std::vector<int>{1, 5, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(titles(store->loaded(on(1, 10, 0))), std::vector<std::string>{"on the 10th of 1"});

    // One request for more months than are kept keeps them all.
    store->request(on(1, 1, 0), on(12, 31, 0));
    EXPECT_EQ(loadedMonths().size(), 12u);
    EXPECT_EQ(titles(store->events(on(6, 10))), std::vector<std::string>{"on the 10th of 6"});
}

TEST_F(CalendarStoreTest, ANewSystemZoneMovesEveryDay) {
    populate = [&](test::FakeEventStore& fake) {
        const auto home = fake.addCalendar({.id = "home", .title = "Home"});
        // 23:30 in Berlin is still the afternoon before in New York.
        fake.addEvent(titled("late", home), on(6, 3, 23).plus(1800), on(6, 4, 0));
    };
    auto store = makeStore();
    EXPECT_EQ(titles(store->events(on(6, 3))), std::vector<std::string>{"late"});
    QSignalSpy revision(store.get(), &CalendarStore::revisionChanged);

    const Instant late = on(6, 3, 23).plus(1800);
    calendar = test::calendarIn("America/New_York");
    store->timeZoneChanged();
    EXPECT_EQ(revision.count(), 1);
    EXPECT_EQ(store->calendar().zoneId(), "America/New_York");
    const auto days = store->days(late, late.plus(1));
    ASSERT_EQ(days.size(), 1u);
    EXPECT_EQ(days[0].first, test::at(calendar, 2026, 6, 3, 0));
    EXPECT_EQ(titles(days[0].second), std::vector<std::string>{"late"});
}

TEST_F(CalendarStoreTest, WithoutAccessNothingIsReadAndDeniedAccessIsNotAskedAgain) {
    status = Status::denied;
    populate = [&](test::FakeEventStore& fake) {
        const auto home = fake.addCalendar({.id = "home", .title = "Home"});
        fake.addEvent(titled("dentist", home), on(6, 3), on(6, 3, 10));
        fake.addSource("dav", SourceType::calDAV, "Server");
    };
    auto store = makeStore();
    QSignalSpy statusSpy(store.get(), &CalendarStore::statusChanged);
    EXPECT_TRUE(store->events(on(6, 3))->empty());
    EXPECT_EQ(store->days(on(6, 1), on(6, 8, 0)).size(), 7u);
    EXPECT_TRUE(store->accounts().groups().empty());
    store->requestAccess();
    EXPECT_EQ(platform->requests, 0);
    EXPECT_EQ(store->status(), Status::denied);
    EXPECT_EQ(statusSpy.count(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(scans, 0); // no scan without access

    // Not asked yet (and write-only): the request is made, and a grant starts everything.
    for (Status first : {Status::notDetermined, Status::writeOnly}) {
        status = first;
        auto asking = makeStore();
        QSignalSpy changed(asking.get(), &CalendarStore::statusChanged);
        QSignalSpy finished(asking.get(), &CalendarStore::mirrorScanFinished);
        platform->answer = Status::fullAccess;
        const quint64 revision = asking->revision();
        asking->requestAccess();
        EXPECT_EQ(platform->requests, 1);
        EXPECT_EQ(asking->status(), Status::fullAccess);
        EXPECT_EQ(changed.count(), 1);
        EXPECT_EQ(asking->revision(), revision + 1);
        EXPECT_EQ(titles(asking->events(on(6, 3))), std::vector<std::string>{"dentist"});
        EXPECT_TRUE(finished.wait(30000));
        asking->requestAccess();
        EXPECT_EQ(platform->requests, 1);
        EXPECT_EQ(changed.count(), 1);
    }
}

TEST_F(CalendarStoreTest, VisibilityFollowsTheWholeMirrorGroup) {
    defaults->setValue("mirroredCalendars", QVariantList{QStringList{"a", "b", "c"}});
    defaults->setValue("hiddenCalendarIDs", QStringList{"x"});
    auto store = makeStore();
    EXPECT_EQ(store->mirrors().groups(), (Groups{{"a", "b", "c"}})); // in force before a scan
    QSignalSpy hidden(store.get(), &CalendarStore::hiddenCalendarIDsChanged);

    store->setVisible("b", false);
    EXPECT_EQ(store->hiddenCalendarIDs(), (std::set<std::string>{"a", "b", "c", "x"}));
    EXPECT_EQ(hidden.count(), 1);
    EXPECT_FALSE(store->mirrors().isVisible("a", store->hiddenCalendarIDs()));
    store->setVisible("c", true);
    EXPECT_EQ(store->hiddenCalendarIDs(), std::set<std::string>{"x"});
    EXPECT_EQ(hidden.count(), 2);
    store->setVisible("x", true);
    EXPECT_TRUE(store->hiddenCalendarIDs().empty());
}

TEST_F(CalendarStoreTest, EveryAssignmentInvalidatesButOnlyChangesNotify) {
    CalendarHandle home;
    populate = [&](test::FakeEventStore& fake) {
        home = fake.addCalendar({.id = "home", .title = "Home"});
        fake.addEvent(titled("dentist", home), on(6, 3), on(6, 3, 10));
    };
    auto store = makeStore();
    QSignalSpy revision(store.get(), &CalendarStore::revisionChanged);
    QSignalSpy declined(store.get(), &CalendarStore::showDeclinedChanged);
    QSignalSpy hidden(store.get(), &CalendarStore::hiddenCalendarIDsChanged);
    QSignalSpy mirrors(store.get(), &CalendarStore::mirrorsChanged);

    store->setShowDeclined(false);
    EXPECT_EQ(revision.count(), 1);
    EXPECT_EQ(declined.count(), 0);
    store->setShowDeclined(true);
    EXPECT_EQ(revision.count(), 2);
    EXPECT_EQ(declined.count(), 1);
    EXPECT_TRUE(store->options().showDeclined);

    EXPECT_EQ(store->events(on(6, 3))->size(), 1u);
    store->setHiddenCalendarIDs({"home"});
    EXPECT_TRUE(store->events(on(6, 3))->empty()); // the cache went with the assignment
    store->setHiddenCalendarIDs({"home"});
    EXPECT_EQ(hidden.count(), 1);
    store->setMirrors(CalendarMirrors(Groups{{"home", "other"}}));
    store->setMirrors(CalendarMirrors(Groups{{"home", "other"}}));
    EXPECT_EQ(mirrors.count(), 1);
    EXPECT_EQ(revision.count(), 6);
}

TEST_F(CalendarStoreTest, SettingsAreStoredAndReadBackByTheNextStart) {
    struct Case {
        std::set<std::string> hidden;
        bool showDeclined;
        Groups mirrors;
    };
    // One-element lists take another path through the preferences file than longer ones.
    const Case cases[] = {
        {.hidden = {"a"}, .showDeclined = true, .mirrors = {{"x", "y"}}},
        {.hidden = {"b", "a, with comma", "c"},
         .showDeclined = false,
         .mirrors = {{"x", "y"}, {"z", "w", "v"}}},
        {.hidden = {}, .showDeclined = false, .mirrors = {}},
    };
    int round = 0;
    for (const Case& c : cases) {
        const std::string name = "round" + std::to_string(round++);
        auto prefs = settingsAt(name + ".ini");
        {
            auto store = makeStore(prefs.get());
            store->setHiddenCalendarIDs(c.hidden);
            store->setShowDeclined(c.showDeclined);
            store->setMirrors(CalendarMirrors(c.mirrors));
        }
        prefs->sync();
        // A copy of the file is read from its text, not from the cache of the first one.
        const QString copy = QString::fromStdString((dir.path() / (name + "-copy.ini")).string());
        ASSERT_TRUE(QFile::copy(prefs->fileName(), copy));
        QSettings reread(copy, QSettings::IniFormat);
        auto store = makeStore(&reread);
        EXPECT_EQ(store->hiddenCalendarIDs(), c.hidden) << name;
        EXPECT_EQ(store->showDeclined(), c.showDeclined) << name;
        EXPECT_EQ(store->mirrors().groups(), c.mirrors) << name;
    }
}

TEST_F(CalendarStoreTest, PreferencesEditedIntoNonsenseReadAsDefaults) {
    const std::pair<const char*, const char*> cases[] = {
        {"showDeclined", "maybe"},
        {"showDeclined", "@Rect(1 2 3 4)"},
        {"hiddenCalendarIDs", "@Rect(1 2 3 4)"},
        {"hiddenCalendarIDs", "@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)"},
        {"mirroredCalendars", "abc"},
        {"mirroredCalendars", "a, b"},
        {"mirroredCalendars", "@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)"},
        {"mirroredCalendars", "@Variant(\\0\\0\\0\\t\\xff\\xff)"},
        {"mirroredCalendars", "@Size(3 4), @Variant(\\0\\0\\0\\v\\0\\0\\0\\x1\\0\\0\\0\\x2\\0x)"},
    };
    int round = 0;
    for (const auto& [key, value] : cases) {
        const std::string name = "nonsense" + std::to_string(round++) + ".ini";
        dir.write(name, std::string("[General]\n") + key + "=" + value + "\n");
        auto prefs = settingsAt(name);
        auto store = makeStore(prefs.get());
        EXPECT_TRUE(store->hiddenCalendarIDs().empty()) << key << "=" << value;
        EXPECT_FALSE(store->showDeclined()) << key << "=" << value;
        EXPECT_TRUE(store->mirrors().empty()) << key << "=" << value;
    }
}

TEST_F(CalendarStoreTest, SharedSettingsRecordFollowsTheSettings) {
    const std::string service = SharedKeychain::settingsService();
    defaults->setValue("hiddenCalendarIDs", QStringList{"b", "a"});
    defaults->setValue("mirroredCalendars", QVariantList{QStringList{"m", "n"}});
    {
        // Missing: written at construction, without asking widgets to reload.
        auto store = makeStore();
        const SharedSettings expected{.hiddenCalendarIDs = {"a", "b"},
                                      .showDeclined = false,
                                      .mirroredCalendarIDs = {{"m", "n"}}};
        EXPECT_EQ(SharedSettings::load(keychain).value_or(SharedSettings{}), expected);
        EXPECT_EQ(WidgetCenter::reloadCount(keychain), 0u);

        // A change is written and the widgets are told; the same value again is not.
        store->setShowDeclined(true);
        EXPECT_TRUE(SharedSettings::load(keychain)->showDeclined);
        EXPECT_EQ(WidgetCenter::reloadCount(keychain), 1u);
        store->setShowDeclined(true);
        EXPECT_EQ(WidgetCenter::reloadCount(keychain), 1u);
        store->eventStoreChanged();
        EXPECT_EQ(WidgetCenter::reloadCount(keychain), 2u);
    }

    // An equal record, however written, is left as it is; a different one is replaced.
    const std::string equal = R"({ "showDeclined": true, "mirroredCalendarIDs": [["m","n"]],
                                   "hiddenCalendarIDs": ["a", "b"] })";
    keychain.set(equal, service, "shared");
    makeStore();
    EXPECT_EQ(keychain.data(service, "shared").value_or(""), equal);
    keychain.set(R"({"hiddenCalendarIDs":["a"]})", service, "shared");
    makeStore();
    EXPECT_EQ(SharedSettings::load(keychain)->hiddenCalendarIDs,
              (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(WidgetCenter::reloadCount(keychain), 2u);
}

TEST_F(CalendarStoreTest, YourAddressesAreStoredToldToTheEventStoreAndShared) {
    // Hand-edited preferences: what is not an address, and repeats in another case, go.
    defaults->setValue("ownEmailAddresses",
                       QStringList{"Ann@Example.org", "ann", "ann@example.org"});
    found = {{"/cal/google", "ann@gmail.com"}};
    auto store = makeStore();
    EXPECT_EQ(store->ownAddresses(), std::vector<std::string>{"Ann@Example.org"});
    EXPECT_EQ(toldAddresses, std::vector<std::vector<std::string>>{{"Ann@Example.org"}});
    EXPECT_EQ(store->foundAddresses(), found);
    EXPECT_EQ(SharedSettings::load(keychain)->ownEmailAddresses,
              std::vector<std::string>{"Ann@Example.org"});

    QSignalSpy changed(store.get(), &CalendarStore::ownAddressesChanged);
    QSignalSpy revision(store.get(), &CalendarStore::revisionChanged);
    store->setOwnAddresses({" not one", "bob@example.org", "ann@example.org"});
    EXPECT_EQ(store->ownAddresses(),
              (std::vector<std::string>{"bob@example.org", "ann@example.org"}));
    EXPECT_EQ(toldAddresses.back(), store->ownAddresses());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(revision.count(), 1);
    EXPECT_EQ(defaults->value("ownEmailAddresses").toStringList(),
              (QStringList{"bob@example.org", "ann@example.org"}));
    EXPECT_EQ(SharedSettings::load(keychain)->ownEmailAddresses, store->ownAddresses());
    store->setOwnAddresses({"bob@example.org", "ann@example.org"});
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(toldAddresses.size(), 2u);
    store->setOwnAddresses({});
    EXPECT_TRUE(defaults->value("ownEmailAddresses").toStringList().isEmpty());
    EXPECT_TRUE(SharedSettings::load(keychain)->ownEmailAddresses.empty());
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(CalendarStoreTest, ScansApplyNewGroupsOnlyAndCollapseBursts) {
    populate = [&](test::FakeEventStore& fake) { addMirrored(fake); };
    changeDelay = 30ms;
    auto store = makeStore();
    QSignalSpy finished(store.get(), &CalendarStore::mirrorScanFinished);
    QSignalSpy mirrors(store.get(), &CalendarStore::mirrorsChanged);
    QSignalSpy revision(store.get(), &CalendarStore::revisionChanged);
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(scans, 1);
    EXPECT_EQ(store->mirrors().groups(), (Groups{{"work", "feed"}}));
    EXPECT_EQ(mirrors.count(), 1);
    EXPECT_EQ(revision.count(), 1);
    EXPECT_EQ(defaults->value("mirroredCalendars").toList().size(), 1);
    EXPECT_EQ(SharedSettings::load(keychain)->mirroredCalendarIDs, (Groups{{"work", "feed"}}));
    // Mirrored copies are now merged into one event.
    EXPECT_EQ(store->events(on(6, 12))->size(), 1u);

    // Three notifications in a burst: one scan, which finds the same groups and changes nothing.
    store->eventStoreChanged();
    store->timeZoneChanged();
    store->dayChanged();
    EXPECT_EQ(revision.count(), 4);
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(scans, 2);
    EXPECT_FALSE(finished.wait(150));
    EXPECT_EQ(scans, 2);
    EXPECT_EQ(mirrors.count(), 1);
    EXPECT_EQ(revision.count(), 4);
}

TEST_F(CalendarStoreTest, AnOutdatedScanIsDroppedAndMayOutliveTheStore) {
    // The first scan sees mirrored calendars but is held inside its first query; the store has
    // meanwhile moved on to a scan of calendars without mirrors.
    QSemaphore entered;
    QSemaphore proceed;
    prepareScan = [&](RecordingStore& handle, int index) {
        if (index == 0) {
            addMirrored(handle.fake);
            handle.entered = &entered;
            handle.proceed = &proceed;
        }
    };
    auto store = makeStore();
    QSignalSpy finished(store.get(), &CalendarStore::mirrorScanFinished);
    while (!entered.tryAcquire(1, 10)) {
        QCoreApplication::processEvents();
    }
    store->scanMirrors(0ms);
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_TRUE(store->mirrors().empty());

    proceed.release(1000);
    backgroundPool().waitForDone();
    QCoreApplication::processEvents();
    EXPECT_TRUE(store->mirrors().empty());
    EXPECT_EQ(finished.count(), 1);

    // A scan still running when the store goes finishes on its own handle.
    QSemaphore enteredAgain;
    QSemaphore proceedAgain;
    prepareScan = [&](RecordingStore& handle, int) {
        addMirrored(handle.fake);
        handle.entered = &enteredAgain;
        handle.proceed = &proceedAgain;
    };
    auto doomed = makeStore();
    while (!enteredAgain.tryAcquire(1, 10)) {
        QCoreApplication::processEvents();
    }
    doomed.reset();
    proceedAgain.release(1000);
    backgroundPool().waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(defaults->value("mirroredCalendars").toList().size(), 0);
}

TEST_F(CalendarStoreTest, CopiesAreFoundInIdentifierOrder) {
    populate = [&](test::FakeEventStore& fake) {
        const auto work = fake.addCalendar({.id = "work", .title = "Work"});
        const auto feed = fake.addCalendar({.id = "feed", .title = "Feed"});
        // Two occurrences of one series overlap the shown one; the one starting with it wins.
        const auto standup = test::FakeEventStore::contentOf(titled("standup", work));
        fake.addOccurrence(standup, on(6, 8, 8), on(6, 8, 10));
        fake.addOccurrence(standup, on(6, 8, 9), on(6, 8, 10));
        fake.addOccurrence(standup, on(6, 1, 9), on(6, 1, 10));
        // A copy that starts half an hour later is still taken, being the only one.
        fake.addEvent(titled("late", feed), on(6, 8, 9).plus(1800), on(6, 8, 10));
        // Outside the window: a single event is looked up directly, a series is not.
        fake.addEvent(titled("elsewhere", feed), on(7, 1), on(7, 1, 10));
        EventContent series = *test::FakeEventStore::contentOf(titled("series", feed));
        series.recurrenceRules.push_back(RecurrenceRule{});
        fake.addOccurrence(std::make_shared<const EventContent>(series), on(7, 2), on(7, 2, 10));
    };
    auto store = makeStore();
    const CalEvent shown{.eventIdentifier = "standup",
                         .start = on(6, 8, 9),
                         .end = on(6, 8, 10),
                         .duplicateIDs = {"", "series", "late", "standup", "elsewhere", "gone"}};
    const auto copies = EventDetailCopies::behind(store->eventStore(), shown);
    ASSERT_EQ(copies.size(), 3u);
    EXPECT_EQ(copies[0].eventIdentifier(), "standup");
    EXPECT_EQ(copies[0].startDate, on(6, 8, 9));
    EXPECT_EQ(copies[1].eventIdentifier(), "late");
    EXPECT_EQ(copies[2].eventIdentifier(), "elsewhere");
    EXPECT_TRUE(EventDetailCopies::behind(store->eventStore(),
                                          CalEvent{.start = on(6, 8, 9), .end = on(6, 8, 10)})
                    .empty());
}

TEST_F(CalendarStoreTest, TheGoogleCheckIsCachedUntilTheStoreChanges) {
    SourceHandle dav;
    SourceHandle local;
    populate = [&](test::FakeEventStore& fake) {
        dav = fake.addSource("dav", SourceType::calDAV, "Server");
        local = fake.addSource("local", SourceType::local, "Local");
        const auto c = fake.addCalendar(
            {.id = "c", .title = "Team", .type = CalendarType::calDAV, .source = dav});
        for (int day = 10; day < 14; ++day) {
            fake.addEvent({.identifier = "g" + std::to_string(day),
                           .externalID = "g" + std::to_string(day) + "@google.com",
                           .title = "Sync",
                           .calendar = c},
                          on(6, day), on(6, day, 10));
        }
    };
    auto store = makeStore();
    EXPECT_TRUE(store->accounts().looksLikeGoogle(*dav));
    const int queries = platform->fake.eventQueries();
    EXPECT_TRUE(store->accounts().looksLikeGoogle(*dav));
    EXPECT_EQ(store->accounts().kind(*dav), AccountKind::google);
    EXPECT_EQ(platform->fake.eventQueries(), queries);
    EXPECT_FALSE(store->accounts().looksLikeGoogle(*local));
    EXPECT_EQ(platform->fake.eventQueries(), queries);

    store->eventStoreChanged();
    EXPECT_TRUE(store->accounts().looksLikeGoogle(*dav));
    EXPECT_EQ(platform->fake.eventQueries(), queries + 1);
    EXPECT_FALSE(store->accounts().groups().empty());

    // Without access the answer is no, and is not remembered for when access comes.
    status = Status::denied;
    auto denied = makeStore();
    EXPECT_FALSE(denied->accounts().looksLikeGoogle(*dav));
    platform->fake.setAuthorizationStatus(Status::fullAccess);
    denied->refreshStatus();
    EXPECT_TRUE(denied->accounts().looksLikeGoogle(*dav));
}

TEST_F(CalendarStoreTest, TheInstalledStoreIsTheSharedOne) {
    auto first = makeStore();
    CalendarStore* firstAddress = first.get();
    QPointer<CalendarStore> watched(firstAddress);
    CalendarStore::install(std::move(first));
    EXPECT_EQ(&CalendarStore::shared(), firstAddress);
    auto second = makeStore();
    CalendarStore* secondAddress = second.get();
    CalendarStore::install(std::move(second));
    EXPECT_EQ(&CalendarStore::shared(), secondAddress);
    EXPECT_TRUE(watched.isNull());
    CalendarStore::install(nullptr);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(CalendarStore::shared(), "install");
}

} // namespace
} // namespace plannery
