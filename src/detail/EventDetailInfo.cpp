#include "detail/EventDetailInfo.h"

#include "detail/DetailFormat.h"
#include "model/AccountKind.h"
#include "model/GoogleCalendarLink.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

namespace plannery {

namespace {

// The map page takes the same path and query keys ("q" for a search, "ll" for a centre) as the
// maps of the platform the sheet was first drawn for.
constexpr std::string_view kMapsPage = "https://maps.google.com/";

// A query value with everything but the unreserved characters percent-encoded, so that "&", "+"
// or "#" in a place name stay part of it.
std::string queryValue(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                           c == '~';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

// The shortest decimal text that reads back as the same number.
std::string shortestDecimal(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string lowerCased(std::string_view text) {
    std::string out;
    icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())))
        .toLower(icu::Locale::getRoot())
        .toUTF8String(out);
    return out;
}

// A text that is not empty once trimmed, trimmed.
std::optional<std::string> nonEmpty(const std::optional<std::string>& text) {
    if (!text) {
        return std::nullopt;
    }
    std::string trimmed = trimWhiteSpace(*text);
    return trimmed.empty() ? std::nullopt : std::optional(std::move(trimmed));
}

const Participant* currentUserAmong(const std::vector<Participant>& attendees) {
    const auto user = std::find_if(attendees.begin(), attendees.end(),
                                   [](const Participant& p) { return p.isCurrentUser; });
    return user == attendees.end() ? nullptr : &*user;
}

EventDetailInfo::Person personFrom(const Participant& participant, Reply reply) {
    std::optional<std::string> email = DetailFormat::email(participant.url);
    std::string name = trimWhiteSpace(participant.name.value_or(std::string()));
    std::string id = participant.url + name;
    if (!name.empty()) {
        if (email && *email == name) {
            email.reset();
        }
    } else if (email) {
        name = *email;
    } else {
        name = "Unknown";
    }
    return EventDetailInfo::Person{
        .id = std::move(id),
        .name = std::move(name),
        .email = std::move(email),
        .reply = reply,
        .isMe = participant.isCurrentUser,
        .isOptional = participant.participantRole == ParticipantRole::optional ||
                      participant.participantRole == ParticipantRole::nonParticipant,
        .isRoom = participant.participantType == ParticipantType::room ||
                  participant.participantType == ParticipantType::resource};
}

int replyRank(Reply reply) {
    switch (reply) {
    case Reply::accepted:
        return 0;
    case Reply::tentative:
        return 1;
    case Reply::pending:
    case Reply::other:
        return 2;
    case Reply::declined:
        return 3;
    }
    return 2;
}

void fillLocation(EventDetailInfo& info, const std::vector<StoreEvent>& copies) {
    for (const StoreEvent& copy : copies) {
        if (auto location = nonEmpty(copy.location())) {
            info.location = std::move(location);
            break;
        }
    }
    if (!info.location) {
        return;
    }
    if (auto link = DetailFormat::link(*info.location)) {
        info.locationURL = std::move(link);
        info.locationIsLink = true;
        return;
    }
    std::optional<GeoLocation> coordinates;
    for (const StoreEvent& copy : copies) {
        if (copy.structuredLocation() && copy.structuredLocation()->geoLocation) {
            coordinates = copy.structuredLocation()->geoLocation;
            break;
        }
    }
    info.locationURL = mapsURL(*info.location, coordinates);
}

void fillCalendars(EventDetailInfo& info, const std::vector<StoreEvent>& copies,
                   const CalendarMirrors& mirrors) {
    std::vector<std::string> keys; // the group key of each item
    for (std::size_t index = 0; index < copies.size(); ++index) {
        const CalendarHandle& calendar = copies[index].calendar();
        if (!calendar) {
            continue;
        }
        const std::string& key = mirrors.key(calendar->calendarIdentifier);
        const auto seen = std::find(keys.begin(), keys.end(), key);
        if (seen == keys.end()) {
            keys.push_back(key);
            info.calendars.push_back(
                EventDetailInfo::CalendarItem{.id = calendar->calendarIdentifier,
                                              .title = calendar->title,
                                              .account = accountName(*calendar),
                                              .rgb = RGB::from(calendar->color),
                                              .allowsEdits = calendar->allowsContentModifications,
                                              .copy = static_cast<int>(index),
                                              .alsoVia = {}});
            continue;
        }
        auto& item = info.calendars[static_cast<std::size_t>(seen - keys.begin())];
        if (item.id == calendar->calendarIdentifier) {
            continue;
        }
        const std::string account = accountName(*calendar);
        std::string via = account != item.account ? account : "\u201C" + calendar->title + "\u201D";
        if (std::find(item.alsoVia.begin(), item.alsoVia.end(), via) == item.alsoVia.end()) {
            item.alsoVia.push_back(std::move(via));
        }
        if (!item.allowsEdits && calendar->allowsContentModifications) {
            item.allowsEdits = true;
            item.copy = static_cast<int>(index);
        }
    }
}

void fillInvitations(EventDetailInfo& info, const std::vector<StoreEvent>& copies,
                     const CalendarMirrors& mirrors) {
    std::set<std::string> seen;
    for (std::size_t index = 0; index < copies.size(); ++index) {
        const StoreEvent& copy = copies[index];
        const bool organizedByMe = copy.organizer() && copy.organizer()->isCurrentUser;
        const Participant* me = currentUserAmong(copy.attendees());
        if (!copy.hasAttendees() || organizedByMe || me == nullptr) {
            continue;
        }
        const CalendarHandle& calendar = copy.calendar();
        const std::string key =
            calendar ? mirrors.key(calendar->calendarIdentifier) : std::to_string(index);
        if (!seen.insert(key).second) {
            continue;
        }
        info.invitations.push_back(
            EventDetailInfo::Invitation{.copy = static_cast<int>(index),
                                        .calendar = calendar ? calendar->title : std::string(),
                                        .reply = replyFrom(me->participantStatus)});
    }
}

void fillPeople(EventDetailInfo& info, const std::vector<StoreEvent>& copies) {
    // The copy that knows the most people speaks for all of them.
    const StoreEvent* source = &copies.front();
    for (const StoreEvent& copy : copies) {
        if (copy.attendees().size() > source->attendees().size()) {
            source = &copy;
        }
    }
    const Participant* organizer = source->organizer() ? &*source->organizer() : nullptr;
    if (organizer == nullptr) {
        const auto withOrganizer =
            std::find_if(copies.begin(), copies.end(),
                         [](const StoreEvent& c) { return c.organizer().has_value(); });
        if (withOrganizer != copies.end()) {
            organizer = &*withOrganizer->organizer();
        }
    }
    std::optional<std::string> organizerEmail;
    if (organizer != nullptr) {
        info.organizer = personFrom(*organizer, Reply::accepted);
        if (auto email = DetailFormat::email(organizer->url)) {
            organizerEmail = lowerCased(*email);
        }
    }
    for (const Participant& attendee : source->attendees()) {
        const auto email = DetailFormat::email(attendee.url);
        // The organiser is often listed among the attendees too; the sheet shows them once.
        if (organizerEmail && email && lowerCased(*email) == *organizerEmail) {
            continue;
        }
        info.attendees.push_back(personFrom(attendee, replyFrom(attendee.participantStatus)));
    }
    std::stable_sort(info.attendees.begin(), info.attendees.end(),
                     [](const EventDetailInfo::Person& a, const EventDetailInfo::Person& b) {
                         if (a.isMe != b.isMe) {
                             return a.isMe;
                         }
                         if (a.isRoom != b.isRoom) {
                             return !a.isRoom;
                         }
                         return replyRank(a.reply) < replyRank(b.reply);
                     });
}

std::vector<std::string> alertsOf(const std::vector<StoreEvent>& copies, const Calendar& calendar) {
    std::vector<std::string> alerts;
    for (const StoreEvent& copy : copies) {
        for (const Alarm& alarm : copy.alarms()) {
            std::string text =
                alarm.absoluteDate
                    ? DetailFormat::alarm(*alarm.absoluteDate, calendar, calendar.localeId())
                    : DetailFormat::alarm(alarm.relativeOffset, copy.isAllDay(), copy.startDate,
                                          calendar, calendar.localeId());
            if (std::find(alerts.begin(), alerts.end(), text) == alerts.end()) {
                alerts.push_back(std::move(text));
            }
        }
    }
    return alerts;
}

IcsEvent shareOf(const EventDetailInfo& info, const StoreEvent& primary, Instant start,
                 Instant end) {
    std::string uid = primary.calendarItemExternalIdentifier().value_or(std::string());
    if (uid.empty()) {
        uid = primary.eventIdentifier();
    }
    if (uid.empty()) {
        uid = freshUUID();
    }
    const bool repeats = primary.hasRecurrenceRules() || primary.isDetached;
    return IcsEvent{.uid = std::move(uid),
                    .title = trimWhiteSpace(primary.title().value_or(std::string())),
                    .start = start,
                    .end = end > start ? end : start,
                    .isAllDay = primary.isAllDay(),
                    .location = info.location,
                    .notes = info.notes,
                    .url = info.url,
                    .occurrence = repeats ? std::optional(primary.occurrenceDate.value_or(start))
                                          : std::nullopt};
}

} // namespace

