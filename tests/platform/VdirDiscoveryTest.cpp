#include "platform/VdirDiscovery.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace plannery {
namespace {

namespace fs = std::filesystem;

const vdir::CalendarLocation* findCalendar(const vdir::Layout& layout, const fs::path& folder) {
    const auto found =
        std::find_if(layout.calendars.begin(), layout.calendars.end(), [&](const auto& c) {
            return c.calendar->calendarIdentifier == folder.string();
        });
    return found == layout.calendars.end() ? nullptr : &*found;
}

// Each calendar as "folder below the root: title (account title)".
std::vector<std::string> described(const vdir::Layout& layout, const fs::path& root) {
    std::vector<std::string> result;
    for (const auto& c : layout.calendars) {
        const auto relative = fs::path(c.calendar->calendarIdentifier).lexically_relative(root);
        result.push_back(relative.string() + ": " + c.calendar->title + " (" +
                         c.calendar->source->title + ")");
    }
    return result;
}

bool mentions(const std::vector<std::string>& sentences, const std::string& part) {
    return std::any_of(sentences.begin(), sentences.end(),
                       [&](const std::string& s) { return s.find(part) != std::string::npos; });
}

// Every entry below a folder with its size and modification time.
std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> snapshot(const fs::path& dir) {
    std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> entries;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        std::error_code error;
        entries[entry.path().string()] = {entry.is_regular_file(error) ? entry.file_size(error) : 0,
                                          entry.symlink_status(error).type() ==
                                                  fs::file_type::symlink
                                              ? fs::file_time_type{}
                                              : entry.last_write_time(error)};
    }
    return entries;
}

TEST(VdirDiscovery, AccountsCalendarsAndTheirMetadata) {
    test::TempDir dir;
    dir.write("work/account.ini", "[account]\ntype = exchange\ntitle = Work Mail\n"
                                  "emails = Me@Example.com,  other@example.com\n");
    dir.write("work/meetings/displayname", "Team Meetings\n");
    dir.write("work/meetings/color", "#FF8000\n");
    dir.write("work/holidays/calendar.ini", "type = subscription\n");
    dir.write("work/holidays/color", "#00000080");
    dir.write("home/personal/color", "#123");
    dir.write("home/personal/calendar.ini", "read-only = true\ndefault = yes\n");
    dir.write("bdays/account.ini", "type = birthdays\n");
    dir.write("bdays/contacts/x.ics", "");
    dir.write("mine/account.ini", "type = local\ntitle = me@home.org\n");
    dir.write("mine/todo/displayname", "  \n"); // blank: the folder name stands

    const auto layout = vdir::discover({dir.path()});
    EXPECT_EQ(layout.existingRoots, 1);
    EXPECT_EQ(layout.readableRoots, 1);
    EXPECT_TRUE(layout.unreadableFolders.empty());
    EXPECT_TRUE(layout.notes.empty()) << layout.notes.front();
    // By identifier: the absolute path of the folder.
    EXPECT_EQ(described(layout, dir.path()),
              (std::vector<std::string>{
                  "bdays/contacts: contacts (bdays)", "home/personal: personal (home)",
                  "mine/todo: todo (me@home.org)", "work/holidays: holidays (Work Mail)",
                  "work/meetings: Team Meetings (Work Mail)"}));

    const auto* meetings = findCalendar(layout, dir.path() / "work/meetings");
    ASSERT_NE(meetings, nullptr);
    EXPECT_EQ(meetings->calendar->type, CalendarType::exchange);
    EXPECT_TRUE(meetings->calendar->allowsContentModifications);
    ASSERT_TRUE(meetings->calendar->color);
    EXPECT_EQ(meetings->calendar->color->components,
              (std::vector<double>{1.0, 128 / 255.0, 0.0, 1.0}));
    EXPECT_EQ(meetings->calendar->source->sourceIdentifier, (dir.path() / "work").string());
    EXPECT_EQ(meetings->calendar->source->sourceType, SourceType::exchange);
    EXPECT_EQ(meetings->accountAddresses,
              (std::vector<std::string>{"me@example.com", "other@example.com"}));
    EXPECT_EQ(meetings->folder, dir.path() / "work" / "meetings");

    const auto* holidays = findCalendar(layout, dir.path() / "work/holidays");
    ASSERT_NE(holidays, nullptr);
    EXPECT_EQ(holidays->calendar->type, CalendarType::subscription);
    EXPECT_FALSE(holidays->calendar->allowsContentModifications);
    ASSERT_TRUE(holidays->calendar->color);
    EXPECT_DOUBLE_EQ(holidays->calendar->color->components[3], 128 / 255.0);

    // No account.ini: a CalDAV account named after its folder.
    const auto* personal = findCalendar(layout, dir.path() / "home/personal");
    ASSERT_NE(personal, nullptr);
    EXPECT_EQ(personal->calendar->type, CalendarType::calDAV);
    EXPECT_EQ(personal->calendar->source->sourceType, SourceType::calDAV);
    EXPECT_EQ(personal->calendar->color->components,
              (std::vector<double>{17 / 255.0, 34 / 255.0, 51 / 255.0, 1.0}));
    EXPECT_FALSE(personal->calendar->allowsContentModifications);
    EXPECT_TRUE(personal->isDefault);

    EXPECT_EQ(findCalendar(layout, dir.path() / "bdays/contacts")->calendar->type,
              CalendarType::birthday);
    // An account titled with an address makes that address the user's.
    const auto* todo = findCalendar(layout, dir.path() / "mine/todo");
    EXPECT_EQ(todo->calendar->type, CalendarType::local);
    EXPECT_EQ(todo->accountAddresses, (std::vector<std::string>{"me@home.org"}));

    ASSERT_EQ(layout.sources.size(), 4u);
    EXPECT_EQ(layout.sources[0]->sourceIdentifier, (dir.path() / "bdays").string());
}

