#pragma once

#include "model/CalEvent.h"
#include "model/EventStore.h"

#include <optional>
#include <string>
#include <vector>

namespace plannery {

// How the event editor ended, reported once to whoever opened it.
enum class EditorResult { cancelled, saved, deleted };
// How the event viewer ended, reported once to whoever opened it.
enum class ViewerResult { done, responded, deleted };

// What a button of the editor asks the store to do.
enum class EditorAction { save, remove };
// What a button of the viewer asks the store to do.
enum class ViewerAction { accept, maybe, decline, remove };

// One way of carrying out an action, as the button that offers it reads.
struct SpanChoice {
    Span span = Span::thisEvent;
    std::string label{};

    friend bool operator==(const SpanChoice&, const SpanChoice&) = default;
};

// The question asked before an action, with one button per way of answering it.
struct Confirmation {
    std::string question{};
    std::vector<SpanChoice> choices{};

    friend bool operator==(const Confirmation&, const Confirmation&) = default;
};

// Which buttons the editor and the viewer show for an event.
struct EditorButtons {
    bool save = false;
    bool remove = false;

    friend bool operator==(const EditorButtons&, const EditorButtons&) = default;
};
struct ViewerButtons {
    bool reply = false;
    bool edit = false;
    bool remove = false;

    friend bool operator==(const ViewerButtons&, const ViewerButtons&) = default;
};

// What the buttons of the event editor and viewer do, without their widgets.
namespace EventEdit {

// Whether the event's calendar takes changes. A new event without a calendar goes to the
// default calendar, which does.
bool isWritable(const StoreEvent& event);
// The current user is among the attendees and did not organise the event.
bool isInvited(const StoreEvent& event);
// The current user's answer to the invitation, when invited.
std::optional<ParticipantStatus> currentReply(const StoreEvent& event);

// Saving needs a calendar that takes changes; deleting also needs an event that was saved.
EditorButtons editorButtons(const StoreEvent& event);
// Replies for an invitation; editing and deleting; all only on a calendar that takes changes.
ViewerButtons viewerButtons(const StoreEvent& event);

// Asked before the action, or nothing when it is carried out at once for this event. Changing
// or answering one occurrence of a series asks whether it is for that one alone or for more;
// deleting always asks.
std::optional<Confirmation> confirmation(EditorAction action, const StoreEvent& event);
std::optional<Confirmation> confirmation(ViewerAction action, const StoreEvent& event);

// The answer a reply button gives; none for deleting.
std::optional<ParticipantStatus> replyStatus(ViewerAction action);
// What the editor and the viewer report once the store carried out the action.
EditorResult resultOf(EditorAction action);
ViewerResult resultOf(ViewerAction action);

// The sentence shown instead of the editor's buttons when the calendar takes no changes.
std::optional<std::string> readOnlyNote(const StoreEvent& event);

} // namespace EventEdit

} // namespace plannery
