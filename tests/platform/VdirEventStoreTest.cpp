#include "platform/VdirEventStore.h"

#include "model/EventFetcher.h"

#include "TestSupport.h"
#include "model/EventFetcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
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

// An identifier below the folder: the path of a calendar or an event's file.
std::string id(const test::TempDir& dir, const std::string& below) {
    return (dir.path() / below).string();
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
    EXPECT_EQ(moved->eventIdentifier(), id(dir, "acct/cal/weekly.ics"));
    EXPECT_EQ(inMarch[0].eventIdentifier(), id(dir, "acct/cal/weekly.ics"));
    EXPECT_EQ(inMarch[0].calendarItemExternalIdentifier(), "weekly");
    EXPECT_EQ(inMarch[0].calendar()->calendarIdentifier, id(dir, "acct/cal"));
    EXPECT_EQ(inMarch[1].eventIdentifier(), id(dir, "subs.ics") + "#u1");
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
    EXPECT_EQ(calendars[1]->calendarIdentifier, id(dir, "acct/other"));
    EXPECT_EQ(titles(store.events(march, april, {calendars[1], calendars[2]})),
              (std::vector<std::string>{"Sub1", "Sub2", "Other"}));
    EXPECT_EQ(store.defaultCalendarForNewEvents(), calendars[0]);

    const auto first = store.event(id(dir, "acct/cal/weekly.ics"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->startDate, utc(2026, 3, 2, 8));
    EXPECT_EQ(first->title(), "Weekly");
    EXPECT_TRUE(first->hasRecurrenceRules());
    const auto sub = store.event(id(dir, "subs.ics") + "#u2");
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->title(), "Sub2");
    EXPECT_EQ(store.event(id(dir, "acct/cal/single.ics"))->endDate, utc(2026, 3, 10, 10));
    EXPECT_FALSE(store.event(id(dir, "acct/cal/missing.ics")));
    EXPECT_FALSE(store.event(id(dir, "subs.ics") + "#u3"));
    EXPECT_FALSE(store.event(id(dir, "acct/cal")));
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
        ASSERT_TRUE(store.event(id(dir, "root/acct/cal/m.ics")));
        EXPECT_EQ(currentUsers(*store.event(id(dir, "root/acct/cal/m.ics"))),
                  (std::vector<std::string>{"attendee 0"}));
        EXPECT_EQ(currentUsers(*store.event(id(dir, "root/boss/bosscal/m.ics"))),
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

// A plain vdirsyncer account: no account.ini, so the user is the address that takes part in
// most of its events with attendees.
TEST(VdirEventStore, RecognisesTheUserOnAccountsThatNameNoAddress) {
    test::TempDir dir;
    const auto root = dir.path() / "root";
    const auto cache = dir.path() / "index.sqlite";
    const char* answers[] = {"ACCEPTED",     "ACCEPTED",  "DECLINED",
                             "NEEDS-ACTION", "TENTATIVE", "ACCEPTED"};
    for (int i = 0; i < 6; ++i) {
        const std::string day = "2026031" + std::to_string(i);
        const std::string organizer = i % 2 == 0 ? "bob@example.com" : "carol@example.com";
        setTime(
            dir.write("root/fastmail/personal/e" + std::to_string(i) + ".ics",
                      calendarText(vevent("e" + std::to_string(i), "DTSTART:" + day + "T090000Z",
                                          "DTEND:" + day + "T100000Z", "Event " + std::to_string(i),
                                          "ORGANIZER:mailto:" + organizer + "\r\n" +
                                              "ATTENDEE;PARTSTAT=" + answers[i] +
                                              ":mailto:Me@Example.com\r\n"
                                              "ATTENDEE;PARTSTAT=ACCEPTED:mailto:" +
                                              organizer + "\r\n"))),
            1);
    }
    setTime(
        dir.write("root/fastmail/personal/alone.ics", simpleEvent("alone", "Alone", "20260316")),
        1);
    // A second collection of the same account counts with the first.
    setTime(dir.write("root/fastmail/family/f.ics",
                      calendarText(vevent("f", "DTSTART:20260317T090000Z", "DTEND:20260317T100000Z",
                                          "Family",
                                          "ATTENDEE;PARTSTAT=DECLINED:mailto:me@example.com\r\n"))),
            1);
    const auto declined = [&](const EventStore& store) {
        std::vector<std::string> hidden;
        const auto all = titles(store.events(utc(2026, 3, 10), utc(2026, 3, 18)));
        const auto shown = EventFetcher::fetch(store, utc(2026, 3, 10), utc(2026, 3, 18),
                                               FetchOptions{}, test::berlin());
        for (const auto& title : all) {
            if (std::none_of(shown.begin(), shown.end(),
                             [&](const CalEvent& e) { return e.title == title; })) {
                hidden.push_back(title);
            }
        }
        return hidden;
    };
    const std::map<std::string, std::string> found{
        {(root / "fastmail").string(), "me@example.com"}};
    {
        VdirEventStore store(options({root}, cache));
        EXPECT_EQ(store.foundAddresses(), found);
        EXPECT_EQ(declined(store), (std::vector<std::string>{"Event 2", "Family"}));
        const auto unanswered = store.event(id(dir, "root/fastmail/personal/e3.ics"));
        ASSERT_TRUE(unanswered);
        EXPECT_TRUE(unanswered->attendees()[0].isCurrentUser);
        EXPECT_EQ(unanswered->attendees()[0].participantStatus, ParticipantStatus::pending);
        EXPECT_FALSE(unanswered->organizer()->isCurrentUser);
    }
    // A warm start finds the same from the cache.
    VdirEventStore warm(options({root}, cache));
    EXPECT_EQ(warm.loadReport().filesParsed, 0);
    EXPECT_EQ(warm.foundAddresses(), found);
    EXPECT_EQ(declined(warm), (std::vector<std::string>{"Event 2", "Family"}));

    // The user's own addresses replace what was found, and say so at once.
    int changes = 0;
    warm.setChangeHandler([&] { ++changes; });
    warm.setOwnAddresses({"BOB@example.com"});
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(warm.foundAddresses().empty());
    EXPECT_TRUE(declined(warm).empty());
    EXPECT_TRUE(warm.event(id(dir, "root/fastmail/personal/e0.ics"))->organizer()->isCurrentUser);
    warm.setOwnAddresses({"bob@example.com"});
    EXPECT_EQ(changes, 1);
    warm.setOwnAddresses({});
    EXPECT_EQ(warm.foundAddresses(), found);
    EXPECT_EQ(changes, 2);

    // Fewer than five events with attendees, or no address in 60 % of them: nobody is assumed.
    for (const char* name : {"e0.ics", "e1.ics", "e2.ics"}) {
        fs::remove(root / "fastmail/personal" / name);
    }
    EXPECT_TRUE(VdirEventStore(options({root}, cache)).foundAddresses().empty());
    // An account.ini with emails says who the user is; nothing is looked for.
    dir.write("root/fastmail/account.ini", "emails = other@example.com\n");
    EXPECT_TRUE(VdirEventStore(options({root})).foundAddresses().empty());
}

TEST(VdirEventStore, NewEventsGoToTheMarkedCalendarElseTheFirstLocalOne) {
    test::TempDir dir;
    dir.write("b/caldav/e.ics", simpleEvent("e", "E"));
    dir.write("c/account.ini", "type = local\n");
    dir.write("c/mine/displayname", "Mine");
    dir.write("a/feed/calendar.ini", "type = subscription\ndefault = true\n");
    const auto defaultIn = [&] {
        return VdirEventStore(options({dir.path()}))
            .defaultCalendarForNewEvents()
            ->calendarIdentifier;
    };
    // A read-only calendar is never where new events go, whatever its calendar.ini says.
    EXPECT_EQ(defaultIn(), id(dir, "c/mine"));
    dir.write("b/caldav/calendar.ini", "default = true\n");
    EXPECT_EQ(defaultIn(), id(dir, "b/caldav"));
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
                                        " is a file, not a folder of calendars."}));
    fs::create_directory(dir.path() / "locked");
    test::asUnprivilegedUser(dir.path(), [&] {
        fs::permissions(dir.path() / "locked", fs::perms::none);
        EXPECT_EQ(VdirEventStore(options({dir.path() / "locked"})).authorizationStatus(),
                  AuthorizationStatus::denied);
        fs::permissions(dir.path() / "locked", fs::perms::owner_all);
    });

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
    EXPECT_EQ(kept, (std::vector<fs::path>{root, dir.path() / "synced" / "work"}));
    ASSERT_EQ(store.calendars().size(), 2u);
    const auto calendar = store.calendars()[0];
    EXPECT_EQ(calendar->calendarIdentifier, (root / "local" / "Calendar").string());
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
    EXPECT_TRUE(VdirEventStore(options({root}, cache)).event((root / "acct/cal/e.ics").string()));
    EXPECT_FALSE(VdirEventStore(options({root}, cache)).event((root / "acct/cal/c.ics").string()));

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
        const auto event = store.event((folder / "a.ics").string());
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
    EXPECT_EQ(store.event((root / "acct/cal/a.ics").string())->title(), "Six");
    const auto time = fs::last_write_time(file);
    dir.write("root/acct/cal/a.ics", simpleEvent("a", "Ten"));
    fs::last_write_time(file, time);
    EXPECT_TRUE(store.reloadIfChanged());
    EXPECT_EQ(store.event((root / "acct/cal/a.ics").string())->title(), "Ten");
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
    test::TempDir dir;
    dir.write("acct/cal/good.ics", simpleEvent("g", "Good"));
    const auto locked = dir.write("acct/cal/locked.ics", simpleEvent("l", "Locked"));
    const auto cache = dir.path() / "cache.sqlite";
    // Permissions do not stop the superuser from reading.
    test::asUnprivilegedUser(dir.path(), [&] {
        fs::permissions(locked, fs::perms::none);
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
    });
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
    EXPECT_TRUE(snapshot->event(id(dir, "acct/cal/s.ics")));
}

