#include "store/CalendarStore.h"

#include "model/MailAddress.h"
#include "platform/FreedMemory.h"
#include "store/CalendarPreferences.h"
#include "store/SharedKeychain.h"
#include "store/SharedSettings.h"
#include "store/WidgetCenter.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <chrono>

namespace plannery {

namespace {

CalendarStore* s_shared = nullptr;

// Views ask for a few months at a time; a request for more (a range gone wrong) stops here.
constexpr int kMonthsAtOnce = 120;
// How many loaded months stay in memory besides those a view holds: what the widest view shows
// (six weeks) with the months either side, and room to switch views without reading again. Older
// ones are read again when asked for, so that browsing years does not keep them all.
constexpr std::size_t kKeptMonths = 8;

bool onMainThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app == nullptr || QThread::currentThread() == app->thread();
}

SharedSettings sharedSettingsOf(const std::set<std::string>& hidden, bool showDeclined,
                                const CalendarMirrors& mirrors,
                                const std::vector<std::string>& ownAddresses) {
    // A std::set of UTF-8 strings iterates in byte order, which is code-point order.
    return SharedSettings{.hiddenCalendarIDs = {hidden.begin(), hidden.end()},
                          .showDeclined = showDeclined,
                          .mirroredCalendarIDs = mirrors.groups(),
                          .ownEmailAddresses = ownAddresses};
}

// Addresses as typed, without what is not one and without repeats (in any case).
std::vector<std::string> addressesOnly(std::vector<std::string> addresses) {
    std::vector<std::string> kept;
    for (auto& address : addresses) {
        const auto same = [&](const std::string& other) {
            return QString::fromStdString(other).compare(QString::fromStdString(address),
                                                         Qt::CaseInsensitive) == 0;
        };
        if (matchesEmailPattern(address) && std::none_of(kept.begin(), kept.end(), same)) {
            kept.push_back(std::move(address));
        }
    }
    return kept;
}

// Services are completed before any member needs them.
CalendarStore::Services completed(CalendarStore::Services services) {
    if (!services.calendar) {
        services.calendar = [] { return Calendar::current(); };
    }
    if (!services.returnFreedMemory) {
        services.returnFreedMemory = &returnFreedMemory;
    }
    return services;
}

} // namespace

CalendarStore::CalendarStore(Services services, QObject* parent)
    : QObject(parent), m_services(completed(std::move(services))),
      m_calendar(m_services.calendar()), m_loader(m_services.scanHandle,
                                                  [this](MonthDays month) {
                                                      publish(std::move(month));
                                                      emit monthsLoaded();
                                                  }),
      m_mirrorScans(m_services.scanHandle,
                    [this]() -> std::optional<MirrorScans::Start> {
                        if (!hasAccess()) {
                            return std::nullopt;
                        }
                        return MirrorScans::Start{.now = m_services.now(), .calendar = m_calendar};
                    }),
      m_writes(m_services.scanHandle),
      m_accounts(
          *m_services.eventStore, m_calendar, [this] { return m_services.now(); },
          [this] { return hasAccess(); }) {
    Q_ASSERT_X(m_services.eventStore, "CalendarStore", "the store needs an event store");
    if (!m_services.now) {
        m_services.now = &Instant::now;
    }
    m_freedMemory.setSingleShot(true);
    connect(&m_freedMemory, &QTimer::timeout, this, [this] { m_services.returnFreedMemory(); });

    m_status = m_services.eventStore->authorizationStatus();
    CalendarPreferences::Values stored = CalendarPreferences::read(m_services.defaults);
    m_hiddenCalendarIDs = std::move(stored.hiddenCalendarIDs);
    m_showDeclined = stored.showDeclined;
    // The last known groups are in force before the first scan has run.
    m_mirrors = CalendarMirrors(stored.mirrorGroups);
    m_ownAddresses = addressesOnly(std::move(stored.ownAddresses));
    if (m_services.useOwnAddresses) {
        m_services.useOwnAddresses(m_ownAddresses);
    }

    syncSharedSettings(false);

    QPointer<CalendarStore> self(this);
    m_services.eventStore->setChangeHandler([self] {
        if (self) {
            self->eventStoreChanged();
        }
    });

    connect(&m_mirrorScans, &MirrorScans::found, this, [this](CalendarMirrors found) {
        if (hasAccess() && found.groups() != m_mirrors.groups()) {
            setMirrors(std::move(found));
        }
    });
    connect(&m_mirrorScans, &MirrorScans::finished, this, &CalendarStore::mirrorScanFinished);
    connect(&m_writes, &StoreWrites::written, this, &CalendarStore::written);

    scanMirrors(std::chrono::milliseconds(0));
}

