#pragma once

#include "grid/TimeGridHours.h"
#include "model/Instant.h"
#include "views/TimeGridView.h"

#include <QObject>

#include <functional>
#include <optional>

class QSettings;

namespace plannery {

class CalendarStore;

// The time grid's preferences as stored: nonsense values read as the defaults.
TimeGridPreferences readTimeGridPreferences(const QSettings& settings);
// Stores all four preferences under their keys (the settings screen edits them).
void writeTimeGridPreferences(QSettings& settings, const TimeGridPreferences& preferences);

// Connects a time grid to the window around it: events from the calendar store and a reload on
// every new revision, the fit range and hour height from the preferences (and a zoom stored back
// into them), and the anchor date passed both ways without the two sides chasing each other.
class TimeGridBinding final : public QObject {
    Q_OBJECT

  public:
    struct Anchor {
        std::function<Instant()> get;
        std::function<void(Instant)> set;
    };

    // `actions` says what selecting an event or a day and proposing a new event do; the anchor
    // and hour height reports are the binding's own.
    TimeGridBinding(TimeGridView& view, CalendarStore& store, QSettings& settings, Anchor anchor,
                    TimeGridView::Handlers actions, QObject* parent = nullptr);

    // The window's anchor moved (a menu command, another view): the grid follows.
    void anchorChanged();
    // The preferences may have changed (the settings screen, another window).
    void preferencesChanged();

  private:
    void report(Instant day);

    TimeGridView& m_view;
    CalendarStore& m_store;
    QSettings& m_settings;
    Anchor m_anchor;
    // The anchor when the grid's report callback was installed, and the last report written.
    Instant m_installed{};
    std::optional<Instant> m_reported;
    quint64 m_revision = 0;
};

} // namespace plannery
