#include "model/TitleFolding.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

std::string folded(std::string_view title) {
    std::string out;
    TitleFolding::fold(title, out);
    return out;
}

TEST(TitleFoldingTest, FoldedTitles) {
    const struct {
        const char* title;
        const char* normalized;
    } cases[] = {
        {"Team Sync", "teamsync"},
        {"TEAM-SYNC!", "teamsync"},
        {"  team   sync  ", "teamsync"},
        {"Ｔｅａｍ Ｓｙｎｃ", "teamsync"}, // full-width
        {"Café", "cafe"},
        {"CAFÉ", "cafe"},
        {"Cafe\u0301", "cafe"}, // decomposed accent
        {"Straße", "strasse"},
        {"Ärzte-Termin 2", "arztetermin2"},
        {"会议 (Q3)", "会议q3"},
        {"Встреча", "встреча"},
        {"!!! --- ???", ""},
        {"Team Sync ☕", "teamsync"},
        {"🎉 🎂", ""},
        {"", ""},
        {"\xFF\xFE broken", "broken"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(folded(c.title), c.normalized) << c.title;
    }
    // The buffer is overwritten, not appended to.
    std::string reused = "left over";
    TitleFolding::fold("Ab", reused);
    EXPECT_EQ(reused, "ab");
    TitleFolding::fold("Äb", reused);
    EXPECT_EQ(reused, "ab");
}

TEST(TitleFoldingTest, AlphanumericsOnlyDropsAndNeverFolds) {
    EXPECT_EQ(TitleFolding::alphanumerics("Café, Straße & Co."), "CaféStraßeCo");
    EXPECT_EQ(TitleFolding::alphanumerics("Ｒｏｏｍ ３"), "Ｒｏｏｍ３");
    EXPECT_EQ(TitleFolding::alphanumerics("e\u0301!"), "e\u0301") << "marks are kept";
    EXPECT_EQ(TitleFolding::alphanumerics("x\xC3y"), "xy") << "broken UTF-8 is dropped";
    EXPECT_EQ(TitleFolding::alphanumerics(""), "");
}

} // namespace
} // namespace plannery
