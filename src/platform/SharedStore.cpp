#include "platform/SharedStore.h"

#include "platform/OpenLock.h"
#include "platform/PrivateFolder.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <system_error>
#include <thread>

#include <sqlite3.h>

namespace plannery {

namespace {

namespace fs = std::filesystem;

// Raise when the items table changes meaning.
constexpr int kSchemaVersion = 1;
// The other process holds the write lock only for one small transaction; a few seconds covers a
// slow disk without making a stuck process look like a hang.
constexpr int kBusyTimeoutMs = 5000;

constexpr const char* kSchema = R"sql(
CREATE TABLE items(service TEXT NOT NULL, account TEXT NOT NULL, data BLOB NOT NULL,
                   PRIMARY KEY(service, account)) WITHOUT ROWID;
)sql";

void say(const std::string& sentence) {
    std::fprintf(stderr, "%s\n", sentence.c_str());
}

bool damaged(int code) {
    code &= 0xff;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

bool exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string utcStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &parts);
    return text;
}

// Renames the file (and the journal SQLite would otherwise replay into its successor) out of the
// way; the name it now has, or absent when it could not be moved.
std::optional<fs::path> moveAside(const fs::path& file) {
    const std::string base = file.string() + ".corrupt-" + utcStamp();
    std::string aside = base;
    std::error_code error;
    for (int n = 2; fs::exists(aside, error) || fs::exists(aside + "-wal", error); ++n) {
        aside = base + "-" + std::to_string(n);
    }
    if (std::rename(file.c_str(), aside.c_str()) != 0) {
        return std::nullopt;
    }
    for (const char* suffix : {"-wal", "-journal"}) {
        const std::string journal = file.string() + suffix;
        if (fs::exists(journal, error)) {
            std::rename(journal.c_str(), (aside + suffix).c_str());
        }
    }
    fs::remove(file.string() + "-shm", error); // only an index of the journal, rebuilt on open
    return fs::path(aside);
}

enum class Verdict { usable, foreign, failed };

struct Inspection {
    Verdict verdict = Verdict::failed;
    std::string reason;
};

Inspection failure(sqlite3* db, int code) {
    if (damaged(code)) {
        return {Verdict::foreign, "it is not a readable database"};
    }
    return {Verdict::failed, sqlite3_errmsg(db)};
}

// Runs a one-row query; the code of its first step.
int queryInt(sqlite3* db, const char* sql, int& value, std::string* text = nullptr) {
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (code == SQLITE_OK) {
        code = sqlite3_step(statement);
        if (code == SQLITE_ROW) {
            value = sqlite3_column_int(statement, 0);
            if (text != nullptr) {
                const auto* chars = sqlite3_column_text(statement, 0);
                *text = chars == nullptr ? "" : reinterpret_cast<const char*>(chars);
            }
            code = SQLITE_OK;
        }
    }
    sqlite3_finalize(statement);
    return code;
}

Inspection createSchema(sqlite3* db) {
    if (!exec(db, "BEGIN IMMEDIATE")) {
        return failure(db, sqlite3_errcode(db));
    }
    const std::string version = "PRAGMA user_version=" + std::to_string(kSchemaVersion);
    if (!exec(db, kSchema) || !exec(db, version.c_str()) || !exec(db, "COMMIT")) {
        const int code = sqlite3_errcode(db);
        Inspection result = failure(db, code);
        exec(db, "ROLLBACK");
        return result;
    }
    return {Verdict::usable, {}};
}

// Whether the file is a store of ours, creating the table in an empty one. Only damage or a
// foreign database is a reason to move it aside; a busy or unwritable file is not.
Inspection inspect(sqlite3* db) {
    // Garbage fails here already: switching the journal reads the header.
    if (sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr) != SQLITE_OK) {
        return failure(db, sqlite3_errcode(db));
    }
    // In WAL mode this still never leaves a damaged file; a power cut may cost the last write,
    // which the app writes again on its next settings change.
    exec(db, "PRAGMA synchronous=NORMAL");
    int ignored = 0;
    std::string verdict;
    // The file is a few pages: checking it whole is cheap and catches damage past the header.
    if (const int code = queryInt(db, "PRAGMA quick_check", ignored, &verdict); code != SQLITE_OK) {
        return failure(db, code);
    }
    if (verdict != "ok") {
        return {Verdict::foreign, "it is damaged"};
    }
    int version = 0;
    if (const int code = queryInt(db, "PRAGMA user_version", version); code != SQLITE_OK) {
        return failure(db, code);
    }
    if (version != 0) {
        // Ours, or a later version's that kept the items table: the statements tell.
        return {Verdict::usable, {}};
    }
    int tables = 0;
    if (const int code = queryInt(db, "SELECT count(*) FROM sqlite_master", tables);
        code != SQLITE_OK) {
        return failure(db, code);
    }
    if (tables != 0) {
        return {Verdict::foreign, "it belongs to another program"};
    }
    return createSchema(db);
}

