#include "platform/Sqlite.h"

#include <sqlite3.h>

#include <utility>

namespace plannery::sqlite {

Statement::~Statement() {
    sqlite3_finalize(m_statement);
}

Statement::Statement(Statement&& other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_statement = std::exchange(other.m_statement, nullptr);
    }
    return *this;
}

void Statement::reset() {
    if (m_statement == nullptr) {
        return;
    }
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

void Statement::bind(int index, std::string_view text) {
    sqlite3_bind_text(m_statement, index, text.empty() ? "" : text.data(),
                      static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Statement::bindBlob(int index, std::string_view bytes) {
    sqlite3_bind_blob(m_statement, index, bytes.empty() ? "" : bytes.data(),
                      static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

void Statement::bind(int index, std::int64_t number) {
    sqlite3_bind_int64(m_statement, index, number);
}

void Statement::bind(int index, double number) {
    sqlite3_bind_double(m_statement, index, number);
}

void Statement::bindNull(int index) {
    sqlite3_bind_null(m_statement, index);
}

int Statement::step() {
    return m_statement == nullptr ? SQLITE_MISUSE : sqlite3_step(m_statement);
}

int Statement::columnInt(int column) const {
    return sqlite3_column_int(m_statement, column);
}

std::int64_t Statement::columnInt64(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

std::string Statement::columnText(int column) const {
    const auto* text = sqlite3_column_text(m_statement, column);
    return text == nullptr
               ? std::string{}
               : std::string(reinterpret_cast<const char*>(text),
                             static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)));
}

std::string Statement::columnBlob(int column) const {
    return std::string(columnView(column));
}

std::string_view Statement::columnView(int column) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
    return bytes == nullptr
               ? std::string_view{}
               : std::string_view(
                     bytes, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)));
}

Database Database::open(const std::filesystem::path& file, Access access,
                        std::chrono::milliseconds busyWait) {
    const int flags = (access == Access::readWrite ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                                                   : SQLITE_OPEN_READONLY) |
                      SQLITE_OPEN_NOMUTEX;
    Database db;
    db.m_opened = sqlite3_open_v2(file.c_str(), &db.m_db, flags, nullptr) == SQLITE_OK;
    if (db.m_opened) {
        sqlite3_busy_timeout(db.m_db, static_cast<int>(busyWait.count()));
    }
    return db;
}

// A connection whose statements are still around closes when the last of them is finalized.
Database::~Database() {
    sqlite3_close_v2(m_db);
}

Database::Database(Database&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_opened(std::exchange(other.m_opened, false)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        sqlite3_close_v2(m_db);
        m_db = std::exchange(other.m_db, nullptr);
        m_opened = std::exchange(other.m_opened, false);
    }
    return *this;
}

bool Database::exec(const std::string& sql) {
    return ok() && sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

Statement Database::prepare(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (!ok() || sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return {};
    }
    return Statement(statement);
}

int Database::queryInt(const std::string& sql, int& value, std::string* text) {
    Statement query = prepare(sql);
    if (!query.ok()) {
        return ok() ? errorCode() : SQLITE_CANTOPEN;
    }
    const int code = query.step();
    if (code != SQLITE_ROW) {
        return code;
    }
    value = query.columnInt(0);
    if (text != nullptr) {
        *text = query.columnText(0);
    }
    return SQLITE_OK;
}

int Database::errorCode() const {
    return m_db == nullptr ? SQLITE_NOMEM : sqlite3_errcode(m_db) & 0xff;
}

bool Database::damaged() const {
    const int code = errorCode();
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

bool Database::busy() const {
    const int code = errorCode();
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

std::string Database::problem() const {
    if (m_db == nullptr) {
        return "there is not enough memory to open it";
    }
    if (damaged()) {
        return "it is not a readable database";
    }
    if (busy()) {
        return "another program kept it locked for too long";
    }
    return sqlite3_errmsg(m_db);
}

std::int64_t Database::lastInsertRow() const {
    return sqlite3_last_insert_rowid(m_db);
}

bool Database::inTransaction() const {
    return ok() && sqlite3_get_autocommit(m_db) == 0;
}

Transaction::Transaction(Database& db) : m_db(db), m_began(db.exec("BEGIN IMMEDIATE")) {}

Transaction::~Transaction() {
    if (m_began && !m_committed) {
        m_db.exec("ROLLBACK");
    }
}

bool Transaction::commit() {
    m_committed = m_began && m_db.exec("COMMIT");
    return m_committed;
}

} // namespace plannery::sqlite
