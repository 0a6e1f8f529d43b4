#pragma once

#include "grid/TimeGridColors.h"
#include "grid/TimeGridHeaderText.h"
#include "model/CalEvent.h"

#include <QColor>
#include <QFont>
#include <QPalette>

namespace plannery {

// The desktop's semantic colours as the grid uses them, resolved for one appearance. Derived from
// the widget's palette: a dark window colour means the dark appearance.
struct GridPalette {
    Appearance appearance = Appearance::light;
    QColor background{};
    QColor label{};
    QColor secondaryLabel{};
    QColor tertiaryLabel{};
    QColor separator{};
    QColor tertiaryFill{};
    QColor red{};
    QColor blue{};

    static GridPalette light();
    static GridPalette dark();
    // The appearance of the palette's window colour, with that palette's window and text colours.
    static GridPalette from(const QPalette& palette);

    QColor role(ColorRole role) const;
    // `color` as it looks laid over the background, made opaque: the same pixels on the
    // background, and an opaque fill is a plain write where a translucent one is blended span by
    // span (which the raster engine spreads over threads for tall, thin rectangles).
    QColor onBackground(const QColor& color) const;

    // A calendar colour as a Qt colour (components clamped to 0...1).
    static QColor color(RGB rgb, double alpha = 1);

    friend bool operator==(const GridPalette&, const GridPalette&) = default;
};

// The grid's fonts: the application's font family at the given size in logical pixels, the unit
// of all the grid's geometry (text and tiles scale together with the device pixel ratio).
// Digits of "monospaced digit" fonts are not forced to tabular figures (this Qt has no font feature
// API); the family's own digits are used.
QFont gridFont(const FontSpec& fontSpec);

} // namespace plannery
