// End to end: the built `plannery` binary on a small demo vdir.

#include "CliRun.h"
#include "MiniJson.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>

namespace plannery::cli {
namespace {

namespace fs = std::filesystem;
namespace json = test::json;

using test::quote;
using test::readFile;
using test::RunResult;

// One shared demo for the whole suite: generating it through the binary is itself a test.
class CliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_dir = new test::TempDir();
        s_demo = new RunResult(run("demo " + quote(root().string()) +
                                   " --events 300 --seed 5 --from 2025-01-01 --years 2"));
    }
    static void TearDownTestSuite() {
        delete s_demo;
        delete s_dir;
    }

    static fs::path root() { return s_dir->path() / "vdir"; }

    static RunResult run(const std::string& arguments, const std::string& environment = "") {
        return test::runBinary(s_dir->path(), arguments, environment);
    }

    // UID -> event identifiers (the paths of the files) of the copies in the demo.
    static std::map<std::string, std::set<std::string>> copiesByUid() {
        std::map<std::string, std::set<std::string>> copies;
        for (const auto& entry : fs::recursive_directory_iterator(root())) {
            const auto relative = fs::relative(entry.path(), root());
            if (entry.path().extension() != ".ics" || relative.parent_path().empty()) {
                continue;
            }
            const std::string uid = entry.path().stem().string();
            copies[uid].insert(entry.path().lexically_normal().string());
        }
        std::erase_if(copies, [](const auto& entry) { return entry.second.size() < 2; });
        return copies;
    }

    static inline test::TempDir* s_dir = nullptr;
    static inline RunResult* s_demo = nullptr;
};

TEST_F(CliTest, DemoWritesTheRequestedEvents) {
    EXPECT_EQ(s_demo->status, 0) << s_demo->err;
    EXPECT_TRUE(s_demo->out.starts_with("Wrote 300 events in ")) << s_demo->out;
    EXPECT_TRUE(fs::exists(root() / "holidays.ics"));
    // The same folder again is refused, and what is there stays.
    const auto again = run("demo " + quote(root().string()) + " --events 300");
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("not empty"), std::string::npos) << again.err;
}

TEST_F(CliTest, TheProgramLoadsNoGraphicalOrRecognitionLibraries) {
    // What the loader would map for any command (as ldd shows it): the window, pictures and the
    // finder's engines come from the module loaded on demand, so reading calendars stays small.
    const RunResult loaded = run("--version", "LD_TRACE_LOADED_OBJECTS=1");
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    ASSERT_NE(loaded.out.find("libQt6Core"), std::string::npos) << loaded.out;
    for (const char* library :
         {"libQt6Gui", "libQt6Widgets", "libQt6Network", "libtesseract", "liblept", "libsane"}) {
        EXPECT_EQ(loaded.out.find(library), std::string::npos) << library;
    }
}

TEST_F(CliTest, EveryCopiedMeetingIsListedOnceWithItsCopies) {
    ASSERT_EQ(s_demo->status, 0);
    const auto copies = copiesByUid();
    ASSERT_FALSE(copies.empty());
    const auto result = run("agenda --root " + quote(root().string()) +
                            " --from 2025-09-01 --to 2025-11-30 --json --mirrors none "
                            "--show-declined --tz Europe/Berlin");
    ASSERT_EQ(result.status, 0) << result.err;
    const auto parsed = json::parse(result.out);
    ASSERT_TRUE(parsed) << result.out.substr(0, 2000);
    const auto& days = (*parsed)["days"].array;
    ASSERT_EQ(days.size(), 91u);
    EXPECT_EQ(days.front()["day"].string, "2025-09-01");
    EXPECT_EQ(days.back()["day"].string, "2025-11-30");

    int checked = 0;
    for (const auto& day : days) {
        std::set<std::pair<std::string, std::string>> seen; // (UID, start) listed on this day
        for (const auto& event : day["events"].array) {
            ASSERT_TRUE(event.has("externalID"));
            const std::string& uid = event["externalID"].string;
            EXPECT_TRUE(seen.insert({uid, event["start"].string}).second)
                << uid << " is listed twice on " << day["day"].string;
            const auto found = copies.find(uid);
            if (found == copies.end()) {
                continue;
            }
            ++checked;
            std::set<std::string> ids{event["eventIdentifier"].string};
            for (const auto& duplicate : event["duplicateIDs"].array) {
                ids.insert(duplicate.string);
            }
            EXPECT_GE(event["copies"].number, static_cast<double>(found->second.size())) << uid;
            for (const auto& expected : found->second) {
                EXPECT_TRUE(ids.count(expected)) << uid << " lacks the copy " << expected;
            }
            EXPECT_FALSE(event["duplicateIDs"].array.empty()) << uid;
        }
    }
    // The Google series run through the whole range, so three months hold many copies.
    EXPECT_GT(checked, 50);
}

