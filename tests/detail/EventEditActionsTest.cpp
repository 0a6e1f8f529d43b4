#include "detail/EventEditActions.h"

#include <gtest/gtest.h>

#include <memory>

namespace plannery {
namespace {

CalendarHandle calendar(bool writable) {
    return std::make_shared<const StoreCalendar>(
        StoreCalendar{.calendarIdentifier = writable ? "home" : "holidays",
                      .title = writable ? "Home" : "Holidays",
                      .color = std::nullopt,
                      .type = writable ? CalendarType::local : CalendarType::subscription,
                      .allowsContentModifications = writable,
                      .source = nullptr});
}

Participant person(const std::string& address, bool me,
                   ParticipantStatus status = ParticipantStatus::pending) {
    return Participant{.url = "mailto:" + address,
                       .name = std::nullopt,
                       .isCurrentUser = me,
                       .participantStatus = status,
                       .participantRole = ParticipantRole::required,
                       .participantType = ParticipantType::person};
}

struct Shape {
    std::string id = "home/a.ics";
    bool writable = true;
    bool repeating = false;
    bool invited = false;
    bool organiser = false;
};

StoreEvent event(const Shape& shape) {
    auto content = std::make_shared<EventContent>();
    content->eventIdentifier = shape.id;
    content->calendar = calendar(shape.writable);
    content->organizer = person(shape.organiser ? "me@example.com" : "boss@example.com",
                                shape.organiser, ParticipantStatus::accepted);
    content->attendees = {person("ann@example.com", false, ParticipantStatus::accepted)};
    if (shape.invited || shape.organiser) {
        content->attendees.push_back(
            person("me@example.com", true,
                   shape.organiser ? ParticipantStatus::accepted : ParticipantStatus::tentative));
    }
    return StoreEvent{.content = std::move(content),
                      .startDate = Instant{1000},
                      .endDate = Instant{2000},
                      .occurrenceDate =
                          shape.repeating ? std::optional(Instant{1000}) : std::nullopt,
                      .isDetached = false};
}

TEST(EventEditActionsTest, ButtonsFollowTheCalendarAndTheInvitation) {
    StoreEvent fresh = event({.id = ""});
    fresh.content = std::make_shared<EventContent>();
    EXPECT_EQ(EventEdit::editorButtons(fresh), (EditorButtons{.save = true, .remove = false}))
        << "a new event without a calendar goes to the default one";
    EXPECT_EQ(EventEdit::editorButtons(event({})), (EditorButtons{.save = true, .remove = true}));
    EXPECT_EQ(EventEdit::editorButtons(event({.writable = false})), EditorButtons{});
    EXPECT_EQ(EventEdit::editorButtons(StoreEvent{}), EditorButtons{});

    EXPECT_EQ(EventEdit::viewerButtons(event({})),
              (ViewerButtons{.reply = false, .edit = true, .remove = true}));
    EXPECT_EQ(EventEdit::viewerButtons(event({.invited = true})),
              (ViewerButtons{.reply = true, .edit = true, .remove = true}));
    EXPECT_EQ(EventEdit::viewerButtons(event({.organiser = true})),
              (ViewerButtons{.reply = false, .edit = true, .remove = true}))
        << "the organiser has nobody to answer";
    EXPECT_EQ(EventEdit::viewerButtons(event({.writable = false, .invited = true})),
              ViewerButtons{});

    EXPECT_EQ(EventEdit::currentReply(event({.invited = true})), ParticipantStatus::tentative);
    EXPECT_EQ(EventEdit::currentReply(event({.organiser = true})), std::nullopt);
    EXPECT_EQ(EventEdit::currentReply(event({})), std::nullopt);

    EXPECT_EQ(EventEdit::readOnlyNote(event({.writable = false})),
              "The calendar “Holidays” is read-only.");
    EXPECT_EQ(EventEdit::readOnlyNote(event({})), std::nullopt);
}

TEST(EventEditActionsTest, WhatIsAskedBeforeAnAction) {
    const auto single = event({});
    const auto occurrence = event({.repeating = true, .invited = true});
    StoreEvent fresh = event({.id = ""});

    EXPECT_EQ(EventEdit::confirmation(EditorAction::save, single), std::nullopt);
    EXPECT_EQ(EventEdit::confirmation(EditorAction::save, fresh), std::nullopt);
    EXPECT_EQ(EventEdit::confirmation(EditorAction::save, occurrence),
              (Confirmation{.question = "This is a repeating event.",
                            .choices = {{Span::thisEvent, "Save for this event only"},
                                        {Span::futureEvents, "Save for future events"}}}));

    const Confirmation deleteSingle{.question = "Are you sure you want to delete this event?",
                                    .choices = {{Span::thisEvent, "Delete event"}}};
    const Confirmation deleteOccurrence{
        .question = "This is a repeating event.",
        .choices = {{Span::thisEvent, "Delete this event only"},
                    {Span::futureEvents, "Delete all future events"}}};
    EXPECT_EQ(EventEdit::confirmation(EditorAction::remove, single), deleteSingle);
    EXPECT_EQ(EventEdit::confirmation(EditorAction::remove, occurrence), deleteOccurrence);
    EXPECT_EQ(EventEdit::confirmation(ViewerAction::remove, single), deleteSingle);
    EXPECT_EQ(EventEdit::confirmation(ViewerAction::remove, occurrence), deleteOccurrence);

    EXPECT_EQ(EventEdit::confirmation(ViewerAction::decline, event({.invited = true})),
              std::nullopt);
    EXPECT_EQ(EventEdit::confirmation(ViewerAction::accept, occurrence),
              (Confirmation{.question = "This is a repeating event.",
                            .choices = {{Span::thisEvent, "Reply to this event only"},
                                        {Span::futureEvents, "Reply to all events"}}}));
}

TEST(EventEditActionsTest, WhatEachButtonReports) {
    EXPECT_EQ(EventEdit::resultOf(EditorAction::save), EditorResult::saved);
    EXPECT_EQ(EventEdit::resultOf(EditorAction::remove), EditorResult::deleted);

    const struct {
        ViewerAction action;
        std::optional<ParticipantStatus> status;
        ViewerResult result;
    } viewer[] = {
        {ViewerAction::accept, ParticipantStatus::accepted, ViewerResult::responded},
        {ViewerAction::maybe, ParticipantStatus::tentative, ViewerResult::responded},
        {ViewerAction::decline, ParticipantStatus::declined, ViewerResult::responded},
        {ViewerAction::remove, std::nullopt, ViewerResult::deleted},
    };
    for (const auto& row : viewer) {
        EXPECT_EQ(EventEdit::replyStatus(row.action), row.status);
        EXPECT_EQ(EventEdit::resultOf(row.action), row.result);
    }
}

} // namespace
} // namespace plannery
