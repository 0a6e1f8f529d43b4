#pragma once

#include "agenda/AgendaFlow.h"
#include "agenda/AgendaPlan.h"
#include "agenda/WidgetAgenda.h"
#include "agenda/WidgetFamily.h"
#include "views/AgendaRowPainter.h"
#include "views/WidgetPalette.h"

#include <QRectF>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QPainter;

namespace plannery {

// A painted item of a face that a click, the keyboard or a screen reader can reach: where it is,
// what it says, and the day it opens (none for items that open nothing of their own).
struct WidgetTarget {
    QRectF frame{};
    QString name{};
    std::optional<Instant> day{};
};

// A widget agenda drawn as a list: the plan of every candidate row is built once, each row is
// measured at the column width (and remembered while the width stays), the flow chooses the rows
// that fit, and those are drawn in their columns. The heading comes first, as a plain row.
class AgendaFlowList {
  public:
    struct Heading {
        std::function<double(double width)> height;
        std::function<void(QPainter&, const QRectF&, const WidgetPalette&)> paint;
        std::optional<Instant> day{}; // its link, when it is one
        QString name{};
    };

    AgendaFlowList(const WidgetAgenda& agenda, std::vector<WidgetAgenda::Section> sections,
                   const HomeFaceLayout& layout, TextSize textSize, Heading heading);

    // Chooses and places the rows for these bounds; measures again only when the column width
    // changed.
    void layout(const QRectF& bounds);
    void paint(QPainter& painter, const WidgetPalette& palette) const;

    const AgendaPlan& plan() const { return m_plan; }
    // The shown rows (the heading first), in columns and top to bottom.
    std::vector<WidgetTarget> targets() const;
    // Whether item i of the plan is shown, and where it is placed (shown or parked).
    bool isShown(std::size_t item) const;
    QRectF frame(std::size_t item) const;
    // How many rows were measured so far; stays put while the width does.
    int measurements() const { return m_measurements; }
    // What a screen reader says for the whole list.
    QString accessibleSummary() const;

  private:
    const WidgetAgenda& m_agenda;
    HomeFaceLayout m_layout;
    AgendaRowPainter m_rows;
    Heading m_heading;
    AgendaPlan m_plan;
    std::vector<AgendaSlot> m_slots; // the heading's, then the plan's
    double m_width = -1;
    std::vector<double> m_heights;
    std::vector<AgendaFlow::Placement> m_placements;
    AgendaFlow::Columns m_columns;
    int m_measurements = 0;
};

} // namespace plannery