TEST_F(CliTest, MirrorsFindsTheMirroredGoogleCalendar) {
    ASSERT_EQ(s_demo->status, 0);
    const auto result = run("mirrors --root " + quote(root().string()) +
                            " --now 2026-01-01 --json --tz Europe/Berlin");
    ASSERT_EQ(result.status, 0) << result.err;
    const auto parsed = json::parse(result.out);
    ASSERT_TRUE(parsed) << result.out;
    const auto& groups = (*parsed)["groups"].array;
    ASSERT_EQ(groups.size(), 1u) << result.out;
    ASSERT_EQ(groups[0].array.size(), 2u);
    // The editable Google calendar is preferred over the read-only copy.
    EXPECT_EQ(groups[0][0].string, (root() / "google/alex.morgan@gmail.com").string());
    EXPECT_EQ(groups[0][1].string, (root() / "fastmail/google-calendar").string());

    const auto text = run("mirrors --root " + quote(root().string()) + " --now 2026-01-01");
    EXPECT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("Google Calendar (account Fastmail)"), std::string::npos) << text.out;
}

TEST_F(CliTest, CalendarsListsAccountsAndCounts) {
    ASSERT_EQ(s_demo->status, 0);
    const auto result = run("calendars --json --root " + quote(root().string()));
    ASSERT_EQ(result.status, 0) << result.err;
    const auto parsed = json::parse(result.out);
    ASSERT_TRUE(parsed) << result.out;
    std::map<std::string, const json::Value*> calendars;
    std::map<std::string, std::string> kinds; // group id -> kind
    std::vector<std::string> ids;
    for (const auto& account : (*parsed)["accounts"].array) {
        ids.push_back(account["id"].string);
        kinds[account["id"].string] =
            account["kind"].kind == json::Value::Kind::null ? "none" : account["kind"].string;
        for (const auto& calendar : account["calendars"].array) {
            calendars[calendar["id"].string] = &calendar;
        }
    }
    // Settings order. The Google calendar that Fastmail subscribes to sits with the
    // subscriptions, so it cannot make Fastmail pass for a Google account.
    const auto account = [&](const std::string& folder) {
        for (const auto& id : ids) {
            if (id.starts_with("source:") && id.ends_with("/" + folder)) {
                return id;
            }
        }
        return "(no account " + folder + ")";
    };
    const std::string fastmail = account("fastmail");
    EXPECT_EQ(ids, (std::vector<std::string>{account("google"), account("exchange"), fastmail,
                                             account("local"), "subscribed", "other"}))
        << result.out;
    EXPECT_EQ(kinds[fastmail], "calDAV");
    EXPECT_EQ(kinds[account("google")], "google");
    EXPECT_EQ(kinds[account("local")], "local");
    EXPECT_EQ(kinds["other"], "none");
    const std::string google = (root() / "google/alex.morgan@gmail.com").string();
    const std::string holidays = (root() / "holidays.ics").string();
    ASSERT_TRUE(calendars.count(google));
    ASSERT_TRUE(calendars.count(holidays));
    int files = 0;
    for (const auto& entry : fs::directory_iterator(root() / "google/alex.morgan@gmail.com")) {
        files += entry.path().extension() == ".ics";
    }
    EXPECT_EQ((*calendars[google])["events"].number, files);
    EXPECT_EQ((*calendars[google])["color"].string, "#039BE5");
    EXPECT_TRUE((*calendars[(root() / "fastmail/google-calendar").string()])["readOnly"].boolean);
    EXPECT_EQ((*calendars[holidays])["type"].string, "subscription");

    const auto text = run("calendars --root " + quote(root().string()));
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.rfind("alex.morgan@gmail.com \xC2\xB7 Google\n  Choose which calendars "
                             "sync: https://calendar.google.com/calendar/syncselect?authuser="
                             "alex.morgan@gmail.com\n",
                             0),
              0u)
        << text.out;
    EXPECT_NE(text.out.find("\nContoso \xC2\xB7 Exchange\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\nOn This Computer\n"), std::string::npos) << text.out;
}

