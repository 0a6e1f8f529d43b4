#include "views/TimeGridView.h"

#include "grid/TimeGridDays.h"
#include "grid/TimeGridNow.h"
#include "views/DaySource.h"
#include "views/TimeGridInput.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

// Windows at least this wide get the roomier hour height of regular size classes.
constexpr double kRegularWidth = 600;

// The device pixels per point the painter really draws with (a widget rendered into an image of
// another ratio paints at the image's).
double deviceScale(const QPainter& painter) {
    const QTransform t = painter.deviceTransform();
    const double scale = std::hypot(t.m11(), t.m12());
    return std::isfinite(scale) && scale > 0 ? scale : 1;
}

bool sameCalendar(const Calendar& a, const Calendar& b) {
    return a.zoneId() == b.zoneId() && a.localeId() == b.localeId() &&
           a.firstWeekday() == b.firstWeekday();
}

} // namespace

TimeGridView::TimeGridView(TimeGridSpan span, Calendar calendar, QWidget* parent)
    : QWidget(parent), m_span(span), m_pager(span, calendar), m_painter(calendar, palette()),
      m_scroller(*this, m_pager, m_hours,
                 TimeGridScroller::Listener{.moved = [this] { moved(); },
                                            .heading = [this](Instant page) { fitPage(page); },
                                            .jumped =
                                                [this] {
                                                    m_visibleDays.clear();
                                                    showPage(true);
                                                    moved();
                                                },
                                            .rested = [this] { rested(); }}),
      m_readAhead(span, [this](Instant day) { return prepare(day); }),
      m_now([this] { minutePassed(); }), m_ghost(*this),
      m_input(std::make_unique<TimeGridInput>(*this)),
      m_link(AnchorLink::View{.pageOf = [this](Instant day) { return m_pager.pageOf(day); },
                              .show = [this](Instant page) { goToPage(page); }}) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setObjectName(QStringLiteral("timeGrid"));
    setAccessibleName(tr("Time grid"));
    m_pendingPage = m_pager.pageOf(m_now.now());
}

TimeGridView::~TimeGridView() = default;

void TimeGridView::setDaySource(DaySource* source) {
    if (m_source) {
        disconnect(m_source, nullptr, this, nullptr);
    }
    m_source = source;
    m_painter.setSource(source);
    m_readAhead.setSource(source);
    if (source) {
        connect(source, &DaySource::arrived, this, [this] {
            m_painter.forgetEvents();
            repaintHours();
        });
        connect(source, &DaySource::changed, this, [this] { reloadData(); });
    }
    reloadData();
}

void TimeGridView::setHandlers(Handlers handlers) {
    m_handlers = std::move(handlers);
}

void TimeGridView::setClock(std::function<Instant()> clock) {
    if (clock) {
        m_now.setClock(std::move(clock));
        placeNow();
        update();
    }
}

void TimeGridView::setNow(Instant now) {
    if (std::isfinite(now.seconds)) {
        setClock([now] { return now; });
    }
}

void TimeGridView::reloadData() {
    m_painter.forgetEvents();
    m_readAhead.forget();
    if (m_source) {
        if (Calendar fresh = m_source->calendar(); !sameCalendar(fresh, calendar())) {
            changeCalendar(std::move(fresh));
            return;
        }
    }
    m_readAhead.around(m_pager.isLaidOut() ? m_pager.page() : m_pendingPage, calendar());
    repaintHours();
}

void TimeGridView::repaintHours() {
    if (isLaidOut()) {
        // While paging the rows only grow, so that the hours do not jump under the fingers.
        if (!m_pager.isDragging() && !isPaging()) {
            showPage(false);
        } else {
            m_hours.growAllDayRows(m_painter.mostAllDay(m_visibleDays));
        }
        placeNow();
    }
    update();
}

