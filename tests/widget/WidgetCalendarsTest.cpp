#include "WidgetTestSupport.h"

#include "platform/OpenLock.h"
#include "widget/WidgetCalendars.h"

#include <QSignalSpy>

#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::at;
namespace fs = std::filesystem;

std::vector<std::string> titles(const WidgetCalendars::Content& content) {
    std::vector<std::string> out;
    for (const CalEvent& event : content.events) {
        out.push_back(event.title);
    }
    return out;
}

// Two calendars on Wednesday 11 March 2026: a dentist's appointment at home, a standup at work,
// and a party at work the user declined.
struct Calendars {
    test::WidgetFixture fixture;
    std::string zone = "Europe/Berlin";
    Instant now = at(fixture.cal, 2026, 3, 11, 10);

    Calendars() {
        fixture.dir.write(fs::path("calendars") / "me" / "account.ini",
                          "emails = me@example.com\n");
        fixture.addEvent("home", "dentist", "20260311T130000Z", "20260311T140000Z", "Dentist");
        fixture.addEvent("work", "standup", "20260311T150000Z", "20260311T153000Z", "Standup");
        fixture.addEvent("work", "party", "20260311T170000Z", "20260311T190000Z", "Party",
                         "ORGANIZER:mailto:boss@example.com\r\n"
                         "ATTENDEE;PARTSTAT=DECLINED:mailto:me@example.com\r\n");
    }

    std::unique_ptr<WidgetCalendars> open(bool watch = false, const fs::path& cacheFile = {}) {
        return std::make_unique<WidgetCalendars>(WidgetCalendars::Setup{
            .roots = {fixture.root},
            .sharedFile = fixture.shared,
            .cacheFile = cacheFile,
            .zone = std::nullopt,
            .watch = watch,
            .calendar = [this] { return test::calendarIn(zone); },
        });
    }
};

TEST(WidgetCalendars, TheSharedSettingsDecideWhatShows) {
    Calendars calendars;
    const auto before = calendars.fixture.rootState();
    auto widget = calendars.open();
    // Nothing shared yet: every calendar, declined events hidden.
    EXPECT_EQ(titles(widget->content(calendars.now)),
              (std::vector<std::string>{"Dentist", "Standup"}));
    EXPECT_TRUE(widget->content(calendars.now).hasAccess);

    QSignalSpy changed(widget.get(), &WidgetCalendars::changed);
    const std::string work = calendars.fixture.calendarID("work");
    calendars.fixture.shareSettings(R"({"hiddenCalendarIDs":[")" + work +
                                    R"("],"showDeclined":false})");
    EXPECT_TRUE(widget->checkShared());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(titles(widget->content(calendars.now)), std::vector<std::string>{"Dentist"});

    calendars.fixture.shareSettings(R"({"hiddenCalendarIDs":[],"showDeclined":true})");
    widget->checkShared();
    EXPECT_EQ(titles(widget->content(calendars.now)),
              (std::vector<std::string>{"Dentist", "Standup", "Party"}));

    // The app asks for a reload; a second look without one changes nothing.
    calendars.fixture.bumpReload();
    EXPECT_TRUE(widget->checkShared());
    EXPECT_FALSE(widget->checkShared());
    EXPECT_EQ(changed.count(), 3);
    // Reading never writes a calendar file.
    EXPECT_EQ(calendars.fixture.rootState(), before);
}

TEST(WidgetCalendars, TheUsersSharedAddressesAndEditsInPlaceAreSeen) {
    Calendars calendars;
    // An invitation to an address of the user's that no account names.
    calendars.fixture.addEvent("work", "review", "20260311T160000Z", "20260311T163000Z", "Review",
                               "ORGANIZER:mailto:boss@example.com\r\n"
                               "ATTENDEE;PARTSTAT=DECLINED:mailto:me@home.example\r\n");
    // With the index the window keeps, so that a stale entry would show.
    auto widget = calendars.open(false, calendars.fixture.dir.path() / "index.sqlite");
    EXPECT_EQ(titles(widget->content(calendars.now)),
              (std::vector<std::string>{"Dentist", "Standup", "Review"}));

    calendars.fixture.shareSettings(
        R"({"showDeclined":false,"ownEmailAddresses":["me@home.example"]})");
    EXPECT_TRUE(widget->checkShared());
    EXPECT_EQ(titles(widget->content(calendars.now)),
              (std::vector<std::string>{"Dentist", "Standup"}));

    // An editor writes the dentist's file into the same inode and its folder keeps its time.
    const fs::path file = calendars.fixture.root / "me" / "home" / "dentist.ics";
    const auto folderTime = fs::last_write_time(file.parent_path());
    std::ifstream in(file, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), {}};
    text.replace(text.find("Dentist"), 7, "Orthodontist");
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << text;
    }
    fs::last_write_time(file.parent_path(), folderTime);
    calendars.fixture.bumpReload();
    EXPECT_TRUE(widget->checkShared());
    EXPECT_EQ(titles(widget->content(calendars.now)),
              (std::vector<std::string>{"Orthodontist", "Standup"}));
}

