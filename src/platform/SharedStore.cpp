#include "platform/SharedStore.h"

#include "platform/OpenLock.h"
#include "platform/PrivateFolder.h"
#include "platform/Sentences.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <system_error>
#include <thread>
#include <utility>

#include <sqlite3.h>

namespace plannery {

namespace {

namespace fs = std::filesystem;

// Raise when the items table changes meaning.
constexpr int kSchemaVersion = 1;
// The other process holds the write lock only for one small transaction; a few seconds covers a
// slow disk without making a stuck process look like a hang.
constexpr std::chrono::milliseconds kBusyWait{5000};

constexpr const char* kSelect = "SELECT data FROM items WHERE service = ?1 AND account = ?2";

constexpr const char* kSchema = R"sql(
CREATE TABLE items(service TEXT NOT NULL, account TEXT NOT NULL, data BLOB NOT NULL,
                   PRIMARY KEY(service, account)) WITHOUT ROWID;
)sql";

// A sentence or clause for the user, through translation.
std::string tr(const char* text, std::initializer_list<std::string_view> args = {}) {
    return translated("SharedStore", text, args);
}

void say(const std::string& sentence) {
    std::fprintf(stderr, "%s\n", sentence.c_str());
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

Inspection failure(const sqlite::Database& db) {
    return {db.damaged() ? Verdict::foreign : Verdict::failed, db.problem()};
}

Inspection createSchema(sqlite::Database& db) {
    sqlite::Transaction transaction(db);
    if (!transaction.began()) {
        return failure(db);
    }
    const std::string version = "PRAGMA user_version=" + std::to_string(kSchemaVersion);
    if (!db.exec(kSchema) || !db.exec(version) || !transaction.commit()) {
        return failure(db);
    }
    return {Verdict::usable, {}};
}

// Whether the file is a store of ours, creating the table in an empty one. Only damage or a
// foreign database is a reason to move it aside; a busy or unwritable file is not.
Inspection inspect(sqlite::Database& db) {
    // Garbage fails here already: switching the journal reads the header.
    if (!db.exec("PRAGMA journal_mode=WAL")) {
        return failure(db);
    }
    // In WAL mode this still never leaves a damaged file; a power cut may cost the last write,
    // which the app writes again on its next settings change.
    db.exec("PRAGMA synchronous=NORMAL");
    int ignored = 0;
    std::string verdict;
    // The file is a few pages: checking it whole is cheap and catches damage past the header.
    if (db.queryInt("PRAGMA quick_check", ignored, &verdict) != SQLITE_OK) {
        return failure(db);
    }
    if (verdict != "ok") {
        return {Verdict::foreign, tr("it is damaged")};
    }
    int version = 0;
    if (db.queryInt("PRAGMA user_version", version) != SQLITE_OK) {
        return failure(db);
    }
    if (version != 0) {
        // Ours, or a later version's that kept the items table: the statements tell.
        return {Verdict::usable, {}};
    }
    int tables = 0;
    if (db.queryInt("SELECT count(*) FROM sqlite_master", tables) != SQLITE_OK) {
        return failure(db);
    }
    if (tables != 0) {
        return {Verdict::foreign, tr("it belongs to another program")};
    }
    return createSchema(db);
}

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
        say(tr("Cannot use the shared settings store %1: %2.", {file.string(), why}));
        return nullptr;
    };
    // The folder holds nothing but this store, and the settings are the user's alone: SQLite would
    // make the file readable by everyone. The journal files it adds later copy the file's mode.
    if (const auto problem = PrivateFolder::closeFolder(file.parent_path())) {
        return cannotUse(*problem);
    }
    const OpenLock lock(file, kBusyWait);
    if (!lock.locked()) {
        return cannotUse(lock.problem());
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (const auto problem = PrivateFolder::closeFile(file)) {
            return cannotUse(*problem);
        }
        sqlite::Database db =
            sqlite::Database::open(file, sqlite::Database::Access::readWrite, kBusyWait);
        if (!db.ok()) {
            return cannotUse(db.problem());
        }
        Inspection inspection = inspect(db);
        if (inspection.verdict == Verdict::usable) {
            std::unique_ptr<SharedStore> store(new SharedStore(std::move(db), file));
            if (store->prepare()) {
                return store;
            }
            inspection = store->m_db.errorCode() == SQLITE_ERROR
                             ? Inspection{Verdict::foreign, tr("its items are not in a known form")}
                             : failure(store->m_db);
            store.reset();
        }
        if (inspection.verdict == Verdict::failed) {
            return cannotUse(inspection.reason);
        }
        // The connection is closed before the file moves.
        db = {};
        const auto aside = moveAside(file);
        if (!aside) {
            return cannotUse(tr("%1, and it could not be moved aside", {inspection.reason}));
        }
        say(tr("The shared settings store %1 was unusable (%2); it was moved to %3 and started "
               "afresh.",
               {file.string(), inspection.reason, aside->string()}));
    }
    return cannotUse(tr("a fresh file could not be started"));
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
    sqlite::Database db = sqlite::Database::open(file, sqlite::Database::Access::readOnly, wait);
    if (!db.ok()) {
        return {.store = nullptr, .problem = ReadProblem::unreadable};
    }
    int tables = 0;
    if (db.queryInt("SELECT count(*) FROM sqlite_master", tables) != SQLITE_OK) {
        const ReadProblem problem = db.damaged() ? ReadProblem::damaged
                                    : db.busy()  ? ReadProblem::busy
                                                 : ReadProblem::unreadable;
        return {.store = nullptr, .problem = problem};
    }
    std::unique_ptr<SharedStore> store(new SharedStore(std::move(db), file));
    // A database without our items table is some other program's.
    store->m_select = store->m_db.prepare(kSelect);
    if (!store->m_select.ok()) {
        return {.store = nullptr, .problem = ReadProblem::damaged};
    }
    return {.store = std::move(store), .problem = ReadProblem::missing};
}

