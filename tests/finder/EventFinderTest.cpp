#include "finder/EventFinder.h"
#include "finder/FinderStatus.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using EventFinder::Source;

TEST(EventFinderTest, EnginesAreNamedInPreferencesAndSentences) {
    EXPECT_EQ(EventFinder::engineKey(Source::builtinReader), "builtin");
    EXPECT_EQ(EventFinder::engineKey(Source::localModel), "local-model");
    EXPECT_EQ(EventFinder::sourceFromKey("local-model"), Source::localModel);
    EXPECT_EQ(EventFinder::sourceFromKey("apple"), std::nullopt);
    EXPECT_EQ(EventFinder::chosenEngine(std::nullopt), Source::builtinReader);
    EXPECT_EQ(EventFinder::chosenEngine("apple"), Source::builtinReader);
    EXPECT_EQ(EventFinder::chosenEngine("local-model"), Source::localModel);
    EXPECT_EQ(EventFinder::foundBy(Source::builtinReader),
              "Found by the Built-in Reader on this computer.");
    EXPECT_EQ(EventFinder::foundBy(Source::localModel),
              "Found by the local model on this computer.");
}

TEST(EventFinderTest, TheLocalModelsServerDecidesItsAvailability) {
    EXPECT_TRUE(localModelStatus(ServerAnswer::ready).available);
    const struct {
        ServerAnswer answer;
        const char* message;
    } cases[] = {
        {ServerAnswer::noUrl, "The local model isn't available on this device."},
        {ServerAnswer::notAnswering,
         "The local model is turned off. Start its server, or choose the "
         "Built-in Reader in Settings > Events from Images."},
        {ServerAnswer::loading, "The local model is still getting ready on this device."},
        {ServerAnswer::otherProblem, "The local model isn't available right now."},
    };
    for (const auto& c : cases) {
        const FinderStatus status = localModelStatus(c.answer);
        EXPECT_FALSE(status.available);
        EXPECT_EQ(status.message, c.message);
    }
    EXPECT_EQ(
        FinderStatus::unavailable(FinderStatus::Reason::notEnabled, Source::builtinReader).message,
        "The Built-in Reader is turned off. You can turn it on in Settings > Events from "
        "Images.");
}

} // namespace
} // namespace plannery
