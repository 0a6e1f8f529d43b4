#pragma once

#include "platform/IcsSeries.h"
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
    std::string name;
    FileStamp stamp;
    // ics::encode of the file's series; empty when they are kept in the cache file only.
    std::string blob;
    std::int64_t cacheRow = 0; // the file's row in the cache, 0 when not known
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

// `roots` must be absolute and normal. `cache` may be null.
Scan scan(const std::vector<std::filesystem::path>& roots, VdirOptions::Check check,
          IndexCache* cache);

// The series of one calendar file read from disk; nullopt when it cannot be read.
std::optional<std::vector<ics::Series>> parseFile(const std::filesystem::path& path);

} // namespace vdir

} // namespace plannery
