#include "platform/VdirScan.h"

#include "platform/IndexCache.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <map>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plannery::vdir {

namespace {

namespace fs = std::filesystem;

// A calendar object is a few kilobytes and a whole published calendar a few megabytes; a file
// far beyond that is not read at all rather than allowed to exhaust memory.
constexpr std::int64_t kMaxFileBytes = 64 * 1024 * 1024;

// A file or folder changed this recently may change again within the same tick of its file
// system's clock (two seconds on some), which its time would not show: such a folder is listed
// again at the next start, and such a file is never trusted by its stamp alone. (A time far in
// the future is a skewed clock: the next change gives an earlier time, which shows.)
constexpr std::int64_t kRacyNs = 2'000'000'000;

bool isRacy(std::int64_t timeNs, std::int64_t nowNs) {
    return timeNs > nowNs - kRacyNs && timeNs < nowNs + kRacyNs;
}

// Files stat'ed in one go from one open folder.
constexpr std::size_t kStatBatch = 256;

struct Parsed {
    std::vector<ics::Bounds> bounds;
    std::string blob;
    bool broken = false;
    bool unreadable = false; // could not be opened: tried again at every start
    // The stamp of the file the bytes came from, which a file replaced since it was listed
    // changes.
    std::optional<FileStamp> stamp;
};

Parsed parse(const fs::path& path) {
    const auto read = readStamped(path);
    if (!read) {
        return Parsed{.bounds = {}, .blob = {}, .broken = true, .unreadable = true, .stamp = {}};
    }
    auto result = ics::read(read->text);
    // A file cut short is reported with the others that are damaged, and what it completed is
    // shown all the same.
    if (result.damaged() && result.series.empty()) {
        return Parsed{
            .bounds = {}, .blob = {}, .broken = true, .unreadable = false, .stamp = read->stamp};
    }
    Parsed parsed;
    parsed.broken = result.damaged();
    parsed.stamp = read->stamp;
    parsed.bounds.reserve(result.series.size());
    for (const auto& series : result.series) {
        parsed.bounds.push_back(ics::bounds(series));
    }
    parsed.blob = ics::encode(result.series);
    return parsed;
}

// Runs `body(i)` once for every i below `count`, on as many cores as there is work for (a
// thread per `grain` items at most). Each call writes only its own results.
template <typename Body> void parallelFor(std::size_t count, std::size_t grain, const Body& body) {
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            body(i);
        }
    };
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t helpers = std::min(cores, count / grain + 1) - 1;
    std::vector<std::thread> pool;
    for (std::size_t i = 0; i < helpers; ++i) {
        try {
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            break; // fewer threads, same result
        }
    }
    work();
    for (auto& thread : pool) {
        thread.join();
    }
}

