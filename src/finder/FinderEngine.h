#pragma once

#include "finder/EventFinder.h"
#include "finder/FinderStatus.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <stop_token>
#include <string_view>

namespace plannery {

// One way of finding the events in a text. Both engines, the Built-in Reader and the local model,
// implement it and return the same drafts, so everything after them treats both alike.
//
// The image-events model calls, for one run: status(); when available, events(); then
// EventSuggestion::suggestions() on the drafts with the same now, calendar and text.
class FinderEngine {
  public:
    virtual ~FinderEngine() = default;

    virtual EventFinder::Source source() const = 0;
    // Whether the engine can run now, read fresh on every call (the local model asks its server,
    // which may take a moment).
    virtual FinderStatus status() = 0;
    // Gets ready ahead of the first run (loads word tables, asks a server to load its model);
    // never fails. Called when the sheet opens; gives up soon after `stop` is requested.
    virtual void prewarm(Instant now, const Calendar& calendar, std::stop_token stop) = 0;
    // The events in `text` as the user would see them on `now` in the calendar's zone and locale.
    // Blocking; meant for a worker thread, with a calendar copy of that thread's own. Returns soon
    // after `stop` is requested, with a cancelled result.
    virtual EventFinder::Result events(std::string_view text, Instant now, const Calendar& calendar,
                                       std::stop_token stop) = 0;
};

} // namespace plannery
