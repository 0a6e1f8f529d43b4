#include "widget/WidgetCalendars.h"

#include "model/EventFetcher.h"
#include "platform/VdirEventStore.h"
#include "store/VdirWatcher.h"

#include <QCoreApplication>

namespace plannery {

namespace {

// The agenda reaches 14 days past today; one more day holds every event that starts in them.
constexpr int kFetchDays = 15;
// Writes to the shared store come in small bursts (a commit, a checkpoint).
constexpr std::chrono::milliseconds kSharedSettle{150};

} // namespace

WidgetCalendars::WidgetCalendars(Setup setup, QObject* parent)
    : QObject(parent), m_setup(std::move(setup)), m_record(m_setup.sharedFile) {
    m_shared = m_record.read();
    if (m_shared.state == SharedRecord::State::ok) {
        m_settings = m_shared.settings;
    }
    const Calendar now = calendar();
    open(wantedRoots(), now);
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
    watchShared();
}

WidgetCalendars::~WidgetCalendars() {
    // The watcher reads the store: it goes first.
    delete m_watcher;
}

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

void WidgetCalendars::open(const std::vector<std::filesystem::path>& roots,
                           const Calendar& calendar) {
    delete m_watcher;
    m_watcher = nullptr;
    m_roots = roots;
    m_zoneId = calendar.zoneId();
    // Floating times are read in the calendar's zone: a new zone reads them again.
    m_events =
        std::make_unique<VdirEventStore>(VdirOptions{.roots = roots,
                                                     .cacheFile = m_setup.cacheFile,
                                                     .calendar = calendar,
                                                     .check = VdirOptions::Check::changedFolders,
                                                     .rootsChanged = {}});
    if (m_setup.watch) {
        m_watcher = new VdirWatcher(*m_events, VdirWatcher::kQuiet, VdirWatcher::kLongest, this);
        connect(m_watcher, &VdirWatcher::reloaded, this, [this](bool changed) {
            if (changed) {
                m_dirty = true;
                emit this->changed();
            }
        });
    }
    m_dirty = true;
}

void WidgetCalendars::watchShared() {
    if (!m_setup.watch || !m_setup.sharedFile) {
        return;
    }
    const std::filesystem::path& file = *m_setup.sharedFile;
    QStringList wanted;
    std::error_code error;
    // The folder tells of a store created or replaced; the file and its journal of writes.
    for (const auto& path :
         {file.parent_path(), file, std::filesystem::path(file.string() + "-wal")}) {
        if (std::filesystem::exists(path, error)) {
            wanted.append(QString::fromStdString(path.string()));
        }
    }
    const QStringList watched = m_sharedWatcher.files() + m_sharedWatcher.directories();
    QStringList missing;
    for (const QString& path : wanted) {
        if (!watched.contains(path)) {
            missing.append(path);
        }
    }
    if (!missing.isEmpty()) {
        m_sharedWatcher.addPaths(missing);
    }
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
    const bool rootsMoved = next.roots != m_shared.roots;
    m_shared = std::move(next);
    if (m_shared.state == SharedRecord::State::ok) {
        m_settings = m_shared.settings;
    }
    if (rootsMoved && m_setup.roots.empty() && wantedRoots() != m_roots) {
        open(wantedRoots(), calendar());
    }
    m_dirty = true;
    emit changed();
    return true;
}

void WidgetCalendars::checkFolders() {
    if (m_events->reloadIfChanged()) {
        m_dirty = true;
        emit changed();
    }
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

const WidgetCalendars::Content& WidgetCalendars::content(Instant now) {
    const Calendar current = calendar();
    if (current.zoneId() != m_zoneId) {
        open(m_roots, current);
    }
    const Instant day = current.startOfDay(now);
    if (!m_dirty && day == m_day) {
        return m_content;
    }
    m_dirty = false;
    m_day = day;
    m_content = Content{};
    m_content.problem = problem();
    m_content.hasAccess = m_events->authorizationStatus() == AuthorizationStatus::fullAccess;
    if (m_content.problem || !m_content.hasAccess) {
        return m_content;
    }
    const SharedSettings settings = m_settings.value_or(SharedSettings{});
    const FetchOptions options{
        .hiddenCalendarIDs = {settings.hiddenCalendarIDs.begin(), settings.hiddenCalendarIDs.end()},
        .showDeclined = settings.showDeclined,
        .mirrors = CalendarMirrors(settings.mirroredCalendarIDs),
    };
    const Instant end = current.addDays(day, kFetchDays).value_or(day);
    m_content.events = EventFetcher::fetch(*m_events, day, end, options, current);
    ++m_fetches;
    return m_content;
}

} // namespace plannery
