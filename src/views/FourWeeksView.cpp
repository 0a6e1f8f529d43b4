#include "views/FourWeeksView.h"

#include "grid/FourWeeksCell.h"
#include "grid/FourWeeksLayout.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

constexpr int kPagingMs = 320;
// A swipe with no new movement for this long has ended (touchpads that send no end phase).
constexpr int kSwipeIdleMs = 140;
// A press that moves farther than this drags the pager instead of clicking a day.
constexpr double kDragThreshold = 8;
// Pages this far from the centre move the centre to them, so paging never runs out.
constexpr int kRecentreBeyond = FourWeeksPages::pageRadius - 12;
constexpr double kWeekdaySize = 11;
// How long the view must be left alone before it draws a page beside the one on screen.
constexpr int kPrepareAfterMs = 60;

bool sameCalendar(const Calendar& a, const Calendar& b) {
    return a.zoneId() == b.zoneId() && a.localeId() == b.localeId() &&
           a.firstWeekday() == b.firstWeekday();
}

} // namespace

FourWeeksView::FourWeeksView(Calendar calendar, QWidget* parent)
    : QWidget(parent), m_calendar(std::move(calendar)), m_clock([] { return Instant::now(); }),
      m_palette(GridPalette::from(palette())),
      m_weekdays(FourWeeksPages::weekdayLabels(m_calendar)),
      m_weekdayFont(gridFont(FontSpec{.size = kWeekdaySize, .weight = FontWeight::semibold})) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setObjectName(QStringLiteral("fourWeeks"));
    setAccessibleName(tr("Four weeks"));
    m_center = FourWeeksPages::weekStart(m_clock(), m_calendar);

    m_animation.setEasingCurve(QEasingCurve::OutCubic);
    connect(&m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setPosition(value.toDouble()); });
    connect(&m_animation, &QVariantAnimation::finished, this, [this] { settle(); });
    m_swipeEnd.setSingleShot(true);
    m_swipeEnd.setInterval(kSwipeIdleMs);
    connect(&m_swipeEnd, &QTimer::timeout, this, [this] { endSwipe(); });
    // Finished events fade and today moves on: look again every minute (pages are redrawn only
    // when the minute they were drawn for has passed).
    m_minuteTimer.setInterval(60 * 1000);
    m_minuteTimer.setTimerType(Qt::CoarseTimer);
    connect(&m_minuteTimer, &QTimer::timeout, this, [this] { update(); });
    m_minuteTimer.start();
    m_prepare.setSingleShot(true);
    m_prepare.setInterval(kPrepareAfterMs);
    connect(&m_prepare, &QTimer::timeout, this, [this] { prepareNeighbours(); });
}

FourWeeksView::~FourWeeksView() = default;

void FourWeeksView::setEventsProvider(EventsProvider provider) {
    m_provider = std::move(provider);
    reloadData();
}

void FourWeeksView::setOnAnchorChange(std::function<void(Instant)> handler) {
    m_onAnchorChange = std::move(handler);
}

void FourWeeksView::setOnSelectDay(std::function<void(Instant)> handler) {
    m_onSelectDay = std::move(handler);
}

void FourWeeksView::setCalendarSource(std::function<Calendar()> source) {
    m_calendarSource = std::move(source);
}

void FourWeeksView::setClock(std::function<Instant()> clock) {
    if (clock) {
        m_clock = std::move(clock);
        update();
    }
}

void FourWeeksView::setNow(Instant now) {
    if (std::isfinite(now.seconds)) {
        setClock([now] { return now; });
    }
}

Instant FourWeeksView::now() const {
    // Pages are drawn for a whole minute: a finer clock would redraw them at every frame.
    return Instant{std::floor(m_clock().seconds / 60) * 60};
}

Instant FourWeeksView::startOf(int page) const {
    return FourWeeksPages::pageStart(m_center, page, m_calendar).value_or(m_center);
}

