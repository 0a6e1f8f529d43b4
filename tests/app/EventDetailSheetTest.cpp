#include "app/EventDetailSheet.h"

#include "EventDialogTestSupport.h"
#include "app/DetailPersonRow.h"
#include "app/DetailSection.h"
#include "app/EventEditorDialog.h"
#include "app/EventViewerDialog.h"
#include "store/CalendarStore.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace plannery {
namespace {

namespace fs = std::filesystem;
using test::at;
using test::calendarText;
using test::vevent;

std::string attendee(const std::string& params, const std::string& address) {
    return "ATTENDEE;" + params + ":" + address + "\r\n";
}

// A meeting I was invited to by Boss, with six more attendees (one a room, one without a name
// and with an odd address), a video link as its place, a link that is no URL, an alert and notes
// in HTML.
std::string review() {
    return calendarText(vevent(
        "review", "DTSTART:20260310T090000Z", "DTEND:20260310T100000Z", "Review",
        "LOCATION:https://meet.example.com/abc\r\nURL:not a url\r\n"
        "DESCRIPTION:<p>Agenda</p><a href=\"https://example.com/doc\">Doc</a> or call +49 30 "
        "1234567\r\n"
        "ORGANIZER;CN=Boss:mailto:boss@example.com\r\n" +
            attendee("CN=Me;PARTSTAT=ACCEPTED", "mailto:me@example.com") +
            attendee("CN=Ann;PARTSTAT=ACCEPTED", "mailto:ann@example.com") +
            attendee("CN=Bob;PARTSTAT=TENTATIVE", "mailto:bob@example.com") +
            attendee("CN=Cy;PARTSTAT=DECLINED", "mailto:cy@example.com") +
            attendee("PARTSTAT=NEEDS-ACTION", "mailto:odd@@") +
            attendee("CN=Dee;PARTSTAT=NEEDS-ACTION;ROLE=OPT-PARTICIPANT", "urn:x:dee") +
            attendee("CN=Room 4;CUTYPE=ROOM;PARTSTAT=ACCEPTED", "mailto:room4@example.com") +
            "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT10M\r\nDESCRIPTION:x\r\nEND:VALARM\r\n"));
}

// The same invitation on two calendars, answered differently on each.
std::string sync(const std::string& reply) {
    return calendarText(vevent("sync", "DTSTART:20260311T090000Z", "DTEND:20260311T100000Z", "Sync",
                               "ORGANIZER;CN=Boss:mailto:boss@example.com\r\n" +
                                   attendee("CN=Me;PARTSTAT=" + reply, "mailto:me@example.com")));
}

std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class EventDetailSheetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        vdir.write("work", "review.ics", review());
        vdir.write("work", "sync.ics", sync("DECLINED"));
        vdir.write("home", "sync.ics", sync("ACCEPTED"));
        vdir.write("home", "lunch.ics",
                   calendarText(vevent("lunch", "DTSTART:20260312T110000Z",
                                       "DTEND:20260312T120000Z", "Lunch")));
        vdir.write("holidays", "spring.ics",
                   calendarText(vevent("spring", "DTSTART:20260313T110000Z",
                                       "DTEND:20260313T120000Z", "Spring")));
        auto events = vdir.openStore();
        onDisk = events.get();
        store = std::make_unique<CalendarStore>(
            CalendarStore::Services{.eventStore = std::move(events),
                                    .scanHandle = [this] { return onDisk->snapshot(); },
                                    .calendar = [] { return test::berlin(); },
                                    .now = [this] { return at(vdir.calendar(), 2026, 3, 1); },
                                    .changeScanDelay = std::chrono::milliseconds(0)});
        window.resize(800, 700);
        window.show();
    }
    void TearDown() override { test::deleteDialogs(); }

    CalEvent shown(int day, const std::string& title) {
        for (const CalEvent& event : *store->events(at(vdir.calendar(), 2026, 3, day))) {
            if (event.title == title) {
                return event;
            }
        }
        ADD_FAILURE() << "no event " << title;
        return CalEvent{};
    }

    EventDetailSheet* open(int day, const std::string& title) {
        auto* sheet = new EventDetailSheet(shown(day, title), *store, &window, temporary.path());
        sheet->setAttribute(Qt::WA_DeleteOnClose);
        sheet->setOpenURL([this](const std::string& url) { opened.push_back(url); });
        sheet->open();
        return sheet;
    }

    // The header of every section in order; "" for a section without one.
    static std::vector<std::string> sections(const QWidget* sheet) {
        std::vector<std::string> headers;
        const auto* list = sheet->findChild<QScrollArea*>(QStringLiteral("detailList"));
        for (const DetailSection* section :
             list->widget()->findChildren<DetailSection*>(Qt::FindDirectChildrenOnly)) {
            QString text;
            if (section->header() != nullptr) {
                for (const QLabel* label : section->header()->findChildren<QLabel*>()) {
                    text += label->text();
                }
                if (const auto* label = qobject_cast<const QLabel*>(section->header())) {
                    text = label->text();
                }
            }
            headers.push_back(text.toStdString());
        }
        return headers;
    }

    template <typename T = QWidget>
    static std::vector<T*> shownChildren(const QWidget* sheet, const QString& name) {
        std::vector<T*> shown;
        for (T* child : sheet->findChildren<T*>(name)) {
            if (child->isVisibleTo(sheet)) {
                shown.push_back(child);
            }
        }
        return shown;
    }

    static QString labelText(const QWidget* sheet, const QString& name) {
        const auto labels = shownChildren<QLabel>(sheet, name);
        return labels.empty() ? QString() : labels.front()->text();
    }

    test::DialogVdir vdir;
    test::TempDir temporary;
    VdirEventStore* onDisk = nullptr; // owned by the store
    std::unique_ptr<CalendarStore> store;
    QWidget window;
    std::vector<std::string> opened;
};

