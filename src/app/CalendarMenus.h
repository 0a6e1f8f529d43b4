#pragma once

#include "app/CalendarActions.h"

#include <QObject>

#include <array>
#include <functional>
#include <optional>

class QAction;
class QActionGroup;
class QMenuBar;

namespace plannery {

// The calendar items of the menu bar: Settings, New Event, Events from Image, Today, Previous, Next
// and one toggle per view mode, with their shortcuts. The items act on whichever window offers its
// actions (the active one); while none does, every item is disabled. `refresh` reads the actions
// again and is called whenever the active window or its mode changes.
class CalendarMenus final : public QObject {
    Q_OBJECT

  public:
    using ActionsSource = std::function<std::optional<CalendarActions>()>;

    // Fills the menu bar's "File", "View" and "Go" menus. The work-week toggle is titled with
    // the number of working days of the user's calendar.
    CalendarMenus(QMenuBar& menuBar, ActionsSource source, int workDaysPerWeek,
                  QObject* parent = nullptr);

    void refresh();

    QAction* settingsAction() const { return m_settings; }
    QAction* newEventAction() const { return m_newEvent; }
    QAction* eventsFromImageAction() const { return m_eventsFromImage; }
    QAction* todayAction() const { return m_today; }
    QAction* previousAction() const { return m_previous; }
    QAction* nextAction() const { return m_next; }
    QAction* widgetGalleryAction() const { return m_widgetGallery; }
    QAction* modeAction(ViewMode mode) const;

  private:
    void act(const std::function<void(const CalendarActions&)>& command);

    ActionsSource m_source;
    QAction* m_settings = nullptr;
    QAction* m_newEvent = nullptr;
    QAction* m_eventsFromImage = nullptr;
    QAction* m_today = nullptr;
    QAction* m_previous = nullptr;
    QAction* m_next = nullptr;
    QAction* m_widgetGallery = nullptr;
    std::array<QAction*, ViewModes::all.size()> m_modes{};
    QActionGroup* m_modeGroup = nullptr;
};

} // namespace plannery
