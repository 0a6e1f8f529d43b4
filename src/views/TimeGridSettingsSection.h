#pragma once

#include "grid/TimeGridHours.h"
#include "model/Calendar.h"
#include "model/Instant.h"
#include "views/SettingsSection.h"

#include <QObject>

class QCheckBox;
class QComboBox;
class QLabel;
class QSettings;
class QSpinBox;
class QWidget;

namespace plannery {

// The settings section "Day & Week Views": fit the hours to the screen between a start and an
// end hour, or show all 24 hours at a chosen hour height. It keeps nothing of its own: every
// control shows the stored preferences, and every change is stored at once and announced, so the
// grids can follow.
class TimeGridSettingsSection : public SettingsSection {
    Q_OBJECT

  public:
    // The hour labels are written in `calendar`'s locale for the hours of the day of `now`.
    TimeGridSettingsSection(QSettings& settings, Calendar calendar, Instant now,
                            QWidget* parent = nullptr);

    // Shows the stored preferences again (another window may have changed them).
    void reload();

  signals:
    void preferencesChanged();

  private:
    void fillEndHours(int start);
    void store(const TimeGridPreferences& preferences);

    QSettings& m_settings;
    Calendar m_calendar;
    Instant m_now;
    QCheckBox* m_fit = nullptr;
    QWidget* m_hours = nullptr;
    QComboBox* m_start = nullptr;
    QComboBox* m_end = nullptr;
    QWidget* m_height = nullptr;
    QSpinBox* m_hourHeight = nullptr;
    QLabel* m_footer = nullptr;
};

} // namespace plannery
