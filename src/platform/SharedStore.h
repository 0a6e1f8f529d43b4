#pragma once

#include "platform/Sqlite.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace plannery {

// Small items by (service, account) in one SQLite file that the app and the widget process open
// at the same time. Every write is one transaction that takes the write lock first, so two
// processes writing together never lose each other's items. Unlike the index cache this file
// holds the user's settings: only a file that is not a database of ours is ever replaced, and
// then it is moved aside, never deleted.
class SharedStore {
  public:
    // Creates the folder (0700) and the file (0600) when missing. A file that is not SQLite, or
    // some other program's database, is renamed to "<name>.corrupt-<UTC time>" and started
    // afresh. nullptr, with one sentence on stderr, when the file cannot be used at all.
    static std::unique_ptr<SharedStore> open(const std::filesystem::path& file);
    // Why a store could not be opened for reading.
    enum class ReadProblem { missing, busy, damaged, unreadable };
    struct Reader {
        std::unique_ptr<SharedStore> store{}; // null when there is a problem
        ReadProblem problem = ReadProblem::missing;
    };
    // An existing store opened only to read, as the widget process opens it: nothing is created,
    // repaired or moved aside, so a reader never disturbs the app's file. Waits at most `wait`
    // for a process that is opening or repairing it.
    static Reader openForReading(const std::filesystem::path& file, std::chrono::milliseconds wait);

    ~SharedStore();
    SharedStore(const SharedStore&) = delete;
    SharedStore& operator=(const SharedStore&) = delete;

    // The stored bytes; absent when there is no such item or the file cannot be read.
    std::optional<std::string> data(std::string_view service, std::string_view account);
    // One item, telling a missing item from a store that is busy or cannot be read.
    struct Lookup {
        enum class Found { item, none, busy, failed } found = Found::none;
        std::string bytes{};
    };
    Lookup lookup(std::string_view service, std::string_view account);
    // Adds or replaces the item, or deletes it when absent (deleting a missing item succeeds);
    // false when the write failed.
    bool set(const std::optional<std::string>& bytes, std::string_view service,
             std::string_view account);
    // Adds one to the decimal number the item holds (a missing or non-numeric item counts as 0)
    // without another process's increment slipping in between; the new value, or absent when
    // the write failed.
    std::optional<std::uint64_t> increment(std::string_view service, std::string_view account);

    const std::filesystem::path& file() const { return m_file; }

  private:
    SharedStore(sqlite::Database db, std::filesystem::path file);
    bool prepare();

    sqlite::Database m_db;
    std::filesystem::path m_file;
    sqlite::Statement m_select;
    sqlite::Statement m_upsert; // none when opened for reading
    sqlite::Statement m_delete;
};

} // namespace plannery
