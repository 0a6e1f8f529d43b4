#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace plannery {

// Serialises opening a database file between processes (an flock on "<file>.lock"), so that one
// never moves aside or rebuilds a file that another has just created. Held while it lives.
class OpenLock {
  public:
    OpenLock(const std::filesystem::path& file, std::chrono::milliseconds wait);
    ~OpenLock();
    OpenLock(const OpenLock&) = delete;
    OpenLock& operator=(const OpenLock&) = delete;

    bool locked() const { return m_locked; }
    // Why the lock could not be taken, in a few words; empty when it was.
    const std::string& problem() const { return m_problem; }

  private:
    int m_fd = -1;
    bool m_locked = false;
    std::string m_problem;
};

} // namespace plannery
