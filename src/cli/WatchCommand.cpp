#include "cli/WatchCommand.h"

#include "cli/OpenStore.h"
#include "store/VdirCalendarStore.h"

#include <QCoreApplication>
#include <QFileSystemWatcher>

#include <csignal>
#include <sys/stat.h>

namespace plannery::cli {

namespace {

void quitOnSignal(int) {
    QCoreApplication::quit();
}

// A folder as it was when watching began: a root renamed, removed or replaced by another
// folder of the same name is no longer the one watched.
struct Watched {
    std::filesystem::path path;
    dev_t device = 0;
    ino_t inode = 0;

    bool stillThere() const {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_dev == device &&
               info.st_ino == inode;
    }
};

} // namespace

int runWatch(const WatchOptions& options, std::ostream& out, std::ostream& err) {
    int argc = 1;
    char name[] = "plannery";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const auto roots = rootsOrDefault(options.roots);
    std::vector<Watched> watched;
    QFileSystemWatcher rootWatcher;
    for (const auto& root : roots) {
        struct stat info {};
        if (::stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            err << "plannery: The calendar folder " << root.string() << " does not exist.\n";
            return 1;
        }
        watched.push_back(Watched{.path = root, .device = info.st_dev, .inode = info.st_ino});
        // A folder's own watch does not see it renamed; its parent's does.
        rootWatcher.addPath(QString::fromStdString(root.string()));
        rootWatcher.addPath(QString::fromStdString(root.parent_path().string()));
    }
    // A root moved away leaves nothing to watch: said so, and the command ends.
    bool gone = false;
    const auto rootsGone = [&] {
        for (const auto& root : watched) {
            if (!gone && !root.stillThere()) {
                gone = true;
                err << "plannery: The calendar folder " << root.path.string()
                    << " was moved away or removed; watching stops." << std::endl;
                QCoreApplication::exit(1);
            }
        }
        return gone;
    };
    QObject::connect(&rootWatcher, &QFileSystemWatcher::directoryChanged, rootsGone);
    auto store = makeVdirCalendarStore(
        VdirSetup{.roots = roots, .zone = options.zone, .ownAddresses = options.emails});
    int changes = 0;
    QObject::connect(store.get(), &CalendarStore::revisionChanged, [&] {
        if (rootsGone()) {
            return;
        }
        out << "revision " << store->revision() << std::endl;
        if (options.changes && ++changes >= *options.changes) {
            QCoreApplication::quit();
        }
    });
    // The first scan finds the mirrored calendars (the command keeps no preferences), which
    // moves the revision too: said so, so that it is not taken for a change on disk.
    QObject::connect(store.get(), &CalendarStore::mirrorsChanged, [&] {
        out << "mirror groups: " << store->mirrors().groups().size() << std::endl;
    });
    std::signal(SIGINT, quitOnSignal);
    std::signal(SIGTERM, quitOnSignal);
    out << "watching " << store->eventStore().calendars().size() << " calendars, revision "
        << store->revision() << std::endl;
    return QCoreApplication::exec();
}

} // namespace plannery::cli
