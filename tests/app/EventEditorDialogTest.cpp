#include "app/EventEditorDialog.h"

#include "EventDialogTestSupport.h"
#include "platform/VdirEventStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace plannery {
namespace {

using test::at;
using test::calendarText;
using test::vevent;

// What the editor reported, in order.
struct Reports {
    std::vector<EditorResult> results;
    std::vector<StoreEvent> events;

    EventEditorDialog::Finished handler() {
        return [this](EditorResult result, const StoreEvent& event) {
            results.push_back(result);
            events.push_back(event);
        };
    }
};

class EventEditorDialogTest : public ::testing::Test {
  protected:
    void TearDown() override { test::deleteDialogs(); }

    // An editor opened on the event, as the presenter opens it.
    QPointer<EventEditorDialog> open(const StoreEvent& event) {
        auto* editor = new EventEditorDialog(event, vdir.store(), vdir.calendar());
        editor->setOnFinished(reports.handler());
        editor->open();
        return editor;
    }

    QString errorShown(const EventEditorDialog& editor) const {
        const auto* error = editor.findChild<QLabel*>("error");
        return error != nullptr && error->isVisible() ? error->text() : QString();
    }

    test::DialogVdir vdir;
    Reports reports;
};

TEST_F(EventEditorDialogTest, RetitlingOneOccurrenceWritesAnOverrideForThatDayOnly) {
    const auto file =
        vdir.write("home", "standup.ics",
                   calendarText(vevent("standup-1", "DTSTART;TZID=Europe/Berlin:20260302T090000",
                                       "DTEND;TZID=Europe/Berlin:20260302T091500", "Standup",
                                       "RRULE:FREQ=WEEKLY;COUNT=4\r\n")));
    const auto second =
        vdir.occurrence("acct/home/standup.ics", at(vdir.calendar(), 2026, 3, 9, 9));
    auto editor = open(second);

    test::retype(editor->findChild<QLineEdit*>("title"), "Standup in room 4");
    ASSERT_TRUE(test::click(editor, "Save"));
    // A repeating event asks first; nothing is written or reported before the answer.
    EXPECT_TRUE(reports.results.empty());
    EXPECT_EQ(test::shownButton(editor, "Save"), nullptr);
    ASSERT_TRUE(test::click(editor, "Save for this event only"));

    EXPECT_EQ(reports.results, std::vector<EditorResult>{EditorResult::saved});
    EXPECT_EQ(reports.events.front().title(), "Standup in room 4");
    EXPECT_FALSE(editor->isVisible());
    const std::string text = test::DialogVdir::read(file);
    EXPECT_NE(text.find("RECURRENCE-ID;TZID=Europe/Berlin:20260309T090000"), std::string::npos)
        << text;
    EXPECT_NE(text.find("RRULE:FREQ=WEEKLY;COUNT=4"), std::string::npos) << text;
    EXPECT_EQ(vdir.marchOnDisk(),
              (std::vector<std::string>{"Standup@02.03 09:00", "Standup in room 4@09.03 09:00",
                                        "Standup@16.03 09:00", "Standup@23.03 09:00"}));
}

TEST_F(EventEditorDialogTest, AnEndBeforeTheStartIsRefusedAndTheEditsStay) {
    const std::string original =
        calendarText(vevent("dentist-1", "DTSTART;TZID=Europe/Berlin:20260310T100000",
                            "DTEND;TZID=Europe/Berlin:20260310T110000", "Dentist"));
    const auto file = vdir.write("home", "dentist.ics", original);
    auto editor =
        open(vdir.occurrence("acct/home/dentist.ics", at(vdir.calendar(), 2026, 3, 10, 10)));

    auto* title = editor->findChild<QLineEdit*>("title");
    test::retype(title, "Dentist (Dr. Lee)");
    // The end a day earlier, with the arrow key in its date field.
    auto* endDate = editor->findChild<QDateEdit*>("endDate");
    endDate->setFocus();
    QTest::keyClick(endDate, Qt::Key_Down);
    ASSERT_LT(endDate->date(), QDate(2026, 3, 10));

    ASSERT_TRUE(test::click(editor, "Save"));
    EXPECT_EQ(errorShown(*editor), "The event ends before it starts.");
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(reports.results.empty());
    EXPECT_EQ(title->text(), "Dentist (Dr. Lee)");
    EXPECT_EQ(test::DialogVdir::read(file), original);

    // The sentence is in the desktop's red, and follows the palette when it turns dark.
    const auto* error = editor->findChild<QLabel*>("error");
    const QColor onLight = error->palette().color(QPalette::WindowText);
    QPalette dark = editor->palette();
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::WindowText, QColor(240, 240, 240));
    editor->setPalette(dark);
    const QColor onDark = error->palette().color(QPalette::WindowText);
    for (const QColor& red : {onLight, onDark}) {
        EXPECT_TRUE(red.hue() < 15 || red.hue() > 345) << red.name().toStdString();
        EXPECT_GT(red.saturation(), 128);
    }
    EXPECT_NE(onLight, onDark);

