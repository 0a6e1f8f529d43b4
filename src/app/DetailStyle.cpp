#include "app/DetailStyle.h"

#include "views/GridPalette.h"

#include <QFontInfo>
#include <QWidget>

namespace plannery::DetailStyle {

namespace {

// The body text size the sheet's lengths are given at.
constexpr double kDefaultBody = 17;

double relativeSize(TextStyle style) {
    switch (style) {
    case TextStyle::body:
        return 1;
    case TextStyle::title2:
        return 22.0 / 17;
    case TextStyle::subheadline:
        return 15.0 / 17;
    case TextStyle::footnote:
        return 13.0 / 17;
    case TextStyle::caption:
        return 12.0 / 17;
    case TextStyle::caption2:
        return 11.0 / 17;
    }
    return 1;
}

GridPalette paletteOf(const QWidget* widget) {
    return GridPalette::from(widget->palette());
}

} // namespace

QFont font(const QWidget* widget, TextStyle style, Weight weight) {
    QFont font = widget->font();
    font.setPointSizeF(QFontInfo(widget->font()).pointSizeF() * relativeSize(style));
    font.setWeight(weight == Weight::bold       ? QFont::Bold
                   : weight == Weight::semibold ? QFont::DemiBold
                                                : QFont::Normal);
    return font;
}

double scaled(const QWidget* widget, double points) {
    // The body font's pixel size stands for the user's text size.
    return points * QFontInfo(widget->font()).pixelSize() / (kDefaultBody * 0.75);
}

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QColor secondary(const QWidget* widget) {
    return paletteOf(widget).secondaryLabel;
}

QColor tertiary(const QWidget* widget) {
    return paletteOf(widget).tertiaryLabel;
}

QColor tint(const QWidget* widget, SheetTint tint) {
    const bool dark = paletteOf(widget).appearance == Appearance::dark;
    switch (tint) {
    case SheetTint::green:
        return dark ? QColor(48, 209, 88) : QColor(52, 199, 89);
    case SheetTint::orange:
        return dark ? QColor(255, 159, 10) : QColor(255, 149, 0);
    case SheetTint::red:
        return paletteOf(widget).red;
    case SheetTint::secondary:
        return secondary(widget);
    }
    return secondary(widget);
}

} // namespace plannery::DetailStyle
