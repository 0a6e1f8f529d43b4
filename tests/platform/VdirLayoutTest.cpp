#include "platform/VdirLayout.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;

const vdir::CalendarLocation* findCalendar(const vdir::Layout& layout, const std::string& id) {
    const auto found =
        std::find_if(layout.calendars.begin(), layout.calendars.end(),
                     [&](const auto& c) { return c.calendar->calendarIdentifier == id; });
    return found == layout.calendars.end() ? nullptr : &*found;
}

std::vector<std::string> ids(const vdir::Layout& layout) {
    std::vector<std::string> result;
    for (const auto& c : layout.calendars) {
        result.push_back(c.calendar->calendarIdentifier);
    }
    return result;
}

TEST(VdirLayout, AccountsCalendarsAndTheirMetadata) {
    test::TempDir dir;
    dir.write("work/account.ini", "[account]\ntype = exchange\ntitle = Work Mail\n"
                                  "emails = Me@Example.com,  other@example.com\n");
    dir.write("work/meetings/displayname", "Team Meetings\n");
    dir.write("work/meetings/color", "#FF8000\n");
    dir.write("work/holidays/calendar.ini", "type = subscription\n");
    dir.write("work/holidays/color", "#00000080");
    dir.write("home/personal/color", "not a colour");
    dir.write("home/personal/calendar.ini", "read-only = true\n");
    dir.write("bdays/account.ini", "type = birthdays\n");
    dir.write("bdays/contacts/x.ics", "");
    dir.write("mine/account.ini", "type = local\ntitle = me@home.org\n");
    dir.write("mine/todo/displayname", "  \n"); // blank: the folder name stands

    const auto layout = vdir::discover({dir.path()});
    EXPECT_EQ(layout.existingRoots, 1);
    EXPECT_EQ(layout.readableRoots, 1);
    EXPECT_TRUE(layout.unreadableFolders.empty());
    // Stable order: by account folder, then calendar folder.
    EXPECT_EQ(ids(layout), (std::vector<std::string>{"bdays/contacts", "home/personal", "mine/todo",
                                                     "work/holidays", "work/meetings"}));

    const auto* meetings = findCalendar(layout, "work/meetings");
    ASSERT_NE(meetings, nullptr);
    EXPECT_EQ(meetings->calendar->title, "Team Meetings");
    EXPECT_EQ(meetings->calendar->type, CalendarType::exchange);
    EXPECT_TRUE(meetings->calendar->allowsContentModifications);
    ASSERT_TRUE(meetings->calendar->color);
    EXPECT_EQ(meetings->calendar->color->components,
              (std::vector<double>{1.0, 128 / 255.0, 0.0, 1.0}));
    EXPECT_EQ(meetings->calendar->source->sourceIdentifier, (dir.path() / "work").string());
    EXPECT_EQ(meetings->calendar->source->sourceType, SourceType::exchange);
    EXPECT_EQ(meetings->calendar->source->title, "Work Mail");
    EXPECT_EQ(meetings->userAddresses,
              (std::vector<std::string>{"me@example.com", "other@example.com"}));
    EXPECT_EQ(meetings->folder, dir.path() / "work" / "meetings");

    const auto* holidays = findCalendar(layout, "work/holidays");
    ASSERT_NE(holidays, nullptr);
    EXPECT_EQ(holidays->calendar->type, CalendarType::subscription);
    EXPECT_FALSE(holidays->calendar->allowsContentModifications);
    EXPECT_EQ(holidays->calendar->title, "holidays");
    ASSERT_TRUE(holidays->calendar->color);
    EXPECT_DOUBLE_EQ(holidays->calendar->color->components[3], 128 / 255.0);

    // No account.ini: a CalDAV account named after its folder. An unreadable colour is none.
    const auto* personal = findCalendar(layout, "home/personal");
    ASSERT_NE(personal, nullptr);
    EXPECT_EQ(personal->calendar->type, CalendarType::calDAV);
    EXPECT_EQ(personal->calendar->source->sourceType, SourceType::calDAV);
    EXPECT_EQ(personal->calendar->source->title, "home");
    EXPECT_FALSE(personal->calendar->color);
    EXPECT_FALSE(personal->calendar->allowsContentModifications);

    const auto* contacts = findCalendar(layout, "bdays/contacts");
    ASSERT_NE(contacts, nullptr);
    EXPECT_EQ(contacts->calendar->type, CalendarType::birthday);
    EXPECT_FALSE(contacts->calendar->allowsContentModifications);

    // An account titled with an address makes that address the user's.
    const auto* todo = findCalendar(layout, "mine/todo");
    ASSERT_NE(todo, nullptr);
    EXPECT_EQ(todo->calendar->title, "todo");
    EXPECT_EQ(todo->calendar->type, CalendarType::local);
    EXPECT_EQ(todo->userAddresses, (std::vector<std::string>{"me@home.org"}));

    EXPECT_EQ(layout.sources.size(), 4u);
}

