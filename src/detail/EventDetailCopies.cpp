#include "detail/EventDetailCopies.h"

#include "model/CalEvent.h"
#include "model/CalendarMirrors.h"
#include "model/Dedup.h"

#include <algorithm>

namespace plannery::EventDetailCopies {

std::vector<StoreEvent> behind(const EventStore& store, const CalEvent& event) {
    std::vector<std::string> ids;
    auto want = [&ids](const std::string& id) {
        if (!id.empty() && std::find(ids.begin(), ids.end(), id) == ids.end()) {
            ids.push_back(id);
        }
    };
    want(event.eventIdentifier);
    for (const std::string& id : event.duplicateIDs) {
        want(id);
    }
    if (ids.empty()) {
        return {};
    }

    // A second either side catches copies whose start differs by a fraction of a second.
    const std::vector<StoreEvent> around =
        store.events(event.start.plus(-1), std::max(event.start, event.end).plus(1));

    std::vector<StoreEvent> found;
    for (const std::string& id : ids) {
        const StoreEvent* first = nullptr;
        const StoreEvent* sameStart = nullptr;
        for (const StoreEvent& candidate : around) {
            if (candidate.eventIdentifier() != id) {
                continue;
            }
            if (first == nullptr) {
                first = &candidate;
            }
            if (candidate.startDate == event.start) {
                sameStart = &candidate;
                break;
            }
        }
        if (sameStart != nullptr || first != nullptr) {
            found.push_back(sameStart != nullptr ? *sameStart : *first);
            continue;
        }
        // Outside the window only a single event is unambiguous: a series would give some other
        // occurrence than the one shown.
        std::optional<StoreEvent> direct = store.event(id);
        if (direct && !direct->hasRecurrenceRules() && !direct->isDetached) {
            found.push_back(std::move(*direct));
        }
    }
    return found;
}

std::vector<StoreEvent> readAgain(const EventStore& store, std::vector<StoreEvent> copies) {
    std::vector<StoreEvent> kept;
    for (StoreEvent& copy : copies) {
        if (store.refresh(copy)) {
            kept.push_back(std::move(copy));
        }
    }
    return kept;
}

std::vector<StoreEvent> regrouped(const std::vector<StoreEvent>& kept,
                                  const std::optional<std::string>& focusID,
                                  const Calendar& calendar) {
    if (kept.size() <= 1) {
        return kept;
    }
    auto focus = std::find_if(kept.begin(), kept.end(), [&](const StoreEvent& copy) {
        return focusID && copy.eventIdentifier() == *focusID;
    });
    if (focus == kept.end()) {
        focus = kept.begin();
    }
    const std::string& focusIdentifier = focus->eventIdentifier();

    std::vector<CalEvent> records;
    records.reserve(kept.size());
    for (const StoreEvent& copy : kept) {
        records.push_back(CalEvent::from(copy));
    }
    // Mirrors only decide which copy represents a merged event, not what merges, so none are
    // needed to tell which copies are still one event.
    for (const CalEvent& merged : Dedup::merge(std::move(records), CalendarMirrors{}, calendar)) {
        const auto holds = [&merged](const std::string& id) {
            return merged.eventIdentifier == id ||
                   std::find(merged.duplicateIDs.begin(), merged.duplicateIDs.end(), id) !=
                       merged.duplicateIDs.end();
        };
        if (!holds(focusIdentifier)) {
            continue;
        }
        std::vector<StoreEvent> together;
        for (const StoreEvent& copy : kept) {
            if (holds(copy.eventIdentifier())) {
                together.push_back(copy);
            }
        }
        return together;
    }
    return {*focus};
}

std::optional<StoreEvent> occurrenceLike(const EventStore& store, const StoreEvent& copy) {
    if (!copy.content) {
        return std::nullopt;
    }
    const Instant start = copy.startDate;
    const Instant end = copy.endDate.value_or(start);
    std::optional<StoreEvent> first;
    for (StoreEvent& candidate : store.events(start.plus(-1), std::max(start, end).plus(1))) {
        if (candidate.eventIdentifier() != copy.eventIdentifier()) {
            continue;
        }
        if (candidate.startDate == start) {
            return std::move(candidate);
        }
        if (!first) {
            first = std::move(candidate);
        }
    }
    return first;
}

} // namespace plannery::EventDetailCopies
