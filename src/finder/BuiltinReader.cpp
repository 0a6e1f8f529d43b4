#include "finder/BuiltinReader.h"

#include "finder/EventAssembly.h"
#include "finder/LegLines.h"
#include "finder/PlacePicking.h"
#include "finder/ReaderVocabulary.h"
#include "finder/RouteLines.h"
#include "finder/ScheduleLines.h"
#include "finder/TitlePicking.h"
#include "finder/ZoneReading.h"
#include "model/CalEvent.h"

#include <cstdio>

namespace plannery {

namespace {

std::string clock(const ClockTime& time) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", time.hour % 24, time.minute % 60);
    return text;
}

// A booking or confirmation number is worth keeping with the event.
std::optional<std::string> notesOf(const reader::TextFacts& text) {
    for (std::size_t li = 0; li < text.lines.size(); ++li) {
        if (reader::Vocabulary::isReferenceLabel(text.facts[li].label)) {
            return trimWhiteSpace(text.lines[li].text);
        }
    }
    return std::nullopt;
}

// "08:10  YYZ  Toronto Pearson Intl" over "10:05  YVR  Vancouver Intl": an itinerary gives each
// clock in its own airport's zone, and an event has one zone, the one it starts in; the arrival
// is told in that zone, on the day it falls then.
void arriveInStartZone(EventDraft& draft, const reader::Candidate& c,
                       const std::string& arrivalZone, const Calendar& calendar) {
    const std::string startZone = draft.timeZone.value_or(calendar.zoneId());
    if (!c.start || !c.finish || arrivalZone == startZone) {
        return;
    }
    const auto leaving = Calendar::make(startZone, calendar.localeId());
    const auto arriving = Calendar::make(arrivalZone, calendar.localeId());
    if (!leaving || !arriving) {
        return;
    }
    const DayParts day = c.last.value_or(c.day);
    const auto start =
        leaving->date(c.day.year, c.day.month, c.day.day, c.start->hour, c.start->minute);
    auto end = arriving->date(day.year, day.month, day.day, c.finish->hour, c.finish->minute);
    if (!start || !end) {
        return;
    }
    if (*end < *start) {
        end = arriving->addDaysKeepingTime(*end, 1);
    }
    if (!end) {
        return;
    }
    const DateComponents told = leaving->components(*end);
    draft.endTime = clock(ClockTime{told.hour, told.minute});
    const DayParts endDay{told.year, told.month, told.day};
    draft.endDate = endDay == c.day ? std::nullopt : std::optional(reader::ReaderDays::key(endDay));
}

std::string withoutPlace(const std::string& title, const std::string& place) {
    for (const std::string_view joint :
         {" in the ", " at the ", " in ", " at ", " im ", " in der ", " dans la ", " à la "}) {
        const std::string tail = std::string(joint) + place;
        if (title.size() > tail.size() + 3 && title.ends_with(tail)) {
            return title.substr(0, title.size() - tail.size());
        }
    }
    return title;
}

} // namespace

std::vector<EventDraft> BuiltinReader::read(std::string_view text, Instant now,
                                            const Calendar& calendar) {
    const reader::ReaderDays days(calendar, now);
    const reader::TextFacts facts = reader::TextFacts::read(text, days);
    const std::vector<reader::Candidate> candidates = reader::assemble(facts, days, now, calendar);
    const reader::PlacePicker places(facts, candidates, calendar.localeId());
    const reader::TitlePicker titles(facts, candidates, calendar.localeId(), places.venueName());
    const auto notes = notesOf(facts);
    std::vector<EventDraft> drafts;
    bool abroad = false; // a leg arrives in another zone than the reader's
    for (const reader::Candidate& c : candidates) {
        EventDraft draft{.title = titles.title(c),
                         .startDate = reader::ReaderDays::key(c.day),
                         .location = places.place(c),
                         .notes = notes};
        // "Easter bonnet parade in the hall": where it is held goes to the place, not the name.
        if (draft.location) {
            draft.title = withoutPlace(draft.title, *draft.location);
        }
        if (c.last && !(*c.last == c.day)) {
            draft.endDate = reader::ReaderDays::key(*c.last);
        }
        if (c.start) {
            draft.startTime = clock(*c.start);
            if (c.finish) {
                draft.endTime = clock(*c.finish);
            }
            draft.timeZone = c.zone ? c.zone : facts.zoneForAllTimes;
            // A flight leaves at its airport's time: "Chicago O'Hare (ORD)  Departs 18:20".
            if (!draft.timeZone && draft.location) {
                draft.timeZone = reader::airportZone(*draft.location);
            }
            // ... and so does anything in a text that tells each time on its place's clock.
            if (!draft.timeZone && draft.location && facts.localTimes) {
                draft.timeZone = reader::cityZoneIn(*draft.location);
            }
            const auto arrival = draft.timeZone && c.finish
                                     ? reader::nextStop(facts, c.stopLine.value_or(c.line))
                                     : std::nullopt;
            auto airport = arrival ? reader::stationOfRow(facts, *arrival) : std::nullopt;
            // ... or the end of the route under its day ("Auckland (AKL) → Honolulu (HNL)").
            for (std::size_t li = c.line;
                 draft.timeZone && c.finish && !airport && li < facts.lines.size() &&
                 li <= c.line + 2 && facts.lines[li].block == facts.lines[c.line].block;
                 ++li) {
                airport = reader::routeEnd(facts.lines[li], facts.facts[li]);
            }
            // ... or the station's town where each time is told on its place's clock.
            auto zone = airport ? reader::airportZone(*airport) : std::nullopt;
            if (!zone && airport && facts.localTimes) {
                zone = reader::cityZoneIn(*airport);
            }
            if (zone) {
                arriveInStartZone(draft, c, *zone, calendar);
                abroad = abroad || *zone != calendar.zoneId();
            }
        }
        drafts.push_back(std::move(draft));
    }
    // A trip that flies to another zone tells what happens there on that place's clock: "Hotel
    // check-in from 15:00" at "Waikiki Shore Hotel, 2161 Kalia Road, Honolulu".
    for (EventDraft& draft : drafts) {
        if (abroad && draft.startTime && !draft.timeZone && draft.location) {
            draft.timeZone = reader::cityZoneIn(*draft.location);
        }
    }
    return drafts;
}

void BuiltinReader::prewarm(Instant now, const Calendar& calendar, std::stop_token) {
    // Builds the word and zone tables once, so that the first text does not wait for them.
    read("Fri 1 Jan, 10:00 ET at the Town Hall", now, calendar);
}

EventFinder::Result BuiltinReader::events(std::string_view text, Instant now,
                                          const Calendar& calendar, std::stop_token stop) {
    if (stop.stop_requested()) {
        return EventFinder::Result{.cancelled = true};
    }
    return EventFinder::Result{.drafts = read(text, now, calendar)};
}

} // namespace plannery
