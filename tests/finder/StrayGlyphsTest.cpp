#include "finder/StrayGlyphs.h"

#include <gtest/gtest.h>

namespace plannery::reader {
namespace {

TEST(StrayGlyphsTest, PicturesAndTheirMisreadingsAtALinesEndsGo) {
    const struct {
        const char* line;
        const char* clean;
    } cases[] = {
        // Emoji as written, with their joiners and skin tones.
        {"🎄 Office Christmas Party 🎄", "Office Christmas Party"},
        {"HOUSEWARMING 🏡", "HOUSEWARMING"},
        {"See you there 👋🏽", "See you there"},
        // What a recogniser reads them as.
        {"O Office Christmas Party 0", "Office Christmas Party"},
        {"HOUSEWARMING Oo", "HOUSEWARMING"},
        {"Pub quiz at The Red Lion J]", "Pub quiz at The Red Lion"},
        {"HOUSEWARMING [{}", "HOUSEWARMING"},
        {"(0 is having his party", "is having his party"},
        {"Text me back []", "Text me back"},
        {"Bring something to drink ©", "Bring something to drink"},
        {"| Mum: Can you pick Gran up on Friday?", "Mum: Can you pick Gran up on Friday?"},
        {"| Room | Time |", "Room | Time"},
        // Several in a row.
        {"Party time 🎉 🎉", "Party time"},
        // Read as letters no word is made of, and the other of the pair then.
        {"Ol Office Christmas Party 9", "Office Christmas Party"},
        {"{) Office Christmas Party fj", "Office Christmas Party"},
        {"0l Summer Fair", "Summer Fair"},
        // A picture as written takes nothing else with it.
        {"🎉 Gate 9", "Gate 9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withoutStrayGlyphs(c.line), c.clean) << c.line;
    }
    // A long line of them is read in bounded time, and only its ends are cleaned.
    std::string many = "Party";
    for (int i = 0; i < 20000; ++i) {
        many += " []";
    }
    EXPECT_EQ(withoutStrayGlyphs(many).size(), many.size() - 9);
}

TEST(StrayGlyphsTest, NumbersMarkersAndBracketsThatPairStay) {
    for (const char* line : {"16:45 Dr Blake (Science) Lab 3",
                             "Spaces left: 0",
                             "Représentation : 19 h 00",
                             "Représentation : 2O h 00",
                             "O2 Arena, London",
                             "1) Bring a mat",
                             "a) Doors open",
                             "(2) Talks",
                             "Room 220 (Hall B)",
                             "O Holy Night",
                             "vs Hawthorn Harriers",
                             "Gate 9",
                             "Flat 3, 27 Lansdowne Road",
                             "🎉",
                             "0",
                             "(0",
                             "Score 1 - 0",
                             "",
                             "   ",
                             "Saturday, October 10",
                             "O Holy Night 2",
                             "Run 10 km",
                             "Doors 7 pm",
                             "Ol' Blue Eyes",
                             "Sala 10",
                             "Time:   3.4O pm"}) {
        EXPECT_EQ(withoutStrayGlyphs(line), line) << line;
    }
}

} // namespace
} // namespace plannery::reader
