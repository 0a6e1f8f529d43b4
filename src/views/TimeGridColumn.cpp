#include "views/TimeGridColumn.h"

#include "grid/TimeGridSegment.h"
#include "views/TimeGridEventTile.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace plannery {

namespace {

// The column view's arguments to the block layout: tiles at least 13 points tall, 1.5 points
// clear of the left edge, 1 (narrow columns) or 4 points of the right one, 1 point between
// neighbours.
constexpr double kMinTileHeight = 13;
constexpr double kLeftInset = 1.5;
constexpr double kGap = 1;
// Tiles larger than this (in device pixels) are drawn directly instead of kept as images.
constexpr double kMaxLayerPixels = 4e6;

double rightInset(double columnWidth) {
    return columnWidth < 80 ? 1 : 4;
}

double safeScale(double scale) {
    return std::isfinite(scale) && scale > 0 ? scale : 1;
}

// y on the device pixel grid, for a line one device pixel thick.
double pixelAligned(double y, double scale) {
    return std::floor(y * scale) / scale;
}

} // namespace

TimeGridColumn::TimeGridColumn(Calendar calendar) : m_calendar(std::move(calendar)) {}

bool TimeGridColumn::changes(Instant day, const Events& events, const TimeGridMetrics& metrics,
                             double scale) const {
    return !m_configured || day != m_day || events != m_events || !(metrics == m_metrics) ||
           safeScale(scale) != m_scale;
}

void TimeGridColumn::configure(Instant day, const Events& events, const TimeGridMetrics& metrics,
                               double scale) {
    if (!changes(day, events, metrics, scale)) {
        return;
    }
    m_configured = true;
    m_day = day;
    m_events = events;
    m_metrics = metrics;
    m_scale = safeScale(scale);
    layout();
}

void TimeGridColumn::release() {
    m_configured = false;
    m_events.reset();
    m_tiles.clear();
    m_layers.clear();
}

void TimeGridColumn::layout() {
    m_tiles.clear();
    m_layers.clear();
    if (!m_events || m_events->empty()) {
        return;
    }
    const std::vector<TimeGridSegment> segments =
        TimeGridSegment::segments(*m_events, m_day, m_calendar);
    const double width = m_metrics.columnWidth;
    const std::vector<TimeGridBlock> blocks = TimeGridLayout::blocks(
        segments, width, m_metrics.hourHeight, m_metrics.gridTop, m_metrics.startHour,
        m_metrics.endHour, kMinTileHeight, kLeftInset, rightInset(width), kGap);
    m_tiles = TimeGridLayout::tiles(blocks, m_scale, width);
    m_layers.assign(m_tiles.size(), QImage());
}

void TimeGridColumn::prepare(const GridPalette& palette) const {
    TileFonts fonts;
    for (const std::size_t i : undrawn(palette, -std::numeric_limits<double>::infinity(),
                                       std::numeric_limits<double>::infinity())) {
        drawLayer(i, palette, m_calendar, fonts);
    }
}

std::vector<std::function<void()>> TimeGridColumn::drawingJobs(const GridPalette& palette,
                                                               double visibleTop,
                                                               double visibleBottom) const {
    // Batches of a few tiles, so that the threads finish together; the calendar copied and the
    // fonts made for each batch cost far less than drawing its tiles.
    constexpr std::size_t kTilesPerBatch = 6;
    const std::vector<std::size_t> tiles = undrawn(palette, visibleTop, visibleBottom);
    std::vector<std::function<void()>> jobs;
    for (std::size_t i = 0; i < tiles.size(); i += kTilesPerBatch) {
        std::vector<std::size_t> batch(tiles.begin() + static_cast<std::ptrdiff_t>(i),
                                       tiles.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                           i + kTilesPerBatch, tiles.size())));
        jobs.emplace_back([this, &palette, batch = std::move(batch)] {
            const Calendar calendar = m_calendar;
            TileFonts fonts;
            for (const std::size_t index : batch) {
                drawLayer(index, palette, calendar, fonts);
            }
        });
    }
    return jobs;
}

