#include "cli/WriteCommands.h"

#include "cli/EventLookup.h"
#include "cli/OpenStore.h"

#include <algorithm>
#include <functional>

namespace plannery::cli {

namespace {

constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

int failed(std::ostream& err, const std::string& sentence, int status = kFailed) {
    err << "plannery: " << sentence << "\n";
    return status;
}

std::unique_ptr<VdirEventStore> open(const std::vector<std::filesystem::path>& roots,
                                     const Calendar& calendar, std::ostream& err,
                                     const std::vector<std::string>& emails = {}) {
    auto store = openStore(roots, calendar, false, err, emails);
    if (store && store->authorizationStatus() != AuthorizationStatus::fullAccess) {
        err << "plannery: There are no calendars to change.\n";
        return nullptr;
    }
    return store;
}

int report(const WriteResult& result, std::ostream& out, std::ostream& err) {
    if (!result.ok()) {
        return failed(err, *result.error);
    }
    out << result.eventIdentifier << "\n";
    return 0;
}

// Opens the calendars, finds the named event (or occurrence) and applies the change to it.
int changeEvent(const std::vector<std::filesystem::path>& roots,
                const std::optional<std::string>& zone, const std::vector<std::string>& emails,
                const std::string& eventID, const std::optional<DateTime>& occurrence,
                std::ostream& out, std::ostream& err,
                const std::function<WriteResult(EventStore&, const StoreEvent&)>& change) {
    const Calendar calendar = Calendar::currentIn(zone);
    const auto store = open(roots, calendar, err, emails);
    if (!store) {
        return kFailed;
    }
    const auto found = findEvent(*store, eventID, occurrence, calendar);
    if (!found.event) {
        return failed(err, found.problem);
    }
    return report(change(*store, *found.event), out, err);
}

} // namespace

int runAdd(const AddOptions& options, std::ostream& out, std::ostream& err) {
    const Calendar calendar = Calendar::currentIn(options.zone);
    const auto store = open(options.roots, calendar, err);
    if (!store) {
        return kFailed;
    }
    const auto calendars = store->calendars();
    const Resolved named = calendarID(calendars, options.calendar);
    const auto target = std::find_if(calendars.begin(), calendars.end(), [&](const auto& c) {
        return c->calendarIdentifier == named.id;
    });
    if (target == calendars.end()) {
        return failed(err, named.problem);
    }
    constexpr const char* kEndsBefore = "The event ends before it starts.";
    if (options.allDay && options.end && options.end->date < options.start.date) {
        return failed(err, kEndsBefore, kBadUsage);
    }
    const auto start = instantOf(options.start, calendar);
    std::optional<Instant> end;
    if (options.allDay) {
        // The last day typed is included: the event ends where the next day starts.
        const auto last = options.end ? instantOf(*options.end, calendar) : start;
        end = last ? calendar.addDays(*last, 1) : std::nullopt;
    } else {
        end = options.end ? instantOf(*options.end, calendar)
                          : (start ? std::optional(start->plus(3600)) : std::nullopt);
    }
    if (!start || !end) {
        return failed(err, "The times cannot be placed in the time zone.");
    }
    if (*end < *start) {
        return failed(err, kEndsBefore, kBadUsage);
    }
    // An instant typed with its offset can lie on another day, and year, in the zone.
    if (const int year = calendar.components(*start).year; year < 1 || year > 9999) {
        return failed(err, "Events start between 0001-01-01 and 9999-12-31.", kBadUsage);
    }
    auto content = std::make_shared<EventContent>();
    content->title = options.title;
    content->location = options.location;
    content->isAllDay = options.allDay;
    if (!options.allDay) {
        content->timeZone = calendar.zoneId();
    }
    content->calendar = *target;
    return report(store->save(StoreEvent{.content = std::move(content),
                                         .startDate = *start,
                                         .endDate = *end,
                                         .occurrenceDate = std::nullopt,
                                         .isDetached = false},
                              Span::thisEvent),
                  out, err);
}

int runRemove(const RemoveOptions& options, std::ostream& out, std::ostream& err) {
    // Without an occurrence the whole event goes: for a series, from its first occurrence on.
    const Span span = !options.occurrence || options.future ? Span::futureEvents : Span::thisEvent;
    return changeEvent(
        options.roots, options.zone, {}, options.eventID, options.occurrence, out, err,
        [&](EventStore& store, const StoreEvent& event) { return store.remove(event, span); });
}

int runReply(const ReplyOptions& options, std::ostream& out, std::ostream& err) {
    const ParticipantStatus status = options.answer == Answer::accept ? ParticipantStatus::accepted
                                     : options.answer == Answer::decline
                                         ? ParticipantStatus::declined
                                         : ParticipantStatus::tentative;
    // Without an occurrence the answer is for the whole series.
    const Span span = options.occurrence ? Span::thisEvent : Span::futureEvents;
    return changeEvent(options.roots, options.zone, options.emails, options.eventID,
                       options.occurrence, out, err,
                       [&](EventStore& store, const StoreEvent& event) {
                           return store.reply(event, status, span);
                       });
}

} // namespace plannery::cli
