#pragma once

#include "model/Instant.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plannery {

// The event store: the one way the program reads and writes calendars. The values of the
// enumerations are the store's own numbers, which other code (and stored preferences) rely on.

enum class AuthorizationStatus {
    notDetermined = 0,
    restricted = 1,
    denied = 2,
    fullAccess = 3,
    writeOnly = 4
};

enum class CalendarType { local = 0, calDAV = 1, exchange = 2, subscription = 3, birthday = 4 };

enum class SourceType {
    local = 0,
    exchange = 1,
    calDAV = 2,
    iCloud = 3,
    subscribed = 4,
    birthdays = 5
};

enum class EventStatus { none = 0, confirmed = 1, tentative = 2, canceled = 3 };

enum class ParticipantStatus {
    unknown = 0,
    pending = 1,
    accepted = 2,
    declined = 3,
    tentative = 4,
    delegated = 5,
    completed = 6,
    inProcess = 7
};

enum class ParticipantRole {
    unknown = 0,
    required = 1,
    optional = 2,
    chair = 3,
    nonParticipant = 4
};

enum class ParticipantType { unknown = 0, person = 1, room = 2, resource = 3, group = 4 };

enum class RecurrenceFrequency { daily = 0, weekly = 1, monthly = 2, yearly = 3 };

// A colour as the store keeps it: components in sRGB with alpha last, so a colour has four
// components and a grey two (white, alpha).
struct PlatformColor {
    std::vector<double> components;

    friend bool operator==(const PlatformColor&, const PlatformColor&) = default;
};

struct Source {
    std::string sourceIdentifier;
    SourceType sourceType = SourceType::local;
    std::string title;

    friend bool operator==(const Source&, const Source&) = default;
};
using SourceHandle = std::shared_ptr<const Source>;

struct StoreCalendar {
    std::string calendarIdentifier;
    std::string title;
    std::optional<PlatformColor> color;
    CalendarType type = CalendarType::local;
    bool allowsContentModifications = true;
    SourceHandle source;
};
using CalendarHandle = std::shared_ptr<const StoreCalendar>;

struct Participant {
    std::string url; // "mailto:ann@example.com"
    std::optional<std::string> name;
    bool isCurrentUser = false;
    ParticipantStatus participantStatus = ParticipantStatus::unknown;
    ParticipantRole participantRole = ParticipantRole::required;
    ParticipantType participantType = ParticipantType::person;

    friend bool operator==(const Participant&, const Participant&) = default;
};

struct Alarm {
    std::optional<Instant> absoluteDate;
    double relativeOffset = 0; // seconds from the start; negative is before

    friend bool operator==(const Alarm&, const Alarm&) = default;
};

struct RecurrenceDayOfWeek {
    int dayOfTheWeek = 1; // 1 = Sunday ... 7 = Saturday
    int weekNumber = 0;   // 0: every such weekday; 1, 2, -1, ...: that one in the month or year

    friend bool operator==(const RecurrenceDayOfWeek&, const RecurrenceDayOfWeek&) = default;
};

struct RecurrenceRule {
    RecurrenceFrequency frequency = RecurrenceFrequency::daily;
    int interval = 1;
    std::vector<RecurrenceDayOfWeek> daysOfTheWeek;
    std::vector<int> daysOfTheMonth;
    std::vector<int> monthsOfTheYear;
    std::vector<int> setPositions;
    // At most one of the two ends is set; neither means the rule never ends.
    std::optional<Instant> endDate;
    int occurrenceCount = 0;

    friend bool operator==(const RecurrenceRule&, const RecurrenceRule&) = default;
};

struct GeoLocation {
    double latitude = 0;
    double longitude = 0;

    friend bool operator==(const GeoLocation&, const GeoLocation&) = default;
};

struct StructuredLocation {
    std::string title;
    std::optional<GeoLocation> geoLocation;

    friend bool operator==(const StructuredLocation&, const StructuredLocation&) = default;
};

