#include "app/MainWindow.h"

#include "app/CalendarMenus.h"
#include "app/TackleUpdater.h"
#include "platform/BuildInfo.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QUrl>

namespace plannery {

MainWindow::MainWindow(RootView::Setup setup, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainWindow"));
    m_root = new RootView(std::move(setup), this);
    setCentralWidget(m_root);
    resize(1200, 800);

    m_menus = new CalendarMenus(
        *menuBar(),
        [this]() -> std::optional<CalendarActions> {
            if (!isVisible()) {
                return std::nullopt;
            }
            return m_root->actions();
        },
        m_root->navigation().workDaysPerWeek(), this);
    connect(m_root, &RootView::actionsChanged, m_menus, &CalendarMenus::refresh);

    QMenu* file = menuBar()->actions().front()->menu();
    file->addSeparator();
    QAction* quit = file->addAction(tr("Quit"));
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, qApp, &QApplication::closeAllWindows);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* about = help->addAction(tr("About Plannery"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, [this] {
        const auto info = [](std::string_view key) {
            return QString::fromStdString(BuildInfo::value(key).value_or(""));
        };
        QMessageBox::about(this, tr("About Plannery"),
                           tr("Plannery %1 (%2)\nOne calendar of all your calendars.")
                               .arg(info("CFBundleShortVersionString"), info("PlanneryCommit")));
    });
    if (TackleUpdater::shared().available()) {
        QAction* check = help->addAction(tr("Check for Updates…"));
        connect(check, &QAction::triggered, this,
                [] { TackleUpdater::shared().checkForUpdates(); });
    }
}

// The menus act on a window only while it is open.
void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    m_menus->refresh();
}

void MainWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    m_menus->refresh();
}

void MainWindow::openLink(const QString& url) {
    if (!url.isEmpty()) {
        m_root->navigation().openURL(QUrl(url));
    }
    showNormal();
    raise();
    activateWindow();
}

} // namespace plannery
