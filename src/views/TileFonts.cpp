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
    QFontMetricsF metrics(font);
    const double lineHeight = std::ceil(metrics.lineSpacing());
    m_made.emplace_back(
        fontSpec, Font{.font = std::move(font), .metrics = metrics, .lineHeight = lineHeight});
    return m_made.back().second;
}

} // namespace plannery
