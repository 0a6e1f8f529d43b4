#pragma once

#include "detail/Ics.h"
#include "model/AccountGroups.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/CalendarMirrors.h"
#include "model/EventStore.h"

#include <optional>
#include <string>
#include <vector>

namespace plannery {

// Everything the detail sheet shows of one event, flattened from the copies that stand behind it
// (one per calendar that holds it; the first is the primary). Plain values only: the sheet and the
// command line read it without touching the event store. "Copy" fields are indices into the list
// of copies the information was built from.
struct EventDetailInfo {
    // One row per group of mirrored calendars that hold a copy.
    struct CalendarItem {
        std::string id{}; // the calendar of the first copy seen in the group
        std::string title{};
        std::string account{};
        RGB rgb{};
        bool allowsEdits = false;
        int copy = 0; // the copy to edit: the first one on an editable calendar, if any
        // Other calendars of the group: their account names, or their titles in curly quotes
        // when they are in the same account.
        std::vector<std::string> alsoVia{};

        friend bool operator==(const CalendarItem&, const CalendarItem&) = default;
    };

    // The user's own invitation on one calendar (group).
    struct Invitation {
        int copy = 0;
        std::string calendar{}; // the calendar's title; empty without a calendar
        Reply reply = Reply::pending;

        friend bool operator==(const Invitation&, const Invitation&) = default;
    };

    struct Person {
        std::string id{}; // the participant's URL and name
        std::string name{};
        std::optional<std::string> email{};
        Reply reply = Reply::pending;
        bool isMe = false;
        bool isOptional = false;
        bool isRoom = false; // a room or another resource

        friend bool operator==(const Person&, const Person&) = default;
    };

    std::string title{};
    bool isCanceled = false;
    std::optional<std::string> location{};
    std::optional<std::string> locationURL{}; // the link in the place, or a map search for it
    bool locationIsLink = false;
    std::string dateLine{};
    std::string timeLine{};
    std::optional<std::string> recurrence{};
    std::optional<std::string> timeZoneNote{};
    std::vector<CalendarItem> calendars{};
    std::vector<Invitation> invitations{};
    std::optional<Person> organizer{};
    std::vector<Person> attendees{}; // the user first, people before rooms, by reply
    std::optional<std::string> url{};
    std::optional<std::string> notes{};
    std::vector<std::string> alerts{};
    std::vector<int> editableCopies{};
    IcsEvent share{}; // the event as the share file holds it
    bool onGoogle = false;

    friend bool operator==(const EventDetailInfo&, const EventDetailInfo&) = default;

    // The colour of every calendar row, in order: the stripe beside the title.
    std::vector<RGB> colors() const;

    // The information for these copies (the first the primary) in the user's calendar and
    // locale; none without copies. Calendars that mirror each other (`mirrors`) share one row;
    // `looksLikeGoogle` is asked about CalDAV accounts that might be Google in disguise.
    static std::optional<EventDetailInfo> make(const std::vector<StoreEvent>& copies,
                                               const CalendarMirrors& mirrors,
                                               const Calendar& calendar,
                                               const GoogleCheck& looksLikeGoogle);
};

// The account a calendar row names: "Subscribed", "Contacts" for birthdays, "On This Computer"
// for a local account, else the account's title (empty without an account).
std::string accountName(const StoreCalendar& calendar);

// Where the place is on a map: a map search for the text, centred on the coordinates when known.
std::string mapsURL(const std::string& location, const std::optional<GeoLocation>& coordinates);

} // namespace plannery
