#include "finder/EventSchema.h"

#include <nlohmann/json.hpp>

namespace plannery::EventSchema {

std::string jsonSchema() {
    using Json = nlohmann::ordered_json;
    Json properties = Json::object();
    Json required = Json::array();
    for (const Property& property : kEventProperties) {
        Json item = {{"type", "string"}, {"description", property.description}};
        if (property.name == "startDate") {
            item["pattern"] = kStartDatePattern;
        }
        properties[std::string(property.name)] = std::move(item);
        required.push_back(property.name);
    }
    const Json event = {{"type", "object"},
                        {"properties", std::move(properties)},
                        {"required", std::move(required)},
                        {"additionalProperties", false}};
    const Json list = {{"type", "object"},
                       {"properties",
                        {{"events",
                          {{"type", "array"},
                           {"description", kEventsDescription},
                           {"items", event},
                           {"maxItems", kMaxEvents}}}}},
                       {"required", {"events"}},
                       {"additionalProperties", false}};
    return list.dump();
}

} // namespace plannery::EventSchema
