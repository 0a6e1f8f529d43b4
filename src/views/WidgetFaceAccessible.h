#pragma once

#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QPointer>

namespace plannery {

class WidgetFaceView;

// What a screen reader sees of a widget face: the face, named with its spoken summary, with one
// child per painted item.
class WidgetFaceAccessible final : public QAccessibleWidget {
  public:
    explicit WidgetFaceAccessible(QWidget* view);

    // Makes Qt build these for every WidgetFaceView (once per process).
    static void install();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

  private:
    WidgetFaceView* view() const;
};

// One painted item: its spoken name, its place on screen, and a press action when it opens a day.
class WidgetTargetAccessible final : public QAccessibleInterface,
                                     public QAccessibleActionInterface {
  public:
    WidgetTargetAccessible(WidgetFaceView* view, int index);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int index() const { return m_index; }

  private:
    QPointer<WidgetFaceView> m_view;
    int m_index;
};

} // namespace plannery
