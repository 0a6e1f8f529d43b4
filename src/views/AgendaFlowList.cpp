#include "views/AgendaFlowList.h"

#include "agenda/WidgetTime.h"

#include <QPainter>

namespace plannery {

namespace {

QRectF toQRect(const Rect& r) {
    return QRectF(r.x, r.y, r.width, r.height);
}

} // namespace

AgendaFlowList::AgendaFlowList(const WidgetAgenda& agenda,
                               std::vector<WidgetAgenda::Section> sections,
                               const HomeFaceLayout& layout, TextSize textSize, Heading heading)
    : m_agenda(agenda), m_layout(layout),
      m_rows(layout.style, textSize, WidgetTime::usesTwelveHours(agenda.calendar().localeId())),
      m_heading(std::move(heading)) {
    const Instant now = agenda.now();
    m_plan = AgendaPlan::make(
        sections, layout.cap,
        [now](const CalEvent& event) {
            return !event.isAllDay && event.start <= now && now < event.end;
        },
        agenda.calendar());
    m_slots.reserve(m_plan.items.size() + 1);
    m_slots.push_back(AgendaSlot::plain());
    for (const AgendaPlan::Item& item : m_plan.items) {
        m_slots.push_back(item.slot);
    }
}

void AgendaFlowList::layout(const QRectF& bounds) {
    const double width =
        AgendaFlow::columnWidth(bounds.width(), m_layout.columns, m_layout.columnSpacing);
    if (width != m_width || m_heights.size() != m_slots.size()) {
        m_width = width;
        m_heights.clear();
        m_heights.reserve(m_slots.size());
        m_heights.push_back(m_heading.height ? m_heading.height(width) : 0);
        for (const AgendaPlan::Item& item : m_plan.items) {
            m_heights.push_back(m_rows.height(item.row, width));
        }
        m_measurements += static_cast<int>(m_heights.size());
    }
    const double spacing = m_layout.style.spacing;
    m_columns = AgendaFlow::columns(m_slots, m_heights, bounds.height(), spacing, m_layout.columns);
    m_placements = AgendaFlow::place(
        m_columns, m_heights,
        Rect{.x = bounds.x(), .y = bounds.y(), .width = bounds.width(), .height = bounds.height()},
        m_layout.columns, m_layout.columnSpacing, spacing);
}

bool AgendaFlowList::isShown(std::size_t item) const {
    return item + 1 < m_placements.size() && m_placements[item + 1].shown;
}

QRectF AgendaFlowList::frame(std::size_t item) const {
    return item + 1 < m_placements.size() ? toQRect(m_placements[item + 1].frame) : QRectF();
}

void AgendaFlowList::paint(QPainter& painter, const WidgetPalette& palette) const {
    for (const auto& column : m_columns) {
        for (const std::size_t child : column) {
            const QRectF frame = toQRect(m_placements[child].frame);
            if (child == 0) {
                if (m_heading.paint) {
                    m_heading.paint(painter, frame, palette);
                }
                continue;
            }
            m_rows.paint(painter, m_plan.items[child - 1].row, frame, m_agenda, palette);
        }
    }
}

std::vector<WidgetTarget> AgendaFlowList::targets() const {
    std::vector<WidgetTarget> all;
    for (const auto& column : m_columns) {
        for (const std::size_t child : column) {
            const QRectF frame = toQRect(m_placements[child].frame);
            if (child == 0) {
                all.push_back(
                    WidgetTarget{.frame = frame, .name = m_heading.name, .day = m_heading.day});
                continue;
            }
            const AgendaRow& row = m_plan.items[child - 1].row;
            all.push_back(WidgetTarget{.frame = frame,
                                       .name = m_rows.accessibleName(row, m_agenda),
                                       .day = m_layout.linkRows ? std::optional<Instant>(row.day)
                                                                : std::nullopt});
        }
    }
    return all;
}

QString AgendaFlowList::accessibleSummary() const {
    return QString::fromStdString(m_agenda.accessibilitySummary(m_layout.cap));
}

} // namespace plannery
