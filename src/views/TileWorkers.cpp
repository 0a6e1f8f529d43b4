#include "views/TileWorkers.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <memory>

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

void forEach(std::size_t count, const std::function<void(std::size_t)>& job,
             const std::function<void(std::size_t)>& done) {
    if (count == 0) {
        return;
    }
    QThreadPool& pool = workers();
    const int helpers = static_cast<int>(
        std::min(count - 1, static_cast<std::size_t>(std::max(pool.maxThreadCount(), 0))));
    const std::unique_ptr<std::atomic<bool>[]> finished(new std::atomic<bool>[count]());
    std::atomic<std::size_t> next{0};
    QSemaphore finishedByWorkers; // a permit for each job a worker finished
    QSemaphore helpersLeft;       // a permit for each helper that ran out of jobs
    for (int h = 0; h < helpers; ++h) {
        pool.start([&] {
            for (std::size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
                job(i);
                finished[i].store(true, std::memory_order_release);
                finishedByWorkers.release();
            }
            helpersLeft.release();
        });
    }
    std::size_t prefix = 0;
    const auto report = [&] {
        std::size_t n = prefix;
        while (n < count && finished[n].load(std::memory_order_acquire)) {
            ++n;
        }
        if (n != prefix) {
            prefix = n;
            if (done) {
                done(n);
            }
        }
    };
    for (std::size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
        job(i);
        finished[i].store(true, std::memory_order_release);
        report();
    }
    // Every job is taken; those still running are the workers', each of which releases a permit
    // when it finishes.
    while (prefix < count) {
        finishedByWorkers.acquire();
        report();
    }
    // The helpers use this frame's variables until they return.
    helpersLeft.acquire(helpers);
}

} // namespace plannery::TileWorkers
