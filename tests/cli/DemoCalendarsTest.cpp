#include "cli/DemoCalendars.h"
#include "cli/DemoIcs.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace plannery::cli {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

Files readTree(const fs::path& root) {
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            files[fs::relative(entry.path(), root).generic_string()] = text.str();
        }
    }
    return files;
}

Files demo(const fs::path& folder, int events, std::uint64_t seed) {
    const auto summary = DemoCalendars::write(
        {.folder = folder, .events = events, .seed = seed, .from = Date{2025, 1, 1}, .years = 2});
    EXPECT_FALSE(summary.error) << summary.error.value_or("");
    EXPECT_EQ(summary.events, events);
    return readTree(folder);
}

// Content lines with folding undone.
std::vector<std::string> unfold(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const auto end = text.find("\r\n", begin);
        const std::string line = text.substr(begin, end - begin);
        if (!line.empty() && line[0] == ' ' && !lines.empty()) {
            lines.back() += line.substr(1);
        } else {
            lines.push_back(line);
        }
        begin = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

// The value of a property of the first VEVENT (time zone definitions have DTSTART and RRULE too).
std::string property(const std::string& text, std::string_view name) {
    bool inEvent = false;
    for (const auto& line : unfold(text)) {
        inEvent = inEvent || line == "BEGIN:VEVENT";
        if (inEvent && line.rfind(name, 0) == 0) {
            return line.substr(line.find(':') + 1);
        }
    }
    return {};
}

std::set<std::string> icsNames(const Files& files, const std::string& folder) {
    std::set<std::string> names;
    for (const auto& [path, text] : files) {
        if (path.rfind(folder + "/", 0) == 0 && path.ends_with(".ics")) {
            names.insert(path.substr(folder.size() + 1));
        }
    }
    return names;
}

TEST(DemoCalendarsTest, SameSeedGivesSameBytesAndAnotherSeedOthers) {
    test::TempDir dir;
    const Files first = demo(dir.path() / "a", 500, 42);
    const Files second = demo(dir.path() / "b", 500, 42);
    const Files other = demo(dir.path() / "c", 500, 43);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, other);
    EXPECT_GT(first.size(), 400u);

    // A folder that already holds something is never written into.
    const auto before = readTree(dir.path() / "a");
    const auto refused = DemoCalendars::write(
        {.folder = dir.path() / "a", .events = 200, .seed = 1, .from = Date{2025, 1, 1}});
    ASSERT_TRUE(refused.error);
    EXPECT_NE(refused.error->find("not empty"), std::string::npos);
    EXPECT_EQ(readTree(dir.path() / "a"), before);
}

TEST(DemoCalendarsTest, FilesAreWellFormedICalendar) {
    test::TempDir dir;
    const Files files = demo(dir.path() / "demo", 1000, 7);
    int ics = 0;
    for (const auto& [path, text] : files) {
        if (!path.ends_with(".ics")) {
            continue;
        }
        ++ics;
        ASSERT_TRUE(text.starts_with("BEGIN:VCALENDAR\r\n")) << path;
        ASSERT_TRUE(text.ends_with("END:VCALENDAR\r\n")) << path;
        std::size_t begin = 0;
        while (begin < text.size()) {
            const auto end = text.find("\r\n", begin);
            ASSERT_NE(end, std::string::npos) << path;
            const std::string line = text.substr(begin, end - begin);
            EXPECT_LE(line.size(), 75u) << path << ": " << line;
            EXPECT_EQ(line.find('\n'), std::string::npos) << path;
            // A continuation line never starts inside a UTF-8 sequence.
            if (line.size() > 1 && line[0] == ' ') {
                EXPECT_NE(static_cast<unsigned char>(line[1]) & 0xC0, 0x80) << path;
            }
            begin = end + 2;
        }
        // One UID per file, however many components share it.
        std::set<std::string> uids;
        for (const auto& line : unfold(text)) {
            if (line.starts_with("UID:")) {
                uids.insert(line);
            }
        }
        EXPECT_EQ(uids.size() == 1, path != "holidays.ics") << path;
    }
    EXPECT_GT(ics, 900);
}

