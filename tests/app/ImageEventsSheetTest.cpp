#include "app/ImageEventsSheet.h"

#include "EventDialogTestSupport.h"
#include "TestSupport.h"
#include "app/CalendarDot.h"
#include "app/EventEditorDialog.h"
#include "app/ImageEventsResults.h"
#include "app/RecognizedTextSection.h"
#include "app/SuggestionRow.h"
#include "finder/BuiltinReader.h"
#include "store/SharedKeychain.h"
#include "store/SharedPrefs.h"
#include "store/VdirStoreFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace plannery {
namespace {

// Reads every picture as the same short invitation.
class InvitationReader final : public TextRecognizer {
  public:
    RecognizedText text(const QImage&, int, std::stop_token) override {
        return RecognizedText{.text = "Parents Evening\nTuesday, December 15 at 18:00"};
    }
};

// A scanner that is there and scans one white page.
class FakeScanner final : public DocumentScanner {
  public:
    bool available() override { return true; }
    Scan scan(std::stop_token) override {
        QImage page(300, 400, QImage::Format_Grayscale8);
        page.fill(Qt::white);
        return Scan{.pages = {page}};
    }
};

// An engine that cannot run.
class BrokenEngine final : public FinderEngine {
  public:
    EventFinder::Source source() const override { return EventFinder::Source::localModel; }
    FinderStatus status() override { return localModelStatus(ServerAnswer::notAnswering); }
    void prewarm(Instant, const Calendar&, std::stop_token) override {}
    EventFinder::Result events(std::string_view, Instant, const Calendar&,
                               std::stop_token) override {
        return {};
    }
};

// A model server that never answers: its run ends only when it is stopped.
class HangingEngine final : public FinderEngine {
  public:
    std::atomic<bool> stopped = false;

    EventFinder::Source source() const override { return EventFinder::Source::localModel; }
    FinderStatus status() override { return FinderStatus::ready(); }
    void prewarm(Instant, const Calendar&, std::stop_token) override {}
    EventFinder::Result events(std::string_view, Instant, const Calendar&,
                               std::stop_token stop) override {
        std::mutex mutex;
        std::condition_variable_any never;
        std::unique_lock lock(mutex);
        never.wait(lock, stop, [] { return false; });
        stopped = true;
        return EventFinder::Result{.cancelled = true};
    }
};

constexpr const char* kThreeEvents = "Book club: Wednesday, December 9 at 19:00\n"
                                     "Dentist: Saturday, December 5 at 10:00\n"
                                     "Yoga: Thursday, December 10 at 07:30\n";

class ImageEventsSheetTest : public ::testing::Test {
  protected:
    test::TempDir root;
    test::TempDir home;
    const Calendar calendar = test::calendarIn("Europe/Berlin");
    const Instant now = test::at(calendar, 2026, 12, 3, 10);
    QSettings defaults{QString::fromStdString((home.path() / "prefs.ini").string()),
                       QSettings::IniFormat};
    SharedKeychain keychain{std::nullopt, home.path(), defaults};
    VdirEventStore* vdir = nullptr;
    std::unique_ptr<CalendarStore> store;
    std::shared_ptr<FinderEngine> engine = std::make_shared<BuiltinReader>();
    std::vector<std::optional<Instant>> closed;
    std::unique_ptr<ImageEventsSheet> sheet;

    void SetUp() override {
        QGuiApplication::clipboard()->clear();
        root.write("acct/home/displayname", "Home\n");
        root.write("acct/home/color", "#3366CC\n");
        root.write("acct/work/displayname", "Work\n");
        root.write("acct/work/color", "#3366CC\n");
        auto fixture = test::vdirStore(root.path(), calendar, now, &defaults, &keychain);
        vdir = fixture.vdir;
        store = std::move(fixture.store);
        open(std::make_shared<FakeScanner>());
    }

    void open(std::shared_ptr<DocumentScanner> scanner) {
        const Instant fixed = now;
        sheet = std::make_unique<ImageEventsSheet>(ImageEventsSheet::Setup{
            .store = store.get(),
            .defaults = &defaults,
            .keychain = &keychain,
            .recognizer = std::make_shared<InvitationReader>(),
            .scanner = std::move(scanner),
            .engine = [this] { return engine; },
            .clock = [fixed] { return fixed; },
            .onClose = [this](std::optional<Instant> added) { closed.push_back(added); }});
        sheet->show();
    }

