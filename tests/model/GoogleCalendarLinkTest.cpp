#include "model/GoogleCalendarLink.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using namespace GoogleCalendarLink;

constexpr std::string_view kEventPage = "https://calendar.google.com/calendar/event?eid=";

// The text behind an eid: "%2B" and "%2F" back to "+" and "/", padding restored, Base64 read.
std::string decodedEid(const std::string& url) {
    std::string value = url.substr(kEventPage.size());
    for (const auto& [escaped, plain] : {std::pair{"%2B", '+'}, std::pair{"%2F", '/'}}) {
        for (auto at = value.find(escaped); at != std::string::npos; at = value.find(escaped)) {
            value.replace(at, 3, 1, plain);
        }
    }
    static const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (char c : value) {
        const auto index = alphabet.find(c);
        if (index == std::string::npos) {
            return "(not Base64: " + value + ")";
        }
        bits = (bits << 6) | static_cast<unsigned>(index);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return out;
}

class GoogleCalendarLinkTest : public ::testing::Test {
  protected:
    const Calendar calendar = test::berlin();
    const SourceHandle gmail = std::make_shared<const Source>(
        Source{.sourceIdentifier = "g", .sourceType = SourceType::calDAV, .title = "Gmail"});
    const SourceHandle fastmail = std::make_shared<const Source>(
        Source{.sourceIdentifier = "f", .sourceType = SourceType::calDAV, .title = "Fastmail"});
    const GoogleCheck never = [](const Source&) { return false; };

    static CalendarHandle calendarOn(const SourceHandle& source, std::string title,
                                     CalendarType type = CalendarType::calDAV) {
        return std::make_shared<const StoreCalendar>(
            StoreCalendar{.calendarIdentifier = title,
                          .title = title,
                          .color = std::nullopt,
                          .type = type,
                          .allowsContentModifications = true,
                          .source = source});
    }

    struct Copy {
        std::optional<std::string> externalID{};
        CalendarHandle calendar{};
        Instant start{};
        bool allDay = false;
        bool recurring = false;
        bool detached = false;
        std::optional<Instant> occurrence{};
        std::optional<Participant> organizer{};
        std::vector<Participant> attendees{};
    };

    static StoreEvent copy(const Copy& fields) {
        std::vector<RecurrenceRule> rules;
        if (fields.recurring) {
            RecurrenceRule weekly;
            weekly.frequency = RecurrenceFrequency::weekly;
            rules.push_back(weekly);
        }
        auto content = std::make_shared<const EventContent>(
            EventContent{.eventIdentifier = "e",
                         .calendarItemExternalIdentifier = fields.externalID,
                         .title = "Meeting",
                         .location = std::nullopt,
                         .structuredLocation = std::nullopt,
                         .isAllDay = fields.allDay,
                         .timeZone = std::nullopt,
                         .status = EventStatus::none,
                         .notes = std::nullopt,
                         .url = std::nullopt,
                         .calendar = fields.calendar,
                         .organizer = fields.organizer,
                         .attendees = fields.attendees,
                         .recurrenceRules = rules,
                         .alarms = {}});
        return StoreEvent{.content = content,
                          .startDate = fields.start,
                          .endDate = fields.start.plus(3600),
                          .occurrenceDate = fields.occurrence,
                          .isDetached = fields.detached};
    }

    static Participant me(std::string url, bool isCurrentUser = true) {
        return Participant{
            .url = std::move(url), .name = std::nullopt, .isCurrentUser = isCurrentUser};
    }
};

TEST_F(GoogleCalendarLinkTest, DayPageHasNoLeadingZeros) {
    EXPECT_EQ(dayURL(test::at(calendar, 2026, 3, 7, 9), calendar),
              "https://calendar.google.com/calendar/r/day/2026/3/7");
    // 23:30 in Berlin is the next day in UTC; the page follows the user's calendar.
    EXPECT_EQ(dayURL(test::at(calendar, 2026, 12, 31, 23, 30), calendar),
              "https://calendar.google.com/calendar/r/day/2026/12/31");
}

TEST_F(GoogleCalendarLinkTest, OwnAddressIsTheCurrentUsersMailAddress) {
    const auto on = calendarOn(gmail, "Work");
    const Instant start = test::at(calendar, 2026, 3, 7, 9);
    EXPECT_EQ(ownAddress(copy(
                  {.calendar = on, .start = start, .organizer = me("mailto:ann%40example.com")})),
              "ann@example.com");
    EXPECT_EQ(ownAddress(copy({.calendar = on,
                               .start = start,
                               .organizer = me("mailto:boss@example.com", false),
                               .attendees = {me("mailto:x@example.com", false),
                                             me("MAILTO:ann@example.com?subject=x"),
                                             me("mailto:second@example.com")}})),
              "ann@example.com");
    // The organizer flagged as the user decides even when its address is unusable.
    EXPECT_EQ(ownAddress(copy({.calendar = on,
                               .start = start,
                               .organizer = me("urn:uuid:1234"),
                               .attendees = {me("mailto:ann@example.com")}})),
              std::nullopt);
    EXPECT_EQ(ownAddress(copy(
                  {.calendar = on, .start = start, .attendees = {me("mailto:ann@localhost")}})),
              std::nullopt);
    EXPECT_EQ(
        ownAddress(copy(
            {.calendar = on, .start = start, .attendees = {me("mailto:ann@example.com", false)}})),
        std::nullopt);
}

TEST_F(GoogleCalendarLinkTest, EventPageNamesTheEventAndItsOwner) {
    const auto owned = calendarOn(fastmail, "ann@example.com");
    const Instant nine = test::at(calendar, 2026, 3, 7, 9);

    // A single timed event: id and owner; this text's Base64 ends in "==", dropped.
    const auto single =
        eventURL({copy({.externalID = "abc123@google.com", .calendar = owned, .start = nine})},
                 never, calendar);
    EXPECT_EQ(single, std::string(kEventPage) + "YWJjMTIzIGFubkBleGFtcGxlLmNvbQ");

    // An all-day occurrence is named by its date in the user's calendar (Berlin midnight is
    // still the day before in UTC).
    const Instant midnight = test::at(calendar, 2026, 3, 7);
    const auto allDay = eventURL({copy({.externalID = "abc123@GOOGLE.COM",
                                        .calendar = owned,
                                        .start = midnight,
                                        .allDay = true,
                                        .recurring = true,
                                        .occurrence = midnight})},
                                 never, calendar);
    ASSERT_TRUE(allDay);
    EXPECT_EQ(decodedEid(*allDay), "abc123_20260307 ann@example.com");

    // A timed occurrence by its UTC time; a moved occurrence by the time its rule gave it.
    const auto timed = eventURL({copy({.externalID = "abc123@google.com",
                                       .calendar = owned,
                                       .start = nine.plus(7200),
                                       .detached = true,
                                       .occurrence = nine})},
                                never, calendar);
    ASSERT_TRUE(timed);
    EXPECT_EQ(decodedEid(*timed), "abc123_20260307T080000Z ann@example.com");
    const auto noOccurrence = eventURL({copy({.externalID = "abc123@google.com",
                                              .calendar = owned,
                                              .start = nine,
                                              .recurring = true})},
                                       never, calendar);
    ASSERT_TRUE(noOccurrence);
    EXPECT_EQ(decodedEid(*noOccurrence), "abc123_20260307T080000Z ann@example.com");

    // "+" and "/" are escaped so the query keeps them.
    const auto escaped = eventURL({copy({.externalID = "~~~???@google.com",
                                         .calendar = calendarOn(fastmail, "a@b.cd"),
                                         .start = nine})},
                                  never, calendar);
    EXPECT_EQ(escaped, std::string(kEventPage) + "fn5%2BPz8%2FIGFAYi5jZA");

    // The owner can come from the user's own participation when the title is no address.
    const auto fromAttendee = eventURL({copy({.externalID = "xyz@google.com",
                                              .calendar = calendarOn(gmail, "Work"),
                                              .start = nine,
                                              .attendees = {me("mailto:ann@example.com")}})},
                                       never, calendar);
    ASSERT_TRUE(fromAttendee);
    EXPECT_EQ(decodedEid(*fromAttendee), "xyz ann@example.com");
}

TEST_F(GoogleCalendarLinkTest, FallsBackToTheDayPageOrNothing) {
    const Instant nine = test::at(calendar, 2026, 3, 7, 9);
    const std::string dayPage = "https://calendar.google.com/calendar/r/day/2026/3/7";

    // No copy is Google's: no link at all.
    EXPECT_EQ(eventURL({copy({.externalID = "x@example.com",
                              .calendar = calendarOn(fastmail, "ann@example.com"),
                              .start = nine})},
                       never, calendar),
              std::nullopt);
    EXPECT_EQ(eventURL({}, never, calendar), std::nullopt);
    // A subscription fed by Google is still no Google copy without Google's identifier.
    EXPECT_EQ(eventURL({copy({.externalID = "x@example.com",
                              .calendar = calendarOn(gmail, "Holidays", CalendarType::subscription),
                              .start = nine})},
                       never, calendar),
              std::nullopt);

    // A Google copy whose owner is unknown: the day page of the first Google copy.
    EXPECT_EQ(eventURL({copy({.externalID = "x@example.com",
                              .calendar = calendarOn(fastmail, "Team"),
                              .start = nine.plus(86'400 * 3)}),
                        copy({.externalID = "abc@google.com",
                              .calendar = calendarOn(gmail, "Work"),
                              .start = nine})},
                       never, calendar),
              dayPage);
    // A Google account's copy without Google's identifier suffix, or with white space in the
    // id, gives no event page either.
    EXPECT_EQ(eventURL({copy({.externalID = "abc@example.com",
                              .calendar = calendarOn(gmail, "ann@example.com"),
                              .start = nine})},
                       never, calendar),
              dayPage);
    EXPECT_EQ(eventURL({copy({.externalID = "a b@google.com",
                              .calendar = calendarOn(gmail, "ann@example.com"),
                              .start = nine})},
                       never, calendar),
              dayPage);
    EXPECT_EQ(eventURL({copy({.externalID = "@google.com",
                              .calendar = calendarOn(gmail, "ann@example.com"),
                              .start = nine})},
                       never, calendar),
              dayPage);

    // The Google check makes a plain CalDAV account's copies Google's; a later copy that
    // knows its owner gives the event page.
    const GoogleCheck always = [](const Source&) { return true; };
    const auto link = eventURL(
        {copy(
             {.externalID = std::nullopt, .calendar = calendarOn(fastmail, "Team"), .start = nine}),
         copy({.externalID = "id9@google.com",
               .calendar = calendarOn(fastmail, "bob@example.com"),
               .start = nine})},
        always, calendar);
    ASSERT_TRUE(link);
    EXPECT_EQ(decodedEid(*link), "id9 bob@example.com");
    EXPECT_EQ(eventURL({copy({.externalID = std::nullopt,
                              .calendar = calendarOn(fastmail, "Team"),
                              .start = nine})},
                       always, calendar),
              dayPage);
}

} // namespace
} // namespace plannery
