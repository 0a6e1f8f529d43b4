#include "platform/VdirMetadata.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

TEST(VdirMetadata, Colors) {
    EXPECT_EQ(vdir::parseColor(" #000000\n")->components, (std::vector<double>{0, 0, 0, 1}));
    EXPECT_EQ(vdir::parseColor("#ffFFff00")->components, (std::vector<double>{1, 1, 1, 0}));
    EXPECT_EQ(vdir::parseColor("#F0a")->components, (std::vector<double>{1, 0, 170 / 255.0, 1}));
    for (const char* bad : {"", "#", "#12345", "#1234567", "123456", "#12345G", "#123456789", "red",
                            "rgb(1,2,3)", "# 123456", "#1234"}) {
        EXPECT_FALSE(vdir::parseColor(bad)) << bad;
    }
}

TEST(VdirMetadata, TitlesAreOneLineOfText) {
    EXPECT_EQ(vdir::oneLineText("  Work\n"), "Work");
    EXPECT_EQ(vdir::oneLineText("Team\r\n\tMeetings\x01 2"), "Team Meetings 2");
    EXPECT_EQ(vdir::oneLineText("\xEF\xBB\xBF"
                                "B\xC3\xBCro"),
              "B\u00FCro");
    // Not UTF-8: read as Latin-1, so the result is always valid text.
    EXPECT_EQ(vdir::oneLineText("B\xFCro \x80"), "B\u00FCro \u0080");
    EXPECT_EQ(vdir::oneLineText(std::string("a\0b", 3)), "a b");
    EXPECT_EQ(vdir::oneLineText(" \n "), "");
}

TEST(VdirMetadata, IniFilesKnownKeysAndSentencesForTheRest) {
    test::TempDir dir;
    const auto account = dir.write("account.ini", "; comment\n[account]\nTYPE = iCloud\n"
                                                  "title = Family\n"
                                                  "emails = A@x.org, , b@y.org, nope\n"
                                                  "colour = #fff\nno equals sign here\n");
    const auto read = vdir::readAccountIni(account);
    EXPECT_EQ(read.value.type, SourceType::iCloud);
    EXPECT_EQ(read.value.title, "Family");
    EXPECT_EQ(read.value.emails, (std::vector<std::string>{"a@x.org", "b@y.org"}));
    ASSERT_EQ(read.notes.size(), 2u);
    EXPECT_EQ(read.notes[0], "The file " + account.string() +
                                 " lists \u201Cnope\u201D under emails, which is not an e-mail "
                                 "address; it is ignored.");
    EXPECT_EQ(read.notes[1], "The file " + account.string() +
                                 " has the setting \u201Ccolour\u201D, which Plannery does not "
                                 "know (it reads type, title and emails); it is ignored.");

    const auto calendar = dir.write("calendar.ini", "type = Birthday\nread-only = on\n");
    EXPECT_EQ(vdir::readCalendarIni(calendar).value.type, CalendarType::birthday);
    EXPECT_TRUE(vdir::readCalendarIni(calendar).value.readOnly);
    const auto missing = vdir::readCalendarIni(dir.path() / "none.ini");
    EXPECT_FALSE(missing.value.type);
    EXPECT_TRUE(missing.notes.empty());

    const auto huge = dir.write("huge.ini", std::string(200 * 1024, '#'));
    EXPECT_EQ(vdir::readAccountIni(huge).notes,
              std::vector<std::string>{"The file " + huge.string() +
                                       " is too large to hold settings; it is ignored."});
    EXPECT_EQ(vdir::readColor(dir.write("empty", "\n")).notes, std::vector<std::string>{});
    EXPECT_FALSE(vdir::readColor(dir.path() / "none").value);
    EXPECT_EQ(*vdir::readDisplayName(dir.write("name", "  Home  \n")).value, "Home");
}

} // namespace
} // namespace plannery