void TimeGridView::changeCalendar(Calendar fresh) {
    // The page keeps its date as the user reads it: the same year, month and day in the new
    // zone.
    const Instant shown = m_pager.isLaidOut() ? m_pager.page() : m_pendingPage;
    const DateComponents c = calendar().components(shown);
    const Instant day = fresh.date(c.year, c.month, c.day).value_or(fresh.startOfDay(shown));
    m_pager.setCalendar(fresh);
    m_painter.setCalendar(fresh);
    m_pendingPage = m_pager.pageOf(day);
    m_readAhead.around(m_pendingPage, calendar());
    if (!m_laidOutSize.isEmpty()) {
        m_laidOutSize = QSize();
        layout(m_scale);
    }
    m_link.moved(m_pendingPage);
    update();
}

// Layout

void TimeGridView::layoutIfNeeded(double scale) const {
    if ((size() != m_laidOutSize || scale != m_scale || !m_pager.isLaidOut()) && width() > 60 &&
        height() > 60) {
        const_cast<TimeGridView*>(this)->layout(scale);
    }
}

void TimeGridView::layout(double scale) {
    const bool first = !m_pager.isLaidOut();
    const Instant page = first ? m_pendingPage : m_pager.page();
    const TimeGridViewport viewport{
        .width = static_cast<double>(width()),
        .height = static_cast<double>(height()),
        .bottomInset = 0,
        .scale = scale,
        .sizeClass = width() >= kRegularWidth ? SizeClass::regular : SizeClass::compact,
    };
    const int dayCount = m_span.dayCount(TimeGridDays::workDaysPerWeek(calendar(), page));
    const std::optional<TimeGridWidths> widths =
        TimeGridMetrics::widths(viewport, m_painter.gutterPreferredWidth(), dayCount);
    if (!widths) {
        return;
    }
    m_scale = scale;
    m_laidOutSize = size();
    m_scroller.stop();
    m_pager.reset(TimeGridPagerGeometry{.columnWidth = widths->columnWidth,
                                        .gutterWidth = widths->gutterWidth,
                                        .width = viewport.width,
                                        .dayCount = dayCount},
                  page);
    m_hours.layout(viewport, *widths, pageHours(m_pager.page()), nowOnPage(m_pager.page()));
    m_visibleDays.clear();
    m_painter.keep(m_pager.keptDays());
    placeNow();
    update();
}

TimeGridPainter::Scene TimeGridView::scene() const {
    return TimeGridPainter::Scene{
        .pager = m_pager, .hours = m_hours, .now = m_now, .size = size(), .scale = m_scale};
}

TimeGridPageHours TimeGridView::pageHours(Instant page) {
    return m_painter.pageHours(m_pager.pageDays(page), m_hours.fitHours());
}

std::optional<DateComponents> TimeGridView::nowOnPage(Instant page) const {
    const Instant now = m_now.now();
    if (!m_pager.pageHolds(page, now)) {
        return std::nullopt;
    }
    return calendar().components(now);
}

void TimeGridView::showPage(bool force) {
    if (m_hours.showPage(pageHours(m_pager.page()), force)) {
        placeNow();
    }
}

void TimeGridView::fitPage(Instant page) {
    if (m_hours.fitHours() && m_hours.showPage(pageHours(page), false)) {
        placeNow();
    }
}

// Paging

void TimeGridView::goToPage(Instant page) {
    m_pendingPage = page;
    m_readAhead.around(page, calendar());
    if (isLaidOut()) {
        scrollTo(page);
    }
}

void TimeGridView::scrollTo(Instant page) {
    m_scroller.scrollTo(page, true);
    if (const std::optional<DateComponents> now = nowOnPage(m_pager.page())) {
        setVerticalOffset(m_hours.initialOffset(now), true);
    }
}

void TimeGridView::page(int pages) {
    if (!isLaidOut() || pages == 0) {
        return;
    }
    const Instant target = m_pager.pagedDay(pages);
    m_readAhead.around(target, calendar());
    scrollTo(target);
    m_link.moved(m_pager.page());
}

