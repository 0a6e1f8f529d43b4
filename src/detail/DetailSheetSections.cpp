#include "detail/DetailSheetSections.h"

#include "detail/DetailFormat.h"
#include "model/Ascii.h"
#include "model/CalEvent.h"
#include "model/LinkSchemes.h"

#include <algorithm>

namespace plannery::DetailSheet {

namespace {

// A scheme of at least two characters (so that "C:\notes" is not one), then ":" and something
// after it, and no white space or control character anywhere.
bool hasScheme(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2 || colon + 1 >= text.size() ||
        !isAsciiLetter(text[0])) {
        return false;
    }
    for (std::size_t i = 1; i < colon; ++i) {
        const char c = text[i];
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; });
}

bool isWebScheme(std::string_view text) {
    const auto startsWith = [text](std::string_view prefix) {
        return text.size() >= prefix.size() &&
               std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
                   return a == (isAsciiLetter(b) ? static_cast<char>(b | 0x20) : b);
               });
    };
    return startsWith("http:") || startsWith("https:");
}

} // namespace

ShownPeople shownPeople(std::size_t attendees, bool showAll, std::size_t collapseOver,
                        std::size_t collapsedCount) {
    if (attendees <= collapseOver) {
        return ShownPeople{.count = attendees, .toggle = std::nullopt};
    }
    if (showAll) {
        return ShownPeople{.count = attendees, .toggle = "Show fewer"};
    }
    return ShownPeople{.count = std::min(collapsedCount, attendees),
                       .toggle = "Show all " + std::to_string(attendees) + " invitees"};
}

std::string alertsHeader(std::size_t count) {
    return count == 1 ? "Alert" : "Alerts";
}

std::string unavailableDescription(std::string_view title) {
    return "\u201C" + std::string(title) + "\u201D may have been deleted or moved.";
}

std::optional<std::string> invitationCalendarLine(const EventDetailInfo& info,
                                                  const EventDetailInfo::Invitation& invitation) {
    if (info.invitations.size() < 2) {
        return std::nullopt;
    }
    return "on " + invitation.calendar;
}

std::string_view replyButton(Reply reply) {
    return reply == Reply::pending ? "Respond" : "Change";
}

std::string_view locationHint(bool isLink) {
    return isLink ? "Opens the link" : "Opens in Maps";
}

EditChoice editChoice(const EventDetailInfo& info) {
    EditChoice choice;
    for (const EventDetailInfo::CalendarItem& item : info.calendars) {
        if (item.allowsEdits) {
            choice.targets.push_back(
                EditTarget{.copy = item.copy,
                           .label = item.account.empty() ? item.title
                                                         : item.title + " \u00B7 " + item.account});
        }
    }
    if (choice.targets.empty() && !info.editableCopies.empty()) {
        choice.targets.push_back(EditTarget{.copy = info.editableCopies.front(), .label = "Edit"});
    }
    choice.isMenu = choice.targets.size() >= 2;
    return choice;
}

std::optional<std::string> openableURL(std::string_view text) {
    const std::string trimmed = trimWhiteSpace(text);
    if (hasScheme(trimmed)) {
        // A link of a scheme that is not opened stays text; a web address needs a host after its
        // scheme ("http:" alone opens nothing).
        if (!LinkSchemes::opens(trimmed) ||
            (isWebScheme(trimmed) && !DetailFormat::link(trimmed))) {
            return std::nullopt;
        }
        return trimmed;
    }
    return DetailFormat::link(trimmed);
}

} // namespace plannery::DetailSheet
