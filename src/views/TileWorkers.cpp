#include "views/TileWorkers.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>

namespace plannery::TileWorkers {

namespace {

// A page holds a few hundred tiles at most: past four threads in all, each more one costs its own
// copy of every font more than it saves.
constexpr int kMostWorkers = 3;

// A thread for each core beside the calling one, up to kMostWorkers; never expiring, so that their
// fonts stay loaded. Never destroyed either: at exit the idle threads end with the process, after
// the application (whose font database their fonts came from) is gone.
QThreadPool& workers() {
    static QThreadPool* const pool = [] {
        auto* made = new QThreadPool;
        made->setMaxThreadCount(std::clamp(QThread::idealThreadCount() - 1, 1, kMostWorkers));
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
