#include "views/WidgetFaceView.h"

#include "views/WidgetFaceAccessible.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace plannery {

namespace {

constexpr double kFocusRadius = 4;

} // namespace

WidgetFaceView::WidgetFaceView(QWidget* parent) : QWidget(parent) {
    WidgetFaceAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setObjectName(QStringLiteral("widgetFace"));
}

WidgetFaceView::~WidgetFaceView() {
    forgetAccessibleChildren();
}

void WidgetFaceView::setInput(WidgetFaceInput input) {
    m_face = std::make_unique<WidgetFacePainter>(std::move(input));
    m_face->layout(QSizeF(size()));
    m_targets = m_face->targets();
    if (m_focused && *m_focused >= static_cast<int>(m_targets.size())) {
        m_focused.reset();
    }
    forgetAccessibleChildren();
    setAccessibleName(m_face->accessibleName());
    if (QAccessible::isActive()) {
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
    update();
}

std::vector<WidgetTarget> WidgetFaceView::targets() const {
    return m_targets;
}

QSize WidgetFaceView::sizeHint() const {
    return QSize(170, 170);
}

void WidgetFaceView::forgetAccessibleChildren() {
    for (const QAccessible::Id id : m_accessibleIds) {
        if (id != 0) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }
    m_accessibleIds.clear();
}

QAccessible::Id WidgetFaceView::accessibleId(int index) const {
    if (index < 0 || index >= static_cast<int>(m_targets.size())) {
        return 0;
    }
    if (m_accessibleIds.size() != m_targets.size()) {
        m_accessibleIds.resize(m_targets.size(), 0);
    }
    QAccessible::Id& id = m_accessibleIds[static_cast<std::size_t>(index)];
    if (id == 0) {
        id = QAccessible::registerAccessibleInterface(
            new WidgetTargetAccessible(const_cast<WidgetFaceView*>(this), index));
    }
    return id;
}

void WidgetFaceView::paintEvent(QPaintEvent*) {
    if (!m_face) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    m_face->paint(painter);
    if (m_focused && hasFocus()) {
        const QRectF frame =
            m_targets[static_cast<std::size_t>(*m_focused)].frame.adjusted(-2, -1, 2, 1);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(palette().color(QPalette::Highlight), 2);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frame.intersected(QRectF(rect()).adjusted(1, 1, -1, -1)),
                                kFocusRadius, kFocusRadius);
    }
}

void WidgetFaceView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_face) {
        m_face->layout(QSizeF(size()));
        m_targets = m_face->targets();
        if (m_focused && *m_focused >= static_cast<int>(m_targets.size())) {
            m_focused.reset();
        }
        forgetAccessibleChildren();
    }
}

std::optional<int> WidgetFaceView::targetAt(const QPointF& point) const {
    for (std::size_t i = 0; i < m_targets.size(); ++i) {
        if (m_targets[i].frame.contains(point)) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

void WidgetFaceView::activate(std::optional<int> index) {
    if (!m_face) {
        return;
    }
    Instant day = m_face->tapDay();
    if (index && *index >= 0 && *index < static_cast<int>(m_targets.size())) {
        day = m_targets[static_cast<std::size_t>(*index)].day.value_or(day);
    }
    emit linkActivated(QString::fromStdString(m_face->link(day)));
}

void WidgetFaceView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressAt = event->globalPosition().toPoint();
    m_windowAtPress = window()->pos();
    m_dragging = false;
}

void WidgetFaceView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressAt || !m_movesWindow || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    const QPoint delta = event->globalPosition().toPoint() - *m_pressAt;
    if (!m_dragging && delta.manhattanLength() >= QApplication::startDragDistance()) {
        m_dragging = true;
    }
    if (m_dragging) {
        window()->move(m_windowAtPress + delta);
    }
}

void WidgetFaceView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressAt) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_pressAt.reset();
    if (m_dragging) {
        m_dragging = false;
        emit moved();
        return;
    }
    activate(targetAt(event->position()));
}

void WidgetFaceView::setFocused(std::optional<int> index) {
    if (index == m_focused) {
        return;
    }
    m_focused = index;
    update();
    if (index && QAccessible::isActive()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(*index);
        QAccessible::updateAccessibility(&focus);
    }
}

bool WidgetFaceView::focusNextPrevChild(bool next) {
    const int count = static_cast<int>(m_targets.size());
    if (hasFocus() && count > 0) {
        const int at = m_focused.value_or(next ? -1 : count);
        const int to = at + (next ? 1 : -1);
        if (to >= 0 && to < count) {
            setFocused(to);
            return true;
        }
    }
    return QWidget::focusNextPrevChild(next);
}

void WidgetFaceView::keyPressEvent(QKeyEvent* event) {
    const int count = static_cast<int>(m_targets.size());
    switch (event->key()) {
    case Qt::Key_Down:
    case Qt::Key_Right:
        if (count > 0) {
            setFocused(std::min(m_focused.value_or(-1) + 1, count - 1));
        }
        return;
    case Qt::Key_Up:
    case Qt::Key_Left:
        if (count > 0) {
            setFocused(std::max(m_focused.value_or(count) - 1, 0));
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        activate(m_focused);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void WidgetFaceView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

} // namespace plannery