// vdirsyncer writes <storage>/<collection>/<UID>.ics with `displayname` and `color` beside them,
// creates a collection before its first event, and writes no account.ini; khal reads one
// collection (`path =`) or a pattern of them (`type = discover`).
TEST(VdirDiscovery, LayoutsThatSyncToolsWrite) {
    test::TempDir dir;
    const fs::path accounts = dir.path() / "calendars";
    dir.write("calendars/fastmail/personal/a1.ics", "x");
    dir.write("calendars/fastmail/personal/displayname", "Personal");
    dir.write("calendars/fastmail/personal/color", "#3A87ADFF");
    dir.write("calendars/fastmail/empty-yet/.keep", ""); // hidden files do not count
    dir.write("calendars/google/ann@gmail.com/g1.ics", "x");
    dir.write("calendars/google/ann@gmail.com/color", "#039be5ff\n");
    fs::create_directories(accounts / "nextcloud" / "work"); // an account with only empty ones
    dir.write("calendars/.vdirsyncer/status/x.ics", "x");    // a sync tool's own state
    const auto layout = vdir::discover({accounts});
    EXPECT_EQ(described(layout, accounts),
              (std::vector<std::string>{"fastmail/empty-yet: empty-yet (fastmail)",
                                        "fastmail/personal: Personal (fastmail)",
                                        "google/ann@gmail.com: ann@gmail.com (google)",
                                        "nextcloud/work: work (nextcloud)"}));
    const auto* google = findCalendar(layout, accounts / "google/ann@gmail.com");
    EXPECT_EQ(google->calendar->color->components,
              (std::vector<double>{3 / 255.0, 155 / 255.0, 229 / 255.0, 1.0}));
    EXPECT_EQ(google->calendar->source->sourceType, SourceType::calDAV);

    // A root that is one collection (khal's `path = ~/.calendars/home/`, vdirsyncer with
    // `collections = null`): one calendar with all its files, named after the root folder.
    dir.write("home/e1.ics", "x");
    dir.write("home/e2.ics", "x");
    dir.write("home/displayname", "Home");
    EXPECT_EQ(described(vdir::discover({dir.path() / "home"}), dir.path() / "home"),
              std::vector<std::string>{".: Home (home)"});
    dir.write("plain/e1.ics", "x");
    EXPECT_EQ(described(vdir::discover({dir.path() / "plain"}), dir.path() / "plain"),
              std::vector<std::string>{".: plain (plain)"});
    // An empty root is one empty calendar, as a collection is before its first event.
    fs::create_directories(dir.path() / "fresh");
    EXPECT_EQ(described(vdir::discover({dir.path() / "fresh"}), dir.path() / "fresh"),
              std::vector<std::string>{".: fresh (fresh)"});
    // A root whose one account has only collections that are still empty.
    fs::create_directories(dir.path() / "new" / "acct" / "one");
    fs::create_directories(dir.path() / "new" / "acct" / "two");
    EXPECT_EQ(described(vdir::discover({dir.path() / "new"}), dir.path() / "new"),
              (std::vector<std::string>{"acct/one: one (acct)", "acct/two: two (acct)"}));

    // Collections three levels down, and at the deepest level read; deeper ones are not read.
    dir.write("deep/sync/acct/cal/e.ics", "x");
    dir.write("deep/a/b/c/cal/e.ics", "x");
    dir.write("deep/v/w/x/y/cal/e.ics", "x");
    EXPECT_EQ(described(vdir::discover({dir.path() / "deep"}), dir.path() / "deep"),
              (std::vector<std::string>{"a/b/c/cal: cal (c)", "sync/acct/cal: cal (acct)"}));
}

