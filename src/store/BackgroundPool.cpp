#include "store/BackgroundPool.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QThreadPool>

#include <algorithm>

namespace plannery {

namespace {

// Two mirror scans, a month read and a folder read can be under way at once, and a text
// recognition or a model's answer can take seconds: each waits for a thread of its own rather
// than behind the others. The threads beyond the cores mostly wait on the disk or the network.
constexpr int kFewestThreads = 4;

} // namespace

QThreadPool& backgroundPool() {
    // Made again when the application it belonged to has gone (tests make one after another).
    static QPointer<QThreadPool> pool;
    if (!pool) {
        pool = new QThreadPool(QCoreApplication::instance());
        pool->setMaxThreadCount(std::max(QThread::idealThreadCount(), kFewestThreads));
    }
    return *pool;
}

} // namespace plannery
