#include "finder/BuiltinReader.h"

#include "finder/EventAssembly.h"
#include "finder/PlacePicking.h"
#include "finder/ReaderVocabulary.h"
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
    for (const reader::Candidate& c : candidates) {
        EventDraft draft{.title = titles.title(c),
                         .startDate = reader::ReaderDays::key(c.day),
                         .location = places.place(c),
                         .notes = notes};
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
        }
        drafts.push_back(std::move(draft));
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