CalendarStore::~CalendarStore() {
    if (s_shared == this) {
        s_shared = nullptr;
    }
    m_mirrorScans.cancel();
    m_services.eventStore->setChangeHandler({});
}

CalendarStore& CalendarStore::shared() {
    if (s_shared == nullptr) {
        qFatal("CalendarStore::shared() was used before CalendarStore::install()");
    }
    return *s_shared;
}

void CalendarStore::install(std::unique_ptr<CalendarStore> store) {
    delete s_shared;
    s_shared = store.release();
    // The application object owns the store, so it goes before the application does.
    if (s_shared != nullptr && QCoreApplication::instance() != nullptr) {
        s_shared->setParent(QCoreApplication::instance());
    }
}

void CalendarStore::setHiddenCalendarIDs(std::set<std::string> ids) {
    const bool changed = ids != m_hiddenCalendarIDs;
    m_hiddenCalendarIDs = std::move(ids);
    CalendarPreferences::writeHidden(m_services.defaults, m_hiddenCalendarIDs);
    settingsChanged();
    if (changed) {
        emit hiddenCalendarIDsChanged();
    }
}

void CalendarStore::setShowDeclined(bool show) {
    const bool changed = show != m_showDeclined;
    m_showDeclined = show;
    CalendarPreferences::writeShowDeclined(m_services.defaults, show);
    settingsChanged();
    if (changed) {
        emit showDeclinedChanged();
    }
}

void CalendarStore::setMirrors(CalendarMirrors mirrors) {
    const bool changed = mirrors.groups() != m_mirrors.groups();
    m_mirrors = std::move(mirrors);
    CalendarPreferences::writeMirrorGroups(m_services.defaults, m_mirrors.groups());
    settingsChanged();
    if (changed) {
        emit mirrorsChanged();
    }
}

void CalendarStore::setOwnAddresses(std::vector<std::string> addresses) {
    addresses = addressesOnly(std::move(addresses));
    if (addresses == m_ownAddresses) {
        return;
    }
    m_ownAddresses = std::move(addresses);
    CalendarPreferences::writeOwnAddresses(m_services.defaults, m_ownAddresses);
    if (m_services.useOwnAddresses) {
        m_services.useOwnAddresses(m_ownAddresses);
    }
    settingsChanged();
    emit ownAddressesChanged();
}

std::map<std::string, std::string> CalendarStore::foundAddresses() const {
    return m_services.foundAddresses ? m_services.foundAddresses()
                                     : std::map<std::string, std::string>{};
}

FetchOptions CalendarStore::options() const {
    return FetchOptions{.hiddenCalendarIDs = m_hiddenCalendarIDs,
                        .showDeclined = m_showDeclined,
                        .mirrors = m_mirrors};
}

CalendarStore::EventList CalendarStore::cached(Instant dayStart) {
    if (const auto hit = m_days.find(dayStart); hit != m_days.end()) {
        return hit->second;
    }
    static const EventList none = std::make_shared<const std::vector<CalEvent>>();
    const std::optional<DateInterval> month = m_calendar.monthInterval(dayStart);
    if (!month || m_loadedMonths.contains(month->start)) {
        return none;
    }
    readHere(*month);
    const auto read = m_days.find(dayStart);
    return read != m_days.end() ? read->second : none;
}

CalendarStore::EventList CalendarStore::events(Instant on) {
    Q_ASSERT(onMainThread());
    return cached(m_calendar.startOfDay(on));
}

