#include "store/EventDetailModel.h"

#include "detail/EventDetailCopies.h"
#include "platform/IcsShareFile.h"
#include "platform/PrivateFolder.h"
#include "platform/XdgPaths.h"
#include "store/CalendarStore.h"

#include <algorithm>
#include <set>
#include <system_error>

namespace plannery {

namespace fs = std::filesystem;

namespace {

// Share files of earlier runs are of no use to anyone: the first model of a run that writes
// under a folder clears its Share folder. Models live on the main thread only.
void clearEarlierShareFiles(const fs::path& shareRoot) {
    static std::set<fs::path> cleared;
    if (cleared.insert(shareRoot).second) {
        std::error_code ignored;
        fs::remove_all(shareRoot, ignored);
    }
}

// The same platform events: the same content read from the store, the same occurrence.
bool sameCopies(const std::vector<StoreEvent>& a, const std::vector<StoreEvent>& b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](const StoreEvent& x, const StoreEvent& y) {
            return x.content == y.content && x.startDate == y.startDate && x.endDate == y.endDate &&
                   x.occurrenceDate == y.occurrenceDate && x.isDetached == y.isDetached;
        });
}

} // namespace

EventDetailModel::EventDetailModel(fs::path temporaryFolder, QObject* parent)
    : QObject(parent), m_shareDir(temporaryFolder / "Share" / freshUUID()) {
    if (const auto problem = PrivateFolder::make(temporaryFolder)) {
        m_shareProblem = tr("The event cannot be shared as a calendar file: %1.")
                             .arg(QString::fromStdString(*problem))
                             .toStdString();
        m_shareDir.clear();
        return;
    }
    clearEarlierShareFiles(temporaryFolder / "Share");
}

EventDetailModel::~EventDetailModel() {
    if (!m_shareDir.empty()) {
        std::error_code ignored;
        fs::remove_all(m_shareDir, ignored);
    }
}

fs::path EventDetailModel::defaultTemporaryFolder() {
    return xdg::runtimeFolder().path;
}

void EventDetailModel::setFocusID(std::optional<std::string> eventIdentifier) {
    m_focusID = std::move(eventIdentifier);
}

void EventDetailModel::load(CalendarStore& store, const CalEvent& event) {
    if (m_store) {
        return;
    }
    m_store = &store;
    m_mirrors = store.mirrors();
    connect(&store, &CalendarStore::revisionChanged, this, &EventDetailModel::refresh);
    const quint64 reading = ++m_reading;
    store.readCopies(
        this,
        [event](const EventStore& events) { return EventDetailCopies::behind(events, event); },
        [this, reading](std::vector<StoreEvent> copies) {
            m_focusID =
                copies.empty() ? std::nullopt : std::optional(copies.front().eventIdentifier());
            show(std::move(copies));
            m_loaded = true;
            emit loadedChanged();
            // The store changed while the copies were read: they are read again.
            if (reading != m_reading) {
                refresh();
            }
        });
}

void EventDetailModel::refresh() {
    if (!m_store) {
        return;
    }
    const quint64 reading = ++m_reading;
    if (!m_loaded) {
        // Still loading: the load reads again when it ends.
        return;
    }
    m_store->readCopies(
        this,
        [copies = m_copies](const EventStore& events) {
            return EventDetailCopies::readAgain(events, copies);
        },
        [this, reading](std::vector<StoreEvent> kept) {
            // A later read is under way; its copies are the newer.
            if (reading == m_reading) {
                show(EventDetailCopies::regrouped(kept, m_focusID, m_store->calendar()));
            }
        });
}

void EventDetailModel::show(std::vector<StoreEvent> copies) {
    setCopies(std::move(copies));
    rebuild();
}

bool EventDetailModel::readOccurrence(int index, std::function<void(StoreEvent)> done) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_copies.size()) {
        return false;
    }
    const StoreEvent& copy = m_copies[static_cast<std::size_t>(index)];
    if (!m_store) {
        done(copy);
        return true;
    }
    m_store->readCopies(
        this,
        [copy](const EventStore& events) {
            std::optional<StoreEvent> current = EventDetailCopies::occurrenceLike(events, copy);
            return std::vector<StoreEvent>{current ? std::move(*current) : copy};
        },
        [done = std::move(done)](std::vector<StoreEvent> read) { done(std::move(read.front())); });
    return true;
}

std::optional<std::string> EventDetailModel::googleCalendarURL() const {
    return m_store ? m_store->accounts().googleCalendarURL(m_copies) : std::nullopt;
}

void EventDetailModel::setCopies(std::vector<StoreEvent> copies) {
    if (sameCopies(copies, m_copies)) {
        return;
    }
    m_copies = std::move(copies);
    emit copiesChanged();
}

void EventDetailModel::rebuild() {
    CalendarStore* store = m_store.data();
    setInfo(EventDetailInfo::make(
        m_copies, m_mirrors, store->calendar(),
        [store](const Source& source) { return store->accounts().looksLikeGoogle(source); }));
}

void EventDetailModel::setInfo(std::optional<EventDetailInfo> info) {
    if (info != m_info) {
        m_info = std::move(info);
        emit infoChanged();
    }
    if (!m_info || m_info->share == m_shared || m_shareDir.empty()) {
        return;
    }
    // A file that cannot be written again is no reason to bother the user: the share button
    // keeps offering the last file written. Without any, the sheet says why.
    const IcsWriteResult written =
        Ics::write(m_info->share, m_shareDir, Instant::now(), m_store->calendar());
    if (!written.ok() || !written.file) {
        if (!m_shareFile && written.error != m_shareProblem) {
            m_shareProblem = written.error;
            emit shareFileChanged();
        }
        return;
    }
    m_shared = m_info->share;
    if (written.file != m_shareFile) {
        m_shareFile = written.file;
        m_shareProblem.reset();
        emit shareFileChanged();
    }
}

} // namespace plannery
