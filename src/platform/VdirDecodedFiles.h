#pragma once

// The files of one read of the roots, decoded on demand into series and kept per handle, and the
// events they hold found by identifier.

#include "model/EventStore.h"
#include "platform/IcsSeries.h"
#include "platform/VdirScan.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plannery {

class IndexCache;

namespace vdir {

// One file's series with, per component, the content every occurrence of it shares.
struct Decoded {
    std::vector<ics::Series> series; // times and rules; each component's content is moved out
    // into `contents`, where the occurrences share it.
    std::vector<std::vector<std::shared_ptr<const EventContent>>> contents;
};

// One series of one file of the read.
struct Location {
    std::uint32_t file = 0;
    std::uint32_t series = 0;
};

// A read of the roots is immutable and shared; the files decoded from it belong to one handle
// and its thread. A file is decoded from the blob the read carries, else from the index cache,
// else from the file itself, and kept until the read is replaced or `kept` files are held; then
// the half used longest ago goes. A window that browses far decodes again rather than grows,
// and what every read uses (the series that repeat) stays.
class DecodedFiles {
  public:
    DecodedFiles(std::filesystem::path cacheFile, std::size_t kept);
    ~DecodedFiles();
    DecodedFiles(DecodedFiles&&) noexcept;
    DecodedFiles& operator=(DecodedFiles&&) noexcept;

    // For another thread: the same read and the same decoded files (immutable, so shared), with a
    // connection of its own to the index cache, opened there when first needed.
    DecodedFiles copy() const;

    const Scan& scan() const { return *m_scan; }
    // Moves on whenever the read is replaced, so that work started on an older one can tell.
    std::uint64_t generation() const { return m_generation; }
    // Takes a new read of the roots; every decoded file goes.
    void adopt(Scan scan);
    // Takes the read with one file changed where no other file's index moved; only that file's
    // decoded form goes.
    void adoptWithFileChanged(Scan scan, std::uint32_t file);

    // The connection to the index cache; null without a cache or when it cannot be opened.
    IndexCache* index() const;
    // Opens the connection again, for a fresh read of the roots.
    void reopenIndex();

    std::shared_ptr<const Decoded> decoded(std::uint32_t file) const;
    // Whether the file is held decoded now.
    bool holds(std::uint32_t file) const;
    // Where the event of an identifier ("<calendar>/<name>", "<calendar>/<name>#<UID>" for one of
    // several events in a file, "<calendar>#<UID>" in a calendar kept in one file) is.
    std::optional<Location> locate(const std::string& eventIdentifier) const;

  private:
    struct Kept {
        std::shared_ptr<const Decoded> decoded;
        std::uint64_t lastUse = 0;
    };
    void forgetLeastUsed() const;

    std::shared_ptr<const Scan> m_scan;
    std::uint64_t m_generation = 0;
    std::filesystem::path m_cacheFile;
    std::size_t m_kept;
    // By file index (a fetch asks for a file in each of its candidates): empty where none is held.
    mutable std::vector<Kept> m_decoded;
    mutable std::size_t m_held = 0;
    mutable std::uint64_t m_uses = 0; // counts the files asked for, as the time of a use
    mutable std::unique_ptr<IndexCache> m_index;
    mutable bool m_indexOpened = false;
};

} // namespace vdir
} // namespace plannery
