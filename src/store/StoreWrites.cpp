#include "store/StoreWrites.h"

#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

namespace plannery {

StoreWrites::StoreWrites(MakeHandle makeHandle, QObject* parent)
    : QObject(parent), m_makeHandle(std::move(makeHandle)) {
    // One thread that stays: the handle and its cache connection are used by one thread at a
    // time, and the writes keep their order.
    m_worker.setMaxThreadCount(1);
    m_worker.setExpiryTimeout(-1);
}

StoreWrites::~StoreWrites() {
    m_worker.waitForDone();
}

void StoreWrites::run(QObject* context, Kind kind, Work work, std::function<void()> done) {
    if (!m_handle) {
        m_handle = m_makeHandle();
    }
    // What was written is read back even when whoever asked has gone meanwhile.
    auto* watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, kind, context = QPointer<QObject>(context), done = std::move(done)] {
                watcher->deleteLater();
                if (context) {
                    done();
                }
                if (kind == Kind::write) {
                    emit written();
                }
            });
    watcher->setFuture(QtConcurrent::run(
        &m_worker, [handle = m_handle, work = std::move(work)] { work(*handle); }));
}

void StoreWrites::storeChanged() {
    m_handle.reset();
}

} // namespace plannery
