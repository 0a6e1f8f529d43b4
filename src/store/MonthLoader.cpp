#include "store/MonthLoader.h"

#include "store/BackgroundPool.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace plannery {

namespace {

const MonthDays::EventList& noEvents() {
    static const MonthDays::EventList empty = std::make_shared<const std::vector<CalEvent>>();
    return empty;
}

bool holds(const std::vector<DateInterval>& months, const DateInterval& month) {
    return std::find(months.begin(), months.end(), month) != months.end();
}

} // namespace

MonthDays MonthDays::read(const EventStore& store, DateInterval month, const FetchOptions& options,
                          const Calendar& calendar) {
    const EventDays byDay =
        EventFetcher::fetchByDay(store, month.start, month.end, options, calendar);
    MonthDays result{.month = month, .days = {}};
    result.days.reserve(byDay.size());
    // Each day gets a list of its own, so that a view reading a day copies nothing; days without
    // events share one empty list.
    byDay.forEachDay([&result](Instant day, const std::vector<const CalEvent*>& events) {
        if (events.empty()) {
            result.days.emplace_back(day, noEvents());
            return;
        }
        std::vector<CalEvent> list;
        list.reserve(events.size());
        for (const CalEvent* event : events) {
            list.push_back(*event);
        }
        result.days.emplace_back(day,
                                 std::make_shared<const std::vector<CalEvent>>(std::move(list)));
    });
    return result;
}

MonthLoader::MonthLoader(MakeHandle makeHandle, Publish publish, QObject* parent)
    : QObject(parent), m_makeHandle(std::move(makeHandle)), m_publish(std::move(publish)) {}

// A load under way keeps its own handle, options and calendar and reports to a watcher that goes
// with the loader, so it ends on its own and nothing hears of it.
MonthLoader::~MonthLoader() = default;

std::vector<Instant> MonthLoader::waiting() const {
    std::vector<Instant> starts;
    for (const DateInterval& month : m_waiting) {
        starts.push_back(month.start);
    }
    return starts;
}

void MonthLoader::want(const std::vector<DateInterval>& months, const FetchOptions& options,
                       const Calendar& calendar) {
    std::vector<DateInterval> waiting;
    for (const DateInterval& month : months) {
        // A load begun before a restart reads what is no longer so: the month is asked again.
        const bool underWay = month.start == m_loading && m_loadingGeneration == m_generation;
        if (!underWay && !holds(waiting, month)) {
            waiting.push_back(month);
        }
    }
    if (waiting.empty()) {
        return;
    }
    for (const DateInterval& month : m_waiting) {
        if (!holds(waiting, month)) {
            waiting.push_back(month);
        }
    }
    if (waiting.size() > kWaiting) {
        waiting.resize(kWaiting);
    }
    m_waiting = std::move(waiting);
    m_options = options;
    m_calendar = calendar;
    startNext();
}

void MonthLoader::restart(bool newHandle) {
    ++m_generation;
    m_waiting.clear();
    if (newHandle) {
        m_handle.reset();
    }
}

void MonthLoader::startNext() {
    if (m_loading || m_waiting.empty() || !m_calendar) {
        return;
    }
    if (!m_handle && m_makeHandle) {
        m_handle = m_makeHandle();
    }
    if (!m_handle) {
        m_waiting.clear();
        return;
    }
    const DateInterval month = m_waiting.front();
    m_waiting.erase(m_waiting.begin());
    m_loading = month.start;
    m_loadingGeneration = m_generation;

    auto* watcher = new QFutureWatcher<MonthDays>(this);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, generation = m_generation] {
                watcher->deleteLater();
                m_loading.reset();
                // A restart since the load began: what it read may be older than the store.
                if (generation == m_generation && watcher->future().resultCount() > 0) {
                    m_publish(watcher->future().takeResult());
                }
                startNext();
            });
    // One load at a time uses the handle, so the worker's decoded files carry over from month to
    // month without being shared between threads.
    watcher->setFuture(QtConcurrent::run(
        &backgroundPool(), [handle = m_handle, month, options = m_options, calendar = *m_calendar] {
            return MonthDays::read(*handle, month, options, calendar);
        }));
}

} // namespace plannery
