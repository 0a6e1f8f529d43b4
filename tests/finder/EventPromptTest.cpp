#include "finder/EventPrompt.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t begin = 0;
    for (;;) {
        const auto end = text.find('\n', begin);
        out.push_back(text.substr(begin, end - begin));
        if (end == std::string::npos) {
            return out;
        }
        begin = end + 1;
    }
}

TEST(EventPromptTest, InstructionsCarryTodayAndTheUsersZone) {
    const Calendar berlin = test::berlin();
    const std::string text =
        EventPrompt::instructions(test::at(berlin, 2026, 12, 3, 23, 30), berlin);
    const auto parts = lines(text);
    ASSERT_EQ(parts.size(), 11u);
    EXPECT_EQ(parts[1], "Today is Thursday, 12/03/2026 (2026-12-03). The user's time zone is "
                        "Europe/Berlin.");
    EXPECT_EQ(parts[2], "");
    EXPECT_EQ(parts[3].rfind("- One entry per event.", 0), 0u);
    EXPECT_EQ(parts[10].rfind("- notes: ", 0), 0u);
    EXPECT_NE(text.back(), '\n');

    // The task line with its line feed and "Today is " (165 characters), the zone lead-in (27) and
    // the rules (1103), around the date (with " (" and the day key) and the zone.
    const std::string date = "Thursday, 12/03/2026 (2026-12-03";
    const std::size_t fixed = text.size() - date.size() - std::string("Europe/Berlin").size();
    EXPECT_EQ(fixed, 165u + 27u + 1103u);

    // The same instant is already Friday in Tokyo, whatever the user's locale.
    const auto tokyo = Calendar::make("Asia/Tokyo", "de_DE");
    ASSERT_TRUE(tokyo);
    EXPECT_EQ(lines(EventPrompt::instructions(test::at(berlin, 2026, 12, 3, 23, 30), *tokyo))[1],
              "Today is Friday, 12/04/2026 (2026-12-04). The user's time zone is Asia/Tokyo.");
}

TEST(EventPromptTest, PromptsHoldTheFirstCharactersOfTheText) {
    EXPECT_EQ(EventPrompt::prompt("Party Friday", 5000), "Text from the image:\n\nParty Friday");
    EXPECT_EQ(EventPrompt::prompt("Party Friday", 5), "Text from the image:\n\nParty");
    // User-perceived characters: an accent written as a combining mark and a flag count as one.
    EXPECT_EQ(EventPrompt::leadingCharacters("Cafe\u0301 \U0001F1E9\U0001F1EA!", 6),
              "Cafe\u0301 \U0001F1E9\U0001F1EA");
    EXPECT_EQ(EventPrompt::leadingCharacters("", 3), "");
    const std::string longText(12000, 'x');
    EXPECT_EQ(EventPrompt::leadingCharacters(longText, 5000).size(), 5000u);
    // Bytes that are not UTF-8 neither stop nor break the count.
    EXPECT_EQ(EventPrompt::leadingCharacters("ab\xff\xfe"
                                             "cd",
                                             4),
              "ab\xff\xfe");
}

} // namespace
} // namespace plannery
