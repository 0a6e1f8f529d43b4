#pragma once

#include "model/EventStore.h"

#include <QObject>
#include <QThreadPool>

#include <functional>
#include <memory>

namespace plannery {

// Writes single events on a worker, one at a time and in the order asked, so that saving never
// waits on the disk in the window, and reads single events after them. Every write goes through one
// handle of the event store (a snapshot), which then knows what was written before it: an event
// just added can be removed again before the store itself has read it back. The handle is made
// again after the store changed, from the store's newer state. Lives on the main thread.
class StoreWrites final : public QObject {
    Q_OBJECT

  public:
    // Makes the worker's handle; never null while writes are asked for.
    using MakeHandle = std::function<std::unique_ptr<EventStore>()>;
    using Work = std::function<void(EventStore&)>;
    // Reads that must see the writes before them go the same way; only writes are `written`.
    enum class Kind { read, write };

    explicit StoreWrites(MakeHandle makeHandle, QObject* parent = nullptr);
    // Waits for the write under way: what the user saved is on disk before the app ends.
    ~StoreWrites() override;

    // Runs `work` on the worker's handle, after the writes asked for before it, then `done` on
    // this thread from the event loop if `context` still lives, and then `written` for a write.
    void run(QObject* context, Kind kind, Work work, std::function<void()> done);
    // The store has changed (read its calendars again): the next write gets a new handle.
    void storeChanged();

  signals:
    // A write has run on the handle: the store must read the calendars again to see it.
    void written();

  private:
    MakeHandle m_makeHandle;
    std::shared_ptr<EventStore> m_handle;
    QThreadPool m_worker;
};

} // namespace plannery
