#pragma once

#include "model/Calendar.h"
#include "model/CalendarMirrors.h"
#include "model/EventStore.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace plannery {

// The mirror scans of the calendars, each on a worker with its own handle of the event store.
// One scan is pending at a time: a newer request replaces it, and the result of a scan that a
// newer request overtook is dropped, so that only what the calendars are now is ever found.
class MirrorScans final : public QObject {
    Q_OBJECT

  public:
    // What a scan runs with, asked when it starts; nullopt when it must not run (no access: a
    // scan would find no groups and wipe the known ones).
    struct Start {
        Instant now;
        Calendar calendar;
    };
    MirrorScans(std::function<std::unique_ptr<EventStore>()> handle,
                std::function<std::optional<Start>()> start, QObject* parent = nullptr);
    ~MirrorScans() override;

    // A scan after the delay, replacing a pending one.
    void request(std::chrono::milliseconds after);
    // Drops the pending scan and the result of any that is running.
    void cancel();

  signals:
    // The groups a scan still current found.
    void found(CalendarMirrors mirrors);
    // A scan ended, with groups found or none (no handle to scan with); for tests and
    // diagnostics.
    void finished();

  private:
    void run(quint64 generation);

    std::function<std::unique_ptr<EventStore>()> m_handle;
    std::function<std::optional<Start>()> m_start;
    QTimer m_timer;
    quint64 m_generation = 0;
};

} // namespace plannery