SharedStore::SharedStore(sqlite::Database db, fs::path file)
    : m_db(std::move(db)), m_file(std::move(file)) {}

SharedStore::~SharedStore() = default;

// The statements double as the check of the table's shape: a table without these columns or
// without the (service, account) key fails to prepare.
bool SharedStore::prepare() {
    // One at a time: the code of the first that fails tells a foreign table from a failing file.
    m_select = m_db.prepare(kSelect);
    if (!m_select.ok()) {
        return false;
    }
    m_upsert = m_db.prepare("INSERT INTO items(service, account, data) VALUES(?1, ?2, ?3) "
                            "ON CONFLICT(service, account) DO UPDATE SET data = excluded.data");
    if (!m_upsert.ok()) {
        return false;
    }
    m_delete = m_db.prepare("DELETE FROM items WHERE service = ?1 AND account = ?2");
    return m_delete.ok();
}

std::optional<std::string> SharedStore::data(std::string_view service, std::string_view account) {
    Lookup found = lookup(service, account);
    if (found.found != Lookup::Found::item) {
        return std::nullopt;
    }
    return std::move(found.bytes);
}

SharedStore::Lookup SharedStore::lookup(std::string_view service, std::string_view account) {
    const sqlite::Use use(m_select);
    m_select.bind(1, service);
    m_select.bind(2, account);
    switch (m_select.step() & 0xff) {
    case SQLITE_ROW:
        return {.found = Lookup::Found::item, .bytes = m_select.columnBlob(0)};
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
    if (!m_upsert.ok()) {
        return false;
    }
    sqlite::Transaction transaction(m_db);
    if (!transaction.began()) {
        return false;
    }
    sqlite::Statement& write = bytes ? m_upsert : m_delete;
    bool written = false;
    {
        const sqlite::Use use(write);
        write.bind(1, service);
        write.bind(2, account);
        if (bytes) {
            write.bindBlob(3, *bytes);
        }
        written = write.step() == SQLITE_DONE;
    }
    return written && transaction.commit();
}

std::optional<std::uint64_t> SharedStore::increment(std::string_view service,
                                                    std::string_view account) {
    if (!m_upsert.ok()) {
        return std::nullopt;
    }
    // The write lock is taken before the read, so no other process reads the same old value.
    sqlite::Transaction transaction(m_db);
    if (!transaction.began()) {
        return std::nullopt;
    }
    std::optional<std::string> current;
    int read = SQLITE_DONE;
    {
        const sqlite::Use use(m_select);
        m_select.bind(1, service);
        m_select.bind(2, account);
        read = m_select.step();
        if (read == SQLITE_ROW) {
            current = m_select.columnBlob(0);
        }
    }
    const std::uint64_t next = parseCount(current) + 1;
    bool written = false;
    if (read == SQLITE_ROW || read == SQLITE_DONE) {
        const sqlite::Use use(m_upsert);
        m_upsert.bind(1, service);
        m_upsert.bind(2, account);
        m_upsert.bindBlob(3, std::to_string(next));
        written = m_upsert.step() == SQLITE_DONE;
    }
    if (written && transaction.commit()) {
        return next;
    }
    return std::nullopt;
}

} // namespace plannery
