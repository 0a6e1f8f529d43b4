#include "views/AgendaListView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

constexpr int kScrollMs = 300;
constexpr int kSpinnerMs = 80;
constexpr int kScrollStep = 24;
// A target farther than this many screens away is approached from one screen before it: the
// animation shows the arrival, not a blur of everything between.
constexpr double kFarScreens = 2;
// The days ahead are read a month at a time, one month per turn of the event loop.
constexpr int kAheadChunkDays = 31;
// The most days one reading asks for (a bad range must not read for ever).
constexpr int kMaxFetchDays = 366 * 25;

bool sameCalendar(const Calendar& a, const Calendar& b) {
    return a.zoneId() == b.zoneId() && a.localeId() == b.localeId() &&
           a.firstWeekday() == b.firstWeekday();
}

} // namespace

AgendaListView::AgendaListView(Calendar calendar, QWidget* parent)
    : QAbstractScrollArea(parent), m_calendar(std::move(calendar)),
      m_clock([] { return Instant::now(); }),
      m_link(AnchorLink::View{.pageOf = [this](Instant anchor) { return reach(anchor); },
                              .show = [this](Instant day) { showDay(day); }}),
      m_palette(GridPalette::from(palette())) {
    setObjectName(QStringLiteral("agenda"));
    setAccessibleName(tr("Agenda"));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(kScrollStep);
    connect(verticalScrollBar(), &QScrollBar::sliderPressed, this, [this] { stopScrolling(); });

    m_scrollAnimation.setDuration(kScrollMs);
    m_scrollAnimation.setEasingCurve(QEasingCurve::OutCubic);
    // A stopped animation reports a value when its end is set; only a running one moves the list.
    connect(&m_scrollAnimation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) {
                if (isScrollingToDay()) {
                    setOffset(value.toDouble());
                }
            });
    connect(&m_scrollAnimation, &QVariantAnimation::finished, this, [this] {
        setOffset(m_scrollAnimation.endValue().toDouble());
        checkSentinel();
    });

    m_prefetchTimer.setSingleShot(true);
    m_prefetchTimer.setInterval(0);
    connect(&m_prefetchTimer, &QTimer::timeout, this, [this] { prefetchAhead(); });
    // Finished events fade and today moves on: look again every minute.
    m_minuteTimer.setInterval(60 * 1000);
    m_minuteTimer.setTimerType(Qt::CoarseTimer);
    connect(&m_minuteTimer, &QTimer::timeout, this, [this] { minuteTick(); });
    m_minuteTimer.start();
    m_spinnerTimer.setInterval(kSpinnerMs);
    connect(&m_spinnerTimer, &QTimer::timeout, this, [this] {
        m_spinnerPhase = (m_spinnerPhase + 1) % 12;
        viewport()->update();
    });
}

AgendaListView::~AgendaListView() = default;

void AgendaListView::setDaySource(DaySource* source) {
    if (m_source) {
        disconnect(m_source, nullptr, this, nullptr);
    }
    m_source = source;
    if (source) {
        // Days that arrive late are read again with the whole range: the top day stays put. The
        // days read ahead may be among them and are read again too.
        connect(source, &DaySource::arrived, this, [this] {
            if (m_range) {
                m_days = fetch(m_range->start, m_range->end);
                m_aheadRange.reset();
                m_ahead.clear();
                rebuild();
            }
        });
        connect(source, &DaySource::changed, this, [this] { reloadData(); });
    }
    reloadData();
}

void AgendaListView::setOnSelect(std::function<void(const CalEvent&)> handler) {
    m_onSelect = std::move(handler);
}

void AgendaListView::setClock(std::function<Instant()> clock) {
    if (clock) {
        m_clock = std::move(clock);
        minuteTick();
    }
}

void AgendaListView::setNow(Instant now) {
    if (std::isfinite(now.seconds)) {
        setClock([now] { return now; });
    }
}

Instant AgendaListView::now() const {
    return m_clock();
}

double AgendaListView::viewportHeight() const {
    return viewport()->height();
}

double AgendaListView::scrollOffset() const {
    return verticalScrollBar()->value();
}

bool AgendaListView::isScrollingToDay() const {
    return m_scrollAnimation.state() == QAbstractAnimation::Running;
}

