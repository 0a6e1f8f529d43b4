#pragma once

#include "finder/EventDraft.h"
#include "finder/EventFinder.h"

#include <cstddef>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <variant>

// The rules around a language model that lists events, whatever runs it: how much text it is sent,
// the retries with less text when the text does not fit its context window, and the sentences its
// failures are shown with. The model itself is reached through a function, so the rules hold for
// any model and are tested without one.
namespace plannery::OnDeviceModel {

// The text sent is capped at this many user-perceived characters ...
inline constexpr std::size_t kTextLimit = 5000;
// ... and halved after each context-window failure while it is above this: 5000, 2500, 1250, 625.
inline constexpr std::size_t kHalvingFloor = 1000;

// The limit for the next attempt after a context-window failure at `limit`; none when that
// failure is final.
std::optional<std::size_t> retryLimit(std::size_t limit);

// A failure of the model, by kind. A model must report these kinds distinctly; everything else is
// `other`, shown with its domain and code.
struct ModelError {
    enum class Kind {
        exceededContextWindowSize,
        assetsUnavailable,
        guardrailViolation,
        unsupportedLanguageOrLocale,
        rateLimited,
        concurrentRequests,
        cancelled, // the caller stopped the run; nothing is shown
        other,
    };

    Kind kind = Kind::other;
    std::string domain{}; // "org.plannery.LocalModel.GenerationError"
    long long code = 0;

    friend bool operator==(const ModelError&, const ModelError&) = default;
};

// "GenerationError 3": the last dot-separated piece of the domain, a space, the code.
std::string errorCode(const ModelError& error);
// The user sentence for a failure of the given engine's model.
std::string describe(const ModelError& error, EventFinder::Source source);

// One request to the model: the instructions and the prompt (the schema is the model's to add).
struct Request {
    std::string instructions{};
    std::string prompt{};
    std::size_t limit = kTextLimit; // characters of the text the prompt holds
};
using Answer = std::variant<OnDeviceEventList, ModelError>;
// Asks the model once, in a fresh session. It blocks until the model answers or fails; it should
// give up with `cancelled` soon after `stop` is requested.
using Ask = std::function<Answer(const Request& request, std::stop_token stop)>;

// The drafts a model finds in the text: asked with the text's first kTextLimit characters, and
// again with half as many after each context-window failure while the limit allows. Any other
// failure, or the last context-window failure, is passed on.
std::variant<std::vector<EventDraft>, ModelError> events(std::string_view text,
                                                         const std::string& instructions,
                                                         const Ask& ask, std::stop_token stop = {});

// The same as an engine result: a failure becomes its sentence, a cancellation a cancelled run.
EventFinder::Result find(std::string_view text, const std::string& instructions, const Ask& ask,
                         EventFinder::Source source, std::stop_token stop = {});

} // namespace plannery::OnDeviceModel
