#include "detail/DetailSheetLinks.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using DetailSheetLinks::LinkSpan;

// Each link as "shown text -> target".
std::vector<std::string> links(std::string_view text) {
    std::vector<std::string> out;
    for (const LinkSpan& span : DetailSheetLinks::find(text)) {
        out.push_back(std::string(text.substr(span.begin, span.end - span.begin)) + " -> " +
                      span.target);
    }
    return out;
}

TEST(DetailSheetLinksTest, WebMailAndPhoneInText) {
    EXPECT_EQ(links("Join at https://meet.example.com/abc-defg, or call +49 30 1234567.\n"
                    "Questions: (ann.lee@example.com) or www.example.org/faq!"),
              (std::vector<std::string>{
                  "https://meet.example.com/abc-defg -> https://meet.example.com/abc-defg",
                  "+49 30 1234567 -> tel:+49301234567",
                  "ann.lee@example.com -> mailto:ann.lee@example.com",
                  "www.example.org/faq -> http://www.example.org/faq"}));
    EXPECT_EQ(links("Dial-in (030) 123-4567 today"),
              (std::vector<std::string>{"(030) 123-4567 -> tel:0301234567"}));
}

TEST(DetailSheetLinksTest, ThingsThatOnlyLookLikeLinks) {
    // Dates, short numbers, numbers glued to words, addresses without a proper host and a bare
    // file name are plain text.
    EXPECT_TRUE(links("2026-03-10 and 10.03.2026 and 12/31/2026").empty());
    EXPECT_TRUE(links("Room 4.B, floor 12, 123456").empty());
    EXPECT_TRUE(links("ID12345678 and 12345678kg").empty());
    EXPECT_TRUE(links("@home, ann@, ann@host, ann@host.c").empty());
    EXPECT_TRUE(links("notes.txt <> \" \" ").empty());
    EXPECT_TRUE(links("").empty());
    EXPECT_TRUE(links("12345678901234567890").empty()) << "too long for a phone number";
}

TEST(DetailSheetLinksTest, SpansStayInsideLongAndOddText) {
    std::string big;
    for (int i = 0; i < 20000; ++i) {
        big += "<p>Line " + std::to_string(i) + " https://example.com/" + std::to_string(i) +
               " \xF0\x9F\x98\x80 ann@example.com\xFF\xFE\n";
    }
    const auto spans = DetailSheetLinks::find(big);
    ASSERT_EQ(spans.size(), 40000u);
    std::size_t last = 0;
    for (const LinkSpan& span : spans) {
        ASSERT_LE(last, span.begin);
        ASSERT_LT(span.begin, span.end);
        ASSERT_LE(span.end, big.size());
        last = span.end;
    }
}

} // namespace
} // namespace plannery
