#include "views/TimeGridPainter.h"

#include "model/Fmt.h"
#include "views/TileWorkers.h"
#include "views/TimeGridOverlay.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>

namespace plannery {

TimeGridPainter::TimeGridPainter(Calendar calendar, const QPalette& palette)
    : m_calendar(std::move(calendar)), m_palette(GridPalette::from(palette)), m_tiles(m_calendar),
      m_gutter(m_calendar) {}

void TimeGridPainter::setCalendar(Calendar calendar) {
    m_calendar = std::move(calendar);
    m_tiles.setCalendar(m_calendar);
    m_gutter = TimeGridGutterPainter(m_calendar);
}

void TimeGridPainter::setPalette(const QPalette& palette) {
    m_palette = GridPalette::from(palette);
}

void TimeGridPainter::setSource(const DaySource* source) {
    m_tiles.setSource(source);
}

void TimeGridPainter::forgetEvents() {
    m_tiles.forgetEvents();
}

TimeGridPageHours TimeGridPainter::pageHours(const std::vector<Instant>& days,
                                             const std::optional<TimeGridHourRange>& fit) {
    TimeGridPageHours hours{.mostAllDay = mostAllDay(days)};
    if (fit) {
        std::vector<TimeGridDayEvents> events;
        for (const Instant day : days) {
            TimeGridDayEvents entry{.day = day};
            if (const auto& list = m_tiles.events(day).events) {
                entry.events = *list;
            }
            events.push_back(std::move(entry));
        }
        hours.band = TimeGridHours::fitted(fit, events, m_calendar);
    }
    return hours;
}

int TimeGridPainter::mostAllDay(const std::vector<Instant>& days) {
    int most = 0;
    for (const Instant day : days) {
        most = std::max(most, static_cast<int>(m_tiles.events(day).allDay.size()));
    }
    return most;
}

void TimeGridPainter::keep(const std::vector<Instant>& days) {
    m_tiles.keep(days);
}

void TimeGridPainter::prepare(Instant day, const TimeGridMetrics& metrics, bool isToday,
                              double scale) {
    m_tiles.column(day, metrics, scale).prepare(m_palette);
    const TimeGridHeader& header = m_tiles.header(day, metrics, isToday, scale);
    if (header.lacksPicture(m_palette)) {
        header.drawPicture(m_palette);
    }
}

bool TimeGridPainter::isToday(const Scene& scene, Instant day) {
    return scene.now.shownToday() == day;
}

void TimeGridPainter::paint(QPainter& painter, const Scene& scene) {
    const std::vector<TimeGridColumnPlace> columns = scene.pager.visibleColumns();
    paintBody(painter, scene, columns);
    paintHeaders(painter, scene, columns);
    paintGutter(painter, scene);
}

// What is in sight and not drawn yet (a page shown for the first time, days that changed) is
// laid out and drawn into pictures, shared out between the main thread and the tile workers: the
// columns' layouts, then the headers and tiles, column by column.
TimeGridPainter::Drawing TimeGridPainter::drawing(const Scene& scene,
                                                  const std::vector<TimeGridColumnPlace>& columns) {
    const TimeGridMetrics& metrics = scene.hours.metrics();
    const double top = scene.hours.offset();
    const double bottom = top + scene.hours.scrollerHeight();
    std::vector<Instant> days;
    for (const TimeGridColumnPlace& column : columns) {
        days.push_back(column.day);
    }
    Drawing drawing{.columns = m_tiles.columns(days, metrics, scene.scale)};
    for (std::size_t i = 0; i < days.size(); ++i) {
        const TimeGridHeader& header =
            m_tiles.header(days[i], metrics, isToday(scene, days[i]), scene.scale);
        if (header.lacksPicture(m_palette)) {
            drawing.jobs.emplace_back([this, &header] { header.drawPicture(m_palette); });
        }
        std::vector<std::function<void()>> tiles =
            drawing.columns[i]->drawingJobs(m_palette, top, bottom);
        std::move(tiles.begin(), tiles.end(), std::back_inserter(drawing.jobs));
        drawing.columnEnds.push_back(drawing.jobs.size());
    }
    return drawing;
}

// Each column's pictures are copied to the screen as soon as its jobs and those before it are
// done, while the workers go on with the rest.
void TimeGridPainter::paintBody(QPainter& painter, const Scene& scene,
                                const std::vector<TimeGridColumnPlace>& columns) {
    const TimeGridMetrics& metrics = scene.hours.metrics();
    const double gutter = scene.pager.geometry().gutterWidth;
    const double top = scene.hours.offset();
    const double bodyHeight = scene.hours.scrollerHeight();
    const Drawing drawing = this->drawing(scene, columns);
    painter.save();
    painter.setClipRect(
        QRectF(gutter, metrics.headerHeight(), scene.size.width() - gutter, bodyHeight));
    std::size_t copied = 0;
    const auto copyDrawn = [&](std::size_t jobsDone) {
        for (; copied < columns.size() && drawing.columnEnds[copied] <= jobsDone; ++copied) {
            painter.save();
            painter.translate(columns[copied].left, scene.hours.contentTop());
            drawing.columns[copied]->paint(painter, m_palette, top, top + bodyHeight);
            painter.restore();
        }
    };
    TileWorkers::forEach(
        drawing.jobs.size(), [&drawing](std::size_t i) { drawing.jobs[i](); }, copyDrawn);
    copyDrawn(drawing.jobs.size());
    painter.translate(0, scene.hours.contentTop());
    scene.now.paint(painter, m_palette, metrics);
    painter.restore();
}

void TimeGridPainter::paintHeaders(QPainter& painter, const Scene& scene,
                                   const std::vector<TimeGridColumnPlace>& columns) {
    const TimeGridMetrics& metrics = scene.hours.metrics();
    const double gutter = scene.pager.geometry().gutterWidth;
    const double headerHeight = metrics.headerHeight();
    painter.save();
    painter.setClipRect(QRectF(gutter, 0, scene.size.width() - gutter, headerHeight));
    for (const TimeGridColumnPlace& column : columns) {
        painter.save();
        painter.translate(column.left, 0);
        m_tiles.header(column.day, metrics, isToday(scene, column.day), scene.scale)
            .paint(painter, m_palette);
        painter.restore();
    }
    painter.restore();
    const double pixel = 1 / scene.scale;
    painter.fillRect(QRectF(0, std::floor((headerHeight - pixel) * scene.scale) / scene.scale,
                            scene.size.width(), pixel),
                     m_palette.separator);
}

void TimeGridPainter::paintGutter(QPainter& painter, const Scene& scene) {
    const double gutter = scene.pager.geometry().gutterWidth;
    if (gutter <= 0) {
        return;
    }
    const TimeGridMetrics& metrics = scene.hours.metrics();
    const double headerHeight = metrics.headerHeight();
    const double bodyHeight = scene.hours.scrollerHeight();
    const bool showsNow = scene.now.shows();
    m_gutter.configure(
        metrics, gutter, showsNow ? std::optional<Instant>(scene.now.now()) : std::nullopt,
        showsNow ? std::optional<double>(scene.now.minute()) : std::nullopt, scene.scale);
    painter.save();
    painter.setClipRect(QRectF(0, headerHeight, gutter, bodyHeight));
    painter.fillRect(QRectF(0, headerHeight, gutter, bodyHeight), m_palette.background);
    painter.translate(0, scene.hours.contentTop());
    m_gutter.paint(painter, m_palette);
    painter.restore();
    const bool chevron =
        metrics.allDayRows > 0 && (scene.hours.chipsHidden() || scene.hours.allDayExpanded());
    TimeGridOverlay::paintCorner(painter, m_palette, metrics, gutter, scene.scale,
                                 chevron ? std::optional<bool>(scene.hours.allDayExpanded())
                                         : std::nullopt);
}

std::optional<CalEvent> TimeGridPainter::eventAt(const Scene& scene, QPointF p) {
    const TimeGridMetrics& metrics = scene.hours.metrics();
    if (p.y() < metrics.headerHeight() || p.x() < scene.pager.geometry().gutterWidth) {
        return std::nullopt;
    }
    const std::optional<TimeGridColumnPlace> column = scene.pager.columnAt(p.x());
    if (!column) {
        return std::nullopt;
    }
    return m_tiles.column(column->day, metrics, scene.scale)
        .eventAt(QPointF(p.x() - column->left, p.y() - scene.hours.contentTop()));
}

TimeGridHeader::Hit TimeGridPainter::headerHit(const Scene& scene, QPointF p) {
    const TimeGridMetrics& metrics = scene.hours.metrics();
    if (p.y() >= metrics.headerHeight() || p.x() < scene.pager.geometry().gutterWidth) {
        return {};
    }
    const std::optional<TimeGridColumnPlace> column = scene.pager.columnAt(p.x());
    if (!column) {
        return {};
    }
    return m_tiles.header(column->day, metrics, isToday(scene, column->day), scene.scale)
        .hit(QPointF(p.x() - column->left, p.y()));
}

std::vector<TimeGridPainter::Marker> TimeGridPainter::markers(const Scene& scene) {
    std::vector<Marker> markers;
    const double columnWidth = scene.hours.metrics().columnWidth;
    for (const TimeGridColumnPlace& column : scene.pager.visibleColumns()) {
        const std::string key = Fmt::dayKey(column.day, scene.pager.calendar());
        markers.push_back(Marker{.identifier = "headerTitle-" + key,
                                 .frame = QRectF(column.left, 0, columnWidth, 1)});
        markers.push_back(
            Marker{.identifier = "column-" + key,
                   .frame = QRectF(column.left, scene.hours.contentTop(), columnWidth, 1)});
    }
    return markers;
}

} // namespace plannery
