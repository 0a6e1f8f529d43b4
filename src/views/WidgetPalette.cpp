#include "views/WidgetPalette.h"

#include "views/GridPalette.h"

namespace plannery {

WidgetPalette WidgetPalette::of(Appearance appearance) {
    const bool dark = appearance == Appearance::dark;
    const GridPalette grid = dark ? GridPalette::dark() : GridPalette::light();
    QColor hairline = grid.secondaryLabel;
    hairline.setAlphaF(hairline.alphaF() * 0.5f);
    return WidgetPalette{
        .appearance = appearance,
        .today = grid.red,
        .background = dark ? QColor::fromRgbF(0.11f, 0.11f, 0.118f) : QColor(255, 255, 255),
        .primary = grid.label,
        .secondary = grid.secondaryLabel,
        .hairline = hairline,
    };
}

} // namespace plannery
