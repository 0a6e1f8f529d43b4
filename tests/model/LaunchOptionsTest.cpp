#include "model/LaunchOptions.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using Arguments = std::vector<std::string>;
using Preferences = std::map<std::string, std::string>;

// Problems are shown to the user as they are: whole sentences naming what was wrong.
void expectSentencesNaming(const std::vector<std::string>& problems,
                           const std::vector<std::string>& named) {
    ASSERT_EQ(problems.size(), named.size());
    for (std::size_t i = 0; i < named.size(); ++i) {
        EXPECT_NE(problems[i].find(named[i]), std::string::npos) << problems[i];
        EXPECT_EQ(problems[i].back(), '.') << problems[i];
    }
}

TEST(LaunchOptionsTest, PreferencesOpenTheAppOnADayWithSheetsShown) {
    const Calendar berlin = test::berlin();
    const LaunchOptions none = parseLaunchOptions({}, {}, berlin);
    EXPECT_EQ(none.anchor, std::nullopt);
    EXPECT_FALSE(none.showSettings || none.showTitlePopover || none.imageEventsDemo);
    EXPECT_TRUE(none.problems.empty());

    const LaunchOptions stored = parseLaunchOptions({},
                                                    {{"anchor", "2026-3-7"},
                                                     {"showSettings", "true"},
                                                     {"showTitlePopover", "false"},
                                                     {"imageEventsDemo", "1"},
                                                     {"mode", "week"}},
                                                    berlin);
    EXPECT_EQ(stored.anchor, test::at(berlin, 2026, 3, 7));
    EXPECT_TRUE(stored.showSettings);
    EXPECT_FALSE(stored.showTitlePopover);
    EXPECT_TRUE(stored.imageEventsDemo);
    EXPECT_TRUE(stored.problems.empty());

    // Bad values fall back to today and to false, each with a sentence.
    const LaunchOptions bad =
        parseLaunchOptions({}, {{"anchor", "tomorrow"}, {"showSettings", "sometimes"}}, berlin);
    EXPECT_EQ(bad.anchor, std::nullopt);
    EXPECT_FALSE(bad.showSettings);
    expectSentencesNaming(bad.problems, {"tomorrow", "sometimes"});
}

TEST(LaunchOptionsTest, TheCommandLineWinsForOneRun) {
    const Calendar berlin = test::berlin();
    const Preferences stored{{"anchor", "2026-01-15"}, {"showSettings", "true"}};
    const struct {
        const char* name;
        Arguments arguments;
        std::optional<Instant> anchor;
        bool showSettings;
        bool showTitlePopover;
        bool imageEventsDemo;
    } cases[] = {
        {"nothing given", {}, test::at(berlin, 2026, 1, 15), true, false, false},
        {"a day after the option",
         {"--anchor", "2026-03-07"},
         test::at(berlin, 2026, 3, 7),
         true,
         false,
         false},
        {"a day after an equals sign, one dash",
         {"-anchor=2026-3-7", "--showTitlePopover"},
         test::at(berlin, 2026, 3, 7),
         true,
         true,
         false},
        {"switches turned off and on",
         {"--showSettings=false", "-imageEventsDemo", "YES"},
         test::at(berlin, 2026, 1, 15),
         false,
         false,
         true},
        {"a switch followed by an option",
         {"--imageEventsDemo", "--anchor", "2026-03-08"},
         test::at(berlin, 2026, 3, 8),
         true,
         false,
         true},
        {"others' arguments are skipped",
         {"-platform", "offscreen", "calendar.ics", "--widgetGallery", "--showSettings", "no"},
         test::at(berlin, 2026, 1, 15),
         false,
         false,
         false},
    };
    for (const auto& c : cases) {
        const LaunchOptions options = parseLaunchOptions(c.arguments, stored, berlin);
        EXPECT_EQ(options.anchor, c.anchor) << c.name;
        EXPECT_EQ(options.showSettings, c.showSettings) << c.name;
        EXPECT_EQ(options.showTitlePopover, c.showTitlePopover) << c.name;
        EXPECT_EQ(options.imageEventsDemo, c.imageEventsDemo) << c.name;
        EXPECT_TRUE(options.problems.empty()) << c.name;
    }
}

TEST(LaunchOptionsTest, BadOptionsAreReportedAndLeaveThePreferenceInForce) {
    const Calendar berlin = test::berlin();
    const Preferences stored{{"anchor", "2026-01-15"}, {"showSettings", "true"}};

    const LaunchOptions wrongDay =
        parseLaunchOptions({"--anchor", "2026-02-30", "--showSettings=maybe"}, stored, berlin);
    EXPECT_EQ(wrongDay.anchor, test::at(berlin, 2026, 1, 15));
    EXPECT_TRUE(wrongDay.showSettings);
    expectSentencesNaming(wrongDay.problems, {"2026-02-30", "maybe"});

    // An option where the day should be is an option, and the day is missing.
    const LaunchOptions noDay = parseLaunchOptions({"--anchor", "--showTitlePopover"}, {}, berlin);
    EXPECT_EQ(noDay.anchor, std::nullopt);
    EXPECT_TRUE(noDay.showTitlePopover);
    expectSentencesNaming(noDay.problems, {"--anchor"});

    const LaunchOptions last = parseLaunchOptions({"--anchor"}, {}, berlin);
    EXPECT_EQ(last.anchor, std::nullopt);
    expectSentencesNaming(last.problems, {"--anchor"});

    const LaunchOptions empty = parseLaunchOptions({"--anchor="}, stored, berlin);
    EXPECT_EQ(empty.anchor, test::at(berlin, 2026, 1, 15));
    EXPECT_EQ(empty.problems.size(), 1u);
}

TEST(LaunchOptionsTest, TheWidgetGalleryOptionsKeepTheirText) {
    const Calendar berlin = test::berlin();
    const LaunchOptions stored =
        parseLaunchOptions({}, {{"widgetGallery", "YES"}, {"widgetGalleryPage", "lock"}}, berlin);
    EXPECT_TRUE(stored.widgetGallery);
    EXPECT_EQ(stored.widgetGalleryPage, "lock");
    EXPECT_EQ(stored.widgetGalleryNow, "");

    const LaunchOptions given = parseLaunchOptions(
        {"-widgetGallery", "--widgetGalleryNow", "2025-03-05 14:40", "--widgetGalleryPage=states"},
        {{"widgetGalleryPage", "lock"}}, berlin);
    EXPECT_TRUE(given.widgetGallery);
    EXPECT_EQ(given.widgetGalleryPage, "states");
    EXPECT_EQ(given.widgetGalleryNow, "2025-03-05 14:40");
    EXPECT_TRUE(given.problems.empty());

    const LaunchOptions missing = parseLaunchOptions({"--widgetGalleryNow"}, {}, berlin);
    EXPECT_EQ(missing.widgetGalleryNow, "");
    expectSentencesNaming(missing.problems, {"widgetGalleryNow"});
}

} // namespace
} // namespace plannery
