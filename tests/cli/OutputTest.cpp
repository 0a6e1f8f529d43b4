#include "cli/Output.h"

#include "MiniJson.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace plannery::cli {
namespace {

using test::at;
namespace json = test::json;

CalEvent meeting(const Calendar& calendar) {
    return CalEvent{
        .id = "work/a.ics|1796630400",
        .eventIdentifier = "work/a.ics",
        .externalID = "a@google.com",
        .title = "Review \"Q4\" \\ plan",
        .location = "Room 4.12",
        .start = at(calendar, 2026, 12, 7, 9, 0),
        .end = at(calendar, 2026, 12, 7, 10, 30),
        .calendars = {CalendarRef{.id = "work", .title = "Work", .rgb = RGB{1, 0.5, 0}},
                      CalendarRef{.id = "home", .title = "Home", .rgb = RGB::fallback()}},
        .copies = 3,
        .richness = 6,
        .duplicateIDs = {"home/a.ics", "mirror/a.ics"},
    };
}

TEST(OutputTest, JsonStringsAreEscapedAndStayValidUtf8) {
    EXPECT_EQ(Output::jsonString("plain"), "\"plain\"");
    EXPECT_EQ(Output::jsonString("say \"hi\" \\ bye"), "\"say \\\"hi\\\" \\\\ bye\"");
    EXPECT_EQ(Output::jsonString("a\nb\tc\rd"), "\"a\\nb\\tc\\rd\"");
    EXPECT_EQ(Output::jsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\\u007f\"");
    EXPECT_EQ(Output::jsonString(std::string("nul\0x", 5)), "\"nul\\u0000x\"");
    // Valid UTF-8 of every length passes through unchanged.
    EXPECT_EQ(Output::jsonString("Zoë 東京 🍫"), "\"Zoë 東京 🍫\"");
    // A byte that is not UTF-8 (only file names hold such) is written as the lone surrogate
    // U+DC00 plus the byte, so the output stays valid JSON and the name keeps its bytes.
    EXPECT_EQ(Output::jsonString("a\xff"
                                 "b"),
              "\"a\\udcffb\"");
    EXPECT_EQ(Output::jsonString("\xC3"), "\"\\udcc3\"");                       // cut short
    EXPECT_EQ(Output::jsonString("\xC0\xAF"), "\"\\udcc0\\udcaf\"");            // overlong
    EXPECT_EQ(Output::jsonString("\xED\xA0\x80"), "\"\\udced\\udca0\\udc80\""); // surrogate
    // Whatever goes in, a strict reader gets the text back.
    const std::string tricky = "Zoë's \"café\"\n\\path\\ \x02 end";
    const auto parsed = json::parse(Output::jsonString(tricky));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->string, tricky);
}

TEST(OutputTest, TimesCarryTheOffsetOfTheZone) {
    const auto berlin = test::berlin();
    EXPECT_EQ(Output::isoDateTime(at(berlin, 2026, 12, 7, 9, 0), berlin),
              "2026-12-07T09:00:00+01:00");
    EXPECT_EQ(Output::isoDateTime(at(berlin, 2026, 7, 1, 23, 59), berlin),
              "2026-07-01T23:59:00+02:00");
    const auto newYork = test::calendarIn("America/New_York");
    EXPECT_EQ(Output::isoDateTime(at(berlin, 2026, 12, 7, 9, 0), newYork),
              "2026-12-07T03:00:00-05:00");
    const auto kolkata = test::calendarIn("Asia/Kolkata");
    EXPECT_EQ(Output::isoDateTime(Instant{0}, kolkata), "1970-01-01T05:30:00+05:30");
    EXPECT_EQ(Output::isoDate(at(berlin, 2026, 12, 7, 0, 30), berlin), "2026-12-07");
    EXPECT_EQ(Output::isoDate(at(berlin, 2026, 12, 7, 0, 30), newYork), "2026-12-06");
}

TEST(OutputTest, EventJsonHasTheRecordFieldsAndOmitsAbsentOptionals) {
    const auto berlin = test::berlin();
    const auto full = json::parse(Output::eventJson(meeting(berlin), berlin));
    ASSERT_TRUE(full);
    const auto& event = *full;
    EXPECT_EQ(event["id"].string, "work/a.ics|1796630400");
    EXPECT_EQ(event["eventIdentifier"].string, "work/a.ics");
    EXPECT_EQ(event["externalID"].string, "a@google.com");
    EXPECT_EQ(event["title"].string, "Review \"Q4\" \\ plan");
    EXPECT_EQ(event["location"].string, "Room 4.12");
    EXPECT_EQ(event["start"].string, "2026-12-07T09:00:00+01:00");
    EXPECT_EQ(event["end"].string, "2026-12-07T10:30:00+01:00");
    EXPECT_FALSE(event["isAllDay"].boolean);
    EXPECT_EQ(event["isDeclined"].kind, json::Value::Kind::boolean);
    EXPECT_EQ(event["copies"].number, 3);
    EXPECT_EQ(event["richness"].number, 6);
    ASSERT_EQ(event["calendars"].array.size(), 2u);
    EXPECT_EQ(event["calendars"][0]["id"].string, "work");
    EXPECT_EQ(event["calendars"][0]["title"].string, "Work");
    EXPECT_EQ(event["calendars"][0]["rgb"]["g"].number, 0.5);
    EXPECT_EQ(event["calendars"][1]["rgb"]["r"].number, 0.3);
    ASSERT_EQ(event["duplicateIDs"].array.size(), 2u);
    EXPECT_EQ(event["duplicateIDs"][1].string, "mirror/a.ics");

    CalEvent bare = meeting(berlin);
    bare.externalID.reset();
    bare.location.reset();
    bare.duplicateIDs.clear();
    bare.isCanceled = true;
    const auto parsed = json::parse(Output::eventJson(bare, berlin));
    ASSERT_TRUE(parsed);
    EXPECT_FALSE(parsed->has("externalID"));
    EXPECT_FALSE(parsed->has("location"));
    EXPECT_TRUE((*parsed)["isCanceled"].boolean);
    EXPECT_TRUE((*parsed)["duplicateIDs"].array.empty());
}

