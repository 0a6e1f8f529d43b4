#pragma once

#include "finder/EventFinder.h"

#include <string>

namespace plannery {

// Whether an engine can look for events now, with the sentence that says why not. Read fresh on
// every use, never kept.
struct FinderStatus {
    // Why an engine cannot run.
    enum class Reason {
        deviceNotEligible, // the engine does not exist here (the local model without a URL)
        notEnabled,        // switched off (the local model's server is not answering)
        modelNotReady,     // still loading
        other,
    };

    bool available = true;
    std::string message{}; // the user sentence when not available

    static FinderStatus ready() { return FinderStatus{}; }
    static FinderStatus unavailable(Reason reason, EventFinder::Source source);

    friend bool operator==(const FinderStatus&, const FinderStatus&) = default;
};

// What asking the local model's server showed.
enum class ServerAnswer {
    noUrl,        // no URL is set in Settings
    notAnswering, // nothing listens there (connection refused, no route, time-out)
    loading,      // the server answers 503 while its model loads
    ready,        // the server answers and its model is loaded
    otherProblem, // any other answer (an error status, a host that is not allowed, garbage)
};

// The local model's availability from its server's answer.
FinderStatus localModelStatus(ServerAnswer answer);

} // namespace plannery
