#pragma once

#include "model/Calendar.h"
#include "model/EventStore.h"
#include "model/Instant.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reading iCalendar text into series of events, bounding them in time, expanding their
// occurrences in a window, and storing them compactly in the index cache.
namespace plannery::ics {

// A date or date-time as written in the file, before it is placed in a zone.
struct WallTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool isDate = false; // a DATE value (all-day)

    friend bool operator==(const WallTime&, const WallTime&) = default;
};

// The zone a written time lives in.
struct ZoneRef {
    enum class Kind { floating, utc, named } kind = Kind::floating;
    // named: an identifier ICU knows, or the TZID of one of Series::timeZones.
    std::string id;

    friend bool operator==(const ZoneRef&, const ZoneRef&) = default;
};

struct ZonedTime {
    WallTime wall;
    ZoneRef zone;

    friend bool operator==(const ZonedTime&, const ZonedTime&) = default;
};

// One RDATE value: a start, and for a PERIOD its end or its length.
struct RecurrenceDate {
    ZonedTime start;
    std::optional<ZonedTime> end;   // a PERIOD's explicit end
    std::optional<double> duration; // a PERIOD's length in seconds

    friend bool operator==(const RecurrenceDate&, const RecurrenceDate&) = default;
};

// One VEVENT: a master or an override of one occurrence.
struct Component {
    // What the event says. The store fills in eventIdentifier, calendar and the participants'
    // isCurrentUser; the rest comes from the file.
    EventContent content;
    ZonedTime start;
    std::optional<ZonedTime> end;          // DTEND
    std::optional<double> duration;        // DURATION in seconds, when there is no DTEND
    std::optional<ZonedTime> recurrenceId; // set on overrides
    // RANGE=THISANDFUTURE on the RECURRENCE-ID: the override's shift of the start, its length
    // and its properties apply to every later occurrence, up to the next such override.
    bool thisAndFuture = false;
    std::vector<std::string> rrules; // RRULE values
    std::vector<RecurrenceDate> rdates;
    std::vector<ZonedTime> exdates;
};

// Everything in one file that shares a UID: the master first when there is one, then its
// overrides. Of two masters, or two overrides of one occurrence, only the later revision is kept
// (see revisionOf).
struct Series {
    std::string uid;
    std::vector<Component> components;
    // VTIMEZONE components that times refer to by a TZID ICU does not know, as iCalendar text.
    std::vector<std::string> timeZones;
};

struct ReadResult {
    std::vector<Series> series;
    // VEVENTs that could not be used (no DTSTART, unreadable values); the rest is kept.
    int skippedComponents = 0;
    // True when the text was not iCalendar at all.
    bool unreadable = false;
    // True when the text ends inside a component, its END line (an event's, or only the
    // calendar's own END:VCALENDAR) missing: the file was cut short. What it completed is read.
    bool cut = false;

    // Whether the file is to be reported as damaged: not iCalendar, cut short, or holding only
    // events that cannot be used. A cut file's complete events are still shown.
    bool damaged() const { return unreadable || cut || (series.empty() && skippedComponents > 0); }
};

// Never throws and never hangs; broken input gives what could be read.
ReadResult read(std::string_view text);

// The instants a series can cover: first start and last end. `last` is +infinity for a rule that
// never ends. Floating times are widened by the largest offsets a zone can have, so the bound
// holds in any user zone.
struct Bounds {
    Instant first;
    Instant last;
};
Bounds bounds(const Series& series);

struct Occurrence {
    std::size_t component = 0; // index into Series::components
    Instant start;
    Instant end;
    std::optional<Instant> occurrenceDate{}; // the rule's start for this occurrence; absent when
                                             // the series does not repeat
    bool detached = false; // an override, or an occurrence that one changes onward
};

// The most occurrences one series yields in one window, whatever its rule says.
inline constexpr std::size_t kMaxOccurrencesPerWindow = 10000;

// The occurrences that overlap [from, to), in start order; one of zero length counts when it
// starts inside the window, at `from` included. Floating times are read in the given
// calendar's zone. The work is bounded by the window and kMaxOccurrencesPerWindow, not by the
// rule: never-ending rules, huge counts, intervals of 0 and rules that never match are safe.
std::vector<Occurrence> expand(const Series& series, Instant from, Instant to,
                               const Calendar& calendar);
// The same into a caller's list, replacing what it held: a loop over many series reuses one.
void expand(const Series& series, Instant from, Instant to, const Calendar& calendar,
            std::vector<Occurrence>& result);

// A compact binary form for the index cache; decode() returns nullopt for anything it did not
// write (or a different format version), never a partial or wrong result.
std::string encode(const std::vector<Series>& series);
std::optional<std::vector<Series>> decode(std::string_view bytes);

} // namespace plannery::ics
