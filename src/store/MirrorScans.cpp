#include "store/MirrorScans.h"

#include "model/MirrorDetection.h"
#include "store/BackgroundPool.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace plannery {

MirrorScans::MirrorScans(std::function<std::unique_ptr<EventStore>()> handle,
                         std::function<std::optional<Start>()> start, QObject* parent)
    : QObject(parent), m_handle(std::move(handle)), m_start(std::move(start)) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { run(m_generation); });
}

// A scan still running keeps its own handle; its watcher goes with this object, so nothing is
// reported.
MirrorScans::~MirrorScans() = default;

void MirrorScans::request(std::chrono::milliseconds after) {
    ++m_generation;
    m_timer.start(std::max(after, std::chrono::milliseconds(0)));
}

void MirrorScans::cancel() {
    m_timer.stop();
    ++m_generation;
}

void MirrorScans::run(quint64 generation) {
    std::optional<Start> start = generation == m_generation ? m_start() : std::nullopt;
    if (!start) {
        return;
    }
    std::shared_ptr<EventStore> handle;
    if (m_handle) {
        handle = m_handle();
    }
    if (!handle) {
        emit finished();
        return;
    }
    auto* watcher = new QFutureWatcher<CalendarMirrors>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        // A newer request has replaced this scan: its result is out of date.
        if (generation != m_generation || watcher->future().resultCount() == 0) {
            return;
        }
        emit found(watcher->result());
        emit finished();
    });
    // The task owns its handle and a copy of the calendar and touches nothing else, so this
    // object may go while it runs.
    watcher->setFuture(QtConcurrent::run(
        &backgroundPool(), [handle = std::move(handle), start = std::move(*start)] {
            return MirrorDetection::scan(*handle, start.now, start.calendar);
        }));
}

} // namespace plannery
