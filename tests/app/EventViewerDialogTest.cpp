#include "app/EventViewerDialog.h"
#include "app/EventEditorDialog.h"

#include "EventDialogTestSupport.h"
#include "platform/VdirEventStore.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace plannery {
namespace {

using test::at;
using test::calendarText;
using test::vevent;

const std::string kInvited =
    "ORGANIZER;CN=Boss:mailto:boss@example.com\r\n"
    "ATTENDEE;CN=Boss;PARTSTAT=ACCEPTED:mailto:boss@example.com\r\n"
    "ATTENDEE;CN=Me;PARTSTAT=NEEDS-ACTION;RSVP=TRUE:mailto:me@example.com\r\n";

class EventViewerDialogTest : public ::testing::Test {
  protected:
    void TearDown() override { test::deleteDialogs(); }

    QPointer<EventViewerDialog> open(const StoreEvent& event) {
        auto* viewer = new EventViewerDialog(event, vdir.store(), vdir.calendar());
        viewer->setOnFinished([this](ViewerResult result, const StoreEvent& ended) {
            results.push_back(result);
            events.push_back(ended);
        });
        viewer->open();
        return viewer;
    }

    static QStringList lines(const QWidget& viewer, const QString& name) {
        QStringList texts;
        for (const QLabel* label : viewer.findChildren<QLabel*>(name)) {
            texts << label->text();
        }
        return texts;
    }

    test::DialogVdir vdir;
    std::vector<ViewerResult> results;
    std::vector<StoreEvent> events;
};

TEST_F(EventViewerDialogTest, DeclineAnswersTheInvitationInItsOwnFile) {
    const auto invite =
        vdir.write("work", "review.ics",
                   calendarText(vevent("review-1", "DTSTART:20260310T130000Z",
                                       "DTEND:20260310T140000Z", "Design review", kInvited)));
    const std::string otherText =
        calendarText(vevent("review-2", "DTSTART:20260311T130000Z", "DTEND:20260311T140000Z",
                            "Second review", kInvited));
    const auto other = vdir.write("work", "review-2.ics", otherText);
    auto viewer =
        open(vdir.occurrence("acct/work/review.ics", at(vdir.calendar(), 2026, 3, 10, 14)));

    EXPECT_EQ(lines(*viewer, "title"), QStringList{"Design review"});
    EXPECT_EQ(lines(*viewer, "invitee"),
              (QStringList{"Boss · Accepted", "Me (you) · Not responded"}));
    EXPECT_EQ(lines(*viewer, "calendar"), QStringList{"Calendar: Work"});
    ASSERT_TRUE(test::shownButton(viewer, "Accept"));
    ASSERT_TRUE(test::shownButton(viewer, "Maybe"));

    ASSERT_TRUE(test::click(viewer, "Decline"));
    EXPECT_EQ(results, std::vector<ViewerResult>{ViewerResult::responded});
    EXPECT_FALSE(viewer->isVisible());
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events.front().attendees().at(1).participantStatus, ParticipantStatus::declined);
    const std::string text = test::DialogVdir::read(invite);
    EXPECT_NE(text.find("PARTSTAT=DECLINED"), std::string::npos) << text;
    EXPECT_EQ(text.find("RSVP=TRUE"), std::string::npos) << "the request is answered: " << text;
    EXPECT_NE(text.find("ATTENDEE;CN=Boss;PARTSTAT=ACCEPTED"), std::string::npos) << text;
    EXPECT_EQ(test::DialogVdir::read(other), otherText);
}

TEST_F(EventViewerDialogTest, AnAnswerToOneOccurrenceAsksAndAFailedOneKeepsTheViewer) {
    const auto file =
        vdir.write("work", "weekly.ics",
                   calendarText(vevent("weekly-1", "DTSTART;TZID=Europe/Berlin:20260302T150000",
                                       "DTEND;TZID=Europe/Berlin:20260302T160000", "Weekly sync",
                                       kInvited + "RRULE:FREQ=WEEKLY;COUNT=3\r\n")));
    auto viewer =
        open(vdir.occurrence("acct/work/weekly.ics", at(vdir.calendar(), 2026, 3, 9, 15)));

    // The file changes behind the viewer: the answer fails with the store's sentence.
    vdir.sync("work", "weekly.ics",
              calendarText(vevent("weekly-1", "DTSTART;TZID=Europe/Berlin:20260302T150000",
                                  "DTEND;TZID=Europe/Berlin:20260302T160000", "Weekly sync",
                                  kInvited + "RRULE:FREQ=WEEKLY;COUNT=4\r\n")));
    ASSERT_TRUE(test::click(viewer, "Accept"));
    ASSERT_TRUE(test::click(viewer, "Reply to this event only"));
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(viewer->isVisible());
    const auto* error = viewer->findChild<QLabel*>("error");
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->isVisible());
    EXPECT_EQ(error->text().toStdString(), VdirEventStore::kReadAgain);
    EXPECT_FALSE(test::shownButton(viewer, "Accept")->isChecked())
        << "the buttons show the answer the calendar has";

    ASSERT_TRUE(test::click(viewer, "Accept"));
    ASSERT_TRUE(test::click(viewer, "Reply to this event only"));
    EXPECT_EQ(results, std::vector<ViewerResult>{ViewerResult::responded});
    const std::string text = test::DialogVdir::read(file);
    EXPECT_NE(text.find("RECURRENCE-ID;TZID=Europe/Berlin:20260309T150000"), std::string::npos)
        << text;
    std::vector<ParticipantStatus> mine;
    for (const auto& event : vdir.marchEventsOnDisk()) {
        mine.push_back(event.attendees().at(1).participantStatus);
    }
    EXPECT_EQ(mine, (std::vector<ParticipantStatus>{
                        ParticipantStatus::pending, ParticipantStatus::accepted,
                        ParticipantStatus::pending, ParticipantStatus::pending}));
    EXPECT_NE(text.find("COUNT=4"), std::string::npos) << "the sync's change stays: " << text;
}