std::vector<std::pair<Instant, CalendarStore::EventList>> CalendarStore::days(Instant from,
                                                                              Instant to) {
    Q_ASSERT(onMainThread());
    std::vector<std::pair<Instant, EventList>> result;
    Instant day = m_calendar.startOfDay(from);
    while (day < to) {
        result.emplace_back(day, cached(day));
        const std::optional<Instant> next = m_calendar.addDays(day, 1);
        Q_ASSERT_X(next && *next > day, "CalendarStore::days", "a calendar day could not be added");
        if (!next || *next <= day) {
            break;
        }
        day = *next;
    }
    return result;
}

void CalendarStore::request(Instant from, Instant to) {
    Q_ASSERT(onMainThread());
    ++m_requests;
    std::vector<DateInterval> wanted;
    std::optional<DateInterval> first;
    std::optional<DateInterval> last;
    int count = 0;
    for (std::optional<DateInterval> month = m_calendar.monthInterval(m_calendar.startOfDay(from));
         month && month->start < to && count < kMonthsAtOnce;
         month = m_calendar.monthInterval(month->end), ++count) {
        if (!first) {
            first = month;
        }
        last = month;
        if (!use(*month)) {
            wanted.push_back(*month);
        }
        if (month->end <= month->start) {
            break;
        }
    }
    // Without access there is nothing to read, and the days are empty at once.
    if (!m_background || !hasAccess()) {
        for (const DateInterval& month : wanted) {
            readHere(month);
        }
        return;
    }
    // The months beside the ones asked for follow them, so that paging on finds them loaded.
    for (const std::optional<DateInterval>& beside :
         {first ? m_calendar.monthInterval(first->start.plus(-1)) : std::nullopt,
          last ? m_calendar.monthInterval(last->end) : std::nullopt}) {
        if (beside && !use(*beside)) {
            wanted.push_back(*beside);
        }
    }
    if (!wanted.empty()) {
        m_loader.want(wanted, options(), m_calendar);
    }
}

CalendarStore::EventList CalendarStore::loaded(Instant dayStart) const {
    const auto hit = m_days.find(dayStart);
    return hit != m_days.end() ? hit->second : nullptr;
}

void CalendarStore::loadInBackground() {
    Q_ASSERT(onMainThread());
    m_background = static_cast<bool>(m_services.scanHandle);
}

void CalendarStore::readHere(const DateInterval& month) {
    // Before the window has painted, or on a store that has no handle for a worker, months are
    // read on the thread that asks; after that every read on the main thread is a stall.
    Q_ASSERT_X(!m_background || !onMainThread() || !hasAccess(), "CalendarStore",
               "a month of events was read on the main thread after the first paint");
    publish(MonthDays::read(*m_services.eventStore, month, options(), m_calendar));
}

bool CalendarStore::use(const DateInterval& month) {
    const auto loaded = m_loadedMonths.find(month.start);
    if (loaded == m_loadedMonths.end()) {
        return false;
    }
    loaded->second.lastRequest = m_requests;
    return true;
}

void CalendarStore::publish(MonthDays month) {
    m_loadedMonths.insert_or_assign(month.month.start,
                                    LoadedMonth{.end = month.month.end, .lastRequest = m_requests});
    for (auto& [day, events] : month.days) {
        m_days.insert_or_assign(day, std::move(events));
    }
    dropOldMonths();
}

void CalendarStore::dropOldMonths() {
    if (m_loadedMonths.size() <= kKeptMonths) {
        return;
    }
    // A month whose days a view still holds costs nothing here, and dropping it would only read
    // it again into a second copy; what the latest request covers stays too.
    const auto heldElsewhere = [this](Instant start, const LoadedMonth& month) {
        for (auto day = m_days.lower_bound(start); day != m_days.end() && day->first < month.end;
             ++day) {
            if (!day->second->empty() && day->second.use_count() > 1) {
                return true;
            }
        }
        return false;
    };
    std::vector<std::map<Instant, LoadedMonth>::iterator> droppable;
    for (auto month = m_loadedMonths.begin(); month != m_loadedMonths.end(); ++month) {
        if (month->second.lastRequest < m_requests && !heldElsewhere(month->first, month->second)) {
            droppable.push_back(month);
        }
    }
    std::sort(droppable.begin(), droppable.end(), [](const auto& a, const auto& b) {
        return a->second.lastRequest < b->second.lastRequest;
    });
    for (const auto& month : droppable) {
        if (m_loadedMonths.size() <= kKeptMonths) {
            return;
        }
        m_days.erase(m_days.lower_bound(month->first), m_days.lower_bound(month->second.end));
        m_loadedMonths.erase(month);
        // Restarted with every drop: the memory goes back once browsing pauses.
        m_freedMemory.start(m_services.freedMemoryDelay);
    }
}

