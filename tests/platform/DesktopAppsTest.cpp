#include "TestSupport.h"

#include "platform/DesktopApps.h"

#include <gtest/gtest.h>

#include <fstream>

namespace plannery {
namespace {

void write(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

TEST(DesktopApps, ReadsDefaultsAndCommandLines) {
    const std::string list = "[Added Associations]\ntext/calendar=other.desktop;\n"
                             "[Default Applications]\n# comment\n"
                             "text/html=browser.desktop\n"
                             "text/calendar = cal.desktop; second.desktop ;\n";
    EXPECT_EQ(DesktopApps::defaultsIn(list, "text/calendar"),
              (std::vector<std::string>{"cal.desktop", "second.desktop"}));
    EXPECT_TRUE(DesktopApps::defaultsIn(list, "text/plain").empty());
    EXPECT_TRUE(DesktopApps::defaultsIn("", "text/calendar").empty());

    EXPECT_EQ(DesktopApps::commandOf("[Desktop Entry]\nType=Application\n"
                                     "Exec=\"/opt/My Cal/cal\" --new-window %U 100%%\n"),
              (std::vector<std::string>{"/opt/My Cal/cal", "--new-window", "100%"}));
    EXPECT_FALSE(DesktopApps::commandOf("[Desktop Entry]\nType=Link\nExec=cal\n"));
    EXPECT_FALSE(
        DesktopApps::commandOf("[Desktop Entry]\nType=Application\nHidden=true\nExec=x\n"));
    EXPECT_FALSE(DesktopApps::commandOf("[Desktop Entry]\nType=Application\nExec=%f\n"));
    EXPECT_FALSE(DesktopApps::commandOf("[Other]\nType=Application\nExec=cal\n"));
}

TEST(DesktopApps, TheFirstListNamingAnInstalledProgramWins) {
    test::TempDir dir;
    const auto config = dir.path() / "config";
    const auto apps = dir.path() / "share" / "applications";
    const DesktopApps::Folders folders{.config = {config}, .applications = {apps}};
    EXPECT_FALSE(DesktopApps::defaultCommand("text/calendar", folders));

    // The user's choice names a program that is gone; the system's list names one that exists.
    write(config / "mimeapps.list", "[Default Applications]\ntext/calendar=gone.desktop\n");
    write(apps / "mimeapps.list", "[Default Applications]\ntext/calendar=khal.desktop\n");
    write(apps / "khal.desktop", "[Desktop Entry]\nType=Application\nExec=ikhal %f\n");
    EXPECT_EQ(DesktopApps::defaultCommand("text/calendar", folders),
              (std::vector<std::string>{"ikhal"}));
}

} // namespace
} // namespace plannery
