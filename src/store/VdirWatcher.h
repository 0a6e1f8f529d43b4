#pragma once

#include "platform/VdirEventStore.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <map>
#include <memory>

class QSocketNotifier;

namespace plannery {

// Watches the folders of a vdir store with inotify and reads them again, away from the main
// thread, once a burst of changes has settled: a sync tool that rewrites thousands of files
// causes one reload, and the store tells its change handler only when something really differs.
// Files written in place (an editor, `cat >`, a script) are seen as well as files renamed into
// place (sync tools), and an overflowing event queue means a full read.
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
    QStringList watchedPaths() const;

  signals:
    // After each reload: whether the store's content changed.
    void reloaded(bool changed);

  private:
    void readEvents();
    void forget(int watch);
    void noteChange();
    void settle();
    void finished(const std::shared_ptr<VdirEventStore::Reload>& result);
    // Watches what the store names now; true when a folder is watched that was not before.
    bool watch();

    VdirEventStore& m_store;
    int m_inotify = -1;
    QSocketNotifier* m_notifier = nullptr;
    std::map<QString, int> m_watches; // path -> watch descriptor (a folder reached by two paths
                                      // has one descriptor)
    QTimer m_quietTimer;
    QElapsedTimer m_burst;
    std::chrono::milliseconds m_longest;
    bool m_reading = false; // a reload runs in the background
    bool m_again = false;   // changes came in while it ran
};

} // namespace plannery
