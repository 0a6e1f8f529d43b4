#include "detail/EventDetailText.h"

#include <algorithm>

namespace plannery::EventDetailText {

namespace {

constexpr std::string_view kDot = " \u00B7 ";

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string out;
    for (const std::string& part : parts) {
        if (!out.empty()) {
            out += separator;
        }
        out += part;
    }
    return out;
}

} // namespace

std::string_view reply(Reply reply) {
    switch (reply) {
    case Reply::accepted:
        return "Accepted";
    case Reply::tentative:
        return "Maybe";
    case Reply::declined:
        return "Declined";
    case Reply::pending:
        return "Not responded";
    case Reply::other:
        return "Delegated";
    }
    return "Not responded";
}

std::string calendarsHeader(std::size_t count) {
    return count == 1 ? "Calendar" : "On " + std::to_string(count) + " calendars";
}

std::string alsoVia(const EventDetailInfo::CalendarItem& item) {
    return item.alsoVia.empty() ? std::string() : "Also via " + joined(item.alsoVia, ", ");
}

std::optional<Reply> calendarReply(const EventDetailInfo& info,
                                   const EventDetailInfo::CalendarItem& item) {
    const auto& invitations = info.invitations;
    const bool allTheSame =
        std::all_of(invitations.begin(), invitations.end(), [&](const auto& invitation) {
            return invitation.reply == invitations[0].reply;
        });
    if (allTheSame) {
        return std::nullopt;
    }
    const auto own =
        std::find_if(invitations.begin(), invitations.end(),
                     [&](const auto& invitation) { return invitation.copy == item.copy; });
    return own == invitations.end() ? std::nullopt : std::optional(own->reply);
}

PeopleHeader peopleHeader(const std::vector<EventDetailInfo::Person>& attendees) {
    int invitees = 0;
    int counts[4] = {0, 0, 0, 0}; // yes, maybe, no, awaiting
    for (const auto& person : attendees) {
        if (person.isRoom) {
            continue;
        }
        ++invitees;
        switch (person.reply) {
        case Reply::accepted:
            ++counts[0];
            break;
        case Reply::tentative:
            ++counts[1];
            break;
        case Reply::declined:
            ++counts[2];
            break;
        case Reply::pending:
            ++counts[3];
            break;
        case Reply::other:
            break;
        }
    }
    if (invitees == 0) {
        return PeopleHeader{.invitees = "Organizer", .replies = {}};
    }
    PeopleHeader header{.invitees =
                            invitees == 1 ? "1 invitee" : std::to_string(invitees) + " invitees",
                        .replies = {}};
    static constexpr std::string_view kWords[4] = {"yes", "maybe", "no", "awaiting"};
    std::vector<std::string> parts;
    for (int i = 0; i < 4; ++i) {
        if (counts[i] > 0) {
            parts.push_back(std::to_string(counts[i]) + " " + std::string(kWords[i]));
        }
    }
    if (!parts.empty()) {
        header.replies = std::string(kDot) + joined(parts, ", ");
    }
    return header;
}

std::string personName(const EventDetailInfo::Person& person) {
    return person.isMe ? person.name + " (you)" : person.name;
}

std::string personDetail(const EventDetailInfo::Person& person,
                         const std::optional<std::string>& caption) {
    std::vector<std::string> parts;
    if (caption) {
        parts.push_back(*caption);
    } else {
        parts.emplace_back(person.isRoom ? std::string_view("Room") : reply(person.reply));
        if (person.isOptional) {
            parts.emplace_back("optional");
        }
    }
    if (person.email) {
        parts.push_back(*person.email);
    }
    return joined(parts, kDot);
}

} // namespace plannery::EventDetailText
