#include "views/TimeGridView.h"

#include "grid/TimeGridDays.h"
#include "grid/TimeGridNow.h"
#include "model/Fmt.h"
#include "views/DaySource.h"
#include "views/TimeGridInput.h"

#include <QEasingCurve>
#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

// Windows at least this wide get the roomier hour height of regular size classes.
constexpr double kRegularWidth = 600;
constexpr int kPagingMs = 280;
constexpr int kCrossDissolveMs = 200;
constexpr int kVerticalScrollMs = 250;
// Days this far either side of the page are read ahead while idle, so that the months beside
// it are loaded before paging reaches them.
constexpr int kPrefetchDays = 21;

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
      m_now([this] { minutePassed(); }), m_ghost(*this),
      m_input(std::make_unique<TimeGridInput>(*this)),
      m_link(AnchorLink::View{.pageOf = [this](Instant day) { return m_pager.pageOf(day); },
                              .show = [this](Instant page) { goToPage(page); }}) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setObjectName(QStringLiteral("timeGrid"));
    setAccessibleName(tr("Time grid"));
    m_pendingPage = m_pager.pageOf(m_now.now());

    m_prepareTimer.setInterval(0);
    connect(&m_prepareTimer, &QTimer::timeout, this, [this] { prepareNext(); });

    m_hAnimation.setEasingCurve(QEasingCurve::OutCubic);
    m_hAnimation.setDuration(kPagingMs);
    connect(&m_hAnimation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setHorizontalOffset(value.toDouble()); });
    connect(&m_hAnimation, &QVariantAnimation::finished, this, [this] {
        m_pager.endSlide();
        settle();
    });
    m_vAnimation.setEasingCurve(QEasingCurve::OutCubic);
    m_vAnimation.setDuration(kVerticalScrollMs);
    connect(&m_vAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_hours.setOffset(value.toDouble());
        update();
    });
    m_fade.setDuration(kCrossDissolveMs);
    m_fade.setStartValue(1.0);
    m_fade.setEndValue(0.0);
    connect(&m_fade, &QVariantAnimation::valueChanged, this, [this] { update(); });
    connect(&m_fade, &QVariantAnimation::finished, this, [this] {
        m_fadeFrom = QPixmap();
        update();
    });
}

TimeGridView::~TimeGridView() = default;

void TimeGridView::setDaySource(DaySource* source) {
    if (m_source) {
        disconnect(m_source, nullptr, this, nullptr);
    }
    m_source = source;
    m_painter.setSource(source);
    m_requested.reset();
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
    m_requested.reset();
    if (m_source) {
        if (Calendar fresh = m_source->calendar(); !sameCalendar(fresh, calendar())) {
            changeCalendar(std::move(fresh));
            return;
        }
    }
    request(m_pager.isLaidOut() ? m_pager.page() : m_pendingPage);
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
    request(m_pendingPage);
    if (!m_laidOutSize.isEmpty()) {
        m_laidOutSize = QSize();
        layout(m_scale);
    }
    m_link.moved(m_pendingPage);
    update();
}

// Layout

bool TimeGridView::isLaidOut() const {
    layoutIfNeeded(m_scale);
    return m_pager.isLaidOut() && m_hours.isLaidOut();
}

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
    m_hAnimation.stop();
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

// The days the grid shows

void TimeGridView::request(Instant page) {
    if (!m_source || m_requested == page) {
        return;
    }
    m_requested = page;
    // The page and a page on either side: a drag brings in columns that are ready.
    const int columns = m_span.pagesByWeek() ? 7 : m_span.dayCount(7);
    const Calendar& cal = calendar();
    m_source->request(cal.addDays(page, -columns).value_or(page),
                      cal.addDays(page, 2 * columns).value_or(page));
}

