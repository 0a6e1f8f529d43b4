#include "finder/OnDeviceModel.h"

#include "finder/EventPrompt.h"

namespace plannery::OnDeviceModel {

std::optional<std::size_t> retryLimit(std::size_t limit) {
    return limit > kHalvingFloor ? std::optional<std::size_t>(limit / 2) : std::nullopt;
}

std::string errorCode(const ModelError& error) {
    std::string_view domain = error.domain;
    while (!domain.empty() && domain.back() == '.') {
        domain.remove_suffix(1);
    }
    const auto dot = domain.rfind('.');
    const std::string_view last = dot == std::string_view::npos ? domain : domain.substr(dot + 1);
    return std::string(last) + " " + std::to_string(error.code);
}

std::string describe(const ModelError& error, EventFinder::Source source) {
    using EventFinder::Position;
    const std::string name = EventFinder::engineName(source);
    const std::string subject = EventFinder::engineName(source, Position::startOfSentence);
    switch (error.kind) {
    case ModelError::Kind::exceededContextWindowSize:
        return "There's too much text for " + name + ".";
    case ModelError::Kind::assetsUnavailable:
        return subject + " is still getting ready on this device.";
    case ModelError::Kind::guardrailViolation:
        return subject + " declined to read this text.";
    case ModelError::Kind::unsupportedLanguageOrLocale:
        return subject + " doesn't support this language yet.";
    case ModelError::Kind::rateLimited:
    case ModelError::Kind::concurrentRequests:
        return subject + " is busy. Try again in a moment.";
    case ModelError::Kind::cancelled:
    case ModelError::Kind::other:
        break;
    }
    return subject + " couldn't find the events (" + errorCode(error) + ").";
}

std::variant<std::vector<EventDraft>, ModelError> events(std::string_view text,
                                                         const std::string& instructions,
                                                         const Ask& ask, std::stop_token stop) {
    std::size_t limit = kTextLimit;
    for (;;) {
        if (stop.stop_requested()) {
            return ModelError{.kind = ModelError::Kind::cancelled};
        }
        const Request request{.instructions = instructions,
                              .prompt = EventPrompt::prompt(text, limit),
                              .limit = limit};
        Answer answer = ask(request, stop);
        if (auto* list = std::get_if<OnDeviceEventList>(&answer)) {
            return draftsFrom(*list);
        }
        const ModelError& error = std::get<ModelError>(answer);
        const auto next = error.kind == ModelError::Kind::exceededContextWindowSize
                              ? retryLimit(limit)
                              : std::nullopt;
        if (!next) {
            return error;
        }
        limit = *next;
    }
}

EventFinder::Result find(std::string_view text, const std::string& instructions, const Ask& ask,
                         EventFinder::Source source, std::stop_token stop) {
    auto outcome = events(text, instructions, ask, stop);
    if (auto* drafts = std::get_if<std::vector<EventDraft>>(&outcome)) {
        return EventFinder::Result{.drafts = std::move(*drafts)};
    }
    const ModelError& error = std::get<ModelError>(outcome);
    if (error.kind == ModelError::Kind::cancelled) {
        return EventFinder::Result{.cancelled = true};
    }
    return EventFinder::Result{.failure = EventFinder::Failure{describe(error, source)}};
}

} // namespace plannery::OnDeviceModel