void TimeGridView::moved() {
    update();
    // While a slide is under way the page is its target: the link already has it.
    m_link.moved(m_pager.page());
    m_readAhead.around(m_pager.page(), calendar());
    std::vector<Instant> visible = m_pager.visibleDays();
    if (visible != m_visibleDays) {
        m_visibleDays = std::move(visible);
        m_painter.keep(m_pager.keptDays());
        m_hours.growAllDayRows(m_painter.mostAllDay(m_visibleDays));
    }
    placeNow();
}

void TimeGridView::rested() {
    m_link.moved(m_pager.page());
    m_readAhead.around(m_pager.page(), calendar());
    showPage(false);
    if (isVisible()) {
        m_painter.keep(m_pager.keptDays());
        m_readAhead.rest(m_pager);
    } else {
        // A slide that ends after the grid was hidden: as on hiding, only the page stays drawn,
        // and nothing is drawn ahead until the grid is shown again.
        m_painter.keep(m_pager.visibleDays());
    }
    update();
}

bool TimeGridView::prepare(Instant day) {
    if (!m_pager.isLaidOut() || m_pager.isDragging() || isPaging()) {
        return false;
    }
    m_painter.prepare(day, m_hours.metrics(), m_now.shownToday() == day, m_scale);
    return true;
}

void TimeGridView::beginHorizontalDrag() {
    if (isLaidOut()) {
        m_scroller.beginDrag();
    }
}

void TimeGridView::dragHorizontally(double dx) {
    if (isLaidOut()) {
        m_scroller.drag(dx);
    }
}

void TimeGridView::endHorizontalDrag(double velocity) {
    m_scroller.endDrag(velocity);
}

// The hours

void TimeGridView::setHourHeight(double height) {
    m_hours.setHourHeight(height);
    placeNow();
    update();
}

void TimeGridView::setFitHours(std::optional<TimeGridHourRange> hours) {
    if (!m_hours.setFitHours(hours) || !isLaidOut()) {
        return;
    }
    showPage(true);
    if (!m_hours.fitHours()) {
        setVerticalOffset(m_hours.initialOffset(nowOnPage(m_pager.page())));
    }
    placeNow();
    update();
}

void TimeGridView::setVerticalOffset(double offset, bool animated) {
    if (std::isfinite(offset)) {
        layoutIfNeeded(m_scale);
        m_scroller.scrollHours(offset, animated);
    }
}

void TimeGridView::scrollVertically(double dy) {
    if (!isLaidOut()) {
        return;
    }
    m_scroller.stopHours();
    m_hours.scrollBy(dy);
    m_scroller.ensureSnapped();
    update();
}

void TimeGridView::beginZoom() {
    if (isLaidOut() && m_hours.beginZoom()) {
        m_scroller.ensureSnapped();
    }
}

void TimeGridView::zoom(double scale, double pointerY) {
    m_scroller.stopHours();
    if (m_hours.zoom(scale, pointerY)) {
        placeNow();
        update();
    }
}

void TimeGridView::endZoom() {
    if (const std::optional<double> height = m_hours.endZoom()) {
        placeNow();
        update();
        if (m_handlers.onHourHeightChange) {
            m_handlers.onHourHeightChange(*height);
        }
    }
}

void TimeGridView::toggleAllDay() {
    if (m_hours.toggleAllDay()) {
        showPage(false);
        update();
    }
}

// Clicks and the new event

void TimeGridView::tap(QPointF p) {
    if (!isLaidOut()) {
        return;
    }
    const bool inHeader = p.y() < m_hours.metrics().headerHeight();
    if (inHeader && p.x() < m_pager.geometry().gutterWidth) {
        toggleAllDay();
        return;
    }
    std::optional<CalEvent> event;
    if (inHeader) {
        const TimeGridHeader::Hit hit = headerHit(p);
        if (hit.kind == HeaderHit::Kind::more) {
            toggleAllDay();
            return;
        }
        if (hit.kind == HeaderHit::Kind::day) {
            if (const auto column = m_pager.columnAt(p.x()); column && m_handlers.onSelectDay) {
                m_handlers.onSelectDay(column->day);
            }
            return;
        }
        event = hit.event;
    } else {
        event = eventAt(p);
    }
    if (event && m_handlers.onSelect) {
        m_handlers.onSelect(*event);
    }
}