void TimeGridView::prefetch() {
    const Instant page = m_pager.page();
    QTimer::singleShot(0, this, [this, page] {
        if (m_source) {
            const Calendar& cal = calendar();
            m_source->request(cal.addDays(page, -kPrefetchDays).value_or(page),
                              cal.addDays(page, 7 + kPrefetchDays).value_or(page));
        }
    });
    // The days beside the page, nearest first, so that paging to them draws pictures ready made.
    const std::vector<Instant> kept = m_pager.keptDays();
    const auto count = static_cast<std::ptrdiff_t>(kept.size());
    const std::ptrdiff_t start = std::find(kept.begin(), kept.end(), page) - kept.begin();
    const std::ptrdiff_t end = start + m_pager.geometry().dayCount;
    m_toPrepare.clear();
    for (std::ptrdiff_t distance = 1; distance <= m_pager.geometry().dayCount; ++distance) {
        for (const std::ptrdiff_t i : {end - 1 + distance, start - distance}) {
            if (i >= 0 && i < count) {
                m_toPrepare.push_back(kept[static_cast<std::size_t>(i)]);
            }
        }
    }
    std::reverse(m_toPrepare.begin(), m_toPrepare.end());
    m_prepareTimer.start();
}

void TimeGridView::prepareNext() {
    if (m_toPrepare.empty() || !m_pager.isLaidOut() || m_pager.isDragging() || isPaging()) {
        m_prepareTimer.stop();
        return;
    }
    const Instant day = m_toPrepare.back();
    m_toPrepare.pop_back();
    m_painter.prepare(day, m_hours.metrics(), m_now.shownToday() == day, m_scale);
}

// Paging

void TimeGridView::goToPage(Instant page) {
    m_pendingPage = page;
    request(page);
    if (isLaidOut()) {
        scrollTo(page, true);
    }
}

void TimeGridView::scrollTo(Instant page, bool animated) {
    if (const std::optional<double> slide = animated ? m_pager.slideTo(page) : std::nullopt) {
        if (std::abs(*slide - m_pager.offset()) > 0.5) {
            animateHorizontally(*slide, true);
        } else {
            // Already there (a slide elsewhere may not have moved yet): stay.
            m_hAnimation.stop();
            m_pager.endSlide();
        }
        fitPage(page);
    } else {
        if (animated && isVisible()) {
            m_fadeFrom = grab();
            m_fade.stop();
            m_fade.start();
        }
        jumpTo(page);
        settle();
    }
    if (const std::optional<DateComponents> now = nowOnPage(m_pager.page())) {
        setVerticalOffset(m_hours.initialOffset(now), animated);
    }
}

void TimeGridView::jumpTo(Instant page) {
    m_hAnimation.stop();
    m_pager.reset(m_pager.geometry(), page);
    m_visibleDays.clear();
    m_painter.keep(m_pager.keptDays());
    showPage(true);
    placeNow();
    update();
}

void TimeGridView::page(int pages) {
    if (!isLaidOut() || pages == 0) {
        return;
    }
    const Instant target = m_pager.pagedDay(pages);
    request(target);
    scrollTo(target, true);
    m_link.moved(m_pager.page());
}

bool TimeGridView::isPaging() const {
    return m_hAnimation.state() == QAbstractAnimation::Running || m_pager.isSliding();
}

void TimeGridView::setHorizontalOffset(double offset) {
    if (!m_pager.setOffset(offset)) {
        return;
    }
    update();
    // While a slide is under way the page is its target: the link already has it.
    m_link.moved(m_pager.page());
    request(m_pager.page());
    const std::vector<TimeGridColumnPlace> columns = m_pager.visibleColumns();
    std::vector<Instant> visible;
    visible.reserve(columns.size());
    for (const TimeGridColumnPlace& column : columns) {
        visible.push_back(column.day);
    }
    if (visible != m_visibleDays) {
        m_visibleDays = std::move(visible);
        m_painter.keep(m_pager.keptDays());
        m_hours.growAllDayRows(m_painter.mostAllDay(m_visibleDays));
    }
    placeNow();
}

