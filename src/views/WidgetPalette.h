#pragma once

#include "grid/TimeGridColors.h"

#include <QColor>

namespace plannery {

// The colours of the widget faces in one appearance: the accent of today, the tile's
// background, and the text colours of the desktop's light or dark look.
struct WidgetPalette {
    Appearance appearance = Appearance::light;
    QColor today{};      // the system red
    QColor background{}; // white, or a near-black grey in the dark
    QColor primary{};
    QColor secondary{};
    // Rules under day headings and between columns: the secondary colour, fainter.
    QColor hairline{};

    static WidgetPalette of(Appearance appearance);
};

} // namespace plannery
