#include "platform/OpenLock.h"

#include "platform/Sentences.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace plannery {

OpenLock::OpenLock(const std::filesystem::path& file, std::chrono::milliseconds wait, mode_t mode) {
    // Read access is all an flock needs, so others may share a lock file they cannot write.
    m_fd = ::open((file.string() + ".lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, mode);
    if (m_fd < 0) {
        m_error = errno;
        m_problem = std::generic_category().message(m_error);
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            m_problem = translated("OpenLock", "another process keeps it locked");
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