std::vector<RGB> EventDetailInfo::colors() const {
    std::vector<RGB> result;
    result.reserve(calendars.size());
    for (const CalendarItem& item : calendars) {
        result.push_back(item.rgb);
    }
    return result;
}

std::optional<EventDetailInfo> EventDetailInfo::make(const std::vector<StoreEvent>& copies,
                                                     const CalendarMirrors& mirrors,
                                                     const Calendar& calendar,
                                                     const GoogleCheck& looksLikeGoogle) {
    if (copies.empty() ||
        std::any_of(copies.begin(), copies.end(), [](const StoreEvent& c) { return !c.content; })) {
        return std::nullopt;
    }
    const std::string& localeId = calendar.localeId();
    const StoreEvent& primary = copies.front();
    EventDetailInfo info;

    info.title = trimWhiteSpace(primary.title().value_or(std::string()));
    if (info.title.empty()) {
        info.title = "(No title)";
    }
    info.isCanceled = primary.status() == EventStatus::canceled;
    fillLocation(info, copies);

    const Instant start = primary.startDate;
    const Instant end = primary.endDate.value_or(start);
    const DetailFormat::WhenLines when =
        DetailFormat::when(start, end, primary.isAllDay(), calendar, localeId);
    info.dateLine = when.date;
    info.timeLine = when.time;
    if (primary.hasRecurrenceRules()) {
        info.recurrence =
            DetailFormat::recurrence(primary.recurrenceRules().front(), calendar, localeId);
    }
    if (!primary.isAllDay()) {
        std::vector<std::optional<std::string>> zones;
        zones.reserve(copies.size());
        for (const StoreEvent& copy : copies) {
            zones.push_back(copy.timeZone());
        }
        info.timeZoneNote = DetailFormat::timeZoneNote(
            start, end, DetailFormat::eventZone(zones, start, calendar), calendar, localeId);
    }

    fillCalendars(info, copies, mirrors);
    fillInvitations(info, copies, mirrors);
    fillPeople(info, copies);

    for (const StoreEvent& copy : copies) {
        if (copy.url() && !copy.url()->empty()) {
            info.url = copy.url();
            break;
        }
    }
    for (const StoreEvent& copy : copies) {
        if (nonEmpty(copy.notes())) {
            std::string notes = DetailFormat::plainNotes(*copy.notes());
            if (!notes.empty()) {
                info.notes = std::move(notes);
            }
            break;
        }
    }
    info.alerts = alertsOf(copies, calendar);
    for (std::size_t index = 0; index < copies.size(); ++index) {
        const CalendarHandle& own = copies[index].calendar();
        if (own && own->allowsContentModifications) {
            info.editableCopies.push_back(static_cast<int>(index));
        }
    }
    info.share = shareOf(info, primary, start, end);
    info.onGoogle = std::any_of(copies.begin(), copies.end(), [&](const StoreEvent& copy) {
        return GoogleCalendarLink::isGoogleCopy(copy, looksLikeGoogle);
    });
    return info;
}

std::string accountName(const StoreCalendar& calendar) {
    if (calendar.type == CalendarType::subscription) {
        return "Subscribed";
    }
    if (calendar.type == CalendarType::birthday) {
        return "Contacts";
    }
    if (!calendar.source) {
        return {};
    }
    if (calendar.source->sourceType == SourceType::local) {
        return std::string(displayName(AccountKind::local));
    }
    return calendar.source->title;
}

std::string mapsURL(const std::string& location, const std::optional<GeoLocation>& coordinates) {
    std::string url = std::string(kMapsPage) + "?q=" + queryValue(location);
    if (coordinates && std::isfinite(coordinates->latitude) &&
        std::isfinite(coordinates->longitude)) {
        url += "&ll=" + shortestDecimal(coordinates->latitude) + "," +
               shortestDecimal(coordinates->longitude);
    }
    return url;
}

} // namespace plannery
