#include "store/LinkOpener.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plannery {
namespace {

TEST(LinkOpener, HandsOnlyLinksOfOpenedSchemesToTheDesktop) {
    std::vector<std::string> handed;
    const LinkOpener::HandOff record = [&handed](const std::string& url) { handed.push_back(url); };

    EXPECT_FALSE(LinkOpener::open("file:///etc/passwd", record));
    EXPECT_FALSE(LinkOpener::open("smb://server/share", record));
    EXPECT_FALSE(LinkOpener::open("javascript:alert(1)", record));
    EXPECT_TRUE(handed.empty());
    // Refused before the desktop is asked: nothing is started here either.
    EXPECT_FALSE(LinkOpener::open("file:///etc/passwd"));
    EXPECT_FALSE(LinkOpener::open("data:text/html,<b>hi</b>"));

    EXPECT_TRUE(LinkOpener::open("https://example.com/agenda", record));
    EXPECT_TRUE(LinkOpener::open("mailto:ann@example.com", record));
    EXPECT_EQ(handed,
              (std::vector<std::string>{"https://example.com/agenda", "mailto:ann@example.com"}));
}

} // namespace
} // namespace plannery
