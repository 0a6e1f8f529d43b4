#include "platform/ForeignConfigs.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;

TEST(ForeignConfigs, KhalCalendarsAndDiscoverPatternsNameTheirRoots) {
    const fs::path home = "/home/ann";
    const std::string config = "[calendars]\n"
                               "  [[home]]\n"
                               "    path = ~/.calendars/home/\n"
                               "    color = dark green\n"
                               "  [[work]]\n"
                               "    path = ~/.calendars/work\n"
                               "  [[synced]]\n"
                               "    path = \"~/sync/google/*\"\n"
                               "    type = discover\n"
                               "  [[birthdays]]\n"
                               "    path = ~/contacts/\n"
                               "    type = birthdays\n"
                               "[locale]\n"
                               "  path = /not/a/calendar\n"
                               "# path = /commented/out\n";
    EXPECT_EQ(vdir::khalRoots(config, home),
              (std::vector<fs::path>{"/home/ann/.calendars", "/home/ann/sync/google"}));
    EXPECT_TRUE(vdir::khalRoots("[calendars\npath = x\n[[", home).empty());
}

TEST(ForeignConfigs, VdirsyncerFilesystemStoragesOfCalendarFiles) {
    test::TempDir dir;
    dir.write("single/event.ics", "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    const std::string config = "[general]\nstatus_path = \"~/.vdirsyncer/status/\"\n"
                               "[pair cal]\na = \"cal_local\"\nb = \"cal_remote\"\n"
                               "[storage cal_local]\ntype = \"filesystem\"\n"
                               "path = \"~/.calendars/\"\nfileext = \".ics\"\n"
                               "[storage contacts_local]\ntype = \"filesystem\"\n"
                               "path = \"~/.contacts/\"\nfileext = \".vcf\"\n"
                               "[storage cal_remote]\ntype = \"caldav\"\nurl = \"https://x\"\n"
                               "[storage one]\ntype = \"filesystem\"\npath = \"~/single\"\n"
                               "fileext = \".ics\"\n";
    EXPECT_EQ(vdir::vdirsyncerRoots(config, dir.path()),
              (std::vector<fs::path>{dir.path() / ".calendars", dir.path()}));
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
              std::vector<fs::path>{home / ".calendars"});
    EXPECT_TRUE(vdir::foreignRoots(dir.path() / "nothing", home).empty());
}

} // namespace
} // namespace plannery