TEST_F(EventViewerDialogTest, WhatTheViewerOffersDependsOnTheCalendarAndTheInvitation) {
    vdir.write("holidays", "easter.ics",
               calendarText(vevent("easter", "DTSTART;VALUE=DATE:20260405",
                                   "DTEND;VALUE=DATE:20260406", "Easter Sunday", kInvited)));
    vdir.write(
        "home", "party.ics",
        calendarText(vevent("party", "DTSTART:20260320T180000Z", "DTEND:20260320T220000Z", "Party",
                            "ORGANIZER:mailto:me@example.com\r\n"
                            "ATTENDEE;PARTSTAT=ACCEPTED:mailto:me@example.com\r\n"
                            "ATTENDEE;PARTSTAT=TENTATIVE:mailto:ann@example.com\r\n")));

    auto holiday =
        open(vdir.occurrence("acct/holidays/easter.ics", at(vdir.calendar(), 2026, 4, 5)));
    for (const char* text : {"Accept", "Maybe", "Decline", "Edit", "Delete"}) {
        EXPECT_EQ(test::shownButton(holiday, text), nullptr) << text;
    }
    ASSERT_TRUE(test::click(holiday, "Done"));
    EXPECT_EQ(results, std::vector<ViewerResult>{ViewerResult::done});
    holiday->reject();
    EXPECT_EQ(results.size(), 1u) << "reported once";

    auto party = open(vdir.occurrence("acct/home/party.ics", at(vdir.calendar(), 2026, 3, 20, 19)));
    EXPECT_EQ(test::shownButton(party, "Accept"), nullptr) << "the organiser answers nobody";
    EXPECT_TRUE(test::shownButton(party, "Edit"));
    EXPECT_TRUE(test::shownButton(party, "Delete"));
    QTest::keyClick(party, Qt::Key_Escape);
    EXPECT_EQ(results, (std::vector<ViewerResult>{ViewerResult::done, ViewerResult::done}));
}

TEST_F(EventViewerDialogTest, DeletingInTheViewerOrInItsEditorReportsDeletedOnce) {
    const auto lunch = vdir.write("home", "lunch.ics",
                                  calendarText(vevent("lunch", "DTSTART:20260312T110000Z",
                                                      "DTEND:20260312T120000Z", "Lunch")));
    const auto dinner = vdir.write("home", "dinner.ics",
                                   calendarText(vevent("dinner", "DTSTART:20260312T180000Z",
                                                       "DTEND:20260312T200000Z", "Dinner")));

    auto viewer =
        open(vdir.occurrence("acct/home/lunch.ics", at(vdir.calendar(), 2026, 3, 12, 12)));
    ASSERT_TRUE(test::click(viewer, "Delete"));
    ASSERT_TRUE(test::click(viewer, "Delete event"));
    EXPECT_EQ(results, std::vector<ViewerResult>{ViewerResult::deleted});
    EXPECT_FALSE(std::filesystem::exists(lunch));

    // Edit opens the editor over the viewer; a save there keeps the viewer open and shows the
    // new title, a deletion there closes both.
    results.clear();
    viewer = open(vdir.occurrence("acct/home/dinner.ics", at(vdir.calendar(), 2026, 3, 12, 19)));
    ASSERT_TRUE(test::click(viewer, "Edit"));
    auto* editor = viewer->findChild<EventEditorDialog*>();
    ASSERT_TRUE(editor);
    test::retype(editor->findChild<QLineEdit*>("title"), "Dinner with Ann");
    ASSERT_TRUE(test::click(editor, "Save"));
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(lines(*viewer, "title"), QStringList{"Dinner with Ann"});
    test::collectClosedDialogs();

    ASSERT_TRUE(test::click(viewer, "Edit"));
    editor = viewer->findChild<EventEditorDialog*>();
    ASSERT_TRUE(editor);
    ASSERT_TRUE(test::click(editor, "Delete"));
    ASSERT_TRUE(test::click(editor, "Delete event"));
    EXPECT_EQ(results, std::vector<ViewerResult>{ViewerResult::deleted});
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_FALSE(std::filesystem::exists(dinner));
}

} // namespace
} // namespace plannery
