#include "app/PlanneryApp.h"

#include "app/AppSheets.h"
#include "app/MainWindow.h"
#include "app/NavigationState.h"
#include "app/SingleInstance.h"
#include "app/WidgetProcess.h"
#include "platform/DesktopApps.h"
#include "platform/FreedMemory.h"
#include "platform/Sentences.h"
#include "platform/VdirEventStore.h"
#include "store/LinkOpener.h"
#include "store/SharedKeychain.h"
#include "store/VdirCalendarStore.h"
#include "store/WidgetCenter.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QUrl>

#include <chrono>

namespace plannery {

namespace {

QStringList qtArguments(const std::vector<std::string>& arguments) {
    QStringList list;
    for (const auto& argument : arguments) {
        list.push_back(QString::fromStdString(argument));
    }
    return list;
}

// What "Open System Calendar" starts: the desktop's program for calendar files, if there is one.
std::function<void()> systemCalendar() {
    const auto command =
        DesktopApps::defaultCommand("text/calendar", DesktopApps::sessionFolders());
    if (!command) {
        return {};
    }
    return [command = *command] {
        const QStringList words = qtArguments(command);
        QProcess::startDetached(words.front(), words.mid(1));
    };
}

} // namespace

int runApp(const AppOptions& options, std::chrono::steady_clock::time_point started,
           std::ostream& out, std::ostream& err) {
    for (const auto& problem : options.problems) {
        err << "plannery: " << problem << "\n";
    }
    returnLargeBlocksWhenFreed();
    int argc = 1;
    char name[] = "plannery";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Plannery"));
    QApplication::setOrganizationName(QStringLiteral("Plannery"));
    QApplication::setApplicationDisplayName(QStringLiteral("Plannery"));
    QApplication::setDesktopFileName(QStringLiteral("org.plannery.Plannery"));

    // A start that only measures runs on its own; any other hands over to a running window of
    // the user's. Where that cannot be done safely, this start has a window of its own.
    const SingleInstance::Place place = SingleInstance::defaultPlace();
    SingleInstance instance(place.socket);
    const bool single = !options.quitAfterFirstPaint && !place.socket.isEmpty();
    if (place.problem) {
        err << "plannery: "
            << translated("PlanneryApp", "This window does not receive later starts: %1.",
                          {*place.problem})
            << "\n";
    }
    if (single) {
        switch (instance.forward(QString::fromStdString(options.url.value_or("")))) {
        case SingleInstance::Forwarded::toRunning:
            return 0;
        case SingleInstance::Forwarded::refused:
            err << "plannery: "
                << translated("PlanneryApp", "Another user's program answers in Plannery's "
                                             "place; this window is a separate one.")
                << "\n";
            break;
        case SingleInstance::Forwarded::noneRunning:
            break;
        }
    }

    QSettings defaults(QStringLiteral("Plannery"), QStringLiteral("Plannery"));
    auto store = makeVdirCalendarStore(VdirSetup{
        .roots = options.roots,
        .cacheFile = {},
        .defaults = &defaults,
        .keychain = &SharedKeychain::standard(),
        .zone = options.zone,
        // A quick look first; every file is compared once the window shows.
        .check = VdirOptions::Check::changedFolders,
    });

    // The widget process reads the calendars this window reads.
    const auto shareRoots = [&store] {
        if (const auto* vdir = dynamic_cast<const VdirEventStore*>(&store->eventStore())) {
            WidgetCenter::shareRoots(SharedKeychain::standard(), vdir->roots());
        }
    };
    shareRoots();
    QObject::connect(store.get(), &CalendarStore::statusChanged, &app, shareRoots);

    LaunchOptions launch =
        NavigationState::readLaunchOptions(options.launchArguments, &defaults, store->calendar());
    for (const auto& problem : launch.problems) {
        err << "plannery: " << problem << "\n";
    }

    RootView::Setup setup{
        .store = store.get(),
        .defaults = &defaults,
        .launch = launch,
        .clock = {},
        .sheets = appSheets(*store, defaults),
        .outside = {
            .openURL = [](const std::string& url) { LinkOpener::open(url); },
            .openSystemCalendar = systemCalendar(),
            .openAccessSettings =
                [roots = options.roots] {
                    // Access is refused when a calendar folder cannot be read: show the
                    // folder, where its permissions can be fixed.
                    const auto folder =
                        roots.empty() ? VdirEventStore::defaultRoot() : roots.front();
                    LinkOpener::showFolder(folder.parent_path());
                },
            .placeWidget = &WidgetProcess::place,
            .widgetAutostart = &WidgetProcess::autostart,
            .setWidgetAutostart = &WidgetProcess::setAutostart,
        },
    };
    MainWindow window(std::move(setup));
    if (single) {
        instance.listen([&window](const QString& message) { window.openLink(message); });
    }
    if (options.url) {
        window.rootView().navigation().openURL(QUrl(QString::fromStdString(*options.url)));
    }
    // The first paint read its months at once; from then on they load on a worker, and every
    // file is compared with the index.
    QObject::connect(&window.rootView(), &RootView::firstPaint, store.get(), [&store] {
        store->loadInBackground();
        checkEveryFile(*store);
    });
    if (options.quitAfterFirstPaint) {
        QObject::connect(&window.rootView(), &RootView::firstPaint, &app, [&] {
            const auto elapsed = std::chrono::steady_clock::now() - started;
            out << "first paint after "
                << std::chrono::duration<double, std::milli>(elapsed).count() << " ms\n";
            out.flush();
            QApplication::quit();
        });
    }
    window.show();
    return QApplication::exec();
}

} // namespace plannery