void CalendarStore::invalidate() {
    forget(false);
}

void CalendarStore::forget(bool dataChanged) {
    m_days.clear();
    m_loadedMonths.clear();
    m_loader.restart(dataChanged);
    if (dataChanged) {
        m_writes.storeChanged();
    }
    ++m_revision;
    emit revisionChanged();
}

void CalendarStore::setVisible(const std::string& calendarID, bool visible) {
    std::set<std::string> hidden = m_hiddenCalendarIDs;
    for (const std::string& id : m_mirrors.linked(calendarID)) {
        if (visible) {
            hidden.erase(id);
        } else {
            hidden.insert(id);
        }
    }
    setHiddenCalendarIDs(std::move(hidden));
}

void CalendarStore::settingsChanged() {
    invalidate();
    syncSharedSettings(true);
}

void CalendarStore::syncSharedSettings(bool reloadWidgets) {
    if (m_services.keychain == nullptr) {
        return;
    }
    const SharedSettings current =
        sharedSettingsOf(m_hiddenCalendarIDs, m_showDeclined, m_mirrors, m_ownAddresses);
    const std::optional<SharedSettings> stored = SharedSettings::load(*m_services.keychain);
    if (stored && *stored == current) {
        return;
    }
    current.save(*m_services.keychain);
    if (reloadWidgets) {
        WidgetCenter::reloadAllTimelines(*m_services.keychain);
    }
}

void CalendarStore::eventStoreChanged() {
    storeChanged();
}

void CalendarStore::timeZoneChanged() {
    m_calendar = m_services.calendar();
    storeChanged();
}

void CalendarStore::dayChanged() {
    storeChanged();
}

void CalendarStore::storeChanged() {
    Q_ASSERT(onMainThread());
    m_accounts.forget();
    forget(true);
    if (m_services.keychain != nullptr) {
        WidgetCenter::reloadAllTimelines(*m_services.keychain);
    }
    // Bursts of notifications settle before the calendars are compared again.
    scanMirrors(m_services.changeScanDelay);
}

void CalendarStore::scanMirrors(std::chrono::milliseconds after) {
    Q_ASSERT(onMainThread());
    if (!hasAccess()) {
        return;
    }
    m_mirrorScans.request(after);
}

void CalendarStore::requestAccess() {
    Q_ASSERT(onMainThread());
    if (m_status == AuthorizationStatus::notDetermined ||
        m_status == AuthorizationStatus::writeOnly) {
        QPointer<CalendarStore> self(this);
        // The answer itself does not matter: the status read afterwards tells what was granted.
        m_services.eventStore->requestFullAccessToEvents([self](bool) {
            if (self) {
                self->refreshStatus();
            }
        });
        return;
    }
    refreshStatus();
}

void CalendarStore::refreshStatus() {
    Q_ASSERT(onMainThread());
    const AuthorizationStatus status = m_services.eventStore->authorizationStatus();
    if (status == m_status) {
        return;
    }
    m_status = status;
    forget(true);
    emit statusChanged();
    scanMirrors(std::chrono::milliseconds(0));
}

void CalendarStore::readCopies(QObject* context, CopiesRead read, CopiesDone done) {
    Q_ASSERT(onMainThread());
    // Read where the writes run, after them: an event just saved is read as saved, even before
    // the event store has read it back.
    run(
        StoreWrites::Kind::read, context,
        [read = std::move(read)](const EventStore& store) { return read(store); }, std::move(done));
}

} // namespace plannery
