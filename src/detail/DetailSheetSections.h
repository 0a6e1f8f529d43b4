#pragma once

#include "detail/EventDetailInfo.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the detail sheet decides about its sections beyond the information itself: how many
// people a long list shows, the headers that count, the line under a reply, which Edit it offers
// and which texts may be opened as links.
namespace plannery::DetailSheet {

inline constexpr std::string_view kUnavailable = "Event Not Available";
inline constexpr std::string_view kOpenInGoogle = "Open in Google Calendar";
inline constexpr std::string_view kEditCopyOn = "Edit the copy on";

// A long list of attendees shows the first few until the user asks for all of them: with more
// than `collapseOver` attendees, `collapsedCount` are shown, and the button offers the rest.
inline constexpr std::size_t kCollapseOver = 6;
inline constexpr std::size_t kCollapsedCount = 4;

struct ShownPeople {
    std::size_t count = 0;
    // "Show all 7 invitees" or "Show fewer"; none when the list is short enough to show whole.
    std::optional<std::string> toggle{};

    friend bool operator==(const ShownPeople&, const ShownPeople&) = default;
};
ShownPeople shownPeople(std::size_t attendees, bool showAll, std::size_t collapseOver,
                        std::size_t collapsedCount);

// "Alert" for one, "Alerts" for several.
std::string alertsHeader(std::size_t count);

// Under "Event Not Available": the title in curly quotes, then what may have happened.
std::string unavailableDescription(std::string_view title);

// "on Work" under a reply, telling the invitations apart; none when there is only one.
std::optional<std::string> invitationCalendarLine(const EventDetailInfo& info,
                                                  const EventDetailInfo::Invitation& invitation);

// "Respond" while the reply is pending, "Change" once answered.
std::string_view replyButton(Reply reply);

// "Opens the link" or "Opens in Maps" for the place button.
std::string_view locationHint(bool isLink);

// What Edit offers: no targets, nothing; one, a button; several, a menu of the calendars.
struct EditTarget {
    int copy = 0;
    std::string label{}; // the calendar's title, and its account when it has one

    friend bool operator==(const EditTarget&, const EditTarget&) = default;
};
struct EditChoice {
    std::vector<EditTarget> targets{};
    bool isMenu = false;

    friend bool operator==(const EditChoice&, const EditChoice&) = default;
};
// The calendar rows that allow edits; without any, the first editable copy the information
// lists (an editable mirror behind a read-only row).
EditChoice editChoice(const EventDetailInfo& info);

// The address a text such as an event's link stands for: the text itself when it is a URL of a
// scheme that is opened (LinkSchemes), else the first web link in it ("www.example.com" gets
// "http://"); none for a text that is no link at all and for a link of any other scheme.
std::optional<std::string> openableURL(std::string_view text);

} // namespace plannery::DetailSheet
