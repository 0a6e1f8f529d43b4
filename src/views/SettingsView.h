#pragma once

#include "model/SettingsRows.h"

#include <QTimer>
#include <QWidget>

#include <string>
#include <vector>

class QCheckBox;
class QSettings;
class QVBoxLayout;

namespace plannery {

class CalendarStore;
class CalendarToggle;
class TimeGridSettingsSection;

// The settings form: whether declined events show, how the day and week grids use their height,
// which engine finds events in pictures, every account's calendars with a switch each, and what
// build this is. It keeps no state of its own: the switches show the calendar store and the
// preferences, and act on them at once. The window shows it as a sheet and closes it on `done`.
class SettingsView : public QWidget {
    Q_OBJECT

  public:
    // `store` and `settings` (the app's preferences) must outlive the view.
    SettingsView(CalendarStore& store, QSettings& settings, QWidget* parent = nullptr);

  signals:
    // The user is finished ("Done", or Escape).
    void done();
    // A grid preference was stored; the grids read them again.
    void timeGridPreferencesChanged();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // Whether a calendar shows: it or one of its mirrors is not hidden.
    bool visible(const std::string& calendarID) const;
    // Shows or hides the calendar with its mirrors.
    void setCalendarVisible(const std::string& calendarID, bool visible);

    QWidget* declinedSection();
    QWidget* buildSection();
    void showAccounts();
    void showSwitches();

    CalendarStore& m_store;
    QCheckBox* m_showDeclined = nullptr;
    TimeGridSettingsSection* m_timeGrid = nullptr;
    QVBoxLayout* m_accounts = nullptr;
    // The sections on screen; account widgets are made again only when these change.
    std::vector<AccountSection> m_sections;
    std::vector<CalendarToggle*> m_toggles;
    // Several changes in a row (a setting writes, invalidates and announces) redraw once.
    QTimer m_accountsTimer;
};

} // namespace plannery
