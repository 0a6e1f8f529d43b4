#include "model/MirrorDetection.h"
#include "FakeEventStore.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using Groups = std::vector<std::vector<std::string>>;
using MirrorDetection::CalendarInfo;

class MirrorDetectionTest : public ::testing::Test {
  protected:
    const Calendar calendar = test::berlin();
    const MirrorDetection::Rules rules{};

    // 09:00 to 10:00 on the given day of June 2026 (days past 30 run into July).
    Instant nineOn(int day, int hour = 9) const {
        return calendar.addDaysKeepingTime(test::at(calendar, 2026, 6, 1, hour), day - 1).value();
    }

    static CalEvent occurrence(const std::string& calendarID, const std::string& title,
                               Instant start, std::optional<std::string> ext = std::nullopt) {
        return CalEvent{.externalID = std::move(ext),
                        .title = title,
                        .start = start,
                        .end = start.plus(3600),
                        .calendars = {CalendarRef{.id = calendarID}}};
    }

    // One single-occurrence series per day, titled by the day, on every given calendar.
    std::vector<CalEvent> series(const std::vector<std::string>& calendarIDs, int firstDay,
                                 int count) const {
        std::vector<CalEvent> events;
        for (int day = firstDay; day < firstDay + count; ++day) {
            for (const std::string& id : calendarIDs) {
                events.push_back(occurrence(id, "Meeting " + std::to_string(day), nineOn(day)));
            }
        }
        return events;
    }

    Groups detect(const std::vector<CalEvent>& events,
                  const std::vector<CalendarInfo>& calendars) const {
        return MirrorDetection::detect(events, calendars, rules, calendar).groups();
    }
};

