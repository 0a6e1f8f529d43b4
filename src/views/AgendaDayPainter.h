#pragma once

#include "agenda/AgendaLayout.h"
#include "agenda/AgendaSections.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"
#include "views/GridPalette.h"

#include <QFont>
#include <QRectF>

#include <string>
#include <unordered_map>
#include <vector>

class QPainter;

namespace plannery {

// What one day section of the agenda list shows, and how its event titles break.
struct AgendaDayContent {
    const AgendaSection* section = nullptr;
    const std::vector<int>* titleLines = nullptr; // one entry per event: 1 or 2
    bool isToday = false;
};

// Draws the parts of the agenda list: a day section (the month heading when it has one, the date
// badge, the event rows or "No events", the divider), the "Show Earlier" button and the spinner.
// Geometry comes from AgendaLayout; the fonts' line heights are measured here.
class AgendaDayPainter {
  public:
    AgendaDayPainter();

    // Takes the application font again (it changed).
    void updateFonts();
    const AgendaLineHeights& lineHeights() const { return m_lines; }
    // A title's width on one line in the title font; remembered, as titles repeat.
    double titleWidth(const std::string& title) const;

    // `frame` is the whole section: the list's width and the section's height. Only the event
    // rows that reach into `exposed` are drawn.
    void paintSection(QPainter& painter, const QRectF& frame, const QRectF& exposed,
                      const AgendaDayContent& content, Instant now, const Calendar& calendar,
                      const GridPalette& palette) const;
    void paintShowEarlier(QPainter& painter, const QRectF& frame, bool pressed,
                          const GridPalette& palette) const;
    // A spinner of twelve spokes centred in `frame`; `phase` (0...11) is the brightest spoke.
    void paintSpinner(QPainter& painter, const QRectF& frame, int phase,
                      const GridPalette& palette) const;

  private:
    void paintHeading(QPainter& painter, const QRectF& frame, Instant day, const Calendar& calendar,
                      const GridPalette& palette) const;
    void paintBadge(QPainter& painter, QPointF topLeft, Instant day, bool isToday,
                    const Calendar& calendar, const GridPalette& palette) const;
    void paintRow(QPainter& painter, const QRectF& row, const CalEvent& event, int titleLines,
                  Instant day, Instant now, const Calendar& calendar,
                  const GridPalette& palette) const;

    QFont m_footnote;
    QFont m_heading;
    QFont m_weekday;
    QFont m_number;
    QFont m_numberToday;
    QFont m_title;
    QFont m_titleStruck;
    QFont m_caption;
    QFont m_subheadline;
    AgendaLineHeights m_lines;
    mutable std::unordered_map<std::string, double> m_titleWidths;
};

} // namespace plannery
