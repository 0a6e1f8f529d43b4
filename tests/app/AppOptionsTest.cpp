#include "app/AppOptions.h"

#include <gtest/gtest.h>

#include <map>

namespace plannery {
namespace {

TEST(AppOptions, WhichArgumentsOpenTheWindow) {
    EXPECT_TRUE(opensWindow({}));
    EXPECT_TRUE(opensWindow({"plannery://day/2026-03-07"}));
    EXPECT_TRUE(opensWindow({"--root", "/tmp/x"}));
    EXPECT_TRUE(opensWindow({"--anchor", "2026-03-07"}));
    EXPECT_FALSE(opensWindow({"--help"}));
    EXPECT_FALSE(opensWindow({"agenda", "--root", "/tmp/x"}));
    EXPECT_FALSE(opensWindow({"snapshot"}));
    // Help and the version never need the window, wherever they are asked for.
    EXPECT_FALSE(opensWindow({"--version"}));
    EXPECT_FALSE(opensWindow({"--root", "/tmp/x", "--help"}));
    EXPECT_FALSE(opensWindow({"plannery://day/2026-03-07", "--version"}));
}

TEST(AppOptions, ADisplayIsNamedOrNotNeeded) {
    const auto environment = [](std::map<std::string, std::string> values) {
        return [values](const char* name) -> std::optional<std::string> {
            const auto found = values.find(name);
            return found == values.end() ? std::nullopt : std::optional(found->second);
        };
    };
    EXPECT_FALSE(displayAvailable(environment({})));
    EXPECT_FALSE(displayAvailable(environment({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}})));
    EXPECT_TRUE(displayAvailable(environment({{"DISPLAY", ":0"}})));
    EXPECT_TRUE(displayAvailable(environment({{"WAYLAND_DISPLAY", "wayland-0"}})));
    EXPECT_TRUE(displayAvailable(environment({{"QT_QPA_PLATFORM", "offscreen"}})));
    EXPECT_TRUE(displayAvailable(environment({{"QT_QPA_PLATFORM", "vnc:size=800x600"}})));
    EXPECT_TRUE(displayAvailable(environment({{"QT_QPA_PLATFORM", "wayland;offscreen"}})));
    EXPECT_FALSE(displayAvailable(environment({{"QT_QPA_PLATFORM", "xcb"}})));
    EXPECT_FALSE(displayAvailable(environment({{"QT_QPA_PLATFORM", "wayland-egl;xcb"}})));
}

TEST(AppOptions, RootsZoneLinkAndLaunchOptionsAreSorted) {
    const AppOptions options = parseAppOptions(
        {"--root", "/a", "--root=/b", "--tz", "Europe/Berlin", "--anchor", "2026-03-07",
         "plannery://day/2026-03-07", "--quit-after-first-paint", "--showSettings"});
    EXPECT_EQ(options.roots, (std::vector<std::filesystem::path>{"/a", "/b"}));
    EXPECT_EQ(options.zone, "Europe/Berlin");
    EXPECT_EQ(options.url, "plannery://day/2026-03-07");
    EXPECT_TRUE(options.quitAfterFirstPaint);
    EXPECT_EQ(options.launchArguments,
              (std::vector<std::string>{"--anchor", "2026-03-07", "--showSettings"}));
    EXPECT_TRUE(options.problems.empty());

    // Bad values are told and left out; the run goes on.
    const AppOptions bad = parseAppOptions({"--tz", "Mars/Olympus", "--root"});
    EXPECT_FALSE(bad.zone);
    EXPECT_TRUE(bad.roots.empty());
    ASSERT_EQ(bad.problems.size(), 2u);
    EXPECT_EQ(bad.problems[0], "The time zone Mars/Olympus is unknown; the system's zone is used.");
    EXPECT_EQ(bad.problems[1], "The option --root needs a value; it was ignored.");
}

} // namespace
} // namespace plannery
