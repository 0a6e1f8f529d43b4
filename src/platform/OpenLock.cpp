#include "platform/OpenLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace plannery {

OpenLock::OpenLock(const std::filesystem::path& file, std::chrono::milliseconds wait) {
    m_fd = ::open((file.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        m_problem = std::generic_category().message(errno);
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            m_problem = "another process keeps it locked";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    m_locked = true;
}

OpenLock::~OpenLock() {
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
}

} // namespace plannery
