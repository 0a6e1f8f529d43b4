#include "store/VdirWatcher.h"

#include <QFutureWatcher>
#include <QSocketNotifier>
#include <QtConcurrent/QtConcurrentRun>

#include <filesystem>
#include <set>

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

VdirWatcher::VdirWatcher(VdirEventStore& store, std::chrono::milliseconds quiet,
                         std::chrono::milliseconds longest, QObject* parent)
    : QObject(parent), m_store(store), m_longest(longest) {
    m_quietTimer.setSingleShot(true);
    m_quietTimer.setInterval(quiet);
    connect(&m_quietTimer, &QTimer::timeout, this, &VdirWatcher::settle);
    m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotify >= 0) {
        m_notifier =
            new QSocketNotifier(static_cast<qintptr>(m_inotify), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &VdirWatcher::readEvents);
    }
    watch();
}

VdirWatcher::~VdirWatcher() {
    delete m_notifier; // before its descriptor closes
    if (m_inotify >= 0) {
        ::close(m_inotify);
    }
}

void VdirWatcher::readEvents() {
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
                // Hidden names are sync tools' temporary files and state; what they become is
                // seen when it is renamed into place.
                relevant = true;
            }
        }
    }
    if (relevant) {
        noteChange();
    }
}

void VdirWatcher::forget(int watch) {
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

void VdirWatcher::noteChange() {
    if (!m_burst.isValid()) {
        m_burst.start();
    }
    // Waiting for quiet, but not for ever: a folder that never stops changing is still read
    // every `longest`.
    if (!m_quietTimer.isActive() || m_burst.elapsed() < m_longest.count()) {
        m_quietTimer.start();
    }
}

void VdirWatcher::checkNow() {
    settle();
}

void VdirWatcher::settle() {
    m_quietTimer.stop();
    m_burst.invalidate();
    if (m_reading) {
        m_again = true;
        return;
    }
    m_reading = true;
    using Result = std::shared_ptr<VdirEventStore::Reload>;
    auto* reading = new QFutureWatcher<Result>(this);
    connect(reading, &QFutureWatcherBase::finished, this, [this, reading] {
        reading->deleteLater();
        finished(reading->future().resultCount() > 0 ? reading->result() : nullptr);
    });
    reading->setFuture(QtConcurrent::run(m_store.reloadTask()));
}

void VdirWatcher::finished(const std::shared_ptr<VdirEventStore::Reload>& result) {
    m_reading = false;
    const std::optional<bool> changed = m_store.applyReload(result);
    // Files written into a folder before it was watched made no event: it is read once more.
    if (watch()) {
        noteChange();
    }
    if (changed) {
        emit reloaded(*changed);
    }
    // Read before the store's own write, or while more changes came in: read again.
    if (!changed || m_again) {
        m_again = false;
        settle();
    }
}

QStringList VdirWatcher::watchedPaths() const {
    QStringList paths;
    for (const auto& [path, watch] : m_watches) {
        paths.append(path);
    }
    return paths;
}

bool VdirWatcher::watch() {
    if (m_inotify < 0) {
        return false;
    }
    // Folders only: a file written in place is seen through the folder that holds it.
    std::set<QString> wanted;
    std::error_code error;
    for (const auto& path : m_store.watchedPaths()) {
        if (std::filesystem::is_directory(path, error)) {
            wanted.insert(QString::fromStdString(path.string()));
        }
    }
    // A root that does not exist yet is watched through the folder it will appear in.
    for (const auto& root : m_store.roots()) {
        if (!std::filesystem::is_directory(root, error) &&
            std::filesystem::is_directory(root.parent_path(), error)) {
            wanted.insert(QString::fromStdString(root.parent_path().string()));
        }
    }
    for (auto it = m_watches.begin(); it != m_watches.end();) {
        if (wanted.contains(it->first)) {
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
    for (const QString& path : wanted) {
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
