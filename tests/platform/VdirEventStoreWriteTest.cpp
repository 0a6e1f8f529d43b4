#include "platform/AtomicFile.h"
#include "platform/VdirEventStore.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <barrier>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <mutex>
#include <poll.h>
#include <random>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;
using test::calendarText;
using test::vevent;

Instant utc(int year, int month, int day, int hour = 0, int minute = 0) {
    return test::at(test::calendarIn("UTC"), year, month, day, hour, minute);
}

VdirOptions options(const fs::path& root, const fs::path& cache = {}) {
    return VdirOptions{.roots = {root}, .cacheFile = cache, .calendar = test::berlin()};
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// "title@HH:MM" of each occurrence in the window, in Berlin time.
std::vector<std::string> agenda(const EventStore& store, Instant from, Instant to) {
    const auto berlin = test::berlin();
    std::vector<std::string> result;
    for (const auto& event : store.events(from, to)) {
        const auto parts = berlin.components(event.startDate);
        char time[16];
        std::snprintf(time, sizeof time, "%02d.%02d@%02d:%02d", parts.day, parts.month, parts.hour,
                      parts.minute);
        result.push_back(event.title().value_or("?") + " " + time);
    }
    return result;
}

StoreEvent changed(const StoreEvent& event, const std::function<void(EventContent&)>& edit,
                   double shift = 0) {
    auto content = std::make_shared<EventContent>(*event.content);
    edit(*content);
    StoreEvent result = event;
    result.content = std::move(content);
    result.startDate = event.startDate.plus(shift);
    if (event.endDate) {
        result.endDate = event.endDate->plus(shift);
    }
    return result;
}

std::optional<StoreEvent> occurrenceOn(const EventStore& store, const std::string& id,
                                       Instant start) {
    for (const auto& event : store.events(start.plus(-1), start.plus(1))) {
        if (event.eventIdentifier() == id && event.startDate == start) {
            return event;
        }
    }
    return std::nullopt;
}

TEST(VdirEventStoreWrite, NewEventIsChangedMovedAndRemovedLikeAFreshReadSeesIt) {
    test::TempDir dir;
    const fs::path root = dir.path() / "root";
    fs::create_directories(root / "acct" / "home");
    fs::create_directories(root / "acct" / "work");
    const fs::path cache = dir.path() / "index.sqlite";
    VdirEventStore store(options(root, cache));
    int notified = 0;
    store.setChangeHandler([&] { ++notified; });

    const auto calendars = store.calendars();
    ASSERT_EQ(calendars.size(), 2u);
    auto content = std::make_shared<EventContent>();
    content->title = "Dentist";
    content->location = "Main Street 1";
    content->timeZone = "Europe/Berlin";
    content->calendar = calendars[0];
    const StoreEvent draft{.content = content,
                           .startDate = utc(2026, 3, 10, 8),
                           .endDate = utc(2026, 3, 10, 9),
                           .occurrenceDate = std::nullopt,
                           .isDetached = false};
    const auto added = store.save(draft, Span::thisEvent);
    ASSERT_TRUE(added.ok()) << *added.error;
    EXPECT_TRUE(added.eventIdentifier.starts_with(calendars[0]->calendarIdentifier + "/"));
    EXPECT_TRUE(added.eventIdentifier.ends_with(".ics"));
    EXPECT_EQ(notified, 1);
    const Instant day = utc(2026, 3, 10);
    const Instant nextDay = utc(2026, 3, 11);
    EXPECT_EQ(agenda(store, day, nextDay), std::vector<std::string>{"Dentist 10.03@09:00"});
    EXPECT_EQ(agenda(VdirEventStore(options(root, cache)), day, nextDay),
              agenda(store, day, nextDay));
    EXPECT_EQ(agenda(VdirEventStore(options(root)), day, nextDay), agenda(store, day, nextDay));

    auto saved = store.event(added.eventIdentifier);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->location(), "Main Street 1");
    const auto later =
        store.save(changed(
                       *saved, [](EventContent& c) { c.title = "Dentist (moved)"; }, 3600),
                   Span::thisEvent);
    ASSERT_TRUE(later.ok()) << *later.error;
    EXPECT_EQ(agenda(store, day, nextDay), std::vector<std::string>{"Dentist (moved) 10.03@10:00"});
    EXPECT_EQ(agenda(VdirEventStore(options(root, cache)), day, nextDay),
              agenda(store, day, nextDay));

    // To the other calendar: the file moves with it.
    saved = store.event(later.eventIdentifier);
    ASSERT_TRUE(saved);
    const auto moved = store.save(
        changed(*saved, [&](EventContent& c) { c.calendar = calendars[1]; }), Span::futureEvents);
    ASSERT_TRUE(moved.ok()) << *moved.error;
    EXPECT_TRUE(moved.eventIdentifier.starts_with(calendars[1]->calendarIdentifier + "/"));
    EXPECT_FALSE(store.event(later.eventIdentifier));
    const auto inWork = store.event(moved.eventIdentifier);
    ASSERT_TRUE(inWork);
    EXPECT_EQ(inWork->calendar()->calendarIdentifier, calendars[1]->calendarIdentifier);
    EXPECT_EQ(agenda(VdirEventStore(options(root, cache)), day, nextDay),
              agenda(store, day, nextDay));

    const auto removed = store.remove(*inWork, Span::thisEvent);
    ASSERT_TRUE(removed.ok()) << *removed.error;
    EXPECT_TRUE(agenda(store, day, nextDay).empty());
    EXPECT_TRUE(agenda(VdirEventStore(options(root, cache)), day, nextDay).empty());
    EXPECT_EQ(notified, 4);
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        EXPECT_NE(entry.path().extension(), ".ics") << entry.path();
    }
}

