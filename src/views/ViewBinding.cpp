#include "views/ViewBinding.h"

namespace plannery {

ViewBinding::ViewBinding(AnchorLink& link, CalendarStore& store, Anchor anchor, QObject* parent)
    : QObject(parent), m_link(link), m_days(store), m_anchor(std::move(anchor)) {
    m_link.connect(m_anchor.set);
}

ViewBinding::~ViewBinding() {
    m_link.connect({});
}

void ViewBinding::anchorChanged() {
    m_link.receive(m_anchor.get());
}

} // namespace plannery