TEST_F(EventDetailSheetTest, ShowsTheSectionsInOrderAndFoldsLongListsOfPeople) {
    EventDetailSheet* sheet = open(10, "Review");
    sheet->resize(420, 360);
    QApplication::processEvents();

    EXPECT_EQ(sections(sheet),
              (std::vector<std::string>{"", "Calendar", "Your response",
                                        "6 invitees \u00B7 2 yes, 1 maybe, 1 no, 2 awaiting", "",
                                        "Alert", "Notes"}));
    EXPECT_EQ(labelText(sheet, "detailTitle"), "Review");
    EXPECT_EQ(shownChildren<QPushButton>(sheet, "detailLocation").at(0)->text(),
              "https://meet.example.com/abc");
    EXPECT_EQ(shownChildren<QPushButton>(sheet, "detailLocation").at(0)->accessibleDescription(),
              "Opens the link");
    // One invitation: its reply and a button to change it, and no calendar under it.
    EXPECT_EQ(labelText(sheet, "detailResponseText"), "Accepted");
    EXPECT_TRUE(shownChildren(sheet, "detailResponseCalendar").empty());
    EXPECT_EQ(shownChildren<QPushButton>(sheet, "detailReply").at(0)->text(), "Change");
    EXPECT_TRUE(shownChildren(sheet, "detailCalendarReply").empty());
    EXPECT_FALSE(shownChildren(sheet, "detailEdit").empty());

    // The organizer and the first four of seven attendees, then all of them and back.
    const auto people = [sheet] {
        std::vector<std::string> names;
        for (const QLabel* name : shownChildren<QLabel>(sheet, "detailPersonName")) {
            names.push_back(name->text().toStdString());
        }
        return names;
    };
    EXPECT_EQ(people(), (std::vector<std::string>{"Boss", "Me (you)", "Ann", "Bob", "odd@@"}));
    auto toggle = [sheet] {
        return shownChildren<QPushButton>(sheet, "detailShowAllPeople").at(0);
    };
    EXPECT_EQ(toggle()->text(), "Show all 7 invitees");
    QTest::mouseClick(toggle(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(people().size(), 8u);
    EXPECT_EQ(people().back(), "Room 4");
    EXPECT_EQ(toggle()->text(), "Show fewer");
    const auto details = shownChildren<QLabel>(sheet, "detailPersonDetail");
    EXPECT_EQ(details.front()->text(), "Organizer \u00B7 boss@example.com");
    EXPECT_EQ(details.back()->text(), "Room \u00B7 room4@example.com");

    // A link that is no URL is text that opens nothing; the notes lose their tags and link the
    // phone number.
    EXPECT_TRUE(shownChildren<QPushButton>(sheet, "detailURL").empty());
    EXPECT_EQ(labelText(sheet, "detailURL"), "not a url");
    const auto* notes = shownChildren<QTextBrowser>(sheet, "detailNotes").at(0);
    EXPECT_TRUE(notes->toPlainText().startsWith("Agenda"));
    EXPECT_FALSE(notes->toPlainText().contains("<p>"));
    EXPECT_TRUE(notes->toHtml().contains("tel:+49301234567"));

    // The title moves to the bar once the header has scrolled away.
    auto* list = sheet->findChild<QScrollArea*>(QStringLiteral("detailList"));
    EXPECT_EQ(labelText(sheet, "detailNavigationTitle"), "");
    ASSERT_GT(list->verticalScrollBar()->maximum(), 61);
    list->verticalScrollBar()->setValue(61);
    EXPECT_EQ(labelText(sheet, "detailNavigationTitle"), "Review");
    list->verticalScrollBar()->setValue(60);
    EXPECT_EQ(labelText(sheet, "detailNavigationTitle"), "");

    // A person's address can be copied or written to.
    PersonRow* ann = nullptr;
    for (PersonRow* row : shownChildren<PersonRow>(sheet, "detailPerson")) {
        if (row->accessibleName().startsWith("Ann")) {
            ann = row;
        }
    }
    ASSERT_NE(ann, nullptr);
    const auto menuAction = [sheet, ann](const QString& text) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                ann->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(ann, &event);
        auto* menu = ann->findChild<QMenu*>(QStringLiteral("detailPersonMenu"));
        for (QAction* action : menu->actions()) {
            if (action->text() == text) {
                action->trigger();
            }
        }
        menu->close();
        test::collectClosedDialogs();
    };
    menuAction("Copy Email");
    EXPECT_EQ(QApplication::clipboard()->text(), "ann@example.com");
    menuAction("Send Email");
    EXPECT_EQ(opened, (std::vector<std::string>{"mailto:ann@example.com"}));
    opened.clear();

    // The place opens its link; Done closes the sheet.
    QTest::mouseClick(shownChildren<QPushButton>(sheet, "detailLocation").at(0), Qt::LeftButton);
    EXPECT_EQ(opened, (std::vector<std::string>{"https://meet.example.com/abc"}));
    QPointer<EventDetailSheet> alive = sheet;
    ASSERT_TRUE(test::click(sheet, "Done"));
    EXPECT_TRUE(alive.isNull() || !alive->isVisible());
}

TEST_F(EventDetailSheetTest, ShareSavesTheCalendarFileWhereChosenAndOnTheClipboard) {
    EventDetailSheet* sheet = open(12, "Lunch");
    QApplication::processEvents();
    ASSERT_TRUE(sheet->model().shareFile());
    const std::string content = read(*sheet->model().shareFile());
    ASSERT_NE(content.find("SUMMARY:Lunch"), std::string::npos);

    std::optional<QString> answer; // cancelled first
    QString suggested;
    sheet->setSaveDialog([&](QWidget*, const QString& path) {
        suggested = path;
        return answer;
    });
    QApplication::clipboard()->setText(QStringLiteral("before"));
    ASSERT_TRUE(test::click(sheet, "Share"));
    EXPECT_TRUE(suggested.endsWith("Lunch.ics"));
    EXPECT_EQ(QApplication::clipboard()->text(), "before") << "cancelled: nothing shared";

    const fs::path chosen = temporary.path() / "saved.ics";
    answer = QString::fromStdString(chosen.string());
    ASSERT_TRUE(test::click(sheet, "Share"));
    EXPECT_EQ(read(chosen), content);
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    EXPECT_EQ(clip->urls(), QList<QUrl>{QUrl::fromLocalFile(*answer)});
    EXPECT_EQ(clip->data(QStringLiteral("text/calendar")).toStdString(), content);
    EXPECT_TRUE(shownChildren(sheet, "detailShareError").empty());

    // A folder that does not exist: a sentence, and the file saved before stays as it was.
    answer = QString::fromStdString((temporary.path() / "missing" / "x.ics").string());
    ASSERT_TRUE(test::click(sheet, "Share"));
    EXPECT_TRUE(labelText(sheet, "detailShareError").startsWith("The event could not be saved"));
    EXPECT_EQ(read(chosen), content);
}

TEST_F(EventDetailSheetTest, EditsTheChosenCopyAndClosesWhenTheLastCopyIsDeletedHere) {
    EventDetailSheet* sheet = open(11, "Sync");
    QApplication::processEvents();
    // Answered differently on each calendar: each row shows its reply, each response its
    // calendar.
    EXPECT_EQ(sections(sheet).at(1), "On 2 calendars");
    EXPECT_EQ(shownChildren(sheet, "detailCalendarReply").size(), 2u);
    EXPECT_EQ(shownChildren(sheet, "detailResponseCalendar").size(), 2u);
    EXPECT_FALSE(shownChildren(sheet, "detailFooter").empty());

    // Changing the reply on Work opens that copy in the viewer; agreeing on both calendars leaves
    // the rows without replies.
    const auto replies = shownChildren<QPushButton>(sheet, "detailReply");
    ASSERT_EQ(replies.size(), 2u);
    QTest::mouseClick(replies[1], Qt::LeftButton);
    QPointer<EventViewerDialog> viewer = sheet->findChild<EventViewerDialog*>();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->event().eventIdentifier(), vdir.id("acct/work/sync.ics"));
    ASSERT_TRUE(test::click(viewer, "Accept"));
    test::collectClosedDialogs();
    QApplication::processEvents();
    EXPECT_TRUE(shownChildren(sheet, "detailCalendarReply").empty());
    EXPECT_EQ(labelText(sheet, "detailResponseText"), "Accepted");

    // Two editable calendars: Edit is a menu of them.
    auto* edit = shownChildren<QPushButton>(sheet, "detailEdit").at(0);
    ASSERT_NE(edit->menu(), nullptr);
    QAction* onWork = nullptr;
    for (QAction* action : edit->menu()->actions()) {
        if (action->text().startsWith("Work")) {
            onWork = action;
        }
    }
    ASSERT_NE(onWork, nullptr);
    onWork->trigger();
    QPointer<EventEditorDialog> editor = sheet->findChild<EventEditorDialog*>();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->event().eventIdentifier(), vdir.id("acct/work/sync.ics"));
    // Deleting one copy keeps the sheet open on the other.
    ASSERT_TRUE(test::click(editor, "Delete"));
    ASSERT_TRUE(test::click(editor, "Delete event"));
    test::collectClosedDialogs();
    QApplication::processEvents();
    ASSERT_TRUE(sheet->isVisible());
    EXPECT_EQ(sections(sheet).at(1), "Calendar");
    EXPECT_EQ(sheet->model().copies().size(), 1u);

    edit = shownChildren<QPushButton>(sheet, "detailEdit").at(0);
    EXPECT_EQ(edit->menu(), nullptr);
    QTest::mouseClick(edit, Qt::LeftButton);
    editor = sheet->findChild<EventEditorDialog*>();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->event().eventIdentifier(), vdir.id("acct/home/sync.ics"));
    ASSERT_TRUE(test::click(editor, "Delete"));
    ASSERT_TRUE(test::click(editor, "Delete event"));
    QApplication::processEvents();
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(EventDetailSheetTest, AfterTheFirstPaintTheSheetOpensAtOnceAndFillsWhenTheEventIsRead) {
    const CalEvent lunch = shown(12, "Lunch");
    store->loadInBackground();
    auto* sheet = new EventDetailSheet(lunch, *store, &window, temporary.path());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    QSignalSpy loaded(&sheet->model(), &EventDetailModel::loadedChanged);
    sheet->open();
    EXPECT_TRUE(sheet->findChild<QWidget*>(QStringLiteral("detailLoading"))->isVisible());
    ASSERT_TRUE(loaded.wait());
    QApplication::processEvents();
    EXPECT_EQ(labelText(sheet, "detailTitle"), "Lunch");

    // Edit opens the copy once it has been read as the store has it now; a second click in the
    // meantime opens nothing more.
    QPushButton* edit = shownChildren<QPushButton>(sheet, "detailEdit").at(0);
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::mouseClick(edit, Qt::LeftButton);
    EXPECT_FALSE(sheet->findChild<EventEditorDialog*>());
    ASSERT_TRUE(QTest::qWaitFor([sheet] { return sheet->findChild<EventEditorDialog*>(); }));
    QApplication::processEvents();
    EXPECT_EQ(sheet->findChildren<EventEditorDialog*>().size(), 1);
    QPointer<EventEditorDialog> editor = sheet->findChild<EventEditorDialog*>();

    // Deleted here: the sheet closes once the event has been read again and is gone.
    QSignalSpy copies(&sheet->model(), &EventDetailModel::copiesChanged);
    ASSERT_TRUE(test::click(editor, "Delete"));
    ASSERT_TRUE(test::click(editor, "Delete event"));
    ASSERT_TRUE(copies.wait());
    EXPECT_TRUE(sheet->model().copies().empty());
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(EventDetailSheetTest, EditingWithoutDeletingKeepsTheSheetOpenAndCurrent) {
    EventDetailSheet* sheet = open(12, "Lunch");
    QApplication::processEvents();
    QTest::mouseClick(shownChildren<QPushButton>(sheet, "detailEdit").at(0), Qt::LeftButton);
    QPointer<EventEditorDialog> editor = sheet->findChild<EventEditorDialog*>();
    ASSERT_TRUE(editor);
    test::retype(editor->findChild<QLineEdit*>(QStringLiteral("title")), "Long lunch");
    ASSERT_TRUE(test::click(editor, "Save"));
    QApplication::processEvents();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(labelText(sheet, "detailTitle"), "Long lunch");
}

TEST_F(EventDetailSheetTest, AReadOnlyEventHasNoEditAndOneDeletedOnDiskIsNotAvailable) {
    EventDetailSheet* sheet = open(13, "Spring");
    QApplication::processEvents();
    EXPECT_TRUE(shownChildren(sheet, "detailEdit").empty());
    EXPECT_EQ(shownChildren(sheet, "detailReadOnly").at(0)->accessibleName(), "Read-only");
    EXPECT_FALSE(shownChildren(sheet, "detailShare").empty());

    fs::remove(vdir.folder("holidays") / "spring.ics");
    ASSERT_TRUE(onDisk->reloadIfChanged());
    QApplication::processEvents();
    EXPECT_TRUE(sheet->isVisible()) << "deleted elsewhere: the sheet says so and stays";
    EXPECT_FALSE(shownChildren(sheet, "detailUnavailable").empty());
    EXPECT_EQ(labelText(sheet, "detailUnavailableLabel"), "Event Not Available");
    EXPECT_EQ(labelText(sheet, "detailUnavailableText"),
              "\u201CSpring\u201D may have been deleted or moved.");
    EXPECT_TRUE(shownChildren(sheet, "detailShare").empty());
    EXPECT_TRUE(shownChildren(sheet, "detailEdit").empty());
    sheet->edit(0); // a copy that is gone: nothing opens
    sheet->reply(5);
    EXPECT_EQ(sheet->findChild<EventEditorDialog*>(), nullptr);
}

TEST_F(EventDetailSheetTest, OnlyLinksOfTheWebMailPhoneAndCallsLeaveTheSheet) {
    // An invitation anyone could send: its link points into the file system.
    vdir.write("home", "files.ics",
               calendarText(vevent("files", "DTSTART:20260314T090000Z", "DTEND:20260314T100000Z",
                                   "Files", "URL:file:///etc/passwd\r\n")));
    vdir.write("home", "agenda.ics",
               calendarText(vevent("agenda", "DTSTART:20260314T110000Z", "DTEND:20260314T120000Z",
                                   "Agenda", "URL:https://example.com/agenda\r\n")));
    onDisk->reloadIfChanged();

    EventDetailSheet* sheet = open(14, "Files");
    QApplication::processEvents();
    // Shown as it is written, as text to read and copy; a click opens nothing.
    const auto shown = shownChildren<QWidget>(sheet, "detailURL");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown.front()->accessibleName(), "file:///etc/passwd");
    EXPECT_EQ(labelText(sheet, "detailURL"), "file:///etc/passwd");
    for (QPushButton* button : shownChildren<QPushButton>(sheet, "detailURL")) {
        QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_TRUE(opened.empty());
    sheet->close();

    sheet = open(14, "Agenda");
    QApplication::processEvents();
    QTest::mouseClick(shownChildren<QPushButton>(sheet, "detailURL").at(0), Qt::LeftButton);
    EXPECT_EQ(opened, (std::vector<std::string>{"https://example.com/agenda"}));
}

TEST_F(EventDetailSheetTest, WithoutAFolderOfTheUsersOwnTheSheetSaysWhyItCannotShare) {
    test::TempDir other;
    fs::create_directory(other.path() / "elsewhere");
    fs::create_directory_symlink(other.path() / "elsewhere", other.path() / "plannery-1000");
    auto* sheet =
        new EventDetailSheet(shown(12, "Lunch"), *store, &window, other.path() / "plannery-1000");
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->open();
    QApplication::processEvents();
    EXPECT_TRUE(shownChildren<QPushButton>(sheet, "detailShare").empty());
    EXPECT_EQ(labelText(sheet, "detailShareError"),
              QString::fromStdString("The event cannot be shared as a calendar file: \u201C" +
                                     (other.path() / "plannery-1000").string() +
                                     "\u201D is a symbolic link."));
    EXPECT_TRUE(fs::is_empty(other.path() / "elsewhere"));
}

TEST_F(EventDetailSheetTest, HugeHtmlNotesAndPeopleWithoutNames) {
    std::string notes = "DESCRIPTION:";
    for (int i = 0; i < 40000; ++i) {
        notes += "<b>Line</b> " + std::to_string(i) + " https://example.com/" + std::to_string(i) +
                 "\\n";
    }
    std::string folded; // content lines of at most 75 octets
    for (std::size_t i = 0; i < notes.size(); i += 74) {
        folded += (i == 0 ? "" : " ") + notes.substr(i, 74) + "\r\n";
    }
    vdir.write(
        "home", "big.ics",
        calendarText(vevent("big", "DTSTART:20260314T090000Z", "DTEND:20260314T100000Z", "Big",
                            folded + attendee("PARTSTAT=ACCEPTED", "mailto:") +
                                attendee("CN=;PARTSTAT=DECLINED", "x"))));
    onDisk->reloadIfChanged();
    EventDetailSheet* sheet = open(14, "Big");
    QApplication::processEvents();
    const auto* text = shownChildren<QTextBrowser>(sheet, "detailNotes").at(0);
    EXPECT_GT(text->toPlainText().size(), 1'000'000);
    EXPECT_FALSE(text->toPlainText().contains("<b>"));
    EXPECT_EQ(shownChildren(sheet, "detailPerson").size(), 2u);
    for (const QLabel* name : shownChildren<QLabel>(sheet, "detailPersonName")) {
        EXPECT_FALSE(name->text().isEmpty());
    }
}

} // namespace
} // namespace plannery
