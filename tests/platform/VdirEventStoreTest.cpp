#include "platform/VdirEventStore.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <thread>
#include <unistd.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using test::calendarText;
using test::vevent;

std::string simpleEvent(const std::string& uid, const std::string& summary,
                        const std::string& day = "20260310") {
    return calendarText(
        vevent(uid, "DTSTART:" + day + "T090000Z", "DTEND:" + day + "T100000Z", summary));
}

Instant utc(int year, int month, int day, int hour = 0, int minute = 0) {
    return test::at(test::calendarIn("UTC"), year, month, day, hour, minute);
}

VdirOptions options(const std::vector<fs::path>& roots, const fs::path& cache = {},
                    VdirOptions::Check check = VdirOptions::Check::everyFile) {
    return VdirOptions{
        .roots = roots, .cacheFile = cache, .calendar = test::berlin(), .check = check};
}

std::vector<std::string> titles(const std::vector<StoreEvent>& events) {
    std::vector<std::string> result;
    for (const auto& event : events) {
        result.push_back(event.title().value_or("?"));
    }
    return result;
}

using test::setTime;

TEST(VdirEventStore, EventsInWindowsAndByIdentifier) {
    test::TempDir dir;
    const auto berlin = test::berlin();
    dir.write("acct/cal/single.ics", simpleEvent("single", "Single"));
    dir.write("acct/cal/weekly.ics",
              calendarText(vevent("weekly", "DTSTART:20260302T080000Z", "DTEND:20260302T083000Z",
                                  "Weekly", "RRULE:FREQ=WEEKLY\r\n") +
                           vevent("weekly", "DTSTART:20260310T150000Z", "DTEND:20260310T153000Z",
                                  "Moved", "RECURRENCE-ID:20260309T080000Z\r\n")));
    dir.write("acct/cal/zero.ics", calendarText(vevent("zero", "DTSTART:20260315T120000Z",
                                                       "DTEND:20260315T120000Z", "Zero")));
    // Ends exactly when April starts in Berlin (summer time from 29 March).
    dir.write("acct/cal/edge.ics", calendarText(vevent("edge", "DTSTART:20260331T210000Z",
                                                       "DTEND:20260331T220000Z", "Edge")));
    dir.write("acct/cal/allday.ics", calendarText(vevent("allday", "DTSTART;VALUE=DATE:20260401",
                                                         "DTEND;VALUE=DATE:20260402", "AllDay")));
    dir.write("acct/other/x.ics", simpleEvent("other", "Other", "20260311"));
    dir.write(
        "subs.ics",
        calendarText(vevent("u1", "DTSTART:20260305T090000Z", "DTEND:20260305T100000Z", "Sub1") +
                     vevent("u2", "DTSTART:20260306T090000Z", "DTEND:20260306T100000Z", "Sub2")));

    VdirEventStore store(options({dir.path()}));
    EXPECT_EQ(store.authorizationStatus(), AuthorizationStatus::fullAccess);
    EXPECT_EQ(store.loadReport().filesParsed, 7);
    EXPECT_TRUE(store.loadReport().brokenFiles.empty());

    const Instant march = test::at(berlin, 2026, 3, 1);
    const Instant april = test::at(berlin, 2026, 4, 1);
    const Instant may = test::at(berlin, 2026, 5, 1);
    const auto inMarch = store.events(march, april);
    EXPECT_EQ(titles(inMarch),
              (std::vector<std::string>{"Weekly", "Sub1", "Sub2", "Single", "Moved", "Other",
                                        "Zero", "Weekly", "Weekly", "Weekly", "Edge"}));
    const auto moved = std::find_if(inMarch.begin(), inMarch.end(),
                                    [](const StoreEvent& e) { return e.title() == "Moved"; });
    ASSERT_NE(moved, inMarch.end());
    EXPECT_TRUE(moved->isDetached);
    EXPECT_EQ(moved->occurrenceDate, utc(2026, 3, 9, 8));
    EXPECT_EQ(moved->eventIdentifier(), "acct/cal/weekly.ics");
    EXPECT_EQ(inMarch[0].eventIdentifier(), "acct/cal/weekly.ics");
    EXPECT_EQ(inMarch[0].calendarItemExternalIdentifier(), "weekly");
    EXPECT_EQ(inMarch[0].calendar()->calendarIdentifier, "acct/cal");
    EXPECT_EQ(inMarch[1].eventIdentifier(), "subs.ics#u1");
    EXPECT_EQ(inMarch[1].calendar()->type, CalendarType::subscription);
    // Occurrences of one series share their content.
    EXPECT_EQ(inMarch[0].content, inMarch[7].content);
    EXPECT_EQ(inMarch[7].startDate, utc(2026, 3, 16, 8));

    EXPECT_EQ(titles(store.events(april, may)),
              (std::vector<std::string>{"AllDay", "Weekly", "Weekly", "Weekly", "Weekly"}));
    const auto zero = utc(2026, 3, 15, 12);
    EXPECT_EQ(titles(store.events(zero, zero.plus(60))), (std::vector<std::string>{"Zero"}));
    EXPECT_TRUE(store.events(zero.plus(-60), zero).empty());
    EXPECT_TRUE(store.events(april, march).empty());
    EXPECT_TRUE(store.events(march, march).empty());

    const auto calendars = store.calendars();
    ASSERT_EQ(calendars.size(), 3u);
    EXPECT_EQ(calendars[1]->calendarIdentifier, "acct/other");
    EXPECT_EQ(titles(store.events(march, april, {calendars[1], calendars[2]})),
              (std::vector<std::string>{"Sub1", "Sub2", "Other"}));
    EXPECT_EQ(store.defaultCalendarForNewEvents(), calendars[0]);

    const auto first = store.event("acct/cal/weekly.ics");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->startDate, utc(2026, 3, 2, 8));
    EXPECT_EQ(first->title(), "Weekly");
    EXPECT_TRUE(first->hasRecurrenceRules());
    const auto sub = store.event("subs.ics#u2");
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->title(), "Sub2");
    EXPECT_EQ(store.event("acct/cal/single.ics")->endDate, utc(2026, 3, 10, 10));
    EXPECT_FALSE(store.event("acct/cal/missing.ics"));
    EXPECT_FALSE(store.event("subs.ics#u3"));
    EXPECT_FALSE(store.event("acct/cal"));
    EXPECT_FALSE(store.event(""));

    StoreEvent again = *moved;
    ASSERT_TRUE(store.refresh(again));
    EXPECT_EQ(again.startDate, moved->startDate);
    EXPECT_EQ(again.title(), "Moved");
    fs::remove(dir.path() / "acct/cal/weekly.ics");
    EXPECT_FALSE(store.refresh(again));
    EXPECT_FALSE(store.save(again, Span::thisEvent).ok());
}

