// `plannery add`, `remove` and `reply`, run in this process on a small vdir.

#include "MiniJson.h"
#include "TestSupport.h"
#include "cli/Cli.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace plannery::cli {
namespace {

namespace fs = std::filesystem;
namespace json = test::json;

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

class WriteCommandsTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    fs::path root = dir.path() / "vdir";

    void SetUp() override {
        ::setenv("XDG_CACHE_HOME", (dir.path() / "cache").c_str(), 1);
        fs::create_directories(root / "acct" / "cal");
    }

    RunResult run(std::vector<std::string> arguments, const std::string& zone = "UTC") const {
        arguments.insert(arguments.end(), {"--root", root.string(), "--tz", zone});
        std::ostringstream out;
        std::ostringstream err;
        RunResult result;
        result.status = cli::run(arguments, out, err);
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    // "start end" of the event as a fresh read lists it on its first day.
    std::string listed(const std::string& id, const std::string& day,
                       const std::string& zone) const {
        const auto result = run({"agenda", "--from", day, "--days", "1", "--json"}, zone);
        EXPECT_EQ(result.status, 0) << result.err;
        const auto agenda = json::parse(result.out);
        if (!agenda) {
            return "unreadable output";
        }
        for (const auto& event : (*agenda)["days"][0]["events"].array) {
            if (event["eventIdentifier"].string == id) {
                return event["start"].string + " " + event["end"].string;
            }
        }
        return "not listed";
    }
};

// Whatever add writes, a fresh read gives back: the proleptic Gregorian days from 0001 to 9999,
// before 1582 and after 3000 too, all-day and timed, the last day of 9999 included.
TEST_F(WriteCommandsTest, AddWritesOnlyWhatReadsBackTheSame) {
    struct Case {
        std::vector<std::string> times;
        std::string zone;
        std::string day;
        std::string expected;
    };
    const std::vector<Case> cases{
        {{"--start", "2026-03-10T09:00"},
         "Europe/Berlin",
         "2026-03-10",
         "2026-03-10T09:00:00+01:00 2026-03-10T10:00:00+01:00"},
        {{"--start", "3001-05-01T10:00", "--end", "3001-05-01T12:30"},
         "UTC",
         "3001-05-01",
         "3001-05-01T10:00:00+00:00 3001-05-01T12:30:00+00:00"},
        {{"--start", "1500-03-01", "--all-day"},
         "UTC",
         "1500-03-01",
         "1500-03-01T00:00:00+00:00 1500-03-02T00:00:00+00:00"},
        {{"--start", "1582-10-10", "--end", "1582-10-12", "--all-day"},
         "UTC",
         "1582-10-10",
         "1582-10-10T00:00:00+00:00 1582-10-13T00:00:00+00:00"},
        {{"--start", "0001-01-01", "--all-day"},
         "UTC",
         "0001-01-01",
         "0001-01-01T00:00:00+00:00 0001-01-02T00:00:00+00:00"},
        {{"--start", "9999-12-30", "--end", "9999-12-31", "--all-day"},
         "UTC",
         "9999-12-30",
         "9999-12-30T00:00:00+00:00 10000-01-01T00:00:00+00:00"},
        {{"--start", "9999-12-31T23:30"},
         "UTC",
         "9999-12-31",
         "9999-12-31T23:30:00+00:00 10000-01-01T00:30:00+00:00"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"add", "--calendar", "cal", "--title", "T"};
        arguments.insert(arguments.end(), c.times.begin(), c.times.end());
        SCOPED_TRACE(c.times.at(1));
        const auto added = run(arguments, c.zone);
        ASSERT_EQ(added.status, 0) << added.err;
        const std::string id = added.out.substr(0, added.out.find('\n'));
        EXPECT_EQ(listed(id, c.day, c.zone), c.expected);
    }
}

// The times --json prints are read back as arguments, those past the last day included: an
// all-day event on 9999-12-31 ends as the year 10000 begins.
TEST_F(WriteCommandsTest, PrintedTimesAreReadBack) {
    const auto allDay = run(
        {"add", "--calendar", "cal", "--title", "Last day", "--start", "9999-12-31", "--all-day"});
    ASSERT_EQ(allDay.status, 0) << allDay.err;
    const std::string printed =
        listed(allDay.out.substr(0, allDay.out.find('\n')), "9999-12-31", "UTC");
    ASSERT_EQ(printed, "9999-12-31T00:00:00+00:00 10000-01-01T00:00:00+00:00");
    // Typed back in another zone, as a timed event over the same span.
    const auto timed =
        run({"add", "--calendar", "cal", "--title", "Same span", "--start",
             printed.substr(0, printed.find(' ')), "--end", printed.substr(printed.find(' ') + 1)},
            "Europe/Berlin");
    ASSERT_EQ(timed.status, 0) << timed.err;
    EXPECT_EQ(listed(timed.out.substr(0, timed.out.find('\n')), "9999-12-31", "UTC"), printed);

    // An agenda asked to run past the last day ends with it, and each day it names is a --from.
    const auto agenda = run({"agenda", "--from", "9999-12-30", "--days", "5", "--json"});
    ASSERT_EQ(agenda.status, 0) << agenda.err;
    const auto days = json::parse(agenda.out);
    ASSERT_TRUE(days) << agenda.out;
    std::vector<std::string> named;
    for (const auto& day : (*days)["days"].array) {
        named.push_back(day["day"].string);
        EXPECT_EQ(run({"agenda", "--from", named.back(), "--days", "1"}).status, 0) << named.back();
    }
    EXPECT_EQ(named, (std::vector<std::string>{"9999-12-30", "9999-12-31"}));
}

TEST_F(WriteCommandsTest, AddRefusesTimesOutsideTheCalendarOrEndingFirst) {
    struct Case {
        std::vector<std::string> times;
        std::string sentence;
    };
    const std::vector<Case> cases{
        {{"--start", "2026-03-10", "--end", "2026-03-09", "--all-day"},
         "The event ends before it starts."},
        {{"--start", "2026-03-10", "--end", "2026-03-01", "--all-day"},
         "The event ends before it starts."},
        {{"--start", "2026-03-10T09:00", "--end", "2026-03-10T08:59"},
         "The event ends before it starts."},
        {{"--start", "0000-12-31", "--all-day"}, "days run from 0001-01-01 to 9999-12-31"},
        {{"--start", "0001-01-01T00:30+01:00"}, "Events start between 0001-01-01 and 9999-12-31."},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"add", "--calendar", "cal", "--title", "T"};
        arguments.insert(arguments.end(), c.times.begin(), c.times.end());
        SCOPED_TRACE(c.times.at(1) + " " + c.times.back());
        const auto refused = run(arguments);
        EXPECT_EQ(refused.status, 2);
        EXPECT_NE(refused.err.find(c.sentence), std::string::npos) << refused.err;
        EXPECT_TRUE(refused.out.empty());
    }
    for (const auto& entry : fs::directory_iterator(root / "acct" / "cal")) {
        ADD_FAILURE() << "written: " << entry.path();
    }
}

