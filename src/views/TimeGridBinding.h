#pragma once

#include "grid/TimeGridHours.h"
#include "views/TimeGridView.h"
#include "views/ViewBinding.h"

class QSettings;

namespace plannery {

// The time grid's preferences as stored: nonsense values read as the defaults.
TimeGridPreferences readTimeGridPreferences(const QSettings& settings);
// Stores all four preferences under their keys (the settings screen edits them).
void writeTimeGridPreferences(QSettings& settings, const TimeGridPreferences& preferences);

// Connects a time grid to the window around it as every view is (the store's days, the anchor),
// and to the preferences: the fit range and hour height from them, and a zoom stored back into
// them.
class TimeGridBinding final : public ViewBinding {
    Q_OBJECT

  public:
    // `actions` says what selecting an event or a day and proposing a new event do; the hour
    // height report is the binding's own.
    TimeGridBinding(TimeGridView& view, CalendarStore& store, QSettings& settings, Anchor anchor,
                    TimeGridView::Handlers actions, QObject* parent = nullptr);

    // The preferences may have changed (the settings screen, another window).
    void preferencesChanged();

  private:
    TimeGridView& m_view;
    QSettings& m_settings;
};

} // namespace plannery
