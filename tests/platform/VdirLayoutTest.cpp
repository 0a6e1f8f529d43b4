#include "platform/VdirLayout.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;

TEST(VdirLayout, OnlyCalendarFilesAreListed) {
    test::TempDir dir;
    dir.write("cal/good.ics", "x");
    dir.write("cal/Upper.ICS", "x");
    dir.write("cal/.hidden.ics", "x");
    dir.write("cal/.#good.ics", "x");
    dir.write("cal/good.ics.tmp", "x");
    dir.write("cal/good.ics~", "x");
    dir.write("cal/notes.txt", "x");
    dir.write("cal/folder.ics/inner.ics", "x"); // a folder named like a file
    fs::create_symlink(dir.path() / "cal" / "self.ics", dir.path() / "cal" / "self.ics");

    EXPECT_EQ(vdir::listCalendarFiles(dir.path() / "cal"),
              (std::vector<std::string>{"Upper.ICS", "good.ics", "self.ics"}));
    EXPECT_TRUE(vdir::statFile(dir.path() / "cal" / "good.ics"));
    EXPECT_FALSE(vdir::statFile(dir.path() / "cal" / "folder.ics"));
    EXPECT_FALSE(vdir::statFile(dir.path() / "cal" / "self.ics"));
    EXPECT_FALSE(vdir::listCalendarFiles(dir.path() / "missing"));
    EXPECT_TRUE(vdir::folderTime(dir.path() / "cal"));
    EXPECT_FALSE(vdir::folderTime(dir.path() / "cal" / "good.ics"));
}

} // namespace
} // namespace plannery
