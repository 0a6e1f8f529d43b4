#include "TestSupport.h"

#include "agenda/AgendaPlan.h"
#include "agenda/WidgetAgenda.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::at;

CalEvent timed(const std::string& id, Instant start, Instant end, const std::string& title = "") {
    return CalEvent{.id = id,
                    .title = title.empty() ? id : title,
                    .start = start,
                    .end = end,
                    .calendars = {CalendarRef{.id = "c"}}};
}

CalEvent allDay(const std::string& id, Instant start, Instant end) {
    CalEvent event = timed(id, start, end);
    event.isAllDay = true;
    return event;
}

std::vector<std::string> ids(const std::vector<CalEvent>& events) {
    std::vector<std::string> out;
    for (const CalEvent& event : events) {
        out.push_back(event.id);
    }
    return out;
}

class WidgetAgendaTest : public ::testing::Test {
  protected:
    Calendar cal = test::berlin();
    // Wednesday, 11 March 2026, 14:00.
    Instant now = at(cal, 2026, 3, 11, 14);
    Instant day(int n) const { return *cal.addDays(at(cal, 2026, 3, 11), n); }
    Instant on(int n, int hour, int minute = 0) const {
        const DateComponents d = cal.components(day(n));
        return at(cal, d.year, d.month, d.day, hour, minute);
    }
};

TEST_F(WidgetAgendaTest, AllDayEventsCoverTodayOrStartWithinTwoWeeks) {
    const WidgetAgenda agenda({allDay("through", day(-1), day(2)), allDay("ended", day(-1), day(0)),
                               allDay("in13", day(13), day(14)), allDay("in14", day(14), day(15)),
                               allDay("trip", day(3), day(6))},
                              now, cal);
    EXPECT_EQ(ids(agenda.today().allDay), std::vector<std::string>{"through"});
    ASSERT_EQ(agenda.upcoming().size(), 2u);
    // A multi-day event that starts later is listed under its first day only.
    EXPECT_EQ(agenda.upcoming()[0].day, day(3));
    EXPECT_EQ(ids(agenda.upcoming()[0].allDay), std::vector<std::string>{"trip"});
    EXPECT_EQ(agenda.upcoming()[1].day, day(13));
    EXPECT_EQ(ids(agenda.upcoming()[1].allDay), std::vector<std::string>{"in13"});
}

TEST_F(WidgetAgendaTest, TimedEventsStayUntilTheyEnd) {
    const CalEvent night = timed("night", on(-1, 23), on(0, 1));
    const WidgetAgenda early({night}, on(0, 0, 30), cal);
    EXPECT_EQ(ids(early.today().timed), std::vector<std::string>{"night"});
    EXPECT_FALSE(early.todayIsDone());

    const WidgetAgenda later({night}, on(0, 1), cal);
    EXPECT_TRUE(later.today().timed.empty());
    // It touched today, so today is done rather than empty.
    EXPECT_TRUE(later.todayIsDone());
    EXPECT_EQ(later.emptyTodayNote(), "No more events today");

    const WidgetAgenda done({timed("a", on(0, 9), on(0, 10)), timed("b", on(0, 11), on(0, 12))},
                            now, cal);
    EXPECT_TRUE(done.today().timed.empty());
    EXPECT_TRUE(done.todayIsDone());
    EXPECT_EQ(done.sections().front().emptyNote, "No more events today");

    const WidgetAgenda empty({timed("t", on(1, 9), on(1, 10))}, now, cal);
    EXPECT_FALSE(empty.todayIsDone());
    EXPECT_EQ(empty.emptyTodayNote(), "No events today");
    ASSERT_EQ(empty.upcoming().size(), 1u);
    EXPECT_EQ(ids(empty.upcoming()[0].timed), std::vector<std::string>{"t"});
}

TEST_F(WidgetAgendaTest, RemindersWithoutLengthAndTheHorizon) {
    const WidgetAgenda agenda(
        {timed("atNow", now, now), timed("before", now.plus(-60), now.plus(-60)),
         timed("tomorrow", on(1, 8), on(1, 8)), timed("far", on(14, 9), on(14, 10)),
         timed("edge", on(13, 23), on(14, 1))},
        now, cal);
    EXPECT_EQ(ids(agenda.today().timed), std::vector<std::string>{"atNow"});
    ASSERT_EQ(agenda.upcoming().size(), 2u);
    EXPECT_EQ(ids(agenda.upcoming()[0].timed), std::vector<std::string>{"tomorrow"});
    EXPECT_EQ(ids(agenda.upcoming()[1].timed), std::vector<std::string>{"edge"});
}

TEST_F(WidgetAgendaTest, OrdersLongerFirstThenTitlesByNumber) {
    const WidgetAgenda agenda(
        {timed("short", on(0, 15), on(0, 16)), timed("long", on(0, 15), on(0, 17)),
         timed("x10", on(0, 18), on(0, 19), "Item 10"), timed("x2", on(0, 18), on(0, 19), "Item 2"),
         timed("early", on(0, 13), on(0, 20))},
        now, cal);
    EXPECT_EQ(ids(agenda.today().timed),
              (std::vector<std::string>{"early", "long", "short", "x2", "x10"}));
    EXPECT_TRUE(
        WidgetAgenda::allDayOrder(allDay("a", day(1), day(2)), timed("t", day(0), day(0)), cal));
    EXPECT_FALSE(
        WidgetAgenda::timedOrder(allDay("a", day(1), day(2)), timed("t", day(0), day(0)), cal));
}

