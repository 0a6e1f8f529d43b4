#pragma once

#include "grid/TimeGridHeaderText.h"

#include <QFont>
#include <QFontMetricsF>

#include <deque>
#include <utility>

namespace plannery {

// The fonts tiles draw their text in, each made once, with its metrics, for the tiles drawn one
// after another on a thread: making them for every tile (a copy of the application's font taken
// under its lock, a resolved font, its metrics) cost a tenth of drawing a tile. Used on one thread
// at a time.
class TileFonts {
  public:
    struct Font {
        QFont font;
        QFontMetricsF metrics;
        double lineHeight = 0; // whole points, as tiles stack lines
    };

    // Stays valid while the fonts live.
    const Font& operator()(const FontSpec& fontSpec);

  private:
    std::deque<std::pair<FontSpec, Font>> m_made; // never moves what it holds
};

} // namespace plannery
