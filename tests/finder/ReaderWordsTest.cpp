#include "finder/ReaderWords.h"

#include "finder/FinderText.h"

#include <gtest/gtest.h>

namespace plannery::reader {
namespace {

TEST(ReaderWordsTest, MonthsInEveryLanguageTheReaderKnows) {
    const std::string en = "en_GB";
    const struct {
        const char* word;
        std::optional<int> month;
    } cases[] = {
        {"march", 3},
        {"mar", 3},
        {"marz", 3},
        {"mars", 3},
        {"sept", 9},
        {"septembre", 9},
        {"dez", 12},
        {"dec", 12},
        {"fevr", 2},
        {"juil", 7},
        {"juni", 6},
        {"aout", 8},
        {"oktober", 10},
        {"mai", 5},
        {"may", 5},
        {"jui", std::nullopt},      // juin or juillet
        {"ma", std::nullopt},       // too short to tell
        {"marching", std::nullopt}, // longer than any name
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Words::month(c.word, en), c.month) << c.word;
    }
    // The user's own language comes on top: Spanish for a user in Madrid.
    EXPECT_EQ(Words::month("marzo", "es_ES"), 3);
    EXPECT_EQ(Words::month("marzo", "en_GB"), std::nullopt);
}

TEST(ReaderWordsTest, WeekdaysNumbersAndOrdinals) {
    const std::string en = "en_GB";
    EXPECT_EQ(Words::weekday("friday", en)->day, Weekday::friday);
    EXPECT_TRUE(Words::weekday("friday", en)->full);
    EXPECT_FALSE(Words::weekday("fri", en)->full);
    EXPECT_EQ(Words::weekday("thurs", en)->day, Weekday::thursday);
    EXPECT_EQ(Words::weekday("donnerstag", en)->day, Weekday::thursday);
    EXPECT_EQ(Words::weekday("mercredi", en)->day, Weekday::wednesday);
    EXPECT_EQ(Words::weekday("do", en)->day, Weekday::thursday); // only with its stop, see dates
    EXPECT_FALSE(Words::weekday("fridays", en));

    EXPECT_EQ(Words::numberWord("two", en), 2);
    EXPECT_EQ(Words::numberWord("sieben", en), 7);
    EXPECT_EQ(Words::numberWord(FinderText::fold("douze"), en), 12);
    EXPECT_EQ(Words::ordinalWord("twentieth", en), 20);
    EXPECT_EQ(Words::ordinalWord("twenty-first", en), 21);
    EXPECT_EQ(Words::ordinalWord("first", en), 1);
    EXPECT_FALSE(Words::ordinalWord("fortieth", en));
}

TEST(ReaderWordsTest, LocalesDecideNumericOrderAndTheClock) {
    EXPECT_FALSE(Words::dayFirst("en_US"));
    EXPECT_TRUE(Words::dayFirst("en_GB"));
    EXPECT_TRUE(Words::dayFirst("de_DE"));
    EXPECT_TRUE(Words::dayFirst("fr_FR"));
    EXPECT_TRUE(Words::twelveHourClock("en_US"));
    EXPECT_FALSE(Words::twelveHourClock("de_DE"));
    EXPECT_FALSE(Words::twelveHourClock("fr_FR"));
    // An unknown locale falls back to ICU's root data and still answers.
    EXPECT_NO_THROW(Words::dayFirst("xx_YY"));
}

} // namespace
} // namespace plannery::reader
