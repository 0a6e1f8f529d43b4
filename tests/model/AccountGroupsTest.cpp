#include "model/AccountGroups.h"
#include "FakeEventStore.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::FakeEventStore;

class AccountGroupsTest : public ::testing::Test {
  protected:
    const Calendar calendar = test::berlin();
    const Instant now = test::at(calendar, 2026, 3, 10, 12);
    FakeEventStore store;

    GoogleCheck check() const {
        return [this](const Source& source) { return looksLikeGoogle(store, source, now); };
    }

    // `google` events with Google's identifiers and `other` with the server's own, each a day
    // apart from `first` days after now (negative: before).
    void addEvents(const CalendarHandle& on, int google, int other, int first = 0) {
        for (int i = 0; i < google + other; ++i) {
            const Instant start = calendar.addDays(now, first + i).value();
            const std::string id = on->calendarIdentifier + "/" + std::to_string(i + first);
            store.addEvent({.identifier = id,
                            .externalID = i < google ? "Event" + std::to_string(i) + "@Google.com"
                                                     : id + "@example.com",
                            .calendar = on},
                           start, start.plus(3600));
        }
    }
};

TEST_F(AccountGroupsTest, GoogleCheckCountsRecentCalDAVEvents) {
    const auto custom = store.addSource("custom", SourceType::calDAV, "ann@example.com");
    const auto work = store.addCalendar(
        {.id = "w", .title = "Work", .type = CalendarType::calDAV, .source = custom});
    addEvents(work, 3, 3);
    EXPECT_TRUE(looksLikeGoogle(store, *custom, now)); // exactly half, at least 3
    EXPECT_EQ(accountKind(store, *custom, check()), AccountKind::google);

    addEvents(work, 0, 1, 10);
    EXPECT_FALSE(looksLikeGoogle(store, *custom, now)); // 3 of 7

    // Fewer than 3 never counts, even when every event is Google's.
    const auto few = store.addSource("few", SourceType::calDAV, "bob@example.com");
    const auto bob =
        store.addCalendar({.id = "b", .title = "Bob", .type = CalendarType::calDAV, .source = few});
    addEvents(bob, 2, 0);
    EXPECT_FALSE(looksLikeGoogle(store, *few, now));
    EXPECT_EQ(accountKind(store, *few, check()), AccountKind::calDAV);

    // Events outside sixty days either way are not looked at.
    const auto old = store.addSource("old", SourceType::calDAV, "Old");
    const auto past =
        store.addCalendar({.id = "o", .title = "Old", .type = CalendarType::calDAV, .source = old});
    addEvents(past, 5, 0, -70);
    EXPECT_FALSE(looksLikeGoogle(store, *old, now));

    // Only CalDAV calendars of a CalDAV source, and only with full access.
    const auto local = store.addSource("local", SourceType::local, "Mine");
    const auto mine = store.addCalendar(
        {.id = "m", .title = "Mine", .type = CalendarType::calDAV, .source = local});
    addEvents(mine, 5, 0);
    EXPECT_FALSE(looksLikeGoogle(store, *local, now));
    const auto mixed = store.addSource("mixed", SourceType::calDAV, "Mixed");
    const auto exchange = store.addCalendar(
        {.id = "x", .title = "X", .type = CalendarType::exchange, .source = mixed});
    addEvents(exchange, 5, 0);
    EXPECT_FALSE(looksLikeGoogle(store, *mixed, now));
    store.setAuthorizationStatus(AuthorizationStatus::writeOnly);
    EXPECT_FALSE(looksLikeGoogle(store, *custom, now));
}

TEST_F(AccountGroupsTest, GoogleCheckLooksAtTheFirst200Events) {
    const auto source = store.addSource("big", SourceType::calDAV, "Big");
    const auto big = store.addCalendar(
        {.id = "g", .title = "Big", .type = CalendarType::calDAV, .source = source});
    // The store hands out the other events first: 150 of them and 50 of Google's fill the 200
    // looked at; 150 more of Google's come too late.
    for (int i = 0; i < 150; ++i) {
        store.addEvent(
            {.identifier = "o" + std::to_string(i), .externalID = "o@example.com", .calendar = big},
            now, now.plus(60));
    }
    for (int i = 0; i < 200; ++i) {
        store.addEvent(
            {.identifier = "g" + std::to_string(i), .externalID = "g@google.com", .calendar = big},
            now, now.plus(60));
    }
    EXPECT_FALSE(looksLikeGoogle(store, *source, now));
}

TEST_F(AccountGroupsTest, KindAsksTheGoogleCheckOnlyWhenItMatters) {
    int asked = 0;
    const GoogleCheck counting = [&](const Source&) {
        ++asked;
        return true;
    };
    const auto icloud = store.addSource("i", SourceType::calDAV, "iCloud");
    const auto gmail = store.addSource("g", SourceType::calDAV, "Work");
    store.addCalendar(
        {.id = "g1", .title = "ann@gmail.com", .type = CalendarType::calDAV, .source = gmail});
    const auto exchange = store.addSource("x", SourceType::exchange, "Contoso");
    const auto plain = store.addSource("p", SourceType::calDAV, "Fastmail");
    EXPECT_EQ(accountKind(store, *icloud, counting), AccountKind::iCloud);
    EXPECT_EQ(accountKind(store, *gmail, counting), AccountKind::google);
    EXPECT_EQ(accountKind(store, *exchange, counting), AccountKind::exchange);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(accountKind(store, *plain, counting), AccountKind::google);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(accountKind(store, *plain, nullptr), AccountKind::calDAV);
}

