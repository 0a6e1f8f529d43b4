#include "finder/EventDraft.h"

namespace plannery {

namespace {

std::optional<std::string> unlessEmpty(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

} // namespace

EventDraft draftFrom(const OnDeviceEvent& event) {
    return EventDraft{
        .title = event.title,
        .startDate = event.startDate,
        .startTime = unlessEmpty(event.startTime),
        .endDate = unlessEmpty(event.endDate),
        .endTime = unlessEmpty(event.endTime),
        .timeZone = unlessEmpty(event.timeZone),
        .location = unlessEmpty(event.location),
        .notes = unlessEmpty(event.notes),
    };
}

std::vector<EventDraft> draftsFrom(const OnDeviceEventList& list) {
    std::vector<EventDraft> drafts;
    drafts.reserve(list.events.size());
    for (const OnDeviceEvent& event : list.events) {
        drafts.push_back(draftFrom(event));
    }
    return drafts;
}

} // namespace plannery
