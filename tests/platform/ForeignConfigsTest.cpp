#include "platform/ForeignConfigs.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;

TEST(ForeignConfigs, KhalCalendarsAndExpandedDiscoverPatterns) {
    test::TempDir dir;
    const fs::path home = dir.path();
    dir.write(".calendars/home/e.ics", "x");
    dir.write(".calendars/work/e.ics", "x");
    // ~/sync/*/* : each account folder holds only matches, so it is a root of its collections.
    dir.write("sync/fastmail/personal/e.ics", "x");
    dir.write("sync/fastmail/family/displayname", "Family");
    fs::create_directories(home / "sync" / "google" / "empty");
    // ~/mixed/cal-* : the folder also holds what the pattern leaves out, so each match is a root.
    fs::create_directories(home / "mixed" / "cal-a");
    fs::create_directories(home / "mixed" / "cal-b");
    fs::create_directories(home / "mixed" / "photos");
    // ~/* would name every folder in home: its matches are roots, never home itself.
    const std::string config = "[calendars]\n"
                               "  [[home]]\n"
                               "    path = ~/.calendars/home/\n"
                               "    color = dark green\n"
                               "  [[work]]\n"
                               "    path = ~/.calendars/work\n"
                               "  [[synced]]\n"
                               "    path = \"~/sync/*/*\"\n"
                               "    type = discover\n"
                               "  [[mixed]]\n"
                               "    path = ~/mixed/cal-*\n"
                               "    type = discover\n"
                               "  [[birthdays]]\n"
                               "    path = ~/contacts/\n"
                               "    type = birthdays\n"
                               "  [[everything]]\n"
                               "    path = ~\n"
                               "[locale]\n"
                               "  path = /not/a/calendar\n"
                               "# path = /commented/out\n";
    EXPECT_EQ(vdir::khalRoots(config, home),
              (std::vector<fs::path>{home / ".calendars/home", home / ".calendars/work",
                                     home / "sync/fastmail", home / "sync/google",
                                     home / "mixed/cal-a", home / "mixed/cal-b"}));
    EXPECT_TRUE(vdir::khalRoots("[calendars\npath = x\n[[", home).empty());
}

TEST(ForeignConfigs, VdirsyncerStoragesAreRootsAsConfigured) {
    test::TempDir dir;
    // A storage without collections holds calendar files itself: it is still the root (one
    // calendar), never the folder above it.
    dir.write("single/event.ics", "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    dir.write("stray.ics", "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    const std::string config = "[general]\nstatus_path = \"~/.vdirsyncer/status/\"\n"
                               "[pair cal]\na = \"cal_local\"\nb = \"cal_remote\"\n"
                               "[storage cal_local]\ntype = \"filesystem\"\n"
                               "path = \"~/.calendars/\"\nfileext = \".ics\"\n"
                               "[storage contacts_local]\ntype = \"filesystem\"\n"
                               "path = \"~/.contacts/\"\nfileext = \".vcf\"\n"
                               "[storage cal_remote]\ntype = \"caldav\"\nurl = \"https://x\"\n"
                               "[storage one]\ntype = \"filesystem\"\npath = \"~/single\"\n"
                               "fileext = \".ics\"\n"
                               "[storage home]\ntype = \"filesystem\"\npath = \"~/\"\n"
                               "fileext = \".ics\"\n"
                               "[storage top]\ntype = \"filesystem\"\npath = \"/\"\n"
                               "fileext = \".ics\"\n";
    EXPECT_EQ(vdir::vdirsyncerRoots(config, dir.path()),
              (std::vector<fs::path>{dir.path() / ".calendars", dir.path() / "single"}));
}

TEST(ForeignConfigs, OnlyExistingFoldersAreOffered) {
    test::TempDir dir;
    const fs::path home = dir.path() / "home";
    fs::create_directories(home / ".calendars" / "work");
    dir.write("config/khal/config", "[calendars]\n[[work]]\npath = ~/.calendars/work\n"
                                    "[[gone]]\npath = ~/missing/cal\n");
    dir.write("config/vdirsyncer/config",
              "[storage a]\ntype = \"filesystem\"\npath = \"~/.calendars\"\nfileext = \".ics\"\n");
    EXPECT_EQ(vdir::foreignRoots(dir.path() / "config", home),
              (std::vector<fs::path>{home / ".calendars" / "work", home / ".calendars"}));
    EXPECT_TRUE(vdir::foreignRoots(dir.path() / "nothing", home).empty());
}

} // namespace
} // namespace plannery
