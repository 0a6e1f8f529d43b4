// `plannery detail` and `plannery export`, run in this process on a small vdir.

#include "CliRun.h"
#include "MiniJson.h"
#include "TestSupport.h"
#include "platform/VdirEventStore.h"

#include <libical/ical.h>

#include <gtest/gtest.h>

#include <fstream>

namespace plannery::cli {
namespace {

namespace fs = std::filesystem;
namespace json = test::json;

using test::readFile;
using test::RunResult;

// A weekly meeting kept on an iCloud calendar and on the user's Google calendar, with people,
// a place, notes, a link and an alert.
std::string meeting(const std::string& extra = "") {
    return test::calendarText(test::vevent(
        "abc123@google.com", "DTSTART:20260310T080000Z", "DTEND:20260310T090000Z", "Budget review",
        "RRULE:FREQ=WEEKLY;COUNT=4\r\n"
        "LOCATION:Caf\xC3\xA9 Central\\, Berlin\r\n"
        "GEO:52.52;13.405\r\n"
        "DESCRIPTION:Agenda:<br>1. Budget\r\n"
        "URL:https://example.com/budget\r\n"
        "ORGANIZER;CN=Boss:mailto:boss@example.com\r\n"
        "ATTENDEE;CN=Ann;PARTSTAT=NEEDS-ACTION:mailto:ann@gmail.com\r\n"
        "ATTENDEE;CN=Bob;PARTSTAT=ACCEPTED;ROLE=OPT-PARTICIPANT:mailto:bob@example.com\r\n"
        "ATTENDEE;CUTYPE=ROOM;CN=Room 4:mailto:room4@example.com\r\n" +
            extra +
            "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nDESCRIPTION:x\r\nEND:VALARM\r\n"));
}

class DetailCommandTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    fs::path root = dir.path() / "vdir";
    const std::string icloudCopy = "icloud/work/meeting.ics";
    const std::string googleCopy = "ann@gmail.com/ann@gmail.com/meeting.ics";

    void SetUp() override {
        dir.write("vdir/icloud/account.ini",
                  "type = icloud\ntitle = iCloud\nemails = ann@gmail.com\n");
        dir.write("vdir/icloud/work/displayname", "Work\n");
        dir.write("vdir/" + icloudCopy, meeting());
        dir.write("vdir/ann@gmail.com/account.ini", "emails = ann@gmail.com\n");
        dir.write("vdir/" + googleCopy, meeting());
    }

    RunResult run(std::vector<std::string> arguments) const {
        arguments.insert(arguments.end(), {"--root", root.string(), "--tz", "Europe/Berlin"});
        return test::runInProcess(dir.path(), arguments);
    }

    json::Value detailJson(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), "detail");
        arguments.push_back("--json");
        const RunResult result = run(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        auto value = json::Reader(result.out).document();
        EXPECT_TRUE(value) << result.out;
        return value.value_or(json::Value{});
    }
};

// Where each of the texts starts in the output; npos for a missing one.
std::vector<std::size_t> positions(const std::string& text, const std::vector<std::string>& parts) {
    std::vector<std::size_t> at;
    for (const auto& part : parts) {
        at.push_back(text.find(part));
    }
    return at;
}

TEST_F(DetailCommandTest, DetailPrintsTheSheetInItsOrder) {
    const RunResult result = run({"detail", icloudCopy});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto at = positions(
        result.out,
        {"Budget review\n", "Tuesday, Mar 10, 2026\n", "Caf\xC3\xA9 Central, Berlin <",
         "Every week, 4 times\n", "On 2 calendars\n", "  ann@gmail.com \xC2\xB7 ",
         "  Work \xC2\xB7 iCloud\n", "Open in Google Calendar <https://calendar.google",
         "Edits change one calendar",
         "Your response\n  Not responded \xC2\xB7 on ann@gmail.com\n  Not responded "
         "\xC2\xB7 on Work\n",
         "2 invitees \xC2\xB7 1 yes, 1 awaiting\n", "  Boss\n    Organizer",
         "  Ann (you)\n    Not responded \xC2\xB7 ann@gmail.com\n",
         "  Bob\n    Accepted \xC2\xB7 optional \xC2\xB7 bob@example.com\n",
         "  Room 4\n    Room \xC2\xB7 room4@example.com\n", "Link\n  https://example.com/budget\n",
         "Alert\n  15 minutes before\n", "Notes\n  Agenda:\n  1. Budget\n"});
    for (std::size_t i = 0; i < at.size(); ++i) {
        ASSERT_NE(at[i], std::string::npos) << "text " << i << " in\n" << result.out;
        if (i > 0) {
            EXPECT_LT(at[i - 1], at[i]) << "text " << i << " in\n" << result.out;
        }
    }
    EXPECT_TRUE(result.err.empty()) << result.err;
}

