#include "model/Dedup.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using Groups = std::vector<std::vector<std::string>>;

// One platform copy of an event, as fetching builds it.
struct Copy {
    std::string id{};
    std::string title{};
    Instant start{};
    Instant end{};
    std::string calendar = "cal";
    std::optional<std::string> ext{};
    bool allDay = false;
    int richness = 0;
    bool declined = false;
    std::optional<std::string> location{};
};

CalEvent make(const Copy& c) {
    return CalEvent{.id = c.id + "|" + std::to_string(c.start.wholeSeconds()),
                    .eventIdentifier = c.id,
                    .externalID = c.ext,
                    .title = c.title,
                    .location = c.location,
                    .start = c.start,
                    .end = c.end,
                    .isAllDay = c.allDay,
                    .isDeclined = c.declined,
                    .calendars = {CalendarRef{.id = c.calendar, .title = c.calendar}},
                    .richness = c.richness};
}

std::vector<CalEvent> makeAll(const std::vector<Copy>& copies) {
    std::vector<CalEvent> events;
    for (const Copy& c : copies) {
        events.push_back(make(c));
    }
    return events;
}

std::vector<std::string> calendarIDs(const CalEvent& event) {
    std::vector<std::string> ids;
    for (const CalendarRef& ref : event.calendars) {
        ids.push_back(ref.id);
    }
    return ids;
}

class DedupTest : public ::testing::Test {
  protected:
    const Calendar calendar = test::berlin();
    const Instant nine = test::at(calendar, 2026, 6, 15, 9);
    const Instant ten = test::at(calendar, 2026, 6, 15, 10);
    const Instant day = test::at(calendar, 2026, 6, 15);
    const Instant nextDay = test::at(calendar, 2026, 6, 16);

    std::vector<CalEvent> merge(const std::vector<Copy>& copies,
                                const CalendarMirrors& mirrors = {}) const {
        return Dedup::merge(makeAll(copies), mirrors, calendar);
    }
};

TEST_F(DedupTest, Slots) {
    using Dedup::Slot;
    auto timed = [&](double start, double end) {
        return Dedup::slot(CalEvent{.start = Instant{start}, .end = Instant{end}}, calendar);
    };
    // Rounded to the nearest minute, halves away from zero.
    EXPECT_EQ(timed(0, 29.9), (Slot{.allDay = false, .start = 0, .end = 0}));
    EXPECT_EQ(timed(30, 90), (Slot{.allDay = false, .start = 1, .end = 2}));
    EXPECT_EQ(timed(-30, -29), (Slot{.allDay = false, .start = -1, .end = 0}));
    EXPECT_EQ(timed(-90, 3600), (Slot{.allDay = false, .start = -2, .end = 60}));

    const std::int64_t dayStart = day.wholeSeconds();
    const std::int64_t nextDayStart = nextDay.wholeSeconds();
    auto allDay = [&](Instant start, Instant end) {
        return Dedup::slot(CalEvent{.start = start, .end = end, .isAllDay = true}, calendar);
    };
    EXPECT_EQ(allDay(day, nextDay), (Slot{.allDay = true, .start = dayStart, .end = dayStart}));
    EXPECT_EQ(allDay(day, nextDay.plus(1)),
              (Slot{.allDay = true, .start = dayStart, .end = nextDayStart}));
    // A feed that writes all-day events from noon to noon still lands on its days.
    EXPECT_EQ(allDay(day.plus(12 * 3600), nextDay.plus(12 * 3600)),
              (Slot{.allDay = true, .start = dayStart, .end = nextDayStart}));
    EXPECT_EQ(allDay(day, day), (Slot{.allDay = true, .start = dayStart, .end = dayStart}));

    const Dedup::SlotHash hash;
    EXPECT_EQ(hash(timed(30, 90)), hash(timed(40, 100)));
}

TEST_F(DedupTest, TitleKeys) {
    // The folding itself is tested with TitleFolding; these are the names merging uses.
    EXPECT_EQ(Dedup::normalizedTitle("Ｃafé-Sync!"), "cafesync");
    std::string reused = "left over";
    Dedup::normalizedTitle("Ab", reused);
    EXPECT_EQ(reused, "ab");
    EXPECT_EQ(Dedup::normalize("Café, Straße & Co."), "CaféStraßeCo");
}

TEST_F(DedupTest, CopiesMergeOnlyInTheSameSlot) {
    // One minute apart: two events.
    EXPECT_EQ(merge({{.id = "a", .title = "Sync", .start = nine, .end = ten, .calendar = "x"},
                     {.id = "b",
                      .title = "Sync",
                      .start = nine.plus(60),
                      .end = ten.plus(60),
                      .calendar = "y"}})
                  .size(),
              2u);
    // 20 seconds apart but in the same minutes: one event.
    const auto close =
        merge({{.id = "a", .title = "Sync", .start = nine, .end = ten, .calendar = "x"},
               {.id = "b",
                .title = "sync",
                .start = nine.plus(20),
                .end = ten.plus(-20),
                .calendar = "y"}});
    ASSERT_EQ(close.size(), 1u);
    EXPECT_EQ(close[0].copies, 2);
    // All-day and timed never merge, even with the same title and times.
    EXPECT_EQ(merge({{.id = "a", .title = "Trip", .start = day, .end = nextDay, .allDay = true},
                     {.id = "b", .title = "Trip", .start = day, .end = nextDay}})
                  .size(),
              2u);
    // Two identical entries on one calendar are copies too.
    EXPECT_EQ(merge({{.id = "a", .title = "Gym", .start = nine, .end = ten},
                     {.id = "b", .title = "Gym", .start = nine, .end = ten}})
                  .size(),
              1u);
}

