#include "finder/EventSuggestion.h"

#include "finder/DraftJson.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::at;

// 3 December 2026, 10:00 in Berlin: the day the cases are written on.
const Calendar kBerlin = test::berlin();
const Instant kNow = at(kBerlin, 2026, 12, 3, 10, 0);

EventDraft draft(std::string title, std::string startDate,
                 std::optional<std::string> startTime = std::nullopt) {
    return EventDraft{.title = std::move(title),
                      .startDate = std::move(startDate),
                      .startTime = std::move(startTime)};
}

std::optional<EventSuggestion> make(const EventDraft& d, std::string_view source = "") {
    return EventSuggestion::make(d, kNow, kBerlin, source);
}

TEST(EventSuggestionTest, TimedDraftInTheUsersZoneLastsAnHourByDefault) {
    const auto s = make(draft("  DENTIST ", "2026-12-09", "3:30 pm"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->title, "Dentist");
    EXPECT_EQ(s->start, at(kBerlin, 2026, 12, 9, 15, 30));
    EXPECT_EQ(s->end, at(kBerlin, 2026, 12, 9, 16, 30));
    EXPECT_FALSE(s->isAllDay);
    EXPECT_FALSE(s->timeZone);
    EXPECT_EQ(s->id.size(), 36u);
    EXPECT_NE(make(draft("Dentist", "2026-12-09", "15:30"))->id, s->id);
}

TEST(EventSuggestionTest, EndTimesCrossMidnightOnlyWithoutAnEndDay) {
    const struct {
        const char* name;
        const char* start;
        const char* endTime;
        std::optional<std::string> endDate;
        Instant end;
    } cases[] = {
        {"22:00 to 01:00", "22:00", "01:00", std::nullopt, at(kBerlin, 2026, 12, 10, 1, 0)},
        {"22:00 to 01:00 on the same day given", "22:00", "01:00", "2026-12-09",
         at(kBerlin, 2026, 12, 9, 23, 0)},
        {"10:00 to 10:00", "10:00", "10:00", std::nullopt, at(kBerlin, 2026, 12, 10, 10, 0)},
        {"an end on a later day", "10:00", "12:00", "2026-12-11", at(kBerlin, 2026, 12, 11, 12, 0)},
        {"an unreadable end time", "10:00", "late", std::nullopt, at(kBerlin, 2026, 12, 9, 11, 0)},
        {"an unreadable end day counts as none", "22:00", "01:00", "soon",
         at(kBerlin, 2026, 12, 10, 1, 0)},
        {"an end day that does not exist", "10:00", "12:00", "2026-11-31",
         at(kBerlin, 2026, 12, 9, 11, 0)},
    };
    for (const auto& c : cases) {
        EventDraft d = draft("Party", "2026-12-09", c.start);
        d.endTime = c.endTime;
        d.endDate = c.endDate;
        const auto s = make(d);
        ASSERT_TRUE(s) << c.name;
        EXPECT_EQ(s->end, c.end) << c.name;
    }
}

TEST(EventSuggestionTest, AllDayDraftsEndAfterTheirLastDay) {
    EventDraft d = draft("Fair", "2026-12-05");
    d.endDate = "2026-12-07";
    d.timeZone = "America/New_York"; // ignored without a time
    auto s = make(d);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->isAllDay);
    EXPECT_EQ(s->start, at(kBerlin, 2026, 12, 5));
    EXPECT_EQ(s->end, at(kBerlin, 2026, 12, 8));
    EXPECT_FALSE(s->timeZone);

    d.endDate = "2026-12-01";
    EXPECT_EQ(make(d)->end, at(kBerlin, 2026, 12, 6));

    d.endDate.reset();
    d.startTime = "TBA";
    s = make(d);
    EXPECT_TRUE(s->isAllDay);
    EXPECT_EQ(s->start, at(kBerlin, 2026, 12, 5));
    EXPECT_EQ(s->end, at(kBerlin, 2026, 12, 6));

    // The day after the last day is a calendar day, 23 hours long across the spring change.
    d = draft("Trip", "2027-03-27");
    d.endDate = "2027-03-28";
    EXPECT_EQ(make(d)->end, at(kBerlin, 2027, 3, 29));
    EXPECT_EQ(make(d)->end.since(at(kBerlin, 2027, 3, 28)), 23 * 3600.0);
}

