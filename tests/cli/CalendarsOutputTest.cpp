#include "cli/CalendarsOutput.h"

#include "FakeEventStore.h"
#include "MiniJson.h"
#include "TestSupport.h"
#include "model/AccountGroups.h"

#include <gtest/gtest.h>

#include <sstream>

namespace plannery::cli {
namespace {

namespace json = test::json;

class CalendarsOutputTest : public ::testing::Test {
  protected:
    CalendarsOutputTest() {
        const auto fastmail = store.addSource("fastmail", SourceType::calDAV, "Fastmail");
        const auto google = store.addSource("google", SourceType::calDAV, "me@gmail.com");
        const auto local = store.addSource("local", SourceType::local, "Local");
        store.addCalendar({.id = "fastmail/copy",
                           .title = "Google \"copy\"",
                           .type = CalendarType::calDAV,
                           .editable = false,
                           .color = PlatformColor{{0.5, 1.0}}, // a grey has no RGB colour
                           .source = fastmail});
        store.addCalendar({.id = "google/main",
                           .title = "me@gmail.com",
                           .type = CalendarType::calDAV,
                           .color = PlatformColor{{0.0, 0.6, 0.9, 1.0}},
                           .source = google});
        store.addCalendar({.id = "holidays.ics",
                           .title = "Holidays",
                           .type = CalendarType::subscription,
                           .editable = false});
        store.addCalendar({.id = "local/b",
                           .title = "Birthdays",
                           .type = CalendarType::birthday,
                           .source = local});
        store.addCalendar({.id = "local/home", .title = "Home", .source = local});
    }

    std::vector<AccountGroup> groups() const {
        return accountGroups(
            store, [](const Source&) { return false; }, calendar);
    }

    const Calendar calendar = test::berlin();
    test::FakeEventStore store;
    const CalendarsOutput::SeriesCounts counts{{"google/main", 12}, {"holidays.ics", 1}};
};

TEST_F(CalendarsOutputTest, TextListsAccountsUnderTheirHeadingsInSettingsOrder) {
    std::ostringstream out;
    CalendarsOutput::text(out, groups(), counts);
    EXPECT_EQ(out.str(),
              "me@gmail.com \xC2\xB7 Google\n"
              "  Choose which calendars sync: "
              "https://calendar.google.com/calendar/syncselect?authuser=me@gmail.com\n"
              "  me@gmail.com  [google/main]  caldav, #0099E6, editable, 12 events (calendar "
              "objects)\n"
              "\n"
              "Fastmail \xC2\xB7 CalDAV\n"
              "  Google \"copy\"  [fastmail/copy]  caldav, no colour, read-only\n"
              "\n"
              "On This Computer\n"
              "  Home  [local/home]  local, no colour, editable\n"
              "\n"
              "Subscribed\n"
              "  Holidays  [holidays.ics]  subscription, no colour, read-only, 1 event (calendar "
              "objects)\n"
              "\n"
              "Other\n"
              "  Birthdays  [local/b]  birthday, no colour, editable\n");

    // Without access there is nothing to list.
    store.setAuthorizationStatus(AuthorizationStatus::notDetermined);
    std::ostringstream empty;
    CalendarsOutput::text(empty, groups(), counts);
    EXPECT_EQ(empty.str(), "");
}

TEST_F(CalendarsOutputTest, JsonCarriesTheSameGroups) {
    std::ostringstream out;
    CalendarsOutput::json(out, groups(), counts);
    const auto parsed = json::parse(out.str());
    ASSERT_TRUE(parsed) << out.str();
    const auto& accounts = (*parsed)["accounts"].array;
    ASSERT_EQ(accounts.size(), 5u);

    const auto& google = accounts[0];
    EXPECT_EQ(google["id"].string, "source:google");
    EXPECT_EQ(google["name"].string, "me@gmail.com");
    EXPECT_EQ(google["title"].string, "me@gmail.com \xC2\xB7 Google");
    EXPECT_EQ(google["kind"].string, "google");
    EXPECT_EQ(google["syncURL"].string,
              "https://calendar.google.com/calendar/syncselect?authuser=me@gmail.com");
    EXPECT_EQ(google["calendars"][0]["color"].string, "#0099E6");
    EXPECT_EQ(google["calendars"][0]["events"].number, 12);
    EXPECT_FALSE(google["calendars"][0]["readOnly"].boolean);

    EXPECT_EQ(accounts[1]["kind"].string, "calDAV");
    EXPECT_EQ(accounts[1]["syncURL"].kind, json::Value::Kind::null);
    EXPECT_TRUE(accounts[1]["calendars"][0]["readOnly"].boolean);
    EXPECT_FALSE(accounts[1]["calendars"][0].has("color"));
    EXPECT_FALSE(accounts[1]["calendars"][0].has("events"));
    EXPECT_EQ(accounts[2]["kind"].string, "local");
    EXPECT_EQ(accounts[2]["title"].string, "On This Computer");
    EXPECT_EQ(accounts[3]["id"].string, "subscribed");
    EXPECT_EQ(accounts[3]["calendars"][0]["type"].string, "subscription");
    EXPECT_EQ(accounts[4]["id"].string, "other");
    EXPECT_EQ(accounts[4]["kind"].kind, json::Value::Kind::null);

    std::ostringstream empty;
    CalendarsOutput::json(empty, {}, counts);
    ASSERT_TRUE(json::parse(empty.str())) << empty.str();
    EXPECT_TRUE((*json::parse(empty.str()))["accounts"].array.empty());
}

} // namespace
} // namespace plannery::cli
