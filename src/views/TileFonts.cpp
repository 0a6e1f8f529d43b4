#include "views/TileFonts.h"

#include "views/GridPalette.h"

#include <cmath>

namespace plannery {

const TileFonts::Font& TileFonts::operator()(const FontSpec& fontSpec) {
    for (const auto& [made, font] : m_made) {
        if (made == fontSpec) {
            return font;
        }
    }
    QFont font = gridFont(fontSpec);
    // Tiles hold short lines at small sizes, where kerning and ligatures of Latin-like scripts do
    // not show, and shaping each line was the largest part of drawing a page; scripts that need
    // shaping to be read are still shaped.
    font.setStyleStrategy(QFont::PreferNoShaping);
    QFontMetricsF metrics(font);
    const double lineHeight = std::ceil(metrics.lineSpacing());
    m_made.emplace_back(
        fontSpec, Font{.font = std::move(font), .metrics = metrics, .lineHeight = lineHeight});
    return m_made.back().second;
}

} // namespace plannery
