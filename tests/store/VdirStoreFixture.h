#pragma once

// The calendar store over the vdir folders under a test's root, read in a fixed calendar with its
// clock stopped, as the tests of the sheets and models that save through it build it.

#include "TestSupport.h"
#include "platform/VdirEventStore.h"
#include "store/CalendarStore.h"

#include <chrono>
#include <filesystem>
#include <memory>

class QSettings;

namespace plannery::test {

struct VdirStoreFixture {
    VdirEventStore* vdir = nullptr; // owned by the store
    std::unique_ptr<CalendarStore> store;
};

// Reads every file of the root at once, rescans without delay on change, and asks for its status
// so that its calendars are there when this returns. The preferences and the shared settings are
// optional, as for the store itself.
inline VdirStoreFixture vdirStore(const std::filesystem::path& root, const Calendar& calendar,
                                  Instant now, QSettings* defaults = nullptr,
                                  SharedKeychain* keychain = nullptr) {
    auto events =
        std::make_unique<VdirEventStore>(VdirOptions{.roots = {root},
                                                     .cacheFile = {},
                                                     .calendar = calendar,
                                                     .check = VdirOptions::Check::everyFile});
    VdirStoreFixture fixture{.vdir = events.get(), .store = nullptr};
    fixture.store = std::make_unique<CalendarStore>(
        CalendarStore::Services{.eventStore = std::move(events),
                                .scanHandle = {},
                                .calendar = [calendar] { return calendar; },
                                .now = [now] { return now; },
                                .defaults = defaults,
                                .keychain = keychain,
                                .changeScanDelay = std::chrono::milliseconds(0)});
    fixture.store->refreshStatus();
    return fixture;
}

} // namespace plannery::test
