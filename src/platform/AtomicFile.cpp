#include "platform/AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
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

std::string sentenceFor(int error, const fs::path& path) {
    const fs::path folder = path.parent_path();
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return "The calendar folder " + quoted(folder) + " cannot be written.";
    case ENOSPC:
    case EDQUOT:
        return "The disk that holds " + quoted(folder) + " is full; nothing was saved.";
    case ENOENT:
    case ENOTDIR:
        return "The calendar folder " + quoted(folder) + " no longer exists.";
    default:
        return "The calendar file " + quoted(path) + " could not be written (" +
               std::strerror(error) + ").";
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
                          const std::optional<FileStamp>& expected) {
    if (path.filename().empty()) {
        return failure("The calendar file " + quoted(path) + " has no name.");
    }
    std::error_code ignored;
    if (expected ? statFile(path) != expected : fs::exists(fs::symlink_status(path, ignored))) {
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
    if (expected) {
        // Checked again right before the rename: a sync may have written meanwhile.
        if (statFile(path) != expected) {
            ::unlink(temporary.c_str());
            return failure(std::string(kChangedOnDisk));
        }
        if (::rename(temporary.c_str(), path.c_str()) != 0) {
            return abandon(errno);
        }
    } else if (const int error = placeNew(temporary, path); error != 0) {
        ::unlink(temporary.c_str());
        return failure(error == EEXIST ? std::string(kChangedOnDisk) : sentenceFor(error, path));
    }
    syncFolder(path.parent_path());
    FileWriteResult result;
    result.stamp = statFile(path);
    return result;
}

WriteResult removeFile(const fs::path& path, const FileStamp& expected) {
    WriteResult result;
    if (statFile(path) != expected) {
        result.error = std::string(kChangedOnDisk);
        return result;
    }
    if (::unlink(path.c_str()) != 0) {
        result.error = sentenceFor(errno, path);
        return result;
    }
    syncFolder(path.parent_path());
    return result;
}

} // namespace plannery::vdir
