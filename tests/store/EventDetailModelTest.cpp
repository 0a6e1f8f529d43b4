#include "store/EventDetailModel.h"

#include "FakeEventStore.h"
#include "TestSupport.h"
#include "platform/VdirEventStore.h"
#include "store/CalendarStore.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace plannery {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The store's services over an event store that makes snapshots for the store's workers.
template <typename Events>
CalendarStore::Services services(std::unique_ptr<Events> events, const Calendar& calendar,
                                 Instant now) {
    const Events* snapshots = events.get();
    return CalendarStore::Services{.eventStore = std::move(events),
                                   .scanHandle = [snapshots] { return snapshots->snapshot(); },
                                   .calendar = [calendar] { return calendar; },
                                   .now = [now] { return now; },
                                   .defaults = nullptr,
                                   .keychain = nullptr,
                                   .changeScanDelay = std::chrono::milliseconds(0)};
}

// The merged record the views would hand to the sheet: the day's event with that title.
CalEvent shown(CalendarStore& store, Instant day, const std::string& title) {
    for (const CalEvent& event : *store.events(day)) {
        if (event.title == title) {
            return event;
        }
    }
    ADD_FAILURE() << "no event " << title;
    return CalEvent{};
}

// What readOccurrence hands over for copy `index`, if anything, on a store that has not gone
// over to its workers (and so reads at once).
std::optional<StoreEvent> occurrenceOf(EventDetailModel& model, int index) {
    std::optional<StoreEvent> read;
    model.readOccurrence(index, [&read](StoreEvent occurrence) { read = std::move(occurrence); });
    return read;
}

// Calendars of an in-memory store: a writable one, and a read-only one that mirrors it.
class EventDetailModelTest : public ::testing::Test {
  protected:
    test::TempDir temporary;
    const Calendar calendar = test::berlin();
    const Instant nine = test::at(calendar, 2026, 3, 10, 9);
    const Instant ten = test::at(calendar, 2026, 3, 10, 10);
    test::FakeEventStore* fake = nullptr; // owned by the store
    std::unique_ptr<CalendarStore> store;
    CalendarHandle writable;
    CalendarHandle readOnly;

    void SetUp() override {
        auto events = std::make_unique<test::FakeEventStore>();
        fake = events.get();
        const auto account = fake->addSource("acct", SourceType::calDAV, "Work account");
        writable = fake->addCalendar({.id = "work", .title = "Work", .source = account});
        readOnly = fake->addCalendar(
            {.id = "feed", .title = "Feed", .editable = false, .source = account});
        store = std::make_unique<CalendarStore>(services(std::move(events), calendar, nine));
        store->setMirrors(CalendarMirrors(std::vector<std::vector<std::string>>{{"work", "feed"}}));
    }

    StoreEvent add(const std::string& id, const CalendarHandle& on, const std::string& title) {
        return fake->addEvent({.identifier = id, .title = title, .calendar = on}, nine, ten);
    }

    // The copy with a new title, written through the store (whose change handler tells the
    // calendar store, which moves its revision).
    void retitle(const std::string& id, const std::string& title) {
        StoreEvent event = *fake->event(id);
        auto content = std::make_shared<EventContent>(*event.content);
        content->title = title;
        event.content = std::move(content);
        fake->save(event, Span::thisEvent);
    }

    fs::path shareRoot() const { return temporary.path() / "Share"; }
};