TEST(VdirEventStoreWrite, OccurrencesOfASeriesChangeAloneOrFromThemOn) {
    test::TempDir dir;
    const fs::path root = dir.path() / "root";
    // Weekly on Mondays at 9:00 Berlin, ten times.
    dir.write("root/acct/cal/weekly.ics",
              calendarText(vevent("weekly", "DTSTART;TZID=Europe/Berlin:20260302T090000",
                                  "DTEND;TZID=Europe/Berlin:20260302T100000", "Standup",
                                  "RRULE:FREQ=WEEKLY;COUNT=10\r\nX-KEEP-ME:yes\r\n")));
    const fs::path cache = dir.path() / "index.sqlite";
    VdirEventStore store(options(root, cache));
    const std::string id = (root / "acct/cal/weekly.ics").string();
    const Instant from = utc(2026, 3, 1);
    const Instant to = utc(2026, 6, 1);
    ASSERT_EQ(agenda(store, from, to).size(), 10u);

    // The third alone moves an hour later.
    auto third = occurrenceOn(store, id, utc(2026, 3, 16, 8));
    ASSERT_TRUE(third);
    ASSERT_TRUE(store
                    .save(changed(
                              *third, [](EventContent&) {}, 3600),
                          Span::thisEvent)
                    .ok());
    // The fourth goes.
    auto fourth = occurrenceOn(store, id, utc(2026, 3, 23, 8));
    ASSERT_TRUE(fourth);
    ASSERT_TRUE(store.remove(*fourth, Span::thisEvent).ok());
    // From the sixth on, a new title (Berlin is on summer time from 29 March).
    auto sixth = occurrenceOn(store, id, utc(2026, 4, 6, 7));
    ASSERT_TRUE(sixth);
    const auto renamed = store.save(
        changed(*sixth, [](EventContent& c) { c.title = "Daily sync"; }), Span::futureEvents);
    ASSERT_TRUE(renamed.ok()) << *renamed.error;
    // The ninth and tenth of the renamed ones go.
    auto ninth = occurrenceOn(store, renamed.eventIdentifier, utc(2026, 4, 27, 7));
    ASSERT_TRUE(ninth);
    ASSERT_TRUE(store.remove(*ninth, Span::futureEvents).ok());

    const std::vector<std::string> expected{
        "Standup 02.03@09:00",    "Standup 09.03@09:00",    "Standup 16.03@10:00",
        "Standup 30.03@09:00",    "Daily sync 06.04@09:00", "Daily sync 13.04@09:00",
        "Daily sync 20.04@09:00",
    };
    EXPECT_EQ(agenda(store, from, to), expected);
    EXPECT_EQ(agenda(VdirEventStore(options(root, cache)), from, to), expected);
    EXPECT_EQ(agenda(VdirEventStore(options(root)), from, to), expected);
    EXPECT_NE(readText(root / "acct/cal/weekly.ics").find("X-KEEP-ME:yes"), std::string::npos);

    // The whole series, removed from its first occurrence.
    auto first = store.event(id);
    ASSERT_TRUE(first);
    ASSERT_TRUE(store.remove(*first, Span::futureEvents).ok());
    EXPECT_FALSE(fs::exists(root / "acct/cal/weekly.ics"));
}

