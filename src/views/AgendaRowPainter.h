#pragma once

#include "agenda/AgendaPlan.h"
#include "agenda/AgendaRowStyle.h"
#include "agenda/WidgetAgenda.h"
#include "views/WidgetPalette.h"

#include <QFont>
#include <QRectF>
#include <QString>

#include <string>

class QPainter;

namespace plannery {

// Measures and draws the rows of a widget list in the sizes of one row style and text size: timed
// events behind an aligned time column, all-day events on a tint, day headings with their rule,
// "+n more", the next day summed up, and notes.
class AgendaRowPainter {
  public:
    AgendaRowPainter(const AgendaRowStyle& style, TextSize textSize, bool twelveHours);

    const AgendaRowStyle& style() const { return m_style; }
    // The row's height in a column of this width.
    double height(const AgendaRow& row, double width) const;
    void paint(QPainter& painter, const AgendaRow& row, const QRectF& frame,
               const WidgetAgenda& agenda, const WidgetPalette& palette) const;
    // The text a screen reader says for the row.
    QString accessibleName(const AgendaRow& row, const WidgetAgenda& agenda) const;

    // The width the time column reserves.
    double timeColumnWidth() const { return m_timeColumn; }

    // A title or place as a row shows it: white space folded, and no longer than a row could
    // ever show (a title of thousands of characters is cut before it is measured).
    static QString shown(const std::string& text);

  private:
    void paintEvent(QPainter& painter, const AgendaRow& row, const QRectF& frame,
                    const WidgetAgenda& agenda, const WidgetPalette& palette) const;
    void paintAllDay(QPainter& painter, const AgendaRow& row, const QRectF& frame,
                     const WidgetPalette& palette) const;
    void paintHeading(QPainter& painter, const AgendaRow& row, const QRectF& frame,
                      const WidgetPalette& palette) const;
    void paintBar(QPainter& painter, const CalEvent& event, const QRectF& frame) const;
    void paintTime(QPainter& painter, const QString& text, const QRectF& column, bool ongoing,
                   const WidgetPalette& palette) const;

    AgendaRowStyle m_style;
    QFont m_time;
    QFont m_timeBold;
    QFont m_title;
    QFont m_titleBold;
    QFont m_place;
    QFont m_allDay;
    QFont m_header;
    QFont m_count;
    QFont m_note;
    double m_timeColumn = 0;
};

} // namespace plannery