TEST_F(AccountGroupsTest, GroupsInSettingsOrder) {
    const auto local = store.addSource("local", SourceType::local, "Local");
    const auto zed = store.addSource("zed", SourceType::calDAV, "Zed");
    const auto alpha = store.addSource("alpha", SourceType::calDAV, "alpha");
    const auto google = store.addSource("google", SourceType::calDAV, "ann@gmail.com");
    const auto icloud = store.addSource("icloud", SourceType::calDAV, "iCloud");
    const auto feeds = store.addSource("feeds", SourceType::subscribed, "Feeds");
    const auto birthdays = store.addSource("bd", SourceType::birthdays, "Birthdays");
    const auto exchange = store.addSource("ex", SourceType::exchange, "Contoso");
    const auto unknown = store.addSource("u", static_cast<SourceType>(7), "Strange");

    store.addCalendar(
        {.id = "home", .title = "home", .type = CalendarType::local, .source = local});
    store.addCalendar(
        {.id = "z2", .title = "Team 10", .type = CalendarType::calDAV, .source = zed});
    store.addCalendar({.id = "z1", .title = "team 9", .type = CalendarType::calDAV, .source = zed});
    store.addCalendar({.id = "a", .title = "A", .type = CalendarType::calDAV, .source = alpha});
    store.addCalendar(
        {.id = "g", .title = "ann@gmail.com", .type = CalendarType::calDAV, .source = google});
    store.addCalendar({.id = "i", .title = "Home", .type = CalendarType::calDAV, .source = icloud});
    store.addCalendar({.id = "f", .title = "Feed", .type = CalendarType::calDAV, .source = feeds});
    store.addCalendar(
        {.id = "holidays", .title = "Holidays", .type = CalendarType::subscription, .source = zed});
    store.addCalendar(
        {.id = "b", .title = "Birthdays", .type = CalendarType::birthday, .source = local});
    store.addCalendar(
        {.id = "bd", .title = "People", .type = CalendarType::calDAV, .source = birthdays});
    store.addCalendar({.id = "loose", .title = "Loose", .type = CalendarType::local});
    store.addCalendar(
        {.id = "x", .title = "Mail", .type = CalendarType::exchange, .source = exchange});
    store.addCalendar({.id = "s", .title = "S", .type = CalendarType::calDAV, .source = unknown});

    const auto groups = accountGroups(store, check(), calendar);
    struct Expected {
        std::string id;
        std::string name;
        std::optional<AccountKind> kind;
        std::vector<std::string> calendars;
    };
    const std::vector<Expected> expected{
        {"source:icloud", "iCloud", AccountKind::iCloud, {"i"}},
        {"source:google", "ann@gmail.com", AccountKind::google, {"g"}},
        {"source:ex", "Contoso", AccountKind::exchange, {"x"}},
        // Equal order: by name, case and digits compared as people read them.
        {"source:alpha", "alpha", AccountKind::calDAV, {"a"}},
        {"source:zed", "Zed", AccountKind::calDAV, {"z1", "z2"}},
        {"source:u", "Strange", AccountKind::other, {"s"}},
        {"source:local", "On This Computer", AccountKind::local, {"home"}},
        {"subscribed", "Subscribed", AccountKind::subscribed, {"f", "holidays"}},
        {"other", "Other", std::nullopt, {"b", "loose", "bd"}},
    };
    ASSERT_EQ(groups.size(), expected.size());
    for (std::size_t i = 0; i < groups.size(); ++i) {
        EXPECT_EQ(groups[i].id, expected[i].id) << i;
        EXPECT_EQ(groups[i].name, expected[i].name) << i;
        EXPECT_EQ(groups[i].kind, expected[i].kind) << i;
        std::vector<std::string> ids;
        for (const auto& member : groups[i].calendars) {
            ids.push_back(member->calendarIdentifier);
        }
        EXPECT_EQ(ids, expected[i].calendars) << groups[i].id;
        EXPECT_EQ(groups[i].googleSyncURL.has_value(), groups[i].kind == AccountKind::google)
            << groups[i].id;
    }
    EXPECT_EQ(groups[1].googleSyncURL,
              "https://calendar.google.com/calendar/syncselect?authuser=ann@gmail.com");

    store.setAuthorizationStatus(AuthorizationStatus::denied);
    EXPECT_TRUE(accountGroups(store, check(), calendar).empty());
}

TEST_F(AccountGroupsTest, DisguisedGoogleAccountGetsASyncLinkWithoutAddress) {
    const auto custom = store.addSource("c", SourceType::calDAV, "Work calendars");
    const auto work = store.addCalendar(
        {.id = "w", .title = "Work", .type = CalendarType::calDAV, .source = custom});
    addEvents(work, 4, 1);
    const auto groups = accountGroups(store, check(), calendar);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].kind, AccountKind::google);
    EXPECT_EQ(groups[0].googleSyncURL, "https://calendar.google.com/calendar/syncselect");
}

} // namespace
} // namespace plannery
