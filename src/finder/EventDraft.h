#pragma once

#include <optional>
#include <string>
#include <vector>

namespace plannery {

// One event as a finder engine reported it: strings as written, not yet dated or cleaned (that is
// EventSuggestion's work). The fields are the keys of its JSON form; an absent field is left out.
struct EventDraft {
    std::string title{};
    std::string startDate{};                // expected as yyyy-MM-dd
    std::optional<std::string> startTime{}; // HH:mm, 24-hour; absent for an all-day event
    std::optional<std::string> endDate{};   // only when the event ends on a later day
    std::optional<std::string> endTime{};
    std::optional<std::string> timeZone{}; // IANA identifier the times are written in
    std::optional<std::string> location{}; // venue, address or video-call link
    std::optional<std::string> notes{};

    friend bool operator==(const EventDraft&, const EventDraft&) = default;
};

// The record a language model generates: the same eight fields, all plain strings, where an
// empty string stands for "none".
struct OnDeviceEvent {
    std::string title{};
    std::string startDate{};
    std::string startTime{};
    std::string endDate{};
    std::string endTime{};
    std::string timeZone{};
    std::string location{};
    std::string notes{};

    friend bool operator==(const OnDeviceEvent&, const OnDeviceEvent&) = default;
};

// The top-level generated record: the events of the text, in order.
struct OnDeviceEventList {
    std::vector<OnDeviceEvent> events{};

    friend bool operator==(const OnDeviceEventList&, const OnDeviceEventList&) = default;
};

// The draft of a generated event: title and start date copied as they are (even when empty), each
// other field absent when its string is exactly empty (a string of spaces is kept).
EventDraft draftFrom(const OnDeviceEvent& event);
// Every event of the list, in order; nothing is filtered.
std::vector<EventDraft> draftsFrom(const OnDeviceEventList& list);

} // namespace plannery