TEST(EventSuggestionTest, YearsTheTextNeverWroteMoveIntoTheFuture) {
    const struct {
        const char* name;
        const char* startDate;
        const char* source;
        Instant start;
    } cases[] = {
        {"this year's passed day", "2026-01-15", "Concert on January 15", at(kBerlin, 2027, 1, 15)},
        {"two years back moves two years", "2024-01-15", "Concert on January 15",
         at(kBerlin, 2026, 1, 15)},
        {"less than a week ago stays", "2026-11-30", "", at(kBerlin, 2026, 11, 30)},
        {"a year the text wrote stays", "2026-01-15", "15.1.2026", at(kBerlin, 2026, 1, 15)},
        {"a year anywhere in the text counts", "2026-01-15", "Report 2026",
         at(kBerlin, 2026, 1, 15)},
        {"the future stays", "2027-02-01", "", at(kBerlin, 2027, 2, 1)},
    };
    for (const auto& c : cases) {
        const auto s = make(draft("Concert", c.startDate), c.source);
        ASSERT_TRUE(s) << c.name;
        EXPECT_EQ(s->start, c.start) << c.name;
    }
    // The end day moves with the start.
    EventDraft d = draft("Trip", "2026-01-15");
    d.endDate = "2026-01-17";
    EXPECT_EQ(make(d)->end, at(kBerlin, 2027, 1, 18));
}

TEST(EventSuggestionTest, NamedZonesAreKeptOnlyWhenTheirOffsetDiffers) {
    EventDraft d = draft("Call", "2026-12-09", "09:00");
    d.endTime = "10:00";
    d.timeZone = "PST";
    const Calendar la = test::calendarIn("America/Los_Angeles");
    auto s = make(d);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->start, at(la, 2026, 12, 9, 9, 0));
    EXPECT_EQ(s->end, at(la, 2026, 12, 9, 10, 0));
    EXPECT_EQ(s->timeZone, "America/Los_Angeles");

    d.timeZone = "CET";
    s = make(d);
    EXPECT_EQ(s->start, at(kBerlin, 2026, 12, 9, 9, 0));
    EXPECT_FALSE(s->timeZone);

    // EST in July is New York summer time.
    d = draft("Call", "2027-07-09", "9:00");
    d.timeZone = "EST";
    EXPECT_EQ(make(d)->start, at(test::calendarIn("America/New_York"), 2027, 7, 9, 9, 0));

    d.timeZone = "Mars/Olympus";
    s = make(d);
    EXPECT_EQ(s->start, at(kBerlin, 2027, 7, 9, 9, 0));
    EXPECT_FALSE(s->timeZone);
}

TEST(EventSuggestionTest, PlacesAndNotesAreTrimmedAndPlaceholdersDropped) {
    EventDraft d = draft("Yoga", "2026-12-09");
    d.location = "N/A";
    d.notes = "  \n";
    auto s = make(d);
    EXPECT_FALSE(s->location);
    EXPECT_FALSE(s->notes);
    d.location = "None";
    d.notes = "null";
    s = make(d);
    EXPECT_FALSE(s->location);
    EXPECT_FALSE(s->notes);
    d.location = "\n Studio 4 \n";
    d.notes = " Bring a mat ";
    s = make(d);
    EXPECT_EQ(s->location, "Studio 4");
    EXPECT_EQ(s->notes, "Bring a mat");
}

TEST(EventSuggestionTest, DraftsWithoutTitleOrDayAreDropped) {
    const EventDraft dropped[] = {
        draft("", "2026-12-09"),
        draft(" \n ", "2026-12-09"),
        draft("Party", ""),
        draft("Party", "12/03/2026"),
        draft("Party", "2026-13-01"),
        draft("Party", "2026-02-30"),
        draft("Party", "2026-02-30", "9"),
        draft("Party", "next Friday"),
        draft("Party", "2026-00-10"),
        draft("Party", "2026-12-32"),
    };
    for (const EventDraft& d : dropped) {
        EXPECT_FALSE(make(d)) << d.title << " " << d.startDate;
    }
    const auto s = make(draft("Party", "2026-12-03T09:00"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->start, at(kBerlin, 2026, 12, 3));
}

TEST(EventSuggestionTest, ListsKeepTheEnginesOrderWithoutDuplicates) {
    const std::vector<EventDraft> drafts = {
        draft("Yoga", "2026-12-09", "18:00"),
        draft("Dinner", "2026-12-08", "19:00"),
        draft("YOGA", "2026-12-09", "18:00"),
        draft("Yoga", "2026-12-10", "18:00"),
        draft("", "2026-12-11"),
    };
    const auto list = EventSuggestion::suggestions(drafts, kNow, kBerlin, "");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].title, "Yoga");
    EXPECT_EQ(list[1].title, "Dinner");
    EXPECT_EQ(list[2].start, at(kBerlin, 2026, 12, 10, 18, 0));
}

