#pragma once

#include "cli/Options.h"
#include "finder/EventDraft.h"
#include "finder/EventSuggestion.h"
#include "model/Calendar.h"

#include <iosfwd>
#include <string>
#include <vector>

// plannery find: the events in a text, or in the text of pictures, as the "Events from Image"
// sheet finds them, listed as an agenda or as JSON, and added to a calendar when asked.
namespace plannery::cli {

int runFind(const FindOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

// {"text":"...","drafts":[...],"suggestions":[...]} and, after --add, "added":[event ids]:
// drafts with their field names (absent fields left out), suggestions with their record's fields
// and instants in ISO 8601 with the offset of the calendar's zone.
std::string findJson(const std::string& text, const std::vector<EventDraft>& drafts,
                     const std::vector<EventSuggestion>& suggestions,
                     const std::vector<std::string>& added, const Calendar& calendar);

} // namespace plannery::cli
