#pragma once

#include "platform/IcsSeries.h"
#include "platform/Sqlite.h"
#include "platform/VdirLayout.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace plannery {

// The SQLite file that remembers what each calendar file held when it was last read, so that a
// start parses only files that changed. It is only ever a cache: a file it cannot trust
// (corrupt, foreign, an older format) is deleted and built again, and any failure reading it
// means the calendar files are read instead.
class IndexCache {
  public:
    // A stamp with this modification time never matches a file: the file is read again.
    static constexpr std::int64_t kUntrusted = -1;

    struct CachedFile {
        std::int64_t row = 0; // where its series are stored
        std::string name;
        vdir::FileStamp stamp;
        bool broken = false;
        std::vector<ics::Bounds> bounds; // one per series, in file order
    };
    struct CachedFolder {
        std::int64_t mtimeNs = kUntrusted;
        std::vector<CachedFile> files; // by name
    };
    using Index = std::unordered_map<std::string, CachedFolder>; // by folder path

    struct FileWrite {
        std::string name;
        vdir::FileStamp stamp;
        bool broken = false;
        std::vector<ics::Bounds> bounds;
        std::string blob; // ics::encode of the file's series
    };
    struct FolderWrite {
        std::string folder;
        std::int64_t mtimeNs = kUntrusted;
        std::vector<std::string> removedFiles;
        std::vector<FileWrite> files; // new or changed
    };

    // nullptr when the file cannot be opened or created at all (the store then runs without).
    static std::unique_ptr<IndexCache> open(const std::filesystem::path& file);
    ~IndexCache();
    IndexCache(const IndexCache&) = delete;
    IndexCache& operator=(const IndexCache&) = delete;

    // True when an unusable file was found and replaced by an empty one.
    bool wasRebuilt() const { return m_rebuilt; }

    // The lightweight part of what is cached for the folders at or below `roots` (all folders
    // when none are given), without the series blobs. nullopt when the file turned out to be
    // unreadable; it is then deleted so that the next start builds it again.
    std::optional<Index> loadIndex(const std::vector<std::string>& roots = {});

    // The stored series of one file, only when stored for exactly this stamp. `row` (from
    // loadIndex, 0 when unknown) finds them without searching by path; the path and stamp are
    // still compared, so a row that another process reused for another file is never taken.
    std::optional<std::string> blob(const std::string& folder, const std::string& name,
                                    const vdir::FileStamp& stamp, std::int64_t row = 0);

    // A read transaction around many blob() calls: SQLite then takes its file locks and checks
    // its journal once instead of once per call. Nested calls are not supported.
    void beginRead();
    void endRead();

    // Applies all changes in one transaction; false when the database is busy (another process
    // writing) or failing, in which case nothing was written.
    bool write(const std::vector<FolderWrite>& folders,
               const std::vector<std::string>& removedFolders);

    // A small value worked out from many files (an account's user address), under a key of the
    // caller's; nullopt when there is none. Such values live with the index and go with it.
    std::optional<std::string> note(const std::string& key);
    // False when the database is busy or failing; the value is then simply worked out again.
    bool setNote(const std::string& key, const std::string& value);

  private:
    IndexCache(sqlite::Database db, std::filesystem::path file, bool rebuilt);
    void discard();

    sqlite::Database m_db;
    sqlite::Statement m_blobQuery;
    sqlite::Statement m_blobByRowQuery;
    std::filesystem::path m_file;
    bool m_rebuilt = false;
};

} // namespace plannery