// The anchor, both ways

Instant AgendaListView::reach(Instant anchor) {
    const Instant day = m_calendar.startOfDay(anchor);
    if (!m_range) {
        // A new list begins at its anchor's day, shown from the top.
        m_scrolledDay.reset();
        grow(AgendaRange::around(anchor, m_calendar));
        setOffset(0);
        return day;
    }
    grow(m_range->reaching(anchor, m_calendar));
    return AgendaSections::scrollTarget(m_days, anchor, m_today, m_calendar).value_or(day);
}

void AgendaListView::showDay(Instant day) {
    // A list opened on the day and not scrolled since shows it at its top already.
    if (!m_scrolledDay && m_range && day == m_range->start && scrollOffset() == 0) {
        return;
    }
    scrollToDay(day);
}

void AgendaListView::userScrolled() {
    stopScrolling();
    const std::optional<std::size_t> index = m_stack.sectionAt(scrollOffset());
    if (!index || *index >= m_sections.size()) {
        return;
    }
    const Instant day = m_sections[*index].day;
    if (m_scrolledDay == day) {
        return;
    }
    m_scrolledDay = day;
    m_link.moved(day);
}

void AgendaListView::scrollToDay(std::optional<Instant> day) {
    m_scrolledDay = day;
    const std::optional<std::size_t> index =
        day ? AgendaSections::indexAtOrAfter(m_sections, *day) : std::nullopt;
    if (!index) {
        return;
    }
    const double height = viewportHeight();
    const double target = m_stack.offsetFor(*index, height);
    const double from = scrollOffset();
    stopScrolling();
    if (!isVisible() || std::abs(target - from) < 1) {
        setOffset(target);
        return;
    }
    const double reach = kFarScreens * height;
    const double start = std::clamp(from, target - reach, target + reach);
    setOffset(start);
    m_scrollAnimation.setStartValue(start);
    m_scrollAnimation.setEndValue(target);
    m_scrollAnimation.start();
}

void AgendaListView::stopScrolling() {
    m_scrollAnimation.stop();
}

// Loading days

void AgendaListView::showEarlier() {
    if (m_range) {
        grow(m_range->earlier(m_calendar));
    }
}

std::vector<AgendaDay> AgendaListView::fetch(Instant from, Instant to) {
    if (m_source) {
        m_source->request(from, to);
    }
    std::vector<AgendaDay> days;
    Instant day = m_calendar.startOfDay(from);
    while (day < to && days.size() < static_cast<std::size_t>(kMaxFetchDays)) {
        days.push_back(AgendaDay{.day = day, .events = m_source ? m_source->events(day) : nullptr});
        const std::optional<Instant> next = m_calendar.addDays(day, 1);
        if (!next || *next <= day) {
            break;
        }
        day = *next;
    }
    return days;
}

void AgendaListView::grow(AgendaRange range) {
    const bool restart =
        !m_range || m_days.empty() || range.start > m_range->start || range.end < m_range->end;
    if (!restart && range == *m_range) {
        return;
    }
    if (restart) {
        m_days = fetch(range.start, range.end);
        m_aheadRange.reset();
        m_ahead.clear();
    } else {
        if (range.start < m_range->start) {
            std::vector<AgendaDay> earlier = fetch(range.start, m_range->start);
            m_days.insert(m_days.begin(), std::make_move_iterator(earlier.begin()),
                          std::make_move_iterator(earlier.end()));
        }
        if (range.end > m_range->end) {
            std::vector<AgendaDay> later;
            Instant from = m_range->end;
            // The days read ahead, as far as they go, then the rest.
            if (m_aheadRange && m_aheadRange->start == from && m_aheadRange->end <= range.end) {
                later = std::move(m_ahead);
                from = m_aheadRange->end;
            }
            m_aheadRange.reset();
            m_ahead.clear();
            if (from < range.end) {
                std::vector<AgendaDay> rest = fetch(from, range.end);
                later.insert(later.end(), std::make_move_iterator(rest.begin()),
                             std::make_move_iterator(rest.end()));
            }
            m_days.insert(m_days.end(), std::make_move_iterator(later.begin()),
                          std::make_move_iterator(later.end()));
        }
    }
    m_range = range;
    rebuild();
}