    void settle() {
        sheet->model().work().waitForFinished();
        QCoreApplication::processEvents();
    }

    template <typename T> T* find(const char* name) {
        return sheet->findChild<T*>(QString::fromLatin1(name));
    }

    std::vector<SuggestionRow*> rows() {
        std::vector<SuggestionRow*> visible;
        for (SuggestionRow* row : sheet->findChildren<SuggestionRow*>()) {
            visible.push_back(row);
        }
        return visible;
    }

    QString title() { return find<QLabel>("sheetTitle")->text(); }
};

TEST_F(ImageEventsSheetTest, PasteIsOfferedOnlyWhenTheClipboardHoldsSomething) {
    auto* paste = find<QPushButton>("paste");
    auto* hint = find<QLabel>("pasteHint");
    EXPECT_FALSE(paste->isEnabled());
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->text(),
              "Copy a screenshot or some text first, then click Paste, or drop an image here.");
    // Nothing happens with an empty clipboard.
    sheet->paste();
    EXPECT_EQ(sheet->model().phase().stage, ImageEventsModel::Stage::choose);

    QGuiApplication::clipboard()->setText(kThreeEvents);
    EXPECT_TRUE(paste->isEnabled());
    EXPECT_FALSE(hint->isVisible());
    QTest::mouseClick(paste, Qt::LeftButton);
    settle();
    EXPECT_EQ(rows().size(), 3u);
    EXPECT_EQ(title(), "Events from Text");
}

TEST_F(ImageEventsSheetTest, FoundEventsAreAddedOneByOneOrAllAndTheToolbarFollows) {
    sheet->model().use(QString::fromUtf8(kThreeEvents));
    EXPECT_EQ(find<QLabel>("progressLabel")->text(), "Finding events…");
    EXPECT_EQ(find<QProgressBar>("busy")->accessibleName(), "Finding events…");
    settle();
    ASSERT_EQ(rows().size(), 3u);
    EXPECT_EQ(find<QLabel>("suggestionCount")->text(), "3 Events");
    EXPECT_EQ(find<QLabel>("foundBy")->text(), "Found by the Built-in Reader on this computer. "
                                               "Click an event to change it before adding.");
    auto* close = find<QPushButton>("closeSheet");
    auto* addAll = find<QPushButton>("addAll");
    EXPECT_EQ(close->text(), "Cancel");
    EXPECT_TRUE(addAll->isVisible());
    EXPECT_TRUE(vdir->events(now, now.plus(30 * 86400)).empty());

    SuggestionRow* first = rows()[0];
    auto* add = first->findChild<QPushButton*>("add");
    EXPECT_EQ(add->accessibleName(), "Add Book club");
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(close->text(), "Done");
    EXPECT_TRUE(addAll->isVisible()); // two still to add
    EXPECT_TRUE(first->findChild<QLabel*>("added")->isVisible());
    EXPECT_EQ(first->findChild<QLabel*>("added")->accessibleName(), "Added");
    EXPECT_FALSE(add->isVisible());

    QTest::mouseClick(rows()[1]->findChild<QPushButton*>("add"), Qt::LeftButton);
    EXPECT_FALSE(addAll->isVisible()); // one left
    EXPECT_EQ(vdir->events(now, now.plus(30 * 86400)).size(), 2u);

    // Removing the first takes its event out and offers it again.
    QTest::mouseClick(first->findChild<QToolButton*>("remove"), Qt::LeftButton);
    EXPECT_TRUE(add->isVisible());
    EXPECT_EQ(vdir->events(now, now.plus(30 * 86400)).size(), 1u);
    EXPECT_TRUE(addAll->isVisible());
    QTest::mouseClick(addAll, Qt::LeftButton);
    EXPECT_EQ(vdir->events(now, now.plus(30 * 86400)).size(), 3u);

    // Closing reports the earliest added day: the dentist on 5 December.
    QTest::mouseClick(close, Qt::LeftButton);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0], test::at(calendar, 2026, 12, 5, 10));
}