TEST_F(CliTest, BrokenFilesAreSkippedAndCounted) {
    test::TempDir dir;
    dir.write("local/account.ini", "type = local\n");
    dir.write("local/calendar/good.ics",
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:good\r\n"
              "DTSTART:20260302T100000Z\r\nDTEND:20260302T110000Z\r\nSUMMARY:Still here\r\n"
              "END:VEVENT\r\nEND:VCALENDAR\r\n");
    dir.write("local/calendar/broken.ics", "this is not a calendar\n");
    // Cut before its last line: its event is shown, and the file is counted as damaged.
    dir.write("local/calendar/unended.ics",
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:unended\r\n"
              "DTSTART:20260302T120000Z\r\nDTEND:20260302T130000Z\r\nSUMMARY:Cut before its end\r\n"
              "END:VEVENT\r\n");
    // Written an hour ago, so that the first run keeps them in its index cache.
    for (const char* name : {"good.ics", "broken.ics", "unended.ics"}) {
        fs::last_write_time(dir.path() / "local/calendar" / name,
                            fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    const auto result =
        run("agenda --root " + quote(dir.path().string()) + " --from 2026-03-02 --days 1 --tz UTC");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Still here"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Cut before its end"), std::string::npos) << result.out;
    EXPECT_NE(result.err.find("2 files could not be read; plannery agenda --verbose names them."),
              std::string::npos)
        << result.err;
    // Every reading command counts them and names the command that lists them.
    const auto listing = run("calendars --root " + quote(dir.path().string()));
    EXPECT_NE(listing.err.find("2 files could not be read; plannery agenda --verbose names them."),
              std::string::npos)
        << listing.err;
    // Read again from the index cache.
    const auto verbose = run("agenda --root " + quote(dir.path().string()) +
                             " --from 2026-03-02 --days 1 --tz UTC --verbose");
    EXPECT_NE(verbose.err.find("2 files could not be read:"), std::string::npos) << verbose.err;
    EXPECT_NE(verbose.err.find("broken.ics"), std::string::npos) << verbose.err;
    EXPECT_NE(verbose.err.find("unended.ics"), std::string::npos) << verbose.err;
    EXPECT_NE(verbose.err.find("0 files parsed, 3 from the index cache."), std::string::npos)
        << verbose.err;
    const auto calendars = run("calendars --root " + quote(dir.path().string()));
    EXPECT_EQ(calendars.status, 0) << calendars.err;
    EXPECT_NE(calendars.err.find("2 files could not be read"), std::string::npos) << calendars.err;
}