std::vector<CalEvent> operator+(std::vector<CalEvent> a, const std::vector<CalEvent>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(MirrorDetectionTest, IdenticalCalendarsFormAGroupEditableFirst) {
    const std::vector<CalendarInfo> calendars{
        {.id = "feed", .title = "Team (read only)", .editable = false, .subscribed = true},
        {.id = "team", .title = "Team", .editable = true, .subscribed = false},
    };
    EXPECT_EQ(detect(series({"feed", "team"}, 1, 10), calendars), (Groups{{"team", "feed"}}));

    // The same events an hour apart are not copies.
    std::vector<CalEvent> shifted = series({"team"}, 1, 10);
    for (CalEvent event : series({"feed"}, 1, 10)) {
        event.start = event.start.plus(3600);
        event.end = event.end.plus(3600);
        shifted.push_back(event);
    }
    EXPECT_EQ(detect(shifted, calendars), Groups{});

    EXPECT_EQ(detect(series({"team"}, 1, 10), {calendars[1]}), Groups{});
    EXPECT_EQ(detect({}, calendars), Groups{});
    // Events on calendars that are not listed are not evidence.
    EXPECT_EQ(detect(series({"team", "elsewhere"}, 1, 10), calendars), Groups{});
}

TEST_F(MirrorDetectionTest, HowManySeriesAreEnough) {
    const std::vector<CalendarInfo> differentTitles{{.id = "a", .title = "Projects"},
                                                    {.id = "b", .title = "Work"}};
    const std::vector<CalendarInfo> sameTitles{{.id = "a", .title = "Work"},
                                               {.id = "b", .title = "work!"}};
    const struct {
        const char* name;
        std::vector<CalEvent> events;
        std::vector<CalendarInfo> calendars;
        Groups groups;
    } cases[] = {
        {"four series, titles differ", series({"a", "b"}, 1, 4), differentTitles, {}},
        {"five series, titles differ", series({"a", "b"}, 1, 5), differentTitles, {{"a", "b"}}},
        {"four series, same titles", series({"a", "b"}, 1, 4), sameTitles, {{"a", "b"}}},
        {"three series, same titles", series({"a", "b"}, 1, 3), sameTitles, {{"a", "b"}}},
        {"two series, same titles", series({"a", "b"}, 1, 2), sameTitles, {}},
        {"three of four mirrored, same titles",
         series({"a", "b"}, 1, 3) + series({"a"}, 4, 1),
         sameTitles,
         {}},
        {"four of five mirrored, same titles",
         series({"a", "b"}, 1, 4) + series({"a"}, 5, 1),
         sameTitles,
         {{"a", "b"}}},
        {"nine of ten mirrored, titles differ",
         series({"a", "b"}, 1, 9) + series({"b"}, 10, 1),
         differentTitles,
         {{"a", "b"}}},
        {"eight of nine mirrored, titles differ",
         series({"a", "b"}, 1, 8) + series({"b"}, 10, 1),
         differentTitles,
         {}},
        // A few shared invitations do not make a mirror.
        {"shared invitations",
         series({"a", "b"}, 1, 3) + series({"a"}, 4, 10) + series({"b"}, 14, 10),
         differentTitles,
         {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(detect(c.events, c.calendars), c.groups) << c.name;
    }
}

TEST_F(MirrorDetectionTest, SeriesAreCountedNotOccurrences) {
    const std::vector<CalendarInfo> calendars{{.id = "a", .title = "Exchange"},
                                              {.id = "b", .title = "Work"}};
    // A daily meeting: ten occurrences, one series.
    std::vector<CalEvent> daily;
    for (int day = 1; day <= 10; ++day) {
        for (const char* id : {"a", "b"}) {
            daily.push_back(occurrence(id, "Standup", nineOn(day, 8), "standup-uid"));
        }
    }
    EXPECT_EQ(detect(daily + series({"a", "b"}, 1, 3), calendars), Groups{});
    EXPECT_EQ(detect(daily + series({"a", "b"}, 1, 4), calendars), (Groups{{"a", "b"}}));

    // A series counts as mirrored when at least half of its occurrences have copies.
    auto repeating = [&](int occurrences, int copied) {
        std::vector<CalEvent> events = series({"a", "b"}, 1, 4);
        for (int i = 0; i < occurrences; ++i) {
            events.push_back(occurrence("a", "Review", nineOn(10 + i, 14), "review-uid"));
            if (i < copied) {
                events.push_back(occurrence("b", "Review", nineOn(10 + i, 14), "review-uid"));
            }
        }
        return detect(events, calendars);
    };
    EXPECT_EQ(repeating(6, 3), (Groups{{"a", "b"}}));
    EXPECT_EQ(repeating(5, 2), Groups{});
}

TEST_F(MirrorDetectionTest, MirrorsChainIntoOneGroup) {
    // A and B share identifiers, B and C share titles; A and C never match directly.
    std::vector<CalEvent> events;
    for (int day = 1; day <= 6; ++day) {
        const std::string uid = "uid-" + std::to_string(day);
        events.push_back(occurrence("A", "Alpha " + std::to_string(day), nineOn(day), uid));
        events.push_back(occurrence("B", "Beta " + std::to_string(day), nineOn(day), uid));
        events.push_back(occurrence("C", "Beta " + std::to_string(day), nineOn(day)));
    }
    const std::vector<CalendarInfo> calendars{
        {.id = "C", .title = "Third", .editable = true},
        {.id = "A", .title = "First", .editable = true},
        {.id = "B", .title = "Second", .editable = true},
    };
    EXPECT_EQ(detect(events, calendars), (Groups{{"A", "B", "C"}}));
}

TEST_F(MirrorDetectionTest, PreferredCalendarFirstAndGroupsByFirstID) {
    const std::vector<CalendarInfo> calendars{
        {.id = "s", .title = "Zed", .editable = true, .subscribed = true},
        {.id = "r", .title = "Aaa", .editable = false, .subscribed = false},
        {.id = "t10", .title = "Work 10", .editable = true},
        {.id = "x9", .title = "Work 9", .editable = true},
        {.id = "t9", .title = "Work 9", .editable = true},
        {.id = "n", .title = "Home", .editable = true},
        {.id = "m", .title = "Family", .editable = true},
    };
    std::vector<CalEvent> events = series({"s", "r", "t10", "x9", "t9"}, 1, 6);
    for (int day = 1; day <= 6; ++day) {
        for (const char* id : {"n", "m"}) {
            events.push_back(occurrence(id, "Dinner " + std::to_string(day), nineOn(day, 19)));
        }
    }
    EXPECT_EQ(detect(events, calendars), (Groups{{"m", "n"}, {"t9", "x9", "t10", "s", "r"}}));
}

TEST_F(MirrorDetectionTest, ScanReadsTheStoreAroundToday) {
    test::FakeEventStore store;
    const auto work = store.addCalendar({.id = "work", .title = "Work"});
    const auto feed = store.addCalendar({.id = "feed",
                                         .title = "Work feed",
                                         .type = CalendarType::subscription,
                                         .editable = false});
    const Instant now = nineOn(15, 11);
    auto addMirrored = [&](int firstDay) {
        for (int day = firstDay; day < firstDay + 6; ++day) {
            for (const auto& owner : {work, feed}) {
                store.addEvent({.identifier = owner->calendarIdentifier + std::to_string(day),
                                .title = "  Meeting " + std::to_string(day) + "\n",
                                .calendar = owner},
                               nineOn(day), nineOn(day).plus(1800));
            }
        }
    };

    addMirrored(-40); // before the window: four weeks back
    EXPECT_TRUE(MirrorDetection::scan(store, now, calendar).empty());
    addMirrored(10);
    EXPECT_EQ(MirrorDetection::scan(store, now, calendar).groups(), (Groups{{"work", "feed"}}));

    store.setAuthorizationStatus(AuthorizationStatus::denied);
    EXPECT_TRUE(MirrorDetection::scan(store, now, calendar).empty());

    test::FakeEventStore lonely;
    const auto only = lonely.addCalendar({.id = "only", .title = "Only"});
    lonely.addEvent({.identifier = "x", .title = "X", .calendar = only}, now, std::nullopt);
    EXPECT_TRUE(MirrorDetection::scan(lonely, now, calendar).empty());
    EXPECT_EQ(lonely.eventQueries(), 0);
}

} // namespace
} // namespace plannery
