#pragma once

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <chrono>

namespace plannery {

class VdirEventStore;

// Watches the folders of a vdir store (inotify, through QFileSystemWatcher) and reads them again
// once a burst of changes has settled: a sync tool that rewrites thousands of files causes one
// reload, and the store tells its change handler only when something really differs.
class VdirWatcher final : public QObject {
    Q_OBJECT

  public:
    // `store` must outlive the watcher. A burst is taken as settled after `quiet` without a
    // change, or at the latest `longest` after its first change.
    explicit VdirWatcher(VdirEventStore& store, std::chrono::milliseconds quiet = kQuiet,
                         std::chrono::milliseconds longest = kLongest, QObject* parent = nullptr);

    static constexpr std::chrono::milliseconds kQuiet{250};
    static constexpr std::chrono::milliseconds kLongest{2000};

    // Reads the folders now if a change is pending (for tests and before quitting).
    void settle();
    QStringList watchedPaths() const;

  signals:
    // After each reload: whether the store's content changed.
    void reloaded(bool changed);

  private:
    void noteChange();
    void watch();

    VdirEventStore& m_store;
    QFileSystemWatcher m_watcher;
    QTimer m_quietTimer;
    QElapsedTimer m_burst;
    std::chrono::milliseconds m_longest;
};

} // namespace plannery