    QTest::keyClick(endDate, Qt::Key_Up);
    ASSERT_TRUE(test::click(editor, "Save"));
    EXPECT_EQ(reports.results, std::vector<EditorResult>{EditorResult::saved});
    EXPECT_EQ(vdir.marchOnDisk(), std::vector<std::string>{"Dentist (Dr. Lee)@10.03 10:00"});
}

TEST_F(EventEditorDialogTest, ASaveThatMeetsASyncKeepsTheEditsAndTheSyncsChange) {
    const auto file =
        vdir.write("home", "dentist.ics",
                   calendarText(vevent("dentist-1", "DTSTART;TZID=Europe/Berlin:20260310T100000",
                                       "DTEND;TZID=Europe/Berlin:20260310T110000", "Dentist")));
    auto editor =
        open(vdir.occurrence("acct/home/dentist.ics", at(vdir.calendar(), 2026, 3, 10, 10)));
    auto* title = editor->findChild<QLineEdit*>("title");
    test::retype(title, "Dentist (Dr. Lee)");

    // A sync writes a new version of the file while the editor is open.
    const std::string synced =
        calendarText(vevent("dentist-1", "DTSTART;TZID=Europe/Berlin:20260310T100000",
                            "DTEND;TZID=Europe/Berlin:20260310T110000", "Dentist",
                            "LOCATION:Harbour Road 7\r\nSEQUENCE:1\r\n"));
    vdir.sync("home", "dentist.ics", synced);

    ASSERT_TRUE(test::click(editor, "Save"));
    EXPECT_EQ(errorShown(*editor).toStdString(), VdirEventStore::kReadAgain);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(reports.results.empty());
    EXPECT_EQ(title->text(), "Dentist (Dr. Lee)");
    EXPECT_EQ(test::DialogVdir::read(file), synced);

    // The store has read the sync's version meanwhile: Save again writes both changes.
    ASSERT_TRUE(test::click(editor, "Save"));
    EXPECT_EQ(reports.results, std::vector<EditorResult>{EditorResult::saved});
    const std::string text = test::DialogVdir::read(file);
    EXPECT_NE(text.find("SUMMARY:Dentist (Dr. Lee)"), std::string::npos) << text;
    EXPECT_NE(text.find("LOCATION:Harbour Road 7"), std::string::npos) << text;
}

TEST_F(EventEditorDialogTest, DeletingOneOccurrenceAsksAndExcludesThatDay) {
    const auto file =
        vdir.write("home", "standup.ics",
                   calendarText(vevent("standup-1", "DTSTART;TZID=Europe/Berlin:20260302T090000",
                                       "DTEND;TZID=Europe/Berlin:20260302T091500", "Standup",
                                       "RRULE:FREQ=WEEKLY;COUNT=3\r\n")));
    auto editor =
        open(vdir.occurrence("acct/home/standup.ics", at(vdir.calendar(), 2026, 3, 9, 9)));

    // Cancelling the question writes nothing and keeps the editor.
    ASSERT_TRUE(test::click(editor, "Delete"));
    ASSERT_TRUE(test::shownButton(editor, "Delete all future events"));
    ASSERT_TRUE(test::click(editor, "Cancel"));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(reports.results.empty());
    ASSERT_TRUE(test::shownButton(editor, "Save"));

    ASSERT_TRUE(test::click(editor, "Delete"));
    ASSERT_TRUE(test::click(editor, "Delete this event only"));
    EXPECT_EQ(reports.results, std::vector<EditorResult>{EditorResult::deleted});
    EXPECT_NE(test::DialogVdir::read(file).find("EXDATE;TZID=Europe/Berlin:20260309T090000"),
              std::string::npos);
    EXPECT_EQ(vdir.marchOnDisk(),
              (std::vector<std::string>{"Standup@02.03 09:00", "Standup@16.03 09:00"}));
}

