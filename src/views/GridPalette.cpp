#include "views/GridPalette.h"

#include <QApplication>

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

QColor rgba(int r, int g, int b, double alpha = 1) {
    QColor c(r, g, b);
    c.setAlphaF(static_cast<float>(alpha));
    return c;
}

double unit(double v) {
    return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0;
}

} // namespace

GridPalette GridPalette::light() {
    return GridPalette{
        .appearance = Appearance::light,
        .background = rgba(255, 255, 255),
        .label = rgba(0, 0, 0),
        .secondaryLabel = rgba(60, 60, 67, 0.6),
        .tertiaryLabel = rgba(60, 60, 67, 0.3),
        .separator = rgba(60, 60, 67, 0.29),
        .tertiaryFill = rgba(118, 118, 128, 0.12),
        .red = rgba(255, 59, 48),
        .blue = rgba(0, 122, 255),
    };
}

GridPalette GridPalette::dark() {
    return GridPalette{
        .appearance = Appearance::dark,
        .background = rgba(0, 0, 0),
        .label = rgba(255, 255, 255),
        .secondaryLabel = rgba(235, 235, 245, 0.6),
        .tertiaryLabel = rgba(235, 235, 245, 0.3),
        .separator = rgba(84, 84, 88, 0.6),
        .tertiaryFill = rgba(118, 118, 128, 0.24),
        .red = rgba(255, 69, 58),
        .blue = rgba(10, 132, 255),
    };
}

GridPalette GridPalette::from(const QPalette& palette) {
    const QColor window = palette.color(QPalette::Window);
    const bool dark = window.lightnessF() < 0.5;
    GridPalette result = dark ? GridPalette::dark() : GridPalette::light();
    result.background = palette.color(QPalette::Base);
    if ((result.background.lightnessF() < 0.5) != dark) {
        result.background = dark ? QColor(0, 0, 0) : QColor(255, 255, 255);
    }
    return result;
}

QColor GridPalette::role(ColorRole role) const {
    switch (role) {
    case ColorRole::label:
        return label;
    case ColorRole::secondaryLabel:
        return secondaryLabel;
    case ColorRole::tertiaryLabel:
        return tertiaryLabel;
    case ColorRole::systemRed:
        return red;
    case ColorRole::white:
        return QColor(255, 255, 255);
    }
    return label;
}

QColor GridPalette::onBackground(const QColor& color) const {
    const float a = color.alphaF();
    const auto mix = [a](float top, float bottom) { return top * a + bottom * (1 - a); };
    return QColor::fromRgbF(mix(color.redF(), background.redF()),
                            mix(color.greenF(), background.greenF()),
                            mix(color.blueF(), background.blueF()));
}

QColor GridPalette::color(RGB rgb, double alpha) {
    QColor c = QColor::fromRgbF(static_cast<float>(unit(rgb.r)), static_cast<float>(unit(rgb.g)),
                                static_cast<float>(unit(rgb.b)));
    c.setAlphaF(static_cast<float>(unit(alpha)));
    return c;
}

QFont gridFont(const FontSpec& fontSpec) {
    QFont font = QApplication::font();
    // The grid's sizes are logical pixels, like every length of its layout, so that a 13-pixel
    // tile holds its 11.5-pixel title; Qt's point is 96/72 of a logical pixel.
    font.setPointSizeF(fontSpec.size * 72.0 / 96.0);
    switch (fontSpec.weight) {
    case FontWeight::regular:
        font.setWeight(QFont::Normal);
        break;
    case FontWeight::medium:
        font.setWeight(QFont::Medium);
        break;
    case FontWeight::semibold:
        font.setWeight(QFont::DemiBold);
        break;
    case FontWeight::bold:
        font.setWeight(QFont::Bold);
        break;
    }
    return font;
}

} // namespace plannery