// Folders as vdirsyncer writes them (accounts of collections with `displayname` and `color`
// files, an empty collection, no account.ini) and as khal reads them (a root that is one
// collection), with collections three levels down.
TEST_F(CliTest, CalendarsOfEveryLayoutTheSyncToolsWrite) {
    test::TempDir dir;
    const auto event = [](const std::string& uid, int day, const std::string& people = "") {
        return test::calendarText(test::vevent(
            uid, "DTSTART:202603" + std::to_string(day) + "T090000Z",
            "DTEND:202603" + std::to_string(day) + "T100000Z", "Event " + uid, people));
    };
    dir.write("accounts/fastmail/personal/p1.ics", event("p1", 10));
    dir.write("accounts/fastmail/personal/displayname", "Personal");
    dir.write("accounts/fastmail/personal/color", "#3A87ADFF");
    std::filesystem::create_directories(dir.path() / "accounts/fastmail/work");
    std::filesystem::create_directories(dir.path() / "accounts/nextcloud/family");
    dir.write("accounts/.vdirsyncer/status.ics", "x");
    for (int i = 0; i < 5; ++i) {
        const std::string uid = "g" + std::to_string(i);
        dir.write("accounts/google/main/" + uid + ".ics",
                  event(uid, 10 + i,
                        "ORGANIZER:mailto:boss" + std::to_string(i % 2) + "@example.com\r\n" +
                            "ATTENDEE;PARTSTAT=" + (i == 2 ? "DECLINED" : "ACCEPTED") +
                            ":mailto:ann@example.com\r\n"));
    }
    dir.write("accounts/google/main/displayname", "Main");
    dir.write("accounts/google/main/color", "rgb(1,2,3)");
    dir.write("home/h1.ics", event("h1", 11));
    dir.write("home/displayname", "Home");
    dir.write("home/color", "#FF000080");
    dir.write("deep/sync/work/cal/d1.ics", event("d1", 12));

    const auto listing = [&](const std::string& roots) {
        const auto result = run("calendars --json" + roots);
        EXPECT_EQ(result.status, 0) << result.err;
        std::vector<std::string> lines; // "account: title (colour) id"
        const auto parsed = json::parse(result.out);
        for (const auto& account : parsed ? (*parsed)["accounts"].array : json::Value{}.array) {
            for (const auto& calendar : account["calendars"].array) {
                lines.push_back(account["name"].string + ": " + calendar["title"].string + " (" +
                                (calendar.has("color") ? calendar["color"].string : "none") + ") " +
                                calendar["id"].string);
            }
        }
        return std::pair{lines, result};
    };
    const std::string accounts = " --root " + quote((dir.path() / "accounts").string());
    const std::string home = " --root " + quote((dir.path() / "home").string());
    const std::string deep = " --root " + quote((dir.path() / "deep").string());
    const auto id = [&](const std::string& below) { return (dir.path() / below).string(); };
    const auto [first, firstRun] = listing(accounts);
    // In the order settings shows them: Google accounts first.
    EXPECT_EQ(first, (std::vector<std::string>{
                         "google: Main (none) " + id("accounts/google/main"),
                         "fastmail: Personal (#3A87AD) " + id("accounts/fastmail/personal"),
                         "fastmail: work (none) " + id("accounts/fastmail/work"),
                         "nextcloud: family (none) " + id("accounts/nextcloud/family")}));
    EXPECT_NE(firstRun.err.find(id("accounts/google/main/color") + " holds \u201Crgb(1,2,3)\u201D"),
              std::string::npos)
        << firstRun.err;
    EXPECT_NE(firstRun.out.find("\"foundAddress\":\"ann@example.com\""), std::string::npos)
        << firstRun.out;

    // More roots, in any order, rename none of the first one's calendars.
    const auto [all, allRun] = listing(home + accounts + deep);
    const auto [reordered, reorderedRun] = listing(deep + accounts + home);
    EXPECT_EQ(all.size(), 6u);
    for (const auto& line : first) {
        EXPECT_NE(std::find(all.begin(), all.end(), line), all.end()) << line;
    }
    EXPECT_EQ(reordered, all);
    EXPECT_NE(std::find(all.begin(), all.end(), "home: Home (#FF0000) " + id("home")), all.end());
    EXPECT_NE(std::find(all.begin(), all.end(), "work: cal (none) " + id("deep/sync/work/cal")),
              all.end());

    // The address found in the account's invitations is the user's: the declined one hides.
    const auto agenda = [&](const std::string& extra) {
        return run("agenda --from 2026-03-10 --days 7 --tz UTC" + accounts + extra).out;
    };
    EXPECT_EQ(agenda("").find("Event g2"), std::string::npos) << agenda("");
    EXPECT_NE(agenda("").find("Event g3"), std::string::npos);
    EXPECT_NE(agenda(" --show-declined").find("Event g2"), std::string::npos);
    EXPECT_NE(agenda(" --email someone@else.org").find("Event g2"), std::string::npos);

    // Tails of identifiers name calendars and events.
    EXPECT_EQ(agenda(" --hide google/main").find("Event g3"), std::string::npos);
    const auto detail = run("detail main/g3.ics" + accounts);
    EXPECT_EQ(detail.status, 0) << detail.err;
    EXPECT_NE(detail.out.find("Event g3"), std::string::npos);
    dir.write("accounts/google/other/main/x.ics", event("x", 13));
    const auto both = run("add --calendar main --title T --start 2026-03-10T09:00" + accounts);
    EXPECT_EQ(both.status, 1);
    EXPECT_NE(both.err.find("fits several calendars: " + id("accounts/google/main") + " and " +
                            id("accounts/google/other/main") + "; give more of it."),
              std::string::npos)
        << both.err;
    const auto bad = run("agenda --email nobody" + accounts);
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("The --email value \"nobody\" is not an e-mail address"),
              std::string::npos)
        << bad.err;
}

TEST_F(CliTest, BadUsageExitsWithTwoAndMissingRootsWithOne) {
    struct Case {
        std::string arguments;
        int status;
        std::string mentions;
    };
    const std::string missing = quote((s_dir->path() / "nowhere").string());
    const Case cases[] = {
        {"agenda --bogus", 2, "Unknown option --bogus."},
        {"agenda --from 2026-02-30", 2, "2026-02-30"},
        {"agenda --from 2026-03-05 --to 2026-03-01", 2, "before"},
        {"agenda --days 0", 2, "--days"},
        {"agenda --from 2000-01-01 --to 2030-01-01", 2, "at most 3660 days"},
        {"agenda --tz Mars/Olympus", 2, "Mars/Olympus"},
        {"mirrors --now tomorrow", 2, "tomorrow"},
        {"agenda --root " + missing, 1, "does not exist"},
        {"mirrors --root " + missing, 1, "does not exist"},
        {"calendars --root " + missing, 1, "does not exist"},
    };
    for (const Case& c : cases) {
        const auto result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments;
        EXPECT_NE(result.err.find(c.mentions), std::string::npos) << c.arguments << result.err;
        EXPECT_EQ(result.err.find("usage:") != std::string::npos, c.status == 2) << c.arguments;
        EXPECT_TRUE(result.out.empty()) << c.arguments;
    }
}