TEST_F(EventEditorDialogTest, AReadOnlyCalendarOffersNoSaveOrDeleteAndCancelsOnce) {
    vdir.write("holidays", "easter.ics",
               calendarText(vevent("easter", "DTSTART;VALUE=DATE:20260405",
                                   "DTEND;VALUE=DATE:20260406", "Easter Sunday")));
    auto editor =
        open(vdir.occurrence("acct/holidays/easter.ics", at(vdir.calendar(), 2026, 4, 5)));

    EXPECT_EQ(test::shownButton(editor, "Save"), nullptr);
    EXPECT_EQ(test::shownButton(editor, "Delete"), nullptr);
    const auto* note = editor->findChild<QLabel*>("readOnlyNote");
    ASSERT_TRUE(note);
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), "The calendar “Holidays” is read-only.");
    EXPECT_FALSE(editor->findChild<QLineEdit*>("title")->isEnabled());

    QTest::keyClick(editor, Qt::Key_Escape);
    editor->reject();
    EXPECT_EQ(reports.results, std::vector<EditorResult>{EditorResult::cancelled});
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(EventEditorDialogTest, ANewAllDayEventWithAnAlertIsWrittenToTheChosenCalendar) {
    const StoreEvent draft =
        EventEdit::newEvent(at(vdir.calendar(), 2026, 3, 10, 10), std::nullopt,
                            vdir.events().defaultCalendarForNewEvents(), vdir.calendar());
    auto editor = open(draft);
    EXPECT_EQ(editor->windowTitle(), "New Event");
    EXPECT_EQ(test::shownButton(editor, "Delete"), nullptr) << "nothing to delete yet";
    auto* calendars = editor->findChild<QComboBox*>("calendar");
    EXPECT_EQ(calendars->currentText(), "Home — Me");
    EXPECT_EQ(calendars->findText("Holidays — Me"), -1) << "read-only calendars are not offered";

    test::retype(editor->findChild<QLineEdit*>("title"), "Trip");
    // The box spans its row; a click in its middle would miss the box and its words.
    auto* allDay = editor->findChild<QCheckBox*>("allDay");
    allDay->setFocus();
    QTest::keyClick(allDay, Qt::Key_Space);
    ASSERT_TRUE(allDay->isChecked());
    calendars->setFocus();
    QTest::keyClick(calendars, Qt::Key_End);
    ASSERT_EQ(calendars->currentText(), "Work — Me");
    auto* alerts = editor->findChild<QListWidget*>("alerts");
    const auto found = alerts->findItems("1 day before at 9:00\u202FAM", Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    alerts->setFocus();
    alerts->setCurrentItem(found.front());
    QTest::keyClick(alerts, Qt::Key_Space);
    ASSERT_EQ(found.front()->checkState(), Qt::Checked);

    ASSERT_TRUE(test::click(editor, "Save"));
    ASSERT_EQ(reports.results, std::vector<EditorResult>{EditorResult::saved});
    const StoreEvent& saved = reports.events.front();
    const std::string work = vdir.id("acct/work/");
    EXPECT_TRUE(saved.eventIdentifier().starts_with(work)) << saved.eventIdentifier();
    const auto name = saved.eventIdentifier().substr(work.size());
    const std::string text = test::DialogVdir::read(vdir.folder("work") / name);
    EXPECT_NE(text.find("SUMMARY:Trip"), std::string::npos) << text;
    EXPECT_NE(text.find("DTSTART;VALUE=DATE:20260310"), std::string::npos) << text;
    EXPECT_NE(text.find("DTEND;VALUE=DATE:20260311"), std::string::npos) << text;
    EXPECT_NE(text.find("TRIGGER:-PT15H"), std::string::npos) << text;
}

} // namespace
} // namespace plannery
