#include "store/ImageEventsSaving.h"

#include <algorithm>

namespace plannery::ImageEventsSaving {

std::vector<CalendarChoice> writableCalendars(const std::vector<AccountGroup>& groups,
                                              const CalendarMirrors& mirrors,
                                              const std::set<std::string>& hidden) {
    std::vector<CalendarChoice> choices;
    for (const AccountGroup& group : groups) {
        for (const CalendarHandle& calendar : group.calendars) {
            if (calendar && calendar->allowsContentModifications &&
                mirrors.isVisible(calendar->calendarIdentifier, hidden)) {
                choices.push_back(CalendarChoice{.calendar = calendar, .account = group.name});
            }
        }
    }
    return choices;
}

CalendarHandle chosen(const std::vector<CalendarChoice>& choices, const std::string& calendarID,
                      const CalendarHandle& defaultCalendar) {
    const auto named = [&](const std::string& id) {
        return std::find_if(choices.begin(), choices.end(), [&](const CalendarChoice& choice) {
            return choice.calendar->calendarIdentifier == id;
        });
    };
    if (auto found = named(calendarID); !calendarID.empty() && found != choices.end()) {
        return found->calendar;
    }
    if (defaultCalendar) {
        if (auto found = named(defaultCalendar->calendarIdentifier); found != choices.end()) {
            return found->calendar;
        }
    }
    return choices.empty() ? nullptr : choices.front().calendar;
}

StoreEvent event(const EventSuggestion& suggestion, CalendarHandle calendar,
                 const std::string& systemZone) {
    auto content = std::make_shared<EventContent>();
    content->title = suggestion.title;
    content->isAllDay = suggestion.isAllDay;
    if (!suggestion.isAllDay) {
        content->timeZone = suggestion.timeZone.value_or(systemZone);
    }
    content->location = suggestion.location;
    content->notes = suggestion.notes;
    content->calendar = std::move(calendar);
    return StoreEvent{.content = std::move(content),
                      .startDate = suggestion.start,
                      .endDate = suggestion.isAllDay ? suggestion.end.plus(-1) : suggestion.end,
                      .occurrenceDate = std::nullopt,
                      .isDetached = false};
}

std::vector<EventSuggestion> pending(const std::vector<EventSuggestion>& suggestions,
                                     const std::map<std::string, std::string>& added) {
    std::vector<EventSuggestion> result;
    std::copy_if(suggestions.begin(), suggestions.end(), std::back_inserter(result),
                 [&](const EventSuggestion& s) { return !added.contains(s.id); });
    return result;
}

std::optional<Instant> earliestAdded(const std::vector<EventSuggestion>& suggestions,
                                     const std::map<std::string, std::string>& added) {
    std::optional<Instant> earliest;
    for (const EventSuggestion& s : suggestions) {
        if (added.contains(s.id) && (!earliest || s.start < *earliest)) {
            earliest = s.start;
        }
    }
    return earliest;
}

} // namespace plannery::ImageEventsSaving
