#include "store/VdirWatcher.h"

#include "store/BackgroundPool.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace plannery {

VdirWatcher::VdirWatcher(VdirEventStore& store, std::chrono::milliseconds quiet,
                         std::chrono::milliseconds longest, QObject* parent)
    : QObject(parent), m_store(store), m_folders(quiet, longest) {
    connect(&m_folders, &FolderWatcher::settled, this, &VdirWatcher::settle);
    watch();
}

VdirWatcher::~VdirWatcher() = default;

void VdirWatcher::checkNow() {
    m_folders.flush();
}

void VdirWatcher::writtenElsewhere() {
    m_stale = m_reading;
    checkNow();
}

void VdirWatcher::settle() {
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
    reading->setFuture(QtConcurrent::run(&backgroundPool(), m_store.reloadTask()));
}

void VdirWatcher::finished(const std::shared_ptr<VdirEventStore::Reload>& result) {
    m_reading = false;
    const std::optional<bool> changed =
        std::exchange(m_stale, false) ? std::nullopt : m_store.applyReload(result);
    // Files written into a folder before it was watched made no event: it is read once more.
    if (watch()) {
        m_folders.noteChange();
    }
    if (changed) {
        emit reloaded(*changed);
    }
    // Read before the store's own write, or while more changes came in: read again.
    if (!changed || m_again) {
        m_again = false;
        m_folders.flush();
    }
}

bool VdirWatcher::watch() {
    return m_folders.watch(FolderWatcher::foldersFor(m_store.watchedPaths(), m_store.roots()));
}

} // namespace plannery
