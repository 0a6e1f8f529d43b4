#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace plannery {

// The line heights of the list's fonts, as the view measures them (rounded up to whole points).
struct AgendaLineHeights {
    double footnote = 16;     // "Show Earlier"
    double heading = 25;      // the month heading, title-3 bold
    double badgeWeekday = 14; // caption-2 semibold
    double title = 20;        // an event's title, subheadline semibold
    double caption = 16;      // the time and place line
    double subheadline = 20;  // "No events"

    friend bool operator==(const AgendaLineHeights&, const AgendaLineHeights&) = default;
};

// The fixed geometry of the agenda list in points, and the heights that follow from it.
namespace AgendaLayout {

inline constexpr double buttonPaddingY = 10;

inline constexpr double headingPaddingX = 16;
inline constexpr double headingPaddingTop = 18;
inline constexpr double headingPaddingBottom = 6;

inline constexpr double dayPaddingX = 12;
inline constexpr double dayPaddingY = 5;
inline constexpr double badgeWidth = 40;
inline constexpr double badgeGap = 10; // between the badge and the events
inline constexpr double numberFrame = 34;
inline constexpr double badgeSpacing = 2; // between the weekday and the number
inline constexpr double noEventsMinHeight = 36;
inline constexpr double rowSpacing = 4; // between the event rows of a day
inline constexpr double dividerIndent = 62;
inline constexpr double dividerHeight = 1;

inline constexpr double rowPaddingY = 3;
inline constexpr double rowPaddingTrailing = 6;
inline constexpr double stripeWidth = 4;
inline constexpr double stripeGap = 8;
inline constexpr double captionGap = 6; // between the time and the place
inline constexpr int maxTitleLines = 2;

inline constexpr double sentinelHeight = 1;
inline constexpr double spinnerSize = 20;
inline constexpr double spinnerPadding = 16;

// Where a day's events begin, from the list's leading edge; the divider starts there too.
inline constexpr double eventsLeft = dayPaddingX + badgeWidth + badgeGap;
static_assert(eventsLeft == dividerIndent);

double buttonHeight(const AgendaLineHeights& lines);
double headingHeight(const AgendaLineHeights& lines);
double badgeHeight(const AgendaLineHeights& lines);

// The width an event's title may take in a list of this width (never negative).
double titleWidth(double listWidth);
// The lines a title takes: one when its single-line width fits, else two (the second one cut
// with an ellipsis when even two are not enough).
int titleLines(double singleLineWidth, double available);

// An event row whose title takes `titleLines` lines (1 or 2).
double eventRowHeight(int titleLines, const AgendaLineHeights& lines);
// The top of a day's badge and event rows within its section: below the month heading when it
// shows one, and the row's padding.
double dayRowTop(bool showMonth, const AgendaLineHeights& lines);
// The tops of a day's event rows relative to the top of its event column, one per entry of
// `titleLines` (each the number of title lines of that row).
std::vector<double> eventRowTops(const std::vector<int>& titleLines,
                                 const AgendaLineHeights& lines);
// A day section: its heading when it shows one, the badge beside its rows (one entry per event,
// each the number of title lines; none for "No events"), and the divider.
double sectionHeight(bool showMonth, const std::vector<int>& titleLines,
                     const AgendaLineHeights& lines);
// The sentinel and the spinner under the last day.
double footerHeight();

} // namespace AgendaLayout

// The list as one vertical stack: the "Show Earlier" button, the day sections, then the
// sentinel and the spinner. Positions are content coordinates, 0 at the top of the button.
class AgendaStack {
  public:
    AgendaStack() = default;
    AgendaStack(double buttonHeight, const std::vector<double>& sectionHeights,
                double footerHeight);

    std::size_t sectionCount() const { return m_tops.empty() ? 0 : m_tops.size() - 1; }
    double buttonHeight() const { return m_buttonHeight; }
    double sectionTop(std::size_t index) const;
    double sectionBottom(std::size_t index) const { return sectionTop(index + 1); }
    double sentinelTop() const { return m_tops.empty() ? m_buttonHeight : m_tops.back(); }
    double height() const { return sentinelTop() + m_footerHeight; }

    // The section at content position y: the one it falls in; the first one above all sections
    // (over the button), the last one below them. None without sections.
    std::optional<std::size_t> sectionAt(double y) const;
    // The scroll offset that puts a section's top at the top of a viewport of this height, as
    // far as the content allows.
    double offsetFor(std::size_t index, double viewportHeight) const;
    double maxOffset(double viewportHeight) const;
    // Whether the sentinel shows in a viewport at `offset`.
    bool sentinelVisible(double offset, double viewportHeight) const;

  private:
    double m_buttonHeight = 0;
    double m_footerHeight = 0;
    std::vector<double> m_tops; // section tops, then the bottom of the last section
};

} // namespace plannery
