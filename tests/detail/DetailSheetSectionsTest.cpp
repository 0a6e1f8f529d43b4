#include "detail/DetailSheetSections.h"
#include "detail/DetailSheetReply.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using namespace DetailSheet;

TEST(DetailSheetSectionsTest, LongListsOfPeopleCollapseToTheFirstFew) {
    // Six attendees fit; the seventh folds the list to four and a button for all of them.
    EXPECT_EQ(shownPeople(6, false, kCollapseOver, kCollapsedCount), (ShownPeople{.count = 6}));
    EXPECT_EQ(shownPeople(0, false, kCollapseOver, kCollapsedCount), (ShownPeople{.count = 0}));
    EXPECT_EQ(shownPeople(7, false, kCollapseOver, kCollapsedCount),
              (ShownPeople{.count = 4, .toggle = "Show all 7 invitees"}));
    EXPECT_EQ(shownPeople(7, true, kCollapseOver, kCollapsedCount),
              (ShownPeople{.count = 7, .toggle = "Show fewer"}));
    EXPECT_EQ(shownPeople(6, true, kCollapseOver, kCollapsedCount), (ShownPeople{.count = 6}));
    // A folded count above the threshold never shows more people than there are.
    EXPECT_EQ(shownPeople(3, false, 2, 10).count, 3u);
}

TEST(DetailSheetSectionsTest, HeadersAndLines) {
    EXPECT_EQ(alertsHeader(1), "Alert");
    EXPECT_EQ(alertsHeader(2), "Alerts");
    EXPECT_EQ(unavailableDescription("Lunch"), "\u201CLunch\u201D may have been deleted or moved.");
    EXPECT_EQ(unavailableDescription(""), "\u201C\u201D may have been deleted or moved.");
    EXPECT_EQ(replyButton(Reply::pending), "Respond");
    EXPECT_EQ(replyButton(Reply::declined), "Change");
    EXPECT_EQ(replyButton(Reply::other), "Change");
    EXPECT_EQ(locationHint(true), "Opens the link");
    EXPECT_EQ(locationHint(false), "Opens in Maps");

    // A single invitation needs no calendar under its reply; several name theirs.
    EventDetailInfo info;
    info.invitations = {{.copy = 0, .calendar = "Work", .reply = Reply::accepted}};
    EXPECT_FALSE(invitationCalendarLine(info, info.invitations[0]));
    info.invitations.push_back({.copy = 1, .calendar = "Home", .reply = Reply::declined});
    EXPECT_EQ(invitationCalendarLine(info, info.invitations[1]), "on Home");
}

TEST(DetailSheetSectionsTest, ReplyPresentation) {
    EXPECT_EQ(replyLook(Reply::accepted), (ReplyLook{.text = "Accepted",
                                                     .symbol = SheetSymbol::checkmarkCircle,
                                                     .tint = SheetTint::green}));
    EXPECT_EQ(replyLook(Reply::tentative), (ReplyLook{.text = "Maybe",
                                                      .symbol = SheetSymbol::questionmarkCircle,
                                                      .tint = SheetTint::orange}));
    EXPECT_EQ(replyLook(Reply::declined),
              (ReplyLook{
                  .text = "Declined", .symbol = SheetSymbol::xmarkCircle, .tint = SheetTint::red}));
    EXPECT_EQ(replyLook(Reply::pending), (ReplyLook{.text = "Not responded",
                                                    .symbol = SheetSymbol::dashedCircle,
                                                    .tint = SheetTint::secondary}));
    EXPECT_EQ(replyLook(Reply::other), (ReplyLook{.text = "Delegated",
                                                  .symbol = SheetSymbol::arrowRightCircle,
                                                  .tint = SheetTint::secondary}));
}

EventDetailInfo::CalendarItem item(std::string title, std::string account, bool editable,
                                   int copy) {
    return EventDetailInfo::CalendarItem{.id = title,
                                         .title = std::move(title),
                                         .account = std::move(account),
                                         .rgb = {},
                                         .allowsEdits = editable,
                                         .copy = copy,
                                         .alsoVia = {}};
}

TEST(DetailSheetSectionsTest, EditOffersTheEditableCalendars) {
    EventDetailInfo info;
    EXPECT_EQ(editChoice(info), EditChoice{}) << "nothing to edit, no button";

    info.calendars = {item("Holidays", "Subscribed", false, 0), item("Work", "", true, 2)};
    EXPECT_EQ(editChoice(info),
              (EditChoice{.targets = {{.copy = 2, .label = "Work"}}, .isMenu = false}));

    // No editable row, but an editable copy behind one: Edit opens that copy.
    info.calendars = {item("Holidays", "Subscribed", false, 0)};
    info.editableCopies = {3, 1};
    EXPECT_EQ(editChoice(info),
              (EditChoice{.targets = {{.copy = 3, .label = "Edit"}}, .isMenu = false}));

    info.calendars = {item("Work", "Fastmail", true, 0), item("Holidays", "Subscribed", false, 1),
                      item("Team", "Exchange", true, 2)};
    EXPECT_EQ(editChoice(info),
              (EditChoice{.targets = {{.copy = 0, .label = "Work \u00B7 Fastmail"},
                                      {.copy = 2, .label = "Team \u00B7 Exchange"}},
                          .isMenu = true}));
}

TEST(DetailSheetSectionsTest, OnlyLinksOpen) {
    EXPECT_EQ(openableURL("https://example.com/a?b=c"), "https://example.com/a?b=c");
    EXPECT_EQ(openableURL("  mailto:ann@example.com \n"), "mailto:ann@example.com");
    EXPECT_EQ(openableURL("zoommtg://zoom.us/join?confno=1"), "zoommtg://zoom.us/join?confno=1");
    EXPECT_EQ(openableURL("www.example.com"), "http://www.example.com");
    EXPECT_EQ(openableURL("see example.org/x for details"), "http://example.org/x");
    // Texts that are not links: nothing to open.
    EXPECT_FALSE(openableURL(""));
    EXPECT_FALSE(openableURL("the usual place"));
    EXPECT_FALSE(openableURL("http:"));
    EXPECT_FALSE(openableURL("https://"));
    EXPECT_FALSE(openableURL("C:\\Users\\notes.txt"));
    EXPECT_FALSE(openableURL("ja va:script"));
    EXPECT_FALSE(openableURL(std::string("x-a:b\0c", 7)));
    // Links of schemes the desktop would run, mount or execute are text, and no web address is
    // dug out of them.
    EXPECT_FALSE(openableURL("file:///etc/passwd"));
    EXPECT_FALSE(openableURL("file://example.com/share/run.sh"));
    EXPECT_FALSE(openableURL("smb://example.com/share"));
    EXPECT_FALSE(openableURL("javascript:alert(1)"));
    EXPECT_FALSE(openableURL("ssh://root@example.com"));
    EXPECT_FALSE(openableURL("data:text/html,https://example.com"));
}

} // namespace
} // namespace plannery
