#include "model/AccountKind.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

Source source(SourceType type, std::string title) {
    return Source{.sourceIdentifier = "s", .sourceType = type, .title = std::move(title)};
}

TEST(AccountKindTest, NamesRoundTripAndFollowTheDesktop) {
    for (AccountKind kind : {AccountKind::iCloud, AccountKind::google, AccountKind::exchange,
                             AccountKind::calDAV, AccountKind::subscribed, AccountKind::birthdays,
                             AccountKind::local, AccountKind::other}) {
        EXPECT_EQ(accountKindFromRawValue(rawValue(kind)), kind) << rawValue(kind);
    }
    EXPECT_EQ(accountKindFromRawValue("Google"), std::nullopt);
    EXPECT_EQ(displayName(AccountKind::local), "On This Computer");
    EXPECT_EQ(displayName(AccountKind::calDAV), "CalDAV");
}

TEST(AccountKindTest, SourceTypesAndCalDAVHintsGiveTheKind) {
    EXPECT_EQ(accountKindOf(source(SourceType::local, "gmail"), {}, true), AccountKind::local);
    EXPECT_EQ(accountKindOf(source(SourceType::exchange, "Google"), {}, true),
              AccountKind::exchange);
    EXPECT_EQ(accountKindOf(source(SourceType::iCloud, "x"), {}, false), AccountKind::iCloud);
    EXPECT_EQ(accountKindOf(source(SourceType::subscribed, "x"), {}, false),
              AccountKind::subscribed);
    EXPECT_EQ(accountKindOf(source(SourceType::birthdays, "x"), {}, false), AccountKind::birthdays);
    EXPECT_EQ(accountKindOf(source(static_cast<SourceType>(9), "x"), {}, true), AccountKind::other);

    // CalDAV: the title first (iCloud wins even over the Google check), then the check, then
    // the calendars' titles.
    EXPECT_EQ(accountKindOf(source(SourceType::calDAV, "iCloud"), {}, false), AccountKind::iCloud);
    EXPECT_EQ(accountKindOf(source(SourceType::calDAV, "My ICLOUD"), {"a@gmail.com"}, true),
              AccountKind::iCloud);
    EXPECT_EQ(accountKindOf(source(SourceType::calDAV, "Work GMail"), {}, false),
              AccountKind::google);
    EXPECT_EQ(accountKindOf(source(SourceType::calDAV, "GoogleSync"), {}, false),
              AccountKind::google);
    EXPECT_EQ(accountKindOf(source(SourceType::calDAV, "ann@example.com"), {}, true),
              AccountKind::google);
    EXPECT_EQ(
        accountKindOf(source(SourceType::calDAV, "Work"), {"Team", "Ann@GoogleMail.com"}, false),
        AccountKind::google);
    EXPECT_EQ(accountKindOf(source(SourceType::calDAV, "Work"),
                            {"abc123@group.calendar.google.com"}, false),
              AccountKind::google);
    // An address at Google's domain in the middle of a title is no Google calendar.
    EXPECT_EQ(accountKindOf(source(SourceType::calDAV, "Work"), {"ann@gmail.com (old)"}, false),
              AccountKind::calDAV);
    EXPECT_EQ(accountKindOf(source(SourceType::calDAV, "Fastmail"), {"Home"}, false),
              AccountKind::calDAV);
}

TEST(AccountKindTest, SectionTitlesSayTheKindOnlyWhenTheNameDoesNot) {
    struct Case {
        std::string name;
        std::optional<AccountKind> kind;
        std::string title;
    };
    const Case cases[] = {
        {"ann@example.com", AccountKind::google, "ann@example.com \xC2\xB7 Google"},
        // An address is no word list: even one at gmail gets the kind.
        {"ann@gmail.com", AccountKind::google, "ann@gmail.com \xC2\xB7 Google"},
        {"Work gmail stuff", AccountKind::google, "Work gmail stuff"},
        {"Team-Google", AccountKind::google, "Team-Google"},
        {"Googler", AccountKind::google, "Googler \xC2\xB7 Google"},
        {"Exchange", AccountKind::exchange, "Exchange"},
        {"Contoso", AccountKind::exchange, "Contoso \xC2\xB7 Exchange"},
        {"My iCloud", AccountKind::iCloud, "My iCloud"},
        {"Nextcloud (CalDAV)", AccountKind::calDAV, "Nextcloud (CalDAV)"},
        {"", AccountKind::calDAV, "CalDAV"},
        {"", AccountKind::local, "On This Computer"},
        {"On This Computer", AccountKind::local, "On This Computer"},
        {"Holidays", AccountKind::subscribed, "Holidays \xC2\xB7 Subscribed"},
        {"Subscribed feeds", AccountKind::subscribed, "Subscribed feeds"},
        {"Anything", AccountKind::other, "Anything"},
        {"Anything", std::nullopt, "Anything"},
        {"", std::nullopt, ""},
        // Letters beyond ASCII belong to words.
        {"Über-Exchange", AccountKind::exchange, "Über-Exchange"},
        {"ExchangeÜ", AccountKind::exchange, "ExchangeÜ \xC2\xB7 Exchange"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sectionTitle(c.name, c.kind), c.title) << c.name;
    }
}

TEST(AccountKindTest, AddressesAndSyncLinks) {
    EXPECT_TRUE(isEmailAddress("ann@example.com"));
    EXPECT_TRUE(isEmailAddress("@ann@example.com@")); // empty pieces are dropped
    EXPECT_FALSE(isEmailAddress("ann@localhost"));
    EXPECT_FALSE(isEmailAddress("ann@b@example.com"));
    EXPECT_FALSE(isEmailAddress("ann @example.com"));
    EXPECT_FALSE(isEmailAddress("ann.example.com"));
    EXPECT_FALSE(isEmailAddress(""));

    const std::string page = "https://calendar.google.com/calendar/syncselect";
    EXPECT_EQ(googleSyncURL(std::nullopt), page);
    EXPECT_EQ(googleSyncURL("Work calendars"), page);
    EXPECT_EQ(googleSyncURL(""), page);
    EXPECT_EQ(googleSyncURL(" \tann@example.com\t "), page + "?authuser=ann@example.com");
    EXPECT_EQ(googleSyncURL("a&b=c@example.com"), page + "?authuser=a%26b%3Dc@example.com");
}

TEST(AccountKindTest, GroupOrder) {
    const std::optional<AccountKind> ordered[] = {
        AccountKind::iCloud,     AccountKind::google,    AccountKind::exchange,
        AccountKind::calDAV,     AccountKind::other,     AccountKind::local,
        AccountKind::subscribed, AccountKind::birthdays, std::nullopt};
    for (std::size_t i = 1; i < std::size(ordered); ++i) {
        EXPECT_LT(groupOrder(ordered[i - 1]), groupOrder(ordered[i])) << i;
    }
    EXPECT_EQ(groupOrder(std::nullopt), 99);
}

} // namespace
} // namespace plannery