TEST(EventSuggestionTest, TitlesInCapitalsAreCapitalisedWhenLongEnough) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"FALL FESTIVAL", "Fall Festival"},
        {" NYC ", "NYC"},
        {"CES 2025", "CES 2025"},
        {"Tea with Ann", "Tea with Ann"},
        {"ÉTÉ EN FÊTE", "Été En Fête"},
        {"MIA'S PARTY", "Mia's Party"},
        {"音楽祭", "音楽祭"},
        {"2026", "2026"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EventSuggestion::tidyTitle(c.in), c.out) << c.in;
    }
}

TEST(EventSuggestionTest, TimesFollowTheWrittenForms) {
    const struct {
        const char* in;
        std::optional<ClockTime> out;
    } cases[] = {
        {"9", ClockTime{9, 0}},
        {"9:30", ClockTime{9, 30}},
        {"09:30:45", ClockTime{9, 30}},
        {"9pm", ClockTime{21, 0}},
        {"9 PM", ClockTime{21, 0}},
        {"9 p.m.", ClockTime{21, 0}},
        {" 9:15am ", ClockTime{9, 15}},
        {"12am", ClockTime{0, 0}},
        {"12pm", ClockTime{12, 0}},
        {"24:00", ClockTime{23, 59}},
        {"13pm", std::nullopt},
        {"0am", std::nullopt},
        {"25:00", std::nullopt},
        {"9:75", std::nullopt},
        {"noon", std::nullopt},
        {"9-10", std::nullopt},
        {"123", std::nullopt},
        {"9:3", std::nullopt},
        {"", std::nullopt},
        {"9:30:45:00", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EventSuggestion::time(c.in), c.out) << c.in;
    }
}

TEST(EventSuggestionTest, DaysAreYearMonthDayNumbers) {
    const struct {
        const char* in;
        std::optional<DayParts> out;
    } cases[] = {
        {"2026-12-03", DayParts{2026, 12, 3}},
        {" 2026-12-03T09:00 ", DayParts{2026, 12, 3}},
        {"2026-3-7", DayParts{2026, 3, 7}},
        {"2026--12-3", DayParts{2026, 12, 3}},
        {"2026-02-30", DayParts{2026, 2, 30}}, // the calendar refuses it later
        {"12/03/2026", std::nullopt},
        {"2026-13-01", std::nullopt},
        {"2026-12", std::nullopt},
        {"2026-1-2-3", std::nullopt},
        {"2026-12-03-04", DayParts{2026, 12, 3}}, // only the first ten characters count
        {"99999999999-1-1", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EventSuggestion::day(c.in), c.out) << c.in;
    }
}

TEST(EventSuggestionTest, ZonesFromIdentifiersAndAbbreviations) {
    const struct {
        const char* in;
        std::optional<std::string> out;
    } cases[] = {
        {"America/New_York", "America/New_York"},
        {" ET ", "America/New_York"},
        {"pst", "America/Los_Angeles"},
        {"CEST", "Europe/Paris"},
        {"BST", "Europe/London"},
        {"UTC", "UTC"},
        {"SGT", "Asia/Singapore"},
        {"Europe/Atlantis", std::nullopt},
        {"", std::nullopt},
        {"London time", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EventSuggestion::zone(c.in), c.out) << c.in;
    }
}

TEST(EventSuggestionTest, ModelAnswersWithImpossibleDaysOrTooManyEventsGiveWhatCanBeDated) {
    std::string answer = R"({"events":[)"
                         R"({"title":"Ghost","startDate":"2026-02-30","startTime":"10:00"},)"
                         R"({"title":"Vague","startDate":"next Friday","startTime":"10:00"},)"
                         R"({"title":"Late","startDate":"2026-12-10","startTime":"25:00"})";
    for (int i = 0; i < 500; ++i) {
        answer += R"(,{"title":"Event )" + std::to_string(i) +
                  R"(","startDate":"2026-12-11","startTime":"09:00","timeZone":"Nowhere/Else"})";
    }
    answer += "]}";
    const auto list = DraftJson::readEventList(answer);
    ASSERT_TRUE(list);
    const auto suggestions = EventSuggestion::suggestions(draftsFrom(*list), kNow, kBerlin, answer);
    // The impossible and vague days are dropped, a bad time makes an all-day event, a bad zone is
    // ignored, and no more events are kept than the schema allows.
    ASSERT_EQ(suggestions.size(), 10u);
    EXPECT_EQ(suggestions[0].title, "Late");
    EXPECT_TRUE(suggestions[0].isAllDay);
    EXPECT_EQ(suggestions[1].start, at(kBerlin, 2026, 12, 11, 9, 0));
    EXPECT_FALSE(suggestions[1].timeZone);
}

} // namespace
} // namespace plannery
