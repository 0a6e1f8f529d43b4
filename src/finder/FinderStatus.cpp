#include "finder/FinderStatus.h"

namespace plannery {

FinderStatus FinderStatus::unavailable(Reason reason, EventFinder::Source source) {
    using EventFinder::Position;
    const std::string name = EventFinder::engineName(source, Position::startOfSentence);
    std::string message;
    switch (reason) {
    case Reason::deviceNotEligible:
        message = name + " isn't available on this device.";
        break;
    case Reason::notEnabled:
        // The local model is "turned on" by starting its server; the Built-in Reader is a choice.
        message =
            source == EventFinder::Source::localModel
                ? name + " is turned off. Start its server, or choose the Built-in Reader in "
                         "Settings > Events from Images."
                : name + " is turned off. You can turn it on in Settings > Events from Images.";
        break;
    case Reason::modelNotReady:
        message = name + " is still getting ready on this device.";
        break;
    case Reason::other:
        message = name + " isn't available right now.";
        break;
    }
    return FinderStatus{.available = false, .message = std::move(message)};
}

FinderStatus localModelStatus(ServerAnswer answer) {
    using Reason = FinderStatus::Reason;
    constexpr auto local = EventFinder::Source::localModel;
    switch (answer) {
    case ServerAnswer::ready:
        return FinderStatus::ready();
    case ServerAnswer::noUrl:
        return FinderStatus::unavailable(Reason::deviceNotEligible, local);
    case ServerAnswer::notAnswering:
        return FinderStatus::unavailable(Reason::notEnabled, local);
    case ServerAnswer::loading:
        return FinderStatus::unavailable(Reason::modelNotReady, local);
    case ServerAnswer::otherProblem:
        break;
    }
    return FinderStatus::unavailable(Reason::other, local);
}

} // namespace plannery
