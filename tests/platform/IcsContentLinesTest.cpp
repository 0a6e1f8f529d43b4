#include "platform/IcsContentLines.h"

#include <gtest/gtest.h>

namespace plannery::ics::lines {
namespace {

TEST(IcsContentLines, ComponentsKeepEveryByteAndUnfoldTheirLines) {
    const std::string text = "\xEF\xBB\xBF"
                             "BEGIN:VCALENDAR\r\nX-A:one\r\n  two\r\n\tthree\n"
                             "begin:vevent\rSUMMARY;X=\"a:b;c\":v:w\r\nend:VEVENT\r\n"
                             "END:VCALENDAR\r\ntrailing";
    const auto root = parse(text);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->bytes(), text);
    ASSERT_EQ(root->children.size(), 2u);
    const Node& calendar = root->children[0];
    EXPECT_EQ(calendar.text, "VCALENDAR");
    ASSERT_EQ(calendar.children.size(), 2u);
    EXPECT_EQ(calendar.children[0].text, "X-A:one twothree");
    EXPECT_EQ(calendar.children[1].text, "VEVENT");
    EXPECT_EQ(root->children[1].text, "trailing");

    const auto parts = split(calendar.children[1].children[0].text);
    EXPECT_EQ(parts.name, "SUMMARY");
    EXPECT_EQ(parts.params, std::vector<std::string>{"X=\"a:b;c\""});
    EXPECT_EQ(parts.value, "v:w");
    EXPECT_EQ(parts.join(), "SUMMARY;X=\"a:b;c\":v:w");
    EXPECT_EQ(nameOf("dtstart;TZID=x:1"), "DTSTART");
    EXPECT_EQ(parameterName("partstat=ACCEPTED"), "PARTSTAT");

    EXPECT_FALSE(parse("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nEND:VCALENDAR\r\n"));
    EXPECT_FALSE(parse("BEGIN:VCALENDAR\r\n"));
    EXPECT_FALSE(parse("END:VEVENT\r\n"));
}

TEST(IcsContentLines, FoldingKeepsLinesShortAndCharactersWhole) {
    const std::string line =
        "DESCRIPTION:" + std::string(70, 'a') + "\xC3\xA9\xC3\xA9" + std::string(100, 'b');
    const std::string folded = fold(line, "\r\n");
    std::size_t start = 0;
    std::string unfolded;
    while (start < folded.size()) {
        const auto end = folded.find("\r\n", start);
        const std::string physical = folded.substr(start, end - start);
        EXPECT_LE(physical.size(), 75u);
        EXPECT_NE(static_cast<unsigned char>(physical.back()), 0xC3u);
        unfolded += start == 0 ? physical : physical.substr(1);
        start = end + 2;
    }
    EXPECT_EQ(unfolded, line);
    EXPECT_EQ(fold("SHORT:x", "\n"), "SHORT:x\n");
}

} // namespace
} // namespace plannery::ics::lines