// The anchor, both ways

void FourWeeksView::setAnchor(Instant anchor) {
    if (!std::isfinite(anchor.seconds) || m_anchor == anchor) {
        return;
    }
    m_anchor = anchor;
    const auto received = FourWeeksPages::receive(anchor, m_center, m_target, m_calendar);
    m_inSetAnchor = true;
    switch (received.action) {
    case FourWeeksPages::Received::Action::none:
        if (m_swiping || m_animation.state() == QAbstractAnimation::Running) {
            animateTo(m_target);
        }
        break;
    case FourWeeksPages::Received::Action::animate:
        m_swiping = false;
        m_swipeEnd.stop();
        animateTo(received.page);
        break;
    case FourWeeksPages::Received::Action::rebuild:
        rebuild(received.pageStart);
        break;
    }
    m_inSetAnchor = false;
    if (received.rewrite && m_anchor == anchor && pageStart() == received.pageStart) {
        reportLater(received.pageStart);
    }
}

void FourWeeksView::reportLater(Instant start) {
    m_anchor = start;
    QTimer::singleShot(0, this, [this, start] {
        if (m_anchor == start && m_onAnchorChange) {
            m_onAnchorChange(start);
        }
    });
}

void FourWeeksView::rebuild(Instant start) {
    m_animation.stop();
    m_swiping = false;
    m_swipeEnd.stop();
    m_center = start;
    m_position = 0;
    m_target = 0;
    forgetPages();
    m_days.clear();
    update();
}

void FourWeeksView::reloadData() {
    if (m_calendarSource) {
        Calendar fresh = m_calendarSource();
        if (!sameCalendar(fresh, m_calendar)) {
            const Instant shown = pageStart();
            m_calendar = std::move(fresh);
            m_weekdays = FourWeeksPages::weekdayLabels(m_calendar);
            rebuild(FourWeeksPages::weekStart(m_anchor.value_or(shown), m_calendar));
            if (m_anchor && *m_anchor != m_center) {
                reportLater(m_center);
            }
        }
    }
    m_days.clear();
    forgetPages();
    update();
}

// Paging

void FourWeeksView::page(int pages) {
    if (pages == 0) {
        return;
    }
    m_swiping = false;
    m_swipeEnd.stop();
    animateTo(m_target + pages);
}

void FourWeeksView::animateTo(int target) {
    m_target = std::clamp(target, -FourWeeksPages::pageRadius, FourWeeksPages::pageRadius);
    m_animation.stop();
    if (!isVisible() || std::abs(m_position - m_target) < 1e-3) {
        // Nothing to watch: arrive at once.
        setPosition(m_target);
        settle();
        return;
    }
    m_animation.setDuration(kPagingMs);
    m_animation.setStartValue(m_position);
    m_animation.setEndValue(static_cast<double>(m_target));
    m_animation.start();
}

void FourWeeksView::setPosition(double position) {
    m_position = position;
    update();
}

void FourWeeksView::settle() {
    m_position = m_target;
    keepPagesNear(m_target);
    const Instant start = startOf(m_target);
    if (std::abs(m_target) > kRecentreBeyond) {
        std::map<int, QPixmap> shifted;
        for (auto& [k, pixmap] : m_pages) {
            shifted.emplace(k - m_target, std::move(pixmap));
        }
        m_pages = std::move(shifted);
        m_center = start;
        m_position = 0;
        m_target = 0;
    }
    update();
    if (m_anchor == start) {
        return;
    }
    if (m_inSetAnchor) {
        reportLater(start);
        return;
    }
    m_anchor = start;
    if (m_onAnchorChange) {
        m_onAnchorChange(start);
    }
}

void FourWeeksView::beginSwipe() {
    m_animation.stop();
    m_swiping = true;
    m_swipeStart = m_target;
    m_velocity = 0;
    m_swipeClock.restart();
    m_lastSwipeMs = 0;
}

