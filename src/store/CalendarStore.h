#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/CalendarMirrors.h"
#include "model/EventFetcher.h"
#include "model/EventStore.h"
#include "store/CalendarAccounts.h"
#include "store/MirrorScans.h"
#include "store/MonthLoader.h"
#include "store/StoreWrites.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

class QSettings;

namespace plannery {

class SharedKeychain;

// The one model between the event store and every view: access status, the user's calendar
// settings, merged events by day (a month is fetched at a time and kept until something
// changes), and `revision`, which views watch to know when to draw again. Lives on the main
// thread. Until the window has painted, months asked for are read at once; from then on they
// load on a worker (as the mirror scan does, each on its own handle of the event store) and
// `monthsLoaded` tells when their days can be read.
class CalendarStore final : public QObject {
    Q_OBJECT

  public:
    // What the store runs on. Tests give fakes; the app gives the vdir store.
    struct Services {
        std::unique_ptr<EventStore> eventStore;
        // A new, independent handle on the event store for work on another thread (a snapshot):
        // the mirror scan, and the months loaded in the background.
        std::function<std::unique_ptr<EventStore>()> scanHandle;
        // The user's calendar now (zone, locale, first weekday); asked at every use, so a change
        // of the system zone is seen.
        std::function<Calendar()> calendar;
        std::function<Instant()> now;
        QSettings* defaults = nullptr;      // the app's preferences; must outlive the store
        SharedKeychain* keychain = nullptr; // the shared settings record and widget reloads
        // Who the user is, for an event store that can be told (the vdir store): given the
        // user's own addresses at start and at every change of them, and asked for the address
        // it found in the events of each account that names none (by source identifier).
        std::function<void(const std::vector<std::string>&)> useOwnAddresses{};
        std::function<std::map<std::string, std::string>()> foundAddresses{};
        // How long change notifications settle before mirrors are scanned again.
        std::chrono::milliseconds changeScanDelay{2000};
        // Once browsing has dropped months and paused this long, the memory they held is handed
        // back to the system; the C library's trim when not given.
        std::chrono::milliseconds freedMemoryDelay{1000};
        std::function<void()> returnFreedMemory{};
    };

    explicit CalendarStore(Services services, QObject* parent = nullptr);
    ~CalendarStore() override;

    // The single instance of the app, made by `install` at start.
    static CalendarStore& shared();
    static void install(std::unique_ptr<CalendarStore> store);

    AuthorizationStatus status() const { return m_status; }
    // Whether the calendars may be read.
    bool hasAccess() const { return m_status == AuthorizationStatus::fullAccess; }
    quint64 revision() const { return m_revision; }
    const std::set<std::string>& hiddenCalendarIDs() const { return m_hiddenCalendarIDs; }
    bool showDeclined() const { return m_showDeclined; }
    const CalendarMirrors& mirrors() const { return m_mirrors; }
    // "Your e-mail addresses": a participant with one of them is the user in every calendar.
    const std::vector<std::string>& ownAddresses() const { return m_ownAddresses; }
    // What the event store found instead, while ownAddresses() is empty; by source identifier.
    std::map<std::string, std::string> foundAddresses() const;

    // Every assignment is stored and invalidates; observers hear of real changes only.
    void setHiddenCalendarIDs(std::set<std::string> ids);
    void setShowDeclined(bool show);
    void setMirrors(CalendarMirrors mirrors);
    // Only addresses (the e-mail pattern) are kept, each once.
    void setOwnAddresses(std::vector<std::string> addresses);

    FetchOptions options() const;
    // The user's calendar the days are counted in; read again when the system zone changes.
    const Calendar& calendar() const { return m_calendar; }

    // A day's events, shared and never changed: views may keep one while they draw, and reading
    // a cached day copies nothing. Never null.
    using EventList = std::shared_ptr<const std::vector<CalEvent>>;

    // The day's events in display order; empty without access. A month not loaded yet is read
    // here and now, which after loadInBackground() is a fault (asserted in debug builds).
    EventList events(Instant on);
    // One (day start, events) pair per day from the day of `from` while it starts before `to`;
    // read as `events` reads.
    std::vector<std::pair<Instant, EventList>> days(Instant from, Instant to);

    // Asks for the months of the days from the day of `from` while they start before `to`. Before
    // loadInBackground() they are read at once; after it they and the month on either side load
    // on the worker, and `monthsLoaded` follows.
    void request(Instant from, Instant to);
    // The events of the day that starts at `dayStart` when its month is loaded, else null. Reads
    // nothing.
    EventList loaded(Instant dayStart) const;
    // The window has painted: months load on the worker from now on. Without a way to make a
    // handle for the worker, months keep being read here.
    void loadInBackground();
    bool loadsInBackground() const { return m_background; }
    const MonthLoader& loader() const { return m_loader; }