TEST_F(EventDetailModelTest, LoadFindsTheCopiesAndWritesTheShareFile) {
    add("feed/1", readOnly, "Review");
    add("work/1", writable, "Review");
    EventDetailModel model(temporary.path());
    EXPECT_EQ(model.shareDir().parent_path(), shareRoot());
    EXPECT_FALSE(model.loaded());
    model.refresh(); // nothing to refresh before loading
    EXPECT_FALSE(model.info());

    QSignalSpy loaded(&model, &EventDetailModel::loadedChanged);
    QSignalSpy info(&model, &EventDetailModel::infoChanged);
    QSignalSpy file(&model, &EventDetailModel::shareFileChanged);
    model.load(*store, shown(*store, nine, "Review"));

    EXPECT_EQ(loaded.count(), 1);
    EXPECT_EQ(info.count(), 1);
    EXPECT_EQ(file.count(), 1);
    EXPECT_TRUE(model.loaded());
    ASSERT_EQ(model.copies().size(), 2u);
    EXPECT_EQ(model.focusID(), model.copies()[0].eventIdentifier());
    EXPECT_EQ(model.mirrors(), store->mirrors());
    ASSERT_TRUE(model.info());
    // Mirrors in one account: one row that names the other calendar, edited on the writable one.
    ASSERT_EQ(model.info()->calendars.size(), 1u);
    const auto& row = model.info()->calendars[0];
    EXPECT_EQ(row.alsoVia, (std::vector<std::string>{"\u201CFeed\u201D"}));
    EXPECT_TRUE(row.allowsEdits);
    EXPECT_EQ(model.copies()[static_cast<std::size_t>(row.copy)].eventIdentifier(), "work/1");

    ASSERT_TRUE(model.shareFile());
    EXPECT_EQ(model.shareFile()->parent_path(), model.shareDir());
    EXPECT_EQ(model.shareFile()->filename(), "Review.ics");
    EXPECT_NE(readFile(*model.shareFile()).find("SUMMARY:Review\r\n"), std::string::npos);

    // Loading is once.
    model.load(*store, shown(*store, nine, "Review"));
    EXPECT_EQ(loaded.count(), 1);
    EXPECT_EQ(info.count(), 1);

    // The editor's way in: each copy read again, or nothing for a copy that does not exist.
    ASSERT_TRUE(occurrenceOf(model, 1));
    EXPECT_EQ(occurrenceOf(model, 1)->eventIdentifier(), model.copies()[1].eventIdentifier());
    EXPECT_FALSE(occurrenceOf(model, 2));
    EXPECT_FALSE(occurrenceOf(model, -1));
}

TEST_F(EventDetailModelTest, EditsRefreshTheInformationAndTheFileOnlyWhenTheyChangeSomething) {
    add("work/1", writable, "Review");
    add("work/2", writable, "Review");
    EventDetailModel model(temporary.path());
    model.load(*store, shown(*store, nine, "Review"));
    ASSERT_EQ(model.copies().size(), 2u);
    const fs::path firstFile = *model.shareFile();

    QSignalSpy copies(&model, &EventDetailModel::copiesChanged);
    QSignalSpy info(&model, &EventDetailModel::infoChanged);
    QSignalSpy file(&model, &EventDetailModel::shareFileChanged);
    store->invalidate(); // a revision without any change to the event
    EXPECT_EQ(copies.count(), 0);
    EXPECT_EQ(info.count(), 0);
    EXPECT_EQ(file.count(), 0);

    // Retitled on the second calendar only: the copies part, and the sheet keeps the one the
    // user looks at.
    model.setFocusID("work/2");
    retitle("work/2", "Design review");
    ASSERT_EQ(model.copies().size(), 1u);
    EXPECT_EQ(model.copies()[0].eventIdentifier(), "work/2");
    EXPECT_EQ(model.info()->title, "Design review");
    EXPECT_EQ(copies.count(), 1);
    EXPECT_EQ(info.count(), 1);
    EXPECT_EQ(file.count(), 1);
    ASSERT_TRUE(model.shareFile());
    EXPECT_EQ(model.shareFile()->filename(), "Design review.ics");
    EXPECT_FALSE(fs::exists(firstFile)) << "the folder holds the current file alone";
}

TEST_F(EventDetailModelTest, DeletingTheOnlyCopyLeavesNoInformation) {
    add("work/1", writable, "Review");
    EventDetailModel model(temporary.path());
    model.load(*store, shown(*store, nine, "Review"));
    ASSERT_TRUE(model.info());
    const auto file = model.shareFile();

    QSignalSpy info(&model, &EventDetailModel::infoChanged);
    fake->remove(*fake->event("work/1"), Span::thisEvent);
    EXPECT_EQ(info.count(), 1);
    EXPECT_FALSE(model.info());
    EXPECT_TRUE(model.copies().empty());
    EXPECT_TRUE(model.loaded());
    EXPECT_EQ(model.shareFile(), file);
    EXPECT_FALSE(occurrenceOf(model, 0));
}

