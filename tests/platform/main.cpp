#include <QGuiApplication>

#include <gtest/gtest.h>

// Text recognition draws its test pictures with fonts, and the local model's client talks to a
// server the test runs on this thread's event loop: the tests need a GUI application object
// (offscreen, no display).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
