#include <QApplication>

#include <gtest/gtest.h>

// The app's models are QObjects that keep preferences in QSettings, and its dialogs are widgets:
// the tests run with a widget application on the offscreen platform, as the app itself would.
int main(int argc, char** argv) {
    // Also when CMake lists the tests after linking, outside CTest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
