#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <vector>

class QSocketNotifier;

namespace plannery {

// Watches calendar folders with inotify and tells `settled` once a burst of changes in them has
// settled: a sync tool that rewrites thousands of files is one burst. Files written in place
// (an editor, `cat >`, a script) are seen as well as files renamed into place (sync tools), a
// folder that goes away is watched again by its path when it comes back, and an overflowing
// event queue counts as a change of everything. Hidden names (sync tools' temporary files) are
// left out: what they become is seen when it is renamed into place.
class FolderWatcher final : public QObject {
    Q_OBJECT

  public:
    // A burst is taken as settled after `quiet` without a change, or at the latest `longest`
    // after its first change.
    FolderWatcher(std::chrono::milliseconds quiet, std::chrono::milliseconds longest,
                  QObject* parent = nullptr);
    ~FolderWatcher() override;
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // The folders to watch for a store's `watched` paths and `roots`: the paths that are
    // folders, and for a root that does not exist (yet, or any more) the folder it would be in.
    static std::set<QString> foldersFor(const std::vector<std::filesystem::path>& watched,
                                        const std::vector<std::filesystem::path>& roots);

    // Watches exactly these folders from now on; true when one is watched that was not before
    // (files written into it earlier made no event).
    bool watch(const std::set<QString>& folders);
    QStringList watchedPaths() const;

    // Counts as a change: `settled` follows when the burst it belongs to has settled.
    void noteChange();
    // Ends the burst now: `settled` is told at once, and not again for the changes so far.
    void flush();

  signals:
    void settled();

  private:
    void readEvents();
    void forget(int watch);

    int m_inotify = -1;
    QSocketNotifier* m_notifier = nullptr;
    std::map<QString, int> m_watches; // path -> watch descriptor (a folder reached by two paths
                                      // has one descriptor)
    QTimer m_quietTimer;
    QElapsedTimer m_burst;
    std::chrono::milliseconds m_longest;
};

} // namespace plannery
