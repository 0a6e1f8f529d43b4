#include "platform/VdirDecodedFiles.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace plannery::vdir {
namespace {

using test::calendarText;
using test::vevent;

std::uint32_t fileNamed(const Scan& scan, const std::string& name) {
    const auto found = std::find_if(scan.files.begin(), scan.files.end(),
                                    [&](const IndexedFile& file) { return file.name == name; });
    EXPECT_NE(found, scan.files.end()) << name;
    return static_cast<std::uint32_t>(found - scan.files.begin());
}

std::string titleOf(const Decoded& decoded) {
    return decoded.contents.at(0).at(0)->title.value_or("?");
}

// A window that pages through the weeks reads the weekly series with every week's own event:
// the series stays decoded however far it goes, the weeks long passed are let go, and a file let
// go is decoded again when asked for.
TEST(VdirDecodedFiles, KeepsWhatIsUsedMostRecentlyWithinItsBound) {
    test::TempDir dir;
    dir.write("acct/cal/weekly.ics",
              calendarText(vevent("weekly", "DTSTART:20260302T080000Z", "DTEND:20260302T083000Z",
                                  "Weekly", "RRULE:FREQ=WEEKLY\r\n")));
    constexpr int kWeeks = 12;
    for (int week = 0; week < kWeeks; ++week) {
        const std::string day = "202603" + std::to_string(10 + week);
        dir.write(
            "acct/cal/week" + std::to_string(week) + ".ics",
            calendarText(vevent("w" + std::to_string(week), "DTSTART:" + day + "T090000Z",
                                "DTEND:" + day + "T100000Z", "Week " + std::to_string(week))));
    }
    constexpr std::size_t kKept = 4;
    DecodedFiles files({}, kKept);
    files.adopt(scan({dir.path()}, VdirOptions::Check::everyFile, nullptr));
    const std::uint32_t series = fileNamed(files.scan(), "weekly.ics");

    for (int week = 0; week < kWeeks; ++week) {
        const std::uint32_t single =
            fileNamed(files.scan(), "week" + std::to_string(week) + ".ics");
        EXPECT_EQ(titleOf(*files.decoded(series)), "Weekly");
        EXPECT_EQ(titleOf(*files.decoded(single)), "Week " + std::to_string(week));
        EXPECT_TRUE(files.holds(series)) << week;
        EXPECT_TRUE(files.holds(single)) << week;
    }
    int held = 0;
    for (std::uint32_t file = 0; file < files.scan().files.size(); ++file) {
        held += files.holds(file) ? 1 : 0;
    }
    EXPECT_LE(held, static_cast<int>(kKept));
    const std::uint32_t first = fileNamed(files.scan(), "week0.ics");
    EXPECT_FALSE(files.holds(first));
    EXPECT_EQ(titleOf(*files.decoded(first)), "Week 0");
    EXPECT_TRUE(files.holds(series));
}

} // namespace
} // namespace plannery::vdir
