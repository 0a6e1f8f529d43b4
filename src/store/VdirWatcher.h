#pragma once

#include "platform/VdirEventStore.h"
#include "store/FolderWatcher.h"

#include <QObject>
#include <QStringList>

#include <chrono>
#include <memory>

namespace plannery {

// Watches the folders of a vdir store (see FolderWatcher) and reads them again, away from the
// main thread, once a burst of changes has settled: a sync tool that rewrites thousands of files
// causes one reload, and the store tells its change handler only when something really differs.
class VdirWatcher final : public QObject {
    Q_OBJECT

  public:
    // `store` must outlive the watcher. A burst is taken as settled after `quiet` without a
    // change, or at the latest `longest` after its first change.
    explicit VdirWatcher(VdirEventStore& store, std::chrono::milliseconds quiet = kQuiet,
                         std::chrono::milliseconds longest = kLongest, QObject* parent = nullptr);
    ~VdirWatcher() override;

    static constexpr std::chrono::milliseconds kQuiet{250};
    static constexpr std::chrono::milliseconds kLongest{2000};

    // Reads the folders now, as a change would, checking every file (the app does so after its
    // first paint when it opened on a quick look at the folders).
    void checkNow();
    // Files were written through another handle of the store: read now, and drop a reload under
    // way, which may have read the folders before the write.
    void writtenElsewhere();
    QStringList watchedPaths() const { return m_folders.watchedPaths(); }

  signals:
    // After each reload: whether the store's content changed.
    void reloaded(bool changed);

  private:
    void settle();
    void finished(const std::shared_ptr<VdirEventStore::Reload>& result);
    // Watches what the store names now; true when a folder is watched that was not before.
    bool watch();

    VdirEventStore& m_store;
    FolderWatcher m_folders;
    bool m_reading = false; // a reload runs in the background
    bool m_again = false;   // changes came in while it ran
    bool m_stale = false;   // what it read is older than a write made meanwhile
};

} // namespace plannery