TEST(VdirEventStore, MarksTheCurrentUser) {
    test::TempDir dir;
    const auto cache = dir.path() / "cache" / "index.sqlite";
    const std::string people = "ORGANIZER;CN=Boss:mailto:boss@example.com\r\n"
                               "ATTENDEE;PARTSTAT=ACCEPTED:MAILTO:Me@EXAMPLE.com\r\n"
                               "ATTENDEE;PARTSTAT=NEEDS-ACTION:mailto:other@example.com\r\n";
    const std::string text = calendarText(
        vevent("m", "DTSTART:20260310T090000Z", "DTEND:20260310T100000Z", "Meeting", people));
    dir.write("root/acct/account.ini", "emails = someone@else.org, me@example.com\n");
    setTime(dir.write("root/acct/cal/m.ics", text), 1);
    dir.write("root/boss/bosscal/displayname", "Boss@Example.com");
    setTime(dir.write("root/boss/bosscal/m.ics", text), 1);
    const auto currentUsers = [](const StoreEvent& event) {
        std::vector<std::string> marked;
        if (event.organizer() && event.organizer()->isCurrentUser) {
            marked.push_back("organizer");
        }
        for (std::size_t i = 0; i < event.attendees().size(); ++i) {
            if (event.attendees()[i].isCurrentUser) {
                marked.push_back("attendee " + std::to_string(i));
            }
        }
        return marked;
    };
    {
        VdirEventStore store(options({dir.path() / "root"}, cache));
        ASSERT_TRUE(store.event("acct/cal/m.ics"));
        EXPECT_EQ(currentUsers(*store.event("acct/cal/m.ics")),
                  (std::vector<std::string>{"attendee 0"}));
        EXPECT_EQ(currentUsers(*store.event("boss/bosscal/m.ics")),
                  (std::vector<std::string>{"organizer"}));
    }
    // The marks are made when loading, so a changed account.ini counts even for cached files.
    dir.write("root/acct/account.ini", "emails = other@example.com\n");
    VdirEventStore store(options({dir.path() / "root"}, cache));
    EXPECT_EQ(store.loadReport().filesFromCache, 2);
    const auto events = store.events(utc(2026, 3, 10), utc(2026, 3, 11));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(currentUsers(events[0]), (std::vector<std::string>{"attendee 1"}));
}

