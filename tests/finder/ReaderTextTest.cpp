#include "finder/ReaderText.h"

#include <gtest/gtest.h>

namespace plannery::reader {
namespace {

std::vector<std::string> keys(const Line& line) {
    std::vector<std::string> out;
    for (const Token& t : line.tokens) {
        out.push_back(t.key);
    }
    return out;
}

TEST(ReaderTextTest, TokensFoldWordsAndReduceTypographicVariants) {
    const auto lines = readLines("Fête – 14h30·Bar | “Mia’s” → MÜNCHEN\tHbf");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(keys(lines[0]),
              (std::vector<std::string>{"fete", "-", "14", "h", "30", "·", "bar", "·", "\u201C",
                                        "mia's", "\u201D", "→", "munchen", "|", "hbf"}));
    const Line& line = lines[0];
    EXPECT_TRUE(line.tokens[0].capital);
    EXPECT_FALSE(line.tokens[0].allCaps);
    EXPECT_TRUE(line.tokens[12].allCaps);
    EXPECT_FALSE(line.tokens[3].spaced); // "h" right after "14"
    EXPECT_EQ(line.tokens[2].value, 14);
    EXPECT_EQ(line.span(9, 10), "Mia’s");
    EXPECT_EQ(line.at(99), nullptr);
}

TEST(ReaderTextTest, LettersSpacedOutAreReadAsTheirWords) {
    const auto lines = readLines("J A H R E S   K O N Z E R T   Ä R Z T E\n"
                                 "Plan B, rows A B C, U S A\n"
                                 "   S A M S T A G ,   1 9 .   J U N I   2 0 2 7");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(keys(lines[0]), (std::vector<std::string>{"jahres", "konzert", "arzte"}));
    // Fewer than four capitals, or lower-case letters, are left as they are.
    EXPECT_EQ(lines[1].tokens.size(), 11u);
    // On a line set so, digits and stops spaced out are words too, and the wider gaps spaces.
    EXPECT_EQ(lines[2].text, "   SAMSTAG, 19. JUNI 2027");
}

TEST(ReaderTextTest, LinksAreOneTokenWithoutTheSentencesPunctuation) {
    const struct {
        const char* text;
        const char* link;
    } cases[] = {
        {"Join: https://zoom.us/j/948?pwd=Qk.", "https://zoom.us/j/948?pwd=Qk"},
        {"see www.stlukesfunrun.org.uk before", "www.stlukesfunrun.org.uk"},
        {"Joining info: meet.google.com/xkp-qwer-tzu", "meet.google.com/xkp-qwer-tzu"},
        {"Book at claycollective.com/taster", "claycollective.com/taster"},
        {"unter flohmarkt@gms-kiel.de", "flohmarkt@gms-kiel.de"},
        {"(redcrossblood.org)", "redcrossblood.org"},
        {"<https://teams.microsoft.com/l/x>", "https://teams.microsoft.com/l/x"},
    };
    for (const auto& c : cases) {
        const auto lines = readLines(c.text);
        const auto link = std::find_if(lines[0].tokens.begin(), lines[0].tokens.end(),
                                       [](const Token& t) { return t.isLink(); });
        ASSERT_NE(link, lines[0].tokens.end()) << c.text;
        EXPECT_EQ(link->key, c.link) << c.text;
    }
    // Abbreviations and decimals are no links.
    for (const char* text : {"St. Mary's", "Dr. Hannah Ross", "e.V.", "3.6 x 2.4", "Mr.Evans"}) {
        const auto lines = readLines(text);
        for (const Token& t : lines[0].tokens) {
            EXPECT_FALSE(t.isLink()) << text;
        }
    }
}

TEST(ReaderTextTest, LinesKeepTheirBlocksAndLongTextsAreCut) {
    const auto lines = readLines("One\r\nTwo\n\n\n  \nThree");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "One");
    EXPECT_EQ(lines[1].block, 0);
    EXPECT_EQ(lines[2].block, 1);
    EXPECT_EQ(lines[2].index, 5);

    std::string huge;
    while (huge.size() < 1'000'000) {
        huge += "Lorem ipsum dolor sit amet, 12:30 am 14. März\n";
    }
    const auto cut = readLines(huge);
    std::size_t bytes = 0;
    for (const Line& line : cut) {
        bytes += line.text.size() + 1;
    }
    EXPECT_LE(bytes, kMaxTextBytes + 1);
    EXPECT_GT(cut.size(), 100u);

    // Bytes that are not UTF-8, control characters and a cut inside a character do no harm.
    std::string bad = "Party \xff\xfe on \x01\x02 Friday \xe2\x80";
    EXPECT_FALSE(readLines(bad).empty());
    EXPECT_TRUE(readLines("").empty());
}

} // namespace
} // namespace plannery::reader