TEST(VdirEventStoreWrite, RepliesAsTheCurrentUser) {
    test::TempDir dir;
    const fs::path root = dir.path() / "root";
    dir.write("root/acct/account.ini", "emails = me@example.com\n");
    const std::string people = "ORGANIZER;CN=Boss:mailto:boss@example.com\r\n"
                               "ATTENDEE;PARTSTAT=NEEDS-ACTION;RSVP=TRUE:mailto:Me@Example.com\r\n"
                               "ATTENDEE;PARTSTAT=ACCEPTED:mailto:other@example.com\r\n";
    dir.write("root/acct/cal/invite.ics",
              calendarText(vevent("invite", "DTSTART:20260310T090000Z", "DTEND:20260310T100000Z",
                                  "Review", people)));
    dir.write("root/acct/cal/mine.ics", calendarText(vevent("mine", "DTSTART:20260310T120000Z",
                                                            "DTEND:20260310T130000Z", "Lunch")));
    VdirEventStore store(options(root));
    auto invite = store.event((root / "acct/cal/invite.ics").string());
    ASSERT_TRUE(invite);
    const auto answered = store.reply(*invite, ParticipantStatus::declined, Span::futureEvents);
    ASSERT_TRUE(answered.ok()) << *answered.error;
    const VdirEventStore fresh(options(root));
    for (const VdirEventStore* reader : {static_cast<const VdirEventStore*>(&store), &fresh}) {
        const auto read = reader->event((root / "acct/cal/invite.ics").string());
        ASSERT_TRUE(read);
        ASSERT_EQ(read->attendees().size(), 2u);
        EXPECT_TRUE(read->attendees()[0].isCurrentUser);
        EXPECT_EQ(read->attendees()[0].participantStatus, ParticipantStatus::declined);
        EXPECT_EQ(read->attendees()[1].participantStatus, ParticipantStatus::accepted);
    }
    const auto mine = store.event((root / "acct/cal/mine.ics").string());
    ASSERT_TRUE(mine);
    const auto refused = store.reply(*mine, ParticipantStatus::accepted, Span::futureEvents);
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error->find("not among"), std::string::npos);
}

TEST(VdirEventStoreWrite, RefusesReadOnlyCalendarsAndFilesChangedOnDisk) {
    test::TempDir dir;
    const fs::path root = dir.path() / "root";
    dir.write("root/acct/locked/calendar.ini", "read-only = true\n");
    dir.write("root/acct/locked/a.ics", calendarText(vevent("a", "DTSTART:20260310T090000Z",
                                                            "DTEND:20260310T100000Z", "Locked")));
    dir.write("root/holidays.ics", calendarText(vevent("h", "DTSTART;VALUE=DATE:20260310",
                                                       "DTEND;VALUE=DATE:20260311", "Holiday")));
    dir.write("root/acct/cal/b.ics", calendarText(vevent("b", "DTSTART:20260310T090000Z",
                                                         "DTEND:20260310T100000Z", "Mine")));
    VdirEventStore store(options(root));
    const auto rename = [](EventContent& c) { c.title = "Renamed"; };

    for (const auto& event : store.events(utc(2026, 3, 10), utc(2026, 3, 11))) {
        if (event.title() == "Mine") {
            continue;
        }
        const auto saved = store.save(changed(event, rename), Span::thisEvent);
        ASSERT_FALSE(saved.ok()) << *event.title();
        EXPECT_NE(saved.error->find("read-only"), std::string::npos) << *saved.error;
        EXPECT_FALSE(store.remove(event, Span::thisEvent).ok());
    }
    EXPECT_NE(readText(root / "acct/locked/a.ics").find("SUMMARY:Locked"), std::string::npos);

    // A sync rewrote the file after the store read it (in place, as an editor would): the
    // sync's version stays, and the store reads it, saying so once.
    auto mine = store.event((root / "acct/cal/b.ics").string());
    ASSERT_TRUE(mine);
    int notified = 0;
    store.setChangeHandler([&] { ++notified; });
    const std::string synced =
        calendarText(vevent("b", "DTSTART:20260310T090000Z", "DTEND:20260310T100000Z",
                            "From the server", "LOCATION:Room 4\r\n"));
    dir.write("root/acct/cal/b.ics", synced);
    const auto saved = store.save(changed(*mine, rename), Span::thisEvent);
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(*saved.error, VdirEventStore::kReadAgain);
    EXPECT_EQ(readText(root / "acct/cal/b.ics"), synced);
    EXPECT_EQ(notified, 1);
    EXPECT_FALSE(store.reloadIfChanged()) << "the store has the sync's version already";

    // The same edit of the version read again goes through and keeps the sync's change.
    mine = store.event((root / "acct/cal/b.ics").string());
    ASSERT_TRUE(mine);
    EXPECT_EQ(mine->title(), "From the server");
    EXPECT_TRUE(store.save(changed(*mine, rename), Span::thisEvent).ok());
    EXPECT_NE(readText(root / "acct/cal/b.ics").find("LOCATION:Room 4"), std::string::npos);
    EXPECT_EQ(store.event((root / "acct/cal/b.ics").string())->title(), "Renamed");

    // Deleted by a sync: the edit says the event is gone.
    mine = store.event((root / "acct/cal/b.ics").string());
    ASSERT_TRUE(mine);
    fs::remove(root / "acct/cal/b.ics");
    const auto gone = store.save(changed(*mine, rename), Span::thisEvent);
    ASSERT_FALSE(gone.ok());
    EXPECT_NE(gone.error->find("no longer exists"), std::string::npos);
}