TEST_F(CliTest, NoCalendarFolderYetIsAnEmptyAgendaNotAnError) {
    // The default folder ($XDG_DATA_HOME/plannery/calendars) does not exist on a first run.
    const auto result = run("agenda --from 2026-12-06 --days 2");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("No calendars yet"), std::string::npos) << result.err;
    EXPECT_NE(result.out.find("December 7, 2026"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("no events"), std::string::npos) << result.out;
    EXPECT_FALSE(fs::exists(s_dir->path() / "data" / "plannery")) << "listing must not create it";
}

TEST_F(CliTest, AnEditInPlaceShowsInTheNextAgenda) {
    test::TempDir dir;
    const auto lunch = [](const std::string& title) {
        return test::calendarText(
            test::vevent("l", "DTSTART:20260302T120000Z", "DTEND:20260302T130000Z", title));
    };
    const fs::path file = dir.write("local/calendar/lunch.ics", lunch("Lunch with Ann"));
    const std::string agenda =
        "agenda --root " + quote(dir.path().string()) + " --from 2026-03-02 --days 1 --tz UTC";
    auto result = run(agenda);
    EXPECT_NE(result.out.find("Lunch with Ann"), std::string::npos) << result.out;
    const auto folderTime = fs::last_write_time(file.parent_path());
    const auto inode = [&] {
        struct stat info {};
        return ::stat(file.c_str(), &info) == 0 ? info.st_ino : 0;
    };
    const auto before = inode();

    // As nano saves: into the same file, which leaves the folder as it was.
    std::ofstream(file, std::ios::binary | std::ios::trunc) << lunch("Lunch with Bob");
    ASSERT_EQ(fs::last_write_time(file.parent_path()), folderTime);
    ASSERT_EQ(inode(), before);
    result = run(agenda);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Lunch with Bob"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("Lunch with Ann"), std::string::npos) << result.out;
}

// A long agenda is read and printed a month at a time; nothing of that shows in what it prints.
TEST_F(CliTest, AnAgendaAcrossMonthsReadsAsOne) {
    test::TempDir dir;
    dir.write("local/calendar/trip.ics",
              test::calendarText(test::vevent("trip", "DTSTART:20260130T080000Z",
                                              "DTEND:20260202T180000Z", "Trip to Oslo")));
    dir.write(
        "local/calendar/standup.ics",
        test::calendarText(test::vevent("s", "DTSTART:20260126T090000Z", "DTEND:20260126T091500Z",
                                        "Standup", "RRULE:FREQ=WEEKLY\r\n")));
    const auto agenda = [&](const std::string& range) {
        return run("agenda --root " + quote(dir.path().string()) + " " + range + " --tz UTC");
    };
    const auto whole = agenda("--from 2026-01-25 --to 2026-02-05");
    EXPECT_EQ(whole.status, 0) << whole.err;
    const auto january = agenda("--from 2026-01-25 --to 2026-01-31");
    const auto february = agenda("--from 2026-02-01 --to 2026-02-05");
    EXPECT_EQ(whole.out, january.out + "\n" + february.out);
    std::size_t trips = 0;
    for (std::size_t at = 0; (at = whole.out.find("Trip to Oslo", at)) != std::string::npos; ++at) {
        ++trips;
    }
    EXPECT_EQ(trips, 4u) << whole.out;
    const auto parsed = json::parse(agenda("--from 2026-01-25 --to 2026-02-05 --json").out);
    ASSERT_TRUE(parsed);
    EXPECT_EQ((*parsed)["days"].array.size(), 12u);
}