TEST(VdirDiscovery, WholeFileCalendarsAndSeveralRoots) {
    test::TempDir first;
    test::TempDir second;
    first.write("holidays.ics",
                "BEGIN:VCALENDAR\r\nX-WR-CALNAME:Public Holidays\r\nEND:VCALENDAR\r\n");
    first.write("acct/cal/a.ics", "");
    second.write("collection/event.ics", "");
    second.write("described/displayname", "Described");
    second.write("acct/cal/b.ics", "");

    const auto one = vdir::discover({first.path()});
    const auto both = vdir::discover({second.path(), first.path()});
    // Beside accounts, a root's .ics files are calendars kept in one file.
    const auto* holidays = findCalendar(both, first.path() / "holidays.ics");
    ASSERT_NE(holidays, nullptr);
    EXPECT_EQ(holidays->calendar->title, "Public Holidays");
    EXPECT_EQ(holidays->calendar->type, CalendarType::subscription);
    EXPECT_FALSE(holidays->calendar->allowsContentModifications);
    EXPECT_EQ(holidays->calendar->source->sourceType, SourceType::subscribed);
    EXPECT_EQ(holidays->wholeFile, "holidays.ics");
    EXPECT_EQ(holidays->folder, first.path());

    // Collections directly in a root share one account named after the root.
    const auto* collection = findCalendar(both, second.path() / "collection");
    const auto* described = findCalendar(both, second.path() / "described");
    ASSERT_NE(collection, nullptr);
    ASSERT_NE(described, nullptr);
    EXPECT_EQ(collection->calendar->source, described->calendar->source);
    EXPECT_EQ(collection->calendar->source->sourceIdentifier, second.path().string());
    EXPECT_EQ(collection->calendar->source->title, second.path().filename().string());

    // A second root, in any order, renames no calendar of the first.
    for (const auto& location : one.calendars) {
        EXPECT_NE(findCalendar(both, location.calendar->calendarIdentifier), nullptr)
            << location.calendar->calendarIdentifier;
    }
    const auto reordered = vdir::discover({first.path(), second.path()});
    ASSERT_EQ(reordered.calendars.size(), both.calendars.size());
    for (std::size_t i = 0; i < both.calendars.size(); ++i) {
        EXPECT_EQ(reordered.calendars[i].calendar->calendarIdentifier,
                  both.calendars[i].calendar->calendarIdentifier);
    }

    // Overlapping roots list each calendar once, read from the root highest up.
    const auto overlapping = vdir::discover({first.path() / "acct" / "cal", first.path()});
    EXPECT_EQ(overlapping.calendars.size(), one.calendars.size());
    EXPECT_EQ(findCalendar(overlapping, first.path() / "acct/cal")->calendar->source->title,
              "acct");
}

TEST(VdirDiscovery, LinksAreFollowedOnceAndNeverRoundInALoop) {
    test::TempDir dir;
    dir.write("elsewhere/shared/e.ics", "x");
    dir.write("elsewhere/other/e.ics", "x");
    dir.write("root/acct/cal/e.ics", "x");
    fs::create_directory_symlink(dir.path() / "elsewhere", dir.path() / "root" / "linked");
    fs::create_directory_symlink(dir.path() / "root", dir.path() / "root" / "acct" / "loop");
    fs::create_directory_symlink(dir.path() / "root" / "acct", dir.path() / "elsewhere" / "back");
    fs::create_symlink(dir.path() / "root" / "self", dir.path() / "root" / "self");
    // The same calendar by a link and directly: listed once, by the path without links.
    fs::create_directory_symlink(dir.path() / "root" / "acct" / "cal",
                                 dir.path() / "root" / "acct" / "alias");

    const auto root = dir.path() / "root";
    const auto layout = vdir::discover({root});
    EXPECT_EQ(described(layout, root),
              (std::vector<std::string>{"acct/cal: cal (acct)", "linked/other: other (linked)",
                                        "linked/shared: shared (linked)"}));
    EXPECT_TRUE(mentions(layout.notes, (root / "acct" / "loop").string() + " leads back to"));
    EXPECT_TRUE(mentions(layout.notes, (root / "self").string() + " leads round in a loop"));
}

