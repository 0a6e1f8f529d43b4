#pragma once

// What the reading and the writing halves of the vdir event store share: its state and the
// decoded form of a file.

#include "platform/IcsSeries.h"
#include "platform/VdirEventStore.h"
#include "platform/VdirScan.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace plannery {

struct VdirEventStore::State {
    vdir::Scan scan;
};

// One file's series with, per component, the content every occurrence of it shares.
struct VdirEventStore::Decoded {
    std::vector<ics::Series> series; // times and rules; each component's content is moved out
    // into `contents`, where the occurrences share it.
    std::vector<std::vector<std::shared_ptr<const EventContent>>> contents;
};

struct VdirEventStore::Location {
    std::uint32_t file = 0;
    std::uint32_t series = 0;
};

} // namespace plannery