TEST(VdirEventStore, CorpusLoadsWithoutTrouble) {
    PLANNERY_NEEDS_CORPUS(corpus);
    test::TempDir dir;
    fs::create_directories(dir.path() / "acct");
    fs::create_directory_symlink(corpus, dir.path() / "acct" / "corpus");
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

// A collection file that holds several events names each by its UID too, so that two of them at
// the same moment have their own identifiers, and each is found, read and removed on its own.
TEST(VdirEventStore, EventsSharingAFileHaveTheirOwnIdentifiers) {
    test::TempDir dir;
    dir.write("acct/cal/pair.ics", test::dataFile("ics/same-moment.ics"));
    dir.write("acct/cal/single.ics", simpleEvent("single", "Single"));
    VdirEventStore store(options({dir.path()}));
    ASSERT_EQ(store.calendars().size(), 1u);
    const std::string calendar = store.calendars()[0]->calendarIdentifier;
    const auto berlin = test::berlin();
    const auto events = store.events(test::at(berlin, 2026, 3, 10), test::at(berlin, 2026, 3, 11));
    std::map<std::string, std::string> titleOf;
    std::set<std::string> recordIDs;
    for (const auto& event : events) {
        titleOf[event.eventIdentifier()] = event.title().value_or("");
        recordIDs.insert(CalEvent::from(event).id);
    }
    const std::map<std::string, std::string> expected{
        {calendar + "/pair.ics#first", "Standup"},
        {calendar + "/pair.ics#second", "Interview"},
        {calendar + "/single.ics", "Single"},
    };
    EXPECT_EQ(titleOf, expected);
    EXPECT_EQ(recordIDs.size(), 3u);
    for (const auto& [identifier, title] : expected) {
        const auto found = store.event(identifier);
        ASSERT_TRUE(found) << identifier;
        EXPECT_EQ(found->title(), title);
    }
    // The file's name alone still names its first event.
    EXPECT_EQ(store.event(calendar + "/pair.ics")->title(), "Standup");
    EXPECT_FALSE(store.event(calendar + "/pair.ics#third"));
    // Removing the second leaves the first in its file.
    const auto second = store.event(calendar + "/pair.ics#second");
    ASSERT_TRUE(store.remove(*second, Span::thisEvent).ok());
    const auto left = store.events(test::at(berlin, 2026, 3, 10), test::at(berlin, 2026, 3, 11));
    EXPECT_EQ(titles(left), (std::vector<std::string>{"Standup", "Single"}));
    EXPECT_EQ(left[0].eventIdentifier(), calendar + "/pair.ics");
}

// The copy that represents merged occurrences does not depend on the window asked for: a
// month and four years give the same title for the same day.
TEST(VdirEventStore, MergedOccurrencesLookTheSameInEveryWindow) {
    test::TempDir dir;
    dir.write("acct/cal/mondays.ics", test::dataFile("ics/all-day-times.ics"));
    // An occurrence moved onto the next day's: both copies share the UID and the time.
    dir.write("acct/cal/daily.ics",
              calendarText(vevent("daily", "DTSTART:20200901T080000Z", "DTEND:20200901T090000Z",
                                  "Daily", "RRULE:FREQ=DAILY\r\n") +
                           vevent("daily", "DTSTART:20200922T080000Z", "DTEND:20200922T090000Z",
                                  "Daily (moved)", "RECURRENCE-ID:20200921T080000Z\r\n")));
    for (const char* zone : {"Europe/Berlin", "America/New_York"}) {
        SCOPED_TRACE(zone);
        const auto calendar = test::calendarIn(zone);
        VdirEventStore store(
            VdirOptions{.roots = {dir.path()}, .cacheFile = {}, .calendar = calendar});
        const auto titlesOn = [&](Instant from, Instant to, int day) {
            std::vector<std::string> result;
            for (const auto& event :
                 EventFetcher::fetch(store, from, to, FetchOptions{}, calendar)) {
                if (calendar.components(event.start).year == 2020 &&
                    calendar.components(event.start).month == 9 &&
                    calendar.components(event.start).day == day) {
                    result.push_back(event.title);
                }
            }
            return result;
        };
        for (int day : {21, 22}) {
            SCOPED_TRACE(day);
            const auto month =
                titlesOn(test::at(calendar, 2020, 9, 1), test::at(calendar, 2020, 10, 1), day);
            const auto years =
                titlesOn(test::at(calendar, 2018, 1, 1), test::at(calendar, 2022, 1, 1), day);
            const auto one = titlesOn(test::at(calendar, 2020, 9, day),
                                      test::at(calendar, 2020, 9, day + 1), day);
            EXPECT_EQ(month, years);
            EXPECT_EQ(month, one);
        }
        EXPECT_EQ(titlesOn(test::at(calendar, 2020, 9, 21), test::at(calendar, 2020, 9, 22), 21),
                  (std::vector<std::string>{"Modified event 2"}));
        EXPECT_EQ(titlesOn(test::at(calendar, 2020, 9, 22), test::at(calendar, 2020, 9, 23), 22),
                  (std::vector<std::string>{"Daily (moved)"}));
    }
}

} // namespace
} // namespace plannery
