#include "model/LinkSchemes.h"

#include <gtest/gtest.h>

#include <string>

namespace plannery {
namespace {

TEST(LinkSchemes, OnlyTheWebMailPhoneCallsAndOwnLinksOpen) {
    for (const char* url :
         {"https://example.com/a?b=c", "http://example.com", "HTTPS://EXAMPLE.COM",
          "mailto:ann@example.com", "tel:+49301234567", "zoommtg://zoom.us/join?confno=1",
          "msteams:/l/meetup-join/19%3ameeting", "plannery://day/2026-03-07"}) {
        EXPECT_TRUE(LinkSchemes::opens(url)) << url;
    }
    // What the desktop would run, mount, execute or log in to.
    for (const char* url : {"file:///etc/passwd", "FILE:///home/ann/run.desktop", "file:run.sh",
                            "smb://server/share", "data:text/html,<script>alert(1)</script>",
                            "javascript:alert(1)", "ssh://root@example.com", "vbscript:msgbox",
                            "sftp://host/x", "ftp://example.com/file", "x-scheme-handler:anything",
                            "httpx://example.com", "https+file://x", "help:ghelp", "apt:sl"}) {
        EXPECT_FALSE(LinkSchemes::opens(url)) << url;
    }
    // Texts that only look like one of the allowed links.
    for (const std::string& url :
         {std::string("https:"), std::string("https"), std::string(""), std::string(":https"),
          std::string(" https://example.com"), std::string("https://exa mple.com"),
          std::string("https://example.com\n"), std::string("https://x\0y", 11),
          std::string("1https://x"), std::string("ht_tp://x")}) {
        EXPECT_FALSE(LinkSchemes::opens(url)) << url;
    }
}

} // namespace
} // namespace plannery
