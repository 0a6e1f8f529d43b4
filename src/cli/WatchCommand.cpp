#include "cli/WatchCommand.h"

#include "cli/OpenStore.h"
#include "store/VdirCalendarStore.h"

#include <QCoreApplication>

#include <csignal>

namespace plannery::cli {

namespace {

void quitOnSignal(int) {
    QCoreApplication::quit();
}

} // namespace

int runWatch(const WatchOptions& options, std::ostream& out, std::ostream& err) {
    int argc = 1;
    char name[] = "plannery";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const auto roots = rootsOrDefault(options.roots);
    for (const auto& root : roots) {
        std::error_code error;
        if (!std::filesystem::is_directory(root, error)) {
            err << "plannery: The calendar folder " << root.string() << " does not exist.\n";
            return 1;
        }
    }
    auto store = makeVdirCalendarStore(
        VdirSetup{.roots = roots, .zone = options.zone, .ownAddresses = options.emails});
    int changes = 0;
    QObject::connect(store.get(), &CalendarStore::revisionChanged, [&] {
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
