#include "store/FolderWatcher.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

namespace plannery {

namespace {

// Whatever changes what a folder holds: files written in place and closed, renamed in or out,
// created or deleted, and the folder itself going away.
constexpr std::uint32_t kEvents = IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO | IN_CREATE |
                                  IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

} // namespace

FolderWatcher::FolderWatcher(std::chrono::milliseconds quiet, std::chrono::milliseconds longest,
                             QObject* parent)
    : QObject(parent), m_longest(longest) {
    m_quietTimer.setSingleShot(true);
    m_quietTimer.setInterval(quiet);
    connect(&m_quietTimer, &QTimer::timeout, this, &FolderWatcher::flush);
}

FolderWatcher::~FolderWatcher() {
    delete m_notifier; // before its descriptor closes
    if (m_inotify >= 0) {
        ::close(m_inotify);
    }
}

std::set<QString> FolderWatcher::foldersFor(const std::vector<std::filesystem::path>& watched,
                                            const std::vector<std::filesystem::path>& roots) {
    // Folders only: a file written in place is seen through the folder that holds it.
    std::set<QString> folders;
    std::error_code error;
    for (const auto& path : watched) {
        if (std::filesystem::is_directory(path, error)) {
            folders.insert(QString::fromStdString(path.string()));
        }
    }
    for (const auto& root : roots) {
        if (!std::filesystem::is_directory(root, error) &&
            std::filesystem::is_directory(root.parent_path(), error)) {
            folders.insert(QString::fromStdString(root.parent_path().string()));
        }
    }
    return folders;
}

void FolderWatcher::readEvents() {
    alignas(inotify_event) char buffer[64 * 1024];
    bool relevant = false;
    for (;;) {
        const ssize_t length = ::read(m_inotify, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR) {
            continue;
        }
        if (length <= 0) {
            break; // all read
        }
        for (const char* at = buffer; at < buffer + length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            at += sizeof(inotify_event) + event->len;
            if (event->mask & IN_Q_OVERFLOW) {
                relevant = true; // events were lost: only reading everything is safe
            } else if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
                // The folder went (or moved elsewhere): watched again by its path if it comes
                // back.
                forget(event->wd);
                relevant = relevant || (event->mask & IN_IGNORED) == 0;
            } else if (event->len == 0 || event->name[0] != '.') {
                relevant = true;
            }
        }
    }
    if (relevant) {
        noteChange();
    }
}

void FolderWatcher::forget(int watch) {
    bool known = false;
    for (auto it = m_watches.begin(); it != m_watches.end();) {
        if (it->second == watch) {
            known = true;
            it = m_watches.erase(it);
        } else {
            ++it;
        }
    }
    if (known) {
        ::inotify_rm_watch(m_inotify, watch); // already gone unless the folder only moved
    }
}

void FolderWatcher::noteChange() {
    if (!m_burst.isValid()) {
        m_burst.start();
    }
    // Waiting for quiet, but not for ever: a folder that never stops changing is still told
    // every `longest`.
    if (!m_quietTimer.isActive() || m_burst.elapsed() < m_longest.count()) {
        m_quietTimer.start();
    }
}

void FolderWatcher::flush() {
    m_quietTimer.stop();
    m_burst.invalidate();
    emit settled();
}

QStringList FolderWatcher::watchedPaths() const {
    QStringList paths;
    for (const auto& [path, watch] : m_watches) {
        paths.append(path);
    }
    return paths;
}

bool FolderWatcher::watch(const std::set<QString>& folders) {
    // Opened with the first folder: a user has few inotify instances to spend.
    if (m_inotify < 0 && !folders.empty()) {
        m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_inotify >= 0) {
            m_notifier =
                new QSocketNotifier(static_cast<qintptr>(m_inotify), QSocketNotifier::Read, this);
            connect(m_notifier, &QSocketNotifier::activated, this, &FolderWatcher::readEvents);
        }
    }
    if (m_inotify < 0) {
        return false;
    }
    for (auto it = m_watches.begin(); it != m_watches.end();) {
        if (folders.contains(it->first)) {
            ++it;
            continue;
        }
        const int watch = it->second;
        it = m_watches.erase(it);
        const bool shared = std::any_of(m_watches.begin(), m_watches.end(),
                                        [&](const auto& entry) { return entry.second == watch; });
        if (!shared) {
            ::inotify_rm_watch(m_inotify, watch);
        }
    }
    bool added = false;
    for (const QString& path : folders) {
        if (m_watches.contains(path)) {
            continue;
        }
        const int watch = ::inotify_add_watch(m_inotify, path.toStdString().c_str(), kEvents);
        if (watch >= 0) {
            m_watches.emplace(path, watch);
            added = true;
        }
    }
    return added;
}

} // namespace plannery
