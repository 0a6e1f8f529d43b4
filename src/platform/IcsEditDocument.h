#pragma once

#include "model/Calendar.h"
#include "model/EventStore.h"
#include "platform/IcsSeries.h"
#include "platform/IcsSplice.h"

#include <libical/ical.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The parsed calendar file that an edit works on, and how times are read from and written into
// its properties. Shared by the edits of IcsEdit.cpp.
namespace plannery::ics::edit {

struct ComponentFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

// The form a component writes its times in: that of its DTSTART.
struct Frame {
    bool isDate = false;
    ZoneRef zone{}; // as the reader resolves it; used to place wall times on the time line
    std::optional<std::string> tzid{}; // the TZID parameter as the file writes it

    friend bool operator==(const Frame&, const Frame&) = default;
};

// One file and the events of one UID in it.
struct Document {
    ComponentPtr root{};
    std::vector<icalcomponent*> calendars{};         // the VCALENDARs of the file
    Series series{};                                 // the UID's events as the reader sees them
    icalcomponent* master = nullptr;                 // null when the file holds only overrides
    std::vector<icalcomponent*> overrides{};         // the latest revision of each occurrence first
    std::vector<icalcomponent*> supersededMasters{}; // older revisions of the master
    const Calendar* calendar = nullptr;
    splice::Base base{}; // the text as read, paired with the parser's writing of `root`
};

struct Opened {
    std::optional<Document> document{};
    std::optional<std::string> error{};
};

// Parses the text and finds the events of the UID. Refuses text whose lines the parser misreads
// (a value it cannot read), and text that is not well formed.
Opened open(std::string_view text, std::string_view uid, const Calendar& calendar);
// The parser's writing of a tree, CRLF line ends.
std::string serialise(icalcomponent* root);
// The file as read with the changes made to `root` (the document's own, or a new calendar made
// from it), everything else as it was written; nullopt when that cannot be made.
std::optional<std::string> rewrite(const Document& document, icalcomponent* root,
                                   const splice::Options& options = {});

// Times.
Frame frameOf(icalproperty* time);
// The frame of a component's DTSTART (floating when it has none).
Frame startFrame(icalcomponent* event);
std::optional<Instant> instantIn(const Frame& frame, const WallTime& wall,
                                 const Document& document);
// The wall time (a date for a DATE frame) of an instant in the frame.
WallTime wallIn(const Frame& frame, Instant t, const Document& document);
// The wall time a time property holds (RDATE periods give their start); nullopt when unreadable.
std::optional<WallTime> wallOf(icalproperty* time);
// The instant a time property names, in its own frame.
std::optional<Instant> instantOf(icalproperty* time, const Document& document);
// Sets the value and the TZID and VALUE parameters of a time property.
void writeTime(icalproperty* time, const Frame& frame, const WallTime& wall);
icaltimetype utcTime(Instant t);
// A time as an RRULE's UNTIL writes it.
std::string untilText(const icaltimetype& time);

// The frame to write an event's times in: a DATE for all-day events, else its zone. A zone the
// file already has a VTIMEZONE for reuses its TZID; libical's own definition is added to
// `into` for other zones, and a zone libical does not know is written as UTC.
Frame frameFor(const std::vector<icalcomponent*>& calendars, icalcomponent* into,
               const EventContent& content, Instant start);

// Occurrences.
bool repeats(const Document& document);
// The override of the occurrence whose rule start is `occurrence`.
icalcomponent* overrideFor(const Document& document, Instant occurrence);
// The occurrence of the series (its start and end) whose rule start is `occurrence`.
std::optional<Occurrence> occurrenceAt(const Document& document, Instant occurrence);
// The first start of the series.
std::optional<Instant> firstStart(const Document& document);
// A copy of the master (or of the override that changes the occurrence onward) for one
// occurrence: no rules, RECURRENCE-ID and times of the occurrence. Added to the master's
// calendar and to document.overrides.
icalcomponent* makeOverride(Document& document, const Occurrence& occurrence);

// Properties.
void removeAll(icalcomponent* component, icalproperty_kind kind);
void setStamps(icalcomponent* event, Instant now, bool lastModified);
void bumpSequence(icalcomponent* event);

// Sentences.
inline constexpr const char* kNotCalendar = "The event's file cannot be read as a calendar.";
inline constexpr const char* kNoEvent = "The event was not found in its calendar file.";
inline constexpr const char* kNoOccurrence =
    "That occurrence is no longer part of the repeating event.";
inline constexpr const char* kNotRepeating = "The event does not repeat.";

} // namespace plannery::ics::edit