TEST_F(EventDetailModelTest, AfterTheFirstPaintTheCopiesAreReadOnAWorkerAndTheLastReadWins) {
    add("work/1", writable, "Review");
    const CalEvent review = shown(*store, nine, "Review");
    store->loadInBackground();
    const int queriesHere = fake->eventQueries();

    EventDetailModel model(temporary.path());
    QSignalSpy loaded(&model, &EventDetailModel::loadedChanged);
    QSignalSpy info(&model, &EventDetailModel::infoChanged);
    model.load(*store, review);
    EXPECT_FALSE(model.loaded()) << "the sheet shows that it is loading, and the window goes on";
    EXPECT_FALSE(model.info());
    // A sync retitles the event while its copies are being read from before the change.
    retitle("work/1", "Design review");
    ASSERT_TRUE(loaded.wait());
    EXPECT_TRUE(model.loaded());
    ASSERT_EQ(model.copies().size(), 1u);
    if (model.info()->title != "Design review") {
        ASSERT_TRUE(info.wait()) << "the copies are read again after the change";
    }
    EXPECT_EQ(model.info()->title, "Design review");

    // Two changes in a row: whichever read ends first, the sheet ends with the newer one.
    retitle("work/1", "Roadmap review");
    retitle("work/1", "Roadmap review, moved");
    while (model.info()->title != "Roadmap review, moved") {
        ASSERT_TRUE(info.wait());
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(model.info()->title, "Roadmap review, moved");

    // The copy to edit is read on the worker too, as the store has it now.
    std::optional<StoreEvent> toEdit;
    model.readOccurrence(0, [&toEdit](StoreEvent occurrence) { toEdit = std::move(occurrence); });
    EXPECT_FALSE(toEdit) << "handed over from the event loop";
    ASSERT_TRUE(QTest::qWaitFor([&toEdit] { return toEdit.has_value(); }));
    EXPECT_EQ(toEdit->content->title, "Roadmap review, moved");

    // A deleted copy drops out once it is read again.
    QSignalSpy copies(&model, &EventDetailModel::copiesChanged);
    fake->remove(*fake->event("work/1"), Span::thisEvent);
    ASSERT_TRUE(copies.wait());
    EXPECT_TRUE(model.copies().empty());
    EXPECT_FALSE(model.info());
    EXPECT_EQ(fake->eventQueries(), queriesHere) << "nothing was read on the main thread";
}

TEST_F(EventDetailModelTest, ShareFoldersOfEarlierRunsGoAndEachModelCleansUpItsOwn) {
    const auto stale = temporary.write("Share/earlier-run/Old.ics", "BEGIN:VCALENDAR\r\n");
    add("work/1", writable, "Review");
    auto first = std::make_unique<EventDetailModel>(temporary.path());
    EXPECT_FALSE(fs::exists(stale));
    first->load(*store, shown(*store, nine, "Review"));
    ASSERT_TRUE(first->shareFile());

    // Only the first model of the run clears the folder.
    EventDetailModel second(temporary.path());
    second.load(*store, shown(*store, nine, "Review"));
    EXPECT_NE(second.shareDir(), first->shareDir());
    EXPECT_TRUE(fs::exists(*first->shareFile()));
    const fs::path firstDir = first->shareDir();
    first.reset();
    EXPECT_FALSE(fs::exists(firstDir));
    EXPECT_TRUE(fs::exists(*second.shareFile()));
}

TEST_F(EventDetailModelTest, AnUnwritableShareFolderLeavesNoFileButTheInformation) {
    // A file where the Share folder should be: nothing can be written below it.
    test::TempDir blocked;
    blocked.write("Share", "not a folder");
    add("work/1", writable, "Review");
    EventDetailModel model(blocked.path() / "Share" / "inside");
    QSignalSpy file(&model, &EventDetailModel::shareFileChanged);
    model.load(*store, shown(*store, nine, "Review"));
    EXPECT_TRUE(model.info());
    EXPECT_FALSE(model.shareFile());
    EXPECT_EQ(file.count(), 0);
    EXPECT_EQ(model.shareProblem(), "The event cannot be shared as a calendar file: \u201C" +
                                        (blocked.path() / "Share").string() +
                                        "\u201D is not a folder.");
}

TEST_F(EventDetailModelTest, AFolderSomeoneElseLaidOutIsNeitherClearedNorWritten) {
    // Another user linked the temporary folder to a folder of the user's own.
    test::TempDir other;
    const fs::path kept = other.write("documents/Share/notes.txt", "keep");
    fs::create_directory_symlink(other.path() / "documents", other.path() / "plannery-1000");
    add("work/1", writable, "Review");
    EventDetailModel model(other.path() / "plannery-1000");
    model.load(*store, shown(*store, nine, "Review"));
    EXPECT_TRUE(fs::exists(kept));
    EXPECT_TRUE(model.info());
    EXPECT_FALSE(model.shareFile());
    EXPECT_EQ(model.shareProblem(), "The event cannot be shared as a calendar file: \u201C" +
                                        (other.path() / "plannery-1000").string() +
                                        "\u201D is a symbolic link.");
    EXPECT_EQ(std::distance(fs::directory_iterator(other.path() / "documents" / "Share"),
                            fs::directory_iterator()),
              1);
}

// The same on calendars on disk: what a sync does to the files reaches the open sheet.
class EventDetailModelOnDiskTest : public ::testing::Test {
  protected:
    test::TempDir root;
    test::TempDir temporary;
    const Calendar calendar = test::berlin();
    const Instant day = test::at(calendar, 2026, 3, 10);
    VdirEventStore* vdir = nullptr; // owned by the store
    std::unique_ptr<CalendarStore> store;

    void open() {
        auto events =
            std::make_unique<VdirEventStore>(VdirOptions{.roots = {root.path()},
                                                         .cacheFile = {},
                                                         .calendar = calendar,
                                                         .check = VdirOptions::Check::everyFile});
        vdir = events.get();
        store = std::make_unique<CalendarStore>(services(std::move(events), calendar, day));
    }
};

TEST_F(EventDetailModelOnDiskTest, PeopleAndReadOnlyCalendarsFromTheFiles) {
    root.write("acct/account.ini", "emails = me@example.com\n");
    root.write("acct/feed/calendar.ini", "read-only = true\n");
    root.write("acct/feed/displayname", "Team feed\n");
    root.write("acct/feed/review.ics",
               test::calendarText(test::vevent(
                   "review", "DTSTART:20260310T080000Z", "DTEND:20260310T090000Z", "Review",
                   "ORGANIZER;CN=Boss:mailto:Boss@Example.com\r\n"
                   "ATTENDEE;PARTSTAT=ACCEPTED:mailto:boss@example.com\r\n"
                   "ATTENDEE;PARTSTAT=TENTATIVE:mailto:no-name@example.com\r\n"
                   "ATTENDEE;PARTSTAT=DECLINED:urn:uuid:0f4b\r\n"
                   "ATTENDEE;CN=\"Lee, Ann\";PARTSTAT=ACCEPTED:MAILTO:ann%40example.com\r\n"
                   "ATTENDEE;CN=Me;PARTSTAT=NEEDS-ACTION:mailto:me@example.com\r\n")));
    open();
    EventDetailModel model(temporary.path());
    model.load(*store, shown(*store, day, "Review"));
    ASSERT_TRUE(model.info());
    const EventDetailInfo& info = *model.info();

    ASSERT_EQ(info.calendars.size(), 1u);
    EXPECT_EQ(info.calendars[0].title, "Team feed");
    EXPECT_FALSE(info.calendars[0].allowsEdits);
    EXPECT_TRUE(info.editableCopies.empty());
    ASSERT_EQ(info.invitations.size(), 1u);
    EXPECT_EQ(info.invitations[0].reply, Reply::pending);

    ASSERT_TRUE(info.organizer);
    EXPECT_EQ(info.organizer->name, "Boss");
    std::vector<std::pair<std::string, std::optional<std::string>>> people;
    for (const auto& person : info.attendees) {
        people.emplace_back(person.name, person.email);
    }
    using People = decltype(people);
    EXPECT_EQ(people, (People{{"Me", "me@example.com"},
                              {"Lee, Ann", "ann@example.com"},
                              {"no-name@example.com", "no-name@example.com"},
                              {"Unknown", std::nullopt}}));
}

TEST_F(EventDetailModelOnDiskTest, AnEventDeletedOnDiskWhileTheSheetIsOpen) {
    const auto file = root.write(
        "acct/cal/a.ics", test::calendarText(test::vevent("a", "DTSTART:20260310T080000Z",
                                                          "DTEND:20260310T090000Z", "Call")));
    open();
    EventDetailModel model(temporary.path());
    model.load(*store, shown(*store, day, "Call"));
    ASSERT_TRUE(model.info());
    QSignalSpy copies(&model, &EventDetailModel::copiesChanged);

    fs::remove(file);
    ASSERT_TRUE(vdir->reloadIfChanged()); // what the folder watcher does on the change
    EXPECT_EQ(copies.count(), 1);
    EXPECT_TRUE(model.copies().empty());
    EXPECT_FALSE(model.info());
}

} // namespace
} // namespace plannery