std::int64_t nowNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The stamp of a file in an open folder (links followed); nullopt unless it is a regular file.
std::optional<FileStamp> statIn(int folder, const std::string& name) {
    struct stat info {};
    if (::fstatat(folder, name.c_str(), &info, 0) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return FileStamp{.size = static_cast<std::int64_t>(info.st_size),
                     .mtimeNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
                                info.st_mtim.tv_nsec,
                     .inode = static_cast<std::int64_t>(info.st_ino)};
}

std::uint64_t digestOf(std::string_view bytes) {
    return std::hash<std::string_view>{}(bytes) | 1; // never 0, which means "not parsed"
}

IndexCache::CachedFile* findCached(IndexCache::CachedFolder* folder, const std::string& name) {
    if (folder == nullptr) {
        return nullptr;
    }
    const auto found = std::lower_bound(
        folder->files.begin(), folder->files.end(), name,
        [](const IndexCache::CachedFile& file, const std::string& key) { return file.name < key; });
    return found != folder->files.end() && found->name == name ? &*found : nullptr;
}

bool isUnder(const std::string& path, const std::vector<fs::path>& roots) {
    return std::any_of(roots.begin(), roots.end(), [&](const fs::path& root) {
        const std::string prefix = root.string();
        return path == prefix || (path.size() > prefix.size() && path.starts_with(prefix) &&
                                  path[prefix.size()] == '/');
    });
}

// What looking into one calendar found: its files with their entries in the cache and, once
// stat'ed, their stamps.
struct Look {
    IndexCache::CachedFolder* cached = nullptr;
    std::optional<std::int64_t> folderTime; // nullopt: gone, or a calendar kept in one file
    bool listed = false;     // the names come from the folder rather than from the cache
    bool unreadable = false; // the folder could not be listed
    std::vector<std::string> names;
    std::vector<IndexCache::CachedFile*> known;   // per name, null when not cached
    std::vector<std::optional<FileStamp>> stamps; // per name, nullopt when not a file
};

class Scanner {
  public:
    Scanner(const std::vector<fs::path>& roots, VdirOptions::Check check, IndexCache* cache)
        : m_roots(roots), m_check(check), m_cache(cache) {}

    Scan run() {
        auto layout = discover(m_roots);
        m_scan.sources = std::move(layout.sources);
        m_scan.report.unreadableRoots = std::move(layout.unreadableFolders);
        m_scan.report.notes = std::move(layout.notes);
        m_scan.status = layout.existingRoots == 0   ? AuthorizationStatus::notDetermined
                        : layout.readableRoots == 0 ? AuthorizationStatus::denied
                                                    : AuthorizationStatus::fullAccess;
        if (m_cache != nullptr) {
            std::vector<std::string> roots;
            for (const auto& root : m_roots) {
                roots.push_back(root.string());
            }
            m_cached = m_cache->loadIndex(roots).value_or(IndexCache::Index{});
        }
        m_now = nowNs();
        auto looks = look(layout.calendars);
        std::size_t files = 0;
        for (const auto& one : looks) {
            files += one.names.size();
        }
        m_scan.files.reserve(files);
        m_bounds.reserve(files);
        for (std::size_t i = 0; i < looks.size(); ++i) {
            addCalendar(std::move(layout.calendars[i]), looks[i]);
        }
        parsePending();
        indexSeries();
        writeCache();
        return std::move(m_scan);
    }

  private:
    struct Pending {
        std::size_t file;
        fs::path path;
        std::string folderKey;
    };

    std::vector<Look> look(const std::vector<CalendarLocation>& calendars) {
        std::vector<Look> looks(calendars.size());
        parallelFor(calendars.size(), 8, [&](std::size_t i) { looks[i] = lookInto(calendars[i]); });
        // Then the stamps, a batch of one folder's files at a time.
        struct Batch {
            std::size_t calendar;
            std::size_t begin;
            std::size_t end;
        };
        std::vector<Batch> batches;
        for (std::size_t c = 0; c < looks.size(); ++c) {
            auto& one = looks[c];
            one.stamps.resize(one.names.size());
            if (!one.listed && m_check == VdirOptions::Check::changedFolders) {
                // Taken as the cache has them, but for files that could not be read last time.
                for (std::size_t n = 0; n < one.names.size(); ++n) {
                    const auto& stamp = one.known[n]->stamp;
                    one.stamps[n] = stamp.mtimeNs != IndexCache::kUntrusted
                                        ? std::optional(stamp)
                                        : statFile(calendars[c].folder / one.names[n]);
                }
                continue;
            }
            for (std::size_t n = 0; n < one.names.size(); n += kStatBatch) {
                batches.push_back({c, n, std::min(n + kStatBatch, one.names.size())});
            }
        }
        parallelFor(batches.size(), 4, [&](std::size_t b) {
            const auto& batch = batches[b];
            auto& one = looks[batch.calendar];
            const fs::path& folder = calendars[batch.calendar].folder;
            const int fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            for (std::size_t n = batch.begin; n < batch.end; ++n) {
                one.stamps[n] =
                    fd >= 0 ? statIn(fd, one.names[n]) : statFile(folder / one.names[n]);
            }
            if (fd >= 0) {
                ::close(fd);
            }
        });
        return looks;
    }

    // Each call touches only its own folder's entries in the cache's index (calendars kept in
    // one file share their root's, which they only read).
    Look lookInto(const CalendarLocation& location) {
        Look look;
        const auto cachedFound = m_cached.find(location.folder.string());
        look.cached = cachedFound == m_cached.end() ? nullptr : &cachedFound->second;
        if (!location.wholeFile.empty()) {
            look.names = {location.wholeFile};
            look.known = {findCached(look.cached, location.wholeFile)};
            look.listed = true;
            return look;
        }
        look.folderTime = folderTime(location.folder);
        if (!look.folderTime) {
            return look;
        }
        // Files are added and removed by renaming, which changes the folder's time: a folder
        // whose time did not change holds the files the cache names.
        if (look.cached != nullptr && look.cached->mtimeNs == *look.folderTime &&
            *look.folderTime != IndexCache::kUntrusted) {
            // The names move: the cache's index needs them no more.
            for (auto& file : look.cached->files) {
                look.names.push_back(std::move(file.name));
                look.known.push_back(&file);
            }
        } else if (auto names = listCalendarFiles(location.folder)) {
            look.listed = true;
            look.names = std::move(*names);
            for (const auto& name : look.names) {
                look.known.push_back(findCached(look.cached, name));
            }
        } else {
            look.unreadable = true;
        }
        return look;
    }

    void addCalendar(CalendarLocation location, Look& look) {
        const auto calendarIndex = static_cast<std::uint32_t>(m_scan.calendars.size());
        const std::string key = location.folder.string();
        m_seenFolders.push_back(key);
        IndexedCalendar calendar{.location = std::move(location),
                                 .fileBegin = static_cast<std::uint32_t>(m_scan.files.size()),
                                 .fileEnd = 0,
                                 .series = {}};
        const fs::path& folder = calendar.location.folder;
        auto& write = m_writes[key];
        write.folder = key;
        if (!calendar.location.wholeFile.empty()) {
            // Roots are listed at every start anyway, so their files are always checked.
            m_rootFiles[key].push_back(calendar.location.wholeFile);
        } else if (look.unreadable) {
            m_scan.report.notes.push_back("The folder " + folder.string() +
                                          " cannot be read. It was skipped; the rest was read.");
        } else if (look.folderTime) {
            write.mtimeNs = look.listed && isRacy(*look.folderTime, m_now) ? IndexCache::kUntrusted
                                                                           : *look.folderTime;
        }
        for (std::size_t i = 0; i < look.names.size(); ++i) {
            if (look.stamps[i]) {
                addFile(calendarIndex, key, folder, std::move(look.names[i]), *look.stamps[i],
                        look.known[i]);
            } else if (!look.listed) {
                write.removedFiles.push_back(std::move(look.names[i]));
            }
        }
        if (look.listed && calendar.location.wholeFile.empty()) {
            noteRemoved(write, look.cached, calendar.fileBegin);
        }
        calendar.fileEnd = static_cast<std::uint32_t>(m_scan.files.size());
        m_scan.calendars.push_back(std::move(calendar));
    }

    void addFile(std::uint32_t calendar, const std::string& key, const fs::path& folder,
                 std::string name, const FileStamp& stamp, IndexCache::CachedFile* cached) {
        const std::size_t index = m_scan.files.size();
        const bool fromCache =
            cached != nullptr && cached->stamp == stamp && stamp.mtimeNs != IndexCache::kUntrusted;
        if (fromCache) {
            ++m_scan.report.filesFromCache;
            if (cached->broken) {
                m_scan.report.brokenFiles.push_back((folder / name).string());
            }
            m_bounds.push_back(std::move(cached->bounds));
        } else {
            m_bounds.emplace_back();
            m_pending.push_back(Pending{.file = index, .path = folder / name, .folderKey = key});
        }
        m_scan.files.push_back(IndexedFile{.calendar = calendar,
                                           .racy = false,
                                           .name = std::move(name),
                                           .stamp = stamp,
                                           .blob = {},
                                           .cacheRow = fromCache ? cached->row : 0,
                                           .digest = 0});
    }

    void noteRemoved(IndexCache::FolderWrite& write, const IndexCache::CachedFolder* cached,
                     std::uint32_t begin) {
        if (cached == nullptr) {
            return;
        }
        for (const auto& file : cached->files) {
            const auto end = m_scan.files.end();
            const auto found = std::lower_bound(
                m_scan.files.begin() + begin, end, file.name,
                [](const IndexedFile& a, const std::string& name) { return a.name < name; });
            if (found == end || found->name != file.name) {
                write.removedFiles.push_back(file.name);
            }
        }
    }

    void parsePending() {
        std::vector<Parsed> results(m_pending.size());
        parallelFor(m_pending.size(), 16,
                    [&](std::size_t i) { results[i] = parse(m_pending[i].path); });
        for (std::size_t i = 0; i < m_pending.size(); ++i) {
            const auto& pending = m_pending[i];
            auto& parsed = results[i];
            auto& file = m_scan.files[pending.file];
            auto& write = m_writes[pending.folderKey];
            ++m_scan.report.filesParsed;
            if (parsed.broken) {
                m_scan.report.brokenFiles.push_back(pending.path.string());
            }
            m_bounds[pending.file] = parsed.bounds;
            if (parsed.stamp) {
                file.stamp = *parsed.stamp;
            }
            file.digest = digestOf(parsed.blob);
            if (isRacy(file.stamp.mtimeNs, m_now)) {
                // Kept out of the cache, whose entry for it could be taken for a later version
                // with the same stamp; its folder is listed again next time, to find it.
                file.racy = true;
                file.blob = std::move(parsed.blob);
                write.mtimeNs = IndexCache::kUntrusted;
                write.removedFiles.push_back(file.name);
                continue;
            }
            auto stamp = file.stamp;
            if (parsed.unreadable) {
                stamp.mtimeNs = IndexCache::kUntrusted;
            }
            write.files.push_back(IndexCache::FileWrite{.name = file.name,
                                                        .stamp = stamp,
                                                        .broken = parsed.broken,
                                                        .bounds = std::move(parsed.bounds),
                                                        .blob = parsed.blob});
            file.blob = std::move(parsed.blob);
        }
    }

    void indexSeries() {
        for (auto& calendar : m_scan.calendars) {
            for (auto file = calendar.fileBegin; file < calendar.fileEnd; ++file) {
                const auto& bounds = m_bounds[file];
                for (std::uint32_t i = 0; i < bounds.size(); ++i) {
                    calendar.series.push_back(IndexedSeries{.first = bounds[i].first.seconds,
                                                            .last = bounds[i].last.seconds,
                                                            .file = file,
                                                            .index = i});
                }
            }
            std::sort(
                calendar.series.begin(), calendar.series.end(),
                [](const IndexedSeries& a, const IndexedSeries& b) { return a.first < b.first; });
        }
    }

    void writeCache() {
        if (m_cache == nullptr) {
            return;
        }
        std::vector<IndexCache::FolderWrite> writes;
        for (auto& [key, write] : m_writes) {
            const auto cached = m_cached.find(key);
            if (const auto roots = m_rootFiles.find(key); roots != m_rootFiles.end()) {
                write.mtimeNs = IndexCache::kUntrusted;
                if (cached != m_cached.end()) {
                    for (const auto& file : cached->second.files) {
                        if (std::find(roots->second.begin(), roots->second.end(), file.name) ==
                            roots->second.end()) {
                            write.removedFiles.push_back(file.name);
                        }
                    }
                }
            }
            const bool known = cached != m_cached.end() && cached->second.mtimeNs == write.mtimeNs;
            if (!known || !write.files.empty() || !write.removedFiles.empty()) {
                writes.push_back(std::move(write));
            }
        }
        // Folders that went away under the roots read now; other roots' entries stay, as the
        // same cache may serve another set of roots.
        std::vector<std::string> removed;
        for (const auto& [key, folder] : m_cached) {
            if (std::find(m_seenFolders.begin(), m_seenFolders.end(), key) == m_seenFolders.end() &&
                isUnder(key, m_roots)) {
                removed.push_back(key);
            }
        }
        if (m_cache->write(writes, removed)) {
            // Stored now: the series are read back from the cache when a query needs them.
            for (auto& file : m_scan.files) {
                if (!file.racy) {
                    std::string().swap(file.blob);
                }
            }
        }
    }

    const std::vector<fs::path>& m_roots;
    VdirOptions::Check m_check;
    IndexCache* m_cache;
    IndexCache::Index m_cached;
    std::int64_t m_now = 0;
    Scan m_scan;
    std::vector<std::vector<ics::Bounds>> m_bounds; // per file
    std::vector<Pending> m_pending;
    std::map<std::string, IndexCache::FolderWrite> m_writes;
    std::map<std::string, std::vector<std::string>> m_rootFiles;
    std::vector<std::string> m_seenFolders;
};

} // namespace