TEST(VdirEventStore, AccessStatus) {
    test::TempDir dir;
    EXPECT_EQ(VdirEventStore(options({})).authorizationStatus(),
              AuthorizationStatus::notDetermined);
    EXPECT_EQ(VdirEventStore(options({dir.path() / "missing"})).authorizationStatus(),
              AuthorizationStatus::notDetermined);
    EXPECT_EQ(VdirEventStore(options({dir.path()})).authorizationStatus(),
              AuthorizationStatus::fullAccess);
    dir.write("plain", "not a folder");
    VdirEventStore onFile(options({dir.path() / "plain"}));
    EXPECT_EQ(onFile.authorizationStatus(), AuthorizationStatus::denied);
    EXPECT_EQ(onFile.loadReport().unreadableRoots,
              (std::vector<std::string>{"The folder " + (dir.path() / "plain").string() +
                                        " cannot be read."}));
    if (::geteuid() != 0) {
        fs::create_directory(dir.path() / "locked");
        fs::permissions(dir.path() / "locked", fs::perms::none);
        EXPECT_EQ(VdirEventStore(options({dir.path() / "locked"})).authorizationStatus(),
                  AuthorizationStatus::denied);
        fs::permissions(dir.path() / "locked", fs::perms::owner_all);
    }

    // Asking for access creates the default root with one local calendar, and adds the
    // calendars khal is configured with.
    dir.write("config/khal/config",
              "[calendars]\n[[work]]\npath = " + (dir.path() / "synced" / "work").string() + "\n");
    dir.write("synced/work/a.ics", simpleEvent("a", "Synced"));
    const auto setVariable = [](const char* name, const fs::path& value) {
        const char* saved = std::getenv(name);
        std::optional<std::string> previous;
        if (saved != nullptr) {
            previous = saved;
        }
        ::setenv(name, value.c_str(), 1);
        return previous;
    };
    const auto restore = [](const char* name, const std::optional<std::string>& previous) {
        if (previous) {
            ::setenv(name, previous->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    };
    const auto dataHome = setVariable("XDG_DATA_HOME", dir.path() / "data");
    const auto configHome = setVariable("XDG_CONFIG_HOME", dir.path() / "config");
    auto settings = options({});
    std::vector<fs::path> kept;
    settings.rootsChanged = [&](const std::vector<fs::path>& roots) { kept = roots; };
    VdirEventStore store(settings);
    int answers = 0;
    bool granted = false;
    store.requestFullAccessToEvents([&](bool answer) {
        ++answers;
        granted = answer;
    });
    const auto root = VdirEventStore::defaultRoot();
    restore("XDG_DATA_HOME", dataHome);
    restore("XDG_CONFIG_HOME", configHome);
    EXPECT_EQ(root, dir.path() / "data" / "plannery" / "calendars");
    EXPECT_EQ(answers, 1);
    EXPECT_TRUE(granted);
    EXPECT_EQ(store.authorizationStatus(), AuthorizationStatus::fullAccess);
    EXPECT_EQ(kept, (std::vector<fs::path>{root, dir.path() / "synced"}));
    ASSERT_EQ(store.calendars().size(), 2u);
    const auto calendar = store.calendars()[0];
    EXPECT_EQ(calendar->calendarIdentifier, "0:local/Calendar");
    EXPECT_EQ(calendar->title, "Calendar");
    EXPECT_EQ(calendar->type, CalendarType::local);
    EXPECT_EQ(calendar->source->sourceType, SourceType::local);
    EXPECT_EQ(calendar->source->title, "local");
    EXPECT_EQ(store.defaultCalendarForNewEvents(), calendar);
    EXPECT_TRUE(fs::is_regular_file(root / "local" / "account.ini"));
    EXPECT_EQ(store.calendars()[1]->title, "work");
}

TEST(VdirEventStore, CacheFollowsFileChanges) {
    test::TempDir dir;
    const auto root = dir.path() / "root";
    const auto folder = root / "acct" / "cal";
    const auto cache = dir.path() / "index.sqlite";
    setTime(dir.write("root/acct/cal/a.ics", simpleEvent("a", "Alpha1")), 1);
    setTime(dir.write("root/acct/cal/b.ics", simpleEvent("b", "Bravo")), 1);
    setTime(dir.write("root/acct/cal/c.ics", simpleEvent("c", "Charlie")), 1);
    setTime(dir.write("root/acct/cal/broken.ics", "this is not a calendar"), 1);
    const auto window = [] { return std::pair{utc(2026, 3, 1), utc(2026, 4, 1)}; };
    const auto open = [&](std::vector<std::string> expected, int parsed, int cached) {
        VdirEventStore store(options({root}, cache));
        const auto [from, to] = window();
        auto found = titles(store.events(from, to));
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected);
        EXPECT_EQ(store.loadReport().filesParsed, parsed);
        EXPECT_EQ(store.loadReport().filesFromCache, cached);
        EXPECT_EQ(store.loadReport().brokenFiles,
                  (std::vector<std::string>{(folder / "broken.ics").string()}));
    };
    open({"Alpha1", "Bravo", "Charlie"}, 4, 0);
    open({"Alpha1", "Bravo", "Charlie"}, 0, 4);

    // Same size, replaced by rename as sync tools do.
    setTime(dir.write("root/acct/cal/.a.tmp", simpleEvent("a", "Alpha2")), 2);
    fs::rename(folder / ".a.tmp", folder / "a.ics");
    open({"Alpha2", "Bravo", "Charlie"}, 1, 3);

    fs::remove(folder / "b.ics");
    open({"Alpha2", "Charlie"}, 0, 3);
    setTime(dir.write("root/acct/cal/d.ics", simpleEvent("d", "Delta")), 3);
    open({"Alpha2", "Charlie", "Delta"}, 1, 3);
    fs::rename(folder / "c.ics", folder / "e.ics");
    open({"Alpha2", "Charlie", "Delta"}, 1, 3);
    EXPECT_TRUE(VdirEventStore(options({root}, cache)).event("acct/cal/e.ics"));
    EXPECT_FALSE(VdirEventStore(options({root}, cache)).event("acct/cal/c.ics"));

    // A damaged cache is never trusted: it is rebuilt from the files.
    dir.write("index.sqlite", std::string(4096, '\x7f'));
    open({"Alpha2", "Charlie", "Delta"}, 4, 0);
    open({"Alpha2", "Charlie", "Delta"}, 0, 4);

    // Without a cache every start parses everything.
    VdirEventStore uncached(options({root}));
    EXPECT_EQ(uncached.loadReport().filesParsed, 4);
    EXPECT_EQ(uncached.events(utc(2026, 3, 1), utc(2026, 4, 1)).size(), 3u);
}

TEST(VdirEventStore, FilesRewrittenInPlaceAreSeen) {
    test::TempDir dir;
    const auto root = dir.path() / "root";
    const auto folder = root / "acct" / "cal";
    const auto cache = dir.path() / "index.sqlite";
    const auto file = dir.write("root/acct/cal/a.ics", simpleEvent("a", "One"));
    setTime(file, 100);
    setTime(folder, 50);
    const auto titleWith = [&](VdirOptions::Check check) {
        VdirEventStore store(options({root}, cache, check));
        const auto event = store.event("acct/cal/a.ics");
        return std::pair{event ? event->title().value_or("") : "",
                         store.loadReport().filesFromCache};
    };
    EXPECT_EQ(titleWith(VdirOptions::Check::everyFile), (std::pair<std::string, int>{"One", 0}));

    // Rewritten in place: same size and inode, and the folder's time put back as it was. Only
    // the quick look (that the app follows with a full check) trusts the folder's time.
    dir.write("root/acct/cal/a.ics", simpleEvent("a", "Two"));
    setTime(file, 200);
    setTime(folder, 50);
    EXPECT_EQ(titleWith(VdirOptions::Check::changedFolders),
              (std::pair<std::string, int>{"One", 1}));
    EXPECT_EQ(titleWith(VdirOptions::Check::everyFile), (std::pair<std::string, int>{"Two", 0}));
    EXPECT_EQ(titleWith(VdirOptions::Check::everyFile), (std::pair<std::string, int>{"Two", 1}));
    EXPECT_EQ(titleWith(VdirOptions::Check::changedFolders),
              (std::pair<std::string, int>{"Two", 1}));

    // Written again just now, and once more within the same tick of the file system's clock:
    // size, inode and time all stay the same, and the content still tells.
    dir.write("root/acct/cal/a.ics", simpleEvent("a", "Six"));
    VdirEventStore store(options({root}, cache));
    EXPECT_EQ(store.event("acct/cal/a.ics")->title(), "Six");
    const auto time = fs::last_write_time(file);
    dir.write("root/acct/cal/a.ics", simpleEvent("a", "Ten"));
    fs::last_write_time(file, time);
    EXPECT_TRUE(store.reloadIfChanged());
    EXPECT_EQ(store.event("acct/cal/a.ics")->title(), "Ten");
    EXPECT_FALSE(store.reloadIfChanged());
    // Never kept in the cache as the first version: new starts read the last one.
    EXPECT_EQ(titleWith(VdirOptions::Check::everyFile).first, "Ten");
    EXPECT_EQ(titleWith(VdirOptions::Check::changedFolders).first, "Ten");
}

TEST(VdirEventStore, RemembersValuesUntilACalendarChanges) {
    test::TempDir dir;
    const auto root = dir.path() / "root";
    const auto cache = dir.path() / "index.sqlite";
    const auto file = dir.write("root/acct/cal/a.ics", simpleEvent("a", "One"));
    setTime(file, 100);
    const auto remembered = [&] {
        return VdirEventStore(options({root}, cache)).remembered("groups");
    };
    VdirEventStore(options({root}, cache)).remember("groups", std::string("a\0b", 3));
    EXPECT_EQ(remembered(), std::string("a\0b", 3));
    EXPECT_FALSE(VdirEventStore(options({root}, cache)).remembered("other"));

    // Any change of a file or a calendar forgets it.
    dir.write("root/acct/cal/a.ics", simpleEvent("a", "Two"));
    setTime(file, 200);
    EXPECT_FALSE(remembered());
    VdirEventStore(options({root}, cache)).remember("groups", "new");
    EXPECT_EQ(remembered(), "new");
    dir.write("root/acct/cal/displayname", "Work");
    EXPECT_FALSE(remembered());
    VdirEventStore(options({root}, cache)).remember("groups", "new");
    EXPECT_FALSE(VdirEventStore(options({root / "acct"}, cache)).remembered("groups"))
        << "other roots";

    // Nor is anything kept while a file has just changed and may change unseen.
    dir.write("root/acct/cal/a.ics", simpleEvent("a", "Six"));
    VdirEventStore(options({root}, cache)).remember("groups", "racy");
    EXPECT_FALSE(remembered());
}

TEST(VdirEventStore, UnreadableFilesAreReportedAndSkipped) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop the superuser from reading";
    }
    test::TempDir dir;
    dir.write("acct/cal/good.ics", simpleEvent("g", "Good"));
    const auto locked = dir.write("acct/cal/locked.ics", simpleEvent("l", "Locked"));
    fs::permissions(locked, fs::perms::none);
    const auto cache = dir.path() / "cache.sqlite";
    for (int start = 0; start < 2; ++start) {
        VdirEventStore store(options({dir.path()}, cache));
        EXPECT_EQ(store.loadReport().brokenFiles, (std::vector<std::string>{locked.string()}));
        EXPECT_EQ(titles(store.events(utc(2026, 3, 1), utc(2026, 4, 1))),
                  (std::vector<std::string>{"Good"}));
    }
    // Tried again at every start: readable now, it appears.
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_write);
    VdirEventStore store(options({dir.path()}, cache));
    EXPECT_TRUE(store.loadReport().brokenFiles.empty());
    EXPECT_EQ(store.events(utc(2026, 3, 1), utc(2026, 4, 1)).size(), 2u);
}