    void invalidate();
    // Shows or hides a calendar together with its mirror group.
    void setVisible(const std::string& calendarID, bool visible);
    // A mirror scan after the delay; a newer request replaces a pending one.
    void scanMirrors(std::chrono::milliseconds after);
    // Asks for access when it can still be asked, then refreshes the status.
    void requestAccess();
    void refreshStatus();

    // The reactions to the outside world; the app connects them to the event store's change
    // handler, the zone check and the midnight timer.
    void eventStoreChanged();
    void timeZoneChanged();
    void dayChanged();

    // The accounts of the calendars, and whether they are Google's.
    CalendarAccounts& accounts() { return m_accounts; }

    // Reads copies of events (EventDetailCopies) and hands them to `done` on the main thread
    // while `context` lives. Before loadInBackground(), or without a way to make a handle, the
    // read runs here, before this returns; after it, on the worker of the writes below (after
    // them, so that it sees them), so that opening an event never waits on the disk, and `done`
    // runs from the event loop.
    using CopiesRead = std::function<std::vector<StoreEvent>(const EventStore&)>;
    using CopiesDone = std::function<void(std::vector<StoreEvent>)>;
    void readCopies(QObject* context, CopiesRead read, CopiesDone done);

    // Runs `work` on the event store to save, remove or answer single events (and to read what
    // it wrote), and hands what it returns to `done` on the main thread while `context` lives.
    // Before loadInBackground(), or without a way to make a handle, it runs here, before this
    // returns. After it, on the worker of StoreWrites, so that a save never waits on the disk in
    // the window; `done` runs from the event loop, and `written` follows.
    template <typename Work, typename Done> void write(QObject* context, Work work, Done done) {
        run(StoreWrites::Kind::write, context, std::move(work), std::move(done));
    }

    // The event store itself, for what it holds in memory (calendars, sources); events are read
    // and written through the functions above.
    EventStore& eventStore() { return *m_services.eventStore; }
    // The shared settings and preferences the store was given; may be null.
    SharedKeychain* keychain() const { return m_services.keychain; }

  signals:
    void statusChanged();
    void revisionChanged();
    void hiddenCalendarIDsChanged();
    void showDeclinedChanged();
    void mirrorsChanged();
    void ownAddressesChanged();
    // A scan finished (applied or not); for tests and diagnostics.
    void mirrorScanFinished();
    // Months asked for have loaded in the background: their days can be read with `loaded`.
    void monthsLoaded();
    // A write ran on a handle of the event store (see `write`): the event store sees it only
    // once it has read the calendars again.
    void written();

  private:
    // Runs `work` here before loadInBackground(), else on the writes' worker (see `write`).
    template <typename Work, typename Done>
    void run(StoreWrites::Kind kind, QObject* context, Work work, Done done) {
        using Result = std::invoke_result_t<Work&, EventStore&>;
        if (!m_background) {
            done(work(*m_services.eventStore));
            return;
        }
        auto result = std::make_shared<std::optional<Result>>();
        m_writes.run(
            context, kind,
            [work = std::move(work), result](EventStore& store) { result->emplace(work(store)); },
            [done = std::move(done), result] { done(std::move(**result)); });
    }

    // The day's events, its month read on this thread when it is not loaded yet.
    EventList cached(Instant dayStart);
    void readHere(const DateInterval& month);
    // Marks a loaded month as asked for by the latest request; false when it is not loaded.
    bool use(const DateInterval& month);
    void publish(MonthDays month);
    // Forgets the months asked for least recently beyond the few kept, unless a view holds them.
    void dropOldMonths();
    // Forgets every loaded month; `dataChanged` when the event store itself changed.
    void forget(bool dataChanged);
    void settingsChanged();
    void syncSharedSettings(bool reloadWidgets);
    void storeChanged();

    Services m_services;
    Calendar m_calendar;
    AuthorizationStatus m_status = AuthorizationStatus::notDetermined;
    quint64 m_revision = 0;
    std::set<std::string> m_hiddenCalendarIDs;
    bool m_showDeclined = false;
    CalendarMirrors m_mirrors;
    std::vector<std::string> m_ownAddresses;
    struct LoadedMonth {
        Instant end;
        quint64 lastRequest = 0; // the count of requests when it was last asked for
    };
    std::map<Instant, EventList> m_days;           // every day of the loaded months
    std::map<Instant, LoadedMonth> m_loadedMonths; // by month start
    quint64 m_requests = 0;
    bool m_background = false;
    MonthLoader m_loader;
    MirrorScans m_mirrorScans;
    StoreWrites m_writes;
    CalendarAccounts m_accounts;
    QTimer m_freedMemory; // after months were dropped
};

} // namespace plannery