// What one calendar object says about an event (a master or one override). Immutable once made
// and shared by every occurrence it produces, so a long description is held once however often
// the event repeats.
struct EventContent {
    std::string eventIdentifier;
    std::optional<std::string> calendarItemExternalIdentifier;
    std::optional<std::string> title;
    std::optional<std::string> location;
    std::optional<StructuredLocation> structuredLocation;
    bool isAllDay = false;
    std::optional<std::string> timeZone; // zone identifier; absent for floating times
    EventStatus status = EventStatus::none;
    std::optional<std::string> notes;
    std::optional<std::string> url;
    CalendarHandle calendar;
    std::optional<Participant> organizer;
    std::vector<Participant> attendees;
    std::vector<RecurrenceRule> recurrenceRules;
    std::vector<Alarm> alarms;
};

// One occurrence of an event, as the store hands it out.
struct StoreEvent {
    std::shared_ptr<const EventContent> content;
    Instant startDate;
    std::optional<Instant> endDate;
    // The start the occurrence has by its rule (differs from startDate for a moved occurrence);
    // absent for an event that does not repeat.
    std::optional<Instant> occurrenceDate;
    // This occurrence was changed on its own (an override of a repeating event).
    bool isDetached = false;

    const std::string& eventIdentifier() const { return content->eventIdentifier; }
    const std::optional<std::string>& calendarItemExternalIdentifier() const {
        return content->calendarItemExternalIdentifier;
    }
    const std::optional<std::string>& title() const { return content->title; }
    const std::optional<std::string>& location() const { return content->location; }
    const std::optional<StructuredLocation>& structuredLocation() const {
        return content->structuredLocation;
    }
    bool isAllDay() const { return content->isAllDay; }
    const std::optional<std::string>& timeZone() const { return content->timeZone; }
    EventStatus status() const { return content->status; }
    const std::optional<std::string>& notes() const { return content->notes; }
    const std::optional<std::string>& url() const { return content->url; }
    const CalendarHandle& calendar() const { return content->calendar; }
    const std::optional<Participant>& organizer() const { return content->organizer; }
    const std::vector<Participant>& attendees() const { return content->attendees; }
    bool hasAttendees() const { return !content->attendees.empty(); }
    bool hasRecurrenceRules() const { return !content->recurrenceRules.empty(); }
    const std::vector<RecurrenceRule>& recurrenceRules() const { return content->recurrenceRules; }
    const std::vector<Alarm>& alarms() const { return content->alarms; }
};

// Which occurrences a change to a repeating event applies to.
enum class Span { thisEvent, futureEvents };

// The outcome of a write: success with the identifier of the event written, or a sentence for
// the user.
struct WriteResult {
    std::optional<std::string> error;
    std::string eventIdentifier{};

    bool ok() const { return !error.has_value(); }
};

class EventStore {
  public:
    EventStore() = default;
    EventStore(const EventStore&) = delete;
    EventStore& operator=(const EventStore&) = delete;
    virtual ~EventStore() = default;

    virtual AuthorizationStatus authorizationStatus() const = 0;
    // Asks for full access; `done` is called with whether it was granted.
    virtual void requestFullAccessToEvents(std::function<void(bool granted)> done) = 0;

    virtual std::vector<CalendarHandle> calendars() const = 0;
    virtual CalendarHandle defaultCalendarForNewEvents() const = 0;
    virtual std::vector<SourceHandle> sources() const = 0;

    // The occurrences that overlap [start, end) on the given calendars (all calendars when the
    // list is empty), repeating events expanded.
    virtual std::vector<StoreEvent>
    events(Instant start, Instant end, const std::vector<CalendarHandle>& calendars = {}) const = 0;
    virtual std::optional<StoreEvent> event(const std::string& eventIdentifier) const = 0;
    // Re-reads the event; false when it no longer exists.
    virtual bool refresh(StoreEvent& event) const = 0;

    // Saves a new event (empty event identifier; its calendar, or the default calendar when it
    // has none) or a changed one. For an occurrence of a repeating event, `span` says whether the
    // change applies to it alone or to it and every later one.
    virtual WriteResult save(const StoreEvent& event, Span span) = 0;
    // Removes one occurrence, or it and every later one; a single event or a whole series (the
    // first occurrence with futureEvents) goes entirely.
    virtual WriteResult remove(const StoreEvent& event, Span span) = 0;
    // Answers an invitation as the current user: for this occurrence alone, or (futureEvents) for
    // the whole series.
    virtual WriteResult reply(const StoreEvent& event, ParticipantStatus status, Span span) = 0;

    // Called on the main thread whenever the store's content changes.
    virtual void setChangeHandler(std::function<void()> handler) = 0;
};

} // namespace plannery
