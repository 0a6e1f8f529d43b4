#include "store/VdirWatcher.h"

#include "platform/VdirEventStore.h"

#include <QSet>
#include <QString>

#include <filesystem>

namespace plannery {

VdirWatcher::VdirWatcher(VdirEventStore& store, std::chrono::milliseconds quiet,
                         std::chrono::milliseconds longest, QObject* parent)
    : QObject(parent), m_store(store), m_longest(longest) {
    m_quietTimer.setSingleShot(true);
    m_quietTimer.setInterval(quiet);
    connect(&m_quietTimer, &QTimer::timeout, this, &VdirWatcher::settle);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &VdirWatcher::noteChange);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &VdirWatcher::noteChange);
    watch();
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

void VdirWatcher::settle() {
    if (!m_burst.isValid()) {
        return;
    }
    m_quietTimer.stop();
    m_burst.invalidate();
    const bool changed = m_store.reloadIfChanged();
    watch();
    emit reloaded(changed);
}

QStringList VdirWatcher::watchedPaths() const {
    return m_watcher.directories() + m_watcher.files();
}

void VdirWatcher::watch() {
    QSet<QString> wanted;
    for (const auto& path : m_store.watchedPaths()) {
        wanted.insert(QString::fromStdString(path.string()));
    }
    // A root that does not exist yet is watched through the folder it will appear in.
    std::error_code error;
    for (const auto& root : m_store.roots()) {
        if (!std::filesystem::is_directory(root, error) &&
            std::filesystem::is_directory(root.parent_path(), error)) {
            wanted.insert(QString::fromStdString(root.parent_path().string()));
        }
    }
    QStringList stale;
    for (const QString& path : watchedPaths()) {
        if (!wanted.remove(path)) {
            stale.append(path);
        }
    }
    if (!stale.isEmpty()) {
        m_watcher.removePaths(stale);
    }
    if (!wanted.isEmpty()) {
        m_watcher.addPaths(QStringList(wanted.begin(), wanted.end()));
    }
}

} // namespace plannery
