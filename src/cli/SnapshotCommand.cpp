#include "cli/SnapshotCommand.h"

#include "cli/OpenStore.h"
#include "grid/TimeGridDays.h"
#include "store/VdirCalendarStore.h"
#include "views/TimeGridView.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QTimer>

#include <cmath>

namespace plannery::cli {

namespace {

constexpr int kFailed = 1;

TimeGridSpan spanOf(GridMode mode) {
    switch (mode) {
    case GridMode::day:
        return TimeGridSpan::days(1);
    case GridMode::threeDays:
        return TimeGridSpan::days(3);
    case GridMode::workWeek:
        return TimeGridSpan::workWeek();
    case GridMode::week:
        return TimeGridSpan::week();
    }
    return TimeGridSpan::week();
}

// The first mirror scan merges copies across calendars; a picture taken before it would show
// them twice. It normally takes milliseconds; the wait is bounded all the same.
void waitForMirrors(CalendarStore& store) {
    if (store.status() != AuthorizationStatus::fullAccess) {
        return;
    }
    QEventLoop loop;
    QObject::connect(&store, &CalendarStore::mirrorScanFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
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
        const auto& d = options.now->date;
        const int minute = options.now->minuteOfDay.value_or(10 * 60);
        now = calendar.date(d.year, d.month, d.day, minute / 60, minute % 60);
    }

    const auto roots = rootsOrDefault(options.roots);
    for (const auto& root : roots) {
        std::error_code error;
        if (!options.roots.empty() && !std::filesystem::is_directory(root, error)) {
            err << "plannery: The calendar folder " << root.string() << " does not exist.\n";
            return kFailed;
        }
    }
    auto store = makeVdirCalendarStore(VdirSetup{.roots = roots, .zone = options.zone});
    waitForMirrors(*store);

    TimeGridView view(spanOf(options.mode), store->calendar());
    view.setEventsProvider([&store](Instant day) { return store->events(day); });
    view.setAnchor(anchor);
    if (now) {
        view.setNow(*now);
    }
    if (options.hourHeight) {
        view.setHourHeight(*options.hourHeight);
    }
    if (options.fitHours) {
        view.setFitHours(
            TimeGridHourRange::normalized(options.fitHours->first, options.fitHours->second));
    }
    view.resize(options.width, options.height);

    QImage image(static_cast<int>(std::ceil(options.width * options.scale)),
                 static_cast<int>(std::ceil(options.height * options.scale)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(options.scale);
    image.fill(Qt::transparent);
    view.render(&image);
    if (!image.save(QString::fromStdString(options.out.string()), "PNG")) {
        err << "plannery: The picture could not be written to " << options.out.string() << ".\n";
        return kFailed;
    }
    out << options.out.string() << "\n";
    return 0;
}

} // namespace plannery::cli
