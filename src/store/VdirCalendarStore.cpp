#include "store/VdirCalendarStore.h"

#include "platform/VdirEventStore.h"
#include "store/CalendarIDMigration.h"
#include "store/CalendarPreferences.h"
#include "store/DayWatcher.h"
#include "store/VdirWatcher.h"

#include <QSettings>
#include <QStringList>

namespace plannery {

namespace {

constexpr const char* kRootsKey = "calendarRoots";

std::function<Calendar()> calendarFor(const std::optional<std::string>& zone) {
    return [zone] { return Calendar::currentIn(zone); };
}

} // namespace

std::vector<std::filesystem::path> configuredRoots(QSettings& defaults) {
    std::vector<std::filesystem::path> roots;
    for (const QString& root : defaults.value(kRootsKey).toStringList()) {
        if (!root.isEmpty()) {
            roots.emplace_back(root.toStdString());
        }
    }
    if (roots.empty()) {
        roots.push_back(VdirEventStore::defaultRoot());
    }
    return roots;
}

std::unique_ptr<CalendarStore> makeVdirCalendarStore(const VdirSetup& setup) {
    const auto calendar = calendarFor(setup.zone);
    const bool keepRoots = setup.roots.empty() && setup.defaults != nullptr;
    if (setup.defaults != nullptr) {
        // Settings name calendars as the roots kept in the preferences found them.
        CalendarIDMigration::migrate(setup.defaults, setup.keychain,
                                     configuredRoots(*setup.defaults));
    }
    auto ownAddresses =
        setup.ownAddresses.value_or(CalendarPreferences::read(setup.defaults).ownAddresses);
    VdirOptions options{.roots = !setup.roots.empty() ? setup.roots
                                 : setup.defaults     ? configuredRoots(*setup.defaults)
                                                      : std::vector{VdirEventStore::defaultRoot()},
                        .cacheFile = setup.cacheFile.empty() ? VdirEventStore::defaultCacheFile()
                                                             : setup.cacheFile,
                        .calendar = calendar(),
                        .check = setup.check,
                        .ownAddresses = std::move(ownAddresses),
                        .rootsChanged = {}};
    if (keepRoots) {
        // Roots added when access was granted are the user's from then on.
        options.rootsChanged = [defaults = setup.defaults](const auto& roots) {
            QStringList list;
            for (const auto& root : roots) {
                list.append(QString::fromStdString(root.string()));
            }
            defaults->setValue(kRootsKey, list);
        };
    }
    auto vdir = std::make_unique<VdirEventStore>(std::move(options));
    VdirEventStore& events = *vdir;
    CalendarStore::Services services{
        .eventStore = std::move(vdir),
        .scanHandle = [&events] { return events.snapshot(); },
        .calendar = calendar,
        .now = &Instant::now,
        .defaults = setup.defaults,
        .keychain = setup.keychain,
        .useOwnAddresses = {},
        .foundAddresses = [&events] { return events.foundAddresses(); }};
    if (!setup.ownAddresses) {
        // Addresses given for the run stay; otherwise the setting decides as it changes.
        services.useOwnAddresses = [&events](const std::vector<std::string>& addresses) {
            events.setOwnAddresses(addresses);
        };
    }
    auto store = std::make_unique<CalendarStore>(std::move(services));
    // Both watchers belong to the store, so they never outlive what they report to.
    auto* watcher =
        new VdirWatcher(events, VdirWatcher::kQuiet, VdirWatcher::kLongest, store.get());
    QObject::connect(store.get(), &CalendarStore::written, watcher, &VdirWatcher::writtenElsewhere);
    auto* days = new DayWatcher(calendar, &Instant::now, store.get());
    QObject::connect(days, &DayWatcher::dayChanged, store.get(), &CalendarStore::dayChanged);
    QObject::connect(days, &DayWatcher::timeZoneChanged, store.get(),
                     &CalendarStore::timeZoneChanged);
    return store;
}

void checkEveryFile(CalendarStore& store) {
    if (auto* watcher = store.findChild<VdirWatcher*>()) {
        watcher->checkNow();
    }
}

} // namespace plannery
