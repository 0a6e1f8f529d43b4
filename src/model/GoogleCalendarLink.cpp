#include "model/GoogleCalendarLink.h"

#include "model/MailAddress.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace plannery::GoogleCalendarLink {

namespace {

constexpr std::string_view kWebPages = "https://calendar.google.com/calendar";
// What Google appends to the identifiers of the events it creates; the event page wants the
// identifier without it.
constexpr std::string_view kGoogleEventSuffix = "@google.com";

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

bool hasGoogleSuffix(std::string_view identifier) {
    const std::string lower = asciiLower(identifier);
    return lower.size() >= kGoogleEventSuffix.size() &&
           std::string_view(lower).substr(lower.size() - kGoogleEventSuffix.size()) ==
               kGoogleEventSuffix;
}

bool containsWhiteSpace(std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c >= 0 && u_isUWhiteSpace(c)) {
            return true;
        }
    }
    return false;
}

std::string base64(std::string_view bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        uint32_t chunk = 0;
        for (std::size_t j = 0; j < 3; ++j) {
            chunk <<= 8;
            if (j < count) {
                chunk |= static_cast<unsigned char>(bytes[i + j]);
            }
        }
        for (std::size_t j = 0; j < 4; ++j) {
            out += j <= count ? kAlphabet[(chunk >> (18 - 6 * j)) & 0x3F] : '=';
        }
    }
    return out;
}

// The eid query value: Base64 without its padding, with "+" and "/" percent-encoded so that the
// value survives in a query.
std::string eidValue(std::string_view text) {
    std::string encoded = base64(text);
    while (!encoded.empty() && encoded.back() == '=') {
        encoded.pop_back();
    }
    std::string out;
    for (const char c : encoded) {
        out += c == '+' ? "%2B" : c == '/' ? "%2F" : std::string(1, c);
    }
    return out;
}

// The occurrence as the event page names it: the date of an all-day occurrence in the user's
// calendar, or the UTC time of a timed one, in the compact iCalendar forms.
std::optional<std::string> occurrenceSuffix(Instant occurrence, bool allDay,
                                            const Calendar& calendar) {
    char text[32];
    if (allDay) {
        const DateComponents day = calendar.components(occurrence);
        std::snprintf(text, sizeof text, "%04d%02d%02d", day.year, day.month, day.day);
        return std::string(text);
    }
    const auto utc = Calendar::make("UTC");
    if (!utc) {
        return std::nullopt;
    }
    const DateComponents time = utc->components(occurrence);
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02dZ", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    return std::string(text);
}

// The event page of one Google copy, when its event id and its owner's address are known.
std::optional<std::string> eventPage(const StoreEvent& copy, const Calendar& calendar) {
    const auto& external = copy.calendarItemExternalIdentifier();
    const CalendarHandle& storeCalendar = copy.calendar();
    if (!external || !storeCalendar) {
        return std::nullopt;
    }
    std::string owner;
    if (matchesEmailPattern(storeCalendar->title)) {
        owner = storeCalendar->title;
    } else if (auto own = ownAddress(copy)) {
        owner = *own;
    }
    if (owner.empty() || !hasGoogleSuffix(*external)) {
        return std::nullopt;
    }
    std::string eventID = external->substr(0, external->size() - kGoogleEventSuffix.size());
    if (eventID.empty() || containsWhiteSpace(eventID)) {
        return std::nullopt;
    }
    if (copy.hasRecurrenceRules() || copy.isDetached) {
        const auto suffix = occurrenceSuffix(copy.occurrenceDate.value_or(copy.startDate),
                                             copy.isAllDay(), calendar);
        if (!suffix) {
            return std::nullopt;
        }
        eventID += "_" + *suffix;
    }
    return std::string(kWebPages) + "/event?eid=" + eidValue(eventID + " " + owner);
}

} // namespace

bool isGoogleCopy(const StoreEvent& copy, const GoogleCheck& looksLikeGoogle) {
    if (const auto& external = copy.calendarItemExternalIdentifier();
        external && hasGoogleSuffix(*external)) {
        return true;
    }
    const CalendarHandle& calendar = copy.calendar();
    if (!calendar || calendar->type == CalendarType::subscription ||
        calendar->type == CalendarType::birthday || !calendar->source) {
        return false;
    }
    const Source& source = *calendar->source;
    // Asking the Google check only when the title and calendar leave the kind open.
    const AccountKind plain = accountKindOf(source, {calendar->title}, false);
    return plain == AccountKind::google ||
           (plain == AccountKind::calDAV && looksLikeGoogle && looksLikeGoogle(source));
}

std::string dayURL(Instant date, const Calendar& calendar) {
    const DateComponents day = calendar.components(date);
    return std::string(kWebPages) + "/r/day/" + std::to_string(day.year) + "/" +
           std::to_string(day.month) + "/" + std::to_string(day.day);
}

std::optional<std::string> ownAddress(const StoreEvent& event) {
    const Participant* user = nullptr;
    if (event.organizer() && event.organizer()->isCurrentUser) {
        user = &*event.organizer();
    } else {
        for (const Participant& attendee : event.attendees()) {
            if (attendee.isCurrentUser) {
                user = &attendee;
                break;
            }
        }
    }
    if (!user) {
        return std::nullopt;
    }
    auto address = emailFromURL(user->url);
    if (!address || !matchesEmailPattern(*address)) {
        return std::nullopt;
    }
    return address;
}

std::optional<std::string> eventURL(const std::vector<StoreEvent>& copies,
                                    const GoogleCheck& looksLikeGoogle, const Calendar& calendar) {
    std::vector<const StoreEvent*> googleCopies;
    for (const StoreEvent& copy : copies) {
        if (copy.content && isGoogleCopy(copy, looksLikeGoogle)) {
            googleCopies.push_back(&copy);
        }
    }
    if (googleCopies.empty()) {
        return std::nullopt;
    }
    for (const StoreEvent* copy : googleCopies) {
        if (auto page = eventPage(*copy, calendar)) {
            return page;
        }
    }
    // Without an event id or owner, the day of the event is the closest page there is.
    return dayURL(googleCopies.front()->startDate, calendar);
}

} // namespace plannery::GoogleCalendarLink
