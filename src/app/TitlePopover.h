#pragma once

#include "grid/ViewMode.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <QFrame>

#include <functional>

class QCalendarWidget;
class QLabel;

namespace plannery {

// The popover under the window's title: "Go to" a day picked on a month calendar or today, or
// switch to another mode with one click. It closes itself after either choice.
class TitlePopover final : public QFrame {
    Q_OBJECT

  public:
    struct Handlers {
        std::function<void(Instant day)> onDay;
        std::function<void(ViewMode)> onMode;
        std::function<void()> onClose;
    };

    TitlePopover(Calendar calendar, int workDaysPerWeek, Handlers handlers,
                 QWidget* parent = nullptr);

    // Shows the month of the day on screen, with that day picked, and highlights the mode.
    void present(ViewMode mode, Instant day, Instant today);
    QString monthTitle() const;

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    void pick(Instant day);

    Calendar m_calendar;
    Handlers m_handlers;
    QLabel* m_month = nullptr;
    QCalendarWidget* m_picker = nullptr;
    Instant m_today{};
    bool m_presenting = false;
};

} // namespace plannery
