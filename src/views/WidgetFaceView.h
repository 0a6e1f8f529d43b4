#pragma once

#include "views/WidgetFacePainter.h"

#include <QAccessible>
#include <QPoint>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

namespace plannery {

// Shows one widget face. A click on a row or heading that names a day opens that day, a click
// anywhere else the face's own day, through a "plannery://day/..." link; Tab and the arrow keys
// move a visible focus over the items and Enter opens the focused one. Screen readers see each
// painted item as a child with its spoken name. In a window of its own, a drag moves the window.
class WidgetFaceView final : public QWidget {
    Q_OBJECT

  public:
    explicit WidgetFaceView(QWidget* parent = nullptr);
    ~WidgetFaceView() override;

    // A new face (the clock moved, the calendars changed): laid out at the view's size.
    void setInput(WidgetFaceInput input);
    const WidgetFacePainter* face() const { return m_face.get(); }
    std::vector<WidgetTarget> targets() const;

    // Dragging moves the top-level window instead of clicking.
    void setMovesWindow(bool moves) { m_movesWindow = moves; }

    // The item with the keyboard focus, if any.
    std::optional<int> focusedTarget() const { return m_focused; }
    // Opens item `index` (its day, or the face's day); what a click or Enter does.
    void activate(std::optional<int> index);
    // The item under a point in the view, if any.
    std::optional<int> targetAt(const QPointF& point) const;
    // The accessibility id of item `index`, made on first use and kept until the face changes.
    QAccessible::Id accessibleId(int index) const;

    QSize sizeHint() const override;

  signals:
    void linkActivated(const QString& url);
    // The user dragged the window to a new place.
    void moved();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    void setFocused(std::optional<int> index);
    void forgetAccessibleChildren();

    std::unique_ptr<WidgetFacePainter> m_face;
    std::vector<WidgetTarget> m_targets;
    std::optional<int> m_focused;
    bool m_movesWindow = false;
    std::optional<QPoint> m_pressAt; // global position of a press, while the button is down
    QPoint m_windowAtPress;
    bool m_dragging = false;
    mutable std::vector<QAccessible::Id> m_accessibleIds;
};

} // namespace plannery
