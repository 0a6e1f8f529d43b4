#include <QCoreApplication>

#include <gtest/gtest.h>

// The store's tests need an application object: timers, queued signals and background results
// are delivered through its event loop.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
