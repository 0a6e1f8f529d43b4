#include "model/MailAddress.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

TEST(MailAddressTest, AddressOfAMailtoURL) {
    EXPECT_EQ(emailFromURL("mailto:ann@example.com"), "ann@example.com");
    EXPECT_EQ(emailFromURL("MAILTO:Ann@Example.com"), "Ann@Example.com");
    EXPECT_EQ(emailFromURL("mailto:ann%40example.com?subject=Hi"), "ann@example.com");
    EXPECT_EQ(emailFromURL("mailto:j%C3%BCrgen@example.de"), "jürgen@example.de");
    // An encoded "?" is cut too: decoding comes first.
    EXPECT_EQ(emailFromURL("mailto:ann%3Fx@example.com"), "ann");
    // A broken escape or bytes that are not text leave the address as written.
    EXPECT_EQ(emailFromURL("mailto:100%zz@example.com"), "100%zz@example.com");
    EXPECT_EQ(emailFromURL("mailto:ann%4"), "ann%4");
    EXPECT_EQ(emailFromURL("mailto:%FFann@example.com"), "%FFann@example.com");

    EXPECT_EQ(emailFromURL("mailto:"), std::nullopt);
    EXPECT_EQ(emailFromURL("mailto:?subject=Hi"), std::nullopt);
    EXPECT_EQ(emailFromURL("https://example.com/ann@example.com"), std::nullopt);
    EXPECT_EQ(emailFromURL("mail:ann@example.com"), std::nullopt);
    EXPECT_EQ(emailFromURL(""), std::nullopt);
}

TEST(MailAddressTest, PatternNeedsOneAtAndADotAfterIt) {
    for (const char* good :
         {"ann@example.com", "a@b.c", "a.b@c.d.e", "a@..b", "jürgen@exämple.de", "a+tag@x.io"}) {
        EXPECT_TRUE(matchesEmailPattern(good)) << good;
    }
    for (const char* bad :
         {"", "@example.com", "ann@", "ann@example", "ann@.com", "ann@example.", "ann@@example.com",
          "ann@b@example.com", "ann @example.com", "ann@example.com\n", "ann\t@example.com",
          "ann@example\xC2\xA0.com",        // no-break space
          "ann@exa\xE2\x80\xA8mple.com"}) { // line separator
        EXPECT_FALSE(matchesEmailPattern(bad)) << bad;
    }
}

TEST(MailAddressTest, TypedListsOfAddresses) {
    const AddressList list = addressList(" ann@example.org,Ann@Example.org;\tbob@work.example\n"
                                         "  ann , bob@nowhere, , x@y.z");
    EXPECT_EQ(list.addresses,
              (std::vector<std::string>{"ann@example.org", "bob@work.example", "x@y.z"}));
    EXPECT_EQ(list.rejected, (std::vector<std::string>{"ann", "bob@nowhere"}));
    EXPECT_TRUE(addressList("").addresses.empty());
    EXPECT_TRUE(addressList(" ,; ").rejected.empty());
}

} // namespace
} // namespace plannery
