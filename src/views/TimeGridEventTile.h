#pragma once

#include "grid/TimeGridLayout.h"
#include "grid/TimeGridTileStyle.h"
#include "model/Calendar.h"
#include "views/GridPalette.h"
#include "views/TileFonts.h"

#include <QPainterPath>
#include <QRectF>

#include <vector>

class QImage;
class QPainter;

namespace plannery {

// Paints one event tile: its shape, stripe, hatch and outline, and as much of its text as the
// parts of it left readable by the tiles above it allow.
namespace TimeGridEventTile {

// Draws `tile` (its event, flags and covered stretches) into `bounds`, in the painter's current
// coordinates, its text in `fonts`. A tile whose event has no calendar draws nothing.
void paint(QPainter& painter, const QRectF& bounds, const TimeGridTile& tile,
           const Calendar& calendar, const GridPalette& palette, TileFonts& fonts);

// Draws `tile` into a transparent picture of its own, the size of its frame at the picture's
// scale. Where the corners fit the pixel grid, the tile is drawn square and its corners are cut
// from the finished pixels, for less than filling each of its parts with rounded ends.
void drawPicture(QImage& picture, const TimeGridTile& tile, const Calendar& calendar,
                 const GridPalette& palette, TileFonts& fonts);

// A rectangle whose top and bottom corners are rounded or square.
QPainterPath shapePath(const TileShape& shape, const QPointF& origin = {});

// Fills the multi-calendar stripe into `rect` (clipped to it).
void drawStripe(QPainter& painter, const std::vector<CalendarRef>& calendars, const QRectF& rect);

} // namespace TimeGridEventTile

} // namespace plannery