TEST_F(ImageEventsSheetTest, TextWithoutDatesAndClosingWithoutAdding) {
    sheet->model().use(QStringLiteral("Thanks for the lovely evening!"));
    settle();
    EXPECT_EQ(title(), "Events from Text");
    EXPECT_EQ(find<QLabel>("emptyStateTitle")->text(), "No Events Found");
    EXPECT_EQ(find<QLabel>("emptyStateText")->text(),
              "There doesn't seem to be a date in this text.");
    auto* heading = find<QToolButton>("recognizedTextHeading");
    EXPECT_EQ(heading->text(), "Pasted Text");
    auto* text = find<QWidget>("recognizedText");
    EXPECT_FALSE(text->isVisible());
    heading->click();
    EXPECT_TRUE(text->isVisible());

    QTest::keyClick(sheet.get(), Qt::Key_Escape);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0], std::nullopt);
}

TEST_F(ImageEventsSheetTest, PicturesShowTheirThumbnailAndTheirText) {
    auto* data = new QMimeData;
    QImage shot(640, 400, QImage::Format_RGB32);
    shot.fill(Qt::white);
    data->setImageData(shot);
    data->setText(QStringLiteral("ignored, the picture comes first"));
    QGuiApplication::clipboard()->setMimeData(data);
    sheet->paste();
    EXPECT_EQ(find<QLabel>("progressLabel")->text(), "Reading the text…");
    EXPECT_TRUE(find<QLabel>("progressPicture")->isVisible());
    settle();
    EXPECT_EQ(title(), "Events from Image");
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_EQ(rows()[0]->findChild<QLabel*>("suggestionTitle")->text(), "Parents Evening");
    EXPECT_FALSE(find<QLabel>("thumbnail")->pixmap().isNull());
    EXPECT_EQ(find<QToolButton>("recognizedTextHeading")->text(), "Text in the Image");
}

TEST_F(ImageEventsSheetTest, FailuresOfferToTryAgain) {
    engine = std::make_shared<BrokenEngine>();
    sheet->model().use(QStringLiteral("Lunch: Friday, December 4 at 12:30"));
    settle();
    EXPECT_EQ(find<QLabel>("failureTitle")->text(), "Couldn't Find Events");
    EXPECT_EQ(find<QLabel>("failureMessage")->text().toStdString(),
              localModelStatus(ServerAnswer::notAnswering).message);
    engine = std::make_shared<BuiltinReader>();
    QTest::mouseClick(find<QPushButton>("tryAgain"), Qt::LeftButton);
    settle();
    EXPECT_EQ(rows().size(), 1u);
}

TEST_F(ImageEventsSheetTest, TheCalendarMenuChoosesWhereEventsGoAndRemembersIt) {
    sheet->model().use(QString::fromUtf8(kThreeEvents));
    settle();
    auto* picker = find<QToolButton>("calendarPicker");
    ASSERT_NE(picker, nullptr);
    QMenu* menu = picker->menu();
    emit menu->aboutToShow();
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_TRUE(menu->actions()[0]->text().startsWith("Home\t"));
    EXPECT_TRUE(menu->actions()[0]->isChecked());
    // The two calendars share a colour, and so one dot.
    EXPECT_EQ(menu->actions()[0]->icon().cacheKey(), menu->actions()[1]->icon().cacheKey());
    menu->actions()[1]->trigger();
    EXPECT_TRUE(picker->text().startsWith("Work"));
    EXPECT_EQ(picker->accessibleName(), "Add To: Work");
    EXPECT_EQ(SharedPrefs(keychain).string(SharedPrefs::imageEventsCalendar),
              sheet->model().calendar()->calendarIdentifier);
    QTest::mouseClick(rows()[0]->findChild<QPushButton*>("add"), Qt::LeftButton);
    const auto saved = vdir->event(sheet->model().added().begin()->second);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->calendar()->title, "Work");
}

TEST_F(ImageEventsSheetTest, AFailedSaveIsShownAndNothingIsAdded) {
    sheet->model().use(QString::fromUtf8(kThreeEvents));
    settle();
    std::set<std::string> hidden;
    for (const CalendarChoice& choice : sheet->model().writableCalendars()) {
        hidden.insert(choice.calendar->calendarIdentifier);
    }
    store->setHiddenCalendarIDs(hidden);
    QTest::mouseClick(rows()[0]->findChild<QPushButton*>("add"), Qt::LeftButton);
    auto* alert = find<QMessageBox>("saveError");
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text().toStdString(), *sheet->model().saveError());
    EXPECT_TRUE(sheet->model().added().empty());
    alert->accept();
    EXPECT_FALSE(sheet->model().saveError());
}