Scan scan(const std::vector<fs::path>& roots, VdirOptions::Check check, IndexCache* cache) {
    return Scanner(roots, check, cache).run();
}

std::optional<std::string> readFile(const std::filesystem::path& path) {
    auto read = readStamped(path);
    return read ? std::optional(std::move(read->text)) : std::nullopt;
}

std::optional<StampedText> readStamped(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    std::optional<StampedText> result;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxFileBytes) {
        result = StampedText{
            .text = {},
            .stamp = FileStamp{.size = static_cast<std::int64_t>(info.st_size),
                               .mtimeNs =
                                   static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
                                   info.st_mtim.tv_nsec,
                               .inode = static_cast<std::int64_t>(info.st_ino)}};
        result->text.resize(static_cast<std::size_t>(info.st_size));
        std::size_t got = 0;
        while (got < result->text.size()) {
            const ssize_t n = ::read(fd, result->text.data() + got, result->text.size() - got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            got += std::size_t(n);
        }
        // Shorter than its size said: written into while read; its stamp tells it changed.
        result->text.resize(got);
    }
    ::close(fd);
    return result;
}

Scan withFile(const Scan& scan, const FileChange& change) {
    Scan result;
    result.sources = scan.sources;
    result.status = scan.status;
    result.report = scan.report;
    const auto& owner = scan.calendars[change.calendar];
    const auto begin = scan.files.begin() + owner.fileBegin;
    const auto end = scan.files.begin() + owner.fileEnd;
    const auto found = std::lower_bound(
        begin, end, change.name,
        [](const IndexedFile& file, const std::string& name) { return file.name < name; });
    const auto at = static_cast<std::uint32_t>(found - scan.files.begin());
    const bool present = found != end && found->name == change.name;
    // Files from `at` on move by this much; the changed file itself is left out and put back.
    const int shift = (change.stamp ? 1 : 0) - (present ? 1 : 0);
    const auto moved = [&](std::uint32_t file) {
        return file < at ? file : static_cast<std::uint32_t>(static_cast<int>(file) + shift);
    };

    result.files.reserve(scan.files.size() + 1);
    result.files.insert(result.files.end(), scan.files.begin(), found);
    if (change.stamp) {
        result.files.push_back(IndexedFile{.calendar = change.calendar,
                                           .name = change.name,
                                           .stamp = *change.stamp,
                                           .blob = change.blob,
                                           .cacheRow = 0});
    }
    result.files.insert(result.files.end(), present ? found + 1 : found, scan.files.end());

    result.calendars.reserve(scan.calendars.size());
    for (std::uint32_t c = 0; c < scan.calendars.size(); ++c) {
        const auto& calendar = scan.calendars[c];
        IndexedCalendar copy{
            .location = calendar.location,
            .fileBegin = c <= change.calendar ? calendar.fileBegin : moved(calendar.fileBegin),
            .fileEnd = c < change.calendar ? calendar.fileEnd : moved(calendar.fileEnd),
            .series = {}};
        copy.series.reserve(calendar.series.size() + change.bounds.size());
        for (const auto& series : calendar.series) {
            if (present && series.file == at) {
                continue;
            }
            auto kept = series;
            kept.file = moved(series.file);
            copy.series.push_back(kept);
        }
        if (c == change.calendar && change.stamp) {
            for (std::uint32_t i = 0; i < change.bounds.size(); ++i) {
                copy.series.push_back(IndexedSeries{.first = change.bounds[i].first.seconds,
                                                    .last = change.bounds[i].last.seconds,
                                                    .file = at,
                                                    .index = i});
            }
            std::sort(
                copy.series.begin(), copy.series.end(),
                [](const IndexedSeries& a, const IndexedSeries& b) { return a.first < b.first; });
        }
        result.calendars.push_back(std::move(copy));
    }
    return result;
}

std::optional<std::vector<ics::Series>> parseFile(const fs::path& path) {
    const auto text = readFile(path);
    if (!text) {
        return std::nullopt;
    }
    auto result = ics::read(*text);
    if (result.unreadable) {
        return std::nullopt;
    }
    return std::move(result.series);
}

} // namespace plannery::vdir
