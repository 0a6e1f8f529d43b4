#include "finder/DraftJson.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

TEST(DraftJsonTest, DraftsWriteTheirFieldNamesAndLeaveAbsentFieldsOut) {
    const EventDraft dentist{.title = "Dentist", .startDate = "2026-12-09", .startTime = "15:30"};
    EXPECT_EQ(DraftJson::write(dentist),
              R"({"title":"Dentist","startDate":"2026-12-09","startTime":"15:30"})");
    const EventDraft full{.title = "Talk \"Calm\"\n",
                          .startDate = "2026-12-09",
                          .startTime = "09:00",
                          .endDate = "2026-12-10",
                          .endTime = "10:00",
                          .timeZone = "Europe/Paris",
                          .location = "Salle 2",
                          .notes = "Ticket 42"};
    const std::vector<EventDraft> drafts{dentist, full};
    const std::string json = DraftJson::write(drafts);
    EXPECT_EQ(DraftJson::readDrafts(json), drafts);
    EXPECT_EQ(DraftJson::readDrafts(DraftJson::write(dentist)), std::vector<EventDraft>{dentist});
    EXPECT_EQ(DraftJson::write(std::vector<EventDraft>{}), "[]");
    // Text that is not UTF-8 is written, not refused.
    EXPECT_EQ(DraftJson::write(EventDraft{.title = "a\xff"}),
              "{\"title\":\"a\xEF\xBF\xBD\",\"startDate\":\"\"}");
}

TEST(DraftJsonTest, ModelAnswersBecomeEventLists) {
    const auto list = DraftJson::readEventList(
        R"({"events":[{"title":"Yoga","startDate":"2026-12-09","startTime":"18:00","endDate":"",
            "endTime":"","timeZone":"","location":"Studio","notes":""},
            {"title":7,"startDate":"next Friday"}, "stray", null]})");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->events.size(), 2u);
    EXPECT_EQ(list->events[0].location, "Studio");
    EXPECT_EQ(list->events[0].endDate, "");
    EXPECT_EQ(list->events[1].title, "");
    EXPECT_EQ(list->events[1].startDate, "next Friday");

    EXPECT_EQ(DraftJson::readEventList(R"({"events":[]})"), OnDeviceEventList{});
    EXPECT_EQ(
        DraftJson::readEventList("```json\n{\"events\":[{\"title\":\"A\"}]}\n```")->events.size(),
        1u);
    EXPECT_EQ(DraftJson::readEventList(R"([{"title":"A"}])")->events.size(), 1u);
}

TEST(DraftJsonTest, GarbageGivesNothingAndHugeAnswersAreBounded) {
    const char* garbage[] = {
        "",
        "null",
        "{",
        "{\"events\":",
        "{\"events\":{}}",
        "{\"items\":[]}",
        "42",
        "I could not find any events.",
        "{\"events\":[}",
        "\xff\xfe{}",
    };
    for (const char* text : garbage) {
        EXPECT_FALSE(DraftJson::readEventList(text)) << text;
    }
    for (const char* text : {"", "{", "42", "null", "[1,2]", "a draft", "[{\"title\":\"A\"},"}) {
        EXPECT_FALSE(DraftJson::readDrafts(text)) << text;
    }

    std::string many = "{\"events\":[";
    for (int i = 0; i < 500; ++i) {
        many += std::string(i ? "," : "") + R"({"title":"E","startDate":"2026-12-09"})";
    }
    many += "]}";
    EXPECT_EQ(DraftJson::readEventList(many)->events.size(), 12u);

    // Deep nesting is dropped while parsing, not recursed into.
    const std::string deep = "{\"events\":[{\"title\":\"A\",\"notes\":" + std::string(200000, '[') +
                             std::string(200000, ']') + "}]}";
    const auto list = DraftJson::readEventList(deep);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->events.at(0).title, "A");
    EXPECT_EQ(list->events.at(0).notes, "");
}

} // namespace
} // namespace plannery