TEST_F(DedupTest, CopiesMatchByExternalIDOrTitle) {
    const auto byID = merge(
        {{.id = "a", .title = "Planning", .start = nine, .end = ten, .ext = "X1", .richness = 4},
         {.id = "b",
          .title = "Q3 planning (copy)",
          .start = nine,
          .end = ten,
          .calendar = "other",
          .ext = "X1"}});
    ASSERT_EQ(byID.size(), 1u);
    EXPECT_EQ(byID[0].title, "Planning");

    // A and B share an identifier, B and C a title: one event of three copies.
    const auto chained = merge(
        {{.id = "a", .title = "Alpha", .start = nine, .end = ten, .calendar = "1", .ext = "E"},
         {.id = "b", .title = "Beta", .start = nine, .end = ten, .calendar = "2", .ext = "E"},
         {.id = "c", .title = "BETA!", .start = nine, .end = ten, .calendar = "3"}});
    ASSERT_EQ(chained.size(), 1u);
    EXPECT_EQ(chained[0].copies, 3);
    EXPECT_EQ(chained[0].duplicateIDs, (std::vector<std::string>{"b", "c"}));

    // Titles with nothing but punctuation say nothing about identity; neither do empty ids.
    EXPECT_EQ(merge({{.id = "a", .title = "???", .start = nine, .end = ten, .ext = ""},
                     {.id = "b", .title = "!!!", .start = nine, .end = ten, .ext = ""},
                     {.id = "c", .title = "???", .start = nine, .end = ten}})
                  .size(),
              3u);
    // Different identifiers do not keep equal titles apart.
    EXPECT_EQ(merge({{.id = "a", .title = "Lunch", .start = nine, .end = ten, .ext = "1"},
                     {.id = "b", .title = "lunch", .start = nine, .end = ten, .ext = "2"}})
                  .size(),
              1u);
}

TEST_F(DedupTest, MergedRecordsListCalendarsOncePerMirrorGroup) {
    const CalendarMirrors mirrors(Groups{{"google", "icloud-feed"}});
    const auto merged =
        merge({{.id = "g",
                .title = "Standup",
                .start = nine,
                .end = ten,
                .calendar = "google",
                .richness = 4},
               {.id = "f",
                .title = "Standup",
                .start = nine,
                .end = ten,
                .calendar = "icloud-feed",
                .richness = 4},
               {.id = "w", .title = "Standup", .start = nine, .end = ten, .calendar = "work"}},
              mirrors);
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(merged[0].eventIdentifier, "g");
    EXPECT_EQ(calendarIDs(merged[0]), (std::vector<std::string>{"google", "work"}));
    EXPECT_EQ(merged[0].duplicateIDs, (std::vector<std::string>{"f", "w"}));
    EXPECT_EQ(merged[0].copies, 3);
}

TEST_F(DedupTest, TheRichestCopyRepresentsTheEvent) {
    // Organised by the user (8 + 4 on an editable calendar) against a read-only feed (−4).
    const auto merged = merge({{.id = "feed",
                                .title = "Review",
                                .start = nine,
                                .end = ten,
                                .calendar = "a-feed",
                                .richness = -4,
                                .location = "Room 1"},
                               {.id = "mine",
                                .title = "Review",
                                .start = nine,
                                .end = ten,
                                .calendar = "z-work",
                                .richness = 12}});
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(merged[0].id, make({.id = "mine", .start = nine}).id);
    EXPECT_EQ(calendarIDs(merged[0]), (std::vector<std::string>{"z-work", "a-feed"}));
    EXPECT_EQ(merged[0].location, "Room 1") << "a place is taken from another copy";

    // Ties: accepted before declined, then the preferred calendar of a mirror group, then the
    // smaller calendar identifier, then input order.
    const CalendarMirrors mirrors(Groups{{"m-first", "b-second"}});
    const struct {
        const char* name;
        std::vector<Copy> copies;
        const char* primary;
    } cases[] = {
        {"declined loses",
         {{.id = "d", .title = "T", .start = nine, .end = ten, .calendar = "a", .declined = true},
          {.id = "k", .title = "T", .start = nine, .end = ten, .calendar = "b"}},
         "k"},
        {"mirror rank",
         {{.id = "s", .title = "T", .start = nine, .end = ten, .calendar = "b-second"},
          {.id = "f", .title = "T", .start = nine, .end = ten, .calendar = "m-first"}},
         "f"},
        {"calendar identifier",
         {{.id = "z", .title = "T", .start = nine, .end = ten, .calendar = "zz"},
          {.id = "a", .title = "T", .start = nine, .end = ten, .calendar = "aa"}},
         "a"},
        {"input order",
         {{.id = "1", .title = "T", .start = nine, .end = ten, .calendar = "same"},
          {.id = "2", .title = "T", .start = nine, .end = ten, .calendar = "same"}},
         "1"},
    };
    for (const auto& c : cases) {
        const CalEvent combined = Dedup::combine(makeAll(c.copies), mirrors);
        EXPECT_EQ(combined.eventIdentifier, c.primary) << c.name;
    }
}

