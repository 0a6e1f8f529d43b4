#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// The few SQLite calls Plannery's own database files need, with their lifetimes and errors
// handled in one place: a connection and its statements close when they go, a write transaction
// rolls back unless committed, and a failure reads as a sentence.
namespace plannery::sqlite {

// One prepared statement. One that failed to prepare is not ok(), and running it fails.
class Statement {
  public:
    Statement() = default;
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;

    bool ok() const { return m_statement != nullptr; }
    // Ready to run again; a query stepped part way lets go of its read lock.
    void reset();
    // Text and bytes are copied. An empty one is still text or bytes, never NULL. Binding to a
    // statement that is not ok() does nothing.
    void bind(int index, std::string_view text);
    void bindBlob(int index, std::string_view bytes);
    void bind(int index, std::int64_t number);
    void bind(int index, double number);
    void bindNull(int index);
    // SQLITE_ROW, SQLITE_DONE or the error's code.
    int step();
    int columnInt(int column) const;
    std::int64_t columnInt64(int column) const;
    std::string columnText(int column) const;
    std::string columnBlob(int column) const;
    // The column's bytes where SQLite keeps them, until the next step or reset.
    std::string_view columnView(int column) const;

  private:
    friend class Database;
    explicit Statement(sqlite3_stmt* statement) : m_statement(statement) {}

    sqlite3_stmt* m_statement = nullptr;
};

// Resets a statement that is kept for many calls when the call that ran it returns, so that it
// holds no lock between calls.
class Use {
  public:
    explicit Use(Statement& statement) : m_statement(statement) {}
    ~Use() { m_statement.reset(); }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

  private:
    Statement& m_statement;
};

// One connection. Statements may outlive it: the file closes when the last of them goes.
class Database {
  public:
    enum class Access { readWrite, readOnly };

    // Opens the file (readWrite creates it when missing); waits up to `busyWait` whenever another
    // connection holds the lock. Not ok() when it could not be opened; problem() says why. A file
    // that is not a database opens, and its first statement fails.
    static Database open(const std::filesystem::path& file, Access access,
                         std::chrono::milliseconds busyWait);

    Database() = default;
    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;

    bool ok() const { return m_db != nullptr && m_opened; }
    // Runs statements that return no rows; false on the first that fails.
    bool exec(const std::string& sql);
    Statement prepare(const std::string& sql);
    // A one-row query's first column as a number (or, with `text`, also as text); the code of
    // its step, SQLITE_OK when there was a row.
    int queryInt(const std::string& sql, int& value, std::string* text = nullptr);

    // The primary code of the last failure (SQLITE_BUSY, SQLITE_CORRUPT, ...).
    int errorCode() const;
    // The file is damaged or not a database at all.
    bool damaged() const;
    // Another connection holds the lock it needed.
    bool busy() const;
    // Why the last call failed, as the end of a sentence: "it is not a readable database".
    std::string problem() const;

    std::int64_t lastInsertRow() const;
    bool inTransaction() const;

  private:
    sqlite3* m_db = nullptr;
    bool m_opened = false;
};

// A write transaction. BEGIN IMMEDIATE takes the write lock first, so that what is read inside
// cannot change before the write; rolled back unless commit() succeeds.
class Transaction {
  public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // False when the write lock could not be taken; nothing is then written.
    bool began() const { return m_began; }
    bool commit();

  private:
    Database& m_db;
    bool m_began = false;
    bool m_committed = false;
};

} // namespace plannery::sqlite
