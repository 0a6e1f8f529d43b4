#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <sys/types.h>

namespace plannery {

// Serialises work on a file between processes (an flock on "<file>.lock", created with `mode`):
// opening a database file, so that one never moves aside or rebuilds a file that another has
// just created, or replacing calendar files in a folder. Held while it lives.
class OpenLock {
  public:
    OpenLock(const std::filesystem::path& file, std::chrono::milliseconds wait, mode_t mode = 0600);
    ~OpenLock();
    OpenLock(const OpenLock&) = delete;
    OpenLock& operator=(const OpenLock&) = delete;

    bool locked() const { return m_locked; }
    // Why the lock could not be taken, in a few words; empty when it was.
    const std::string& problem() const { return m_problem; }
    // The error of opening the lock file; 0 when it opened.
    int error() const { return m_error; }

  private:
    int m_fd = -1;
    int m_error = 0;
    bool m_locked = false;
    std::string m_problem;
};

} // namespace plannery
