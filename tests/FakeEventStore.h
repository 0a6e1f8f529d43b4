#pragma once

#include "model/EventStore.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plannery::test {

// An in-memory event store for tests: calendars, sources and occurrences are added directly,
// nothing repeats by itself (each occurrence is added as its own StoreEvent).
class FakeEventStore final : public EventStore {
  public:
    struct NewCalendar {
        std::string id{};
        std::string title{};
        CalendarType type = CalendarType::local;
        bool editable = true;
        std::optional<PlatformColor> color{};
        SourceHandle source{};
    };

    struct NewEvent {
        std::string identifier{};
        std::optional<std::string> externalID{};
        std::optional<std::string> title{};
        std::optional<std::string> location{};
        bool allDay = false;
        EventStatus status = EventStatus::none;
        std::optional<std::string> notes{};
        std::optional<std::string> url{};
        CalendarHandle calendar{};
        std::optional<Participant> organizer{};
        std::vector<Participant> attendees{};
    };

    FakeEventStore() = default;

    void setAuthorizationStatus(AuthorizationStatus status) { m_status = status; }
    // What the user answers when asked for access; unanswered, the status stays as it is.
    void setAnswerToRequest(AuthorizationStatus status) { m_answer = status; }

    SourceHandle addSource(std::string id, SourceType type, std::string title);
    CalendarHandle addCalendar(NewCalendar fields);
    // One occurrence of new content.
    StoreEvent addEvent(const NewEvent& fields, Instant start, std::optional<Instant> end);
    // Another occurrence of existing content (a repeating event).
    StoreEvent addOccurrence(std::shared_ptr<const EventContent> content, Instant start,
                             std::optional<Instant> end);
    static std::shared_ptr<const EventContent> contentOf(const NewEvent& fields);

    // How many times events() was asked.
    int eventQueries() const { return m_eventQueries; }
    // A copy of the calendars and events as they are now, for a worker thread: it shares only
    // immutable values with this store, tells no one of changes, and counts its own queries.
    std::unique_ptr<EventStore> snapshot() const;

    AuthorizationStatus authorizationStatus() const override { return m_status; }
    void requestFullAccessToEvents(std::function<void(bool granted)> done) override;
    std::vector<CalendarHandle> calendars() const override { return m_calendars; }
    CalendarHandle defaultCalendarForNewEvents() const override;
    std::vector<SourceHandle> sources() const override { return m_sources; }
    std::vector<StoreEvent>
    events(Instant start, Instant end,
           const std::vector<CalendarHandle>& calendars = {}) const override;
    std::optional<StoreEvent> event(const std::string& eventIdentifier) const override;
    bool refresh(StoreEvent& event) const override;
    WriteResult save(const StoreEvent& event, Span span) override;
    WriteResult remove(const StoreEvent& event, Span span) override;
    WriteResult reply(const StoreEvent& event, ParticipantStatus status, Span span) override;
    void setChangeHandler(std::function<void()> handler) override {
        m_changeHandler = std::move(handler);
    }

  private:
    void changed() const;

    AuthorizationStatus m_status = AuthorizationStatus::fullAccess;
    std::optional<AuthorizationStatus> m_answer;
    std::vector<SourceHandle> m_sources;
    std::vector<CalendarHandle> m_calendars;
    std::vector<StoreEvent> m_events;
    std::function<void()> m_changeHandler;
    mutable int m_eventQueries = 0;
};

} // namespace plannery::test
