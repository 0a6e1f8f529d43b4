#include "views/TimeGridEventTile.h"

#include "grid/TimeGridColors.h"
#include "grid/TimeGridText.h"
#include "grid/TimeGridTileText.h"
#include "views/PixelGrid.h"
#include "views/TileCorners.h"
#include "views/TilePatterns.h"
#include "views/TimeGridTitleLines.h"

#include <QBrush>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <optional>

namespace plannery {

namespace {

Rect toRect(const QRectF& r) {
    return Rect{.x = r.x(), .y = r.y(), .width = r.width(), .height = r.height()};
}

QRectF toQRect(const Rect& r) {
    return QRectF(r.x, r.y, r.width, r.height);
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Draws one line in `font`, cut at the tail with an ellipsis to `width`.
void drawElided(QPainter& painter, const TileFonts::Font& font, const QString& text,
                QPointF topLeft, double width) {
    painter.setFont(font.font);
    painter.drawText(QPointF(topLeft.x(), topLeft.y() + font.metrics.ascent()),
                     font.metrics.elidedText(text, Qt::ElideRight, width));
}

// The tile's text, in tile coordinates (origin at the tile's top-left).
void paintText(QPainter& painter, const Rect& bounds, const TimeGridTile& tile,
               const Calendar& calendar, const GridPalette& palette, TileFonts& fonts) {
    const CalEvent& event = tile.block.segment.event;
    const bool compact = tile.compact;
    const TileTextArea area = TimeGridTileText::textArea(bounds, compact, event.calendars.size());
    const TileFonts::Font& titleFont = fonts(TimeGridTileStyle::titleFont(compact, bounds.height));
    const double titleHeight = titleFont.lineHeight;
    const TileTextForm form = TimeGridTileText::form(area, compact, titleHeight);
    if (form == TileTextForm::none) {
        return;
    }
    const std::vector<Stretch> stretches =
        TimeGridTileText::readableStretches(area, bounds.height, tile.block.covered);
    if (stretches.empty()) {
        return;
    }
    const QColor textColor =
        GridPalette::color(TimeGridColors::text(event.calendars.front().rgb, palette.appearance));
    QColor secondaryColor = textColor;
    secondaryColor.setAlphaF(static_cast<float>(TimeGridTileStyle::secondaryTextAlpha));
    const TileFonts::Font& timeFont = fonts(TimeGridTileStyle::timeFont(compact));
    const QRectF textRect = toQRect(area.rect);
    const double width = textRect.width();

    painter.save();
    painter.setClipRect(textRect.adjusted(0, -area.topOffset, 0, 0), Qt::IntersectClip);
    painter.setPen(textColor);
    switch (form) {
    case TileTextForm::none:
        break;
    case TileTextForm::words: {
        const TileFonts::Font& wordFont = fonts(TimeGridTileStyle::narrowWordFont());
        const std::vector<std::string> words = TimeGridTileText::words(event.title);
        const std::vector<double> tops =
            TimeGridTileText::placeWords(words.size(), wordFont.lineHeight, stretches);
        painter.setFont(wordFont.font);
        for (std::size_t i = 0; i < tops.size(); ++i) {
            painter.drawText(QPointF(textRect.left(), tops[i] + wordFont.metrics.ascent()),
                             qs(words[i]));
        }
        break;
    }
    case TileTextForm::oneLine: {
        const std::vector<double> tops = TimeGridLayout::flow({titleHeight}, stretches, 1);
        if (tops.empty()) {
            break;
        }
        const QString title = qs(event.title).left(2000);
        const QString detail = qs(TimeGridTileText::oneLineDetail(event, calendar));
        const double titleWidth = titleFont.metrics.horizontalAdvance(title);
        const QPointF topLeft(textRect.left(), tops.front());
        // The line is cut at its tail: inside the title when the title alone is too long.
        drawElided(painter, titleFont, title, topLeft, width);
        if (titleWidth >= width) {
            break;
        }
        painter.setPen(secondaryColor);
        // The detail shares the title's baseline.
        const double baseline = tops.front() + titleFont.metrics.ascent();
        painter.setFont(timeFont.font);
        painter.drawText(QPointF(textRect.left() + titleWidth, baseline),
                         timeFont.metrics.elidedText(detail, Qt::ElideRight, width - titleWidth));
        break;
    }
    case TileTextForm::lines: {
        const TimeGridTitleLines title(qs(event.title), titleFont.font, width, titleHeight,
                                       TimeGridTileText::mostTitleLines(titleHeight, stretches) +
                                           1);
        const std::vector<TileFurtherLine> further =
            TimeGridTileText::furtherLines(event, compact, tile.block.segment.continuesBefore);
        const TilePlacement placement = TimeGridTileText::place(
            title.lineCount(), titleHeight,
            std::vector<double>(further.size(), timeFont.lineHeight), stretches, compact);
        painter.setFont(titleFont.font);
        for (std::size_t i = 0; i < placement.titleTops.size(); ++i) {
            const QPointF topLeft(textRect.left(), placement.titleTops[i]);
            if (placement.titleTruncated && i + 1 == placement.titleTops.size()) {
                title.drawRest(painter, i, topLeft);
            } else {
                title.drawLine(painter, i, topLeft);
            }
        }
        painter.setPen(secondaryColor);
        for (std::size_t i = 0; i < placement.furtherTops.size() && i < further.size(); ++i) {
            drawElided(painter, timeFont,
                       qs(TimeGridTileText::furtherText(further[i], event, calendar)),
                       QPointF(textRect.left(), placement.furtherTops[i]), width);
        }
        break;
    }
    }
    painter.restore();
}

double scaleOf(const QPainter& painter) {
    const double scale = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1;
    return std::isfinite(scale) && scale > 0 ? scale : 1;
}

// Fills `rect` in bands of at most 64 device rows, split on whole rows. The raster engine hands
// the rows of a blended fill (a pattern, a translucent colour, another composition mode) taller
// than that to its own thread pool in pieces; tiles are already drawn on every core, and passing
// the pieces back and forth costs more than the fill itself.
void fillRows(QPainter& painter, const QRectF& rect, const QBrush& brush) {
    // A rectangle on whole device pixels covers each of its pixels fully, which the raster
    // engine's unantialiased fill writes directly; the antialiased one runs the same rectangle
    // through its rasteriser first.
    if (painter.testRenderHint(QPainter::Antialiasing) &&
        painter.deviceTransform().type() <= QTransform::TxScale &&
        PixelGrid::onPixelCorner(painter, rect.topLeft()) &&
        PixelGrid::onPixelCorner(painter, rect.bottomRight())) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        fillRows(painter, rect, brush);
        painter.setRenderHint(QPainter::Antialiasing, true);
        return;
    }
    const double scale = scaleOf(painter);
    const double band = 64 / scale;
    const bool plain = brush.style() == Qt::SolidPattern && brush.color().alpha() == 255 &&
                       painter.compositionMode() == QPainter::CompositionMode_SourceOver;
    if (plain || rect.height() <= band) {
        painter.fillRect(rect, brush);
        return;
    }
    double top = rect.top();
    for (double edge = (std::floor(rect.top() * scale) + 64) / scale; top < rect.bottom();
         edge += band) {
        const double bottom = std::min(edge, rect.bottom());
        painter.fillRect(QRectF(rect.left(), top, rect.width(), bottom - top), brush);
        top = bottom;
    }
}

// Fills the part of the tile's shape inside `area` with `brush`. Between its rounded rows the
// shape is its rectangle, which the raster engine fills as a plain write when the colour is
// opaque; only the rounded rows go through the antialiased path, one short path for each end.
// Clipping to the shape instead builds and applies a mask over the whole tile, which cost more
// than everything else a tile draws.
void fillShape(QPainter& painter, const TileShape& shape, const QBrush& brush, QRectF area) {
    const QRectF r = toQRect(shape.rect);
    area &= r;
    if (area.isEmpty()) {
        return;
    }
    const double scale = scaleOf(painter);
    const auto down = [scale](double v) { return std::floor(v * scale) / scale; };
    const auto up = [scale](double v) { return std::ceil(v * scale) / scale; };
    const double radius = std::clamp(shape.radius, 0.0, std::min(r.width(), r.height()) / 2);
    const bool roundTop = shape.roundTop && radius * scale >= 1;
    const bool roundBottom = shape.roundBottom && radius * scale >= 1;
    // The straight middle's edges on the pixel grid, so that the rounded rows meet it exactly.
    const double middleTop = roundTop ? up(r.top() + radius) : r.top();
    const double middleBottom = roundBottom ? down(r.bottom() - radius) : r.bottom();
    if (middleBottom <= middleTop) {
        // Too short for a straight middle: all of it is rounded.
        painter.save();
        painter.setClipRect(area, Qt::IntersectClip);
        painter.fillPath(TimeGridEventTile::shapePath(shape), brush);
        painter.restore();
        return;
    }
    fillRows(painter, area & QRectF(QPointF(r.left(), middleTop), QPointF(r.right(), middleBottom)),
             brush);
    // Each rounded end as a shape twice the radius tall, rounded at that end only.
    const auto end = [&](double bandTop, double bandBottom, double shapeTop, bool top) {
        const QRectF band(QPointF(area.left(), bandTop), QPointF(area.right(), bandBottom));
        const TileShape piece{
            .rect = Rect{.x = r.x(), .y = shapeTop, .width = r.width(), .height = 2 * radius},
            .radius = radius,
            .roundTop = top,
            .roundBottom = !top};
        painter.save();
        painter.setClipRect(band, Qt::IntersectClip);
        painter.fillPath(TimeGridEventTile::shapePath(piece), brush);
        painter.restore();
    };
    if (roundTop) {
        end(down(r.top()), middleTop, r.top(), true);
    }
    if (roundBottom) {
        end(middleBottom, up(r.bottom()), r.bottom() - 2 * radius, false);
    }
}

// The shape's rectangle, without rounded corners.
TileShape squared(const TileShape& shape) {
    return TileShape{.rect = shape.rect, .radius = 0, .roundTop = false, .roundBottom = false};
}

// The stripe inside the tile's shape: one colour is filled like the shape, and so are bands of
// several, tiled from a picture of one period; where no such picture fits the pixel grid, the
// bands are clipped to the shape.
void paintStripe(QPainter& painter, const TileShape& shape, const QRectF& stripe,
                 const std::vector<CalendarRef>& calendars) {
    if (calendars.size() == 1) {
        fillShape(painter, shape, GridPalette::color(calendars.front().rgb), stripe);
        return;
    }
    if (const std::optional<QImage> period =
            TilePatterns::stripe(painter, calendars, stripe.topLeft(), stripe.width())) {
        painter.save();
        painter.setBrushOrigin(stripe.topLeft());
        fillShape(painter, shape, QBrush(*period), stripe);
        painter.restore();
        return;
    }
    painter.save();
    painter.setClipPath(TimeGridEventTile::shapePath(shape), Qt::IntersectClip);
    TimeGridEventTile::drawStripe(painter, calendars, stripe);
    painter.restore();
}

// Steps inside the shape: fill or hatch, stripe, tentative outline, text. The parts are filled in
// `fill`: the shape itself, or its rectangle when the corners are cut afterwards.
void paintBody(QPainter& painter, const Rect& bounds, const TileShape& fill, const TileShape& shape,
               const TimeGridTile& tile, const Calendar& calendar, const GridPalette& palette,
               TileFonts& fonts) {
    const CalEvent& event = tile.block.segment.event;
    const RGB rgb = event.calendars.front().rgb;
    if (event.isTentative) {
        const QRectF rect = toQRect(shape.rect);
        fillShape(painter, fill, palette.background, rect);
        const QColor hatchColor =
            GridPalette::color(rgb, TimeGridTileStyle::hatchAlpha(palette.appearance));
        if (const std::optional<QImage> period =
                TilePatterns::hatch(painter, hatchColor, rect.topLeft())) {
            painter.save();
            painter.setBrushOrigin(rect.topLeft());
            fillShape(painter, fill, QBrush(*period), rect);
            painter.restore();
        } else {
            painter.save();
            painter.setClipPath(TimeGridEventTile::shapePath(fill), Qt::IntersectClip);
            QPen pen(hatchColor);
            pen.setWidthF(TimeGridTileStyle::hatchWidth);
            // All strokes in one path: one rasterisation instead of one per line.
            QPainterPath hatch;
            for (const HatchLine& line : TimeGridTileStyle::hatchLines(shape.rect)) {
                hatch.moveTo(line.from.x, line.from.y);
                hatch.lineTo(line.to.x, line.to.y);
            }
            painter.strokePath(hatch, pen);
            painter.restore();
        }
    } else {
        fillShape(painter, fill, GridPalette::color(TimeGridColors::fill(rgb, palette.appearance)),
                  toQRect(shape.rect));
    }
    const QRectF stripe =
        toQRect(TimeGridTileStyle::stripeRect(shape.rect, tile.compact, event.calendars.size()));
    paintStripe(painter, fill, stripe, event.calendars);

    if (event.isTentative) {
        QPen pen(GridPalette::color(rgb, TimeGridTileStyle::outlineAlpha));
        pen.setWidthF(TimeGridTileStyle::outlineWidth);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(TimeGridEventTile::shapePath(TimeGridTileStyle::tentativeOutline(shape)));
    }
    paintText(painter, bounds, tile, calendar, palette, fonts);
}

// A tile's shape and the gap of background around it (when it is outlined).
struct TileOutline {
    TileShape shape;
    TileShape gap;
};

// Draws the tile as `paint` does. Drawn into a picture of its own (`ownPicture`), a tile whose
// corners fit the pixel grid is drawn square, and the outline whose corners are still to be cut
// is returned.
std::optional<TileOutline> paintTile(QPainter& painter, const QRectF& frame,
                                     const TimeGridTile& tile, const Calendar& calendar,
                                     const GridPalette& palette, TileFonts& fonts,
                                     bool ownPicture) {
    const CalEvent& event = tile.block.segment.event;
    if (event.calendars.empty() || !(frame.width() > 0) || !(frame.height() > 0) ||
        !std::isfinite(frame.width()) || !std::isfinite(frame.height())) {
        return std::nullopt;
    }
    const Rect bounds{.x = 0, .y = 0, .width = frame.width(), .height = frame.height()};
    const TileShape shape =
        TimeGridTileStyle::shape(bounds, tile.outlined, tile.block.segment.continuesBefore,
                                 tile.block.segment.continuesAfter);
    const TileShape gap = TimeGridTileStyle::outlineGap(bounds, shape);
    painter.save();
    painter.translate(frame.topLeft());
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setClipRect(toQRect(bounds), Qt::IntersectClip);
    const bool cutCorners = ownPicture && TileCorners::fit(painter, shape) &&
                            (!tile.outlined || TileCorners::fit(painter, gap));
    const TileShape fill = cutCorners ? squared(shape) : shape;
    if (tile.outlined) {
        fillShape(painter, cutCorners ? squared(gap) : gap, palette.background, toQRect(gap.rect));
    }
    if (!event.isDeclined) {
        paintBody(painter, bounds, fill, shape, tile, calendar, palette, fonts);
    } else {
        fillShape(painter, fill, palette.background, toQRect(shape.rect));
        // The faded event is one layer: drawn opaque into its own image, then blended at once,
        // so the stripe and text do not show the fill through them.
        const double dpr = scaleOf(painter);
        const QSize pixels(static_cast<int>(std::ceil(bounds.width * dpr)),
                           static_cast<int>(std::ceil(bounds.height * dpr)));
        if (pixels.width() > 0 && pixels.height() > 0 && pixels.width() < 8192 &&
            pixels.height() < 16384) {
            QImage layer(pixels, QImage::Format_ARGB32_Premultiplied);
            layer.setDevicePixelRatio(dpr);
            layer.fill(Qt::transparent);
            {
                QPainter layerPainter(&layer);
                layerPainter.setRenderHints(painter.renderHints());
                paintBody(layerPainter, bounds, fill, shape, tile, calendar, palette, fonts);
            }
            painter.save();
            painter.setOpacity(painter.opacity() * TimeGridTileStyle::declinedOpacity);
            painter.drawImage(QPointF(0, 0), layer);
            painter.restore();
        }
    }
    painter.restore();
    return cutCorners ? std::optional<TileOutline>(TileOutline{.shape = shape, .gap = gap})
                      : std::nullopt;
}

} // namespace

namespace TimeGridEventTile {

QPainterPath shapePath(const TileShape& shape, const QPointF& origin) {
    const QRectF r = toQRect(shape.rect).translated(origin);
    QPainterPath path;
    if (r.isEmpty()) {
        return path;
    }
    const double radius = std::clamp(shape.radius, 0.0, std::min(r.width(), r.height()) / 2);
    const double top = shape.roundTop ? radius : 0;
    const double bottom = shape.roundBottom ? radius : 0;
    path.moveTo(r.left() + top, r.top());
    path.lineTo(r.right() - top, r.top());
    if (top > 0) {
        path.arcTo(QRectF(r.right() - 2 * top, r.top(), 2 * top, 2 * top), 90, -90);
    }
    path.lineTo(r.right(), r.bottom() - bottom);
    if (bottom > 0) {
        path.arcTo(QRectF(r.right() - 2 * bottom, r.bottom() - 2 * bottom, 2 * bottom, 2 * bottom),
                   0, -90);
    }
    path.lineTo(r.left() + bottom, r.bottom());
    if (bottom > 0) {
        path.arcTo(QRectF(r.left(), r.bottom() - 2 * bottom, 2 * bottom, 2 * bottom), 270, -90);
    }
    path.lineTo(r.left(), r.top() + top);
    if (top > 0) {
        path.arcTo(QRectF(r.left(), r.top(), 2 * top, 2 * top), 180, -90);
    }
    path.closeSubpath();
    return path;
}

void drawStripe(QPainter& painter, const std::vector<CalendarRef>& calendars, const QRectF& rect) {
    if (rect.isEmpty()) {
        return;
    }
    const std::vector<TimeGridColors::StripeFill> fills =
        TimeGridColors::stripe(calendars, toRect(rect));
    if (fills.size() == 1) {
        // One calendar fills the whole rect.
        painter.fillRect(rect, GridPalette::color(fills.front().color));
        return;
    }
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setPen(Qt::NoPen);
    for (const TimeGridColors::StripeFill& fill : fills) {
        painter.setBrush(GridPalette::color(fill.color));
        for (const Polygon& polygon : fill.path) {
            QPolygonF q;
            q.reserve(static_cast<int>(polygon.size()));
            for (const Point& p : polygon) {
                q << QPointF(p.x, p.y);
            }
            painter.drawPolygon(q);
        }
    }
    painter.restore();
}

void paint(QPainter& painter, const QRectF& frame, const TimeGridTile& tile,
           const Calendar& calendar, const GridPalette& palette, TileFonts& fonts) {
    paintTile(painter, frame, tile, calendar, palette, fonts, false);
}

void drawPicture(QImage& picture, const TimeGridTile& tile, const Calendar& calendar,
                 const GridPalette& palette, TileFonts& fonts) {
    const Rect& f = tile.block.frame;
    QPainter painter(&picture);
    const std::optional<TileOutline> cut =
        paintTile(painter, QRectF(0, 0, f.width, f.height), tile, calendar, palette, fonts, true);
    painter.end();
    if (cut) {
        TileCorners::cut(picture, cut->shape);
        if (tile.outlined) {
            // The gap around the shape shows again where the shape's corners were cut, and is
            // rounded in turn.
            TileCorners::fillBehind(picture, cut->shape, palette.background);
            TileCorners::cut(picture, cut->gap);
        }
    }
}

} // namespace TimeGridEventTile

} // namespace plannery
