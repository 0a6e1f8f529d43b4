#include "app/EventKitPresenter.h"

#include <QApplication>
#include <QPointer>

#include <utility>

namespace plannery {

namespace {

bool isPlainWindow(const QWidget* widget) {
    const Qt::WindowType type = widget->windowType();
    return widget->isWindow() && widget->isVisible() && type != Qt::Popup && type != Qt::ToolTip &&
           type != Qt::SplashScreen;
}

} // namespace

EventKitPresenter::EventKitPresenter(std::function<Calendar()> calendar, QObject* parent)
    : QObject(parent), m_calendar(std::move(calendar)) {}

EventKitPresenter::~EventKitPresenter() = default;

QWidget* EventKitPresenter::presentingWidget() {
    QWidget* window = QApplication::activeWindow();
    if (window == nullptr) {
        for (QWidget* candidate : QApplication::topLevelWidgets()) {
            if (isPlainWindow(candidate)) {
                window = candidate;
                break;
            }
        }
    }
    if (window == nullptr) {
        return nullptr;
    }
    // From the window at the bottom of the stack of dialogs up to the one on top. A dialog
    // that is closing is already hidden: what opens now goes on the one below it.
    while (window->parentWidget() != nullptr) {
        window = window->parentWidget()->window();
    }
    for (;;) {
        QWidget* above = nullptr;
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (isPlainWindow(child) && child->parentWidget()->window() == window) {
                above = child;
            }
        }
        if (above == nullptr) {
            return window;
        }
        window = above;
    }
}

EventEditorDialog* EventKitPresenter::edit(const StoreEvent& event, CalendarStore& store,
                                           EditDone done) {
    m_onEdit = std::move(done);
    QWidget* parent = presentingWidget();
    if (parent == nullptr) {
        return nullptr;
    }
    auto* editor = new EventEditorDialog(event, store, m_calendar(), parent);
    editor->setOnFinished(
        [self = QPointer<EventKitPresenter>(this)](EditorResult result, const StoreEvent& ended) {
            if (self) {
                if (EditDone handler = std::exchange(self->m_onEdit, nullptr)) {
                    handler(result, ended);
                }
            }
        });
    editor->open();
    return editor;
}

EventViewerDialog* EventKitPresenter::show(const StoreEvent& event, CalendarStore& store,
                                           ViewDone done) {
    m_onView = std::move(done);
    QWidget* parent = presentingWidget();
    if (parent == nullptr) {
        return nullptr;
    }
    auto* viewer = new EventViewerDialog(event, store, m_calendar(), parent);
    viewer->setOnFinished(
        [self = QPointer<EventKitPresenter>(this)](ViewerResult result, const StoreEvent& ended) {
            if (self) {
                if (ViewDone handler = std::exchange(self->m_onView, nullptr)) {
                    handler(result, ended);
                }
            }
        });
    viewer->open();
    return viewer;
}

} // namespace plannery
