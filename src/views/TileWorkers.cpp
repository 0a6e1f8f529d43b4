#include "views/TileWorkers.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>

namespace plannery::TileWorkers {

namespace {

// As many threads as there are cores beside the calling one; never expiring, so that their fonts
// stay loaded. Never destroyed either: at exit the idle threads end with the process, after the
// application (whose font database their fonts came from) is gone.
QThreadPool& workers() {
    static QThreadPool* const pool = [] {
        auto* made = new QThreadPool;
        made->setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
        made->setExpiryTimeout(-1);
        return made;
    }();
    return *pool;
}

} // namespace

void forEach(std::size_t count, const std::function<void(std::size_t)>& job) {
    if (count == 0) {
        return;
    }
    if (count == 1) {
        job(0);
        return;
    }
    QThreadPool& pool = workers();
    const int helpers = static_cast<int>(
        std::min(count - 1, static_cast<std::size_t>(std::max(pool.maxThreadCount(), 0))));
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
            job(i);
        }
    };
    QSemaphore finished;
    for (int h = 0; h < helpers; ++h) {
        pool.start([&] {
            work();
            finished.release();
        });
    }
    work();
    finished.acquire(helpers);
}

} // namespace plannery::TileWorkers
