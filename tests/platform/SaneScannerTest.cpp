#include "platform/SaneScanner.h"

#include "TestSupport.h"
#include "platform/ImagingModule.h"

#include <QByteArray>

#include <gtest/gtest.h>

namespace plannery {
namespace {

// SANE reads its driver list from SANE_CONFIG_DIR: a folder naming only the "test" driver gives
// the virtual scanners SANE ships for this, and an empty list gives no scanner at all. SANE keeps
// the folder's name for the whole process (but reads the list again each time), so every test
// uses the same folder.
class SaneScannerTest : public ::testing::Test {
  protected:
    static const test::TempDir& config() {
        static const test::TempDir folder;
        return folder;
    }
    void drivers(const std::string& list) {
        config().write("dll.conf", list);
        qputenv("SANE_CONFIG_DIR", QByteArray::fromStdString(config().path().string()));
    }
};

TEST_F(SaneScannerTest, ScansAPageInGrey) {
    drivers("test\n");
    SaneScanner scanner;
    ASSERT_TRUE(scanner.available());
    const DocumentScanner::Scan scan = scanner.scan({});
    ASSERT_FALSE(scan.error) << *scan.error;
    ASSERT_EQ(scan.pages.size(), 1u);
    const QImage& page = scan.pages.front();
    EXPECT_EQ(page.format(), QImage::Format_Grayscale8);
    EXPECT_GT(page.width(), 100);
    EXPECT_GT(page.height(), 100);
    // 300 dots per inch.
    EXPECT_EQ(page.dotsPerMeterX(), 11811);
}

TEST_F(SaneScannerTest, WithoutAScannerThereIsNothingToScan) {
    drivers("");
    SaneScanner scanner;
    EXPECT_FALSE(scanner.available());
    EXPECT_EQ(scanner.scan({}).error, "No scanner is connected.");
}

TEST_F(SaneScannerTest, AStoppedScanGivesNoPage) {
    drivers("test\n");
    std::stop_source stop;
    stop.request_stop();
    const DocumentScanner::Scan scan = SaneScanner().scan(stop.get_token());
    EXPECT_TRUE(scan.pages.empty());
    EXPECT_FALSE(scan.error) << *scan.error;
}

// The program scans through the imaging module, loaded beside it when a scanner is first looked
// for.
TEST_F(SaneScannerTest, TheProgramScansThroughItsImagingModule) {
    drivers("test\n");
    const auto scanner = ImagingModule::scanner();
    ASSERT_TRUE(scanner->available());
    const DocumentScanner::Scan scan = scanner->scan({});
    ASSERT_FALSE(scan.error) << *scan.error;
    EXPECT_EQ(scan.pages.size(), 1u);
}

} // namespace
} // namespace plannery
