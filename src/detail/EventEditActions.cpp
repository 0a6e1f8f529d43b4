#include "detail/EventEditActions.h"

#include <algorithm>

namespace plannery::EventEdit {

namespace {

// An occurrence of a series: the store gives those the start their rule gave them.
bool isRepeating(const StoreEvent& event) {
    return event.occurrenceDate.has_value();
}

bool isSaved(const StoreEvent& event) {
    return event.content && !event.eventIdentifier().empty();
}

const char* const kRepeating = "This is a repeating event.";

Confirmation removal(const StoreEvent& event) {
    if (isRepeating(event)) {
        return Confirmation{.question = kRepeating,
                            .choices = {{Span::thisEvent, "Delete this event only"},
                                        {Span::futureEvents, "Delete all future events"}}};
    }
    return Confirmation{.question = "Are you sure you want to delete this event?",
                        .choices = {{Span::thisEvent, "Delete event"}}};
}

const Participant* currentUser(const StoreEvent& event) {
    if (!event.content) {
        return nullptr;
    }
    const auto& attendees = event.attendees();
    const auto found = std::find_if(attendees.begin(), attendees.end(),
                                    [](const Participant& p) { return p.isCurrentUser; });
    return found == attendees.end() ? nullptr : &*found;
}

} // namespace

bool isWritable(const StoreEvent& event) {
    return event.content && (!event.calendar() || event.calendar()->allowsContentModifications);
}

bool isInvited(const StoreEvent& event) {
    const bool organises = event.content && event.organizer() && event.organizer()->isCurrentUser;
    return currentUser(event) != nullptr && !organises;
}

std::optional<ParticipantStatus> currentReply(const StoreEvent& event) {
    if (!isInvited(event)) {
        return std::nullopt;
    }
    return currentUser(event)->participantStatus;
}

EditorButtons editorButtons(const StoreEvent& event) {
    const bool writable = isWritable(event);
    return EditorButtons{.save = writable, .remove = writable && isSaved(event)};
}

ViewerButtons viewerButtons(const StoreEvent& event) {
    const bool writable = isWritable(event) && isSaved(event);
    return ViewerButtons{
        .reply = writable && isInvited(event), .edit = writable, .remove = writable};
}

std::optional<Confirmation> confirmation(EditorAction action, const StoreEvent& event) {
    switch (action) {
    case EditorAction::save:
        if (isSaved(event) && isRepeating(event)) {
            return Confirmation{.question = kRepeating,
                                .choices = {{Span::thisEvent, "Save for this event only"},
                                            {Span::futureEvents, "Save for future events"}}};
        }
        return std::nullopt;
    case EditorAction::remove:
        return removal(event);
    }
    return std::nullopt;
}

std::optional<Confirmation> confirmation(ViewerAction action, const StoreEvent& event) {
    if (action == ViewerAction::remove) {
        return removal(event);
    }
    if (isRepeating(event)) {
        return Confirmation{.question = kRepeating,
                            .choices = {{Span::thisEvent, "Reply to this event only"},
                                        {Span::futureEvents, "Reply to all events"}}};
    }
    return std::nullopt;
}

std::optional<ParticipantStatus> replyStatus(ViewerAction action) {
    switch (action) {
    case ViewerAction::accept:
        return ParticipantStatus::accepted;
    case ViewerAction::maybe:
        return ParticipantStatus::tentative;
    case ViewerAction::decline:
        return ParticipantStatus::declined;
    case ViewerAction::remove:
        return std::nullopt;
    }
    return std::nullopt;
}

EditorResult resultOf(EditorAction action) {
    return action == EditorAction::remove ? EditorResult::deleted : EditorResult::saved;
}

ViewerResult resultOf(ViewerAction action) {
    return action == ViewerAction::remove ? ViewerResult::deleted : ViewerResult::responded;
}

std::optional<std::string> readOnlyNote(const StoreEvent& event) {
    if (isWritable(event) || !event.content || !event.calendar()) {
        return std::nullopt;
    }
    return "The calendar “" + event.calendar()->title + "” is read-only.";
}

} // namespace plannery::EventEdit
