#include "agenda/AgendaLayout.h"

#include <algorithm>
#include <cmath>

namespace plannery {

namespace AgendaLayout {

double buttonHeight(const AgendaLineHeights& lines) {
    return buttonPaddingY + lines.footnote + buttonPaddingY;
}

double headingHeight(const AgendaLineHeights& lines) {
    return headingPaddingTop + lines.heading + headingPaddingBottom;
}

double badgeHeight(const AgendaLineHeights& lines) {
    return lines.badgeWeekday + badgeSpacing + numberFrame;
}

double titleWidth(double listWidth) {
    const double width =
        listWidth - eventsLeft - dayPaddingX - stripeWidth - stripeGap - rowPaddingTrailing;
    return std::isfinite(width) ? std::max(width, 0.0) : 0.0;
}

int titleLines(double singleLineWidth, double available) {
    return singleLineWidth <= available ? 1 : maxTitleLines;
}

double eventRowHeight(int titleLines, const AgendaLineHeights& lines) {
    const int shown = std::clamp(titleLines, 1, maxTitleLines);
    return rowPaddingY + shown * lines.title + lines.caption + rowPaddingY;
}

double dayRowTop(bool showMonth, const AgendaLineHeights& lines) {
    return (showMonth ? headingHeight(lines) : 0) + dayPaddingY;
}

std::vector<double> eventRowTops(const std::vector<int>& titleLines,
                                 const AgendaLineHeights& lines) {
    std::vector<double> tops;
    tops.reserve(titleLines.size());
    double y = 0;
    for (const int count : titleLines) {
        tops.push_back(y);
        y += eventRowHeight(count, lines) + rowSpacing;
    }
    return tops;
}

double sectionHeight(bool showMonth, const std::vector<int>& titleLines,
                     const AgendaLineHeights& lines) {
    double events = std::max(noEventsMinHeight, lines.subheadline);
    if (!titleLines.empty()) {
        events = rowSpacing * static_cast<double>(titleLines.size() - 1);
        for (const int count : titleLines) {
            events += eventRowHeight(count, lines);
        }
    }
    return dayRowTop(showMonth, lines) + std::max(badgeHeight(lines), events) + dayPaddingY +
           dividerHeight;
}

double footerHeight() {
    return sentinelHeight + spinnerPadding + spinnerSize + spinnerPadding;
}

} // namespace AgendaLayout

AgendaStack::AgendaStack(double buttonHeight, const std::vector<double>& sectionHeights,
                         double footerHeight)
    : m_buttonHeight(buttonHeight), m_footerHeight(footerHeight) {
    m_tops.reserve(sectionHeights.size() + 1);
    double y = buttonHeight;
    m_tops.push_back(y);
    for (const double height : sectionHeights) {
        y += std::isfinite(height) ? std::max(height, 0.0) : 0.0;
        m_tops.push_back(y);
    }
}

double AgendaStack::sectionTop(std::size_t index) const {
    if (m_tops.empty()) {
        return m_buttonHeight;
    }
    return m_tops[std::min(index, m_tops.size() - 1)];
}

std::optional<std::size_t> AgendaStack::sectionAt(double y) const {
    const std::size_t count = sectionCount();
    if (count == 0) {
        return std::nullopt;
    }
    // The first top after y, less one, is the section that holds y.
    const auto after = std::upper_bound(m_tops.begin(), m_tops.end() - 1, y);
    if (after == m_tops.begin()) {
        return 0;
    }
    return std::min(static_cast<std::size_t>(after - m_tops.begin()) - 1, count - 1);
}

double AgendaStack::maxOffset(double viewportHeight) const {
    return std::max(0.0, height() - viewportHeight);
}

double AgendaStack::offsetFor(std::size_t index, double viewportHeight) const {
    return std::min(sectionTop(index), maxOffset(viewportHeight));
}

bool AgendaStack::sentinelVisible(double offset, double viewportHeight) const {
    const double top = sentinelTop();
    return top < offset + viewportHeight && top + AgendaLayout::sentinelHeight > offset;
}

} // namespace plannery
