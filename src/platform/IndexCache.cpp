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

// Raise when the tables change meaning; a file of another version is rebuilt.
constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 2000;

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

class Statement {
  public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK) {
            m_statement = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return m_statement != nullptr; }
    sqlite3_stmt* get() const { return m_statement; }
    void reset() {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    void bind(int index, const std::string& text) {
        sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    void bindBlob(int index, const void* data, std::size_t size) {
        sqlite3_bind_blob(m_statement, index, size == 0 ? "" : data, static_cast<int>(size),
                          SQLITE_TRANSIENT);
    }
    void bind(int index, std::int64_t number) { sqlite3_bind_int64(m_statement, index, number); }
    void bind(int index, double number) { sqlite3_bind_double(m_statement, index, number); }
    void bindNull(int index) { sqlite3_bind_null(m_statement, index); }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int step() { return sqlite3_step(m_statement); }

  private:
    sqlite3_stmt* m_statement = nullptr;
};

bool exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

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

Check check(sqlite3* db) {
    // Garbage fails here already (the header is read to switch the journal mode).
    if (!exec(db, "PRAGMA journal_mode=WAL")) {
        return Check::unusable;
    }
    // Losing the last writes of a cache to a power cut costs a re-read, nothing more.
    exec(db, "PRAGMA synchronous=NORMAL");
    Statement version(db, "PRAGMA user_version");
    if (!version.ok() || version.step() != SQLITE_ROW) {
        return Check::unusable;
    }
    const int found = sqlite3_column_int(version.get(), 0);
    if (found == 0) {
        Statement tables(db, "SELECT count(*) FROM sqlite_master");
        if (!tables.ok() || tables.step() != SQLITE_ROW) {
            return Check::unusable;
        }
        // Tables without our version: some other program's database.
        return sqlite3_column_int(tables.get(), 0) == 0 ? Check::fresh : Check::unusable;
    }
    if (found != kSchemaVersion) {
        return Check::unusable;
    }
    // The series format has its own version: blobs of another one would all be useless.
    Statement codec(db, "SELECT value FROM meta WHERE key = 'codec'");
    if (!codec.ok() || codec.step() != SQLITE_ROW) {
        return Check::unusable;
    }
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(codec.get(), 0));
    const std::string stored(bytes == nullptr ? "" : bytes,
                             static_cast<std::size_t>(sqlite3_column_bytes(codec.get(), 0)));
    return stored == codecSignature() ? Check::usable : Check::unusable;
}

