#pragma once

#include "detail/DetailSheetReply.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <string_view>

class QWidget;

// The text styles, colours and sizes of the detail sheet. Sizes are given in points at the
// default text size and grow with the body font, so the sheet scales with the user's text size.
namespace plannery::DetailStyle {

enum class TextStyle { body, title2, subheadline, footnote, caption, caption2 };
enum class Weight { regular, semibold, bold };

QFont font(const QWidget* widget, TextStyle style, Weight weight = Weight::regular);
// A length of `points` at the default body size, scaled to the widget's body font.
double scaled(const QWidget* widget, double points);

// A UTF-8 text of the pure code as a Qt string.
QString text(std::string_view utf8);

QColor secondary(const QWidget* widget);
QColor tertiary(const QWidget* widget);
QColor tint(const QWidget* widget, SheetTint tint);

} // namespace plannery::DetailStyle