TEST_F(CliTest, AddReplyAndRemoveChangeWhatTheAgendaShows) {
    test::TempDir dir;
    dir.write("work/account.ini", "emails = me@example.com\n");
    dir.write("work/cal/invite.ics",
              test::calendarText(test::vevent(
                  "invite", "DTSTART:20260302T130000Z", "DTEND:20260302T140000Z", "Review",
                  "ORGANIZER:mailto:boss@example.com\r\n"
                  "ATTENDEE;PARTSTAT=NEEDS-ACTION:mailto:me@example.com\r\n")));
    dir.write("work/locked/calendar.ini", "read-only = true\n");
    dir.write("work/locked/displayname", "Locked\n");
    const std::string root = " --root " + quote(dir.path().string()) + " --tz Europe/Berlin";
    const auto agenda = [&](const std::string& extra = "") {
        return run("agenda --from 2026-03-02 --days 1" + root + extra).out;
    };

    const auto added = run("add --calendar work/cal --title Dentist --start 2026-03-02T09:00 "
                           "--end 2026-03-02T09:45 --location 'Main Street 1'" +
                           root);
    ASSERT_EQ(added.status, 0) << added.err;
    const std::string id = added.out.substr(0, added.out.find('\n'));
    EXPECT_TRUE(id.starts_with((dir.path() / "work/cal/").string()) && id.ends_with(".ics")) << id;
    EXPECT_TRUE(fs::exists(id));
    EXPECT_NE(agenda().find("Dentist"), std::string::npos) << agenda();
    EXPECT_NE(agenda().find("Review"), std::string::npos);

    const auto declined = run("reply work/cal/invite.ics decline" + root);
    ASSERT_EQ(declined.status, 0) << declined.err;
    EXPECT_EQ(declined.out, (dir.path() / "work/cal/invite.ics").string() + "\n");
    EXPECT_EQ(agenda().find("Review"), std::string::npos) << agenda();
    EXPECT_NE(agenda(" --show-declined").find("Review"), std::string::npos);

    const auto removed = run("remove " + quote(id) + root);
    ASSERT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(agenda().find("Dentist"), std::string::npos);
    EXPECT_FALSE(fs::exists(id));

    struct Case {
        std::string arguments;
        std::string mentions;
    };
    const Case failures[] = {
        {"add --calendar nope --title T --start 2026-03-02T09:00", "No calendar has"},
        {"add --calendar work/locked --title T --start 2026-03-02T09:00", "read-only"},
        {"remove work/cal/none.ics", "No event has"},
        {"reply work/cal/invite.ics --occurrence 2026-03-03T14:00 accept", "no occurrence"},
    };
    for (const Case& c : failures) {
        const auto result = run(c.arguments + root);
        EXPECT_EQ(result.status, 1) << c.arguments;
        EXPECT_NE(result.err.find(c.mentions), std::string::npos) << c.arguments << result.err;
        EXPECT_TRUE(result.out.empty()) << c.arguments;
    }
}

// A file saved by an editor (written beside and renamed over the old one) while `watch` runs
// moves the revision.
TEST_F(CliTest, WatchSeesAnEditOnDisk) {
    test::TempDir dir;
    dir.write("vdir/work/cal/a.ics",
              test::calendarText(
                  test::vevent("a", "DTSTART:20260302T130000Z", "DTEND:20260302T140000Z", "A")));
    const std::string command = "env TZ=UTC LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen "
                                "XDG_CACHE_HOME=" +
                                quote((dir.path() / "cache").string()) + " timeout 30 " +
                                quote(PLANNERY_BINARY) + " watch --changes 2 --root " +
                                quote((dir.path() / "vdir").string()) + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::array<char, 256> line{};
    ASSERT_NE(fgets(line.data(), line.size(), pipe), nullptr);
    EXPECT_EQ(std::string(line.data()), "watching 1 calendars, revision 0\n");

    // Renamed into place as an editor with a swap file saves, then written in place.
    dir.write("vdir/work/cal/.a.ics.swp",
              test::calendarText(test::vevent("a", "DTSTART:20260302T130000Z",
                                              "DTEND:20260302T140000Z", "A, edited")));
    fs::rename(dir.path() / "vdir/work/cal/.a.ics.swp", dir.path() / "vdir/work/cal/a.ics");
    ASSERT_NE(fgets(line.data(), line.size(), pipe), nullptr);
    EXPECT_EQ(std::string(line.data()), "revision 1\n");
    std::ofstream(dir.path() / "vdir/work/cal/a.ics", std::ios::binary | std::ios::trunc)
        << test::calendarText(test::vevent("a", "DTSTART:20260302T130000Z",
                                           "DTEND:20260302T140000Z", "A, edited again"));
    std::string rest;
    while (fgets(line.data(), line.size(), pipe) != nullptr) {
        rest += line.data();
    }
    const int status = pclose(pipe);
    EXPECT_EQ(rest, "revision 2\n");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// A root moved away while `watch` runs (renamed, or unmounted and gone) ends the watch with a
// sentence naming it, rather than a watch that silently sees nothing any more.
TEST_F(CliTest, WatchSaysWhenItsRootMovesAway) {
    test::TempDir dir;
    dir.write("vdir/work/cal/a.ics",
              test::calendarText(
                  test::vevent("a", "DTSTART:20260302T130000Z", "DTEND:20260302T140000Z", "A")));
    const fs::path root = dir.path() / "vdir";
    const std::string command = "env TZ=UTC LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen "
                                "XDG_CACHE_HOME=" +
                                quote((dir.path() / "cache").string()) + " timeout 30 " +
                                quote(PLANNERY_BINARY) + " watch --root " + quote(root.string()) +
                                " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::array<char, 512> line{};
    ASSERT_NE(fgets(line.data(), line.size(), pipe), nullptr);
    EXPECT_EQ(std::string(line.data()), "watching 1 calendars, revision 0\n");

    fs::rename(root, dir.path() / "elsewhere");
    std::string rest;
    while (fgets(line.data(), line.size(), pipe) != nullptr) {
        rest += line.data();
    }
    const int status = pclose(pipe);
    EXPECT_EQ(rest, "plannery: The calendar folder " + root.string() +
                        " was moved away or removed; watching stops.\n");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
}

// Width and height from a PNG file's header; zeros when it is not a PNG.
std::pair<int, int> pngSize(const fs::path& path) {
    const std::string bytes = readFile(path);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) {
        return {0, 0};
    }
    const auto number = [&](std::size_t at) {
        int value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            value = value * 256 + static_cast<unsigned char>(bytes[at + i]);
        }
        return value;
    };
    return {number(16), number(20)};
}

