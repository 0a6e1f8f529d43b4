#include "platform/AtomicFile.h"

#include "platform/OpenLock.h"
#include "platform/Sentences.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace plannery::vdir {

namespace fs = std::filesystem;

namespace {

std::string quoted(const fs::path& path) {
    return "\u201C" + path.string() + "\u201D";
}

// A sentence for the user, through translation.
std::string tr(const char* text, std::initializer_list<std::string_view> args = {}) {
    return translated("AtomicFile", text, args);
}

std::string sentenceFor(int error, const fs::path& path) {
    const fs::path folder = path.parent_path();
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return tr("The calendar folder %1 cannot be written.", {quoted(folder)});
    case ENOSPC:
    case EDQUOT:
        return tr("The disk that holds %1 is full; nothing was saved.", {quoted(folder)});
    case ENOENT:
    case ENOTDIR:
        return tr("The calendar folder %1 no longer exists.", {quoted(folder)});
    default:
        return tr("The calendar file %1 could not be written (%2).",
                  {quoted(path), std::strerror(error)});
    }
}

// A name the folder scan skips: hidden, and not ending in ".ics".
fs::path temporaryName(const fs::path& path) {
    static std::atomic<unsigned> counter{0};
    return path.parent_path() / ("." + path.filename().string() + "." + std::to_string(::getpid()) +
                                 "-" + std::to_string(counter.fetch_add(1)) + ".tmp");
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(std::size_t(written));
    }
    return true;
}

void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Puts the temporary file at `path` only when nothing is there: a file that another program
// created meanwhile is never replaced.
int placeNew(const fs::path& temporary, const fs::path& path) {
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return errno;
    }
    // File systems without the exclusive rename: a hard link fails when the name is taken.
    if (::link(temporary.c_str(), path.c_str()) == 0) {
        ::unlink(temporary.c_str());
        return 0;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP) {
        return errno;
    }
    // Neither: check, then rename (a race remains only on such file systems).
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        return EEXIST;
    }
    return ::rename(temporary.c_str(), path.c_str()) == 0 ? 0 : errno;
}

FileWriteResult failure(std::string sentence) {
    FileWriteResult result;
    result.error = std::move(sentence);
    return result;
}

void pause(WriteStep step, const fs::path& path) {
    if (testing::pauseAt != nullptr) {
        testing::pauseAt(step, path);
    }
}

// Whether the file at `path` is the one that was read: the same inode, size and modification
// time, and the same bytes (a writer that writes into the file within one tick of the clock
// changes neither its size nor its time).
bool holds(const fs::path& path, const ReadFile& expected) {
    if (statFile(path) != expected.stamp) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    std::string bytes;
    char buffer[65536];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 || bytes.size() + std::size_t(got) > expected.bytes.size()) {
            ::close(fd);
            return false;
        }
        bytes.append(buffer, std::size_t(got));
    }
    ::close(fd);
    return bytes == expected.bytes;
}

std::optional<std::int64_t> inodeOf(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(info.st_ino);
}

bool exchange(const fs::path& a, const fs::path& b) {
    if (testing::withoutExchange) {
        errno = EINVAL;
        return false;
    }
    return ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
}

// The folder's lock, taken for a replacement or a removal; a sentence when it cannot be had.
std::optional<std::string> lockProblem(const OpenLock& lock, const fs::path& path) {
    if (lock.locked()) {
        return std::nullopt;
    }
    if (lock.error() != 0) {
        return sentenceFor(lock.error(), path);
    }
    return tr("Another Plannery kept the calendar folder %1 busy; nothing was saved. Try again.",
              {quoted(path.parent_path())});
}

constexpr std::chrono::seconds kLockWait{10};

fs::path lockFile(const fs::path& path) {
    const std::string_view name = kLockName;
    return path.parent_path() / name.substr(0, name.size() - std::string_view(".lock").size());
}

// Puts the new file (under `temporary`) in the place of the old one when the old one is still the
// one that was read. The two swap names in one step; what was swapped out is then compared with
// what was read, and swapped back when it differs. Returns 0, or an errno (EEXIST: changed on
// disk).
int replace(const fs::path& temporary, const fs::path& path, const ReadFile& expected) {
    const auto ours = inodeOf(temporary);
    // Checked first, so that a change seen here never shows the new file to anyone.
    if (!holds(path, expected)) {
        return EEXIST;
    }
    pause(WriteStep::replacing, path);
    if (!exchange(temporary, path)) {
        if (errno == ENOENT) {
            return EEXIST; // removed meanwhile
        }
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
            return errno;
        }
        // File systems without the exchange (some network and FUSE file systems): checked again
        // right before a plain rename, under the folder's lock. Writers of this program cannot
        // lose each other's changes; another program that replaces the file between this check
        // and the rename (a few microseconds) can still lose its change there.
        if (!holds(path, expected)) {
            return EEXIST;
        }
        return ::rename(temporary.c_str(), path.c_str()) == 0 ? 0 : errno;
    }
    pause(WriteStep::swapped, path);
    if (holds(temporary, expected)) {
        ::unlink(temporary.c_str());
        return 0;
    }
    // Not the file that was read: it goes back. Should another program have put a file of its own
    // in place of ours meanwhile, that one is the latest and stays where it is; should it have
    // removed ours, the file that was there goes back all the same.
    if (!exchange(temporary, path)) {
        if (placeNew(temporary, path) != 0) {
            ::unlink(temporary.c_str());
        }
        return EEXIST;
    }
    if (inodeOf(temporary) != ours) {
        exchange(temporary, path);
    }
    ::unlink(temporary.c_str());
    return EEXIST;
}

} // namespace

