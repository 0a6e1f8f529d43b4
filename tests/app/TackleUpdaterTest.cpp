#include "TestSupport.h"

#include "app/TackleUpdater.h"

#include <gtest/gtest.h>

#include <map>

namespace plannery {
namespace {

TEST(TackleUpdater, OffersNothingUnlessBothKeysAndThePluginArePresent) {
    test::TempDir dir;
    const QString plugins = QString::fromStdString(dir.path().string());
    const auto lookup = [](std::map<std::string, std::string> values) {
        return [values](std::string_view key) -> std::optional<std::string> {
            const auto found = values.find(std::string(key));
            return found == values.end() ? std::nullopt : std::optional(found->second);
        };
    };
    EXPECT_FALSE(TackleUpdater(lookup({}), plugins).available());
    EXPECT_FALSE(
        TackleUpdater(lookup({{"SUFeedURL", ""}, {"SUPublicEDKey", "k"}}), plugins).available());
    // Both keys, but no plug-in in the folder (and no folder at all).
    const auto both = lookup({{"SUFeedURL", "https://example.org/feed"}, {"SUPublicEDKey", "k"}});
    EXPECT_FALSE(TackleUpdater(both, plugins).available());
    EXPECT_FALSE(TackleUpdater(both, plugins + "/missing").available());
    TackleUpdater none(lookup({}), plugins);
    none.checkForUpdates(); // nothing to ask: no effect, no crash
}

} // namespace
} // namespace plannery
