#include "platform/IndexCache.h"

#include "platform/OpenLock.h"
#include "platform/PrivateFolder.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

namespace plannery {

namespace {

namespace fs = std::filesystem;

// Raise when the tables change meaning; a file of another version is rebuilt. 2: "broken" also
// marks a file cut short whose complete events are indexed.
constexpr int kSchemaVersion = 2;
constexpr std::chrono::milliseconds kBusyWait{2000};

// The series blobs live in their own table so that reading the index at start does not page
// through them.
constexpr const char* kSchema = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value BLOB) WITHOUT ROWID;
CREATE TABLE folders(path TEXT PRIMARY KEY, mtime INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE files(id INTEGER PRIMARY KEY, folder TEXT NOT NULL, name TEXT NOT NULL,
                   size INTEGER NOT NULL, mtime INTEGER NOT NULL, inode INTEGER NOT NULL,
                   broken INTEGER NOT NULL, first REAL, last REAL, bounds BLOB,
                   UNIQUE(folder, name));
CREATE TABLE blobs(id INTEGER PRIMARY KEY, series BLOB NOT NULL);
)sql";

std::string codecSignature() {
    return ics::encode({});
}

// How long opening waits for another process that is checking or rebuilding the file.
constexpr std::chrono::milliseconds kOpenWait{3000};

void removeDatabaseFiles(const fs::path& file) {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        fs::remove(file.string() + suffix, ignored);
    }
}

void closeDatabaseFiles(const fs::path& file) {
    PrivateFolder::closeFile(file);
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        std::error_code error;
        if (fs::exists(file.string() + suffix, error)) {
            PrivateFolder::closeFile(file.string() + suffix);
        }
    }
}

enum class Check { usable, fresh, unusable };

Check check(sqlite::Database& db) {
    // Garbage fails here already (the header is read to switch the journal mode).
    if (!db.exec("PRAGMA journal_mode=WAL")) {
        return Check::unusable;
    }
    // Losing the last writes of a cache to a power cut costs a re-read, nothing more.
    db.exec("PRAGMA synchronous=NORMAL");
    // Its pages are read about once per start (the index in one pass, then a blob per file):
    // a small page cache does, and keeps a command's memory down.
    db.exec("PRAGMA cache_size=-512");
    int found = 0;
    if (db.queryInt("PRAGMA user_version", found) != SQLITE_OK) {
        return Check::unusable;
    }
    if (found == 0) {
        int tables = 0;
        if (db.queryInt("SELECT count(*) FROM sqlite_master", tables) != SQLITE_OK) {
            return Check::unusable;
        }
        // Tables without our version: some other program's database.
        return tables == 0 ? Check::fresh : Check::unusable;
    }
    if (found != kSchemaVersion) {
        return Check::unusable;
    }
    // The series format has its own version: blobs of another one would all be useless.
    sqlite::Statement codec = db.prepare("SELECT value FROM meta WHERE key = 'codec'");
    if (codec.step() != SQLITE_ROW) {
        return Check::unusable;
    }
    return codec.columnBlob(0) == codecSignature() ? Check::usable : Check::unusable;
}

bool createSchema(sqlite::Database& db) {
    sqlite::Transaction transaction(db);
    if (!transaction.began() || !db.exec(kSchema)) {
        return false;
    }
    sqlite::Statement meta = db.prepare("INSERT INTO meta(key, value) VALUES('codec', ?)");
    meta.bindBlob(1, codecSignature());
    return meta.step() == SQLITE_DONE &&
           db.exec("PRAGMA user_version=" + std::to_string(kSchemaVersion)) && transaction.commit();
}

std::string packBounds(const std::vector<ics::Bounds>& bounds) {
    std::string bytes(bounds.size() * 2 * sizeof(double), '\0');
    char* out = bytes.data();
    for (const auto& b : bounds) {
        std::memcpy(out, &b.first.seconds, sizeof(double));
        std::memcpy(out + sizeof(double), &b.last.seconds, sizeof(double));
        out += 2 * sizeof(double);
    }
    return bytes;
}