TEST_F(CliTest, SnapshotRendersTheWeekToAPicture) {
    ASSERT_EQ(s_demo->status, 0);
    const fs::path picture = s_dir->path() / "week.png";
    const auto week = run("snapshot --root " + quote(root().string()) +
                          " --anchor 2025-06-11 --now 2025-06-11T10:30 --size 900x600 --out " +
                          quote(picture.string()));
    ASSERT_EQ(week.status, 0) << week.err;
    EXPECT_EQ(week.out, picture.string() + "\n");
    EXPECT_EQ(pngSize(picture), (std::pair{900, 600}));

    const auto sharp = run("snapshot --root " + quote(root().string()) +
                           " --mode threedays --anchor 2025-06-11 --size 400x300 --scale 2 "
                           "--fit-hours 8-18 --out " +
                           quote(picture.string()));
    ASSERT_EQ(sharp.status, 0) << sharp.err;
    EXPECT_EQ(pngSize(picture), (std::pair{800, 600}));

    // The other views, and the whole window around a view, at the size asked for.
    for (const char* form : {"--mode agenda", "--mode fourweeks", "--mode day --window"}) {
        const auto other =
            run("snapshot --root " + quote(root().string()) + " " + form +
                " --anchor 2025-06-11 --size 640x480 --out " + quote(picture.string()));
        ASSERT_EQ(other.status, 0) << form << ": " << other.err;
        EXPECT_EQ(pngSize(picture), (std::pair{640, 480})) << form;
    }

    const auto bad = run("snapshot --anchor 2025-06-11 --size 10 --out " + quote(picture.string()));
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--size"), std::string::npos) << bad.err;
    const auto unwritable =
        run("snapshot --root " + quote(root().string()) + " --anchor 2025-06-11 --out " +
            quote((s_dir->path() / "no" / "such" / "x.png").string()));
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("could not be written"), std::string::npos) << unwritable.err;
}

