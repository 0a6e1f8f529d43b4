#include "views/TimeGridScroller.h"

#include <QEasingCurve>
#include <QPainter>
#include <QWidget>

#include <cmath>

namespace plannery {

namespace {

constexpr int kPagingMs = 280;
constexpr int kCrossDissolveMs = 200;
constexpr int kVerticalScrollMs = 250;

} // namespace

TimeGridScroller::TimeGridScroller(QWidget& view, TimeGridPager& pager, TimeGridHourScroll& hours,
                                   Listener listener)
    : m_view(view), m_pager(pager), m_hours(hours), m_listener(std::move(listener)) {
    m_animation.setEasingCurve(QEasingCurve::OutCubic);
    m_animation.setDuration(kPagingMs);
    QObject::connect(&m_animation, &QVariantAnimation::valueChanged, &view,
                     [this](const QVariant& value) { setOffset(value.toDouble()); });
    QObject::connect(&m_animation, &QVariantAnimation::finished, &view, [this] {
        m_pager.endSlide();
        settle();
    });
    m_hoursAnimation.setEasingCurve(QEasingCurve::OutCubic);
    m_hoursAnimation.setDuration(kVerticalScrollMs);
    QObject::connect(&m_hoursAnimation, &QVariantAnimation::valueChanged, &view,
                     [this, &view](const QVariant& value) {
                         m_hours.setOffset(value.toDouble());
                         view.update();
                     });
    m_fade.setDuration(kCrossDissolveMs);
    m_fade.setStartValue(1.0);
    m_fade.setEndValue(0.0);
    QObject::connect(&m_fade, &QVariantAnimation::valueChanged, &view, [&view] { view.update(); });
    QObject::connect(&m_fade, &QVariantAnimation::finished, &view, [this, &view] {
        m_fadeFrom = QPixmap();
        view.update();
    });
}

bool TimeGridScroller::isPaging() const {
    return m_animation.state() == QAbstractAnimation::Running || m_pager.isSliding();
}

void TimeGridScroller::stop() {
    m_animation.stop();
}

void TimeGridScroller::setOffset(double offset) {
    if (m_pager.setOffset(offset)) {
        m_listener.moved();
    }
}

void TimeGridScroller::animate(double target, bool slide) {
    if (!slide) {
        m_pager.endSlide();
    }
    m_animation.stop();
    if (!m_view.isVisible()) {
        // Nothing to watch: arrive at once.
        setOffset(target);
        m_pager.endSlide();
        settle();
        return;
    }
    m_animation.setStartValue(m_pager.offset());
    m_animation.setEndValue(target);
    m_animation.start();
}

void TimeGridScroller::beginDrag() {
    m_animation.stop();
    m_pager.beginDrag();
}

void TimeGridScroller::drag(double dx) {
    if (!m_pager.isDragging()) {
        beginDrag();
    }
    setOffset(m_pager.offset() + dx);
}

void TimeGridScroller::endDrag(double velocity) {
    if (!m_pager.isDragging()) {
        return;
    }
    const TimeGridPagerStop stop = m_pager.endDrag(velocity);
    m_listener.heading(stop.page);
    if (std::abs(stop.offset - m_pager.offset()) <= 0.5) {
        settle();
    } else {
        animate(stop.offset, false);
    }
}

void TimeGridScroller::scrollTo(Instant page, bool animated) {
    if (const std::optional<double> slide = animated ? m_pager.slideTo(page) : std::nullopt) {
        if (std::abs(*slide - m_pager.offset()) > 0.5) {
            animate(*slide, true);
        } else {
            // Already there (a slide elsewhere may not have moved yet): stay.
            m_animation.stop();
            m_pager.endSlide();
        }
        m_listener.heading(page);
        return;
    }
    if (animated && m_view.isVisible()) {
        m_fadeFrom = m_view.grab();
        m_fade.stop();
        m_fade.start();
    }
    m_animation.stop();
    m_pager.reset(m_pager.geometry(), page);
    m_listener.jumped();
    settle();
}

void TimeGridScroller::settle() {
    if (!m_pager.isLaidOut() || m_pager.isDragging()) {
        return;
    }
    if (const std::optional<double> snap = m_pager.settle()) {
        animate(*snap, false);
        return;
    }
    m_listener.rested();
}

void TimeGridScroller::ensureSnapped() {
    if (m_pager.isLaidOut() && !m_pager.isDragging() && !isPaging() && !m_pager.isSnapped()) {
        settle();
    }
}

void TimeGridScroller::scrollHours(double offset, bool animated) {
    m_hoursAnimation.stop();
    if (animated && m_view.isVisible() && m_hours.isLaidOut()) {
        m_hoursAnimation.setStartValue(m_hours.offset());
        m_hoursAnimation.setEndValue(m_hours.clamped(offset));
        m_hoursAnimation.start();
        return;
    }
    m_hours.setOffset(offset);
    m_view.update();
}

void TimeGridScroller::paintFade(QPainter& painter) const {
    if (!m_fadeFrom.isNull()) {
        painter.setOpacity(m_fade.currentValue().toDouble());
        painter.drawPixmap(QPointF(0, 0), m_fadeFrom);
        painter.setOpacity(1);
    }
}

} // namespace plannery