void AgendaListView::prefetchAhead() {
    if (!m_range || !m_source) {
        return;
    }
    const AgendaRange wanted{.start = m_range->end, .end = m_range->later(m_calendar).end};
    if (!m_aheadRange || m_aheadRange->start != wanted.start) {
        m_aheadRange = AgendaRange{.start = wanted.start, .end = wanted.start};
        m_ahead.clear();
    }
    if (m_aheadRange->end >= wanted.end) {
        return;
    }
    const Instant to = std::min(
        m_calendar.addDays(m_aheadRange->end, kAheadChunkDays).value_or(wanted.end), wanted.end);
    std::vector<AgendaDay> chunk = fetch(m_aheadRange->end, to);
    for (const AgendaDay& day : chunk) {
        if (day.events) {
            for (const CalEvent& event : *day.events) {
                m_painter.titleWidth(event.title);
            }
        }
    }
    m_ahead.insert(m_ahead.end(), std::make_move_iterator(chunk.begin()),
                   std::make_move_iterator(chunk.end()));
    m_aheadRange->end = to;
    if (to < wanted.end) {
        m_prefetchTimer.start();
    }
}

void AgendaListView::reloadData() {
    if (m_source) {
        if (Calendar fresh = m_source->calendar(); !sameCalendar(fresh, m_calendar)) {
            m_calendar = std::move(fresh);
            if (m_range) {
                m_range = AgendaRange{.start = m_calendar.startOfDay(m_range->start),
                                      .end = m_calendar.startOfDay(m_range->end)};
            }
            if (m_scrolledDay) {
                m_scrolledDay = m_calendar.startOfDay(*m_scrolledDay);
            }
        }
    }
    m_aheadRange.reset();
    m_ahead.clear();
    if (!m_range) {
        viewport()->update();
        return;
    }
    m_days = fetch(m_range->start, m_range->end);
    rebuild();
}

// Layout and position

void AgendaListView::rebuild() {
    // The day at the top stays where it is on screen; without one (the user has not scrolled
    // yet) the offset stays. A scroll on its way to a day arrives at once.
    const bool arriving = isScrollingToDay();
    stopScrolling();
    std::optional<Instant> kept = m_scrolledDay;
    double delta = 0;
    if (kept && !arriving) {
        if (const auto index = AgendaSections::indexAtOrAfter(m_sections, *kept)) {
            delta = scrollOffset() - m_stack.sectionTop(*index);
        }
    }
    const double offset = scrollOffset();

    m_today = m_calendar.startOfDay(now());
    m_sections = AgendaSections::shown(m_days, m_range->start, m_today, m_calendar);
    measure();
    layoutStack();

    const std::optional<std::size_t> index =
        kept ? AgendaSections::indexAtOrAfter(m_sections, *kept) : std::nullopt;
    setOffset(index ? m_stack.sectionTop(*index) + delta : offset);
    if (index && m_sections[*index].day != *kept) {
        // The day at the top is gone (its last event was removed): the next one takes its place.
        m_scrolledDay = m_sections[*index].day;
        m_link.moved(*m_scrolledDay);
    }
    viewport()->update();
    checkSentinel();
    m_prefetchTimer.start();
}

void AgendaListView::measure() {
    m_titleWidths.clear();
    m_titleWidths.reserve(m_sections.size());
    for (const AgendaSection& section : m_sections) {
        std::vector<double> widths;
        widths.reserve(section.events->size());
        for (const CalEvent& event : *section.events) {
            widths.push_back(m_painter.titleWidth(event.title));
        }
        m_titleWidths.push_back(std::move(widths));
    }
}

void AgendaListView::layoutStack() {
    const AgendaLineHeights& lines = m_painter.lineHeights();
    const double available = AgendaLayout::titleWidth(viewport()->width());
    m_titleLines.assign(m_sections.size(), {});
    std::vector<double> heights;
    heights.reserve(m_sections.size());
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        std::vector<int>& counts = m_titleLines[i];
        counts.reserve(m_titleWidths[i].size());
        for (const double width : m_titleWidths[i]) {
            counts.push_back(AgendaLayout::titleLines(width, available));
        }
        heights.push_back(AgendaLayout::sectionHeight(m_sections[i].showMonth, counts, lines));
    }
    m_stack = AgendaStack(AgendaLayout::buttonHeight(lines), heights, AgendaLayout::footerHeight());
    m_measuredWidth = viewport()->width();
    updateScrollBar();
}