TEST(VdirEventStore, TwoStoresOpenOneCacheAtOnce) {
    test::TempDir dir;
    for (int i = 0; i < 40; ++i) {
        dir.write("root/acct/cal/e" + std::to_string(i) + ".ics",
                  simpleEvent("e" + std::to_string(i), "E" + std::to_string(i),
                              "202603" + std::string(i % 28 < 9 ? "0" : "") +
                                  std::to_string(i % 28 + 1)));
    }
    const auto cache = dir.path() / "index.sqlite";
    std::size_t counts[2] = {0, 0};
    const auto work = [&](int who) {
        for (int round = 0; round < 3; ++round) {
            VdirEventStore store(options({dir.path() / "root"}, cache));
            counts[who] += store.events(utc(2026, 3, 1), utc(2026, 4, 1)).size();
        }
    };
    std::thread other(work, 1);
    work(0);
    other.join();
    EXPECT_EQ(counts[0], 120u);
    EXPECT_EQ(counts[1], 120u);
}

TEST(VdirEventStore, SnapshotIsIndependent) {
    test::TempDir dir;
    dir.write("acct/cal/w.ics",
              calendarText(vevent("w", "DTSTART:20260302T080000Z", "DTEND:20260302T083000Z",
                                  "Weekly", "RRULE:FREQ=WEEKLY;COUNT=30\r\n")));
    dir.write("acct/cal/s.ics", simpleEvent("s", "Single"));
    auto store = std::make_unique<VdirEventStore>(options({dir.path()}, dir.path() / "c.sqlite"));
    const auto from = utc(2026, 1, 1);
    const auto to = utc(2027, 1, 1);
    const auto expected = titles(store->events(from, to));
    ASSERT_EQ(expected.size(), 31u);
    auto snapshot = store->snapshot();
    std::vector<std::string> onMain;
    std::vector<std::string> onOther;
    std::thread other([&] {
        for (int i = 0; i < 20; ++i) {
            onOther = titles(snapshot->events(from, to));
        }
    });
    for (int i = 0; i < 20; ++i) {
        onMain = titles(store->events(from, to));
    }
    other.join();
    EXPECT_EQ(onMain, expected);
    EXPECT_EQ(onOther, expected);
    // It outlives the store it came from.
    store.reset();
    EXPECT_EQ(titles(snapshot->events(from, to)), expected);
    EXPECT_EQ(snapshot->calendars().size(), 1u);
    EXPECT_TRUE(snapshot->event("acct/cal/s.ics"));
}

TEST(VdirEventStore, CorpusLoadsWithoutTrouble) {
    test::TempDir dir;
    fs::create_directories(dir.path() / "acct");
    fs::create_directory_symlink(PLANNERY_CORPUS, dir.path() / "acct" / "corpus");
    VdirEventStore store(options({dir.path()}, dir.path() / "c.sqlite"));
    const auto files = store.loadReport().filesParsed;
    EXPECT_GT(files, 50);
    const auto events = store.events(utc(2000, 1, 1), utc(2031, 1, 1));
    EXPECT_FALSE(events.empty());
    std::set<std::string> identifiers;
    for (const auto& event : events) {
        identifiers.insert(event.eventIdentifier());
    }
    for (const auto& identifier : identifiers) {
        EXPECT_TRUE(store.event(identifier)) << identifier;
    }
    VdirEventStore warm(options({dir.path()}, dir.path() / "c.sqlite"));
    EXPECT_EQ(warm.loadReport().filesFromCache, files);
    EXPECT_EQ(warm.events(utc(2000, 1, 1), utc(2031, 1, 1)).size(), events.size());
}

} // namespace
} // namespace plannery
