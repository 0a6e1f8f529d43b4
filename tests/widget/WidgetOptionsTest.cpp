#include "TestSupport.h"

#include "widget/WidgetOptions.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::at;

TEST(WidgetOptions, FacesPicturesAndCalendars) {
    const WidgetOptions options = parseWidgetOptions(
        {"--render", "out.png", "--family", "extra-large", "--now=2026-03-09T14:20", "--size",
         "400x300", "--root", "/a", "--root", "/b", "--tz", "Asia/Tokyo", "--appearance", "dark",
         "--text-size", "xxl", "--scale", "2"});
    EXPECT_TRUE(options.problems.empty());
    EXPECT_EQ(options.renderFile, "out.png");
    EXPECT_EQ(options.families, std::vector{WidgetFamily::systemExtraLarge});
    EXPECT_EQ(options.now, "2026-03-09T14:20");
    EXPECT_EQ(options.size, (std::pair{400, 300}));
    EXPECT_EQ(options.roots.size(), 2u);
    EXPECT_EQ(options.zone, "Asia/Tokyo");
    EXPECT_EQ(options.appearance, Appearance::dark);
    EXPECT_EQ(options.textSize, TextSize::extraExtraLarge);
    EXPECT_DOUBLE_EQ(options.scale, 2);

    const WidgetOptions windows =
        parseWidgetOptions({"--family", "small", "--family", "inline", "--minute-ms", "50"});
    EXPECT_EQ(windows.families,
              (std::vector{WidgetFamily::systemSmall, WidgetFamily::accessoryInline}));
    EXPECT_DOUBLE_EQ(windows.minuteMs, 50);
    EXPECT_TRUE(parseWidgetOptions({"--help"}).help);
}

TEST(WidgetOptions, EachBadArgumentIsASentence) {
    const WidgetOptions options = parseWidgetOptions(
        {"--family", "huge", "--size", "0x10", "--tz", "Mars/Olympus", "--appearance", "sepia",
         "--scale", "9", "--minute-ms", "0", "stray", "--text-size", "tiny", "--root"});
    ASSERT_EQ(options.problems.size(), 9u);
    for (const std::string& problem : options.problems) {
        EXPECT_EQ(problem.back(), '.') << problem;
    }
    EXPECT_NE(options.problems[0].find("huge"), std::string::npos);
    EXPECT_NE(options.problems[8].find("--root"), std::string::npos);
    EXPECT_FALSE(parseWidgetOptions({"--render", "a.png", "--family", "small", "--family", "large"})
                     .problems.empty());
}

TEST(WidgetOptions, NowOnTheWallClockOrAsAnInstant) {
    const Calendar cal = test::berlin();
    EXPECT_EQ(parseWidgetNow("2026-03-09T14:20", cal), at(cal, 2026, 3, 9, 14, 20));
    EXPECT_EQ(parseWidgetNow("2026-03-09 14:20", cal), at(cal, 2026, 3, 9, 14, 20));
    // The same instant written with offsets, whatever the zone.
    const Instant instant = at(cal, 2026, 3, 9, 14, 20);
    for (const char* text :
         {"2026-03-09T14:20:00+01:00", "2026-03-09T13:20Z", "2026-03-09T13:20:00.000Z",
          "2026-03-09T08:20-0500", "2026-03-09T21:20+08"}) {
        EXPECT_EQ(parseWidgetNow(text, test::calendarIn("Asia/Tokyo")), instant) << text;
    }
    // A wall-clock time the spring change skips moves on by the gap.
    EXPECT_EQ(parseWidgetNow("2026-03-29T02:30", cal), at(cal, 2026, 3, 29, 3, 30));
    for (const char* bad :
         {"", "2026-03-09", "2026-02-30T10:00", "2026-03-09T24:00", "2026-03-09T10:00+25:00",
          "2026-03-09T10:00 UTC", "tomorrow", "2026-03-09T10:00:7", "2026-03-09T10:60"}) {
        EXPECT_EQ(parseWidgetNow(bad, cal), std::nullopt) << bad;
    }
}

} // namespace
} // namespace plannery
