#pragma once

#include "model/Instant.h"

#include <functional>
#include <optional>

namespace plannery {

// The anchor date between the window and a view that pages through days (the time grids, the
// four weeks, the agenda). The window's anchor says which day to show: the view shows the page
// that holds it and, when the anchor is not that page's first day, answers with the first day.
// The user moving the view to another page tells the window that page's first day.
//
// The link keeps the page it and the window last agreed on. An anchor whose page is that page
// moves nothing, so the window writing back what the view told it is an ordinary anchor that
// finds the view already there; every report happens at once, none is queued for later.
class AnchorLink {
  public:
    struct View {
        // The first day of the page that holds `day`.
        std::function<Instant(Instant day)> pageOf;
        // Brings the page that starts on `page` on screen, animated or not as the view sees fit.
        std::function<void(Instant page)> show;
    };

    explicit AnchorLink(View view);

    // Where the view's answers and reports go; before this the link only keeps the page.
    void connect(std::function<void(Instant)> write);

    // The window's anchor (ignored unless finite).
    void receive(Instant anchor);
    // The user brought the view to the page that starts on `page`; the window hears of each new
    // page once.
    void moved(Instant page);

    // The page last agreed on; none before the first anchor or move.
    std::optional<Instant> page() const { return m_page; }

  private:
    View m_view;
    std::function<void(Instant)> m_write;
    std::optional<Instant> m_page;
};

} // namespace plannery
