#pragma once

#include "finder/EventDraft.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Drafts as JSON: objects whose keys are the draft's field names, absent fields left out; and the
// answer a language model writes in the event schema. Reading never throws: text that is not what
// was asked for gives nothing.
namespace plannery::DraftJson {

// {"title":"Dentist","startDate":"2026-12-09","startTime":"15:30"}
std::string write(const EventDraft& draft);
// [{...},{...}]
std::string write(const std::vector<EventDraft>& drafts);

// Drafts as write() gives them: an array of draft objects, or one object. A field that is not a
// string counts as absent (title and start date as empty); none for anything that is not JSON of
// that shape.
std::optional<std::vector<EventDraft>> readDrafts(std::string_view json);

// A model's answer: {"events":[...]} (a bare array of events is taken too), possibly wrapped in a
// code fence or words. Items that are not objects are skipped, properties that are not strings are
// read as empty, and only the first EventSchema::kMaxEvents events are kept. None when the answer
// holds no such JSON.
std::optional<OnDeviceEventList> readEventList(std::string_view answer);

} // namespace plannery::DraftJson
