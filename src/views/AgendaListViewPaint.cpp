// What the agenda list shows: the sections on screen, drawn straight from the layout, and the
// queries that tests and screen readers use.

#include "views/AgendaListView.h"

#include "agenda/AgendaText.h"
#include "grid/FourWeeksCell.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace plannery {

namespace {

namespace L = AgendaLayout;

std::optional<std::size_t> sectionOf(const std::vector<AgendaSection>& sections, Instant day) {
    const auto index = AgendaSections::indexAtOrAfter(sections, day);
    if (!index || sections[*index].day != day) {
        return std::nullopt;
    }
    return index;
}

} // namespace

void AgendaListView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const double width = viewport()->width();
    const double height = viewportHeight();
    painter.fillRect(viewport()->rect(), m_palette.background);
    if (!m_range) {
        return;
    }
    const double offset = scrollOffset();
    painter.translate(0, -offset);
    const QRectF exposed(0, offset, width, height);

    if (m_stack.buttonHeight() > offset) {
        m_painter.paintShowEarlier(painter, QRectF(0, 0, width, m_stack.buttonHeight()),
                                   m_pressed && m_pressed->showEarlier, m_palette);
    }
    const auto first = m_stack.sectionAt(offset);
    const auto last = m_stack.sectionAt(offset + height);
    if (first && last) {
        const Instant time = now();
        for (std::size_t i = *first; i <= *last && i < m_sections.size(); ++i) {
            const double top = m_stack.sectionTop(i);
            const QRectF frame(0, top, width, m_stack.sectionBottom(i) - top);
            m_painter.paintSection(painter, frame, exposed,
                                   AgendaDayContent{.section = &m_sections[i],
                                                    .titleLines = &m_titleLines[i],
                                                    .isToday = m_sections[i].day == m_today},
                                   time, m_calendar, m_palette);
        }
    }
    const double spinnerTop = m_stack.sentinelTop() + L::sentinelHeight + L::spinnerPadding;
    if (spinnerTop < offset + height) {
        m_painter.paintSpinner(
            painter,
            QRectF((width - L::spinnerSize) / 2, spinnerTop, L::spinnerSize, L::spinnerSize),
            m_spinnerPhase, m_palette);
    }
}

AgendaRange AgendaListView::range() const {
    return m_range.value_or(AgendaRange{});
}

std::vector<Instant> AgendaListView::shownDays() const {
    std::vector<Instant> days;
    days.reserve(m_sections.size());
    for (const AgendaSection& section : m_sections) {
        days.push_back(section.day);
    }
    return days;
}

bool AgendaListView::showsMonthHeading(Instant day) const {
    const auto index = sectionOf(m_sections, day);
    return index && m_sections[*index].showMonth;
}

QRectF AgendaListView::sectionRect(Instant day) const {
    const auto index = sectionOf(m_sections, day);
    if (!index) {
        return QRectF();
    }
    const double top = m_stack.sectionTop(*index);
    return QRectF(0, top - scrollOffset(), viewport()->width(),
                  m_stack.sectionBottom(*index) - top);
}

QRectF AgendaListView::rowFrame(std::size_t section, std::size_t row) const {
    const std::vector<int>& lines = m_titleLines[section];
    const AgendaLineHeights& heights = m_painter.lineHeights();
    const double top = m_stack.sectionTop(section) +
                       L::dayRowTop(m_sections[section].showMonth, heights) +
                       L::eventRowTops(lines, heights)[row];
    return QRectF(L::eventsLeft, top,
                  std::max(viewport()->width() - L::eventsLeft - L::dayPaddingX, 0.0),
                  L::eventRowHeight(lines[row], heights));
}

QRectF AgendaListView::rowRect(Instant day, const std::string& eventId) const {
    const auto index = sectionOf(m_sections, day);
    if (!index) {
        return QRectF();
    }
    const std::vector<CalEvent>& events = *m_sections[*index].events;
    for (std::size_t row = 0; row < events.size(); ++row) {
        if (events[row].id == eventId) {
            return rowFrame(*index, row).translated(0, -scrollOffset());
        }
    }
    return QRectF();
}

QRectF AgendaListView::showEarlierRect() const {
    return QRectF(0, -scrollOffset(), viewport()->width(), m_stack.buttonHeight());
}

std::optional<AgendaListView::Hit> AgendaListView::hitAt(QPointF p) const {
    const double y = p.y() + scrollOffset();
    if (!m_range || p.y() < 0 || p.y() >= viewportHeight()) {
        return std::nullopt;
    }
    if (y < m_stack.buttonHeight()) {
        return Hit{.showEarlier = true};
    }
    const auto index = m_stack.sectionAt(y);
    if (!index || y >= m_stack.sectionBottom(*index)) {
        return std::nullopt;
    }
    const std::size_t rows = m_sections[*index].events->size();
    for (std::size_t row = 0; row < rows; ++row) {
        const QRectF frame = rowFrame(*index, row);
        if (frame.contains(p.x(), y)) {
            return Hit{.section = *index, .row = row};
        }
        if (frame.top() > y) {
            break;
        }
    }
    return std::nullopt;
}

std::optional<CalEvent> AgendaListView::eventAt(QPointF p) const {
    const std::optional<Hit> hit = hitAt(p);
    if (!hit || hit->showEarlier) {
        return std::nullopt;
    }
    return (*m_sections[hit->section].events)[hit->row];
}

std::string AgendaListView::accessibleText(Instant day) const {
    const auto index = sectionOf(m_sections, day);
    if (!index) {
        return {};
    }
    const AgendaSection& section = m_sections[*index];
    const std::string text = FourWeeksCell::accessibilityText(section.day, section.day == m_today,
                                                              *section.events, m_calendar);
    return section.isEmpty() ? text + ", " + AgendaText::noEvents : text;
}

} // namespace plannery