TEST(VdirEventStoreWrite, ReloadTellsOnlyOfRealChanges) {
    test::TempDir dir;
    const fs::path root = dir.path() / "root";
    dir.write("root/acct/cal/a.ics",
              calendarText(vevent("a", "DTSTART:20260310T090000Z", "DTEND:20260310T100000Z", "A")));
    VdirEventStore store(options(root, dir.path() / "index.sqlite"));
    int notified = 0;
    store.setChangeHandler([&] { ++notified; });
    EXPECT_FALSE(store.reloadIfChanged());

    auto a = store.event((root / "acct/cal/a.ics").string());
    ASSERT_TRUE(a);
    ASSERT_TRUE(
        store.save(changed(*a, [](EventContent& c) { c.title = "A2"; }), Span::thisEvent).ok());
    EXPECT_EQ(notified, 1);
    EXPECT_FALSE(store.reloadIfChanged()); // its own write is no news
    EXPECT_EQ(notified, 1);

    dir.write("root/acct/cal/b.ics",
              calendarText(vevent("b", "DTSTART:20260310T110000Z", "DTEND:20260310T120000Z", "B")));
    EXPECT_TRUE(store.reloadIfChanged());
    EXPECT_EQ(notified, 2);
    EXPECT_EQ(agenda(store, utc(2026, 3, 10), utc(2026, 3, 11)),
              (std::vector<std::string>{"A2 10.03@10:00", "B 10.03@12:00"}));
    fs::remove_all(root / "acct" / "cal");
    EXPECT_TRUE(store.reloadIfChanged());
    EXPECT_TRUE(store.calendars().empty());
}

