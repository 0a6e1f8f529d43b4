#pragma once

#include "platform/SharedStore.h"
#include "store/SharedSettings.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plannery {

// What the widget process reads of the store it shares with the app: the calendar settings, the
// reload counter and the calendar folders. Only ever read: nothing is created, repaired or
// written, whatever state the file is in.
class SharedRecord {
  public:
    enum class State {
        ok,      // read (an item the app has not written yet reads as its default)
        missing, // no store (the app never ran, or the build shares none)
        busy,    // the app holds it locked right now
        damaged  // the file or the settings in it cannot be read
    };

    struct Snapshot {
        State state = State::missing;
        SharedSettings settings{};
        std::uint64_t reloadCount = 0;
        std::vector<std::filesystem::path> roots{};

        friend bool operator==(const Snapshot&, const Snapshot&) = default;
    };

    // `file` is none when the build shares no store.
    explicit SharedRecord(std::optional<std::filesystem::path> file);
    ~SharedRecord();
    SharedRecord(const SharedRecord&) = delete;
    SharedRecord& operator=(const SharedRecord&) = delete;

    const std::optional<std::filesystem::path>& file() const { return m_file; }
    // Reads everything again; opens the file again when it was replaced or could not be read.
    Snapshot read();

    // How long a read waits for the app before calling the store busy.
    static constexpr std::chrono::milliseconds kWait{200};

  private:
    std::optional<std::filesystem::path> m_file;
    std::unique_ptr<SharedStore> m_store;
    std::uint64_t m_inode = 0;
};

} // namespace plannery