bool createSchema(sqlite3* db) {
    if (!exec(db, "BEGIN IMMEDIATE")) {
        return false;
    }
    if (!exec(db, kSchema)) {
        exec(db, "ROLLBACK");
        return false;
    }
    Statement meta(db, "INSERT INTO meta(key, value) VALUES('codec', ?)");
    const std::string signature = codecSignature();
    if (!meta.ok()) {
        exec(db, "ROLLBACK");
        return false;
    }
    meta.bindBlob(1, signature.data(), signature.size());
    if (meta.step() != SQLITE_DONE ||
        !exec(db, ("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str()) ||
        !exec(db, "COMMIT")) {
        exec(db, "ROLLBACK");
        return false;
    }
    return true;
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

std::vector<ics::Bounds> unpackBounds(const void* data, int size) {
    std::vector<ics::Bounds> bounds;
    if (data == nullptr || size <= 0) {
        return bounds;
    }
    const auto count = static_cast<std::size_t>(size) / (2 * sizeof(double));
    bounds.resize(count);
    const char* in = static_cast<const char*>(data);
    for (auto& b : bounds) {
        std::memcpy(&b.first.seconds, in, sizeof(double));
        std::memcpy(&b.last.seconds, in + sizeof(double), sizeof(double));
        in += 2 * sizeof(double);
    }
    return bounds;
}

std::string columnText(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    return text == nullptr
               ? std::string{}
               : std::string(reinterpret_cast<const char*>(text),
                             static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
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
        sqlite3* db = nullptr;
        const int opened = sqlite3_open_v2(
            file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
            nullptr);
        if (opened == SQLITE_OK) {
            sqlite3_busy_timeout(db, kBusyTimeoutMs);
            Check state = check(db);
            if (state == Check::fresh) {
                state = createSchema(db) ? Check::usable : Check::unusable;
            }
            if (state == Check::usable) {
                return std::unique_ptr<IndexCache>(new IndexCache(db, file, rebuilt));
            }
        }
        sqlite3_close(db);
        removeDatabaseFiles(file);
        rebuilt = true;
    }
    return nullptr;
}

IndexCache::IndexCache(sqlite3* db, fs::path file, bool rebuilt)
    : m_db(db), m_file(std::move(file)), m_rebuilt(rebuilt) {}

IndexCache::~IndexCache() {
    close();
}

// A connection closes only when none of its statements is left.
void IndexCache::close() {
    sqlite3_finalize(m_blobQuery);
    m_blobQuery = nullptr;
    sqlite3_finalize(m_blobByRowQuery);
    m_blobByRowQuery = nullptr;
    sqlite3_close(m_db);
    m_db = nullptr;
}

void IndexCache::discard() {
    close();
    const OpenLock lock(m_file, kOpenWait);
    removeDatabaseFiles(m_file);
}

std::optional<IndexCache::Index> IndexCache::loadIndex() {
    if (m_db == nullptr) {
        return std::nullopt;
    }
    Index index;
    {
        Statement folders(m_db, "SELECT path, mtime FROM folders");
        Statement files(m_db,
                        "SELECT folder, name, size, mtime, inode, broken, bounds, id FROM files");
        bool failed = !folders.ok() || !files.ok();
        int result = SQLITE_DONE;
        while (!failed && (result = folders.step()) == SQLITE_ROW) {
            index[columnText(folders.get(), 0)].mtimeNs = sqlite3_column_int64(folders.get(), 1);
        }
        failed = failed || result != SQLITE_DONE;
        // Rows of one folder mostly follow each other: look the folder up only when it changes.
        CachedFolder* folder = nullptr;
        std::string folderPath;
        while (!failed && (result = files.step()) == SQLITE_ROW) {
            sqlite3_stmt* row = files.get();
            const auto* path = reinterpret_cast<const char*>(sqlite3_column_text(row, 0));
            if (folder == nullptr || path == nullptr || folderPath != path) {
                folderPath = path == nullptr ? "" : path;
                folder = &index[folderPath];
            }
            folder->files.push_back(CachedFile{
                .row = sqlite3_column_int64(row, 7),
                .name = columnText(row, 1),
                .stamp = {.size = sqlite3_column_int64(row, 2),
                          .mtimeNs = sqlite3_column_int64(row, 3),
                          .inode = sqlite3_column_int64(row, 4)},
                .broken = sqlite3_column_int(row, 5) != 0,
                .bounds = unpackBounds(sqlite3_column_blob(row, 6), sqlite3_column_bytes(row, 6))});
        }
        failed = failed || result != SQLITE_DONE;
        if (failed) {
            // A busy database is another process writing; only damage is a reason to delete.
            const int code = sqlite3_errcode(m_db) & 0xff;
            if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB) {
                discard();
            }
            return std::nullopt;
        }
    }
    for (auto& [path, folder] : index) {
        std::sort(folder.files.begin(), folder.files.end(),
                  [](const CachedFile& a, const CachedFile& b) { return a.name < b.name; });
    }
    return index;
}

std::optional<std::string> IndexCache::blob(const std::string& folder, const std::string& name,
                                            const vdir::FileStamp& stamp, std::int64_t row) {
    if (m_db == nullptr) {
        return std::nullopt;
    }
    sqlite3_stmt*& query = row != 0 ? m_blobByRowQuery : m_blobQuery;
    const char* sql = row != 0 ? "SELECT b.series FROM files f JOIN blobs b ON b.id = f.id "
                                 "WHERE f.id = ?6 AND f.folder = ?1 AND f.name = ?2 "
                                 "AND f.size = ?3 AND f.mtime = ?4 AND f.inode = ?5"
                               : "SELECT b.series FROM files f JOIN blobs b ON b.id = f.id "
                                 "WHERE f.folder = ?1 AND f.name = ?2 AND f.size = ?3 "
                                 "AND f.mtime = ?4 AND f.inode = ?5";
    if (query == nullptr && sqlite3_prepare_v2(m_db, sql, -1, &query, nullptr) != SQLITE_OK) {
        sqlite3_finalize(query);
        query = nullptr;
        return std::nullopt;
    }
    sqlite3_reset(query);
    sqlite3_bind_text(query, 1, folder.data(), static_cast<int>(folder.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(query, 2, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(query, 3, stamp.size);
    sqlite3_bind_int64(query, 4, stamp.mtimeNs);
    sqlite3_bind_int64(query, 5, stamp.inode);
    if (row != 0) {
        sqlite3_bind_int64(query, 6, row);
    }
    std::optional<std::string> bytes;
    if (sqlite3_step(query) == SQLITE_ROW) {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(query, 0));
        bytes = std::string(data == nullptr ? "" : data,
                            static_cast<std::size_t>(sqlite3_column_bytes(query, 0)));
    }
    sqlite3_reset(query);
    return bytes;
}

void IndexCache::beginRead() {
    if (m_db != nullptr) {
        sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr);
    }
}

void IndexCache::endRead() {
    if (m_db != nullptr && sqlite3_get_autocommit(m_db) == 0) {
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    }
}

bool IndexCache::write(const std::vector<FolderWrite>& folders,
                       const std::vector<std::string>& removedFolders) {
    if (m_db == nullptr) {
        return false;
    }
    if (folders.empty() && removedFolders.empty()) {
        return true;
    }
    if (!exec(m_db, "BEGIN IMMEDIATE")) {
        return false;
    }
    // Separate statements for one file and a whole folder, so that each uses the index.
    Statement dropBlob(m_db, "DELETE FROM blobs WHERE id IN "
                             "(SELECT id FROM files WHERE folder = ? AND name = ?)");
    Statement dropFile(m_db, "DELETE FROM files WHERE folder = ? AND name = ?");
    Statement dropFolderBlobs(
        m_db, "DELETE FROM blobs WHERE id IN (SELECT id FROM files WHERE folder = ?)");
    Statement dropFolderFiles(m_db, "DELETE FROM files WHERE folder = ?");
    Statement dropFolder(m_db, "DELETE FROM folders WHERE path = ?");
    Statement putFolder(m_db, "INSERT OR REPLACE INTO folders(path, mtime) VALUES(?, ?)");
    Statement putFile(m_db, "INSERT INTO files(folder, name, size, mtime, inode, broken, first, "
                            "last, bounds) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)");
    Statement putBlob(m_db, "INSERT INTO blobs(id, series) VALUES(?, ?)");
    bool ok = dropBlob.ok() && dropFile.ok() && dropFolderBlobs.ok() && dropFolderFiles.ok() &&
              dropFolder.ok() && putFolder.ok() && putFile.ok() && putBlob.ok();

    const auto drop = [&](const std::string& folder, const std::string* name) {
        const std::array<Statement*, 2> statements =
            name != nullptr ? std::array{&dropBlob, &dropFile}
                            : std::array{&dropFolderBlobs, &dropFolderFiles};
        for (Statement* statement : statements) {
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
            const std::string bounds = packBounds(file.bounds);
            putFile.bindBlob(9, bounds.data(), bounds.size());
            ok = ok && putFile.step() == SQLITE_DONE;
            if (ok && !file.broken) {
                putBlob.reset();
                putBlob.bind(1, static_cast<std::int64_t>(sqlite3_last_insert_rowid(m_db)));
                putBlob.bindBlob(2, file.blob.data(), file.blob.size());
                ok = putBlob.step() == SQLITE_DONE;
            }
        }
        putFolder.reset();
        putFolder.bind(1, folder.folder);
        putFolder.bind(2, folder.mtimeNs);
        ok = ok && putFolder.step() == SQLITE_DONE;
    }
    if (ok && exec(m_db, "COMMIT")) {
        return true;
    }
    exec(m_db, "ROLLBACK");
    return false;
}

// Notes share the meta table with the codec signature, under keys of their own.
std::optional<std::string> IndexCache::note(const std::string& key) {
    if (m_db == nullptr) {
        return std::nullopt;
    }
    Statement query(m_db, "SELECT value FROM meta WHERE key = ?");
    if (!query.ok()) {
        return std::nullopt;
    }
    query.bind(1, "note:" + key);
    if (query.step() != SQLITE_ROW) {
        return std::nullopt;
    }
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(query.get(), 0));
    return std::string(bytes == nullptr ? "" : bytes,
                       static_cast<std::size_t>(sqlite3_column_bytes(query.get(), 0)));
}

bool IndexCache::setNote(const std::string& key, const std::string& value) {
    if (m_db == nullptr) {
        return false;
    }
    Statement put(m_db, "INSERT OR REPLACE INTO meta(key, value) VALUES(?, ?)");
    if (!put.ok()) {
        return false;
    }
    put.bind(1, "note:" + key);
    put.bindBlob(2, value.data(), value.size());
    return put.step() == SQLITE_DONE;
}

} // namespace plannery
