#pragma once

#include "grid/TimeGridHourScroll.h"
#include "grid/TimeGridPager.h"
#include "model/Instant.h"

#include <QPixmap>
#include <QVariantAnimation>

#include <functional>

class QPainter;
class QWidget;

namespace plannery {

// Moves the time grid as the user and the window ask. Sideways: drags that come to rest on a
// page, slides to a page, animated while the grid is on screen, a jump (with the old picture
// dissolving over the new one) to a page too far to slide to, and the snap to a page after any of
// them. Down: the hours scrolled to a time, animated or at once. The pager and the hour scroll
// know where things are; this adds the motion and tells the grid when the days moved, where a
// motion will rest and when it did.
class TimeGridScroller {
  public:
    struct Listener {
        std::function<void()> moved;          // the days moved (a frame of a motion)
        std::function<void(Instant)> heading; // a motion will come to rest on this page
        std::function<void()> jumped;         // the strip was built again around a page
        std::function<void()> rested;         // at rest on a page
    };

    TimeGridScroller(QWidget& view, TimeGridPager& pager, TimeGridHourScroll& hours,
                     Listener listener);

    // A slide or the snap after a drag is under way.
    bool isPaging() const;
    // The motion stops where it is (a new layout follows).
    void stop();

    void beginDrag();
    void drag(double dx);
    void endDrag(double velocity);
    // To the page that starts on `page`: a slide when `animated` and near, else a jump.
    void scrollTo(Instant page, bool animated);
    // Comes to rest: snaps to the nearest page first when between pages.
    void settle();
    // Snaps when the days rest between pages (a vertical scroll or zoom begins).
    void ensureSnapped();

    // Scrolls the hours to `offset` (kept within them), animated when asked and on screen.
    void scrollHours(double offset, bool animated);
    // The hours' animation stops where it is (the user scrolls or zooms them).
    void stopHours() { m_hoursAnimation.stop(); }

    // The picture before a jump, fading out over the new page.
    void paintFade(QPainter& painter) const;

  private:
    void setOffset(double offset);
    void animate(double target, bool slide);

    QWidget& m_view;
    TimeGridPager& m_pager;
    TimeGridHourScroll& m_hours;
    Listener m_listener;
    QVariantAnimation m_animation;
    QVariantAnimation m_hoursAnimation;
    QVariantAnimation m_fade;
    QPixmap m_fadeFrom;
};

} // namespace plannery
