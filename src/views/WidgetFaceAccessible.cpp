#include "views/WidgetFaceAccessible.h"

#include "views/WidgetFaceView.h"

namespace plannery {

namespace {

QAccessibleInterface* factory(const QString& className, QObject* object) {
    if (className == QLatin1String("plannery::WidgetFaceView") && object != nullptr &&
        object->isWidgetType()) {
        return new WidgetFaceAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

} // namespace

WidgetFaceAccessible::WidgetFaceAccessible(QWidget* view)
    : QAccessibleWidget(view, QAccessible::Grouping) {}

void WidgetFaceAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

WidgetFaceView* WidgetFaceAccessible::view() const {
    return static_cast<WidgetFaceView*>(widget());
}

int WidgetFaceAccessible::childCount() const {
    return static_cast<int>(view()->targets().size());
}

QAccessibleInterface* WidgetFaceAccessible::child(int index) const {
    const QAccessible::Id id = view()->accessibleId(index);
    return id == 0 ? nullptr : QAccessible::accessibleInterface(id);
}

int WidgetFaceAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* target = dynamic_cast<const WidgetTargetAccessible*>(child);
    return target != nullptr && target->isValid() && target->parent() == this ? target->index()
                                                                              : -1;
}

QAccessibleInterface* WidgetFaceAccessible::childAt(int x, int y) const {
    const QPoint local = view()->mapFromGlobal(QPoint(x, y));
    const auto index = view()->targetAt(QPointF(local));
    return index ? child(*index) : nullptr;
}

QAccessibleInterface* WidgetFaceAccessible::focusChild() const {
    const auto focused = view()->focusedTarget();
    return focused && view()->hasFocus() ? child(*focused) : nullptr;
}

WidgetTargetAccessible::WidgetTargetAccessible(WidgetFaceView* view, int index)
    : m_view(view), m_index(index) {}

bool WidgetTargetAccessible::isValid() const {
    return m_view && m_index < static_cast<int>(m_view->targets().size());
}

QWindow* WidgetTargetAccessible::window() const {
    return m_view ? m_view->window()->windowHandle() : nullptr;
}

QAccessibleInterface* WidgetTargetAccessible::parent() const {
    return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
}

QString WidgetTargetAccessible::text(QAccessible::Text t) const {
    if (!isValid() || t != QAccessible::Name) {
        return {};
    }
    return m_view->targets()[static_cast<std::size_t>(m_index)].name;
}

QRect WidgetTargetAccessible::rect() const {
    if (!isValid()) {
        return {};
    }
    const QRect local = m_view->targets()[static_cast<std::size_t>(m_index)].frame.toRect();
    return QRect(m_view->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role WidgetTargetAccessible::role() const {
    if (isValid() && m_view->targets()[static_cast<std::size_t>(m_index)].day) {
        return QAccessible::Link;
    }
    return QAccessible::StaticText;
}

QAccessible::State WidgetTargetAccessible::state() const {
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.focusable = true;
    state.focused = m_view->hasFocus() && m_view->focusedTarget() == m_index;
    return state;
}

void* WidgetTargetAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ActionInterface) {
        return static_cast<QAccessibleActionInterface*>(this);
    }
    return nullptr;
}

QStringList WidgetTargetAccessible::actionNames() const {
    return isValid() ? QStringList{pressAction()} : QStringList{};
}

void WidgetTargetAccessible::doAction(const QString& actionName) {
    if (isValid() && actionName == pressAction()) {
        m_view->activate(m_index);
    }
}

} // namespace plannery
