#pragma once

#include "grid/AnchorLink.h"
#include "model/Instant.h"
#include "views/StoreDays.h"

#include <QObject>

#include <functional>

namespace plannery {

class CalendarStore;

// Connects a view that pages through days to the window around it: the view reads the calendar
// store's days through a StoreDays of its own, and its anchor link writes the window's anchor,
// which goes back to the link whenever the window's anchor moves. Every view of the window has
// one binding.
class ViewBinding : public QObject {
    Q_OBJECT

  public:
    // The window's anchor: how to read it and how to set it.
    struct Anchor {
        std::function<Instant()> get;
        std::function<void(Instant)> set;
    };

    // `View` has `setDaySource(DaySource*)` and `anchorLink()`; it must outlive the binding.
    template <typename View>
    ViewBinding(View& view, CalendarStore& store, Anchor anchor, QObject* parent = nullptr)
        : ViewBinding(view.anchorLink(), store, std::move(anchor), parent) {
        // The page first, so that the days asked for are the page's.
        anchorChanged();
        view.setDaySource(&m_days);
    }
    ~ViewBinding() override;

    // The window's anchor moved, or the view came forward: the view follows.
    void anchorChanged();

  private:
    ViewBinding(AnchorLink& link, CalendarStore& store, Anchor anchor, QObject* parent);

    AnchorLink& m_link;
    StoreDays m_days;
    Anchor m_anchor;
};

} // namespace plannery
