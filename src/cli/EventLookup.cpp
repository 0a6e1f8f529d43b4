#include "cli/EventLookup.h"

#include <algorithm>

namespace plannery::cli {

std::optional<Instant> instantOf(const DateTime& time, const Calendar& calendar) {
    const auto& d = time.date;
    if (!time.minuteOfDay) {
        const auto noon = calendar.date(d.year, d.month, d.day, 12);
        return noon ? std::optional(calendar.startOfDay(*noon)) : std::nullopt;
    }
    const int hour = *time.minuteOfDay / 60;
    const int minute = *time.minuteOfDay % 60;
    if (time.utcOffsetSeconds) {
        // An instant as --json prints it: the same moment in any zone.
        thread_local const auto utc = Calendar::make("UTC", "en_US");
        const auto wall =
            utc ? utc->date(d.year, d.month, d.day, hour, minute, time.second) : std::nullopt;
        return wall ? std::optional(wall->plus(-*time.utcOffsetSeconds)) : std::nullopt;
    }
    return calendar.date(d.year, d.month, d.day, hour, minute, time.second);
}

namespace {

bool isTail(const std::string& whole, const std::string& typed) {
    if (typed.empty() || !whole.ends_with(typed)) {
        return false;
    }
    const std::size_t at = whole.size() - typed.size();
    return at == 0 || typed.front() == '/' || whole[at - 1] == '/';
}

// "a", "a and b", "a, b and c".
std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    }
    return text;
}

Resolved resolved(const std::vector<std::string>& fits, const std::string& typed,
                  const std::string& none, const char* kind) {
    if (fits.size() == 1) {
        return Resolved{.id = fits.front(), .problem = {}};
    }
    return Resolved{.id = std::nullopt,
                    .problem = fits.empty()
                                   ? none
                                   : "The identifier \"" + typed + "\" fits several " + kind +
                                         ": " + listed(fits) + "; give more of it."};
}

// The bytes a file name held where `--json` wrote them as lone surrogates (U+DC80 to U+DCFF,
// see Output::jsonString) and a JSON reader handed them on as such, in UTF-8's three-byte form;
// nullopt when the text holds none.
std::optional<std::string> escapedBytes(const std::string& typed) {
    std::string bytes;
    bool found = false;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const auto at = [&](std::size_t k) { return static_cast<unsigned char>(typed[k]); };
        if (i + 2 < typed.size() && at(i) == 0xED && (at(i + 1) == 0xB2 || at(i + 1) == 0xB3) &&
            (at(i + 2) & 0xC0) == 0x80) {
            bytes += static_cast<char>(((at(i + 1) & 0x03) << 6) | (at(i + 2) & 0x3F));
            i += 2;
            found = true;
        } else {
            bytes += typed[i];
        }
    }
    return found ? std::optional(bytes) : std::nullopt;
}

} // namespace

Resolved calendarID(const std::vector<CalendarHandle>& calendars, const std::string& typed) {
    std::vector<std::string> fits;
    for (const auto& calendar : calendars) {
        if (calendar && calendar->calendarIdentifier == typed) {
            return Resolved{.id = typed, .problem = {}};
        }
        if (calendar && isTail(calendar->calendarIdentifier, typed)) {
            fits.push_back(calendar->calendarIdentifier);
        }
    }
    if (const auto bytes = escapedBytes(typed); bytes && fits.empty()) {
        return calendarID(calendars, *bytes);
    }
    return resolved(fits, typed,
                    "No calendar has the identifier \"" + typed +
                        "\"; `plannery calendars` lists them.",
                    "calendars");
}

Resolved eventID(const EventStore& store, const std::string& typed) {
    if (store.event(typed)) {
        return Resolved{.id = typed, .problem = {}};
    }
    // The file name (or "#" and the UID) is always whole; what comes before it is a tail of a
    // calendar's identifier.
    const auto slash = typed.rfind('/');
    const auto hash = typed.find('#');
    std::vector<std::string> fits;
    const auto tryIn = [&](const std::string& calendar, std::size_t split, char separator) {
        const std::string prefix = split == std::string::npos ? "" : typed.substr(0, split);
        const std::string rest = split == std::string::npos ? typed : typed.substr(split + 1);
        const std::string candidate = calendar + separator + rest;
        if (!rest.empty() && (prefix.empty() || isTail(calendar, prefix)) &&
            std::find(fits.begin(), fits.end(), candidate) == fits.end() &&
            store.event(candidate)) {
            fits.push_back(candidate);
        }
    };
    for (const auto& calendar : store.calendars()) {
        tryIn(calendar->calendarIdentifier, slash, '/');
        if (hash != std::string::npos) {
            tryIn(calendar->calendarIdentifier, hash, '#');
        }
    }
    if (const auto bytes = escapedBytes(typed); bytes && fits.empty()) {
        return eventID(store, *bytes);
    }
    return resolved(fits, typed, "No event has the identifier \"" + typed + "\".", "events");
}

Found findEvent(const EventStore& store, const std::string& typed,
                const std::optional<DateTime>& occurrence, const Calendar& calendar) {
    const Resolved resolvedID = eventID(store, typed);
    if (!resolvedID.id) {
        return Found{.event = std::nullopt, .problem = resolvedID.problem};
    }
    const std::string& id = *resolvedID.id;
    const std::string unknown = "No event has the identifier \"" + typed + "\".";
    if (!occurrence) {
        auto event = store.event(id);
        return Found{.event = event, .problem = event ? "" : unknown};
    }
    const auto at = instantOf(*occurrence, calendar);
    if (!at) {
        return Found{.event = std::nullopt,
                     .problem = "The --occurrence time cannot be placed in the time zone."};
    }
    for (const auto& event : store.events(at->plus(-1), at->plus(1))) {
        if (event.eventIdentifier() == id &&
            (event.occurrenceDate.value_or(event.startDate) == *at || event.startDate == *at)) {
            return Found{.event = event, .problem = {}};
        }
    }
    return Found{.event = std::nullopt,
                 .problem = store.event(id)
                                ? "The event \"" + typed + "\" has no occurrence at that time."
                                : unknown};
}

} // namespace plannery::cli