TEST(OutputTest, AgendaListsEveryDayWithItsEvents) {
    const auto berlin = test::berlin();
    const Instant monday = at(berlin, 2026, 12, 7);
    const Instant tuesday = at(berlin, 2026, 12, 8);
    CalEvent holiday{.id = "h|1",
                     .eventIdentifier = "h",
                     .title = "Day off",
                     .start = monday,
                     .end = tuesday,
                     .isAllDay = true,
                     .calendars = {CalendarRef{.id = "h", .title = "Holidays"}}};
    CalEvent declined = meeting(berlin);
    declined.isDeclined = true;
    CalEvent overnight{.id = "n|2",
                       .eventIdentifier = "n",
                       .title = "Night\ntrain",
                       .start = at(berlin, 2026, 12, 7, 22, 0),
                       .end = at(berlin, 2026, 12, 8, 6, 15),
                       .isTentative = true,
                       .isCanceled = true,
                       .calendars = {CalendarRef{.id = "t", .title = "Travel"}}};
    const EventDays days({holiday, declined, overnight}, {monday, tuesday, at(berlin, 2026, 12, 9)},
                         berlin);

    std::ostringstream text;
    Output::agendaText(text, days, berlin);
    EXPECT_EQ(text.str(), "Monday, December 7, 2026\n"
                          "  all day       Day off  [Holidays]\n"
                          "  09:00–10:30   Review \"Q4\" \\ plan  [Work, Home]  (declined)\n"
                          "  22:00–…       Night train  [Travel]  (cancelled)  (tentative)\n"
                          "\n"
                          "Tuesday, December 8, 2026\n"
                          "  …–06:15       Night train  [Travel]  (cancelled)  (tentative)\n"
                          "\n"
                          "Wednesday, December 9, 2026\n"
                          "  no events\n");

    std::ostringstream out;
    Output::agendaJson(out, days, berlin);
    const auto parsed = json::parse(out.str());
    ASSERT_TRUE(parsed) << out.str();
    const auto& list = (*parsed)["days"].array;
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]["day"].string, "2026-12-07");
    EXPECT_EQ(list[0]["events"].array.size(), 3u);
    EXPECT_TRUE(list[0]["events"][0]["isAllDay"].boolean);
    EXPECT_EQ(list[0]["events"][0]["end"].string, "2026-12-08T00:00:00+01:00");
    EXPECT_EQ(list[1]["events"][0]["title"].string, "Night\ntrain");
    EXPECT_TRUE(list[2]["events"].array.empty());

    // Headings follow the calendar's locale.
    auto german = Calendar::make("Europe/Berlin", "de_DE");
    ASSERT_TRUE(german);
    std::ostringstream deutsch;
    Output::agendaText(deutsch, EventDays({}, {monday}, *german), *german);
    EXPECT_EQ(deutsch.str(), "Montag, 7. Dezember 2026\n  no events\n");
}

TEST(OutputTest, MirrorGroupsNameCalendarsWithTheirAccounts) {
    auto google = std::make_shared<Source>(Source{
        .sourceIdentifier = "google", .sourceType = SourceType::calDAV, .title = "me@gmail.com"});
    auto fastmail = std::make_shared<Source>(Source{
        .sourceIdentifier = "fastmail", .sourceType = SourceType::calDAV, .title = "Fastmail"});
    auto main =
        std::make_shared<StoreCalendar>(StoreCalendar{.calendarIdentifier = "google/main",
                                                      .title = "me@gmail.com",
                                                      .color = PlatformColor{{0.0, 0.6, 0.9, 1.0}},
                                                      .type = CalendarType::calDAV,
                                                      .source = google});
    auto copy = std::make_shared<StoreCalendar>(
        StoreCalendar{.calendarIdentifier = "fastmail/copy",
                      .title = "Google \"copy\"",
                      .color = PlatformColor{{0.5, 1.0}}, // a grey has no RGB colour
                      .type = CalendarType::calDAV,
                      .allowsContentModifications = false,
                      .source = fastmail});
    auto loose = std::make_shared<StoreCalendar>(StoreCalendar{.calendarIdentifier = "holidays.ics",
                                                               .title = "Holidays",
                                                               .color = std::nullopt,
                                                               .type = CalendarType::subscription,
                                                               .source = nullptr});
    const std::vector<CalendarHandle> calendars{main, copy, loose};
    const CalendarMirrors mirrors(
        std::vector<std::vector<std::string>>{{"google/main", "fastmail/copy"}});

    std::ostringstream text;
    Output::mirrorsText(text, mirrors, calendars);
    EXPECT_EQ(text.str(), "Mirror group 1:\n"
                          "  me@gmail.com (account me@gmail.com)  [google/main]  preferred\n"
                          "  Google \"copy\" (account Fastmail)  [fastmail/copy]\n");
    std::ostringstream none;
    Output::mirrorsText(none, CalendarMirrors{}, calendars);
    EXPECT_EQ(none.str(), "No calendars mirror each other.\n");
    std::ostringstream groups;
    Output::mirrorsJson(groups, mirrors);
    EXPECT_EQ(groups.str(), "{\"groups\":[[\"google/main\",\"fastmail/copy\"]]}\n");
}

} // namespace
} // namespace plannery::cli