bool TimeGridColumn::inSight(const TimeGridTile& tile, double visibleTop, double visibleBottom) {
    const Rect& f = tile.block.frame;
    return f.bottom() >= visibleTop && f.top() <= visibleBottom;
}

QSize TimeGridColumn::layerPixels(std::size_t index) const {
    const Rect& f = m_tiles[index].block.frame;
    const QSize pixels(static_cast<int>(std::ceil(f.width * m_scale)),
                       static_cast<int>(std::ceil(f.height * m_scale)));
    if (pixels.width() <= 0 || pixels.height() <= 0 ||
        static_cast<double>(pixels.width()) * pixels.height() > kMaxLayerPixels) {
        return {};
    }
    return pixels;
}

void TimeGridColumn::matchPalette(const GridPalette& palette) const {
    if (!(palette == m_layerPalette)) {
        m_layerPalette = palette;
        m_layers.assign(m_tiles.size(), QImage());
    }
}

std::vector<std::size_t> TimeGridColumn::undrawn(const GridPalette& palette, double visibleTop,
                                                 double visibleBottom) const {
    matchPalette(palette);
    std::vector<std::size_t> result;
    for (std::size_t i = 0; i < m_tiles.size(); ++i) {
        if (m_layers[i].isNull() && inSight(m_tiles[i], visibleTop, visibleBottom) &&
            !layerPixels(i).isEmpty()) {
            result.push_back(i);
        }
    }
    return result;
}

void TimeGridColumn::drawLayer(std::size_t index, const GridPalette& palette,
                               const Calendar& calendar, TileFonts& fonts) const {
    const QSize pixels = layerPixels(index);
    if (pixels.isEmpty()) {
        return;
    }
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(m_scale);
    image.fill(Qt::transparent);
    TimeGridEventTile::drawPicture(image, m_tiles[index], calendar, palette, fonts);
    m_layers[index] = std::move(image);
}

const QImage& TimeGridColumn::layer(std::size_t index, const GridPalette& palette,
                                    TileFonts& fonts) const {
    matchPalette(palette);
    if (m_layers[index].isNull()) {
        drawLayer(index, palette, m_calendar, fonts);
    }
    return m_layers[index];
}

void TimeGridColumn::paint(QPainter& painter, const GridPalette& palette, double visibleTop,
                           double visibleBottom) const {
    const double width = m_metrics.columnWidth;
    const double pixel = 1 / m_scale;
    // The lines lie on the background only (tiles come after them).
    const QColor separator = palette.onBackground(palette.separator);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int hour = m_metrics.startHour; hour <= m_metrics.endHour; ++hour) {
        const double y = pixelAligned(m_metrics.y(hour * 60.0), m_scale);
        if (y + pixel < visibleTop || y > visibleBottom) {
            continue;
        }
        painter.fillRect(QRectF(0, y, width, pixel), separator);
    }
    const double right = pixelAligned(width, m_scale) - pixel;
    painter.fillRect(QRectF(right, std::max(visibleTop, 0.0), pixel,
                            std::max(visibleBottom - std::max(visibleTop, 0.0), 0.0)),
                     separator);
    painter.restore();

    TileFonts fonts;
    for (std::size_t i = 0; i < m_tiles.size(); ++i) {
        const TimeGridTile& tile = m_tiles[i];
        if (!inSight(tile, visibleTop, visibleBottom)) {
            continue;
        }
        const Rect& f = tile.block.frame;
        const QImage& image = layer(i, palette, fonts);
        if (!image.isNull()) {
            painter.drawImage(QPointF(f.x, f.y), image);
        } else {
            TimeGridEventTile::paint(painter, QRectF(f.x, f.y, f.width, f.height), tile, m_calendar,
                                     palette, fonts);
        }
    }
}

std::optional<CalEvent> TimeGridColumn::eventAt(QPointF p) const {
    // Tiles are in drawing order, so the last hit is the topmost.
    for (auto it = m_tiles.rbegin(); it != m_tiles.rend(); ++it) {
        const Rect& f = it->block.frame;
        if (p.x() >= f.left() && p.x() < f.right() && p.y() >= f.top() - 1 &&
            p.y() < f.bottom() + 1) {
            return it->block.segment.event;
        }
    }
    return std::nullopt;
}

} // namespace plannery