// A script feeds what `agenda --json` prints back in: the start of an occurrence names it for
// detail, export, reply and remove, in any zone; two events of one file at the same moment keep
// their own identifiers.
TEST_F(CliTest, PrintedStartsNameOccurrencesAgain) {
    test::TempDir dir;
    dir.write("vdir/work/account.ini", "emails = me@example.com\n");
    dir.write("vdir/work/cal/weekly.ics",
              test::calendarText(
                  test::vevent("weekly", "DTSTART;TZID=Europe/Berlin:20260302T090000",
                               "DTEND;TZID=Europe/Berlin:20260302T100000", "Weekly review",
                               "RRULE:FREQ=WEEKLY;COUNT=4\r\nORGANIZER:mailto:boss@example.com\r\n"
                               "ATTENDEE;PARTSTAT=NEEDS-ACTION:mailto:me@example.com\r\n")));
    dir.write("vdir/work/cal/pair.ics", test::dataFile("ics/same-moment.ics"));
    const std::string root = " --root " + quote((dir.path() / "vdir").string());
    const auto agenda = [&](const std::string& zone) {
        const auto result = run("agenda --from 2026-03-01 --to 2026-03-31 --json --mirrors none "
                                "--show-declined --tz " +
                                zone + root);
        EXPECT_EQ(result.status, 0) << result.err;
        std::vector<json::Value> events;
        if (const auto parsed = json::parse(result.out)) {
            for (const auto& day : (*parsed)["days"].array) {
                for (const auto& event : day["events"].array) {
                    events.push_back(event);
                }
            }
        }
        return events;
    };
    // Printed in New York (the ninth is in summer time there, not yet in Berlin).
    const auto printed = agenda("America/New_York");
    std::vector<json::Value> weekly;
    std::map<std::string, std::string> pair; // id -> title
    for (const auto& event : printed) {
        if (event["title"].string == "Weekly review") {
            weekly.push_back(event);
        } else {
            pair[event["id"].string] = event["title"].string;
        }
    }
    ASSERT_EQ(weekly.size(), 4u);
    const std::string id = quote(weekly[1]["eventIdentifier"].string);
    const std::string start = weekly[1]["start"].string;
    EXPECT_EQ(start, "2026-03-09T04:00:00-04:00");
    const std::string occurrence = " --occurrence " + quote(start) + " --tz Europe/Berlin";

    const auto detail = run("detail " + id + occurrence + " --json" + root);
    ASSERT_EQ(detail.status, 0) << detail.err;
    const auto shown = json::parse(detail.out);
    ASSERT_TRUE(shown) << detail.out;
    EXPECT_EQ((*shown)["share"]["start"].string, "2026-03-09T09:00:00+01:00");

    const fs::path file = dir.path() / "one.ics";
    const auto exported =
        run("export " + id + occurrence + " --out " + quote(file.string()) + root);
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_NE(readFile(file).find("20260309T"), std::string::npos) << readFile(file);

    const auto replied = run("reply " + id + occurrence + " decline" + root);
    ASSERT_EQ(replied.status, 0) << replied.err;
    const auto removed =
        run("remove " + id + " --occurrence " + quote(weekly[2]["start"].string) + root);
    ASSERT_EQ(removed.status, 0) << removed.err;
    std::vector<std::pair<std::string, bool>> after; // start, declined
    for (const auto& event : agenda("UTC")) {
        if (event["title"].string == "Weekly review") {
            after.emplace_back(event["start"].string, event["isDeclined"].boolean);
        }
    }
    EXPECT_EQ(after,
              (std::vector<std::pair<std::string, bool>>{{"2026-03-02T08:00:00+00:00", false},
                                                         {"2026-03-09T08:00:00+00:00", true},
                                                         {"2026-03-23T08:00:00+00:00", false}}));

    // Both events of the shared file, by their own record ids.
    ASSERT_EQ(pair.size(), 2u);
    for (const auto& [record, title] : pair) {
        const auto one = run("detail " + quote(record) + " --json" + root);
        ASSERT_EQ(one.status, 0) << record << one.err;
        const auto parsed = json::parse(one.out);
        ASSERT_TRUE(parsed);
        EXPECT_EQ((*parsed)["title"].string, title);
    }

    const auto bad = run("detail " + id + " --occurrence 2026-03-09T04:00:00+25:00" + root);
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("2026-03-10T09:00:00+01:00"), std::string::npos) << bad.err;
}

// Without a display the window says so and the commands, help and version still work.
TEST_F(CliTest, WithoutADisplayOnlyTheWindowIsRefused) {
    const std::string headless = "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";
    for (const char* arguments : {"", "--root /nowhere", "--anchor 2026-03-07"}) {
        const auto window = run(arguments, headless);
        EXPECT_EQ(window.status, 1) << arguments;
        EXPECT_TRUE(window.err.starts_with("plannery: No display to open the window on"))
            << window.err;
        EXPECT_EQ(std::count(window.err.begin(), window.err.end(), '\n'), 1) << window.err;
        EXPECT_TRUE(window.out.empty());
    }
    const auto help = run("--help", headless);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--showSettings"), std::string::npos) << help.out;
    const auto windowHelp = run("--root /nowhere --help", headless);
    EXPECT_EQ(windowHelp.status, 0);
    EXPECT_EQ(windowHelp.out, help.out);
    const auto version = run("--version", headless);
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("plannery 0.")) << version.out;
    ASSERT_EQ(s_demo->status, 0);
    const fs::path picture = s_dir->path() / "headless.png";
    const auto snapshot =
        run("snapshot --root " + quote(root().string()) +
                " --anchor 2025-06-11 --size 320x200 --out " + quote(picture.string()),
            headless);
    EXPECT_EQ(snapshot.status, 0) << snapshot.err;
    EXPECT_EQ(pngSize(picture), (std::pair{320, 200}));
}

} // namespace
} // namespace plannery::cli
