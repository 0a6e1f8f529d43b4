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
      m_link(AnchorLink::View{
          .pageOf = [this](Instant day) { return FourWeeksPages::weekStart(day, m_calendar); },
          .show = [this](Instant start) { showPage(start); }}),
      m_palette(GridPalette::from(palette())),
      m_weekdays(FourWeeksPages::weekdayLabels(m_calendar)),
      m_weekdayFont(gridFont(FontSpec{.size = kWeekdaySize, .weight = FontWeight::semibold})),
      m_swipeEnd(kSwipeIdleMs, [this] { endSwipe(std::nullopt); }),
      m_prepare(kPrepareAfterMs, [this] { prepareNeighbours(); }) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setObjectName(QStringLiteral("fourWeeks"));
    setAccessibleName(tr("Four weeks"));
    m_center = FourWeeksPages::weekStart(m_clock(), m_calendar);

    m_animation.setEasingCurve(QEasingCurve::OutCubic);
    connect(&m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setPosition(value.toDouble()); });
    connect(&m_animation, &QVariantAnimation::finished, this, [this] { settle(); });
    // Finished events fade and today moves on: look again every minute (pages are redrawn only
    // when the minute they were drawn for has passed).
    m_minuteTimer.setInterval(60 * 1000);
    m_minuteTimer.setTimerType(Qt::CoarseTimer);
    connect(&m_minuteTimer, &QTimer::timeout, this, [this] { update(); });
    m_minuteTimer.start();
}

FourWeeksView::~FourWeeksView() = default;

void FourWeeksView::setDaySource(DaySource* source) {
    if (m_source) {
        disconnect(m_source, nullptr, this, nullptr);
    }
    m_source = source;
    if (source) {
        connect(source, &DaySource::arrived, this, [this] {
            forgetPages();
            update();
        });
        connect(source, &DaySource::changed, this, [this] { reloadData(); });
    }
    reloadData();
}

void FourWeeksView::setOnSelectDay(std::function<void(Instant)> handler) {
    m_onSelectDay = std::move(handler);
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

// The page on screen

void FourWeeksView::showPage(Instant start) {
    const auto received = FourWeeksPages::receive(start, m_center, m_target, m_calendar);
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
}

void FourWeeksView::rebuild(Instant start) {
    m_animation.stop();
    m_swiping = false;
    m_swipeEnd.stop();
    m_center = start;
    m_position = 0;
    m_target = 0;
    forgetPages();
    request(0, 0);
    update();
}

void FourWeeksView::reloadData() {
    if (m_source) {
        if (Calendar fresh = m_source->calendar(); !sameCalendar(fresh, m_calendar)) {
            const Instant shown = m_link.page().value_or(pageStart());
            m_calendar = std::move(fresh);
            m_weekdays = FourWeeksPages::weekdayLabels(m_calendar);
            rebuild(FourWeeksPages::weekStart(shown, m_calendar));
            m_link.moved(m_center);
        }
    }
    forgetPages();
    request(m_target, m_target);
    update();
}

void FourWeeksView::request(int first, int last) {
    if (m_source) {
        m_source->request(startOf(first), startOf(last + 1));
    }
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
    // The pages the animation passes, before they show.
    const int from = static_cast<int>(std::floor(m_position));
    request(std::min(from, m_target), std::max(from + 1, m_target));
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
    m_link.moved(start);
}

void FourWeeksView::beginSwipe() {
    m_animation.stop();
    m_swiping = true;
    m_swipeStart = m_target;
    m_velocity.reset();
    request(m_target - 1, m_target + 1);
}

void FourWeeksView::swipe(std::uint64_t ms, double pages) {
    if (!std::isfinite(pages)) {
        return;
    }
    m_velocity.add(ms, pages);
    const double limit = FourWeeksPages::pageRadius;
    setPosition(std::clamp(m_position + pages, -limit, limit));
}

void FourWeeksView::endSwipe(std::optional<std::uint64_t> ms) {
    if (!m_swiping) {
        return;
    }
    m_swiping = false;
    m_swipeEnd.stop();
    // Ended by the quiet timer, the swipe paused: no flick. Pages per second.
    const double velocity = ms ? m_velocity.at(*ms) * 1000 : 0;
    animateTo(FourWeeksPages::snapTarget(m_swipeStart, m_position, velocity));
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
        swipe(event->timestamp(), -(across ? d.x() : d.y()) / extent);
    }
    if (event->phase() == Qt::ScrollEnd) {
        endSwipe(event->timestamp());
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
        swipe(event->timestamp(), -(x - m_lastDragX) / width());
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
        endSwipe(event->timestamp());
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

// A hidden view (another mode is shown) keeps only the page it will show again: the pages beside
// it are a screen's worth of pixels each, and are drawn again once it is back and idle.
void FourWeeksView::hideEvent(QHideEvent* event) {
    std::erase_if(m_pages, [this](const auto& entry) { return entry.first != m_target; });
    QWidget::hideEvent(event);
}

void FourWeeksView::resizeEvent(QResizeEvent* event) {
    forgetPages();
    QWidget::resizeEvent(event);
}

} // namespace plannery
