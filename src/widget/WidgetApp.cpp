#include "widget/WidgetApp.h"

#include "agenda/WidgetSizes.h"
#include "platform/VdirEventStore.h"
#include "platform/XdgPaths.h"
#include "store/LinkOpener.h"
#include "store/SharedKeychain.h"
#include "widget/WidgetCalendars.h"
#include "widget/WidgetClock.h"
#include "widget/WidgetOptions.h"
#include "widget/WidgetRender.h"
#include "widget/WidgetWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace plannery {

namespace {

bool hasDisplay() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

int runWindows(const WidgetOptions& options, std::ostream& err) {
    auto calendars = std::make_unique<WidgetCalendars>(WidgetCalendars::Setup{
        .roots = options.roots,
        .sharedFile = SharedKeychain::storeFile(SharedKeychain::accessGroup(), xdg::dataHome()),
        .cacheFile = VdirEventStore::defaultCacheFile(),
        .zone = options.zone,
        .watch = true,
    });
    std::optional<Instant> start;
    if (options.now) {
        start = parseWidgetNow(*options.now, calendars->calendar());
        if (!start) {
            err << "plannery-widget: The time \"" << *options.now
                << "\" is not YYYY-MM-DDTHH:MM or an ISO 8601 instant with its offset.\n";
            return 1;
        }
    }
    WidgetClock clock(start, options.minuteMs);
    QSettings positions(QStringLiteral("Plannery"), QStringLiteral("PlanneryWidget"));
    const std::vector<WidgetFamily> families =
        options.families.empty() ? std::vector{WidgetFamily::systemMedium} : options.families;
    std::vector<std::unique_ptr<WidgetWindow>> windows;
    for (std::size_t i = 0; i < families.size(); ++i) {
        const WidgetSizes::Size points = WidgetSizes{}.of(families[i]);
        const QSize size = options.size ? QSize(options.size->first, options.size->second)
                                        : QSize(static_cast<int>(std::ceil(points.width)),
                                                static_cast<int>(std::ceil(points.height)));
        windows.push_back(std::make_unique<WidgetWindow>(WidgetWindow::Setup{
            .family = families[i],
            .calendars = calendars.get(),
            .now = [&clock] { return clock.now(); },
            .size = size,
            .appearance = options.appearance,
            .textSize = options.textSize,
            .positions = &positions,
            .openLink = [](const QString& url) { openAppLink(url.toStdString()); },
            .desktopLayer = true,
            .index = static_cast<int>(i),
        }));
    }
    const auto redrawAll = [&windows] {
        for (const auto& window : windows) {
            window->redraw();
        }
    };
    QObject::connect(calendars.get(), &WidgetCalendars::changed, redrawAll);
    QObject::connect(&clock, &WidgetClock::minute, [&] {
        // The reload counter and the settings are looked at every minute too, in case a change
        // notification was missed; a missing root may have come back.
        calendars->checkShared();
        if (!calendars->content(clock.now()).hasAccess) {
            calendars->checkFolders();
        }
        redrawAll();
    });
    for (const auto& window : windows) {
        window->show();
    }
    clock.start();
    const int status = QApplication::exec();
    windows.clear();
    return status;
}

} // namespace

void openAppLink(const std::string& url) {
    LinkOpener::open(url, [](const std::string& link) {
        const QString sibling =
            QCoreApplication::applicationDirPath() + QStringLiteral("/plannery");
        const QFileInfo app(sibling);
        if (app.isFile() && app.isExecutable()) {
            QProcess::startDetached(sibling, {QString::fromStdString(link)});
            return;
        }
        LinkOpener::open(link);
    });
}

int runWidget(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    const WidgetOptions options = parseWidgetOptions(arguments);
    if (options.help) {
        out << widgetUsage();
        return 0;
    }
    if (!options.problems.empty()) {
        for (const std::string& problem : options.problems) {
            err << "plannery-widget: " << problem << "\n";
        }
        err << widgetUsage();
        return 2;
    }
    if (options.renderFile) {
        // A picture needs no screen: draw offscreen whatever display there is.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (!hasDisplay()) {
        err << "plannery-widget: There is no display to show a widget on; --render FILE.png "
               "draws one into a picture instead.\n";
        return 1;
    }
    int argc = 1;
    char name[] = "plannery-widget";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PlanneryWidget"));
    QApplication::setOrganizationName(QStringLiteral("Plannery"));
    QApplication::setDesktopFileName(QStringLiteral("org.plannery.PlanneryWidget"));
    if (options.renderFile) {
        return WidgetRender::run(options, err);
    }
    return runWindows(options, err);
}

} // namespace plannery
