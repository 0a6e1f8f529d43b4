#pragma once

// The 20,000-event demo calendars that the benchmarks run on, written once per program into a
// temporary folder, with their index cache built.

#include "cli/DemoCalendars.h"
#include "model/Calendar.h"
#include "platform/VdirEventStore.h"
#include "store/CalendarStore.h"

#include <QEventLoop>
#include <QObject>
#include <QSettings>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace plannery::bench {

inline const Calendar& berlin() {
    static const Calendar calendar = *Calendar::make("Europe/Berlin", "en_US", Weekday::monday);
    return calendar;
}

inline Instant at(int year, int month, int day, int hour = 0) {
    return berlin().date(year, month, day, hour).value();
}

struct DemoData {
    std::filesystem::path folder;
    std::filesystem::path root;
    std::filesystem::path cache;

    DemoData() {
        folder = std::filesystem::temp_directory_path() /
                 ("plannery-bench-" + std::to_string(std::random_device{}()));
        root = folder / "calendars";
        cache = folder / "index.sqlite";
        cli::DemoCalendars::write(
            {.folder = root, .events = 20000, .seed = 1, .from = {2025, 6, 1}, .years = 2});
        VdirEventStore warmUp(options());
    }
    ~DemoData() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    DemoData(const DemoData&) = delete;
    DemoData& operator=(const DemoData&) = delete;

    VdirOptions options() const {
        return VdirOptions{.roots = {root}, .cacheFile = cache, .calendar = berlin()};
    }
};

inline const DemoData& demo() {
    static const DemoData data;
    return data;
}

// A calendar store over the demo calendars as the app makes it, with a preferences file of its
// own (`name`, emptied first) and its clock stopped at `now`; `events` is its event store.
struct DemoStore {
    QSettings defaults;
    VdirEventStore* events = nullptr;
    std::unique_ptr<CalendarStore> store;

    DemoStore(const std::string& name, Instant now)
        : defaults(QString::fromStdString((demo().folder / (name + ".conf")).string()),
                   QSettings::IniFormat) {
        defaults.clear();
        auto vdir = std::make_unique<VdirEventStore>(demo().options());
        events = vdir.get();
        store = std::make_unique<CalendarStore>(
            CalendarStore::Services{.eventStore = std::move(vdir),
                                    .scanHandle = [this] { return events->snapshot(); },
                                    .calendar = [] { return berlin(); },
                                    .now = [now] { return now; },
                                    .defaults = &defaults,
                                    .keychain = nullptr});
    }

    // The first mirror scan may change the groups and empty the month cache; benchmarks that
    // measure what comes after it wait for it.
    void waitForMirrorScan() {
        QEventLoop scanned;
        QObject::connect(store.get(), &CalendarStore::mirrorScanFinished, &scanned,
                         &QEventLoop::quit);
        QTimer::singleShot(60 * 1000, &scanned, &QEventLoop::quit);
        scanned.exec();
    }
};

} // namespace plannery::bench
