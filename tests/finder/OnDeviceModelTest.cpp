#include "finder/OnDeviceModel.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using OnDeviceModel::ModelError;
using Kind = OnDeviceModel::ModelError::Kind;

const OnDeviceEventList kOneEvent{{OnDeviceEvent{.title = "Yoga", .startDate = "2026-12-09"}}};

// A model that fails with context-window errors while the prompt holds more than `fits`
// characters of text, and records the limits it was asked with.
struct SmallModel {
    std::size_t fits = 0;
    std::vector<std::size_t> limits{};

    OnDeviceModel::Answer operator()(const OnDeviceModel::Request& request, std::stop_token) {
        limits.push_back(request.limit);
        const std::size_t textLength =
            request.prompt.size() - std::string("Text from the image:\n\n").size();
        if (textLength > fits) {
            return ModelError{.kind = Kind::exceededContextWindowSize,
                              .domain = "org.plannery.LocalModel.GenerationError",
                              .code = 1};
        }
        return kOneEvent;
    }
};

TEST(OnDeviceModelTest, ContextWindowFailuresHalveTheTextDownTo625Characters) {
    const std::string text(12000, 'a');
    SmallModel fitsAll{.fits = 100000};
    auto result = OnDeviceModel::events(text, "rules", std::ref(fitsAll));
    EXPECT_EQ(fitsAll.limits, (std::vector<std::size_t>{5000}));
    ASSERT_TRUE(std::holds_alternative<std::vector<EventDraft>>(result));

    SmallModel fits700{.fits = 700};
    result = OnDeviceModel::events(text, "rules", std::ref(fits700));
    EXPECT_EQ(fits700.limits, (std::vector<std::size_t>{5000, 2500, 1250, 625}));
    EXPECT_EQ(std::get<std::vector<EventDraft>>(result).front().title, "Yoga");

    SmallModel fitsNothing{.fits = 0};
    const auto failed =
        OnDeviceModel::find(text, "rules", std::ref(fitsNothing), EventFinder::Source::localModel);
    EXPECT_EQ(fitsNothing.limits, (std::vector<std::size_t>{5000, 2500, 1250, 625}));
    EXPECT_EQ(failed.failure->message, "There's too much text for the local model.");
    EXPECT_TRUE(failed.drafts.empty());

    EXPECT_EQ(OnDeviceModel::retryLimit(1001), 500u);
    EXPECT_EQ(OnDeviceModel::retryLimit(1000), std::nullopt);
}

TEST(OnDeviceModelTest, OtherFailuresAreNotRetried) {
    int calls = 0;
    const auto busy = [&calls](const OnDeviceModel::Request&, std::stop_token) {
        ++calls;
        return OnDeviceModel::Answer{ModelError{.kind = Kind::rateLimited}};
    };
    const auto result = OnDeviceModel::find("text", "rules", busy, EventFinder::Source::localModel);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(result.failure->message, "The local model is busy. Try again in a moment.");
}

TEST(OnDeviceModelTest, AnswersBecomeDraftsAndStoppedRunsAskNothing) {
    const auto answer = [](const OnDeviceModel::Request& request, std::stop_token) {
        EXPECT_EQ(request.instructions, "rules");
        EXPECT_EQ(request.prompt, "Text from the image:\n\nParty");
        return OnDeviceModel::Answer{OnDeviceEventList{{OnDeviceEvent{
            .title = "", .startDate = "2026-12-09", .endDate = "", .location = " "}}}};
    };
    const auto result =
        OnDeviceModel::find("Party", "rules", answer, EventFinder::Source::localModel);
    ASSERT_EQ(result.drafts.size(), 1u);
    EXPECT_EQ(result.drafts[0].title, "");
    EXPECT_FALSE(result.drafts[0].endDate);
    EXPECT_EQ(result.drafts[0].location, " ");

    std::stop_source stop;
    stop.request_stop();
    const auto stopped = OnDeviceModel::find("Party", "rules", answer,
                                             EventFinder::Source::localModel, stop.get_token());
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_FALSE(stopped.failure);
}

TEST(OnDeviceModelTest, FailuresAreDescribedWithTheEnginesName) {
    const auto local = EventFinder::Source::localModel;
    const struct {
        ModelError error;
        const char* sentence;
    } cases[] = {
        {{.kind = Kind::exceededContextWindowSize}, "There's too much text for the local model."},
        {{.kind = Kind::assetsUnavailable},
         "The local model is still getting ready on this device."},
        {{.kind = Kind::guardrailViolation}, "The local model declined to read this text."},
        {{.kind = Kind::unsupportedLanguageOrLocale},
         "The local model doesn't support this language yet."},
        {{.kind = Kind::rateLimited}, "The local model is busy. Try again in a moment."},
        {{.kind = Kind::concurrentRequests}, "The local model is busy. Try again in a moment."},
        {{.kind = Kind::other, .domain = "X.Y.GenerationError", .code = 3},
         "The local model couldn't find the events (GenerationError 3)."},
        {{.kind = Kind::other, .domain = "", .code = 503},
         "The local model couldn't find the events ( 503)."},
        {{.kind = Kind::other, .domain = "NSURLErrorDomain", .code = -1004},
         "The local model couldn't find the events (NSURLErrorDomain -1004)."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OnDeviceModel::describe(c.error, local), c.sentence);
    }
    EXPECT_EQ(OnDeviceModel::describe({.kind = Kind::guardrailViolation},
                                      EventFinder::Source::builtinReader),
              "The Built-in Reader declined to read this text.");
}

} // namespace
} // namespace plannery
