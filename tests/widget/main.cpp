#include <QApplication>

#include <gtest/gtest.h>

// The widget tests run on the offscreen platform with a widget application, as the app itself
// would.
int main(int argc, char** argv) {
    // Also when CMake lists the tests after linking, outside CTest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
