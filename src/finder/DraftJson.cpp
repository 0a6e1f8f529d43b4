#include "finder/DraftJson.h"

#include "finder/EventSchema.h"

#include <nlohmann/json.hpp>

namespace plannery::DraftJson {

namespace {

using Json = nlohmann::ordered_json;

// Drafts and event lists nest three levels deep; anything deeper is dropped while parsing, so a
// hostile answer cannot build a deep tree.
constexpr int kMaxDepth = 4;

Json parse(std::string_view text) {
    const Json::parser_callback_t shallow = [](int depth, Json::parse_event_t event, Json&) {
        const bool opens =
            event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start;
        return !(opens && depth > kMaxDepth);
    };
    return Json::parse(text.begin(), text.end(), shallow, false);
}

std::string stringField(const Json& object, const char* key) {
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

std::optional<std::string> optionalField(const Json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string()) {
        return std::nullopt;
    }
    return found->get<std::string>();
}

EventDraft draftOf(const Json& object) {
    return EventDraft{
        .title = stringField(object, "title"),
        .startDate = stringField(object, "startDate"),
        .startTime = optionalField(object, "startTime"),
        .endDate = optionalField(object, "endDate"),
        .endTime = optionalField(object, "endTime"),
        .timeZone = optionalField(object, "timeZone"),
        .location = optionalField(object, "location"),
        .notes = optionalField(object, "notes"),
    };
}

Json objectOf(const EventDraft& draft) {
    Json object = {{"title", draft.title}, {"startDate", draft.startDate}};
    const std::pair<const char*, const std::optional<std::string>*> optionals[] = {
        {"startTime", &draft.startTime}, {"endDate", &draft.endDate},   {"endTime", &draft.endTime},
        {"timeZone", &draft.timeZone},   {"location", &draft.location}, {"notes", &draft.notes},
    };
    for (const auto& [key, value] : optionals) {
        if (*value) {
            object[key] = **value;
        }
    }
    return object;
}

std::string dump(const Json& json) {
    // Text that is not UTF-8 is written with replacement characters rather than refused.
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::optional<OnDeviceEventList> listOf(const Json& json) {
    const Json* events = &json;
    if (json.is_object()) {
        const auto found = json.find("events");
        if (found == json.end()) {
            return std::nullopt;
        }
        events = &*found;
    }
    if (!events->is_array()) {
        return std::nullopt;
    }
    OnDeviceEventList list;
    for (const Json& item : *events) {
        if (list.events.size() == EventSchema::kMaxEvents) {
            break;
        }
        if (!item.is_object()) {
            continue;
        }
        list.events.push_back(OnDeviceEvent{
            .title = stringField(item, "title"),
            .startDate = stringField(item, "startDate"),
            .startTime = stringField(item, "startTime"),
            .endDate = stringField(item, "endDate"),
            .endTime = stringField(item, "endTime"),
            .timeZone = stringField(item, "timeZone"),
            .location = stringField(item, "location"),
            .notes = stringField(item, "notes"),
        });
    }
    return list;
}

} // namespace

std::string write(const EventDraft& draft) {
    return dump(objectOf(draft));
}

std::string write(const std::vector<EventDraft>& drafts) {
    Json array = Json::array();
    for (const EventDraft& draft : drafts) {
        array.push_back(objectOf(draft));
    }
    return dump(array);
}

std::optional<std::vector<EventDraft>> readDrafts(std::string_view json) {
    const Json parsed = parse(json);
    if (parsed.is_object()) {
        return std::vector<EventDraft>{draftOf(parsed)};
    }
    if (!parsed.is_array()) {
        return std::nullopt;
    }
    std::vector<EventDraft> drafts;
    for (const Json& item : parsed) {
        if (!item.is_object()) {
            return std::nullopt;
        }
        drafts.push_back(draftOf(item));
    }
    return drafts;
}

std::optional<OnDeviceEventList> readEventList(std::string_view answer) {
    if (auto list = listOf(parse(answer))) {
        return list;
    }
    // Models sometimes wrap the object in a code fence or a sentence: try the outermost braces.
    const auto open = answer.find('{');
    const auto close = answer.rfind('}');
    if (open == std::string_view::npos || close == std::string_view::npos || close <= open) {
        return std::nullopt;
    }
    return listOf(parse(answer.substr(open, close - open + 1)));
}

} // namespace plannery::DraftJson
