#include "model/CalendarMirrors.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using Groups = std::vector<std::vector<std::string>>;

TEST(CalendarMirrorsTest, StoredGroupsAreCleaned) {
    const struct {
        const char* name;
        Groups stored;
        Groups kept;
    } cases[] = {
        {"empty", {}, {}},
        {"one group", {{"a", "b"}}, {{"a", "b"}}},
        {"taken by an earlier group", {{"a", "b"}, {"b", "c", "d"}}, {{"a", "b"}, {"c", "d"}}},
        {"left with one member", {{"a", "b"}, {"b", "c"}}, {{"a", "b"}}},
        {"repeated within a group", {{"a", "a", "b", "a"}}, {{"a", "b"}}},
        {"a single calendar", {{"a"}, {"a", "a"}, {}}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CalendarMirrors(c.stored).groups(), c.kept) << c.name;
    }
    EXPECT_EQ(CalendarMirrors(Groups{{"a", "b"}, {"b", "c"}}), CalendarMirrors(Groups{{"a", "b"}}));
    EXPECT_TRUE(CalendarMirrors(Groups{{"a"}}).empty());
}

TEST(CalendarMirrorsTest, LookUps) {
    const CalendarMirrors mirrors(Groups{{"work", "work-feed", "work-old"}, {"home", "family"}});
    EXPECT_EQ(mirrors.linked("work-feed"),
              (std::vector<std::string>{"work", "work-feed", "work-old"}));
    EXPECT_EQ(mirrors.linked("alone"), (std::vector<std::string>{"alone"}));
    EXPECT_EQ(mirrors.rank("work"), 0);
    EXPECT_EQ(mirrors.rank("work-old"), 2);
    EXPECT_EQ(mirrors.rank("family"), 1);
    EXPECT_EQ(mirrors.rank("alone"), 0);
    EXPECT_EQ(mirrors.key("work-old"), "work");
    EXPECT_EQ(mirrors.key("family"), "home");
    EXPECT_EQ(mirrors.key("alone"), "alone");
}

TEST(CalendarMirrorsTest, AGroupIsHiddenOnlyWhenAllOfItIs) {
    const CalendarMirrors mirrors(Groups{{"home", "family"}});
    EXPECT_TRUE(mirrors.isVisible("home", {}));
    EXPECT_TRUE(mirrors.isVisible("home", {"home"}));
    EXPECT_TRUE(mirrors.isVisible("family", {"home"}));
    EXPECT_FALSE(mirrors.isVisible("home", {"home", "family"}));
    EXPECT_FALSE(mirrors.isVisible("family", {"home", "family"}));
    EXPECT_TRUE(mirrors.isVisible("alone", {"home", "family"}));
    EXPECT_FALSE(mirrors.isVisible("alone", {"alone"}));
}

} // namespace
} // namespace plannery