TEST_F(DetailCommandTest, JsonHoldsTheWholeInformation) {
    const json::Value info = detailJson({icloudCopy});
    EXPECT_EQ(info["title"].string, "Budget review");
    EXPECT_EQ(info["location"].string, "Caf\xC3\xA9 Central, Berlin");
    EXPECT_EQ(info["locationURL"].string,
              "https://maps.google.com/?q=Caf%C3%A9%20Central%2C%20Berlin&ll=52.52,13.405");
    EXPECT_FALSE(info["locationIsLink"].boolean);
    ASSERT_EQ(info["calendars"].array.size(), 2u);
    EXPECT_EQ(info["calendars"][0]["account"].string, "ann@gmail.com");
    EXPECT_EQ(info["calendars"][1]["title"].string, "Work");
    EXPECT_TRUE(info["calendars"][1]["allowsEdits"].boolean);
    ASSERT_EQ(info["invitations"].array.size(), 2u);
    EXPECT_EQ(info["invitations"][1]["reply"].string, "pending");
    EXPECT_EQ(info["organizer"]["email"].string, "boss@example.com");
    ASSERT_EQ(info["attendees"].array.size(), 3u);
    EXPECT_TRUE(info["attendees"][0]["isMe"].boolean);
    EXPECT_TRUE(info["attendees"][2]["isRoom"].boolean);
    EXPECT_EQ(info["alerts"][0].string, "15 minutes before");
    EXPECT_EQ(info["editableCopies"].array.size(), 2u);
    EXPECT_TRUE(info["onGoogle"].boolean);
    EXPECT_TRUE(
        info["googleURL"].string.starts_with("https://calendar.google.com/calendar/event?eid="));
    EXPECT_EQ(info["share"]["uid"].string, "abc123@google.com");
    EXPECT_EQ(info["share"]["start"].string, "2026-03-10T09:00:00+01:00");
    EXPECT_EQ(info["share"]["occurrence"].string, "2026-03-10T09:00:00+01:00");
    ASSERT_EQ(info["copies"].array.size(), 2u);
    EXPECT_EQ(info["copies"][0].string, (root / googleCopy).string());
    EXPECT_EQ(info["copies"][1].string, (root / icloudCopy).string());
}

TEST_F(DetailCommandTest, AnOccurrenceIsNamedByTimeOrByTheAgendasRecordID) {
    const json::Value third = detailJson({googleCopy, "--occurrence", "2026-03-24T09:00"});
    EXPECT_EQ(third["share"]["start"].string, "2026-03-24T09:00:00+01:00");
    EXPECT_EQ(third["calendars"].array.size(), 2u) << "the copies of that occurrence";

    // The id `plannery agenda --json` gives: the event identifier and the start in seconds.
    const RunResult agenda = run({"agenda", "--from", "2026-03-17", "--days", "1", "--json"});
    ASSERT_EQ(agenda.status, 0) << agenda.err;
    const auto listed = json::Reader(agenda.out).document();
    ASSERT_TRUE(listed) << agenda.out;
    const std::string id = (*listed)["days"][0]["events"][0]["id"].string;
    EXPECT_EQ(id, (root / googleCopy).string() + "|1773734400");
    const json::Value second = detailJson({id});
    EXPECT_EQ(second["share"]["start"].string, "2026-03-17T09:00:00+01:00");

    // Named by its other copy, the event is the same.
    EXPECT_EQ(detailJson({icloudCopy + "|1773734400"})["copies"].array.size(), 2u);
}

// A file whose name is not UTF-8 (written by a program with another locale) keeps its bytes
// through `--json`: the identifier given back to `detail`, as a JSON reader decodes it or as the
// bytes themselves, names the event. A file cut off inside its event is damaged, not an event
// with half a title.
TEST_F(DetailCommandTest, IdentifiersOfAnyFileNameComeBackAndCutFilesAreDamaged) {
    const std::string latin = "icloud/work/caf\xE9 \xFF.ics";
    dir.write("vdir/" + latin,
              test::calendarText(test::vevent("latin", "DTSTART:20260311T080000Z",
                                              "DTEND:20260311T090000Z", "Latin name")));
    const std::string whole = test::calendarText(test::vevent(
        "cut", "DTSTART:20260311T100000Z", "DTEND:20260311T110000Z", "Cut off in the middle"));
    dir.write("vdir/icloud/work/cut.ics", whole.substr(0, whole.find("middle")));

    const RunResult agenda =
        run({"agenda", "--from", "2026-03-11", "--days", "1", "--json", "--verbose"});
    ASSERT_EQ(agenda.status, 0) << agenda.err;
    const auto listed = json::Reader(agenda.out).document();
    ASSERT_TRUE(listed) << agenda.out;
    const auto& events = (*listed)["days"][0]["events"].array;
    ASSERT_EQ(events.size(), 1u) << agenda.out;
    EXPECT_EQ(events[0]["title"].string, "Latin name");
    const std::string bytes = (root / latin).string();
    const std::string decoded = events[0]["eventIdentifier"].string;
    EXPECT_NE(decoded, bytes);
    for (const std::string& id : {decoded, bytes, events[0]["id"].string}) {
        EXPECT_EQ(detailJson({id})["title"].string, "Latin name") << id;
    }
    EXPECT_EQ(detailJson({decoded})["copies"][0].string, decoded);
    EXPECT_NE(
        agenda.err.find("1 file could not be read:\n  " + (root / "icloud/work/cut.ics").string()),
        std::string::npos)
        << agenda.err;
}

