#include "model/SettingsRows.h"

#include <gtest/gtest.h>

#include <memory>

namespace plannery {
namespace {

using Groups = std::vector<std::vector<std::string>>;

CalendarHandle calendar(const std::string& id, const std::string& title,
                        std::optional<PlatformColor> color = std::nullopt) {
    return std::make_shared<const StoreCalendar>(StoreCalendar{.calendarIdentifier = id,
                                                               .title = title,
                                                               .color = std::move(color),
                                                               .type = CalendarType::local,
                                                               .allowsContentModifications = true,
                                                               .source = nullptr});
}

AccountGroup group(const std::string& id, const std::string& name, std::optional<AccountKind> kind,
                   std::vector<CalendarHandle> calendars) {
    return AccountGroup{.id = id,
                        .name = name,
                        .kind = kind,
                        .calendars = std::move(calendars),
                        .googleSyncURL = std::nullopt};
}

// An iCloud account and an Exchange account that both hold "Work", an iCloud "Team" that mirrors
// "Home" in the same account, and a Google account.
struct Accounts {
    std::vector<AccountGroup> groups{
        group("source:icloud", "iCloud", AccountKind::iCloud,
              {calendar("home", "Home"), calendar("team", "Team"), calendar("work-i", "Work")}),
        group("source:google", "ann@gmail.com", AccountKind::google,
              {calendar("family", "Family", PlatformColor{{1, 0, 0, 1}})}),
        group("source:exchange", "Exchange", AccountKind::exchange, {calendar("work-x", "Work")}),
        group("other", "Other", std::nullopt, {calendar("birthdays", "Birthdays")}),
    };

    std::optional<std::string> note(const std::string& id, std::size_t inGroup,
                                    const CalendarMirrors& mirrors) const {
        return SettingsRows::mirrorNote(id, groups[inGroup], groups, mirrors, "en_US");
    }
};

TEST(SettingsRows, MirrorNotesNameTheOtherCalendarsAndTheirAccounts) {
    const Accounts accounts;
    const CalendarMirrors mirrors(Groups{{"work-x", "work-i"}, {"home", "team"}});
    EXPECT_EQ(accounts.note("work-i", 0, mirrors),
              "Same as \u201CWork\u201D in Exchange, shown once");
    EXPECT_EQ(accounts.note("work-x", 2, mirrors),
              "Same as \u201CWork\u201D in iCloud, shown once");
    // A mirror in the same account goes without the account's name.
    EXPECT_EQ(accounts.note("home", 0, mirrors), "Same as \u201CTeam\u201D, shown once");
    EXPECT_EQ(accounts.note("team", 0, mirrors), "Same as \u201CHome\u201D, shown once");
    // Calendars outside every group have no note.
    EXPECT_EQ(accounts.note("family", 1, mirrors), std::nullopt);

    // Several mirrors read as the locale's list, in the group's order.
    const CalendarMirrors three(Groups{{"work-i", "team", "work-x"}});
    EXPECT_EQ(accounts.note("work-i", 0, three),
              "Same as \u201CTeam\u201D and \u201CWork\u201D in Exchange, shown once");
    EXPECT_EQ(accounts.note("work-x", 2, three),
              "Same as \u201CWork\u201D in iCloud and \u201CTeam\u201D in iCloud, shown once");
    const CalendarMirrors four(Groups{{"family", "work-i", "team", "work-x"}});
    EXPECT_EQ(
        accounts.note("family", 1, four),
        "Same as \u201CWork\u201D in iCloud, \u201CTeam\u201D in iCloud, and \u201CWork\u201D "
        "in Exchange, shown once");

    // Mirrors that no account lists (the account is gone) are left out, and with them the note.
    const CalendarMirrors gone(Groups{{"work-i", "removed", "work-x"}, {"home", "vanished"}});
    EXPECT_EQ(accounts.note("work-i", 0, gone), "Same as \u201CWork\u201D in Exchange, shown once");
    EXPECT_EQ(accounts.note("home", 0, gone), std::nullopt);
}

TEST(SettingsRows, SectionsFollowTheGroups) {
    Accounts accounts;
    accounts.groups[1].googleSyncURL = "https://calendar.google.com/calendar/syncselect";
    const std::vector<AccountSection> sections = SettingsRows::accountSections(
        accounts.groups, CalendarMirrors(Groups{{"work-x", "work-i"}}), "en_US");
    ASSERT_EQ(sections.size(), 4u);

    std::vector<std::string> titles;
    for (const AccountSection& section : sections) {
        titles.push_back(section.title);
    }
    // Names that already say their kind stand alone; an address gets the kind added.
    EXPECT_EQ(titles, (std::vector<std::string>{"iCloud", "ann@gmail.com \u00B7 Google", "Exchange",
                                                "Other"}));

    const AccountSection& icloud = sections[0];
    ASSERT_EQ(icloud.rows.size(), 3u);
    EXPECT_EQ(icloud.id, "source:icloud");
    EXPECT_EQ(icloud.rows[0], (CalendarRow{.calendarID = "home",
                                           .title = "Home",
                                           .rgb = RGB::fallback(),
                                           .mirrorNote = std::nullopt}));
    EXPECT_EQ(icloud.rows[2].calendarID, "work-i");
    EXPECT_EQ(icloud.rows[2].mirrorNote, "Same as \u201CWork\u201D in Exchange, shown once");
    EXPECT_EQ(icloud.googleSyncURL, std::nullopt);

    // Only the Google account links to its sync page; colours come from the calendars.
    EXPECT_EQ(sections[1].googleSyncURL, "https://calendar.google.com/calendar/syncselect");
    EXPECT_EQ(sections[1].rows.at(0).rgb, (RGB{1, 0, 0}));

    // Without access there are no groups, and no sections.
    EXPECT_TRUE(SettingsRows::accountSections({}, CalendarMirrors(), "en_US").empty());
}

TEST(SettingsRows, BuildDescription) {
    EXPECT_EQ(SettingsRows::describeBuild("1.4", "212", "org.plannery.Plannery", "1a2b3c4"),
              (BuildDescription{.version = "1.4 (212)",
                                .kind = "Release \u00B7 1a2b3c4",
                                .bundleID = "org.plannery.Plannery"}));
    EXPECT_EQ(SettingsRows::describeBuild("1.4", "212", "org.plannery.Plannery", "").kind,
              "Release");
}

} // namespace
} // namespace plannery
