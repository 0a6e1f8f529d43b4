#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plannery {

// The user's preferred text size, from extra small to the accessibility sizes.
enum class TextSize {
    extraSmall,
    small,
    medium,
    large,
    extraLarge,
    extraExtraLarge,
    extraExtraExtraLarge,
    accessibility
};

namespace TextSizes {

// How much every font of a widget grows: 0.88 (extra small) ... 1.0 (large, the default) ...
// 1.32 (accessibility sizes).
double factor(TextSize size);
// A font size at that factor, cut (not rounded) to one decimal: 11 at 1.32 is 14.5.
double scaled(double points, TextSize size);

// "xs", "s", "m", "l", "xl", "xxl", "xxxl" and "accessibility", as the command line writes them.
std::optional<TextSize> parse(std::string_view name);
std::string_view name(TextSize size);

} // namespace TextSizes

// The sizes of a widget list's rows, in points.
struct AgendaRowStyle {
    double title = 11;     // timed events' titles
    double time = 10;      // the time column and places
    double allDay = 10.5;  // all-day titles
    double header = 9;     // day headings; "more" and day-summary counts use header + 0.5
    double note = 10.5;    // empty notes
    double barWidth = 3;   // the calendar bar
    double gap = 4;        // bar to text, and time column to title
    double rowPadding = 0; // above and below event rows (all-day rows: one more)
    double spacing = 1.5;  // between rows; headings add spacing + 1 on top
    bool detailed = false; // time ranges and places instead of start times only

    friend bool operator==(const AgendaRowStyle&, const AgendaRowStyle&) = default;

    static AgendaRowStyle smallAndMedium();
    static AgendaRowStyle large();

    // The text whose width the time column reserves, so that every title of a list starts at
    // the same place: "00:00–00:00p", "00:00–00:00", "00:00p" or "00:00".
    std::string timeTemplate(bool twelveHours) const;
};

} // namespace plannery