TEST_F(DetailCommandTest, ExportWritesTheShareFileThatCalendarsReadBack) {
    const fs::path file = dir.path() / "out" / "budget.ics";
    fs::create_directories(file.parent_path());
    const RunResult result =
        run({"export", googleCopy, "--occurrence", "2026-03-17T09:00", "--out", file.string()});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, file.string() + "\n");
    const std::string text = readFile(file);

    // libical reads one event with the occurrence's own identifier and times.
    icalcomponent* calendar = icalparser_parse_string(text.c_str());
    ASSERT_NE(calendar, nullptr);
    icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
    ASSERT_NE(event, nullptr);
    EXPECT_STREQ(icalcomponent_get_summary(event), "Budget review");
    EXPECT_STREQ(icalcomponent_get_uid(event), "abc123@google.com-20260317T080000Z");
    EXPECT_STREQ(icalcomponent_get_location(event), "Caf\xC3\xA9 Central, Berlin");
    EXPECT_EQ(icaltime_as_timet(icalcomponent_get_dtstart(event)), 1773734400);
    EXPECT_EQ(icaltime_as_timet(icalcomponent_get_dtend(event)), 1773738000);
    EXPECT_EQ(icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT), nullptr);
    icalcomponent_free(calendar);

    // Dropped into a calendar folder, the store shows it as the same event.
    test::TempDir other;
    other.write("acct/cal/budget.ics", text);
    VdirEventStore store(VdirOptions{
        .roots = {other.path()}, .cacheFile = {}, .calendar = test::berlin(), .check = {}});
    const auto events = store.events(Instant{1773734400}, Instant{1773738000});
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].title(), "Budget review");
    EXPECT_EQ(events[0].location(), "Caf\xC3\xA9 Central, Berlin");
    EXPECT_EQ(events[0].notes(), "Agenda:\n1. Budget");
    EXPECT_EQ(events[0].url(), "https://example.com/budget");
    EXPECT_EQ(events[0].endDate, Instant{1773738000});
    EXPECT_FALSE(events[0].hasRecurrenceRules());

    // An existing file is never replaced.
    const RunResult again = run({"export", googleCopy, "--out", file.string()});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already exists"), std::string::npos) << again.err;
    EXPECT_EQ(readFile(file), text);
}

TEST_F(DetailCommandTest, BadArgumentsAndMissingEvents) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string mentions;
    };
    const Case cases[] = {
        {{"detail"}, 2, "Name the event"},
        {{"detail", "a", "b"}, 2, "Unexpected argument \"b\""},
        {{"detail", icloudCopy, "--occurrence", "2026-02-30"}, 2, "2026-02-30"},
        {{"detail", icloudCopy, "--bogus"}, 2, "Unknown option --bogus."},
        {{"export", icloudCopy}, 2, "needs --out FILE.ics"},
        {{"export", icloudCopy, "--json", "--out", "x.ics"}, 2, "Unknown option --json."},
        {{"detail", "icloud/work/none.ics"}, 1, "No event has the identifier"},
        {{"detail", icloudCopy + "|12"}, 1, "No event has the identifier"},
        {{"detail", icloudCopy, "--occurrence", "2026-03-11T09:00"}, 1, "no occurrence"},
        {{"export", icloudCopy, "--out", (dir.path() / "no" / "such.ics").string()},
         1,
         "does not exist"},
    };
    for (const Case& c : cases) {
        const RunResult result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments[0] << " " << result.err;
        EXPECT_NE(result.err.find(c.mentions), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("usage:") != std::string::npos, c.status == 2) << result.err;
        EXPECT_TRUE(result.out.empty()) << result.out;
    }
}

} // namespace
} // namespace plannery::cli
