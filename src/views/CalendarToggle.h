#pragma once

#include "model/SettingsRows.h"

#include <QWidget>

class QCheckBox;

namespace plannery {

// A calendar's switch in settings: a dot in the calendar's colour and its title, and under them
// the mirror note when the calendar mirrors others. Named "calendarToggle-" and the title, so
// that scripts and screen readers can find it.
class CalendarToggle : public QWidget {
    Q_OBJECT

  public:
    explicit CalendarToggle(const CalendarRow& row, QWidget* parent = nullptr);

    const std::string& calendarID() const { return m_calendarID; }
    bool isOn() const;
    // Shows a state without reporting it as the user's choice.
    void setOn(bool on);

  signals:
    // The user switched the calendar on or off.
    void switched(bool on);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void paintDot();

    std::string m_calendarID;
    RGB m_rgb;
    QCheckBox* m_switch = nullptr;
};

} // namespace plannery