TEST(VdirLayout, WholeFileCalendarsImplicitAccountsAndSeveralRoots) {
    test::TempDir first;
    test::TempDir second;
    first.write("holidays.ics",
                "BEGIN:VCALENDAR\r\nX-WR-CALNAME:Public Holidays\r\nEND:VCALENDAR\r\n");
    first.write("export.ics", "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    first.write("acct/cal/a.ics", "");
    // vdirsyncer keeps collections directly in its storage folder.
    second.write("collection/event.ics", "");
    second.write("described/displayname", "Described");
    second.write("acct/cal/b.ics", "");

    const auto layout = vdir::discover({first.path(), second.path()});
    EXPECT_EQ(ids(layout), (std::vector<std::string>{"0:acct/cal", "0:export.ics", "0:holidays.ics",
                                                     "1:acct/cal", "1:collection", "1:described"}));
    const auto* holidays = findCalendar(layout, "0:holidays.ics");
    ASSERT_NE(holidays, nullptr);
    EXPECT_EQ(holidays->calendar->title, "Public Holidays");
    EXPECT_EQ(holidays->calendar->type, CalendarType::subscription);
    EXPECT_FALSE(holidays->calendar->allowsContentModifications);
    EXPECT_EQ(holidays->calendar->source->sourceType, SourceType::subscribed);
    EXPECT_EQ(holidays->wholeFile, "holidays.ics");
    EXPECT_EQ(holidays->folder, first.path());
    EXPECT_EQ(findCalendar(layout, "0:export.ics")->calendar->title, "export");

    const auto* collection = findCalendar(layout, "1:collection");
    const auto* described = findCalendar(layout, "1:described");
    ASSERT_NE(collection, nullptr);
    ASSERT_NE(described, nullptr);
    EXPECT_EQ(collection->calendar->source, described->calendar->source);
    EXPECT_EQ(collection->calendar->source->sourceIdentifier, second.path().string());
    EXPECT_EQ(collection->calendar->type, CalendarType::calDAV);
    EXPECT_EQ(described->calendar->title, "Described");

    // With one root the identifiers carry no prefix.
    EXPECT_EQ(ids(vdir::discover({second.path()})),
              (std::vector<std::string>{"acct/cal", "collection", "described"}));
}

TEST(VdirLayout, OddEntriesAreSkippedWithoutHanging) {
    test::TempDir dir;
    dir.write("acct/cal/good.ics", "x");
    dir.write("acct/cal/.hidden.ics", "x");
    dir.write("acct/cal/.#good.ics", "x");
    dir.write("acct/cal/good.ics.tmp", "x");
    dir.write("acct/cal/good.ics~", "x");
    dir.write("acct/cal/notes.txt", "x");
    dir.write("acct/cal/folder.ics/inner.ics", "x"); // a folder named like a file
    dir.write("acct/.hiddencal/a.ics", "x");
    dir.write(".hiddenacct/cal/a.ics", "x");
    dir.write("folder.ics/cal/a.ics", "x");
    fs::create_directory_symlink(dir.path(), dir.path() / "acct" / "loop");
    fs::create_directory_symlink(dir.path() / "acct", dir.path() / "acct" / "cal" / "up");
    fs::create_symlink(dir.path() / "self", dir.path() / "self"); // ELOOP when followed

    const auto layout = vdir::discover({dir.path()});
    // The loop to the root is followed once (as a calendar folder of "acct") and no further.
    EXPECT_EQ(ids(layout), (std::vector<std::string>{"acct/cal", "acct/loop"}));
    EXPECT_EQ(vdir::listCalendarFiles(dir.path() / "acct" / "cal"),
              (std::vector<std::string>{"good.ics"}));
    EXPECT_FALSE(vdir::statFile(dir.path() / "acct" / "cal" / "folder.ics"));
    EXPECT_FALSE(vdir::listCalendarFiles(dir.path() / "missing"));
}

TEST(VdirLayout, MissingAndUnreadableRoots) {
    test::TempDir dir;
    auto layout = vdir::discover({dir.path() / "missing"});
    EXPECT_EQ(layout.existingRoots, 0);
    EXPECT_EQ(layout.unreadableFolders,
              (std::vector<std::string>{"The folder " + (dir.path() / "missing").string() +
                                        " does not exist."}));

    // A file where a folder should be cannot be read as one, whoever runs the test.
    dir.write("plain", "x");
    layout = vdir::discover({dir.path() / "plain"});
    EXPECT_EQ(layout.existingRoots, 1);
    EXPECT_EQ(layout.readableRoots, 0);
    EXPECT_EQ(layout.unreadableFolders,
              (std::vector<std::string>{"The folder " + (dir.path() / "plain").string() +
                                        " cannot be read."}));

    if (::geteuid() != 0) {
        dir.write("locked/acct/cal/a.ics", "x");
        fs::permissions(dir.path() / "locked" / "acct", fs::perms::none);
        layout = vdir::discover({dir.path() / "locked"});
        EXPECT_EQ(layout.readableRoots, 1);
        EXPECT_TRUE(layout.calendars.empty());
        EXPECT_EQ(layout.unreadableFolders.size(), 1u);
        fs::permissions(dir.path() / "locked" / "acct", fs::perms::owner_all);
    }
}

TEST(VdirLayout, Colors) {
    EXPECT_EQ(vdir::parseColor(" #000000\n")->components, (std::vector<double>{0, 0, 0, 1}));
    EXPECT_EQ(vdir::parseColor("#ffFFff00")->components, (std::vector<double>{1, 1, 1, 0}));
    for (const char* bad :
         {"", "#", "#12345", "#1234567", "123456", "#12345G", "#123456789", "red"}) {
        EXPECT_FALSE(vdir::parseColor(bad)) << bad;
    }
}

} // namespace
} // namespace plannery
