#include "FakeEventStore.h"

#include <algorithm>

namespace plannery::test {

std::unique_ptr<EventStore> FakeEventStore::snapshot() const {
    auto copy = std::make_unique<FakeEventStore>();
    copy->m_status = m_status;
    copy->m_answer = m_answer;
    copy->m_sources = m_sources;
    copy->m_calendars = m_calendars;
    copy->m_events = m_events;
    return copy;
}

SourceHandle FakeEventStore::addSource(std::string id, SourceType type, std::string title) {
    auto source = std::make_shared<const Source>(
        Source{.sourceIdentifier = std::move(id), .sourceType = type, .title = std::move(title)});
    m_sources.push_back(source);
    return source;
}

CalendarHandle FakeEventStore::addCalendar(NewCalendar fields) {
    auto calendar = std::make_shared<const StoreCalendar>(
        StoreCalendar{.calendarIdentifier = std::move(fields.id),
                      .title = std::move(fields.title),
                      .color = std::move(fields.color),
                      .type = fields.type,
                      .allowsContentModifications = fields.editable,
                      .source = std::move(fields.source)});
    m_calendars.push_back(calendar);
    return calendar;
}

std::shared_ptr<const EventContent> FakeEventStore::contentOf(const NewEvent& fields) {
    return std::make_shared<const EventContent>(
        EventContent{.eventIdentifier = fields.identifier,
                     .calendarItemExternalIdentifier = fields.externalID,
                     .title = fields.title,
                     .location = fields.location,
                     .structuredLocation = std::nullopt,
                     .isAllDay = fields.allDay,
                     .timeZone = std::nullopt,
                     .status = fields.status,
                     .notes = fields.notes,
                     .url = fields.url,
                     .calendar = fields.calendar,
                     .organizer = fields.organizer,
                     .attendees = fields.attendees,
                     .recurrenceRules = {},
                     .alarms = {}});
}

StoreEvent FakeEventStore::addEvent(const NewEvent& fields, Instant start,
                                    std::optional<Instant> end) {
    return addOccurrence(contentOf(fields), start, end);
}

StoreEvent FakeEventStore::addOccurrence(std::shared_ptr<const EventContent> content, Instant start,
                                         std::optional<Instant> end) {
    StoreEvent event{.content = std::move(content),
                     .startDate = start,
                     .endDate = end,
                     .occurrenceDate = std::nullopt,
                     .isDetached = false};
    m_events.push_back(event);
    changed();
    return event;
}

void FakeEventStore::requestFullAccessToEvents(std::function<void(bool granted)> done) {
    if (m_answer) {
        m_status = *m_answer;
    }
    if (done) {
        done(m_status == AuthorizationStatus::fullAccess);
    }
}

CalendarHandle FakeEventStore::defaultCalendarForNewEvents() const {
    auto editable = std::find_if(m_calendars.begin(), m_calendars.end(),
                                 [](const auto& c) { return c->allowsContentModifications; });
    return editable == m_calendars.end() ? nullptr : *editable;
}

std::vector<StoreEvent> FakeEventStore::events(Instant start, Instant end,
                                               const std::vector<CalendarHandle>& calendars) const {
    ++m_eventQueries;
    std::vector<StoreEvent> result;
    for (const StoreEvent& event : m_events) {
        const Instant eventStart = event.startDate;
        const Instant eventEnd = event.endDate.value_or(eventStart);
        // Overlap with [start, end); an event without length counts when it starts inside.
        const bool overlaps = eventEnd > eventStart ? (eventStart < end && eventEnd > start)
                                                    : (eventStart >= start && eventStart < end);
        if (!overlaps) {
            continue;
        }
        if (!calendars.empty()) {
            const CalendarHandle& own = event.calendar();
            const bool wanted =
                own && std::any_of(calendars.begin(), calendars.end(), [&](const auto& c) {
                    return c && c->calendarIdentifier == own->calendarIdentifier;
                });
            if (!wanted) {
                continue;
            }
        }
        result.push_back(event);
    }
    return result;
}

std::optional<StoreEvent> FakeEventStore::event(const std::string& eventIdentifier) const {
    for (const StoreEvent& event : m_events) {
        if (event.eventIdentifier() == eventIdentifier) {
            return event;
        }
    }
    return std::nullopt;
}

bool FakeEventStore::refresh(StoreEvent& event) const {
    auto found = this->event(event.eventIdentifier());
    if (!found) {
        return false;
    }
    event = *found;
    return true;
}

WriteResult FakeEventStore::save(const StoreEvent& event, Span) {
    auto same = std::find_if(m_events.begin(), m_events.end(), [&](const StoreEvent& e) {
        return e.eventIdentifier() == event.eventIdentifier() && e.startDate == event.startDate;
    });
    if (same == m_events.end()) {
        m_events.push_back(event);
    } else {
        *same = event;
    }
    changed();
    return WriteResult{.error = std::nullopt, .eventIdentifier = event.eventIdentifier()};
}

WriteResult FakeEventStore::remove(const StoreEvent& event, Span span) {
    const auto before = m_events.size();
    std::erase_if(m_events, [&](const StoreEvent& e) {
        if (e.eventIdentifier() != event.eventIdentifier()) {
            return false;
        }
        return span == Span::futureEvents ? e.startDate >= event.startDate
                                          : e.startDate == event.startDate;
    });
    if (m_events.size() == before) {
        return WriteResult{.error = "The event could not be found."};
    }
    changed();
    return {};
}

WriteResult FakeEventStore::reply(const StoreEvent& event, ParticipantStatus status, Span span) {
    bool answered = false;
    for (StoreEvent& e : m_events) {
        const bool inSpan = span == Span::futureEvents || e.startDate == event.startDate;
        if (e.eventIdentifier() != event.eventIdentifier() || !inSpan) {
            continue;
        }
        auto content = std::make_shared<EventContent>(*e.content);
        for (Participant& attendee : content->attendees) {
            if (attendee.isCurrentUser) {
                attendee.participantStatus = status;
                answered = true;
            }
        }
        e.content = std::move(content);
    }
    if (!answered) {
        return WriteResult{.error = "You are not invited to this event."};
    }
    changed();
    return WriteResult{.error = std::nullopt, .eventIdentifier = event.eventIdentifier()};
}

void FakeEventStore::changed() const {
    if (m_changeHandler) {
        m_changeHandler();
    }
}

} // namespace plannery::test
