#pragma once

#include "grid/TimeGridTileStyle.h"

class QColor;
class QImage;
class QPainter;

namespace plannery {

// Rounding a tile drawn square into a picture of its own: each rounded corner of the shape keeps
// only the part of the picture the rounded shape covers, by a small mask of the corner drawn
// once and kept. Cutting four corners costs a fraction of filling every part of the tile (fill,
// stripe, hatching) with rounded ends of its own, and leaves no seam of the fill around the
// stripe's corner.
namespace TileCorners {

// Whether the shape's rounded corners lie on whole device pixels at a whole display scale, where a
// kept mask fits them exactly; elsewhere the tile's parts are filled with rounded ends instead.
bool fit(const QPainter& painter, const TileShape& shape);

// Keeps of the picture's pixels at the shape's rounded corners what the shape covers: each pixel
// scaled by the mask's coverage, as drawing the mask over the picture with the painter's
// DestinationIn mode would. The picture (ARGB32 premultiplied, at a whole scale where the corners
// fit) must hold this tile only, and no painter may be drawing into it.
void cut(QImage& picture, const TileShape& shape);

// Fills, behind what is there, the squares of the shape's rounded corners, as a DestinationOver
// fill would: what a cut cleared around a shape that lies on something else.
void fillBehind(QImage& picture, const TileShape& shape, const QColor& color);

} // namespace TileCorners

} // namespace plannery