TEST_F(DedupTest, DeclinedOnlyWhenEveryCopyIs) {
    const auto mixed = merge({{.id = "a",
                               .title = "Offsite",
                               .start = nine,
                               .end = ten,
                               .calendar = "1",
                               .richness = 5,
                               .declined = true},
                              {.id = "b",
                               .title = "Offsite",
                               .start = nine,
                               .end = ten,
                               .calendar = "2",
                               .declined = false}});
    ASSERT_EQ(mixed.size(), 1u);
    EXPECT_FALSE(mixed[0].isDeclined);
    const auto all = merge({{.id = "a",
                             .title = "Offsite",
                             .start = nine,
                             .end = ten,
                             .calendar = "1",
                             .declined = true},
                            {.id = "b",
                             .title = "Offsite",
                             .start = nine,
                             .end = ten,
                             .calendar = "2",
                             .declined = true}});
    ASSERT_EQ(all.size(), 1u);
    EXPECT_TRUE(all[0].isDeclined);
}

TEST_F(DedupTest, CombineCarriesEarlierMerges) {
    CalEvent primary = make({.id = "p", .title = "T", .start = nine, .end = ten, .richness = 9});
    primary.copies = 2;
    primary.duplicateIDs = {"p2"};
    CalEvent other = make({.id = "o", .title = "T", .start = nine, .end = ten, .calendar = "x"});
    other.copies = 3;
    other.duplicateIDs = {"o2", "o3"};
    const CalEvent combined = Dedup::combine({other, primary}, CalendarMirrors{});
    EXPECT_EQ(combined.eventIdentifier, "p");
    EXPECT_EQ(combined.copies, 5);
    EXPECT_EQ(combined.duplicateIDs, (std::vector<std::string>{"p2", "o", "o2", "o3"}));
    EXPECT_EQ(Dedup::combine({other}, CalendarMirrors{}), other);
}

TEST_F(DedupTest, CrowdedSlots) {
    // Many entries at one time: one event copied on 20 calendars, and 20 different events.
    std::vector<Copy> copies;
    for (int i = 0; i < 20; ++i) {
        const std::string n = std::to_string(i);
        copies.push_back({.id = "copy" + n,
                          .title = "All hands",
                          .start = nine,
                          .end = ten,
                          .calendar = "c" + n});
        copies.push_back({.id = "own" + n,
                          .title = "Task " + n,
                          .start = nine,
                          .end = ten,
                          .calendar = "c" + n,
                          .ext = "uid-" + n});
    }
    // The last one shares an identifier with an earlier, differently titled entry.
    copies.push_back({.id = "late",
                      .title = "Renamed",
                      .start = nine,
                      .end = ten,
                      .calendar = "z",
                      .ext = "uid-3"});
    const auto merged = merge(copies);
    ASSERT_EQ(merged.size(), 21u);
    int allHands = 0;
    for (const CalEvent& event : merged) {
        if (event.title == "All hands") {
            ++allHands;
            EXPECT_EQ(event.copies, 20);
            EXPECT_EQ(event.calendars.size(), 20u);
            EXPECT_EQ(event.eventIdentifier, "copy0") << "smallest calendar identifier";
        } else if (event.title == "Task 3") {
            EXPECT_EQ(event.duplicateIDs, (std::vector<std::string>{"late"}));
        } else {
            EXPECT_EQ(event.copies, 1) << event.title;
        }
    }
    EXPECT_EQ(allHands, 1);
}

TEST_F(DedupTest, MergeResultIsInDisplayOrder) {
    EXPECT_TRUE(Dedup::merge({}, CalendarMirrors{}, calendar).empty());
    const std::vector<CalEvent> single = makeAll({{.id = "a", .title = "A", .start = ten}});
    EXPECT_EQ(Dedup::merge(single, CalendarMirrors{}, calendar), single);

    const auto merged =
        merge({{.id = "late", .title = "Late", .start = ten, .end = ten.plus(600)},
               {.id = "copy", .title = "Early", .start = nine, .end = ten, .calendar = "b"},
               {.id = "trip", .title = "Trip", .start = day, .end = nextDay, .allDay = true},
               {.id = "early", .title = "Early", .start = nine, .end = ten, .calendar = "a"},
               {.id = "long", .title = "Zzz", .start = nine, .end = ten.plus(3600)}});
    std::vector<std::string> order;
    for (const CalEvent& event : merged) {
        order.push_back(event.eventIdentifier);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"trip", "long", "early", "late"}));
}

} // namespace
} // namespace plannery
