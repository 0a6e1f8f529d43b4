#pragma once

#include "detail/EventDetailInfo.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The sheet's own words around an EventDetailInfo: section headers, reply names, the lines of a
// person row. Shared by the detail sheet and the command line, so both say the same.
namespace plannery::EventDetailText {

// "Accepted", "Maybe", "Declined", "Not responded", "Delegated".
std::string_view reply(Reply reply);

// "Calendar" for one calendar, "On 3 calendars" for more.
std::string calendarsHeader(std::size_t count);

// Under the calendars when there are two or more.
inline constexpr std::string_view kSeveralCalendarsFooter =
    "The same event is on each of these calendars and shown once. Edits change one calendar\u2019s "
    "copy.";

// "Also via iCloud, \u201CHome\u201D"; empty when the calendar has no mirrors holding the event.
std::string alsoVia(const EventDetailInfo::CalendarItem& item);

// The reply a calendar row shows: its copy's invitation, and only when the invitations do not all
// carry the same reply (one reply for all is said once, under "Your response").
std::optional<Reply> calendarReply(const EventDetailInfo& info,
                                   const EventDetailInfo::CalendarItem& item);

// The header of the people: "Organizer" without invitees, else "3 invitees", followed (when any
// invitee has answered or is awaited) by " · 1 yes, 1 maybe, 1 awaiting", the part drawn fainter.
// Rooms and resources are not invitees.
struct PeopleHeader {
    std::string invitees{};
    std::string replies{};

    friend bool operator==(const PeopleHeader&, const PeopleHeader&) = default;
};
PeopleHeader peopleHeader(const std::vector<EventDetailInfo::Person>& attendees);

// The name line of a person row: the name, and " (you)" for the user.
std::string personName(const EventDetailInfo::Person& person);
// The line under it, parts joined by " · ": with a caption ("Organizer"), the caption and the
// address; otherwise "Room" or the reply, "optional" when so, and the address.
std::string personDetail(const EventDetailInfo::Person& person,
                         const std::optional<std::string>& caption);

} // namespace plannery::EventDetailText