// A sync replaces the file while a reply, or a removal, waits between its check and its act (a
// pause put there through the test seam): the write fails with the sentence, the sync's
// version stays, and the store has read it.
TEST(VdirEventStoreWrite, ASyncBetweenTheCheckAndTheActWins) {
    test::TempDir dir;
    const fs::path root = dir.path() / "root";
    dir.write("root/acct/account.ini", "emails = me@example.com\n");
    const std::string invite = calendarText(vevent(
        "i", "DTSTART:20260310T090000Z", "DTEND:20260310T100000Z", "Review",
        "RRULE:FREQ=DAILY;COUNT=3\r\nATTENDEE;PARTSTAT=NEEDS-ACTION:mailto:me@example.com\r\n"));
    const fs::path file = dir.write("root/acct/cal/i.ics", invite);
    static std::string synced;
    synced = calendarText(vevent("i", "DTSTART:20260310T090000Z", "DTEND:20260310T100000Z",
                                 "Moved by the organizer", "RRULE:FREQ=DAILY;COUNT=3\r\n"));
    struct Step {
        vdir::WriteStep at;
        std::function<WriteResult(EventStore&, const StoreEvent&)> write;
    };
    const std::vector<Step> steps{
        {vdir::WriteStep::replacing,
         [](EventStore& store, const StoreEvent& event) {
             return store.reply(event, ParticipantStatus::accepted, Span::futureEvents);
         }},
        {vdir::WriteStep::replacing,
         [](EventStore& store, const StoreEvent& event) {
             return store.remove(event, Span::thisEvent); // one occurrence: a rewrite
         }},
        {vdir::WriteStep::removing, [](EventStore& store, const StoreEvent& event) {
             return store.remove(event, Span::futureEvents); // the whole file
         }}};
    static vdir::WriteStep pausedAt;
    for (const auto& step : steps) {
        dir.write("root/acct/cal/i.ics", invite);
        VdirEventStore store(options(root));
        const auto second = occurrenceOn(store, file.string(), utc(2026, 3, 11, 9));
        ASSERT_TRUE(second);
        const auto first = store.event(file.string());
        ASSERT_TRUE(first);
        pausedAt = step.at;
        vdir::testing::pauseAt = [](vdir::WriteStep at, const fs::path& path) {
            if (at == pausedAt) {
                std::ofstream(path.parent_path() / ".sync.tmp", std::ios::binary) << synced;
                fs::rename(path.parent_path() / ".sync.tmp", path);
            }
        };
        const auto result =
            step.write(store, step.at == vdir::WriteStep::removing ? *first : *second);
        vdir::testing::pauseAt = nullptr;
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(*result.error, VdirEventStore::kReadAgain);
        EXPECT_EQ(readText(file), synced);
        EXPECT_EQ(store.event(file.string())->title(), "Moved by the organizer");
    }
}

// Two writers (two processes of this program, or this program and a sync tool that merges its
// changes into the file) read the event in the same instant, then each adds a word to its notes.
// A thousand rounds: no word whose write reported success is missing at the end, and every write
// that failed said why in the sentence.
TEST(VdirEventStoreWrite, WritersRacingOnOneEventLoseNoUpdate) {
    const char* asked = std::getenv("PLANNERY_RACE_PAIRS");
    const int pairs = asked != nullptr ? std::max(1, std::atoi(asked)) : 1000;
    for (const bool againstSync : {false, true}) {
        SCOPED_TRACE(againstSync ? "against a sync" : "two stores");
        test::TempDir dir;
        const fs::path root = dir.path() / "root";
        const fs::path file =
            dir.write("root/acct/cal/a.ics",
                      calendarText(vevent("a", "DTSTART:20260310T090000Z", "DTEND:20260310T100000Z",
                                          "A", "X-SYNC:start\r\n")));
        const std::string id = file.string();
        std::barrier together(2);
        std::mutex lock;
        std::vector<std::string> saved[2];
        std::vector<std::string> refusals;
        auto store = [&](int who) {
            VdirEventStore store(options(root));
            for (int i = 0; i < pairs; ++i) {
                store.reloadIfChanged();
                const auto event = store.event(id);
                together.arrive_and_wait();
                const std::string word = (who == 0 ? "[A" : "[B") + std::to_string(i) + "]";
                const auto result = event ? store.save(changed(*event,
                                                               [&](EventContent& c) {
                                                                   c.notes =
                                                                       c.notes.value_or("") + word;
                                                               }),
                                                       Span::thisEvent)
                                          : WriteResult{.error = "The event was not found."};
                {
                    const std::lock_guard guard(lock);
                    (result.ok() ? saved[who] : refusals)
                        .push_back(result.ok() ? word : *result.error);
                }
                // Rounds do not overlap: the next one reads what this one left.
                together.arrive_and_wait();
            }
        };
        // The sync keeps its own list in an X- property and renames its version into place, a
        // little earlier or later each time.
        auto sync = [&] {
            std::mt19937 random(7);
            for (int i = 0; i < pairs; ++i) {
                std::string text = readText(file);
                together.arrive_and_wait();
                for (std::size_t fold; (fold = text.find("\r\n ")) != std::string::npos;) {
                    text.erase(fold, 3);
                }
                const std::string word = "[S" + std::to_string(i) + "]";
                const auto line = text.find("X-SYNC:");
                test::spin(random);
                text.insert(text.find("\r\n", line), word);
                const fs::path temporary = file.parent_path() / ".sync.tmp";
                std::ofstream(temporary, std::ios::binary) << text;
                fs::rename(temporary, file);
                saved[1].push_back(word);
                together.arrive_and_wait();
            }
        };
        std::thread a(store, 0);
        std::thread b = againstSync ? std::thread(sync) : std::thread(store, 1);
        a.join();
        b.join();
        std::string end = readText(file);
        for (std::size_t fold; (fold = end.find("\r\n ")) != std::string::npos;) {
            end.erase(fold, 3);
        }
        int lost = 0;
        for (int who = againstSync ? 1 : 0; who < 2; ++who) {
            for (const auto& word : saved[who]) {
                lost += end.find(word) == std::string::npos ? 1 : 0;
                EXPECT_NE(end.find(word), std::string::npos) << word;
            }
        }
        EXPECT_EQ(lost, 0);
        std::set<std::string> sentences(refusals.begin(), refusals.end());
        // The store reads the file again after a refusal; a file replaced once more while it
        // reads it is said to have changed, without "read again".
        for (const auto& sentence : sentences) {
            EXPECT_TRUE(sentence == VdirEventStore::kReadAgain || sentence == vdir::kChangedOnDisk)
                << sentence;
        }
        std::cout << (againstSync ? "a store against a sync: " : "two stores: ") << pairs
                  << " pairs, " << saved[0].size() + saved[1].size() << " saved, " << lost
                  << " lost, " << refusals.size() << " refused\n";
    }
}