void TimeGridView::animateHorizontally(double target, bool slide) {
    if (!slide) {
        m_pager.endSlide();
    }
    m_hAnimation.stop();
    if (!isVisible()) {
        // Nothing to watch: arrive at once.
        setHorizontalOffset(target);
        m_pager.endSlide();
        settle();
        return;
    }
    m_hAnimation.setStartValue(m_pager.offset());
    m_hAnimation.setEndValue(target);
    m_hAnimation.start();
}

void TimeGridView::beginHorizontalDrag() {
    if (!isLaidOut()) {
        return;
    }
    m_hAnimation.stop();
    m_pager.beginDrag();
}

void TimeGridView::dragHorizontally(double dx) {
    if (!isLaidOut()) {
        return;
    }
    if (!m_pager.isDragging()) {
        beginHorizontalDrag();
    }
    setHorizontalOffset(m_pager.offset() + dx);
}

void TimeGridView::endHorizontalDrag(double velocity) {
    if (!m_pager.isDragging()) {
        return;
    }
    const TimeGridPagerStop stop = m_pager.endDrag(velocity);
    fitPage(stop.page);
    if (std::abs(stop.offset - m_pager.offset()) <= 0.5) {
        settle();
    } else {
        animateHorizontally(stop.offset, false);
    }
}

void TimeGridView::settle() {
    if (!isLaidOut() || m_pager.isDragging()) {
        return;
    }
    if (const std::optional<double> snap = m_pager.settle()) {
        animateHorizontally(*snap, false);
        return;
    }
    m_link.moved(m_pager.page());
    request(m_pager.page());
    showPage(false);
    m_visibleDays.clear();
    m_painter.keep(m_pager.keptDays());
    prefetch();
    update();
}

void TimeGridView::ensureSnapped() {
    if (isLaidOut() && !m_pager.isDragging() && !isPaging() && !m_pager.isSnapped()) {
        settle();
    }
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
    if (!std::isfinite(offset)) {
        return;
    }
    m_vAnimation.stop();
    if (!isLaidOut()) {
        m_hours.setOffset(offset);
        return;
    }
    if (animated && isVisible()) {
        m_vAnimation.setStartValue(m_hours.offset());
        m_vAnimation.setEndValue(m_hours.clamped(offset));
        m_vAnimation.start();
        return;
    }
    m_hours.setOffset(offset);
    update();
}

void TimeGridView::scrollVertically(double dy) {
    if (!isLaidOut()) {
        return;
    }
    m_vAnimation.stop();
    m_hours.scrollBy(dy);
    ensureSnapped();
    update();
}

void TimeGridView::beginZoom() {
    if (isLaidOut() && m_hours.beginZoom()) {
        ensureSnapped();
    }
}

void TimeGridView::zoom(double scale, double pointerY) {
    m_vAnimation.stop();
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
    const double headerHeight = m_hours.metrics().headerHeight();
    if (p.y() < headerHeight && p.x() < m_pager.geometry().gutterWidth) {
        toggleAllDay();
        return;
    }
    if (p.y() < headerHeight) {
        const TimeGridHeader::Hit hit = headerHit(p);
        switch (hit.kind) {
        case HeaderHit::Kind::event:
            if (hit.event && m_handlers.onSelect) {
                m_handlers.onSelect(*hit.event);
            }
            return;
        case HeaderHit::Kind::more:
            toggleAllDay();
            return;
        case HeaderHit::Kind::day:
            if (const auto column = m_pager.columnAt(p.x()); column && m_handlers.onSelectDay) {
                m_handlers.onSelectDay(column->day);
            }
            return;
        case HeaderHit::Kind::none:
            return;
        }
    }
    if (const std::optional<CalEvent> event = eventAt(p); event && m_handlers.onSelect) {
        m_handlers.onSelect(*event);
    }
}

