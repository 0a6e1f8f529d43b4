#include "app/EventKitPresenter.h"
#include "app/NewEventSheet.h"

#include "EventDialogTestSupport.h"
#include "store/CalendarStore.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include <vector>

namespace plannery {
namespace {

using test::at;
using test::calendarText;
using test::vevent;

class EventKitPresenterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        vdir.write("home", "lunch.ics",
                   calendarText(vevent("lunch", "DTSTART:20260312T110000Z",
                                       "DTEND:20260312T120000Z", "Lunch")));
        lunch = vdir.occurrence("acct/home/lunch.ics", at(vdir.calendar(), 2026, 3, 12, 12));
    }
    void TearDown() override { test::deleteDialogs(); }

    CalendarStore::Services storeServices() {
        return CalendarStore::Services{
            .eventStore = vdir.openStore(),
            .scanHandle = nullptr,
            .calendar = [] { return test::berlin(); },
            .now = [this] { return at(vdir.calendar(), 2026, 3, 1); },
        };
    }

    test::DialogVdir vdir;
    StoreEvent lunch;
    EventKitPresenter presenter{[] { return test::berlin(); }};
};

TEST_F(EventKitPresenterTest, OpensOnTheTopmostDialogThatIsNotClosing) {
    EXPECT_EQ(presenter.edit(lunch, vdir.store(),
                             [](EditorResult, const StoreEvent&) {
                                 ADD_FAILURE() << "nothing was presented";
                             }),
              nullptr)
        << "without a window nothing opens";

    QWidget window;
    window.show();
    auto* sheet = new QDialog(&window);
    sheet->open();
    QPointer<EventEditorDialog> editor = presenter.edit(lunch, vdir.store(), nullptr);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->parentWidget(), sheet);
    EXPECT_TRUE(editor->isVisible());
    editor->reject();

    // A sheet that is being dismissed when the editor is asked for: it opens on the window.
    QPointer<EventEditorDialog> onClosing;
    QObject::connect(sheet, &QDialog::finished,
                     [&] { onClosing = presenter.edit(lunch, vdir.store(), nullptr); });
    sheet->reject();
    ASSERT_TRUE(onClosing);
    EXPECT_EQ(onClosing->parentWidget(), &window);

    // The viewer opens over the editor that is open.
    QPointer<EventViewerDialog> viewer = presenter.show(lunch, vdir.store(), nullptr);
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->parentWidget(), onClosing.data());
}

TEST_F(EventKitPresenterTest, EachCallbackFiresOnceAndANewRequestReplacesIt) {
    QWidget window;
    window.show();
    std::vector<std::string> calls;

    QPointer<EventEditorDialog> first = presenter.edit(
        lunch, vdir.store(), [&](EditorResult, const StoreEvent&) { calls.push_back("first"); });
    QPointer<EventEditorDialog> second =
        presenter.edit(lunch, vdir.store(), [&](EditorResult result, const StoreEvent& event) {
            calls.push_back(result == EditorResult::cancelled ? "second cancelled" : "second");
            EXPECT_EQ(event.eventIdentifier(), vdir.id("acct/home/lunch.ics"));
        });
    ASSERT_TRUE(first && second);
    second->reject();
    first->reject();
    EXPECT_EQ(calls, std::vector<std::string>{"second cancelled"});

    QPointer<EventViewerDialog> viewer =
        presenter.show(lunch, vdir.store(), [&](ViewerResult result, const StoreEvent&) {
            calls.push_back(result == ViewerResult::done ? "viewer done" : "viewer other");
        });
    ASSERT_TRUE(test::click(viewer, "Done"));
    viewer->reject();
    EXPECT_EQ(calls, (std::vector<std::string>{"second cancelled", "viewer done"}));
}

TEST_F(EventKitPresenterTest, NewEventSheetOpensAnHourOnTheDefaultCalendarAndDismissesOnce) {
    CalendarStore store(storeServices());
    QWidget window;
    window.show();
    int dismissed = 0;
    QPointer<EventEditorDialog> editor = NewEventSheet::make(
        &window, at(vdir.calendar(), 2026, 3, 10, 10), std::nullopt, store, [&] { ++dismissed; });
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->parentWidget(), &window);
    editor->open();
    EXPECT_EQ(editor->findChild<QDateEdit*>("startDate")->date(), QDate(2026, 3, 10));
    EXPECT_EQ(editor->findChild<QTimeEdit*>("startTime")->time(), QTime(10, 0));
    EXPECT_EQ(editor->findChild<QDateEdit*>("endDate")->date(), QDate(2026, 3, 10));
    EXPECT_EQ(editor->findChild<QTimeEdit*>("endTime")->time(), QTime(11, 0));
    EXPECT_EQ(editor->findChild<QComboBox*>("calendar")->currentText(), "Home — Me");

    // Moving the start moves the end along.
    auto* startTime = editor->findChild<QTimeEdit*>("startTime");
    startTime->setFocus();
    QTest::keyClick(startTime, Qt::Key_Up);
    EXPECT_EQ(startTime->time(), QTime(11, 0));
    EXPECT_EQ(editor->findChild<QTimeEdit*>("endTime")->time(), QTime(12, 0));

    // The sheet's closing is what its presenter sees, whatever the result.
    int closed = 0;
    QObject::connect(editor, &QDialog::finished, [&] { ++closed; });
    test::retype(editor->findChild<QLineEdit*>("title"), "Haircut");
    ASSERT_TRUE(test::click(editor, "Save"));
    EXPECT_EQ(dismissed, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(vdir.marchOnDisk(),
              (std::vector<std::string>{"Haircut@10.03 11:00", "Lunch@12.03 12:00"}));

    editor =
        NewEventSheet::make(&window, at(vdir.calendar(), 2026, 3, 11, 9),
                            at(vdir.calendar(), 2026, 3, 11, 9, 30), store, [&] { ++dismissed; });
    editor->open();
    EXPECT_EQ(editor->findChild<QTimeEdit*>("endTime")->time(), QTime(9, 30));
    ASSERT_TRUE(test::click(editor, "Cancel"));
    EXPECT_EQ(dismissed, 2);
    EXPECT_EQ(vdir.marchOnDisk().size(), 2u);
}

} // namespace
} // namespace plannery
