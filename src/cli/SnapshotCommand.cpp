#include "cli/SnapshotCommand.h"

#include "app/AppSheets.h"
#include "app/MainWindow.h"
#include "cli/EventLookup.h"
#include "cli/OpenStore.h"
#include "store/LinkOpener.h"
#include "store/VdirCalendarStore.h"
#include "views/AgendaListView.h"
#include "views/FourWeeksView.h"
#include "views/StoreDays.h"
#include "views/TimeGridBinding.h"
#include "views/TimeGridView.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <memory>

namespace plannery::cli {

namespace {

constexpr int kFailed = 1;

// The first mirror scan merges copies across calendars; a picture taken before it would show
// them twice. It normally takes milliseconds; the wait is bounded all the same.
void waitForMirrors(CalendarStore& store) {
    if (!store.hasAccess()) {
        return;
    }
    QEventLoop loop;
    QObject::connect(&store, &CalendarStore::mirrorScanFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
}

// The grid's hours as the options choose them; the app's defaults otherwise.
TimeGridPreferences gridPreferences(const SnapshotOptions& options) {
    TimeGridPreferences preferences;
    if (options.hourHeight) {
        preferences.gridFitHours = false;
        preferences.gridHourHeight = *options.hourHeight;
    }
    if (options.fitHours) {
        preferences.gridFitHours = true;
        preferences.gridFitStartHour = options.fitHours->first;
        preferences.gridFitEndHour = options.fitHours->second;
    }
    return preferences;
}

// The view of the mode alone, on the store's days, at the anchor, with the clock stopped at
// `now`.
std::unique_ptr<QWidget> makeView(const SnapshotOptions& options, CalendarStore& store,
                                  Instant anchor, Instant now) {
    if (options.mode == ViewMode::agenda) {
        auto view = std::make_unique<AgendaListView>(store.calendar());
        view->setNow(now);
        view->setAnchor(anchor);
        view->setDaySource(new StoreDays(store, view.get()));
        return view;
    }
    if (options.mode == ViewMode::fourWeeks) {
        auto view = std::make_unique<FourWeeksView>(store.calendar());
        view->setNow(now);
        view->setAnchor(anchor);
        view->setDaySource(new StoreDays(store, view.get()));
        return view;
    }
    auto view = std::make_unique<TimeGridView>(
        ViewModes::gridSpan(options.mode).value_or(TimeGridSpan::week()), store.calendar());
    view->setNow(now);
    view->setAnchor(anchor);
    view->setDaySource(new StoreDays(store, view.get()));
    if (options.hourHeight) {
        view->setHourHeight(*options.hourHeight);
    }
    if (options.fitHours) {
        view->setFitHours(
            TimeGridHourRange::normalized(options.fitHours->first, options.fitHours->second));
    }
    return view;
}

} // namespace

int runSnapshot(const SnapshotOptions& options, std::ostream& out, std::ostream& err) {
    // Rendering needs no display: unless told otherwise, Qt draws offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int argc = 1;
    char name[] = "plannery";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    const Calendar calendar = Calendar::currentIn(options.zone);
    const auto noon =
        calendar.date(options.anchor.year, options.anchor.month, options.anchor.day, 12);
    if (!noon) {
        err << "plannery: The --anchor day cannot be placed in the time zone.\n";
        return kFailed;
    }
    const Instant anchor = calendar.startOfDay(*noon);
    // Pictures repeat: "now" is 10:00 of the anchor's day unless given.
    std::optional<Instant> now =
        calendar.date(options.anchor.year, options.anchor.month, options.anchor.day, 10);
    if (options.now) {
        DateTime at = *options.now;
        at.minuteOfDay = at.minuteOfDay.value_or(10 * 60);
        now = instantOf(at, calendar);
    }

    const auto roots = rootsOrDefault(options.roots);
    for (const auto& root : roots) {
        std::error_code error;
        if (!options.roots.empty() && !std::filesystem::is_directory(root, error)) {
            err << "plannery: The calendar folder " << root.string() << " does not exist.\n";
            return kFailed;
        }
    }
    auto store = makeVdirCalendarStore(
        VdirSetup{.roots = roots, .zone = options.zone, .ownAddresses = options.emails});
    waitForMirrors(*store);

    const Instant shownNow = now.value_or(anchor);
    std::unique_ptr<QWidget> picture;
    // The window's preferences live in a folder of their own, so that a picture neither reads
    // nor changes the user's.
    QTemporaryDir preferencesFolder;
    std::unique_ptr<QSettings> preferences;
    if (options.window) {
        if (!preferencesFolder.isValid()) {
            err << "plannery: No temporary folder could be made for the window's settings.\n";
            return kFailed;
        }
        preferences = std::make_unique<QSettings>(preferencesFolder.filePath("plannery.ini"),
                                                  QSettings::IniFormat);
        preferences->setValue("mode", QString::fromUtf8(ViewModes::rawValue(options.mode).data()));
        writeTimeGridPreferences(*preferences, gridPreferences(options));
        // The window as the app has it, with its sheets and links, though nothing opens them.
        picture = std::make_unique<MainWindow>(RootView::Setup{
            .store = store.get(),
            .defaults = preferences.get(),
            .launch = LaunchOptions{.anchor = anchor},
            .clock = [shownNow] { return shownNow; },
            .sheets = appSheets(*store, *preferences),
            .outside = {.openURL = [](const std::string& url) { LinkOpener::open(url); },
                        .openSystemCalendar = {},
                        .openAccessSettings = {}},
        });
    } else {
        picture = makeView(options, *store, anchor, shownNow);
    }
    picture->resize(options.width, options.height);
    // Shown (offscreen) so that layouts settle and the views lay out their pages as on screen.
    picture->show();
    QApplication::processEvents();

    QImage image(static_cast<int>(std::ceil(options.width * options.scale)),
                 static_cast<int>(std::ceil(options.height * options.scale)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(options.scale);
    image.fill(Qt::transparent);
    picture->render(&image);
    if (!image.save(QString::fromStdString(options.out.string()), "PNG")) {
        err << "plannery: The picture could not be written to " << options.out.string() << ".\n";
        return kFailed;
    }
    out << options.out.string() << "\n";
    return 0;
}

} // namespace plannery::cli