void AgendaListView::updateScrollBar() {
    const double height = viewportHeight();
    m_settingOffset = true;
    verticalScrollBar()->setRange(0, static_cast<int>(std::ceil(m_stack.maxOffset(height))));
    verticalScrollBar()->setPageStep(std::max(static_cast<int>(height), 1));
    m_settingOffset = false;
}

void AgendaListView::setOffset(double offset) {
    if (!std::isfinite(offset)) {
        return;
    }
    m_settingOffset = true;
    verticalScrollBar()->setValue(static_cast<int>(std::lround(offset)));
    m_settingOffset = false;
}

void AgendaListView::scrollContentsBy(int, int) {
    viewport()->update();
    if (!m_settingOffset) {
        userScrolled();
    }
    checkSentinel();
}

void AgendaListView::checkSentinel() {
    const double height = viewportHeight();
    const bool footerShows =
        m_range && isVisible() && height > 0 && m_stack.sentinelTop() < scrollOffset() + height;
    if (footerShows != m_spinnerTimer.isActive()) {
        footerShows ? m_spinnerTimer.start() : m_spinnerTimer.stop();
    }
    if (!m_range || !isVisible() || height <= 0) {
        return;
    }
    const bool visible = m_stack.sentinelVisible(scrollOffset(), height);
    if (visible == m_sentinelShown) {
        return;
    }
    m_sentinelShown = visible;
    if (visible) {
        // The bottom came into view: 90 more days below.
        grow(m_range->later(m_calendar));
    }
}

void AgendaListView::minuteTick() {
    if (m_range && m_calendar.startOfDay(now()) != m_today) {
        rebuild();
    }
    viewport()->update();
}

// Input and events

void AgendaListView::wheelEvent(QWheelEvent* event) {
    stopScrolling();
    QAbstractScrollArea::wheelEvent(event);
}

void AgendaListView::keyPressEvent(QKeyEvent* event) {
    stopScrolling();
    QAbstractScrollArea::keyPressEvent(event);
}

void AgendaListView::mousePressEvent(QMouseEvent* event) {
    stopScrolling();
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_pressed = hitAt(event->position());
    viewport()->update();
}

void AgendaListView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (!m_pressed) {
        return;
    }
    const Hit pressed = *m_pressed;
    m_pressed.reset();
    viewport()->update();
    const std::optional<Hit> released = hitAt(event->position());
    if (!released || released->showEarlier != pressed.showEarlier ||
        released->section != pressed.section || released->row != pressed.row) {
        return;
    }
    if (pressed.showEarlier) {
        showEarlier();
    } else if (m_onSelect && pressed.section < m_sections.size()) {
        const AgendaSection& section = m_sections[pressed.section];
        if (pressed.row < section.events->size()) {
            m_onSelect((*section.events)[pressed.row]);
        }
    }
}

void AgendaListView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (!m_range) {
        return;
    }
    if (viewport()->width() != m_measuredWidth) {
        // Titles break differently: lay out again, keeping the day at the top in place.
        const std::optional<Instant> kept = m_scrolledDay;
        const auto before = kept ? AgendaSections::indexAtOrAfter(m_sections, *kept) : std::nullopt;
        const double delta = before ? scrollOffset() - m_stack.sectionTop(*before) : 0;
        layoutStack();
        if (before) {
            setOffset(m_stack.sectionTop(*before) + delta);
        }
    } else {
        updateScrollBar();
    }
    checkSentinel();
}

void AgendaListView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    if (!m_range) {
        setAnchor(m_calendar.startOfDay(now()));
    }
    checkSentinel();
}

void AgendaListView::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        m_palette = GridPalette::from(palette());
        viewport()->update();
        break;
    case QEvent::FontChange:
        m_painter.updateFonts();
        if (m_range) {
            rebuild();
        }
        break;
    default:
        break;
    }
    QAbstractScrollArea::changeEvent(event);
}

} // namespace plannery