bool isLeftover(std::string_view name) {
    if (!name.starts_with('.') || !name.ends_with(".tmp")) {
        return false;
    }
    name.remove_suffix(4);
    const auto dash = name.rfind('-');
    const auto dot = name.rfind('.', dash);
    if (dash == std::string_view::npos || dot == std::string_view::npos || dot == 0) {
        return false;
    }
    const auto pidText = name.substr(dot + 1, dash - dot - 1);
    const auto counterText = name.substr(dash + 1);
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.size() < 10 &&
               std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(pidText) || !digits(counterText)) {
        return false;
    }
    const auto pid = static_cast<pid_t>(std::stol(std::string(pidText)));
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

FileWriteResult writeFile(const fs::path& path, std::string_view bytes,
                          const std::optional<ReadFile>& expected) {
    if (path.filename().empty()) {
        return failure(tr("The calendar file %1 has no name.", {quoted(path)}));
    }
    std::error_code ignored;
    if (expected ? statFile(path) != expected->stamp
                 : fs::exists(fs::symlink_status(path, ignored))) {
        return failure(std::string(kChangedOnDisk));
    }
    mode_t mode = 0644;
    if (struct stat info{}; expected && ::stat(path.c_str(), &info) == 0) {
        mode = info.st_mode & 07777;
    }
    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = temporaryName(path);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST) {
            return failure(sentenceFor(errno, path));
        }
    }
    if (fd < 0) {
        return failure(sentenceFor(EEXIST, path));
    }
    auto abandon = [&](int error) {
        if (fd >= 0) {
            ::close(fd);
        }
        ::unlink(temporary.c_str());
        return failure(sentenceFor(error, path));
    };
    // The mode given to open() is narrowed by the umask; an existing file keeps its own.
    if (expected) {
        ::fchmod(fd, mode);
    }
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        return abandon(errno);
    }
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) {
        return abandon(errno);
    }
    // The new file's identity, taken before it has the name: once the lock is let go, another
    // writer may already have replaced it there.
    const auto stamp = statFile(temporary);
    int error = 0;
    if (expected) {
        const OpenLock lock(lockFile(path), kLockWait, 0644);
        if (auto problem = lockProblem(lock, path)) {
            ::unlink(temporary.c_str());
            return failure(*problem);
        }
        error = replace(temporary, path, *expected);
    } else {
        error = placeNew(temporary, path);
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return failure(error == EEXIST ? std::string(kChangedOnDisk) : sentenceFor(error, path));
    }
    syncFolder(path.parent_path());
    FileWriteResult result;
    result.stamp = stamp;
    return result;
}

WriteResult removeFile(const fs::path& path, const ReadFile& expected) {
    WriteResult result;
    if (statFile(path) != expected.stamp) {
        result.error = std::string(kChangedOnDisk);
        return result;
    }
    const OpenLock lock(lockFile(path), kLockWait, 0644);
    if (auto problem = lockProblem(lock, path)) {
        result.error = std::move(problem);
        return result;
    }
    if (!holds(path, expected)) {
        result.error = std::string(kChangedOnDisk);
        return result;
    }
    pause(WriteStep::removing, path);
    // Taken aside in one step and compared there: a file a sync put in its place meanwhile is
    // not the one compared, and a change made before is seen.
    const fs::path aside = temporaryName(path);
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) != 0 &&
        ((errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) ||
         ::rename(path.c_str(), aside.c_str()) != 0)) {
        result.error = errno == ENOENT ? std::string(kChangedOnDisk) : sentenceFor(errno, path);
        return result;
    }
    pause(WriteStep::setAside, path);
    if (holds(aside, expected)) {
        ::unlink(aside.c_str());
        syncFolder(path.parent_path());
        return result;
    }
    // It goes back, unless a file took its name meanwhile: that one is newer and stays.
    if (placeNew(aside, path) != 0) {
        ::unlink(aside.c_str());
    }
    result.error = std::string(kChangedOnDisk);
    return result;
}

} // namespace plannery::vdir
