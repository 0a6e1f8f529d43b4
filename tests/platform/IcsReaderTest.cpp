#include "platform/IcsSeries.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace plannery {
namespace {

using namespace ics;

std::string golden(const std::string& name) {
    std::ifstream in(std::string(PLANNERY_TEST_DATA) + "/ics/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string calendarWith(const std::string& body) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + body + "END:VCALENDAR\r\n";
}

const Series* seriesWithUid(const ReadResult& result, const std::string& uid) {
    for (const auto& series : result.series) {
        if (series.uid == uid) {
            return &series;
        }
    }
    return nullptr;
}

TEST(IcsReader, MapsFieldsParticipantsAlarmsAndRules) {
    const auto result = read(golden("participants.ics"));
    ASSERT_EQ(result.series.size(), 1u);
    const auto& component = result.series[0].components.at(0);
    const auto& content = component.content;
    EXPECT_EQ(content.calendarItemExternalIdentifier, "meeting-1@example.com");
    EXPECT_EQ(content.title, "Planning, weekly");
    EXPECT_EQ(content.location, "Room 4");
    ASSERT_TRUE(content.structuredLocation && content.structuredLocation->geoLocation);
    EXPECT_EQ(content.structuredLocation->title, "Room 4");
    EXPECT_DOUBLE_EQ(content.structuredLocation->geoLocation->latitude, 52.52);
    EXPECT_DOUBLE_EQ(content.structuredLocation->geoLocation->longitude, 13.405);
    EXPECT_EQ(content.notes, "Agenda:\n1. Budget");
    EXPECT_EQ(content.url, "https://example.com/meet");
    EXPECT_EQ(content.status, EventStatus::tentative);
    EXPECT_FALSE(content.isAllDay);
    EXPECT_EQ(content.timeZone, "Europe/Berlin");
    EXPECT_EQ(component.start.zone, (ZoneRef{.kind = ZoneRef::Kind::named, .id = "Europe/Berlin"}));
    EXPECT_EQ(component.start.wall, (WallTime{.year = 2026, .month = 3, .day = 2, .hour = 10}));

    ASSERT_TRUE(content.organizer);
    EXPECT_EQ(content.organizer->url, "mailto:ann@example.com");
    EXPECT_EQ(content.organizer->name, "Ann Organiser");

    using S = ParticipantStatus;
    using R = ParticipantRole;
    using T = ParticipantType;
    const std::vector<std::tuple<std::string, S, R, T>> expected{
        {"mailto:bob@example.com", S::accepted, R::chair, T::person},
        {"mailto:team@example.com", S::declined, R::optional, T::group},
        {"mailto:room4@example.com", S::tentative, R::nonParticipant, T::room},
        {"mailto:projector@example.com", S::pending, R::required, T::resource},
        {"mailto:bot@example.com", S::delegated, R::required, T::unknown},
        {"mailto:c@example.com", S::completed, R::required, T::person},
        {"mailto:d@example.com", S::inProcess, R::required, T::person},
        {"mailto:e@example.com", S::unknown, R::required, T::person},
    };
    ASSERT_EQ(content.attendees.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(std::get<0>(expected[i]));
        EXPECT_EQ(content.attendees[i].url, std::get<0>(expected[i]));
        EXPECT_EQ(content.attendees[i].participantStatus, std::get<1>(expected[i]));
        EXPECT_EQ(content.attendees[i].participantRole, std::get<2>(expected[i]));
        EXPECT_EQ(content.attendees[i].participantType, std::get<3>(expected[i]));
    }
    EXPECT_EQ(content.attendees[0].name, "Bob");
    EXPECT_FALSE(content.attendees[1].name);

    ASSERT_EQ(content.alarms.size(), 2u);
    EXPECT_EQ(content.alarms[0].relativeOffset, -900);
    EXPECT_FALSE(content.alarms[0].absoluteDate);
    EXPECT_EQ(content.alarms[1].absoluteDate, Instant{1772438400}); // 2026-03-02T08:00Z

    // The hourly rule still repeats the event but is not a rule the store can describe.
    EXPECT_EQ(component.rrules.size(), 3u);
    ASSERT_EQ(content.recurrenceRules.size(), 2u);
    const auto& monthly = content.recurrenceRules[0];
    EXPECT_EQ(monthly.frequency, RecurrenceFrequency::monthly);
    EXPECT_EQ(monthly.interval, 2);
    EXPECT_EQ(monthly.daysOfTheWeek,
              (std::vector<RecurrenceDayOfWeek>{{.dayOfTheWeek = 2, .weekNumber = 1},
                                                {.dayOfTheWeek = 6, .weekNumber = -1}}));
    EXPECT_EQ(monthly.setPositions, (std::vector<int>{1, -1}));
    EXPECT_EQ(monthly.endDate, Instant{1798758000}); // 2026-12-31T23:00Z
    EXPECT_EQ(monthly.occurrenceCount, 0);
    const auto& yearly = content.recurrenceRules[1];
    EXPECT_EQ(yearly.frequency, RecurrenceFrequency::yearly);
    EXPECT_EQ(yearly.monthsOfTheYear, (std::vector<int>{3, 9}));
    EXPECT_EQ(yearly.daysOfTheMonth, (std::vector<int>{2, -1}));
    EXPECT_EQ(yearly.occurrenceCount, 6);
    EXPECT_FALSE(yearly.endDate);
}

TEST(IcsReader, ResolvesZones) {
    const auto result = read(golden("zones.ics"));
    ASSERT_EQ(result.series.size(), 6u);
    using K = ZoneRef::Kind;
    const auto* custom = seriesWithUid(result, "custom-zone");
    ASSERT_TRUE(custom);
    EXPECT_EQ(custom->components[0].start.zone,
              (ZoneRef{.kind = K::named, .id = "Plannery Test Zone"}));
    ASSERT_EQ(custom->timeZones.size(), 1u);
    EXPECT_NE(custom->timeZones[0].find("TZID:Plannery Test Zone"), std::string::npos);
    EXPECT_EQ(custom->components[0].content.timeZone, "Plannery Test Zone");

    const auto* windows = seriesWithUid(result, "windows-zone");
    ASSERT_TRUE(windows);
    EXPECT_EQ(windows->components[0].start.zone,
              (ZoneRef{.kind = K::named, .id = "Europe/Berlin"}));
    EXPECT_EQ(windows->components[0].duration, 1800);
    EXPECT_TRUE(windows->timeZones.empty());

    const auto* unknown = seriesWithUid(result, "unknown-zone");
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->components[0].start.zone.kind, K::floating);
    EXPECT_FALSE(unknown->components[0].content.timeZone);

    const auto* prefixed = seriesWithUid(result, "prefixed-zone");
    ASSERT_TRUE(prefixed);
    EXPECT_EQ(prefixed->components[0].start.zone,
              (ZoneRef{.kind = K::named, .id = "America/New_York"}));
    EXPECT_EQ(seriesWithUid(result, "floating")->components[0].start.zone.kind, K::floating);
    EXPECT_EQ(seriesWithUid(result, "utc")->components[0].start.zone.kind, K::utc);
    EXPECT_EQ(seriesWithUid(result, "utc")->components[0].content.timeZone, "UTC");

    // Placed on the time line: +05:30 all year in the file's own zone.
    const auto berlin = test::berlin();
    const auto occurrences = expand(*custom, Instant{1772000000}, Instant{1775000000}, berlin);
    ASSERT_EQ(occurrences.size(), 1u);
    EXPECT_EQ(occurrences[0].start, Instant{1773113400}); // 2026-03-10T03:30Z
    const auto winter = expand(*windows, Instant{1772000000}, Instant{1775000000}, berlin);
    ASSERT_EQ(winter.size(), 1u);
    EXPECT_EQ(winter[0].start, Instant{1773129600}); // 09:00 CET = 08:00Z
    EXPECT_EQ(winter[0].end, Instant{1773131400});
}

TEST(IcsReader, GroupsByUidWithTheMasterFirst) {
    const auto result =
        read(calendarWith("BEGIN:VEVENT\r\nUID:a\r\n"
                          "RECURRENCE-ID:20260303T090000Z\r\n"
                          "DTSTART:20260303T100000Z\r\nEND:VEVENT\r\n"
                          "BEGIN:VEVENT\r\nUID:b\r\nDTSTART:20260301T090000Z\r\n"
                          "END:VEVENT\r\n"
                          "BEGIN:VEVENT\r\nUID:a\r\nDTSTART:20260302T090000Z\r\n"
                          "RRULE:FREQ=DAILY\r\nEND:VEVENT\r\n"
                          "BEGIN:VEVENT\r\nDTSTART:20260302T090000Z\r\nEND:VEVENT\r\n"
                          "BEGIN:VEVENT\r\nDTSTART:20260302T090000Z\r\nEND:VEVENT\r\n"
                          "BEGIN:VEVENT\r\nUID:no-start\r\nSUMMARY:x\r\nEND:VEVENT\r\n"));
    EXPECT_EQ(result.skippedComponents, 1);
    ASSERT_EQ(result.series.size(), 4u);
    const auto* a = seriesWithUid(result, "a");
    ASSERT_TRUE(a);
    ASSERT_EQ(a->components.size(), 2u);
    EXPECT_FALSE(a->components[0].recurrenceId);
    EXPECT_TRUE(a->components[1].recurrenceId);
    // Events without a UID each get their own series.
    EXPECT_NE(result.series[2].uid, result.series[3].uid);
    EXPECT_FALSE(result.series[2].uid.empty());
}

TEST(IcsReader, BrokenInputGivesWhatCanBeRead) {
    // What was complete before the cut is read; the event the file ends in is not shown with
    // half a title, and a file that holds nothing else reads as damaged.
    const std::string cut = golden("truncated.ics");
    const auto truncated = read(cut);
    EXPECT_FALSE(truncated.unreadable);
    ASSERT_EQ(truncated.series.size(), 1u);
    EXPECT_EQ(truncated.series[0].components[0].content.title, "Complete before the cut");
    EXPECT_EQ(truncated.skippedComponents, 1);
    EXPECT_TRUE(truncated.cut);
    EXPECT_TRUE(truncated.damaged());
    const auto cutEvent = cut.find("BEGIN:VEVENT\r\nUID:cut");
    for (const std::string& text :
         {cut.substr(cutEvent), cut.substr(0, cut.find("BEGIN:VEVENT")) + cut.substr(cutEvent)}) {
        const auto alone = read(text);
        EXPECT_TRUE(alone.series.empty()) << text;
        EXPECT_EQ(alone.skippedComponents, 1) << text;
        EXPECT_TRUE(alone.damaged()) << text;
    }

    // Cut just before its last line, END:VCALENDAR, a file keeps every event and is damaged all
    // the same; whole, it is not.
    const std::string whole =
        calendarWith("BEGIN:VEVENT\r\nUID:u\r\nDTSTART:20260301T090000Z\r\nSUMMARY:Kept\r\n"
                     "END:VEVENT\r\n");
    EXPECT_FALSE(read(whole).cut);
    EXPECT_FALSE(read(whole).damaged());
    const auto lastLineMissing = read(whole.substr(0, whole.find("END:VCALENDAR")));
    ASSERT_EQ(lastLineMissing.series.size(), 1u);
    EXPECT_EQ(lastLineMissing.series[0].components[0].content.title, "Kept");
    EXPECT_EQ(lastLineMissing.skippedComponents, 0);
    EXPECT_TRUE(lastLineMissing.cut);
    EXPECT_TRUE(lastLineMissing.damaged());

    std::string garbage;
    for (int i = 0; i < 5000; ++i) {
        garbage += char((i * 7919 + 13) % 256);
    }
    const auto binary = read(garbage);
    EXPECT_TRUE(binary.unreadable);
    EXPECT_TRUE(binary.series.empty());
    EXPECT_TRUE(read("").unreadable);

    // Invalid UTF-8 and a NUL byte are replaced, the rest of the title stays.
    std::string invalidEvent = "BEGIN:VEVENT\r\nUID:u\r\nDTSTART:20260301T090000Z\r\n"
                               "SUMMARY:Caf\xC3\x28 \xFF";
    invalidEvent += '\0';
    invalidEvent += "ok\r\nEND:VEVENT\r\n";
    const auto invalid = read(calendarWith(invalidEvent));
    ASSERT_EQ(invalid.series.size(), 1u);
    EXPECT_EQ(invalid.series[0].components[0].content.title,
              "Caf\xEF\xBF\xBD( \xEF\xBF\xBD\xEF\xBF\xBDok");

    // A folded 20 KiB line and a 10 MB description survive whole.
    std::string longTitle(20000, 'x');
    std::string folded;
    for (std::size_t at = 0; at < longTitle.size(); at += 70) {
        folded += (at == 0 ? "" : "\r\n ") + longTitle.substr(at, 70);
    }
    const std::string huge(10 * 1024 * 1024, 'd');
    const auto big = read(calendarWith("BEGIN:VEVENT\r\nUID:big\r\nDTSTART:20260301T090000Z\r\n"
                                       "SUMMARY:" +
                                       folded + "\r\nDESCRIPTION:" + huge + "\r\nEND:VEVENT\r\n"));
    ASSERT_EQ(big.series.size(), 1u);
    EXPECT_EQ(big.series[0].components[0].content.title, longTitle);
    EXPECT_EQ(big.series[0].components[0].content.notes->size(), huge.size());

    // Out-of-range fields, a stray END and a byte order mark.
    const auto odd = read("\xEF\xBB\xBF" + calendarWith("END:VEVENT\r\n"
                                                        "BEGIN:VEVENT\r\nUID:bad\r\n"
                                                        "DTSTART:20261341T250000Z\r\nEND:VEVENT\r\n"
                                                        "BEGIN:VEVENT\r\nUID:good\r\n"
                                                        "DTSTART;VALUE=DATE:20260301\r\n"
                                                        "END:VEVENT\r\n"));
    EXPECT_EQ(odd.skippedComponents, 1);
    ASSERT_EQ(odd.series.size(), 1u);
    EXPECT_TRUE(odd.series[0].components[0].content.isAllDay);
    EXPECT_FALSE(odd.series[0].components[0].content.timeZone);
}

TEST(IcsReader, SanitisesRules) {
    const auto result = read(calendarWith("BEGIN:VEVENT\r\nUID:zero\r\nDTSTART:20260301T090000Z\r\n"
                                          "RRULE:FREQ=DAILY;INTERVAL=0;COUNT=3\r\nEND:VEVENT\r\n"
                                          "BEGIN:VEVENT\r\nUID:negative\r\n"
                                          "DTSTART:20260301T090000Z\r\n"
                                          "RRULE:FREQ=WEEKLY;INTERVAL=-2\r\nEND:VEVENT\r\n"
                                          "BEGIN:VEVENT\r\nUID:nonsense\r\n"
                                          "DTSTART:20260301T090000Z\r\n"
                                          "RRULE:FREQ=FORTNIGHTLY;BYHOUR=99\r\nEND:VEVENT\r\n"));
    ASSERT_EQ(result.series.size(), 3u);
    ASSERT_EQ(result.series[0].components[0].content.recurrenceRules.size(), 1u);
    EXPECT_EQ(result.series[0].components[0].content.recurrenceRules[0].interval, 1);
    EXPECT_EQ(result.series[0].components[0].content.recurrenceRules[0].occurrenceCount, 3);
    EXPECT_EQ(result.series[1].components[0].content.recurrenceRules.at(0).interval, 1);
    EXPECT_TRUE(result.series[2].components[0].rrules.empty());
    const auto occurrences =
        expand(result.series[2], Instant{1772000000}, Instant{1775000000}, test::berlin());
    ASSERT_EQ(occurrences.size(), 1u);
    EXPECT_FALSE(occurrences[0].occurrenceDate);
}

// The shared corpus of public files, many broken on purpose: every file is read, bounded and
// expanded over a year without a crash or a hang, and the well-formed ones give their events.
TEST(IcsReader, Corpus) {
    namespace fs = std::filesystem;
    PLANNERY_NEEDS_CORPUS(folder);
    const auto berlin = test::berlin();
    const Instant from = test::at(berlin, 2026, 1, 1);
    const Instant to = test::at(berlin, 2027, 1, 1);
    std::map<std::string, std::pair<std::size_t, std::size_t>> found; // series, occurrences
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        const auto result = read(text.str());
        std::size_t occurrences = 0;
        for (const auto& series : result.series) {
            const auto span = bounds(series);
            EXPECT_LE(span.first, span.last) << entry.path();
            const auto expanded = expand(series, from, to, berlin);
            EXPECT_LE(expanded.size(), kMaxOccurrencesPerWindow);
            for (const auto& occurrence : expanded) {
                EXPECT_LE(occurrence.start, occurrence.end);
                EXPECT_LT(occurrence.start, to);
            }
            occurrences += expanded.size();
        }
        const auto decoded = decode(encode(result.series));
        ASSERT_TRUE(decoded) << entry.path();
        EXPECT_EQ(decoded->size(), result.series.size());
        found[entry.path().filename().string()] = {result.series.size(), occurrences};
        ++files;
    }
    EXPECT_GE(files, 100);
    // Well-formed files give their events; weekly meetings repeat through the year.
    EXPECT_EQ(found["example.ics"].first, 3u);
    EXPECT_EQ(found["multiple_timezones.ics"].first, 3u);
    EXPECT_EQ(found["issue_466_convert_tzid_with_slash.ics"].second, 52u);
    EXPECT_GT(found["x_location.ics"].second, 200u);
    EXPECT_EQ(found["rfc_7265_example_2.jcal"].first, 0u);
}

} // namespace
} // namespace plannery
