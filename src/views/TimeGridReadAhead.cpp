#include "views/TimeGridReadAhead.h"

#include <algorithm>
#include <cstddef>

namespace plannery {

namespace {

// Days this far either side of the page are asked for while idle, so that the months beside it
// are loaded before paging reaches them.
constexpr int kPrefetchDays = 21;

} // namespace

TimeGridReadAhead::TimeGridReadAhead(TimeGridSpan span, std::function<bool(Instant)> prepare)
    : m_span(span), m_prepare(std::move(prepare)) {
    m_prefetch.setSingleShot(true);
    m_prefetch.setInterval(0);
    QObject::connect(&m_prefetch, &QTimer::timeout, [this] {
        if (m_source) {
            m_source->request(m_prefetchFrom, m_prefetchTo);
        }
    });
    m_prepareTimer.setInterval(0);
    QObject::connect(&m_prepareTimer, &QTimer::timeout, [this] { prepareNext(); });
}

void TimeGridReadAhead::setSource(DaySource* source) {
    m_source = source;
    m_asked.reset();
}

void TimeGridReadAhead::around(Instant page, const Calendar& calendar) {
    if (!m_source || m_asked == page) {
        return;
    }
    m_asked = page;
    const int columns = m_span.pagesByWeek() ? 7 : m_span.dayCount(7);
    m_source->request(calendar.addDays(page, -columns).value_or(page),
                      calendar.addDays(page, 2 * columns).value_or(page));
}

void TimeGridReadAhead::rest(const TimeGridPager& pager) {
    const Instant page = pager.page();
    const Calendar& calendar = pager.calendar();
    m_prefetchFrom = calendar.addDays(page, -kPrefetchDays).value_or(page);
    m_prefetchTo = calendar.addDays(page, 7 + kPrefetchDays).value_or(page);
    m_prefetch.start();

    // The days beside the page, nearest first: the day after the page, the day before it, ...
    const std::vector<Instant> kept = pager.keptDays();
    const auto count = static_cast<std::ptrdiff_t>(kept.size());
    const std::ptrdiff_t start = std::find(kept.begin(), kept.end(), page) - kept.begin();
    const int dayCount = pager.geometry().dayCount;
    const std::ptrdiff_t end = start + dayCount;
    m_toPrepare.clear();
    for (std::ptrdiff_t distance = 1; distance <= dayCount; ++distance) {
        for (const std::ptrdiff_t i : {end - 1 + distance, start - distance}) {
            if (i >= 0 && i < count) {
                m_toPrepare.push_back(kept[static_cast<std::size_t>(i)]);
            }
        }
    }
    std::reverse(m_toPrepare.begin(), m_toPrepare.end());
    m_prepareTimer.start();
}

void TimeGridReadAhead::stop() {
    m_toPrepare.clear();
    m_prepareTimer.stop();
}

void TimeGridReadAhead::prepareNext() {
    if (m_toPrepare.empty() || !m_prepare(m_toPrepare.back())) {
        m_prepareTimer.stop();
        return;
    }
    m_toPrepare.pop_back();
}

} // namespace plannery
