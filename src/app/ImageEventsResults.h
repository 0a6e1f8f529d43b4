#pragma once

#include "finder/EventSuggestion.h"

#include <QPixmap>
#include <QWidget>

#include <vector>

class QLabel;
class QToolButton;
class QVBoxLayout;

namespace plannery {

class CalendarStore;
class ImageEventsModel;
class SuggestionRow;

// What the "Events from Image" sheet lists once the events are found: the picture, the calendar
// they are added to, one row per found event (or "No Events Found"), which engine found them,
// and the text they were found in. It follows the model: rows are made again for new
// suggestions, and only their state changes as events are added and removed.
class ImageEventsResults final : public QWidget {
    Q_OBJECT

  public:
    ImageEventsResults(ImageEventsModel& model, CalendarStore& store, QWidget* parent = nullptr);

    // The picture scaled to fit `height`, with rounded corners.
    static QPixmap thumbnail(const QImage& image, int height);

    QToolButton* calendarPicker() const { return m_calendarPicker; }

  signals:
    void editRequested(const EventSuggestion& suggestion);

  private:
    void rebuild();
    void showAdded();
    void showCalendar();
    void fillCalendarMenu();

    ImageEventsModel& m_model;
    CalendarStore& m_store;
    QVBoxLayout* m_layout = nullptr;
    QToolButton* m_calendarPicker = nullptr;
    std::vector<SuggestionRow*> m_rows;
};

} // namespace plannery
