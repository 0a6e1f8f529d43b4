#include "platform/IcsEdit.h"
#include "platform/IcsSeries.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace plannery {
namespace {

using namespace ics;
using test::at;

const std::string kSeriesUid = "weekly-1@example.com";

std::string dataFile(const std::string& name) {
    return test::dataFile("edit/" + name);
}

void expectGolden(const std::string& name, const std::optional<std::string>& text) {
    test::expectGolden("edit/" + name, text);
}

const Series& seriesIn(const ReadResult& result, const std::string& uid) {
    for (const auto& series : result.series) {
        if (series.uid == uid) {
            return series;
        }
    }
    throw std::runtime_error("no series " + uid);
}

std::vector<Occurrence> occurrences(const std::string& text, const std::string& uid,
                                    const Calendar& calendar, Instant from, Instant to) {
    const auto result = read(text);
    for (const auto& series : result.series) {
        if (series.uid == uid) {
            return expand(series, from, to, calendar);
        }
    }
    return {};
}

std::vector<Instant> startsOf(const std::vector<Occurrence>& list) {
    std::vector<Instant> starts;
    for (const auto& o : list) {
        starts.push_back(o.start);
    }
    return starts;
}

Alarm relative(double seconds) {
    Alarm alarm;
    alarm.relativeOffset = seconds;
    return alarm;
}

StoreEvent eventOf(EventContent content, Instant start, Instant end) {
    StoreEvent event;
    event.content = std::make_shared<EventContent>(std::move(content));
    event.startDate = start;
    event.endDate = end;
    return event;
}

// The occurrence starting at `start`, as the store hands it out.
StoreEvent occurrenceOf(const std::string& text, const std::string& uid, const Calendar& calendar,
                        Instant start) {
    const auto result = read(text);
    const Series& series = seriesIn(result, uid);
    for (const auto& o : expand(series, start, start.plus(1), calendar)) {
        if (o.start == start) {
            StoreEvent event = eventOf(series.components[o.component].content, o.start, o.end);
            event.occurrenceDate = o.occurrenceDate;
            event.isDetached = o.detached;
            return event;
        }
    }
    throw std::runtime_error("no occurrence");
}

StoreEvent edited(const StoreEvent& event, const std::function<void(EventContent&)>& edit) {
    auto content = std::make_shared<EventContent>(*event.content);
    edit(*content);
    StoreEvent result = event;
    result.content = content;
    return result;
}

class IcsEdit : public ::testing::Test {
  protected:
    const Calendar berlin = test::berlin();
    const Calendar newYork = test::calendarIn("America/New_York");
    const Instant now = at(test::calendarIn("UTC"), 2026, 2, 1, 8);
    const std::string text = dataFile("series.ics");
    // The series' Mondays at 10:00 in its own (file-defined) Eastern zone.
    Instant monday(int month, int day, int hour = 10) const {
        return at(newYork, 2026, month, day, hour);
    }
    std::vector<Occurrence> march(const std::string& file, const std::string& uid = kSeriesUid) {
        return occurrences(file, uid, berlin, monday(3, 1, 0), monday(4, 30, 0));
    }
};

TEST_F(IcsEdit, WholeSeriesTitleChangeTouchesOnlyItsLines) {
    const auto before = occurrenceOf(text, kSeriesUid, berlin, monday(3, 2));
    const auto after = edited(before, [](EventContent& c) { c.title = "Team sync, weekly"; });
    const auto result =
        edit::change(text, kSeriesUid, before, after, Span::futureEvents, now, berlin);
    ASSERT_TRUE(result.text) << result.error.value_or("");
    expectGolden("change-title.ics", result.text);
    EXPECT_EQ(test::linesOnlyIn(text, *result.text),
              (std::vector<std::string>{"DTSTAMP:20260101T120000Z", "SUMMARY:Team sync"}));
    EXPECT_EQ(
        test::linesOnlyIn(*result.text, text),
        (std::vector<std::string>{"DTSTAMP:20260201T080000Z", "LAST-MODIFIED:20260201T080000Z",
                                  "SUMMARY:Team sync\\, weekly"}));
    EXPECT_EQ(startsOf(march(*result.text)), startsOf(march(text)));

    // Nothing changed: the text comes back as it was, byte for byte.
    const auto same = edit::change(text, kSeriesUid, before, before, Span::thisEvent, now, berlin);
    EXPECT_EQ(same.text, text);
}

TEST_F(IcsEdit, ThisOccurrenceMovesAloneThroughANewOverride) {
    const auto before = occurrenceOf(text, kSeriesUid, berlin, monday(3, 9));
    auto after = edited(before, [](EventContent& c) { c.location = "Room 5"; });
    after.startDate = monday(3, 9, 12);
    after.endDate = monday(3, 9, 13);
    const auto result = edit::change(text, kSeriesUid, before, after, Span::thisEvent, now, berlin);
    ASSERT_TRUE(result.text) << result.error.value_or("");
    expectGolden("change-occurrence.ics", result.text);
    EXPECT_NE(result.text->find("RECURRENCE-ID;TZID=Custom Eastern:20260309T100000"),
              std::string::npos);
    auto expected = startsOf(march(text));
    std::replace(expected.begin(), expected.end(), monday(3, 9), monday(3, 9, 12));
    std::sort(expected.begin(), expected.end());
    const auto moved = march(*result.text);
    EXPECT_EQ(startsOf(moved), expected);
    const auto reread = read(*result.text);
    const Series& series = seriesIn(reread, kSeriesUid);
    for (const auto& o : moved) {
        if (!o.detached || o.start == monday(3, 9, 12)) {
            EXPECT_EQ(series.components[o.component].content.location,
                      o.start == monday(3, 9, 12) ? "Room 5" : "Room 4");
        }
    }
}

TEST_F(IcsEdit, WholeSeriesMoveKeepsExclusionsAndOverridesInStep) {
    // Moved from a later occurrence: the master moves by the same wall-clock hour, and the
    // excluded 16th and the moved 23rd stay excluded and replaced.
    const auto before = occurrenceOf(text, kSeriesUid, berlin, monday(3, 9));
    auto after = before;
    after.startDate = monday(3, 9, 11);
    after.endDate = monday(3, 9, 12).plus(1800);
    const auto result =
        edit::change(text, kSeriesUid, before, after, Span::futureEvents, now, berlin);
    ASSERT_TRUE(result.text) << result.error.value_or("");
    const auto moved = march(*result.text);
    const auto original = march(text);
    ASSERT_EQ(moved.size(), original.size());
    for (std::size_t i = 0; i < moved.size(); ++i) {
        if (original[i].detached) {
            EXPECT_EQ(moved[i].start, original[i].start); // the override keeps its own time
            EXPECT_EQ(*moved[i].occurrenceDate, original[i].occurrenceDate->plus(3600));
        } else {
            EXPECT_EQ(moved[i].start, original[i].start.plus(3600));
            EXPECT_EQ(moved[i].end.since(moved[i].start), 5400);
        }
    }
    EXPECT_NE(result.text->find("SEQUENCE:3\r\n"), std::string::npos);
    EXPECT_NE(result.text->find("EXDATE;TZID=Custom Eastern:20260316T110000"), std::string::npos);
}

TEST_F(IcsEdit, ExcludingOccurrencesAddsExdatesAndDropsOverrides) {
    const auto result = edit::excludeOccurrence(text, kSeriesUid, monday(3, 9), now, berlin);
    ASSERT_TRUE(result.text) << result.error.value_or("");
    expectGolden("exclude.ics", result.text);
    auto expected = startsOf(march(text));
    std::erase(expected, monday(3, 9));
    EXPECT_EQ(startsOf(march(*result.text)), expected);

    // The occurrence that was moved: its override goes with it.
    const auto moved =
        edit::excludeOccurrence(*result.text, kSeriesUid, monday(3, 23), now, berlin);
    ASSERT_TRUE(moved.text);
    EXPECT_EQ(moved.text->find("Team sync (moved)"), std::string::npos);
    std::erase(expected, at(newYork, 2026, 3, 24, 14));
    EXPECT_EQ(startsOf(march(*moved.text)), expected);

    // Already excluded, or never part of the series.
    EXPECT_EQ(edit::excludeOccurrence(text, kSeriesUid, monday(3, 16), now, berlin).error,
              "That occurrence is no longer part of the repeating event.");
    EXPECT_TRUE(edit::excludeOccurrence(text, kSeriesUid, monday(3, 9, 11), now, berlin).error);
    EXPECT_TRUE(
        edit::excludeOccurrence(text, "other@example.com", monday(3, 5), now, berlin).error);
}

TEST_F(IcsEdit, EndingBeforeAnOccurrenceTurnsTheCountIntoUntil) {
    const auto result = edit::endBefore(text, kSeriesUid, monday(3, 23), now, berlin);
    ASSERT_TRUE(result.text) << result.error.value_or("");
    expectGolden("end-before.ics", result.text);
    EXPECT_NE(result.text->find("RRULE:FREQ=WEEKLY;UNTIL=20260323T135959Z"), std::string::npos);
    EXPECT_EQ(result.text->find("Team sync (moved)"), std::string::npos);
    const auto left = occurrences(*result.text, kSeriesUid, berlin, monday(1, 1), monday(12, 31));
    EXPECT_EQ(startsOf(left), (std::vector<Instant>{monday(3, 2), monday(3, 9)}));
    // Other events of the file stay as they were.
    EXPECT_TRUE(
        std::ranges::all_of(test::linesOnlyIn(text, *result.text), [](const std::string& line) {
            return line.find("other") == std::string::npos &&
                   line.find("UNTOUCHED") == std::string::npos;
        }));

    EXPECT_EQ(edit::endBefore(text, kSeriesUid, monday(3, 2), now, berlin).error,
              "This is the first occurrence of the repeating event; the whole series would go.");
    // A COUNT that ends before the occurrence stays a COUNT.
    const auto twoRules = [&] {
        std::string t = text;
        t.replace(t.find("RRULE:FREQ=WEEKLY;COUNT=10"), 26,
                  "RRULE:FREQ=WEEKLY;COUNT=10\r\nRRULE:FREQ=DAILY;COUNT=2");
        return t;
    }();
    const auto both = edit::endBefore(twoRules, kSeriesUid, monday(3, 23), now, berlin);
    ASSERT_TRUE(both.text) << both.error.value_or("");
    EXPECT_NE(both.text->find("RRULE:FREQ=DAILY;COUNT=2\r\n"), std::string::npos);
}

// Rules are read and written as they stand, whatever their INTERVAL: the parser's own form holds
// no more than 32767 and the reader used to stop at 10000.
TEST_F(IcsEdit, LargeIntervalsAreReadAndWrittenAsWritten) {
    const Calendar utc = test::calendarIn("UTC");
    const std::string rule = "RRULE:FREQ=SECONDLY;INTERVAL=86400;COUNT=30";
    const std::string file = test::calendarText(test::vevent(
        "daily", "DTSTART:20260302T090000Z", "DTEND:20260302T100000Z", "Daily", rule + "\r\n"));
    const auto week = occurrences(file, "daily", utc, at(utc, 2026, 3, 2), at(utc, 2026, 3, 9));
    ASSERT_EQ(week.size(), 7u);
    EXPECT_EQ(week[1].start, at(utc, 2026, 3, 3, 9));

    const auto excluded = edit::excludeOccurrence(file, "daily", at(utc, 2026, 3, 4, 9), now, utc);
    ASSERT_TRUE(excluded.text) << excluded.error.value_or("");
    EXPECT_NE(excluded.text->find("\r\n" + rule + "\r\n"), std::string::npos);
    EXPECT_EQ(
        occurrences(*excluded.text, "daily", utc, at(utc, 2026, 3, 2), at(utc, 2026, 3, 9)).size(),
        6u);
    const auto ended = edit::endBefore(file, "daily", at(utc, 2026, 3, 5, 9), now, utc);
    ASSERT_TRUE(ended.text) << ended.error.value_or("");
    EXPECT_NE(ended.text->find("\r\nRRULE:FREQ=SECONDLY;INTERVAL=86400;UNTIL=20260305T085959Z\r\n"),
              std::string::npos);
    EXPECT_EQ(
        occurrences(*ended.text, "daily", utc, at(utc, 2026, 3, 1), at(utc, 2026, 4, 1)).size(),
        3u);

    const std::string wide = test::calendarText(
        test::vevent("wide", "DTSTART:20260302T090000Z", "DTEND:20260302T100000Z", "Wide",
                     "RRULE:FREQ=DAILY;INTERVAL=40000;COUNT=3\r\n"));
    const auto read = ics::read(wide);
    ASSERT_EQ(read.series.size(), 1u);
    ASSERT_EQ(read.series[0].components[0].content.recurrenceRules.size(), 1u);
    EXPECT_EQ(read.series[0].components[0].content.recurrenceRules[0].interval, 40000);
    const auto split = edit::split(wide, "wide", at(utc, 2135, 9, 7, 9), "wide-2", now, utc);
    ASSERT_TRUE(split.newSeries) << split.error.value_or("");
    EXPECT_NE(split.newSeries->find("RRULE:FREQ=DAILY;INTERVAL=40000;COUNT=2\r\n"),
              std::string::npos);
}

TEST_F(IcsEdit, SplitSeriesTogetherGiveTheOldOccurrences) {
    const auto result =
        edit::split(text, kSeriesUid, monday(3, 23), "split-2@example.com", now, berlin);
    ASSERT_TRUE(result.text && result.newSeries) << result.error.value_or("");
    expectGolden("split-old.ics", result.text);
    expectGolden("split-new.ics", result.newSeries);
    EXPECT_NE(result.newSeries->find("RRULE:FREQ=WEEKLY;COUNT=7"), std::string::npos);
    const Instant from = monday(1, 1);
    const Instant to = monday(12, 31);
    auto together = startsOf(occurrences(*result.text, kSeriesUid, berlin, from, to));
    const auto later = occurrences(*result.newSeries, "split-2@example.com", berlin, from, to);
    for (const auto& o : later) {
        together.push_back(o.start);
    }
    EXPECT_EQ(together, startsOf(occurrences(text, kSeriesUid, berlin, from, to)));
    ASSERT_FALSE(later.empty());
    EXPECT_TRUE(later.front().detached); // the moved 23rd came along
    EXPECT_EQ(read(*result.newSeries).series.at(0).components.at(0).content.title, "Team sync");

    EXPECT_TRUE(edit::split(text, kSeriesUid, monday(3, 2), "x", now, berlin).error);
}

TEST_F(IcsEdit, ReplySetsTheUsersStatusOnSeriesOrOccurrence) {
    const std::vector<std::string> me{"me@example.com"};
    const auto whole =
        edit::reply(text, kSeriesUid, std::nullopt, me, ParticipantStatus::accepted, now, berlin);
    ASSERT_TRUE(whole.text) << whole.error.value_or("");
    expectGolden("reply-series.ics", whole.text);
    const auto reread = read(*whole.text);
    const auto& master = seriesIn(reread, kSeriesUid).components.at(0).content;
    EXPECT_EQ(master.attendees.at(0).participantStatus, ParticipantStatus::accepted);
    EXPECT_EQ(master.attendees.at(1).participantStatus, ParticipantStatus::accepted); // Bob's own
    // The occurrence changed on its own is answered with the series.
    const auto& moved = seriesIn(reread, kSeriesUid).components.at(1);
    ASSERT_TRUE(moved.recurrenceId);
    EXPECT_EQ(moved.content.attendees.at(0).participantStatus, ParticipantStatus::accepted);
    EXPECT_NE(whole.text->find("ATTENDEE;CN=Me;PARTSTAT=ACCEPTED;X-NUM=1:mailto:me@example.com"),
              std::string::npos);
    EXPECT_NE(whole.text->find("SEQUENCE:2\r\n"), std::string::npos);

    const auto one =
        edit::reply(text, kSeriesUid, monday(3, 9), me, ParticipantStatus::declined, now, berlin);
    ASSERT_TRUE(one.text);
    const auto ninth = occurrenceOf(*one.text, kSeriesUid, berlin, monday(3, 9));
    EXPECT_TRUE(ninth.isDetached);
    EXPECT_EQ(ninth.attendees().at(0).participantStatus, ParticipantStatus::declined);
    EXPECT_EQ(occurrenceOf(*one.text, kSeriesUid, berlin, monday(3, 2))
                  .attendees()
                  .at(0)
                  .participantStatus,
              ParticipantStatus::pending);

    EXPECT_EQ(edit::reply(text, kSeriesUid, std::nullopt, {"stranger@example.com"},
                          ParticipantStatus::accepted, now, berlin)
                  .error,
              "You are not among the participants of this event.");
}

TEST_F(IcsEdit, AlarmsChangeOneByOneAndUnknownOnesStay) {
    const auto before = occurrenceOf(text, kSeriesUid, berlin, monday(3, 2));
    ASSERT_EQ(before.alarms().size(), 2u);
    const auto after = edited(before, [](EventContent& c) {
        c.alarms = {relative(0), relative(-3600)};
    });
    const auto result =
        edit::change(text, kSeriesUid, before, after, Span::futureEvents, now, berlin);
    ASSERT_TRUE(result.text);
    EXPECT_EQ(result.text->find("X-WR-ALARMUID:alarm-1"), std::string::npos);
    EXPECT_NE(result.text->find("TRIGGER;RELATED=END:PT0S"), std::string::npos);
    EXPECT_NE(result.text->find("TRIGGER:-PT1H"), std::string::npos);
    EXPECT_EQ(occurrenceOf(*result.text, kSeriesUid, berlin, monday(3, 2)).alarms(),
              (std::vector<Alarm>{relative(0), relative(-3600)}));
}

TEST_F(IcsEdit, NewEventInAnotherZoneReadsBackTheSame) {
    // A user in Berlin makes an event in New York's zone, with a rule, an alarm and a place.
    EventContent content;
    content.title = "Call, NY";
    content.location = "Office";
    content.structuredLocation =
        StructuredLocation{.title = "Office", .geoLocation = GeoLocation{40.7, -74.0}};
    content.timeZone = "America/New_York";
    content.status = EventStatus::confirmed;
    content.notes = "Line 1\nLine 2";
    content.url = "https://example.com/call";
    RecurrenceRule rule;
    rule.frequency = RecurrenceFrequency::weekly;
    rule.daysOfTheWeek = {RecurrenceDayOfWeek{.dayOfTheWeek = 2, .weekNumber = 0}};
    rule.occurrenceCount = 4;
    content.recurrenceRules = {rule};
    content.alarms = {relative(-600)};
    const StoreEvent event =
        eventOf(content, at(newYork, 2026, 3, 2, 9), at(newYork, 2026, 3, 2, 10));
    const std::string file = edit::newEvent(event, "new-1", now, berlin);
    EXPECT_NE(file.find("DTSTART;TZID=America/New_York:20260302T090000"), std::string::npos);
    EXPECT_NE(file.find("BEGIN:VTIMEZONE\r\nTZID:America/New_York"), std::string::npos);
    EXPECT_NE(file.find("\r\n"), std::string::npos);
    const auto result = read(file);
    ASSERT_EQ(result.series.size(), 1u);
    const auto& read = result.series[0].components[0].content;
    EXPECT_EQ(read.title, content.title);
    EXPECT_EQ(read.notes, content.notes);
    EXPECT_EQ(read.url, content.url);
    EXPECT_EQ(read.status, content.status);
    EXPECT_EQ(read.timeZone, "America/New_York");
    EXPECT_EQ(read.structuredLocation, content.structuredLocation);
    EXPECT_EQ(read.alarms, content.alarms);
    EXPECT_EQ(read.recurrenceRules, content.recurrenceRules);
    const auto all =
        expand(result.series[0], at(berlin, 2026, 1, 1), at(berlin, 2027, 1, 1), berlin);
    ASSERT_EQ(all.size(), 4u); // across the clock change of 8 March in New York
    EXPECT_EQ(all[3].start, at(newYork, 2026, 3, 23, 9));

    // Moved by the Berlin user one day later: still written in New York's zone.
    const auto before = occurrenceOf(file, "new-1", berlin, at(newYork, 2026, 3, 9, 9));
    auto after = before;
    after.startDate = at(newYork, 2026, 3, 10, 9);
    after.endDate = at(newYork, 2026, 3, 10, 10);
    const auto moved = edit::change(file, "new-1", before, after, Span::thisEvent, now, berlin);
    ASSERT_TRUE(moved.text);
    EXPECT_NE(moved.text->find("RECURRENCE-ID;TZID=America/New_York:20260309T090000"),
              std::string::npos);
    EXPECT_NE(moved.text->find("DTSTART;TZID=America/New_York:20260310T090000"), std::string::npos);
}

TEST_F(IcsEdit, AllDayAndFloatingEventsKeepTheirForm) {
    EventContent trip;
    trip.title = "Trip";
    trip.isAllDay = true;
    const StoreEvent allDay = eventOf(trip, at(berlin, 2026, 3, 5), at(berlin, 2026, 3, 7));
    const std::string file = edit::newEvent(allDay, "trip", now, berlin);
    EXPECT_NE(file.find("DTSTART;VALUE=DATE:20260305\r\nDTEND;VALUE=DATE:20260307"),
              std::string::npos);
    auto later = allDay;
    later.startDate = at(berlin, 2026, 3, 6);
    later.endDate = at(berlin, 2026, 3, 9);
    const auto moved = edit::change(file, "trip", allDay, later, Span::thisEvent, now, berlin);
    ASSERT_TRUE(moved.text);
    const auto days =
        occurrences(*moved.text, "trip", berlin, at(berlin, 2026, 3, 1), at(berlin, 2026, 4, 1));
    ASSERT_EQ(days.size(), 1u);
    EXPECT_EQ(days[0].start, at(berlin, 2026, 3, 6));
    EXPECT_EQ(days[0].end, at(berlin, 2026, 3, 9));
    EXPECT_NE(moved.text->find("DTEND;VALUE=DATE:20260309"), std::string::npos);

    // Floating: the wall clock of the user's zone, no TZID and no Z.
    EventContent gymContent;
    gymContent.title = "Gym";
    const StoreEvent floating =
        eventOf(gymContent, at(berlin, 2026, 3, 29, 9), at(berlin, 2026, 3, 29, 10));
    const std::string gym = edit::newEvent(floating, "gym", now, berlin);
    EXPECT_NE(gym.find("DTSTART:20260329T090000\r\nDTEND:20260329T100000"), std::string::npos);
    auto longer = floating;
    longer.endDate = at(berlin, 2026, 3, 29, 11);
    const auto changed = edit::change(gym, "gym", floating, longer, Span::thisEvent, now, berlin);
    ASSERT_TRUE(changed.text);
    EXPECT_EQ(test::linesOnlyIn(*changed.text, gym),
              (std::vector<std::string>{"DTEND:20260329T110000", "SEQUENCE:1"}));
}

TEST_F(IcsEdit, SeriesMovedAcrossAClockChangeKeepsItsWallClock) {
    const std::string file = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:dst\r\n"
                             "DTSTART;TZID=Europe/Berlin:20260323T100000\r\n"
                             "DTEND;TZID=Europe/Berlin:20260323T110000\r\nRRULE:FREQ=DAILY\r\n"
                             "EXDATE;TZID=Europe/Berlin:20260330T100000\r\n"
                             "END:VEVENT\r\nEND:VCALENDAR\r\n";
    // The occurrence on the day of the change (29 March) moved to 11:00 for the whole series.
    const auto before = occurrenceOf(file, "dst", berlin, at(berlin, 2026, 3, 29, 10));
    auto after = before;
    after.startDate = at(berlin, 2026, 3, 29, 11);
    after.endDate = at(berlin, 2026, 3, 29, 12);
    const auto result = edit::change(file, "dst", before, after, Span::futureEvents, now, berlin);
    ASSERT_TRUE(result.text);
    const auto all =
        occurrences(*result.text, "dst", berlin, at(berlin, 2026, 3, 23), at(berlin, 2026, 4, 2));
    ASSERT_EQ(all.size(), 9u); // ten days, the 30th still excluded
    for (const auto& o : all) {
        EXPECT_EQ(berlin.components(o.start).hour, 11);
        EXPECT_NE(berlin.components(o.start).day, 30);
    }
}

TEST_F(IcsEdit, BrokenInputGivesASentence) {
    const StoreEvent any = eventOf(EventContent{}, Instant{}, Instant{});
    EXPECT_EQ(edit::change("hello", "x", any, any, Span::thisEvent, now, berlin).error,
              "The event's file cannot be read as a calendar.");
    EXPECT_EQ(edit::excludeOccurrence(text, "missing", monday(3, 9), now, berlin).error,
              "The event was not found in its calendar file.");
    EXPECT_TRUE(edit::reply(std::string("BEGIN:VCALENDAR\r\n\0", 19), "x", std::nullopt, {},
                            ParticipantStatus::accepted, now, berlin)
                    .error);
    EXPECT_TRUE(edit::endBefore("", kSeriesUid, monday(3, 9), now, berlin).error);
    // A value the parser misreads: an edit could write the property twice, so nothing is written.
    std::string strange = text;
    strange.insert(strange.find("X-MOZ-GENERATION"), "RDATE:someday\r\n");
    EXPECT_TRUE(edit::excludeOccurrence(strange, kSeriesUid, monday(3, 9), now, berlin).error);
    // An empty value holds nothing to lose.
    std::string empty = text;
    empty.insert(empty.find("X-MOZ-GENERATION"), "LOCATION:\r\n");
    EXPECT_TRUE(edit::excludeOccurrence(empty, kSeriesUid, monday(3, 9), now, berlin).text);
    // The other UID of the file changes alone.
    const auto other = occurrenceOf(text, "other@example.com", berlin, at(berlin, 2026, 3, 5));
    const auto renamed = edited(other, [](EventContent& c) { c.title = "Renamed"; });
    const auto result =
        edit::change(text, "other@example.com", other, renamed, Span::thisEvent, now, berlin);
    ASSERT_TRUE(result.text);
    EXPECT_EQ(test::linesOnlyIn(text, *result.text),
              (std::vector<std::string>{"DTSTAMP:20260101T120000Z", "SUMMARY:Other event"}));
    const auto removed = edit::removeSeries(text, kSeriesUid);
    ASSERT_TRUE(removed.text);
    EXPECT_EQ(read(*removed.text).series.size(), 1u);
    EXPECT_NE(removed.text->find("BEGIN:VTODO"), std::string::npos);
}

// One occurrence of those an override changes onward is edited from that override: it keeps the
// later time, the shorter length and the new title, and the other occurrences stay as they were.
TEST_F(IcsEdit, AnOccurrenceChangedOnwardKeepsThoseChangesWhenEditedAlone) {
    const std::string onward = test::dataFile("ics/this-and-future.ics");
    const Instant moved = at(berlin, 2026, 4, 6, 11);
    const auto before = occurrenceOf(onward, "onward", berlin, moved);
    EXPECT_EQ(before.title(), "Planning (later and shorter)");
    EXPECT_TRUE(before.isDetached);
    const auto after = edited(before, [](EventContent& c) { c.location = "Room 7"; });
    const auto result = edit::change(onward, "onward", before, after, Span::thisEvent, now, berlin);
    ASSERT_TRUE(result.text) << result.error.value_or("");
    const auto from = at(berlin, 2026, 3, 1);
    const auto to = at(berlin, 2026, 6, 1);
    EXPECT_EQ(startsOf(occurrences(*result.text, "onward", berlin, from, to)),
              startsOf(occurrences(onward, "onward", berlin, from, to)));
    const auto reread = read(*result.text);
    const Series& series = seriesIn(reread, "onward");
    for (const auto& o : expand(series, from, to, berlin)) {
        const auto& content = series.components[o.component].content;
        EXPECT_EQ(content.location == "Room 7", o.start == moved);
        if (o.start == moved) {
            EXPECT_EQ(content.title, "Planning (later and shorter)");
            EXPECT_EQ(o.end, at(berlin, 2026, 4, 6, 11, 30));
            EXPECT_EQ(o.occurrenceDate, at(berlin, 2026, 4, 6, 9));
        }
    }
}

// Of a master written twice, edits go to the revision that shows; removing the event removes
// both, so the older one does not come back.
TEST_F(IcsEdit, ADoubledEventIsEditedAndRemovedAsItShows) {
    const std::string doubled = test::dataFile("ics/two-masters.ics");
    const auto before = occurrenceOf(doubled, "revised", berlin, at(berlin, 2026, 3, 10, 10));
    const auto after = edited(before, [](EventContent& c) { c.title = "Third revision"; });
    const auto changed =
        edit::change(doubled, "revised", before, after, Span::futureEvents, now, berlin);
    ASSERT_TRUE(changed.text) << changed.error.value_or("");
    const auto reread = read(*changed.text);
    ASSERT_EQ(seriesIn(reread, "revised").components.size(), 1u);
    EXPECT_EQ(seriesIn(reread, "revised").components[0].content.title, "Third revision");

    const auto override = occurrenceOf(doubled, "stamped", berlin, at(berlin, 2026, 3, 12, 15));
    EXPECT_EQ(override.title(), "Override, newer");
    const auto placed = edited(override, [](EventContent& c) { c.location = "Hall"; });
    const auto located =
        edit::change(doubled, "stamped", override, placed, Span::thisEvent, now, berlin);
    ASSERT_TRUE(located.text) << located.error.value_or("");
    const auto shown = occurrenceOf(*located.text, "stamped", berlin, at(berlin, 2026, 3, 12, 15));
    EXPECT_EQ(shown.title(), "Override, newer");
    EXPECT_EQ(shown.location(), "Hall");

    const auto removed = edit::removeSeries(doubled, "revised");
    ASSERT_TRUE(removed.text) << removed.error.value_or("");
    EXPECT_EQ(removed.text->find("revision"), std::string::npos);
    EXPECT_EQ(read(*removed.text).series.size(), 1u);
}

} // namespace
} // namespace plannery
