#include "widget/WidgetCalendars.h"

#include "model/EventFetcher.h"
#include "platform/VdirEventStore.h"
#include "store/VdirWatcher.h"

#include <QCoreApplication>
#include <QSet>

#include <malloc.h>

namespace plannery {

namespace {

// The agenda reaches 14 days past today; one more day holds every event that starts in them.
constexpr int kFetchDays = 15;
// Writes to the shared store come in small bursts (a commit, a checkpoint).
constexpr std::chrono::milliseconds kSharedSettle{150};

QString qs(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// Makes `watcher` watch exactly these paths.
void watchExactly(QFileSystemWatcher& watcher, const QSet<QString>& paths) {
    QSet<QString> wanted = paths;
    QStringList stale;
    for (const QString& path : watcher.files() + watcher.directories()) {
        if (!wanted.remove(path)) {
            stale.append(path);
        }
    }
    if (!stale.isEmpty()) {
        watcher.removePaths(stale);
    }
    if (!wanted.isEmpty()) {
        watcher.addPaths(QStringList(wanted.begin(), wanted.end()));
    }
}

} // namespace

WidgetCalendars::WidgetCalendars(Setup setup, QObject* parent)
    : QObject(parent), m_setup(std::move(setup)), m_record(m_setup.sharedFile),
      m_folders(VdirWatcher::kQuiet, VdirWatcher::kLongest) {
    m_shared = m_record.read();
    if (m_shared.state == SharedRecord::State::ok) {
        m_settings = m_shared.settings;
    }
    m_roots = wantedRoots();
    m_sharedSettle.setSingleShot(true);
    m_sharedSettle.setInterval(kSharedSettle);
    connect(&m_sharedSettle, &QTimer::timeout, this, [this] {
        checkShared();
        watchShared();
    });
    connect(&m_sharedWatcher, &QFileSystemWatcher::directoryChanged, &m_sharedSettle,
            qOverload<>(&QTimer::start));
    connect(&m_sharedWatcher, &QFileSystemWatcher::fileChanged, &m_sharedSettle,
            qOverload<>(&QTimer::start));
    // A sync that rewrites many files is read once, when it has settled.
    connect(&m_folders, &FolderWatcher::settled, this, [this] {
        m_dirty = true;
        emit changed();
    });
    watchShared();
}

WidgetCalendars::~WidgetCalendars() = default;

Calendar WidgetCalendars::calendar() const {
    return m_setup.calendar ? m_setup.calendar() : Calendar::currentIn(m_setup.zone);
}

std::vector<std::filesystem::path> WidgetCalendars::wantedRoots() const {
    if (!m_setup.roots.empty()) {
        return m_setup.roots;
    }
    if (!m_shared.roots.empty()) {
        return m_shared.roots;
    }
    return {VdirEventStore::defaultRoot()};
}

void WidgetCalendars::watchShared() {
    if (!m_setup.watch || !m_setup.sharedFile) {
        return;
    }
    const std::filesystem::path& file = *m_setup.sharedFile;
    QSet<QString> wanted;
    std::error_code error;
    // The folder tells of a store created or replaced (the folder above it, until the app first
    // makes it); the file and its journal of writes.
    const std::filesystem::path folder = file.parent_path();
    const std::filesystem::path above = folder.parent_path();
    for (const auto& path : {std::filesystem::exists(folder, error) ? folder : above, file,
                             std::filesystem::path(file.string() + "-wal")}) {
        if (std::filesystem::exists(path, error)) {
            wanted.insert(qs(path));
        }
    }
    watchExactly(m_sharedWatcher, wanted);
}

void WidgetCalendars::watchFolders(const std::vector<std::filesystem::path>& paths) {
    if (!m_setup.watch) {
        return;
    }
    m_folders.watch(FolderWatcher::foldersFor(paths, m_roots));
}

bool WidgetCalendars::checkShared() {
    SharedRecord::Snapshot next = m_record.read();
    if (next.state == SharedRecord::State::busy && m_settings) {
        // The app holds the store for a moment: keep what was read last time.
        return false;
    }
    if (next == m_shared) {
        return false;
    }
    m_shared = std::move(next);
    if (m_shared.state == SharedRecord::State::ok) {
        m_settings = m_shared.settings;
    }
    m_roots = wantedRoots();
    m_dirty = true;
    emit changed();
    return true;
}

void WidgetCalendars::checkFolders() {
    m_dirty = true;
}

std::optional<QString> WidgetCalendars::problem() const {
    switch (m_shared.state) {
    case SharedRecord::State::ok:
    case SharedRecord::State::missing:
        return std::nullopt;
    case SharedRecord::State::busy:
        if (m_settings) {
            return std::nullopt;
        }
        return QCoreApplication::translate(
            "WidgetFace",
            "Plannery is saving its settings; the widget shows your calendars in a moment.");
    case SharedRecord::State::damaged:
        return QCoreApplication::translate(
            "WidgetFace",
            "Plannery's shared settings can't be read. Open Plannery to save them again.");
    }
    return std::nullopt;
}

void WidgetCalendars::fetch(const Calendar& calendar, Instant day) {
    const SharedSettings settings = m_settings.value_or(SharedSettings{});
    // Floating times are read in the calendar's zone, so the store is made for the zone of now.
    // Every file is compared with the index: one written in place leaves its folder's time alone.
    const VdirEventStore store(VdirOptions{.roots = m_roots,
                                           .cacheFile = m_setup.cacheFile,
                                           .calendar = calendar,
                                           .ownAddresses = settings.ownEmailAddresses});
    m_content.hasAccess = store.authorizationStatus() == AuthorizationStatus::fullAccess;
    watchFolders(store.watchedPaths());
    if (m_content.hasAccess && !m_content.problem) {
        const FetchOptions options{
            .hiddenCalendarIDs = {settings.hiddenCalendarIDs.begin(),
                                  settings.hiddenCalendarIDs.end()},
            .showDeclined = settings.showDeclined,
            .mirrors = CalendarMirrors(settings.mirroredCalendarIDs),
        };
        const Instant end = calendar.addDays(day, kFetchDays).value_or(day);
        m_content.events = EventFetcher::fetch(store, day, end, options, calendar);
    }
    ++m_fetches;
}

const WidgetCalendars::Content& WidgetCalendars::content(Instant now) {
    const Calendar current = calendar();
    const Instant day = current.startOfDay(now);
    if (!m_dirty && day == m_day && current.zoneId() == m_zoneId) {
        return m_content;
    }
    m_dirty = false;
    m_day = day;
    m_zoneId = current.zoneId();
    m_content = Content{};
    m_content.problem = problem();
    fetch(current, day);
    // Reading the index leaves much of the heap free but scattered; give it back, since the
    // process keeps only the fortnight's events until the next fetch.
    malloc_trim(0);
    return m_content;
}

} // namespace plannery
