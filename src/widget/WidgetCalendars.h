#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "store/FolderWatcher.h"
#include "widget/SharedRecord.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace plannery {

// The calendars as the widget process sees them: the vdir folders the app reads (or those named
// on the command line), filtered with the settings record the app shares (hidden calendars,
// declined events, mirror groups), never with the app's own preferences. It tells `changed` when
// the calendars change on disk, or the app changes the settings or asks widgets to reload.
//
// A widget lives for days and shows two weeks: it keeps those weeks' events, not an event store.
// The store (with its index of every event) is opened for each fetch and closed after it, and
// the folders it named are watched in the meantime, as the app watches them.
class WidgetCalendars final : public QObject {
    Q_OBJECT

  public:
    struct Setup {
        std::vector<std::filesystem::path> roots{};        // empty: the roots the app shares
        std::optional<std::filesystem::path> sharedFile{}; // none: the build shares no store
        std::filesystem::path cacheFile{};                 // the index cache; empty for none
        std::optional<std::string> zone{};                 // a zone for this run
        bool watch = true;                                 // follow changes on disk
        // The user's calendar now; empty: the system's (in `zone` when given).
        std::function<Calendar()> calendar{};
    };

    // What a face is drawn from.
    struct Content {
        std::vector<CalEvent> events{};
        bool hasAccess = false;
        std::optional<QString> problem{};
    };

    explicit WidgetCalendars(Setup setup, QObject* parent = nullptr);
    ~WidgetCalendars() override;

    // The user's calendar now: the system zone (or the chosen one), read again at every call so
    // that a change of zone is seen.
    Calendar calendar() const;
    // The events of now's day and the two weeks after it; fetched again only when something
    // changed or the day did.
    const Content& content(Instant now);
    // Reads the shared record again; true, and `changed`, when anything in it moved.
    bool checkShared();
    // The calendar folders are read again at the next fetch (a removed root may have come back).
    void checkFolders();

    const SharedRecord::Snapshot& shared() const { return m_shared; }
    // How often the events were fetched (for tests and the benchmark).
    int fetches() const { return m_fetches; }

  signals:
    void changed();

  private:
    void fetch(const Calendar& calendar, Instant day);
    std::vector<std::filesystem::path> wantedRoots() const;
    void watchShared();
    void watchFolders(const std::vector<std::filesystem::path>& paths);
    std::optional<QString> problem() const;

    Setup m_setup;
    SharedRecord m_record;
    SharedRecord::Snapshot m_shared;
    std::optional<SharedSettings> m_settings; // the last settings read whole
    QFileSystemWatcher m_sharedWatcher;
    QTimer m_sharedSettle;
    FolderWatcher m_folders;
    std::vector<std::filesystem::path> m_roots;
    std::string m_zoneId;
    bool m_dirty = true;
    Instant m_day{};
    Content m_content;
    int m_fetches = 0;
};

} // namespace plannery
