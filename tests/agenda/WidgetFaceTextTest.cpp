#include "TestSupport.h"

#include "agenda/WidgetFaceText.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::at;
namespace Text = WidgetFaceText;

CalEvent timed(const std::string& id, Instant start, Instant end,
               std::optional<std::string> location = std::nullopt) {
    return CalEvent{.id = id,
                    .title = id,
                    .location = std::move(location),
                    .start = start,
                    .end = end,
                    .calendars = {CalendarRef{.id = "c"}}};
}

class WidgetFaceTextTest : public ::testing::Test {
  protected:
    Calendar cal = test::berlin();
    // Monday, 9 March 2026, 10:15.
    Instant now = at(cal, 2026, 3, 9, 10, 15);
};

TEST_F(WidgetFaceTextTest, Headings) {
    const auto headings = Text::todayHeadings(now, cal);
    EXPECT_EQ(headings[0], (Text::Heading{"MONDAY", "MAR 9"}));
    EXPECT_EQ(headings[1], (Text::Heading{"MON", "MAR 9"}));
    EXPECT_EQ(headings[2], (Text::Heading{"MON", "9"}));
    EXPECT_EQ(Text::largeHeading(now, cal), (Text::Heading{"Monday", "March 9"}));
    const Calendar german = *Calendar::make("Europe/Berlin", "de_DE");
    EXPECT_EQ(Text::todayHeadings(now, german)[0].first, "MONTAG");
}

TEST_F(WidgetFaceTextTest, RectangularFaceLines) {
    const CalEvent meeting =
        timed("Meeting", at(cal, 2026, 3, 9, 10), at(cal, 2026, 3, 9, 11), "Room 4");
    const CalEvent standup = timed("Standup", at(cal, 2026, 3, 10, 9), at(cal, 2026, 3, 10, 9, 15));
    const CalEvent review = timed("Review", at(cal, 2026, 3, 11, 14), at(cal, 2026, 3, 11, 15));
    const CalEvent lunch = timed("Lunch", at(cal, 2026, 3, 9, 12), at(cal, 2026, 3, 9, 13));
    const WidgetAgenda agenda({meeting, standup, review, lunch,
                               timed("Later", at(cal, 2026, 3, 12, 9), at(cal, 2026, 3, 12, 10))},
                              now, cal);
    const auto events = Text::rectangularEvents(agenda);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].id, "Meeting");

    // Running now: "Until" and the end, and the place.
    EXPECT_EQ(Text::detailLine(meeting, agenda), "Until 11:00\u202fAM \u00B7 Room 4");
    EXPECT_EQ(Text::detailLine(lunch, agenda), "12\u20131p");
    EXPECT_EQ(Text::detailLine(standup, agenda), "Tomorrow 9:00\u202fAM");
    EXPECT_EQ(Text::detailLine(review, agenda), "Wed 2:00\u202fPM");
    EXPECT_EQ(Text::dayPrefix(meeting, agenda), std::nullopt);
    EXPECT_EQ(Text::furtherTime(standup, agenda), "Tom 9a");
    EXPECT_EQ(Text::furtherTime(lunch, agenda), "12p");
    EXPECT_EQ(Text::furtherTime(review, agenda), "Wed 2p");
    // The face opens the day of the first event, or today's once it has begun.
    EXPECT_EQ(Text::rectangularTarget(agenda), at(cal, 2026, 3, 9));
    const WidgetAgenda tomorrowOnly({standup}, now, cal);
    EXPECT_EQ(Text::rectangularTarget(tomorrowOnly), at(cal, 2026, 3, 10));

    const Calendar german = *Calendar::make("Europe/Berlin", "de_DE");
    const WidgetAgenda deutsch({review}, now, german);
    EXPECT_EQ(Text::furtherTime(review, deutsch), "Mi. 14:00");
}

TEST_F(WidgetFaceTextTest, RectangularWithoutTimedEvents) {
    CalEvent holiday = timed("Holiday", at(cal, 2026, 3, 9), at(cal, 2026, 3, 10));
    holiday.isAllDay = true;
    EXPECT_EQ(Text::rectangularEmpty(WidgetAgenda({holiday}, now, cal)),
              (Text::Heading{"Holiday", "All day"}));
    const WidgetAgenda nothing({}, now, cal);
    EXPECT_EQ(Text::rectangularEmpty(nothing),
              (Text::Heading{"No upcoming events", "Next two weeks are free"}));
    EXPECT_TRUE(Text::rectangularEvents(nothing).empty());
    EXPECT_EQ(Text::rectangularTarget(nothing), at(cal, 2026, 3, 9));
}

TEST_F(WidgetFaceTextTest, InlineFace) {
    const CalEvent meeting = timed("Meeting", at(cal, 2026, 3, 9, 10), at(cal, 2026, 3, 9, 11));
    EXPECT_EQ(Text::inlineText(WidgetAgenda({meeting}, now, cal)), "Now Meeting");
    const CalEvent lunch = timed("Lunch", at(cal, 2026, 3, 9, 12), at(cal, 2026, 3, 9, 13));
    EXPECT_EQ(Text::inlineText(WidgetAgenda({lunch}, now, cal)), "12:00\u202fPM Lunch");
    const CalEvent review = timed("Review", at(cal, 2026, 3, 11, 14), at(cal, 2026, 3, 11, 15));
    EXPECT_EQ(Text::inlineText(WidgetAgenda({review}, now, cal)), "Wed 2:00\u202fPM Review");
    EXPECT_EQ(Text::inlineText(WidgetAgenda({}, now, cal)), "No upcoming events");
}

TEST_F(WidgetFaceTextTest, RowTimes) {
    const WidgetAgenda agenda({}, now, cal);
    AgendaRow row{.kind = AgendaRow::Kind::event,
                  .event = timed("a", at(cal, 2026, 3, 9, 10), at(cal, 2026, 3, 9, 11, 30)),
                  .ongoing = true};
    // A running event reads "now" in a list of start times and keeps its range in a detailed one.
    EXPECT_EQ(Text::rowTime(row, false, agenda), "now");
    EXPECT_EQ(Text::rowTime(row, true, agenda), "10\u201311:30a");
    row.ongoing = false;
    EXPECT_EQ(Text::rowTime(row, false, agenda), "10a");
}

} // namespace
} // namespace plannery