std::vector<ics::Bounds> unpackBounds(std::string_view bytes) {
    std::vector<ics::Bounds> bounds(bytes.size() / (2 * sizeof(double)));
    const char* in = bytes.data();
    for (auto& b : bounds) {
        std::memcpy(&b.first.seconds, in, sizeof(double));
        std::memcpy(&b.last.seconds, in + sizeof(double), sizeof(double));
        in += 2 * sizeof(double);
    }
    return bounds;
}

// The roots that are not inside another of them (whose folders the other one covers).
std::vector<std::string> outermost(const std::vector<std::string>& roots) {
    std::vector<std::string> sorted = roots;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::vector<std::string> result;
    for (const auto& root : sorted) {
        const bool inside =
            std::any_of(result.begin(), result.end(), [&](const std::string& outer) {
                return root.size() > outer.size() && root.starts_with(outer) &&
                       (outer.ends_with('/') || root[outer.size()] == '/');
            });
        if (!inside) {
            result.push_back(root);
        }
    }
    return result;
}

} // namespace

std::unique_ptr<IndexCache> IndexCache::open(const fs::path& file) {
    // The index holds event titles, notes and attendees: only the user may read it. SQLite gives
    // the journal files it adds the mode of the database; files of an earlier run keep theirs.
    PrivateFolder::closeFolder(file.parent_path());
    const OpenLock lock(file, kOpenWait);
    if (!lock.locked()) {
        return nullptr;
    }
    bool rebuilt = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        closeDatabaseFiles(file);
        {
            sqlite::Database db =
                sqlite::Database::open(file, sqlite::Database::Access::readWrite, kBusyWait);
            if (db.ok()) {
                Check state = check(db);
                if (state == Check::fresh) {
                    state = createSchema(db) ? Check::usable : Check::unusable;
                }
                if (state == Check::usable) {
                    return std::unique_ptr<IndexCache>(
                        new IndexCache(std::move(db), file, rebuilt));
                }
            }
        }
        removeDatabaseFiles(file);
        rebuilt = true;
    }
    return nullptr;
}

IndexCache::IndexCache(sqlite::Database db, fs::path file, bool rebuilt)
    : m_db(std::move(db)), m_file(std::move(file)), m_rebuilt(rebuilt) {}

IndexCache::~IndexCache() = default;

void IndexCache::discard() {
    m_blobQuery = {};
    m_blobByRowQuery = {};
    m_db = {};
    const OpenLock lock(m_file, kOpenWait);
    removeDatabaseFiles(m_file);
}

std::optional<IndexCache::Index> IndexCache::loadIndex(const std::vector<std::string>& roots) {
    if (!m_db.ok()) {
        return std::nullopt;
    }
    // A root's folders are the root itself and the paths that continue it with '/': in byte
    // order, those from "<root>/" up to "<root>0" ('0' follows '/').
    std::vector<std::array<std::string, 3>> ranges;
    for (const auto& root : roots.empty() ? std::vector<std::string>{"/"} : outermost(roots)) {
        const std::string base = root.ends_with('/') ? root.substr(0, root.size() - 1) : root;
        ranges.push_back({root, base + '/', base + '0'});
    }
    Index index;
    bool failed = false;
    bool damaged = false;
    {
        sqlite::Statement folders = m_db.prepare("SELECT path, mtime FROM folders "
                                                 "WHERE path = ?1 OR (path >= ?2 AND path < ?3)");
        sqlite::Statement files =
            m_db.prepare("SELECT folder, name, size, mtime, inode, broken, bounds, id "
                         "FROM files WHERE folder = ?1 OR (folder >= ?2 AND folder < ?3)");
        failed = !folders.ok() || !files.ok();
        int result = SQLITE_DONE;
        for (const auto& range : ranges) {
            for (sqlite::Statement* statement : {&folders, &files}) {
                statement->reset();
                for (int i = 0; i < 3; ++i) {
                    statement->bind(i + 1, range[static_cast<std::size_t>(i)]);
                }
            }
            while (!failed && (result = folders.step()) == SQLITE_ROW) {
                index[folders.columnText(0)].mtimeNs = folders.columnInt64(1);
            }
            failed = failed || result != SQLITE_DONE;
            // Rows of one folder follow each other (the index is by folder): look the folder up
            // only when it changes.
            CachedFolder* folder = nullptr;
            std::string folderPath;
            while (!failed && (result = files.step()) == SQLITE_ROW) {
                const std::string_view path = files.columnView(0);
                if (folder == nullptr || folderPath != path) {
                    folderPath = path;
                    folder = &index[folderPath];
                }
                folder->files.push_back(CachedFile{.row = files.columnInt64(7),
                                                   .name = files.columnText(1),
                                                   .stamp = {.size = files.columnInt64(2),
                                                             .mtimeNs = files.columnInt64(3),
                                                             .inode = files.columnInt64(4)},
                                                   .broken = files.columnInt(5) != 0,
                                                   .bounds = unpackBounds(files.columnView(6))});
            }
            failed = failed || result != SQLITE_DONE;
        }
        // Read while the statements are there: finalizing them sets the connection's code anew.
        damaged = failed && m_db.damaged();
    }
    if (failed) {
        // A busy database is another process writing; only damage is a reason to delete.
        if (damaged) {
            discard();
        }
        return std::nullopt;
    }
    for (auto& [path, folder] : index) {
        std::sort(folder.files.begin(), folder.files.end(),
                  [](const CachedFile& a, const CachedFile& b) { return a.name < b.name; });
    }
    return index;
}

