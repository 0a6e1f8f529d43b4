#pragma once

#include "finder/EventDraft.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plannery {

// A day as written: year, month 1...12, day 1...31 (whether it exists is the calendar's to say).
struct DayParts {
    int year = 0;
    int month = 1;
    int day = 1;

    friend bool operator==(const DayParts&, const DayParts&) = default;
};

// A clock time: hour 0...23, minute 0...59.
struct ClockTime {
    int hour = 0;
    int minute = 0;

    // Minutes since midnight.
    int minutes() const { return hour * 60 + minute; }

    friend bool operator==(const ClockTime&, const ClockTime&) = default;
};

// A proposed event made from a draft: dated in the user's calendar, cleaned, ready to check, edit
// and add. The operations below need only a calendar, the current instant and the source text.
struct EventSuggestion {
    std::string id{};    // a fresh UUID: identifies the row and what was added for it
    std::string title{}; // tidied, never empty
    Instant start{};
    Instant end{}; // exclusive: for an all-day event the start of the day after its last day
    bool isAllDay = false;
    // The zone the times were written in, kept only when its offset at `start` differs from the
    // user's; always absent for all-day events.
    std::optional<std::string> timeZone{};
    std::optional<std::string> location{};
    std::optional<std::string> notes{};

    friend bool operator==(const EventSuggestion&, const EventSuggestion&) = default;

    // Every draft made into a suggestion, in the engine's order, dropping those that cannot be
    // dated or have no title, and later ones with the same title (ignoring case) and start.
    // `sourceText` is the whole text the drafts were found in, before any shortening.
    static std::vector<EventSuggestion> suggestions(const std::vector<EventDraft>& drafts,
                                                    Instant now, const Calendar& calendar,
                                                    std::string_view sourceText);
    // One draft made into a suggestion; none when it has no title or no date the calendar can
    // form.
    static std::optional<EventSuggestion> make(const EventDraft& draft, Instant now,
                                               const Calendar& calendar,
                                               std::string_view sourceText);

    // Trimmed; a title in capitals with at least four letters gets each word capitalised.
    static std::string tidyTitle(std::string_view title);
    // "2026-12-03", also the date part of "2026-12-03T09:00"; none for other forms.
    static std::optional<DayParts> day(std::string_view text);
    // "9", "9:30", "09:30:45", "9pm", "9 p.m.", "24:00" (23:59); none for "noon", "9-10", "13pm".
    static std::optional<ClockTime> time(std::string_view text);
    // An IANA identifier, or an abbreviation such as "PST" or "CET", as the identifier of the
    // region's zone.
    static std::optional<std::string> zone(std::string_view text);
};

} // namespace plannery