// Resets a shared statement when the call that used it returns, so it holds no read lock.
class Use {
  public:
    explicit Use(sqlite3_stmt* statement) : m_statement(statement) {}
    ~Use() {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

    // A null pointer would bind SQL NULL: an empty name or value is still text or bytes.
    void text(int index, std::string_view value) {
        sqlite3_bind_text(m_statement, index, value.empty() ? "" : value.data(),
                          static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
    void blob(int index, std::string_view value) {
        sqlite3_bind_blob(m_statement, index, value.empty() ? "" : value.data(),
                          static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
    int step() { return sqlite3_step(m_statement); }
    std::string columnBytes(int column) const {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
        const int size = sqlite3_column_bytes(m_statement, column);
        return bytes == nullptr ? std::string{}
                                : std::string(bytes, static_cast<std::size_t>(size));
    }

  private:
    sqlite3_stmt* m_statement;
};

std::uint64_t parseCount(const std::optional<std::string>& bytes) {
    std::uint64_t value = 0;
    if (!bytes) {
        return 0;
    }
    const char* end = bytes->data() + bytes->size();
    const auto [stop, error] = std::from_chars(bytes->data(), end, value);
    return error == std::errc{} && stop == end ? value : 0;
}

} // namespace

std::unique_ptr<SharedStore> SharedStore::open(const fs::path& file) {
    const auto cannotUse = [&](const std::string& why) {
        say("Cannot use the shared settings store " + file.string() + ": " + why + ".");
        return nullptr;
    };
    // The folder holds nothing but this store, and the settings are the user's alone: SQLite would
    // make the file readable by everyone. The journal files it adds later copy the file's mode.
    if (const auto problem = PrivateFolder::closeFolder(file.parent_path())) {
        return cannotUse(*problem);
    }
    const OpenLock lock(file, std::chrono::milliseconds(kBusyTimeoutMs));
    if (!lock.locked()) {
        return cannotUse(lock.problem());
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (const auto problem = PrivateFolder::closeFile(file)) {
            return cannotUse(*problem);
        }
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(file.c_str(), &db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            const std::string why = db == nullptr ? "out of memory" : sqlite3_errmsg(db);
            sqlite3_close(db);
            return cannotUse(why);
        }
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        Inspection inspection = inspect(db);
        if (inspection.verdict == Verdict::usable) {
            std::unique_ptr<SharedStore> store(new SharedStore(db, file));
            if (store->prepare()) {
                return store;
            }
            const int code = sqlite3_errcode(db) & 0xff;
            inspection = code == SQLITE_ERROR
                             ? Inspection{Verdict::foreign, "its items are not in a known form"}
                             : failure(db, code);
            if (inspection.verdict == Verdict::failed) {
                return cannotUse(inspection.reason);
            }
            store.reset();
        } else {
            sqlite3_close(db);
            if (inspection.verdict == Verdict::failed) {
                return cannotUse(inspection.reason);
            }
        }
        const auto aside = moveAside(file);
        if (!aside) {
            return cannotUse(inspection.reason + ", and it could not be moved aside");
        }
        say("The shared settings store " + file.string() + " was unusable (" + inspection.reason +
            "); it was moved to " + aside->string() + " and started afresh.");
    }
    return cannotUse("a fresh file could not be started");
}

SharedStore::Reader SharedStore::openForReading(const fs::path& file,
                                                std::chrono::milliseconds wait) {
    std::error_code error;
    if (!fs::exists(file, error)) {
        return {.store = nullptr, .problem = ReadProblem::missing};
    }
    // A process that is creating or repairing the file holds this lock for a moment.
    const OpenLock lock(file, wait);
    if (!lock.locked()) {
        return {.store = nullptr,
                .problem = fs::exists(file.string() + ".lock", error) ? ReadProblem::busy
                                                                      : ReadProblem::unreadable};
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return {.store = nullptr, .problem = ReadProblem::unreadable};
    }
    sqlite3_busy_timeout(db, static_cast<int>(wait.count()));
    int tables = 0;
    const int code = queryInt(db, "SELECT count(*) FROM sqlite_master", tables) & 0xff;
    if (code != SQLITE_OK) {
        sqlite3_close(db);
        const ReadProblem problem = damaged(code) ? ReadProblem::damaged
                                    : code == SQLITE_BUSY || code == SQLITE_LOCKED
                                        ? ReadProblem::busy
                                        : ReadProblem::unreadable;
        return {.store = nullptr, .problem = problem};
    }
    std::unique_ptr<SharedStore> store(new SharedStore(db, file));
    // A database without our items table is some other program's.
    if (sqlite3_prepare_v2(db, "SELECT data FROM items WHERE service = ?1 AND account = ?2", -1,
                           &store->m_select, nullptr) != SQLITE_OK) {
        return {.store = nullptr, .problem = ReadProblem::damaged};
    }
    return {.store = std::move(store), .problem = ReadProblem::missing};
}

SharedStore::SharedStore(sqlite3* db, fs::path file) : m_db(db), m_file(std::move(file)) {}

// A connection closes only when none of its statements is left.
SharedStore::~SharedStore() {
    sqlite3_finalize(m_select);
    sqlite3_finalize(m_upsert);
    sqlite3_finalize(m_delete);
    sqlite3_close(m_db);
}

// The statements double as the check of the table's shape: a table without these columns or
// without the (service, account) key fails to prepare.
bool SharedStore::prepare() {
    return sqlite3_prepare_v2(m_db, "SELECT data FROM items WHERE service = ?1 AND account = ?2",
                              -1, &m_select, nullptr) == SQLITE_OK &&
           sqlite3_prepare_v2(m_db,
                              "INSERT INTO items(service, account, data) VALUES(?1, ?2, ?3) "
                              "ON CONFLICT(service, account) DO UPDATE SET data = excluded.data",
                              -1, &m_upsert, nullptr) == SQLITE_OK &&
           sqlite3_prepare_v2(m_db, "DELETE FROM items WHERE service = ?1 AND account = ?2", -1,
                              &m_delete, nullptr) == SQLITE_OK;
}

std::optional<std::string> SharedStore::data(std::string_view service, std::string_view account) {
    Lookup found = lookup(service, account);
    if (found.found != Lookup::Found::item) {
        return std::nullopt;
    }
    return std::move(found.bytes);
}

SharedStore::Lookup SharedStore::lookup(std::string_view service, std::string_view account) {
    Use query(m_select);
    query.text(1, service);
    query.text(2, account);
    const int code = query.step();
    switch (code & 0xff) {
    case SQLITE_ROW:
        return {.found = Lookup::Found::item, .bytes = query.columnBytes(0)};
    case SQLITE_DONE:
        return {.found = Lookup::Found::none};
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {.found = Lookup::Found::busy};
    default:
        return {.found = Lookup::Found::failed};
    }
}

bool SharedStore::set(const std::optional<std::string>& bytes, std::string_view service,
                      std::string_view account) {
    // A store opened for reading has no statements to write with.
    if (m_upsert == nullptr || !exec(m_db, "BEGIN IMMEDIATE")) {
        return false;
    }
    bool written = false;
    {
        Use write(bytes ? m_upsert : m_delete);
        write.text(1, service);
        write.text(2, account);
        if (bytes) {
            write.blob(3, *bytes);
        }
        written = write.step() == SQLITE_DONE;
    }
    if (written && exec(m_db, "COMMIT")) {
        return true;
    }
    exec(m_db, "ROLLBACK");
    return false;
}

std::optional<std::uint64_t> SharedStore::increment(std::string_view service,
                                                    std::string_view account) {
    // The write lock is taken before the read, so no other process reads the same old value.
    if (m_upsert == nullptr || !exec(m_db, "BEGIN IMMEDIATE")) {
        return std::nullopt;
    }
    std::optional<std::string> current;
    int read = SQLITE_DONE;
    {
        Use query(m_select);
        query.text(1, service);
        query.text(2, account);
        read = query.step();
        if (read == SQLITE_ROW) {
            current = query.columnBytes(0);
        }
    }
    const std::uint64_t next = parseCount(current) + 1;
    bool written = false;
    if (read == SQLITE_ROW || read == SQLITE_DONE) {
        Use write(m_upsert);
        write.text(1, service);
        write.text(2, account);
        write.blob(3, std::to_string(next));
        written = write.step() == SQLITE_DONE;
    }
    if (written && exec(m_db, "COMMIT")) {
        return next;
    }
    exec(m_db, "ROLLBACK");
    return std::nullopt;
}

} // namespace plannery
