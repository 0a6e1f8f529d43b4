#pragma once

#include "agenda/WidgetFamily.h"

namespace plannery {

// The sizes of the widget faces for one screen, in points, from the reference phone screens
// they were drawn for.
struct WidgetSizes {
    struct Size {
        double width = 0;
        double height = 0;

        friend bool operator==(const Size&, const Size&) = default;
    };

    double small = 170; // the side of the square small tile
    double mediumWidth = 364;
    double largeHeight = 382;
    Size rectangular{172, 76};
    double cornerRadius = 27.94;

    friend bool operator==(const WidgetSizes&, const WidgetSizes&) = default;

    // The sizes of the reference screen nearest to width × height (by the sum of the
    // differences); on a tie the larger screen.
    static WidgetSizes forScreen(double width, double height);

    Size medium() const { return {mediumWidth, small}; }
    Size large() const { return {mediumWidth, largeHeight}; }
    // Two medium tiles and the gap between them wide, as tall as the large one.
    Size extraLarge() const { return {2 * mediumWidth + spacing(), largeHeight}; }
    double inlineWidth() const { return rectangular.width + 60; }
    static constexpr double inlineHeight = 22;
    // The gap between two small tiles in a row.
    double spacing() const { return mediumWidth - 2 * small; }

    Size of(WidgetFamily family) const;
};

} // namespace plannery