TEST_F(WidgetAgendaTest, LabelsNameTodayTomorrowAndOtherMonths) {
    const WidgetAgenda agenda({}, now, cal);
    EXPECT_EQ(agenda.label(day(0)), "Today");
    EXPECT_EQ(agenda.label(on(1, 15)), "Tomorrow");
    EXPECT_EQ(agenda.label(day(2)), "Fri 13");
    // 2 April is in the next month.
    EXPECT_EQ(agenda.label(day(22)), "Thu, Apr 2");
}

TEST_F(WidgetAgendaTest, SectionsAndTheClosingNote) {
    const WidgetAgenda agenda({allDay("birthday", day(1), day(2)),
                               timed("standup", on(1, 9), on(1, 10)),
                               timed("now", on(0, 13), on(0, 15))},
                              now, cal);
    const auto sections = agenda.sections();
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_FALSE(sections[0].header);
    EXPECT_EQ(sections[0].continuation, "Today");
    EXPECT_EQ(ids(sections[0].events), std::vector<std::string>{"now"});
    EXPECT_EQ(sections[1].header, "Tomorrow");
    EXPECT_EQ(ids(sections[1].events), (std::vector<std::string>{"birthday", "standup"}));
    EXPECT_FALSE(sections[1].emptyNote);
    EXPECT_EQ(ids(agenda.nextTimedEvents()), (std::vector<std::string>{"now", "standup"}));

    EXPECT_EQ(agenda.withClosingNote(agenda.upcomingSections()).size(), 1u);
    const WidgetAgenda quiet({}, now, cal);
    const auto closing = quiet.withClosingNote(quiet.upcomingSections());
    ASSERT_EQ(closing.size(), 1u);
    EXPECT_EQ(closing[0].day, day(1));
    EXPECT_FALSE(closing[0].header);
    EXPECT_EQ(closing[0].continuation, "");
    EXPECT_EQ(closing[0].emptyNote, "Nothing in the next two weeks");
}

TEST_F(WidgetAgendaTest, SpokenDescriptionsAndSummary) {
    const WidgetAgenda agenda({timed("a", on(0, 13), on(0, 15), "Review"),
                               timed("b", on(0, 16), on(0, 17), "Call"),
                               timed("c", on(0, 18), on(0, 19), "Dinner"),
                               allDay("d", day(0), day(1)), timed("e", on(1, 9), on(1, 10), "Gym")},
                              now, cal);
    EXPECT_EQ(agenda.describe(agenda.today().timed[0]), "Review, now until 3:00\u202fPM");
    EXPECT_EQ(agenda.describe(agenda.today().timed[1]), "Call at 4:00\u202fPM");
    EXPECT_EQ(agenda.describe(agenda.today().allDay[0]), "d, all day");

    // Three of today's four events; the limit reached, later days add nothing.
    EXPECT_EQ(agenda.accessibilitySummary(3),
              "Wednesday, March 11. d, all day; Review, now until 3:00\u202fPM; Call at "
              "4:00\u202fPM");
    EXPECT_EQ(agenda.accessibilitySummary(5),
              "Wednesday, March 11. d, all day; Review, now until 3:00\u202fPM; Call at "
              "4:00\u202fPM; Dinner at 6:00\u202fPM. Tomorrow: Gym at 9:00\u202fAM");
    const WidgetAgenda quiet({}, now, cal);
    EXPECT_EQ(quiet.accessibilitySummary(5), "Wednesday, March 11. No events today");
}

TEST_F(WidgetAgendaTest, TranslatedWordsAndOtherZones) {
    WidgetWords words;
    words.today = "Heute";
    words.eventAt = "%2: %1";
    const Calendar german = *Calendar::make("Europe/Berlin", "de_DE");
    const WidgetAgenda agenda({timed("a", on(0, 16), on(0, 17), "Anruf")}, now, german, words);
    EXPECT_EQ(agenda.label(now), "Heute");
    EXPECT_EQ(agenda.describe(agenda.today().timed[0]), "16:00: Anruf");

    // 16:00 in Berlin is midnight in Tokyo: tomorrow there.
    const Calendar tokyo = *Calendar::make("Asia/Tokyo", "en_US");
    const WidgetAgenda east({timed("a", on(0, 16), on(0, 17))}, now, tokyo);
    EXPECT_EQ(east.today().day, tokyo.startOfDay(now));
    EXPECT_TRUE(east.today().timed.empty());
    ASSERT_EQ(east.upcoming().size(), 1u);
    EXPECT_EQ(east.label(east.upcoming()[0].day), "Tomorrow");
}

TEST_F(WidgetAgendaTest, SectionsForACappedListPlanTheSameRows) {
    std::vector<CalEvent> events{allDay("trip", day(0), day(2))};
    for (int n = 0; n < 6; ++n) {
        for (int k = 0; k <= n; ++k) {
            events.push_back(timed("d" + std::to_string(n) + "e" + std::to_string(k), on(n, 15 + k),
                                   on(n, 16 + k)));
        }
    }
    const WidgetAgenda agenda(events, now, cal);
    const auto withNote = [&](std::vector<WidgetAgenda::Section> sections) {
        if (sections.size() == 1) {
            sections.push_back(agenda.withClosingNote({}).front());
        }
        return sections;
    };
    for (int cap = 0; cap < 25; ++cap) {
        const auto limited = agenda.sections(static_cast<std::size_t>(cap));
        EXPECT_LE(limited.size(), agenda.sections().size());
        EXPECT_EQ(AgendaPlan::make(withNote(limited), cap, {}, cal).items,
                  AgendaPlan::make(withNote(agenda.sections()), cap, {}, cal).items)
            << cap;
    }
    EXPECT_LT(agenda.sections(3).size(), agenda.sections().size());
}

} // namespace
} // namespace plannery
