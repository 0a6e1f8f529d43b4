#include "platform/PrivateFolder.h"

#include "platform/Sentences.h"

#include <cerrno>
#include <system_error>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

namespace plannery::PrivateFolder {

namespace fs = std::filesystem;

namespace {

enum class Making { missingLevels, nothing };

// A clause for the user, through translation.
std::string tr(const char* text, std::initializer_list<std::string_view> args = {}) {
    return translated("PrivateFolder", text, args);
}

std::string errnoText(int error) {
    return std::generic_category().message(error);
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    int get() const { return m_fd; }

  private:
    int m_fd = -1;
};

// Opens one level below `parent` without following a symbolic link; what is wrong otherwise.
std::optional<std::string> openLevel(const Descriptor& parent, const fs::path& path, Making making,
                                     Descriptor& level) {
    const std::string name = path.filename().string();
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(parent.get(), name.c_str(), kFlags);
    if (fd < 0 && errno == ENOENT && making == Making::missingLevels) {
        if (::mkdirat(parent.get(), name.c_str(), 0700) != 0 && errno != EEXIST) {
            return tr("the folder \u201C%1\u201D could not be created (%2)",
                      {path.string(), errnoText(errno)});
        }
        fd = ::openat(parent.get(), name.c_str(), kFlags);
    }
    if (fd >= 0) {
        level = Descriptor(fd);
        return std::nullopt;
    }
    const int error = errno;
    struct stat status {};
    if (::fstatat(parent.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(status.st_mode)) {
            return tr("\u201C%1\u201D is a symbolic link", {path.string()});
        }
        if (!S_ISDIR(status.st_mode)) {
            return tr("\u201C%1\u201D is not a folder", {path.string()});
        }
    }
    return tr("the folder \u201C%1\u201D cannot be opened (%2)", {path.string(), errnoText(error)});
}

// What is wrong with one level of the way; `last` is the folder itself.
std::optional<std::string> judge(const Descriptor& level, const fs::path& path, bool last,
                                 const User& user) {
    struct stat status {};
    if (::fstat(level.get(), &status) != 0) {
        return tr("the folder \u201C%1\u201D cannot be checked (%2)",
                  {path.string(), errnoText(errno)});
    }
    const uid_t owner = user.ownerOf ? user.ownerOf(path, status.st_uid) : status.st_uid;
    if (owner != user.uid && (last || owner != 0)) {
        return tr("the folder \u201C%1\u201D belongs to another user", {path.string()});
    }
    if (last && (status.st_mode & 077) != 0) {
        return tr("the folder \u201C%1\u201D is open to other users", {path.string()});
    }
    if (!last && (status.st_mode & 022) != 0 && (status.st_mode & S_ISVTX) == 0) {
        return tr("other users can change the folder \u201C%1\u201D", {path.string()});
    }
    return std::nullopt;
}

std::optional<std::string> walk(const fs::path& folder, const User& user, Making making) {
    std::error_code error;
    fs::path target = fs::absolute(folder, error).lexically_normal();
    if (error) {
        return tr("the folder \u201C%1\u201D cannot be found (%2)",
                  {folder.string(), error.message()});
    }
    if (target.has_relative_path() && target.filename().empty()) {
        target = target.parent_path(); // a trailing separator
    }
    std::vector<fs::path> levels{target.root_path()};
    for (const fs::path& name : target.relative_path()) {
        levels.push_back(levels.back() / name);
    }
    Descriptor current(::open(levels.front().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (current.get() < 0) {
        return tr("the folder \u201C%1\u201D cannot be opened (%2)",
                  {levels.front().string(), errnoText(errno)});
    }
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (i > 0) {
            Descriptor next(-1);
            if (auto problem = openLevel(current, levels[i], making, next)) {
                return problem;
            }
            current = std::move(next);
        }
        if (auto problem = judge(current, levels[i], i + 1 == levels.size(), user)) {
            return problem;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> make(const fs::path& folder, const User& user) {
    return walk(folder, user, Making::missingLevels);
}

std::optional<std::string> check(const fs::path& folder, const User& user) {
    return walk(folder, user, Making::nothing);
}

std::optional<std::string> closeFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder.parent_path(), error);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return errnoText(errno);
    }
    const Descriptor opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat status {};
    if (opened.get() < 0 || ::fstat(opened.get(), &status) != 0) {
        return errno == ENOTDIR ? tr("it is not a folder") : errnoText(errno);
    }
    if ((status.st_mode & 077) != 0) {
        ::fchmod(opened.get(), status.st_mode & 07700);
    }
    return std::nullopt;
}

std::optional<std::string> closeFile(const fs::path& file) {
    const Descriptor opened(::open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (opened.get() < 0) {
        return errnoText(errno);
    }
    struct stat status {};
    if (::fstat(opened.get(), &status) == 0 && (status.st_mode & 077) != 0) {
        ::fchmod(opened.get(), status.st_mode & 07700);
    }
    return std::nullopt;
}

} // namespace plannery::PrivateFolder
