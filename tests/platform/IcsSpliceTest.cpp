#include "platform/IcsSplice.h"

#include "platform/IcsEdit.h"
#include "platform/IcsSeries.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::at;
using test::linesOnlyIn;

const std::string kUid = "mixed-1@example.com";
const std::vector<std::string> kMe{"me@example.com"};

class IcsSplice : public ::testing::Test {
  protected:
    const Calendar utc = test::calendarIn("UTC");
    const Instant now = at(utc, 2026, 2, 10, 12);
    const std::string text = test::dataFile("edit/unknown-parts.ics");
};

// Every component and line the program does not know (X- components at the top, in the event and
// in its alarm; VLOCATION, VRESOURCE, VAVAILABILITY, VTODO and VJOURNAL beside it; properties and
// parameters newer than the parser) is written back byte for byte; only the lines the change
// touches differ.
TEST_F(IcsSplice, RepliesAndExclusionsKeepEverythingTheyDoNotChange) {
    const auto reply =
        ics::edit::reply(text, kUid, std::nullopt, kMe, ParticipantStatus::accepted, now, utc);
    ASSERT_TRUE(reply.text) << reply.error.value_or("");
    test::expectGolden("edit/unknown-parts-reply.ics", reply.text);
    EXPECT_EQ(linesOnlyIn(text, *reply.text),
              (std::vector<std::string>{
                  "ATTENDEE;CN=Me;FOO=bar;PARTSTAT=NEEDS-ACTION;RSVP=TRUE;X-NUM-GUESTS=0:mailto:"
                  "me@example.com",
                  "DTSTAMP:20260201T080000Z"}));
    EXPECT_EQ(linesOnlyIn(*reply.text, text),
              (std::vector<std::string>{
                  "ATTENDEE;CN=Me;FOO=bar;PARTSTAT=ACCEPTED;X-NUM-GUESTS=0:mailto:me@example.com",
                  "DTSTAMP:20260210T120000Z"}));

    const auto excluded =
        ics::edit::excludeOccurrence(text, kUid, at(utc, 2026, 3, 9, 9), now, utc);
    ASSERT_TRUE(excluded.text) << excluded.error.value_or("");
    test::expectGolden("edit/unknown-parts-exclude.ics", excluded.text);
    EXPECT_EQ(linesOnlyIn(text, *excluded.text),
              std::vector<std::string>{"DTSTAMP:20260201T080000Z"});
    EXPECT_EQ(linesOnlyIn(*excluded.text, text),
              (std::vector<std::string>{"DTSTAMP:20260210T120000Z", "EXDATE:20260309T090000Z",
                                        "LAST-MODIFIED:20260210T120000Z"}));
    const auto reread = ics::read(*excluded.text);
    ASSERT_EQ(reread.series.size(), 1u);
    EXPECT_EQ(ics::expand(reread.series[0], at(utc, 2026, 3, 1), at(utc, 2026, 5, 1), utc).size(),
              5u);

    // One occurrence answered alone: a new override; the rest of the file stays as it was.
    const auto one = ics::edit::reply(text, kUid, at(utc, 2026, 3, 16, 9), kMe,
                                      ParticipantStatus::declined, now, utc);
    ASSERT_TRUE(one.text) << one.error.value_or("");
    EXPECT_TRUE(linesOnlyIn(text, *one.text).empty());
    EXPECT_TRUE(one.text->starts_with(text.substr(0, text.find("BEGIN:VTODO"))));
}

TEST_F(IcsSplice, NewerPropertiesNeverBlockAWrite) {
    for (const std::string line :
         {"STYLED-DESCRIPTION;FMTTYPE=text/html:<p>Hi</p>", "LOCATION-TYPE:office",
          "STRUCTURED-DATA;VALUE=URI:https://example.com/data", "PARTICIPANT-TYPE:active",
          "CONCEPT:https://example.com/c", "LINK;LINKREL=latest-version;VALUE=URI:https://x.org",
          "REFID:a-b-c", "REASON:https://example.com/why", "EST-DURATION:PT2H"}) {
        SCOPED_TRACE(line);
        const std::string file = test::calendarText(
            test::vevent("new", "DTSTART:20260302T090000Z", "DTEND:20260302T100000Z", "New",
                         line + "\r\nATTENDEE;PARTSTAT=NEEDS-ACTION:mailto:me@example.com\r\n"));
        const auto reply = ics::edit::reply(file, "new", std::nullopt, kMe,
                                            ParticipantStatus::tentative, now, utc);
        ASSERT_TRUE(reply.text) << reply.error.value_or("");
        EXPECT_NE(reply.text->find("\r\n" + line + "\r\n"), std::string::npos);
        EXPECT_NE(reply.text->find("PARTSTAT=TENTATIVE"), std::string::npos);
    }
}

// Line ends, folding and spelling stay those of the file; lines the change writes use its line
// ends. A text the parser's writing cannot be paired with is not rewritten at all.
TEST_F(IcsSplice, LinesKeepTheirBytesAndTheFilesLineEnds) {
    const std::string file = "begin:vcalendar\nversion:2.0\nBEGIN:VEVENT\nuid:lf\n"
                             "DTSTAMP:20260101T000000Z\nDTSTART:20260302T090000Z\nSUMMARY:A t\n"
                             " itle folded early\nATTENDEE;PARTSTAT=NEEDS-ACTION:mailto:me@exa\n"
                             " mple.com\nEND:VEVENT\nend:vcalendar\n";
    const auto reply =
        ics::edit::reply(file, "lf", std::nullopt, kMe, ParticipantStatus::declined, now, utc);
    ASSERT_TRUE(reply.text) << reply.error.value_or("");
    EXPECT_EQ(*reply.text, "begin:vcalendar\nversion:2.0\nBEGIN:VEVENT\nuid:lf\n"
                           "DTSTAMP:20260210T120000Z\nDTSTART:20260302T090000Z\nSUMMARY:A t\n"
                           " itle folded early\nATTENDEE;PARTSTAT=DECLINED:mailto:me@example.com\n"
                           "END:VEVENT\nend:vcalendar\n");

    const auto base = ics::splice::align(file, file);
    EXPECT_FALSE(base); // lines the parser would have written differently
    EXPECT_FALSE(ics::splice::align("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nEND:VCALENDAR\r\n",
                                    "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n"));
    const std::string open =
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:x\r\nDTSTART:20260302T090000Z\r\n";
    EXPECT_EQ(
        ics::edit::reply(open, "x", std::nullopt, kMe, ParticipantStatus::accepted, now, utc).error,
        "The event's file cannot be read as a calendar.");
}

} // namespace
} // namespace plannery
