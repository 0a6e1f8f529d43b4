#pragma once

#include "model/Calendar.h"
#include "model/EventStore.h"
#include "model/Instant.h"
#include "model/SharedText.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plannery {

// A calendar colour in sRGB, each component nominally 0...1.
struct RGB {
    double r = 0;
    double g = 0;
    double b = 0;

    friend bool operator==(const RGB&, const RGB&) = default;

    // The colour used when a calendar has none (or one that is not a colour, such as a grey).
    static constexpr RGB fallback() { return RGB{0.3, 0.5, 0.9}; }
    static RGB from(const std::optional<PlatformColor>& color);
};

// One calendar that holds a copy of an event.
struct CalendarRef {
    SharedText id{};
    SharedText title{};
    RGB rgb{};

    friend bool operator==(const CalendarRef&, const CalendarRef&) = default;
};

// The text without the white space and line breaks (in the Unicode sense) at either end, as
// titles and places are shown.
std::string trimWhiteSpace(std::string_view text);

// A random (version 4) UUID in upper-case hexadecimal, for things that have no identifier yet.
std::string freshUUID();

// An attendee's answer to an invitation.
enum class Reply { accepted, tentative, declined, pending, other };

Reply replyFrom(ParticipantStatus status);

// One event occurrence as shown: the merged picture of all its copies. Its texts are shared with
// the store's records, so that a month of occurrences costs little more than their times.
struct CalEvent {
    std::string id{}; // event identifier "|" whole start seconds
    SharedText eventIdentifier{};
    std::optional<SharedText> externalID{};
    SharedText title{};
    std::optional<SharedText> location{};
    Instant start{};
    Instant end{};
    bool isAllDay = false;
    bool isDeclined = false;
    bool isTentative = false;
    bool isCanceled = false;
    std::vector<CalendarRef> calendars{}; // primary copy's calendar first; never empty
    int copies = 1;
    int richness = 0;
    std::vector<std::string> duplicateIDs{};

    friend bool operator==(const CalEvent&, const CalEvent&) = default;

    // The record of one occurrence the store handed out.
    static CalEvent from(const StoreEvent& event);

    // The starts of the days the event touches, ascending. An event that ends exactly at
    // midnight does not touch the next day; a zero-length event touches its start day.
    std::vector<Instant> days(const Calendar& calendar) const;
    // The last instant the event covers: a second before its end when it has length.
    Instant lastInstant() const;
};

// The order every list of events uses: all-day first, then start ascending, end descending,
// title under the localized standard comparison, then id.
class DisplayOrder {
  public:
    explicit DisplayOrder(const Calendar& calendar) : m_calendar(&calendar) {}
    bool operator()(const CalEvent& a, const CalEvent& b) const;

  private:
    const Calendar* m_calendar;
};

// Sorts stably by display order, leaving out the records at the positions `drop` names (when
// given). Records are large, so this orders positions and moves each record at most once.
void sortByDisplayOrder(std::vector<CalEvent>& events, const Calendar& calendar,
                        const std::function<bool(std::size_t position)>& drop = {});

} // namespace plannery
