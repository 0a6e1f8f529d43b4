#include "grid/AnchorLink.h"

#include <cmath>

namespace plannery {

AnchorLink::AnchorLink(View view) : m_view(std::move(view)) {}

void AnchorLink::connect(std::function<void(Instant)> write) {
    m_write = std::move(write);
}

void AnchorLink::receive(Instant anchor) {
    if (!std::isfinite(anchor.seconds)) {
        return;
    }
    const Instant page = m_view.pageOf(anchor);
    if (m_page != page) {
        // Agreed before the view moves: whatever the view reports on its way is this page.
        m_page = page;
        m_view.show(page);
    }
    if (page != anchor && m_write) {
        m_write(page);
    }
}

void AnchorLink::moved(Instant page) {
    if (m_page == page || !std::isfinite(page.seconds)) {
        return;
    }
    m_page = page;
    if (m_write) {
        m_write(page);
    }
}

} // namespace plannery