std::optional<std::string> IndexCache::blob(const std::string& folder, const std::string& name,
                                            const vdir::FileStamp& stamp, std::int64_t row) {
    if (!m_db.ok()) {
        return std::nullopt;
    }
    sqlite::Statement& query = row != 0 ? m_blobByRowQuery : m_blobQuery;
    if (!query.ok()) {
        query = m_db.prepare(row != 0 ? "SELECT b.series FROM files f JOIN blobs b ON b.id = f.id "
                                        "WHERE f.id = ?6 AND f.folder = ?1 AND f.name = ?2 "
                                        "AND f.size = ?3 AND f.mtime = ?4 AND f.inode = ?5"
                                      : "SELECT b.series FROM files f JOIN blobs b ON b.id = f.id "
                                        "WHERE f.folder = ?1 AND f.name = ?2 AND f.size = ?3 "
                                        "AND f.mtime = ?4 AND f.inode = ?5");
        if (!query.ok()) {
            return std::nullopt;
        }
    }
    const sqlite::Use use(query);
    query.bind(1, folder);
    query.bind(2, name);
    query.bind(3, stamp.size);
    query.bind(4, stamp.mtimeNs);
    query.bind(5, stamp.inode);
    if (row != 0) {
        query.bind(6, row);
    }
    if (query.step() != SQLITE_ROW) {
        return std::nullopt;
    }
    return query.columnBlob(0);
}

void IndexCache::beginRead() {
    m_db.exec("BEGIN");
}

void IndexCache::endRead() {
    if (m_db.inTransaction()) {
        m_db.exec("COMMIT");
    }
}