TEST_F(ImageEventsSheetTest, ClickingAnEventOpensTheEditorAndSavingThereAddsIt) {
    sheet->model().use(QStringLiteral("Dentist: Saturday, December 5 at 10:00"));
    settle();
    QTest::mouseClick(rows()[0]->findChild<QPushButton*>("editSuggestion"), Qt::LeftButton);
    auto* editor = sheet->findChild<EventEditorDialog*>();
    ASSERT_NE(editor, nullptr);
    auto* titleField = editor->findChild<QLineEdit*>("title");
    EXPECT_EQ(titleField->text(), "Dentist");
    test::retype(titleField, "Dentist (Dr. Weber)");
    ASSERT_TRUE(test::click(editor, "Save"));
    QCoreApplication::processEvents();
    ASSERT_EQ(sheet->model().added().size(), 1u);
    EXPECT_EQ(vdir->event(sheet->model().added().begin()->second)->title(), "Dentist (Dr. Weber)");
}

TEST_F(ImageEventsSheetTest, CancelClosesAtOnceWhileTheModelHangsAndStopsIt) {
    auto hanging = std::make_shared<HangingEngine>();
    engine = hanging;
    sheet->model().use(QStringLiteral("Lunch: Friday, December 4 at 12:30"));
    EXPECT_EQ(find<QLabel>("progressLabel")->text(), "Finding events…");
    QFuture<void> work = sheet->model().work();
    QTest::mouseClick(find<QPushButton>("closeSheet"), Qt::LeftButton);
    EXPECT_FALSE(sheet->isVisible());
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0], std::nullopt);
    // The closed sheet goes away; the server's request is given up rather than waited for.
    sheet.reset();
    work.waitForFinished();
    EXPECT_TRUE(hanging->stopped);
    QCoreApplication::processEvents();
    EXPECT_TRUE(vdir->events(now, now.plus(30 * 86400)).empty());
}

TEST_F(ImageEventsSheetTest, EverythingIsReachedFromTheKeyboard) {
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    QGuiApplication::clipboard()->setText(kThreeEvents);
    QTest::keyClick(sheet.get(), Qt::Key_V, Qt::ControlModifier);
    settle();
    ASSERT_EQ(rows().size(), 3u);

    // From an event, Tab reaches its Add button, and Space adds it.
    SuggestionRow* first = rows()[0];
    first->findChild<QPushButton*>("editSuggestion")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    auto* add = first->findChild<QPushButton*>("add");
    ASSERT_EQ(QApplication::focusWidget(), add);
    QTest::keyClick(add, Qt::Key_Space);
    EXPECT_EQ(vdir->events(now, now.plus(30 * 86400)).size(), 1u);

    // Every control says what it is.
    for (QAbstractButton* control : sheet->findChildren<QAbstractButton*>()) {
        if (control->isVisible()) {
            EXPECT_FALSE(control->accessibleName().isEmpty() && control->text().isEmpty())
                << control->objectName().toStdString();
            EXPECT_NE(control->focusPolicy() & Qt::TabFocus, 0)
                << control->objectName().toStdString();
        }
    }
    QTest::keyClick(sheet.get(), Qt::Key_Escape);
    EXPECT_EQ(closed.size(), 1u);
}

TEST_F(ImageEventsSheetTest, ScanningAndDroppingBringInputs) {
    auto* scan = find<QPushButton>("scanDocument");
    QTRY_VERIFY(scan->isVisible());
    QTest::mouseClick(scan, Qt::LeftButton);
    QTRY_COMPARE(sheet->model().phase().stage, ImageEventsModel::Stage::done);
    EXPECT_EQ(rows().size(), 1u);

    QMimeData dropped;
    dropped.setText(QString::fromUtf8(kThreeEvents));
    // As a drag arrives: it is offered, then let go.
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(sheet.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(sheet.get(), &drop);
    settle();
    EXPECT_EQ(rows().size(), 3u);

    // Without a scanner there is no button for one.
    open(nullptr);
    EXPECT_FALSE(find<QPushButton>("scanDocument")->isVisible());
}

} // namespace
} // namespace plannery
