#include "app/CalendarMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace plannery {

namespace {

QMenu* menuTitled(QMenuBar& bar, const QString& title) {
    for (QAction* action : bar.actions()) {
        if (action->menu() && action->text() == title) {
            return action->menu();
        }
    }
    return bar.addMenu(title);
}

} // namespace

CalendarMenus::CalendarMenus(QMenuBar& menuBar, ActionsSource source, int workDaysPerWeek,
                             QObject* parent)
    : QObject(parent), m_source(std::move(source)) {
    QMenu* file = menuTitled(menuBar, tr("&File"));
    m_newEvent = file->addAction(tr("New Event"));
    m_newEvent->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(m_newEvent, &QAction::triggered, this, [this] { act([](auto& a) { a.newEvent(); }); });
    m_eventsFromImage = file->addAction(tr("Events from Image…"));
    m_eventsFromImage->setObjectName(QStringLiteral("eventsFromImageMenu"));
    m_eventsFromImage->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    connect(m_eventsFromImage, &QAction::triggered, this, [this] {
        act([](auto& a) {
            if (a.eventsFromImage) {
                a.eventsFromImage();
            }
        });
    });
    file->addSeparator();
    m_settings = file->addAction(tr("Settings"));
    m_settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_settings->setMenuRole(QAction::PreferencesRole);
    connect(m_settings, &QAction::triggered, this, [this] { act([](auto& a) { a.settings(); }); });

    QMenu* view = menuTitled(menuBar, tr("&View"));
    m_today = view->addAction(tr("Today"));
    m_today->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(m_today, &QAction::triggered, this, [this] { act([](auto& a) { a.today(); }); });
    m_previous = view->addAction(tr("Previous"));
    m_previous->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Left));
    connect(m_previous, &QAction::triggered, this, [this] { act([](auto& a) { a.page(-1); }); });
    m_next = view->addAction(tr("Next"));
    m_next->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Right));
    connect(m_next, &QAction::triggered, this, [this] { act([](auto& a) { a.page(1); }); });
    view->addSeparator();

    m_modeGroup = new QActionGroup(this);
    m_modeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (std::size_t i = 0; i < ViewModes::all.size(); ++i) {
        const ViewMode mode = ViewModes::all[i];
        QAction* toggle =
            view->addAction(QString::fromStdString(ViewModes::title(mode, workDaysPerWeek)));
        toggle->setCheckable(true);
        toggle->setShortcut(QKeySequence(Qt::CTRL | (Qt::Key_1 + static_cast<int>(i))));
        toggle->setObjectName(
            QStringLiteral("mode-") +
            QString::fromUtf8(ViewModes::rawValue(mode).data(), ViewModes::rawValue(mode).size()));
        m_modeGroup->addAction(toggle);
        connect(toggle, &QAction::triggered, this,
                [this, mode] { act([mode](auto& a) { a.setMode(mode); }); });
        m_modes[i] = toggle;
    }
    view->addSeparator();
    m_widgetGallery = view->addAction(tr("Widget Gallery"));
    m_widgetGallery->setObjectName(QStringLiteral("widgetGalleryMenu"));
    connect(m_widgetGallery, &QAction::triggered, this, [this] {
        act([](auto& a) {
            if (a.widgetGallery) {
                a.widgetGallery();
            }
        });
    });
    for (QMenu* menu : {file, view}) {
        connect(menu, &QMenu::aboutToShow, this, &CalendarMenus::refresh);
    }
    refresh();
}

QAction* CalendarMenus::modeAction(ViewMode mode) const {
    return m_modes[static_cast<std::size_t>(mode)];
}

void CalendarMenus::act(const std::function<void(const CalendarActions&)>& command) {
    if (const auto actions = m_source ? m_source() : std::nullopt) {
        command(*actions);
    }
    refresh();
}

void CalendarMenus::refresh() {
    const auto actions = m_source ? m_source() : std::nullopt;
    const bool enabled = actions.has_value();
    for (QAction* action : {m_settings, m_newEvent, m_today, m_previous, m_next}) {
        action->setEnabled(enabled);
    }
    m_widgetGallery->setEnabled(enabled && actions->widgetGallery);
    m_eventsFromImage->setEnabled(enabled && actions->eventsFromImage);
    for (std::size_t i = 0; i < m_modes.size(); ++i) {
        m_modes[i]->setEnabled(enabled);
        // A toggle reads as on only for the mode of the window the menus act on.
        m_modes[i]->setChecked(enabled && actions->mode == ViewModes::all[i]);
    }
}

} // namespace plannery