bool IndexCache::write(const std::vector<FolderWrite>& folders,
                       const std::vector<std::string>& removedFolders) {
    if (!m_db.ok()) {
        return false;
    }
    if (folders.empty() && removedFolders.empty()) {
        return true;
    }
    sqlite::Transaction transaction(m_db);
    if (!transaction.began()) {
        return false;
    }
    // Separate statements for one file and a whole folder, so that each uses the index.
    sqlite::Statement dropBlob =
        m_db.prepare("DELETE FROM blobs WHERE id IN "
                     "(SELECT id FROM files WHERE folder = ? AND name = ?)");
    sqlite::Statement dropFile = m_db.prepare("DELETE FROM files WHERE folder = ? AND name = ?");
    sqlite::Statement dropFolderBlobs =
        m_db.prepare("DELETE FROM blobs WHERE id IN (SELECT id FROM files WHERE folder = ?)");
    sqlite::Statement dropFolderFiles = m_db.prepare("DELETE FROM files WHERE folder = ?");
    sqlite::Statement dropFolder = m_db.prepare("DELETE FROM folders WHERE path = ?");
    sqlite::Statement putFolder =
        m_db.prepare("INSERT OR REPLACE INTO folders(path, mtime) VALUES(?, ?)");
    sqlite::Statement putFile =
        m_db.prepare("INSERT INTO files(folder, name, size, mtime, inode, broken, first, "
                     "last, bounds) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)");
    sqlite::Statement putBlob = m_db.prepare("INSERT INTO blobs(id, series) VALUES(?, ?)");
    bool ok = dropBlob.ok() && dropFile.ok() && dropFolderBlobs.ok() && dropFolderFiles.ok() &&
              dropFolder.ok() && putFolder.ok() && putFile.ok() && putBlob.ok();

    const auto drop = [&](const std::string& folder, const std::string* name) {
        const std::array<sqlite::Statement*, 2> statements =
            name != nullptr ? std::array{&dropBlob, &dropFile}
                            : std::array{&dropFolderBlobs, &dropFolderFiles};
        for (sqlite::Statement* statement : statements) {
            statement->reset();
            statement->bind(1, folder);
            if (name != nullptr) {
                statement->bind(2, *name);
            }
            ok = ok && statement->step() == SQLITE_DONE;
        }
    };

    for (const auto& folder : removedFolders) {
        if (!ok) {
            break;
        }
        drop(folder, nullptr);
        dropFolder.reset();
        dropFolder.bind(1, folder);
        ok = ok && dropFolder.step() == SQLITE_DONE;
    }
    for (const auto& folder : folders) {
        for (const auto& name : folder.removedFiles) {
            drop(folder.folder, &name);
        }
        for (const auto& file : folder.files) {
            if (!ok) {
                break;
            }
            drop(folder.folder, &file.name);
            double first = std::numeric_limits<double>::infinity();
            double last = -std::numeric_limits<double>::infinity();
            for (const auto& b : file.bounds) {
                first = std::min(first, b.first.seconds);
                last = std::max(last, b.last.seconds);
            }
            putFile.reset();
            putFile.bind(1, folder.folder);
            putFile.bind(2, file.name);
            putFile.bind(3, file.stamp.size);
            putFile.bind(4, file.stamp.mtimeNs);
            putFile.bind(5, file.stamp.inode);
            putFile.bind(6, std::int64_t{file.broken ? 1 : 0});
            // A rule that never ends has no last instant: NULL rather than infinity.
            if (file.bounds.empty()) {
                putFile.bindNull(7);
                putFile.bindNull(8);
            } else {
                putFile.bind(7, first);
                if (std::isinf(last)) {
                    putFile.bindNull(8);
                } else {
                    putFile.bind(8, last);
                }
            }
            putFile.bindBlob(9, packBounds(file.bounds));
            ok = ok && putFile.step() == SQLITE_DONE;
            if (ok && !file.broken) {
                putBlob.reset();
                putBlob.bind(1, m_db.lastInsertRow());
                putBlob.bindBlob(2, file.blob);
                ok = putBlob.step() == SQLITE_DONE;
            }
        }
        putFolder.reset();
        putFolder.bind(1, folder.folder);
        putFolder.bind(2, folder.mtimeNs);
        ok = ok && putFolder.step() == SQLITE_DONE;
    }
    return ok && transaction.commit();
}

// Notes share the meta table with the codec signature, under keys of their own.
std::optional<std::string> IndexCache::note(const std::string& key) {
    sqlite::Statement query = m_db.prepare("SELECT value FROM meta WHERE key = ?");
    query.bind(1, "note:" + key);
    if (query.step() != SQLITE_ROW) {
        return std::nullopt;
    }
    return query.columnBlob(0);
}

bool IndexCache::setNote(const std::string& key, const std::string& value) {
    sqlite::Statement put = m_db.prepare("INSERT OR REPLACE INTO meta(key, value) VALUES(?, ?)");
    put.bind(1, "note:" + key);
    put.bindBlob(2, value);
    return put.step() == SQLITE_DONE;
}

} // namespace plannery
