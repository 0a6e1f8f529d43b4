#pragma once

#include "detail/EventDetailInfo.h"

#include <QWidget>

#include <optional>

namespace plannery {

// One calendar that holds the event: its colour dot, title, account and the other calendars the
// copy also arrives through; the reply on that calendar when the replies differ, and a lock when
// the calendar takes no changes.
class CalendarRow final : public QWidget {
    Q_OBJECT

  public:
    CalendarRow(const EventDetailInfo::CalendarItem& item, std::optional<Reply> reply,
                QWidget* parent = nullptr);
};

} // namespace plannery
