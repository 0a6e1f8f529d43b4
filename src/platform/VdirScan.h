#pragma once

#include "platform/IcsSeries.h"
#include "platform/VdirDiscovery.h"
#include "platform/VdirEventStore.h"
#include "platform/VdirLayout.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plannery {

class IndexCache;

// Reading the roots into an index of calendar files and the time bounds of their series: files
// that did not change come from the index cache, the others are parsed in parallel and written
// back to the cache.
namespace vdir {

struct IndexedFile {
    std::uint32_t calendar = 0;
    // Changed so shortly before it was read that a second write in the same tick of the file
    // system's clock would not change its stamp: it stays out of the cache (its blob is kept
    // here) and is compared by `digest` when read again.
    bool racy = false;
    std::string name;
    FileStamp stamp;
    // ics::encode of the file's series; empty when they are kept in the cache file only.
    std::string blob;
    std::int64_t cacheRow = 0; // the file's row in the cache, 0 when not known
    std::uint64_t digest = 0;  // of the blob, for files parsed by this scan; 0 otherwise
};

struct IndexedSeries {
    double first = 0;
    double last = 0; // +infinity for a rule that never ends
    std::uint32_t file = 0;
    std::uint32_t index = 0; // within the file
};

struct IndexedCalendar {
    CalendarLocation location;
    std::uint32_t fileBegin = 0; // files of this calendar, by name
    std::uint32_t fileEnd = 0;
    std::vector<IndexedSeries> series; // by first
};

struct Scan {
    std::vector<SourceHandle> sources;
    std::vector<IndexedCalendar> calendars;
    std::vector<IndexedFile> files;
    AuthorizationStatus status = AuthorizationStatus::notDetermined;
    VdirLoadReport report;
};

// `roots` must be absolute and normal. `cache` may be null. Every file is stat'ed (in parallel)
// and compared with the index unless `check` lets folders whose time did not change be taken
// from the index as they are; folders whose time changed are listed.
Scan scan(const std::vector<std::filesystem::path>& roots, VdirOptions::Check check,
          IndexCache* cache);

// One calendar file as the store's own write left it.
struct FileChange {
    std::uint32_t calendar = 0;
    std::string name;
    std::optional<FileStamp> stamp; // nullopt: the file was removed
    std::vector<ics::Bounds> bounds;
    std::string blob; // ics::encode of its series
};

// The scan with that file added, replaced or removed, so that a write need not read the roots
// again. Files keep their order (by calendar, then name): an added or removed file moves the
// index of every file after it.
Scan withFile(const Scan& scan, const FileChange& change);

// The bytes of a calendar file; nullopt when it cannot be read or is too large to be one.
std::optional<std::string> readFile(const std::filesystem::path& path);

// The bytes of a calendar file with the stamp of the very file they came from: a file that is
// replaced (or swapped out and back) while it is read is never paired with the other's stamp.
struct StampedText {
    std::string text;
    FileStamp stamp;
};
std::optional<StampedText> readStamped(const std::filesystem::path& path);

// The series of one calendar file read from disk; nullopt when it cannot be read.
std::optional<std::vector<ics::Series>> parseFile(const std::filesystem::path& path);

} // namespace vdir

} // namespace plannery