TEST(VdirDiscovery, BadInputIsReadSafelyWithASentenceAndLeftAsItIs) {
    test::TempDir dir;
    const fs::path root = dir.path() / "root";
    dir.write("root/acct/big/color", std::string(1024 * 1024, 'f'));
    dir.write("root/acct/big/e.ics", "x");
    dir.write("root/acct/rgb/color", "rgb(1,2,3)\n");
    dir.write("root/acct/rgb/displayname", "Line one\nline two\r\n");
    dir.write("root/acct/latin/displayname", "Caf\xE9 \xFF");
    dir.write("root/acct/account.ini", "type = gmail\nemail = me@example.com\nemails = not-one\n");
    fs::create_directories(root / "many");
    for (int i = 0; i < 40; ++i) {
        fs::create_directories(root / "many" / std::to_string(100 + i));
    }
    const auto before = snapshot(dir.path());

    const auto layout = vdir::discover({root}, {.foldersPerRoot = 30, .calendars = 1000});
    EXPECT_EQ(snapshot(dir.path()), before);
    const auto* big = findCalendar(layout, root / "acct/big");
    ASSERT_NE(big, nullptr);
    EXPECT_FALSE(big->calendar->color);
    EXPECT_TRUE(mentions(layout.notes,
                         (root / "acct/big/color").string() + " is too large to hold a colour"));
    const auto* rgb = findCalendar(layout, root / "acct/rgb");
    ASSERT_NE(rgb, nullptr);
    EXPECT_FALSE(rgb->calendar->color);
    EXPECT_EQ(rgb->calendar->title, "Line one line two");
    EXPECT_TRUE(mentions(layout.notes, "holds \u201Crgb(1,2,3)\u201D, which is not a colour"));
    EXPECT_EQ(findCalendar(layout, root / "acct/latin")->calendar->title, "Caf\u00E9 \u00FF");
    EXPECT_EQ(big->calendar->source->sourceType, SourceType::calDAV);
    EXPECT_TRUE(big->accountAddresses.empty());
    EXPECT_TRUE(mentions(layout.notes, "names the type \u201Cgmail\u201D"));
    EXPECT_TRUE(mentions(layout.notes, "has the setting \u201Cemail\u201D"));
    EXPECT_TRUE(mentions(layout.notes, "lists \u201Cnot-one\u201D under emails"));
    // Past the limit the rest is left out, with a sentence.
    EXPECT_TRUE(mentions(layout.notes, "holds more than 30 folders"));

    // A root that is a file, a missing root and one that cannot be read.
    dir.write("plain", "x");
    auto odd = vdir::discover({dir.path() / "plain", dir.path() / "missing"});
    EXPECT_EQ(odd.existingRoots, 1);
    EXPECT_EQ(odd.readableRoots, 0);
    EXPECT_EQ(odd.unreadableFolders,
              (std::vector<std::string>{"The folder " + (dir.path() / "plain").string() +
                                            " is a file, not a folder of calendars.",
                                        "The folder " + (dir.path() / "missing").string() +
                                            " does not exist."}));
    // A folder that cannot be read (as a lost+found at a disk's root) is skipped with a
    // sentence and the rest is read; the check runs where permission bits bind.
    test::asUnprivilegedUser(dir.path(), [&] {
        fs::permissions(root / "acct", fs::perms::none);
        const auto skipped = vdir::discover({root});
        EXPECT_EQ(skipped.readableRoots, 1);
        EXPECT_TRUE(skipped.unreadableFolders.empty());
        EXPECT_TRUE(mentions(skipped.notes, "The folder " + (root / "acct").string() +
                                                " cannot be read. It was skipped"));
        EXPECT_NE(findCalendar(skipped, root / "many/100"), nullptr);
        fs::permissions(root / "acct", fs::perms::owner_all);
    });
}

TEST(VdirDiscovery, TooManyCalendarsAreCutWithASentence) {
    test::TempDir dir;
    for (int i = 0; i < 5; ++i) {
        dir.write("acct/cal" + std::to_string(i) + "/e.ics", "x");
    }
    const auto layout = vdir::discover({dir.path()}, {.foldersPerRoot = 100, .calendars = 3});
    EXPECT_EQ(described(layout, dir.path()),
              (std::vector<std::string>{"acct/cal0: cal0 (acct)", "acct/cal1: cal1 (acct)",
                                        "acct/cal2: cal2 (acct)"}));
    EXPECT_TRUE(mentions(layout.notes, "more than 3 calendars"));
}

} // namespace
} // namespace plannery