TEST(DemoCalendarsTest, HasTheAccountsMirrorAndSharedInvitations) {
    test::TempDir dir;
    const Files files = demo(dir.path() / "demo", 2000, 3);

    EXPECT_EQ(files.at("fastmail/account.ini").find("type"), std::string::npos);
    EXPECT_NE(files.at("fastmail/account.ini").find("title = Fastmail"), std::string::npos);
    EXPECT_NE(files.at("google/account.ini").find("title = alex.morgan@gmail.com"),
              std::string::npos);
    EXPECT_NE(files.at("exchange/account.ini").find("type = exchange"), std::string::npos);
    EXPECT_NE(files.at("birthdays/account.ini").find("type = birthdays"), std::string::npos);
    EXPECT_NE(files.at("local/account.ini").find("type = local"), std::string::npos);
    EXPECT_NE(files.at("birthdays/contacts/calendar.ini").find("type = birthday"),
              std::string::npos);
    ASSERT_TRUE(files.count("holidays.ics"));
    for (const char* calendar : {"fastmail/personal", "fastmail/family", "fastmail/google-calendar",
                                 "google/alex.morgan@gmail.com", "google/design-team",
                                 "exchange/calendar", "birthdays/contacts", "local/calendar"}) {
        EXPECT_TRUE(files.count(std::string(calendar) + "/displayname")) << calendar;
        EXPECT_EQ(files.at(std::string(calendar) + "/color").size(), 8u) << calendar;
        EXPECT_FALSE(icsNames(files, calendar).empty()) << calendar;
    }

    // The CalDAV account's Google calendar is the Google calendar, file for file.
    const auto google = icsNames(files, "google/alex.morgan@gmail.com");
    EXPECT_EQ(icsNames(files, "fastmail/google-calendar"), google);
    int inWindow = 0;
    for (const auto& name : google) {
        const std::string& text = files.at("google/alex.morgan@gmail.com/" + name);
        EXPECT_EQ(files.at("fastmail/google-calendar/" + name), text);
        EXPECT_TRUE(property(text, "UID:").ends_with("@google.com"));
        // Series that run through the whole range, or single events in the weeks around the
        // range's middle (2026-01-01), where mirror detection looks.
        const std::string start = property(text, "DTSTART").substr(0, 8);
        const std::string rule = property(text, "RRULE:");
        if (rule.find("UNTIL=2026") != std::string::npos ||
            rule.find("UNTIL=2027") != std::string::npos ||
            (rule.empty() && start >= "20251204" && start < "20260302")) {
            ++inWindow;
        }
    }
    EXPECT_GE(inWindow, 20);

    // The same meeting invited on both work addresses: the same UID on Google and Exchange.
    int shared = 0;
    for (const auto& name : icsNames(files, "exchange/calendar")) {
        if (google.count(name)) {
            ++shared;
            const std::string& text = files.at("exchange/calendar/" + name);
            EXPECT_EQ(property(text, "UID:"),
                      property(files.at("google/alex.morgan@gmail.com/" + name), "UID:"));
            EXPECT_NE(text.find("mailto:alex.morgan@contoso.com"), std::string::npos);
            EXPECT_NE(text.find("mailto:alex.morgan@gmail.com"), std::string::npos);
            EXPECT_FALSE(property(text, "ORGANIZER").ends_with("alex.morgan@gmail.com"));
        }
    }
    EXPECT_GE(shared, 3);

    // The variety the views and the merging need.
    std::string all;
    for (const auto& [path, text] : files) {
        all += text;
    }
    for (const char* needle : {"RRULE:FREQ=DAILY",
                               "RRULE:FREQ=WEEKLY",
                               "RRULE:FREQ=MONTHLY",
                               "RRULE:FREQ=YEARLY",
                               "\r\nRECURRENCE-ID;",
                               "\r\nEXDATE",
                               "TZID:America/New_York",
                               "TZID:Asia/Tokyo",
                               "TZID:Europe/Berlin",
                               "DTSTART;TZID=Asia/Tokyo:",
                               "DTSTART;VALUE=DATE:",
                               "STATUS:CANCELLED",
                               "PARTSTAT=ACCEPTED",
                               "PARTSTAT=DECLINED",
                               "PARTSTAT=TENTATIVE",
                               "PARTSTAT=NEEDS-ACTION",
                               "\r\nGEO:",
                               "BEGIN:VALARM",
                               "\r\nDESCRIPTION:",
                               "\r\nLOCATION:"}) {
        EXPECT_NE(all.find(needle), std::string::npos) << needle;
    }
    bool utc = false;
    bool floating = false;
    for (const auto& [path, text] : files) {
        for (const auto& line : unfold(text)) {
            if (line.starts_with("DTSTART:") && !line.starts_with("DTSTART:19") &&
                !line.starts_with("DTSTART:200")) {
                (line.ends_with("Z") ? utc : floating) = true;
            }
        }
    }
    EXPECT_TRUE(utc);
    EXPECT_TRUE(floating);
}

} // namespace
} // namespace plannery::cli