// A folder the user cannot read beside the calendars (a lost+found at a disk's root) is named
// in a sentence and skipped: the calendars are listed and written to all the same.
TEST_F(WriteCommandsTest, AnUnreadableFolderHidesNoCalendar) {
    const fs::path lost = root / "lost+found";
    fs::create_directories(lost);
    // Permission bits do not stop the superuser from reading.
    test::asUnprivilegedUser(dir.path(), [&] {
        fs::permissions(lost, fs::perms::none);
        const std::string sentence =
            "plannery: The folder " + lost.string() + " cannot be read. It was skipped";
        const auto added =
            run({"add", "--calendar", "cal", "--title", "Kept", "--start", "2026-03-10T09:00"});
        ASSERT_EQ(added.status, 0) << added.err;
        EXPECT_NE(added.err.find(sentence), std::string::npos) << added.err;
        const std::string id = added.out.substr(0, added.out.find('\n'));
        EXPECT_EQ(listed(id, "2026-03-10", "UTC"),
                  "2026-03-10T09:00:00+00:00 2026-03-10T10:00:00+00:00");
        const auto agenda = run({"agenda", "--from", "2026-03-10", "--days", "1"});
        EXPECT_EQ(agenda.status, 0);
        EXPECT_NE(agenda.out.find("Kept"), std::string::npos) << agenda.out;
        EXPECT_NE(agenda.err.find(sentence), std::string::npos) << agenda.err;
        fs::permissions(lost, fs::perms::owner_all);
    });
}

} // namespace
} // namespace plannery::cli