bool TimeGridView::beginNewEvent(QPointF p) {
    if (!isLaidOut() || p.y() < m_hours.metrics().headerHeight() ||
        p.x() < m_pager.geometry().gutterWidth) {
        return false;
    }
    const std::optional<TimeGridColumnPlace> column = m_pager.columnAt(p.x());
    if (!column) {
        return false;
    }
    const TimeGridMetrics& metrics = m_hours.metrics();
    m_ghost.begin(column->day, metrics.minute(p.y() - m_hours.contentTop()), metrics.startHour,
                  metrics.endHour);
    update();
    return true;
}

void TimeGridView::dragNewEvent(QPointF p) {
    const TimeGridMetrics& metrics = m_hours.metrics();
    if (m_ghost.drag(metrics.minute(p.y() - m_hours.contentTop()), metrics.startHour,
                     metrics.endHour)) {
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
}

void TimeGridView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_now.stop();
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
    if (!m_pager.isLaidOut()) {
        return;
    }
    const Instant today = m_now.today(calendar());
    std::optional<double> left;
    for (const TimeGridColumnPlace& column : m_pager.visibleColumns()) {
        if (column.day == today) {
            left = column.left;
        }
    }
    if (m_now.place(calendar(), m_hours.metrics(), left)) {
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
    const double gutter = m_pager.geometry().gutterWidth;
    const std::optional<Instant> ghostDay = m_ghost.day();
    m_ghost.paint(painter, m_painter.palette(), calendar(), m_hours.metrics(), m_hours.contentTop(),
                  ghostDay ? m_pager.leftOf(*ghostDay) : std::nullopt,
                  QRectF(gutter, m_hours.metrics().headerHeight(), width() - gutter,
                         m_hours.scrollerHeight()));
    if (!m_fadeFrom.isNull()) {
        painter.setOpacity(m_fade.currentValue().toDouble());
        painter.drawPixmap(QPointF(0, 0), m_fadeFrom);
        painter.setOpacity(1);
    }
}

// What the user sees

const TimeGridMetrics& TimeGridView::metrics() const {
    layoutIfNeeded(m_scale);
    return m_hours.metrics();
}

double TimeGridView::gutterWidth() const {
    layoutIfNeeded(m_scale);
    return m_pager.geometry().gutterWidth;
}

double TimeGridView::verticalOffset() const {
    layoutIfNeeded(m_scale);
    return m_hours.offset();
}

double TimeGridView::horizontalOffset() const {
    layoutIfNeeded(m_scale);
    return m_pager.offset();
}

Instant TimeGridView::pageStart() const {
    return isLaidOut() ? m_pager.page() : m_pendingPage;
}

std::vector<Instant> TimeGridView::pageDays() const {
    return isLaidOut() ? m_pager.pageDays(m_pager.page()) : std::vector<Instant>{};
}

int TimeGridView::dayCount() const {
    layoutIfNeeded(m_scale);
    return m_pager.geometry().dayCount;
}

std::optional<double> TimeGridView::columnLeft(Instant day) const {
    return isLaidOut() ? m_pager.leftOf(day) : std::nullopt;
}

double TimeGridView::contentTop() const {
    layoutIfNeeded(m_scale);
    return m_hours.contentTop();
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
    std::vector<Marker> markers;
    if (!m_uiTestMarkers || !isLaidOut()) {
        return markers;
    }
    const double columnWidth = m_hours.metrics().columnWidth;
    for (const TimeGridColumnPlace& column : m_pager.visibleColumns()) {
        const std::string key = Fmt::dayKey(column.day, calendar());
        markers.push_back(Marker{.identifier = "headerTitle-" + key,
                                 .frame = QRectF(column.left, 0, columnWidth, 1)});
        markers.push_back(Marker{.identifier = "column-" + key,
                                 .frame = QRectF(column.left, contentTop(), columnWidth, 1)});
    }
    return markers;
}

} // namespace plannery