TEST(WidgetCalendars, AnUnreadableStoreSaysSoInsteadOfGuessing) {
    Calendars calendars;
    calendars.fixture.shareSettings("[1, 2");
    auto widget = calendars.open();
    const WidgetCalendars::Content& damaged = widget->content(calendars.now);
    ASSERT_TRUE(damaged.problem);
    EXPECT_TRUE(damaged.problem->contains(QStringLiteral("can't be read")));
    EXPECT_TRUE(damaged.events.empty());

    // Repaired by the app: the calendars show again.
    calendars.fixture.shareSettings(R"({"showDeclined":false})");
    widget->checkShared();
    EXPECT_FALSE(widget->content(calendars.now).problem);
    EXPECT_EQ(widget->content(calendars.now).events.size(), 2u);

    // The app holds the store locked while it opens or repairs it.
    {
        const OpenLock opening(calendars.fixture.shared, std::chrono::milliseconds(0));
        calendars.fixture.shareSettings(R"({"showDeclined":true})");
        auto fresh = calendars.open();
        // A widget that never read them says it waits for them.
        ASSERT_TRUE(fresh->content(calendars.now).problem);
        EXPECT_TRUE(fresh->content(calendars.now).problem->contains(QStringLiteral("saving")));
        // One that holds the store open reads on.
        widget->checkShared();
        EXPECT_FALSE(widget->content(calendars.now).problem);
        EXPECT_EQ(widget->content(calendars.now).events.size(), 3u);
    }
}

TEST(WidgetCalendars, FoldersRemovedWhileRunningAndBack) {
    Calendars calendars;
    auto widget = calendars.open();
    ASSERT_EQ(widget->content(calendars.now).events.size(), 2u);
    const fs::path aside = calendars.fixture.dir.path() / "aside";
    fs::rename(calendars.fixture.root, aside);
    widget->checkFolders();
    EXPECT_TRUE(widget->content(calendars.now).events.empty());
    fs::rename(aside, calendars.fixture.root);
    widget->checkFolders();
    EXPECT_EQ(widget->content(calendars.now).events.size(), 2u);
}

TEST(WidgetCalendars, ClockJumpsAndZoneChanges) {
    Calendars calendars;
    calendars.fixture.addEvent("home", "floating", "20260312T090000", "20260312T100000",
                               "Floating");
    auto widget = calendars.open();
    widget->content(calendars.now);
    const int fetched = widget->fetches();
    // The same day: nothing is fetched again.
    widget->content(calendars.now.plus(60));
    EXPECT_EQ(widget->fetches(), fetched);
    // Forward two weeks and back: each new day fetches its own fortnight.
    const auto later = widget->content(at(calendars.fixture.cal, 2026, 3, 25, 10));
    EXPECT_EQ(widget->fetches(), fetched + 1);
    EXPECT_TRUE(later.events.empty());
    EXPECT_EQ(widget->content(calendars.now).events.size(), 3u);

    // A floating time is read on the new zone's clock.
    const auto start = [&] {
        for (const CalEvent& event : widget->content(calendars.now).events) {
            if (event.title == "Floating") {
                return event.start;
            }
        }
        return Instant{};
    };
    EXPECT_EQ(start(), at(calendars.fixture.cal, 2026, 3, 12, 9));
    calendars.zone = "America/New_York";
    EXPECT_EQ(start(), at(test::calendarIn("America/New_York"), 2026, 3, 12, 9));
}

TEST(WidgetCalendars, ChangesOnDiskAndInTheSharedStoreAreNoticed) {
    Calendars calendars;
    auto widget = calendars.open(true);
    ASSERT_EQ(widget->content(calendars.now).events.size(), 2u);
    QSignalSpy changed(widget.get(), &WidgetCalendars::changed);
    calendars.fixture.addEvent("home", "lunch", "20260311T110000Z", "20260311T120000Z", "Lunch");
    ASSERT_TRUE(changed.wait(30000));
    EXPECT_EQ(titles(widget->content(calendars.now)),
              (std::vector<std::string>{"Lunch", "Dentist", "Standup"}));

    // An editor writes a file in place: its folder gains and loses no name, yet it is seen.
    const fs::path file = calendars.fixture.root / "me" / "home" / "dentist.ics";
    std::ifstream in(file, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), {}};
    text.replace(text.find("Dentist"), 7, "Orthodontist");
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << text;
    }
    ASSERT_TRUE(changed.wait(30000));
    EXPECT_EQ(titles(widget->content(calendars.now)),
              (std::vector<std::string>{"Lunch", "Orthodontist", "Standup"}));

    // The app asks widgets to reload: the store's journal changes and the widget reads it.
    calendars.fixture.bumpReload();
    ASSERT_TRUE(changed.wait(30000));
    EXPECT_EQ(widget->shared().reloadCount, 1u);

    // The calendars' folders removed while it runs.
    fs::remove_all(calendars.fixture.root);
    ASSERT_TRUE(changed.wait(30000));
    EXPECT_TRUE(widget->content(calendars.now).events.empty());
}

} // namespace
} // namespace plannery
