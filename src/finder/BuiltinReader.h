#pragma once

#include "finder/EventDraft.h"
#include "finder/FinderEngine.h"

#include <string_view>
#include <vector>

namespace plannery {

// The offline engine: a deterministic reader of the dates, times, spans, zones, titles and
// places in a text, in English, German and French (and the month and weekday names of the
// user's language). It gives the same drafts a language model would, so everything after it
// treats both engines alike. Only the first 64 KiB of a text are read.
class BuiltinReader final : public FinderEngine {
  public:
    // The events in a text read on `now` in the calendar's zone and locale.
    static std::vector<EventDraft> read(std::string_view text, Instant now,
                                        const Calendar& calendar);

    EventFinder::Source source() const override { return EventFinder::Source::builtinReader; }
    FinderStatus status() override { return FinderStatus::ready(); }
    void prewarm(Instant now, const Calendar& calendar, std::stop_token stop) override;
    EventFinder::Result events(std::string_view text, Instant now, const Calendar& calendar,
                               std::stop_token stop) override;
};

} // namespace plannery
