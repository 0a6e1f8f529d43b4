#pragma once

#include "grid/FourWeeksCell.h"
#include "model/CalEvent.h"
#include "model/Instant.h"
#include "views/GridPalette.h"
#include "views/MonthEventChip.h"

#include <QFont>
#include <QRectF>

#include <memory>
#include <vector>

class QPainter;

namespace plannery {

// What one day cell of the four-weeks page shows.
struct MonthDayContent {
    Instant day{};
    FourWeeksCell::DateRow date{};
    std::shared_ptr<const std::vector<CalEvent>> events{}; // may be null: no events
};

// Draws a day cell: the date row (month name on the page's first day and on the 1st, today's
// number on a red disc), as many event chips as fit and a "+N" row for the rest. Past days are
// drawn at half opacity on a grey ground.
class MonthDayCell {
  public:
    MonthDayCell();

    void paint(QPainter& painter, const QRectF& cell, const MonthDayContent& content,
               const GridPalette& palette, Instant now) const;

    // The grey behind past days, before its 60 % opacity.
    static QColor pastBackground(const GridPalette& palette);

  private:
    void paintDateRow(QPainter& painter, const QRectF& cell, const FourWeeksCell::DateRow& date,
                      const GridPalette& palette) const;

    QFont m_number;
    QFont m_numberBold;
    QFont m_month;
    QFont m_overflow;
    MonthEventChip m_chip;
};

} // namespace plannery
