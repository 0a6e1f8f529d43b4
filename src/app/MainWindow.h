#pragma once

#include "app/RootView.h"

#include <QMainWindow>

namespace plannery {

class CalendarMenus;

// The one window: the root view with the menu bar that acts on it.
class MainWindow final : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainWindow(RootView::Setup setup, QWidget* parent = nullptr);

    RootView& rootView() { return *m_root; }
    CalendarMenus& menus() { return *m_menus; }
    // Opens a link forwarded by a later start, and brings the window forward.
    void openLink(const QString& url);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    RootView* m_root = nullptr;
    CalendarMenus* m_menus = nullptr;
};

} // namespace plannery
