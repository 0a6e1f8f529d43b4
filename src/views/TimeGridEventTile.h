#pragma once

#include "grid/TimeGridLayout.h"
#include "grid/TimeGridTileStyle.h"
#include "model/Calendar.h"
#include "views/GridPalette.h"
#include "views/TileFonts.h"

#include <QPainterPath>
#include <QRectF>

#include <vector>

class QPainter;

namespace plannery {

// Paints one event tile: its shape, stripe, hatch and outline, and as much of its text as the
// parts of it left readable by the tiles above it allow.
namespace TimeGridEventTile {

// Where a tile is drawn: among other things, or into a transparent picture of its own (which
// lets it be drawn square and its corners cut at the end).
enum class Canvas { shared, own };

// Draws `tile` (its event, flags and covered stretches) into `bounds`, in the painter's current
// coordinates, its text in `fonts`. A tile whose event has no calendar draws nothing.
void paint(QPainter& painter, const QRectF& bounds, const TimeGridTile& tile,
           const Calendar& calendar, const GridPalette& palette, TileFonts& fonts,
           Canvas canvas = Canvas::shared);

// A rectangle whose top and bottom corners are rounded or square.
QPainterPath shapePath(const TileShape& shape, const QPointF& origin = {});

// Fills the multi-calendar stripe into `rect` (clipped to it).
void drawStripe(QPainter& painter, const std::vector<CalendarRef>& calendars, const QRectF& rect);

} // namespace TimeGridEventTile

} // namespace plannery
