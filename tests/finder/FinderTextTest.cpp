#include "finder/FinderText.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

TEST(FinderTextTest, TrimmingKeepsLineBreaks) {
    EXPECT_EQ(FinderText::trimSpaces(" \t 9pm\u00A0 "), "9pm");
    EXPECT_EQ(FinderText::trimSpaces("\n9pm\n"), "\n9pm\n");
    EXPECT_EQ(FinderText::trimSpaces("\u2003"), "");
    EXPECT_EQ(FinderText::trimSpaces(""), "");
}

TEST(FinderTextTest, CaseAndFoldedKeys) {
    EXPECT_EQ(FinderText::fold("Févr."), "fevr.");
    EXPECT_EQ(FinderText::fold("Straße"), "strasse");
    EXPECT_EQ(FinderText::fold("ÜBERMORGEN"), "ubermorgen");
    EXPECT_EQ(FinderText::fold("Noon"), "noon");
    EXPECT_EQ(FinderText::lower("ÉTÉ"), "été");
    EXPECT_EQ(FinderText::upper("straße"), "STRASSE");
    EXPECT_EQ(FinderText::capitalizeWords("FÊTE DE QUARTIER"), "Fête De Quartier");
    EXPECT_EQ(FinderText::capitalizeFirst("élan vital"), "Élan vital");
    EXPECT_EQ(FinderText::capitalizeFirst("9am run"), "9am run");
    EXPECT_EQ(FinderText::capitalizeFirst(""), "");
    EXPECT_EQ(FinderText::letterCount("CES 2025"), 3u);
    EXPECT_EQ(FinderText::letterCount("Café"), 4u);
    EXPECT_TRUE(FinderText::isAllCaps("NYC 2026"));
    EXPECT_FALSE(FinderText::isAllCaps("2026"));
    EXPECT_FALSE(FinderText::isAllCaps("Nyc"));
    EXPECT_FALSE(FinderText::isAllCaps("音楽祭"));
    // Bytes that are not UTF-8 do not break the helpers.
    EXPECT_NO_THROW(FinderText::fold("a\xff\xfe"));
    EXPECT_NO_THROW(FinderText::trimSpaces("\xe2\x80"));
}

} // namespace
} // namespace plannery
