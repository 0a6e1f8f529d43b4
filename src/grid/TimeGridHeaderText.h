#pragma once

#include "model/Calendar.h"
#include "model/Instant.h"

#include <string>

namespace plannery {

// The platform's semantic colours a grid element may use; the views resolve them for the light
// or dark appearance.
enum class ColorRole { label, secondaryLabel, tertiaryLabel, systemRed, white };

enum class FontWeight { regular, medium, semibold, bold };

struct FontSpec {
    double size = 13;
    FontWeight weight = FontWeight::regular;
    bool monospacedDigits = false;

    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// How a day header names and colours its day.
namespace TimeGridHeaderText {

// Columns at least this wide lay the weekday and the number side by side; narrower ones stack
// them.
inline constexpr double sideBySideWidth = 80;

// The weekday label. Side-by-side columns show the wide name above 220 points, else the
// abbreviated one, with the abbreviated month after it on the first day of a month when
// `monthOnFirstDay`; stacked columns show the narrow name under 34 points, else the abbreviated
// one, and the abbreviated month instead of it on the first day of a month.
std::string weekdayText(Instant day, const Calendar& calendar, double columnWidth,
                        bool monthOnFirstDay);
// The day of the month, in the locale's digits.
std::string numberText(Instant day, const Calendar& calendar);
// The number's spoken label: the wide weekday, the wide month and the day ("Sunday, March 7"
// in en_US), with ", today" for today.
std::string numberAccessibilityLabel(Instant day, const Calendar& calendar, bool isToday);
// "header-" and the day key.
std::string accessibilityIdentifier(Instant day, const Calendar& calendar);

struct HeaderColors {
    ColorRole weekday = ColorRole::secondaryLabel;
    ColorRole number = ColorRole::label;
    // Today's number sits on a disc in system red.
    bool showsTodayCircle = false;

    friend bool operator==(const HeaderColors&, const HeaderColors&) = default;
};
HeaderColors colors(bool isToday, bool isWeekend);

FontSpec weekdayFont(double columnWidth, bool isToday);
FontSpec numberFont();

} // namespace TimeGridHeaderText

} // namespace plannery