bool TimeGridView::beginNewEvent(QPointF p) {
    if (!isLaidOut() || !m_ghost.begin(m_pager, m_hours, p)) {
        return false;
    }
    update();
    return true;
}

void TimeGridView::dragNewEvent(QPointF p) {
    if (m_ghost.drag(m_hours, p)) {
        update();
    }
}

void TimeGridView::endNewEvent(bool cancelled) {
    const auto proposed = m_ghost.end(cancelled, calendar());
    if (proposed && m_handlers.onCreate) {
        m_handlers.onCreate(proposed->first, proposed->second);
    }
}

// The now line

void TimeGridView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_now.start();
    if (isLaidOut() && !isPaging()) {
        m_readAhead.rest(m_pager);
    }
}

// A hidden grid keeps drawn only the page it will show again; its neighbours' pictures are the
// larger part of its memory, and they are drawn again while idle once it is back on screen.
void TimeGridView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_now.stop();
    m_readAhead.stop();
    if (isLaidOut()) {
        m_painter.keep(m_pager.visibleDays());
    }
}

void TimeGridView::minutePassed() {
    if (!isLaidOut()) {
        return;
    }
    if (m_now.shownToday() != m_now.today(calendar())) {
        reloadData();
    } else {
        placeNow();
    }
}

void TimeGridView::placeNow() {
    if (m_pager.isLaidOut() && m_now.place(m_pager, m_hours.metrics())) {
        update();
    }
}

// Painting

void TimeGridView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        m_painter.setPalette(palette());
        update();
    }
    QWidget::changeEvent(event);
}

void TimeGridView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutIfNeeded(m_scale);
}

bool TimeGridView::event(QEvent* event) {
    if (m_input->handle(event)) {
        return true;
    }
    return QWidget::event(event);
}

void TimeGridView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    layoutIfNeeded(deviceScale(painter));
    painter.fillRect(rect(), m_painter.palette().background);
    if (!isLaidOut()) {
        return;
    }
    m_painter.paint(painter, scene());
    m_ghost.paint(painter, m_painter.palette(), m_pager, m_hours, size());
    m_scroller.paintFade(painter);
}

// What the user sees

bool TimeGridView::isLaidOut() const {
    layoutIfNeeded(m_scale);
    return m_pager.isLaidOut() && m_hours.isLaidOut();
}

const TimeGridView& TimeGridView::laidOut() const {
    layoutIfNeeded(m_scale);
    return *this;
}

std::vector<Instant> TimeGridView::pageDays() const {
    return isLaidOut() ? m_pager.pageDays(m_pager.page()) : std::vector<Instant>{};
}

std::optional<double> TimeGridView::columnLeft(Instant day) const {
    return isLaidOut() ? m_pager.leftOf(day) : std::nullopt;
}

std::optional<CalEvent> TimeGridView::eventAt(QPointF p) const {
    if (!isLaidOut()) {
        return std::nullopt;
    }
    return const_cast<TimeGridPainter&>(m_painter).eventAt(scene(), p);
}

TimeGridHeader::Hit TimeGridView::headerHit(QPointF p) const {
    if (!isLaidOut()) {
        return {};
    }
    return const_cast<TimeGridPainter&>(m_painter).headerHit(scene(), p);
}

std::vector<TimeGridView::Marker> TimeGridView::uiTestMarkers() const {
    if (!m_uiTestMarkers || !isLaidOut()) {
        return {};
    }
    return TimeGridPainter::markers(scene());
}

} // namespace plannery
