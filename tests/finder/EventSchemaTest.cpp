#include "finder/EventSchema.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

namespace plannery {
namespace {

TEST(EventSchemaTest, TheSchemaRequiresEveryPropertyAndBoundsTheList) {
    const auto schema = nlohmann::json::parse(EventSchema::jsonSchema());
    const auto& events = schema["properties"]["events"];
    EXPECT_EQ(schema["required"], nlohmann::json::array({"events"}));
    EXPECT_EQ(events["maxItems"], 12);
    EXPECT_EQ(events["description"], "The events in the text, in order. Empty if there are none.");
    const auto& item = events["items"];
    EXPECT_EQ(item["required"],
              nlohmann::json::array({"title", "startDate", "startTime", "endDate", "endTime",
                                     "timeZone", "location", "notes"}));
    EXPECT_EQ(item["additionalProperties"], false);
    EXPECT_EQ(item["properties"]["startDate"]["pattern"], "^\\d{4}-\\d{2}-\\d{2}$");
    EXPECT_EQ(item["properties"]["title"]["description"],
              "Short title, like 'Fall Festival' or 'Dentist', in normal capitalization");
    // Generated in the record's order.
    const auto ordered = nlohmann::ordered_json::parse(EventSchema::jsonSchema());
    EXPECT_EQ(ordered["properties"]["events"]["items"]["properties"].begin().key(), "title");
}

} // namespace
} // namespace plannery