void FourWeeksView::swipe(double pages) {
    if (!std::isfinite(pages)) {
        return;
    }
    const qint64 ms = m_swipeClock.elapsed();
    const double seconds = std::max<qint64>(ms - m_lastSwipeMs, 1) / 1000.0;
    m_velocity = 0.6 * (pages / seconds) + 0.4 * m_velocity;
    m_lastSwipeMs = ms;
    const double limit = FourWeeksPages::pageRadius;
    setPosition(std::clamp(m_position + pages, -limit, limit));
}

void FourWeeksView::endSwipe() {
    if (!m_swiping) {
        return;
    }
    m_swiping = false;
    m_swipeEnd.stop();
    // A swipe that paused before it ended is no flick.
    const bool paused = m_swipeClock.elapsed() - m_lastSwipeMs > 100;
    animateTo(FourWeeksPages::snapTarget(m_swipeStart, m_position, paused ? 0 : m_velocity));
}

// Input

void FourWeeksView::wheelEvent(QWheelEvent* event) {
    event->accept();
    if (event->phase() == Qt::ScrollMomentum) {
        // The pager snaps to pages itself; the toolkit's coasting would fight it.
        return;
    }
    const QPoint angle = event->angleDelta();
    const QPoint pixels = event->pixelDelta();
    const bool precise = !pixels.isNull() || event->phase() != Qt::NoScrollPhase;
    if (!precise) {
        // A mouse wheel: one notch, one page; down and right are later.
        const int delta = std::abs(angle.x()) > std::abs(angle.y()) ? angle.x() : angle.y();
        m_wheelNotches += -delta / 120.0;
        const int pages = static_cast<int>(std::trunc(m_wheelNotches));
        if (pages != 0) {
            m_wheelNotches -= pages;
            page(pages);
        }
        return;
    }
    const QPointF d = pixels.isNull() ? QPointF(angle) / 8.0 : QPointF(pixels);
    const bool across = std::abs(d.x()) > std::abs(d.y());
    const double extent = across ? width() : gridHeight();
    if (extent <= 0) {
        return;
    }
    if (event->phase() == Qt::ScrollEnd && !m_swiping) {
        return; // the swipe already ended when it went quiet
    }
    if (!m_swiping) {
        beginSwipe();
    }
    // Empty samples (the begin and end of a gesture) carry no speed.
    if (!d.isNull()) {
        swipe(-(across ? d.x() : d.y()) / extent);
    }
    if (event->phase() == Qt::ScrollEnd) {
        endSwipe();
    } else {
        m_swipeEnd.start();
    }
}

void FourWeeksView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageDown:
    case Qt::Key_Right:
    case Qt::Key_Down:
        page(1);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_Left:
    case Qt::Key_Up:
        page(-1);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void FourWeeksView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressAt = event->position();
    m_lastDragX = event->position().x();
    m_dragging = false;
}

void FourWeeksView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressAt) {
        return;
    }
    const double x = event->position().x();
    if (!m_dragging && std::abs(x - m_pressAt->x()) > kDragThreshold) {
        m_dragging = true;
        beginSwipe();
    }
    if (m_dragging && width() > 0) {
        swipe(-(x - m_lastDragX) / width());
        m_lastDragX = x;
    }
}

void FourWeeksView::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_pressAt || event->button() != Qt::LeftButton) {
        return;
    }
    m_pressAt.reset();
    if (m_dragging) {
        m_dragging = false;
        endSwipe();
        return;
    }
    if (const auto day = dayAt(event->position()); day && m_onSelectDay) {
        m_onSelectDay(*day);
    }
}

void FourWeeksView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        m_palette = GridPalette::from(palette());
        forgetPages();
        update();
    }
    QWidget::changeEvent(event);
}

void FourWeeksView::resizeEvent(QResizeEvent* event) {
    forgetPages();
    QWidget::resizeEvent(event);
}

} // namespace plannery
