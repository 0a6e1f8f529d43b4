#include "store/WidgetAutostart.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace plannery {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TEST(WidgetAutostart, OffUntilTurnedOnAndOffAgain) {
    test::TempDir config;
    EXPECT_EQ(WidgetAutostart::enabled(config.path()), std::nullopt);
    const std::vector families{WidgetFamily::systemMedium, WidgetFamily::accessoryRectangular};
    EXPECT_EQ(WidgetAutostart::set(config.path(), "/opt/My Apps/plannery-widget", families),
              std::nullopt);
    const fs::path entry = WidgetAutostart::entryFile(config.path());
    EXPECT_EQ(entry, config.path() / "autostart" / "org.plannery.PlanneryWidget.desktop");
    const std::string text = contentOf(entry);
    EXPECT_NE(text.find("Exec=\"/opt/My Apps/plannery-widget\" --family medium --family "
                        "rectangular\n"),
              std::string::npos);
    EXPECT_EQ(WidgetAutostart::enabled(config.path()), families);

    // An entry the user turned off by hand counts as off.
    config.write("autostart/org.plannery.PlanneryWidget.desktop",
                 "[Desktop Entry]\nExec=plannery-widget --family small\nHidden=true\n");
    EXPECT_EQ(WidgetAutostart::enabled(config.path()), std::nullopt);

    EXPECT_EQ(WidgetAutostart::set(config.path(), "plannery-widget", {}), std::nullopt);
    EXPECT_FALSE(fs::exists(entry));
    // Turning off what is off is no failure.
    EXPECT_EQ(WidgetAutostart::set(config.path(), "plannery-widget", {}), std::nullopt);
}

TEST(WidgetAutostart, TwoWritersLeaveOneWholeEntry) {
    test::TempDir config;
    const std::vector small{WidgetFamily::systemSmall};
    const std::vector large{WidgetFamily::systemLarge, WidgetFamily::accessoryInline};
    std::thread other([&] {
        for (int i = 0; i < 200; ++i) {
            WidgetAutostart::set(config.path(), "plannery-widget", small);
        }
    });
    for (int i = 0; i < 200; ++i) {
        WidgetAutostart::set(config.path(), "plannery-widget", large);
    }
    other.join();
    const std::string text = contentOf(WidgetAutostart::entryFile(config.path()));
    EXPECT_TRUE(text == WidgetAutostart::entryText("plannery-widget", small) ||
                text == WidgetAutostart::entryText("plannery-widget", large));
    // No temporary file is left behind.
    int files = 0;
    for ([[maybe_unused]] const auto& file : fs::directory_iterator(config.path() / "autostart")) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(WidgetAutostart, AFolderThatCannotBeWrittenIsASentence) {
    test::TempDir config;
    config.write("autostart", "a file where the folder should be");
    const auto problem =
        WidgetAutostart::set(config.path(), "plannery-widget", {WidgetFamily::systemSmall});
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->back(), '.');
}

} // namespace
} // namespace plannery
