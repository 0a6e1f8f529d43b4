#include "detail/Ics.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <unordered_set>
#include <vector>

namespace plannery {
namespace {

const Calendar& berlin() {
    static const Calendar calendar = test::berlin();
    return calendar;
}

Instant local(int year, int month, int day, int hour = 0, int minute = 0) {
    return test::at(berlin(), year, month, day, hour, minute);
}

const Instant kStamp = Instant{test::at(test::calendarIn("UTC"), 2026, 12, 3, 14, 30).seconds + 15};

std::string golden(const std::string& name) {
    std::ifstream in(std::string(PLANNERY_TEST_DATA) + "/ics-writer/" + name, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::string> physicalLines(const std::string& file) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (auto at = file.find("\r\n"); at != std::string::npos; at = file.find("\r\n", from)) {
        lines.push_back(file.substr(from, at - from));
        from = at + 2;
    }
    EXPECT_EQ(from, file.size()) << "the text ends with CR LF";
    return lines;
}

// Content lines with the folding undone.
std::vector<std::string> contentLines(const std::string& file) {
    std::vector<std::string> lines;
    for (auto& line : physicalLines(file)) {
        if (!line.empty() && line[0] == ' ' && !lines.empty()) {
            lines.back() += line.substr(1);
        } else {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string property(const std::string& file, const std::string& name) {
    for (const auto& line : contentLines(file)) {
        if (line.starts_with(name + ":")) {
            return line.substr(name.size() + 1);
        }
    }
    return "<absent>";
}

bool validUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
        if ((byte >= 0x80 && byte < 0xC2) || byte > 0xF4 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// What every written file must be, whatever went in: CR LF lines of at most 75 octets, each a
// valid UTF-8 piece, continuations starting with one space, no stray CR or LF, nothing but
// the tab below U+0020.
void expectWellFormed(const std::string& file) {
    ASSERT_TRUE(validUtf8(file));
    for (const auto& line : physicalLines(file)) {
        EXPECT_LE(line.size(), 75u) << line.substr(0, 40);
        EXPECT_TRUE(validUtf8(line)) << "a character was split: " << line.substr(0, 40);
        for (char c : line) {
            EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\t') << int(c);
        }
    }
    const auto lines = contentLines(file);
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines.front(), "BEGIN:VCALENDAR");
    EXPECT_EQ(lines.back(), "END:VCALENDAR");
}

IcsEvent timed() {
    return IcsEvent{.uid = "timed-1",
                    .title = "Design review",
                    .start = local(2026, 12, 3, 9, 0),
                    .end = local(2026, 12, 3, 10, 30),
                    .location = "Room 4",
                    .notes = "Bring the slides",
                    .url = "https://example.com/review?id=7&x=1"};
}

TEST(IcsDateTimes, UtcAndDatesInTheCalendarsZone) {
    EXPECT_EQ(Ics::utc(kStamp), "20261203T143015Z");
    EXPECT_EQ(Ics::utc(kStamp.plus(0.999)), "20261203T143015Z") << "fractions are dropped";
    EXPECT_EQ(Ics::utc(Instant{0}), "19700101T000000Z");
    // 23:30 UTC on 3 December is already 4 December in Berlin.
    const Instant lateEvening = Instant{kStamp.seconds + 9 * 3600 - 15};
    EXPECT_EQ(Ics::date(lateEvening, test::calendarIn("UTC")), "20261203");
    EXPECT_EQ(Ics::date(lateEvening, berlin()), "20261204");
    EXPECT_EQ(Ics::date(local(2026, 3, 29, 0, 0), berlin()), "20260329");
    // Nonsense instants give a value, not a crash.
    EXPECT_EQ(Ics::utc(Instant{std::nan("")}), "19700101T000000Z");
    EXPECT_FALSE(Ics::utc(Instant{std::numeric_limits<double>::infinity()}).empty());
    EXPECT_FALSE(Ics::date(Instant{-1e18}, berlin()).empty());
}

TEST(IcsUid, OccurrencesGetTheirOwnUid) {
    IcsEvent event{.uid = "ABC",
                   .start = local(2026, 12, 3),
                   .end = local(2026, 12, 4),
                   .isAllDay = true,
                   .occurrence = local(2026, 12, 3)};
    EXPECT_EQ(Ics::uid(event, berlin()), "ABC-20261203");
    event.isAllDay = false;
    event.occurrence = local(2026, 12, 3, 9, 0);
    EXPECT_EQ(Ics::uid(event, berlin()), "ABC-20261203T080000Z");
    event.occurrence.reset();
    EXPECT_EQ(Ics::uid(event, berlin()), "ABC");
    event.uid = "a,b;c";
    EXPECT_EQ(property(Ics::calendar(event, kStamp, berlin()), "UID"), "a\\,b\\;c");
}

TEST(IcsText, EscapesSeparatorsAndLineBreaksDropsControls) {
    EXPECT_EQ(Ics::text(""), "");
    EXPECT_EQ(Ics::text("a,b;c\\d"), "a\\,b\\;c\\\\d");
    EXPECT_EQ(Ics::text("one\r\ntwo\nthree\rfour"), "one\\ntwo\\nthree\\nfour");
    EXPECT_EQ(Ics::text("\r\r\n\n"), "\\n\\n\\n") << "only an LF right after a CR pairs";
    EXPECT_EQ(Ics::text("tab\there"), "tab\there");
    EXPECT_EQ(Ics::text(std::string("bell\a nul") + '\0' + "del\x7f esc\x1b"), "bell nuldel esc");
    EXPECT_EQ(Ics::text("\u00e9\u20ac\U0001F600 \u0085"), "\u00e9\u20ac\U0001F600 \u0085");
    // Bytes that are not UTF-8 become U+FFFD rather than passing through.
    EXPECT_EQ(Ics::text("a\xff"
                        "b\xc3"),
              "a\uFFFDb\uFFFD");
}

TEST(IcsFold, BreaksAtSeventyFiveOctetsBetweenCharacters) {
    EXPECT_EQ(Ics::fold(""), "");
    const std::string full(75, 'x');
    EXPECT_EQ(Ics::fold(full), full);
    EXPECT_EQ(Ics::fold(full + "yz"), full + "\r\n yz");
    // 150 octets: the continuation's space counts, so the second line holds 74 more.
    EXPECT_EQ(Ics::fold(std::string(150, 'a')),
              std::string(75, 'a') + "\r\n " + std::string(74, 'a') + "\r\n a");

    std::string euros;
    for (int i = 0; i < 60; ++i) {
        euros += "\u20ac";
    }
    const auto folded = physicalLines(Ics::fold("X:" + euros) + "\r\n");
    ASSERT_EQ(folded.size(), 3u);
    EXPECT_EQ(folded[0].size(), 74u) << "2 + 24 x 3; one more would make 77";
    EXPECT_EQ(folded[1].size(), 73u) << "1 + 24 x 3";
    EXPECT_EQ(folded[2].size(), 1u + 12 * 3);

    // A 4-octet character that would end at octet 76 moves to the next line whole.
    const auto emoji = physicalLines(Ics::fold(std::string(72, 'a') + "\U0001F389") + "\r\n");
    ASSERT_EQ(emoji.size(), 2u);
    EXPECT_EQ(emoji[0], std::string(72, 'a'));
    EXPECT_EQ(emoji[1], " \U0001F389");
}

TEST(IcsFileName, SafeNamesFromTitles) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Team: Q1/Q2  review", "Team Q1 Q2 review.ics"},
        {".hidden", "hidden.ics"},
        {"...", "Event.ics"},
        {"  \t\n ", "Event.ics"},
        {"", "Event.ics"},
        {"a\\b?c*d\"e<f>g|h", "a b c d e f g h.ics"},
        {"line\r\nbreak\u2028sep\x01x", "line break sep x.ics"},
        {"  Caf\u00e9  \u00a0M\u00fcnchen ", "Caf\u00e9 M\u00fcnchen.ics"},
        {"/.config", "config.ics"},
        {". dotted", " dotted.ics"},
    };
    for (const auto& [title, name] : cases) {
        EXPECT_EQ(Ics::fileName(title), name) << title;
    }
    // Sixty characters at most, counted as a reader sees them, then trimmed.
    const std::string sixty(60, 'n');
    EXPECT_EQ(Ics::fileName(sixty), sixty + ".ics");
    EXPECT_EQ(Ics::fileName(sixty + "m"), sixty + ".ics");
    EXPECT_EQ(Ics::fileName(std::string(59, 'n') + " more"), std::string(59, 'n') + ".ics");
    std::string accents;
    for (int i = 0; i < 61; ++i) {
        accents += "e\u0301"; // e with a combining acute accent: one character, two scalars
    }
    EXPECT_EQ(Ics::fileName(accents), accents.substr(0, 60 * 3) + ".ics");
    std::string families;
    for (int i = 0; i < 61; ++i) {
        families += "\U0001F468\u200D\U0001F469\u200D\U0001F467"; // one emoji sequence
    }
    EXPECT_EQ(Ics::fileName(families), families.substr(0, 60 * 18) + ".ics");
}

TEST(IcsCalendar, GoldenFiles) {
    EXPECT_EQ(Ics::calendar(timed(), kStamp, berlin()), golden("timed.ics"));

    const IcsEvent holiday{.uid = "holiday",
                           .title = "Holiday",
                           .start = local(2026, 12, 5),
                           .end = local(2026, 12, 5),
                           .isAllDay = true};
    EXPECT_EQ(Ics::calendar(holiday, kStamp, berlin()), golden("allday-single.ics"));

    const IcsEvent trip{.uid = "trip",
                        .title = " Trip\n",
                        .start = local(2026, 12, 5),
                        .end = local(2026, 12, 8),
                        .isAllDay = true,
                        .location = "Lisbon",
                        .notes = " \n"};
    EXPECT_EQ(Ics::calendar(trip, kStamp, berlin()), golden("allday-multi.ics"));

    const IcsEvent binDay{.uid = "ABC",
                          .title = "Bin day",
                          .start = local(2026, 12, 3),
                          .end = local(2026, 12, 4),
                          .isAllDay = true,
                          .occurrence = local(2026, 12, 3)};
    EXPECT_EQ(Ics::calendar(binDay, kStamp, berlin()), golden("occurrence-allday.ics"));

    const IcsEvent moved{.uid = "standup@example.com",
                         .title = "Standup (moved)",
                         .start = local(2026, 12, 3, 10, 0),
                         .end = local(2026, 12, 3, 10, 15),
                         .occurrence = local(2026, 12, 3, 9, 0)};
    EXPECT_EQ(Ics::calendar(moved, kStamp, berlin()), golden("occurrence-timed.ics"));

    IcsEvent escaped = timed();
    escaped.uid = "esc,1";
    escaped.title = "Lunch, drinks; C:\\temp\r\nnext line\tTab\a bell";
    escaped.location = "Caf\u00e9 \"Zur Post\", Hauptstra\u00dfe 5; 2nd floor";
    escaped.notes = "line one\nline two\rline three\r\n\r\nend";
    escaped.url.reset();
    EXPECT_EQ(Ics::calendar(escaped, kStamp, berlin()), golden("escaped.ics"));

    const IcsEvent blank{.uid = "blank",
                         .title = " \t\r\n\u00a0",
                         .start = timed().start,
                         .end = timed().end,
                         .location = "  ",
                         .notes = "",
                         .url = ""};
    EXPECT_EQ(Ics::calendar(blank, kStamp, berlin()), golden("empty-title.ics"));

    IcsEvent longText = timed();
    longText.uid = "long";
    longText.url.reset();
    longText.title.clear();
    for (int i = 0; i < 40; ++i) {
        longText.title += "\u20ac";
    }
    std::string mixed;
    for (int i = 0; i < 6; ++i) {
        mixed += "Gr\u00fc\u00dfe aus \u6771\u4eac \U0001F389\U0001F389\U0001F389 ";
    }
    longText.location = mixed;
    longText.notes =
        "The quarterly planning covers budgets, hiring and the roadmap for the next two "
        "releases; please read the attached notes before the meeting and bring "
        "questions about the scope, the dates and the teams.";
    ASSERT_EQ(longText.notes->size(), 200u);
    const std::string file = Ics::calendar(longText, kStamp, berlin());
    EXPECT_EQ(file, golden("long-utf8.ics"));
    expectWellFormed(file);
}

TEST(IcsCalendar, DatesOfTimedAndAllDayEvents) {
    IcsEvent event = timed();
    event.end = local(2026, 12, 3, 8, 0);
    auto file = Ics::calendar(event, kStamp, berlin());
    EXPECT_EQ(property(file, "DTEND"), "20261203T080000Z") << "an end before the start";

    event.isAllDay = true;
    const auto dates = [&](Instant start, Instant end) {
        event.start = start;
        event.end = end;
        file = Ics::calendar(event, kStamp, berlin());
        return property(file, "DTSTART;VALUE=DATE") + "/" + property(file, "DTEND;VALUE=DATE");
    };
    EXPECT_EQ(dates(local(2026, 12, 5), local(2026, 12, 8)), "20261205/20261208");
    EXPECT_EQ(dates(local(2026, 12, 5), local(2026, 12, 5)), "20261205/20261206");
    EXPECT_EQ(dates(local(2026, 12, 5), local(2026, 12, 4)), "20261205/20261206");
    EXPECT_EQ(dates(local(2026, 12, 5, 10, 0), local(2026, 12, 7, 15, 0)), "20261205/20261208");
    EXPECT_EQ(dates(local(2026, 12, 5), local(2026, 12, 5).plus(1)), "20261205/20261206");
    // Across the spring clock change the 23-hour day still counts as one.
    EXPECT_EQ(dates(local(2026, 3, 28), local(2026, 3, 31)), "20260328/20260331");
    EXPECT_EQ(dates(local(2026, 10, 25), local(2026, 10, 26)), "20261025/20261026");
    EXPECT_EQ(property(file, "DTSTART"), "<absent>") << "no date-time form for all-day events";
}

TEST(IcsCalendar, BadInputGivesAWellFormedFile) {
    IcsEvent empty;
    auto file = Ics::calendar(empty, kStamp, berlin());
    expectWellFormed(file);
    EXPECT_EQ(property(file, "UID"), "");
    EXPECT_EQ(property(file, "SUMMARY"), "<absent>");

    IcsEvent hostile = timed();
    using namespace std::string_literals;
    const std::string controls = "x\0y\x01\x1f\x7f\r\nSTATUS:CANCELLED\r\n"s;
    hostile.uid = controls;
    hostile.title = controls;
    hostile.location = "\xc3\x28 broken \xf0\x9f";
    hostile.url = "https://example.com/\r\nEND:VEVENT";
    hostile.start = Instant{std::nan("")};
    hostile.end = Instant{-std::numeric_limits<double>::infinity()};
    file = Ics::calendar(hostile, kStamp, berlin());
    expectWellFormed(file);
    EXPECT_EQ(property(file, "SUMMARY"), "xy\\nSTATUS:CANCELLED");
    EXPECT_EQ(property(file, "STATUS"), "<absent>");
    EXPECT_EQ(property(file, "URL"), "https://example.com/END:VEVENT");
    EXPECT_EQ(property(file, "DTSTART"), "19700101T000000Z");

    hostile.isAllDay = true;
    hostile.occurrence = Instant{std::nan("")};
    expectWellFormed(Ics::calendar(hostile, kStamp, berlin()));

    IcsEvent huge = timed();
    huge.notes = std::string(1 << 20, 'n');
    for (std::size_t i = 0; i < huge.notes->size(); i += 97) {
        (*huge.notes)[i] = i % 2 ? ',' : '\n';
    }
    file = Ics::calendar(huge, kStamp, berlin());
    expectWellFormed(file);
    EXPECT_GT(property(file, "DESCRIPTION").size(), std::size_t(1) << 20);
}

TEST(IcsEvent, ComparedAndHashedFieldByField) {
    const IcsEvent base = [] {
        IcsEvent event = timed();
        event.occurrence = event.start;
        return event;
    }();
    std::vector<IcsEvent> variants(9, base);
    variants[0].uid += "x";
    variants[1].title += "x";
    variants[2].start = variants[2].start.plus(1);
    variants[3].end = variants[3].end.plus(1);
    variants[4].isAllDay = true;
    variants[5].location.reset();
    variants[6].notes = "";
    variants[7].url = "https://example.com/other";
    variants[8].occurrence.reset();

    std::unordered_set<IcsEvent> set{base};
    EXPECT_EQ(set.count(timed()), 0u);
    IcsEvent copy = base;
    EXPECT_EQ(copy, base);
    EXPECT_TRUE(set.contains(copy));
    EXPECT_EQ(std::hash<IcsEvent>{}(copy), std::hash<IcsEvent>{}(base));
    for (const auto& variant : variants) {
        EXPECT_NE(variant, base);
        set.insert(variant);
    }
    EXPECT_EQ(set.size(), 10u);
}

} // namespace
} // namespace plannery