// A writer killed at any moment leaves every file whole (the old or the new version) and an
// index that a new start reads correctly.
TEST(VdirEventStoreWrite, KilledWritersNeverLeaveHalfAFile) {
    test::TempDir dir;
    const fs::path root = dir.path() / "root";
    const fs::path cache = dir.path() / "index.sqlite";
    dir.write("root/acct/cal/a.ics", calendarText(vevent("a", "DTSTART:20260310T090000Z",
                                                         "DTEND:20260310T100000Z", "v0")));
    std::mt19937 random(11);
    // PLANNERY_KILL_RUNS asks for a longer run than the suite's own.
    const char* asked = std::getenv("PLANNERY_KILL_RUNS");
    const int kRuns = asked != nullptr ? std::max(1, std::atoi(asked)) : 12;
    std::set<std::string> versions;
    for (int run = 0; run < kRuns; ++run) {
        // The child says when it has saved once, so that every run kills a writer at work.
        int started[2];
        ASSERT_EQ(pipe(started), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(started[0]);
            VdirEventStore store(options(root, cache));
            for (int version = 1;; ++version) {
                // A sync may have won the race: read again and go on.
                store.reloadIfChanged();
                auto event = store.event((root / "acct/cal/a.ics").string());
                if (event &&
                    store
                        .save(changed(*event,
                                      [&](EventContent& c) {
                                          c.title = "v" + std::to_string(run) + "." +
                                                    std::to_string(version);
                                          c.notes = std::string(4096 + version % 512, 'n');
                                      }),
                              Span::thisEvent)
                        .ok() &&
                    started[1] >= 0) {
                    [[maybe_unused]] const auto told = write(started[1], "1", 1);
                    close(started[1]);
                    started[1] = -1;
                }
            }
        }
        close(started[1]);
        pollfd wait{.fd = started[0], .events = POLLIN, .revents = 0};
        const bool wrote = poll(&wait, 1, 30000) == 1;
        close(started[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 10000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(wrote) << "run " << run << ": the writer never saved";

        VdirEventStore fresh(options(root, cache));
        const auto event = fresh.event((root / "acct/cal/a.ics").string());
        ASSERT_TRUE(event) << "run " << run;
        ASSERT_TRUE(event->title() && event->title()->starts_with("v")) << "run " << run;
        // The index agrees with the file on disk.
        const auto text = readText(root / "acct/cal/a.ics");
        EXPECT_NE(text.find("SUMMARY:" + *event->title() + "\r\n"), std::string::npos);
        EXPECT_NE(text.find("END:VCALENDAR"), std::string::npos);
        EXPECT_EQ(fresh.loadReport().brokenFiles.size(), 0u);
        versions.insert(*event->title());
    }
    // Each run's writer saved at least once before it was killed.
    EXPECT_EQ(versions.size(), static_cast<std::size_t>(kRuns));
    // What the killed writers left half-written beside the file is gone once the folder is read.
    for (const auto& entry : fs::directory_iterator(root / "acct/cal")) {
        EXPECT_TRUE(entry.path().filename() == "a.ics" ||
                    entry.path().filename() == vdir::kLockName)
            << entry.path();
    }
}

} // namespace
} // namespace plannery
