// What the four-weeks view shows: its pages drawn into pixmaps from the days the source has
// loaded, the weekday header, and the queries that tests and screen readers use.

#include "views/FourWeeksView.h"

#include "grid/FourWeeksCell.h"
#include "grid/FourWeeksLayout.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace plannery {

namespace {

// Pages kept drawn: the one at rest and its neighbours. A swipe that passes them draws the pages
// it reaches in place of the farthest; each page is a screenful of pixels.
constexpr std::size_t kKeptPages = 3;

QRectF toQt(const Rect& r) {
    return QRectF(r.x, r.y, r.width, r.height);
}

} // namespace

double FourWeeksView::gridHeight() const {
    return std::max(height() - FourWeeksLayout::gridTop, 0.0);
}

Instant FourWeeksView::pageStart() const {
    return startOf(m_target);
}

Instant FourWeeksView::visiblePageStart() const {
    return startOf(static_cast<int>(std::lround(m_position)));
}

std::string FourWeeksView::title() const {
    return FourWeeksPages::title(pageStart(), m_calendar);
}

bool FourWeeksView::isPaging() const {
    return m_swiping || m_animation.state() == QAbstractAnimation::Running;
}

std::optional<Instant> FourWeeksView::dayAt(QPointF p) const {
    if (width() <= 0) {
        return std::nullopt;
    }
    const int page = static_cast<int>(std::floor(m_position + p.x() / width()));
    const double left = (page - m_position) * width();
    const auto cell =
        FourWeeksLayout::cellAt(Point{.x = p.x() - left, .y = p.y()}, width(), height());
    if (!cell) {
        return std::nullopt;
    }
    return FourWeeksPages::weeks(startOf(page), m_calendar)[cell->row][cell->column];
}

QRectF FourWeeksView::cellRect(Instant day) const {
    const auto weeks = FourWeeksPages::weeks(pageStart(), m_calendar);
    const Instant start = m_calendar.startOfDay(day);
    for (int r = 0; r < FourWeeksPages::weeksPerPage; ++r) {
        for (int c = 0; c < 7; ++c) {
            if (weeks[r][c] == start) {
                const QRectF rect = toQt(FourWeeksLayout::cellRect(
                    FourWeeksLayout::Cell{.row = r, .column = c}, width(), height()));
                return rect.translated((m_target - m_position) * width(), 0);
            }
        }
    }
    return QRectF();
}

std::string FourWeeksView::accessibleText(Instant day) const {
    const Instant start = m_calendar.startOfDay(day);
    const auto events = eventsOn(start);
    return FourWeeksCell::accessibilityText(start, start == m_calendar.startOfDay(now()), *events,
                                            m_calendar);
}

DaySource::EventList FourWeeksView::eventsOn(Instant day) const {
    static const DaySource::EventList none = std::make_shared<const std::vector<CalEvent>>();
    DaySource::EventList events = m_source ? m_source->events(day) : nullptr;
    return events ? events : none;
}

void FourWeeksView::forgetPages() {
    m_pages.clear();
}

void FourWeeksView::keepPagesNear(int page) {
    std::erase_if(m_pages, [page](const auto& entry) { return std::abs(entry.first - page) > 1; });
}

const QPixmap& FourWeeksView::pagePixmap(int page, double dpr) const {
    const Instant minute = now();
    if (minute != m_drawnNow) {
        m_pages.clear();
        m_drawnNow = minute;
    }
    const QSize pixels(static_cast<int>(std::ceil(width() * dpr)),
                       static_cast<int>(std::ceil(gridHeight() * dpr)));
    if (const auto it = m_pages.find(page); it != m_pages.end() && it->second.size() == pixels &&
                                            it->second.devicePixelRatio() == dpr) {
        return it->second;
    }
    while (m_pages.size() >= kKeptPages) {
        // Drop the drawn page farthest from the screen.
        auto farthest =
            std::max_element(m_pages.begin(), m_pages.end(), [this](const auto& a, const auto& b) {
                return std::abs(a.first - m_position) < std::abs(b.first - m_position);
            });
        m_pages.erase(farthest);
    }
    QPixmap pixmap(pixels);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(m_palette.background);
    QPainter painter(&pixmap);
    painter.translate(0, -FourWeeksLayout::gridTop);
    paintPage(painter, page);
    painter.end();
    return m_pages.insert_or_assign(page, std::move(pixmap)).first->second;
}

void FourWeeksView::paintPage(QPainter& painter, int page) const {
    const Instant start = startOf(page);
    const Instant today = now();
    const auto weeks = FourWeeksPages::weeks(start, m_calendar);
    const double w = width();
    const double h = height();
    // The hairlines lie on the background, between the cells.
    const QColor separator = m_palette.onBackground(m_palette.separator);
    for (int r = 0; r < FourWeeksPages::weeksPerPage; ++r) {
        for (int c = 0; c < 7; ++c) {
            const Instant day = weeks[r][c];
            const QRectF cell =
                toQt(FourWeeksLayout::cellRect(FourWeeksLayout::Cell{.row = r, .column = c}, w, h));
            m_cell.paint(
                painter, cell,
                MonthDayContent{.day = day,
                                .date = FourWeeksCell::dateRow(day, start, today, m_calendar),
                                .events = eventsOn(day)},
                m_palette, today);
            if (c < 6) {
                painter.fillRect(
                    QRectF(cell.right(), cell.top(), FourWeeksLayout::hairline, cell.height()),
                    separator);
            }
        }
        const QRectF first =
            toQt(FourWeeksLayout::cellRect(FourWeeksLayout::Cell{.row = r, .column = 0}, w, h));
        painter.fillRect(QRectF(0, first.bottom(), w, FourWeeksLayout::hairline), separator);
    }
}

void FourWeeksView::paintHeader(QPainter& painter) const {
    painter.setFont(m_weekdayFont);
    for (int i = 0; i < 7; ++i) {
        const auto& label = m_weekdays[static_cast<std::size_t>(i)];
        painter.setPen(label.dimmed ? m_palette.tertiaryLabel : m_palette.secondaryLabel);
        painter.drawText(toQt(FourWeeksLayout::headerRect(i, width())),
                         Qt::AlignCenter | Qt::TextSingleLine, QString::fromStdString(label.text));
    }
    painter.fillRect(QRectF(0, FourWeeksLayout::headerHeight, width(), FourWeeksLayout::hairline),
                     m_palette.separator);
}

void FourWeeksView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_palette.background);
    paintHeader(painter);
    if (width() <= 0 || gridHeight() <= 0) {
        return;
    }
    const double dpr = painter.device()->devicePixelRatioF();
    painter.setClipRect(QRectF(0, FourWeeksLayout::gridTop, width(), gridHeight()));
    const int first = static_cast<int>(std::floor(m_position));
    for (const int page : {first, first + 1}) {
        const double left = (page - m_position) * width();
        if (left >= width() || left + width() <= 0) {
            continue;
        }
        painter.drawPixmap(QPointF(left, FourWeeksLayout::gridTop), pagePixmap(page, dpr));
    }
    if (!isPaging() && (!m_pages.contains(m_target - 1) || !m_pages.contains(m_target + 1))) {
        m_prepare.start();
    }
}

void FourWeeksView::prepareNeighbours() {
    if (!isVisible() || isPaging() || width() <= 0 || gridHeight() <= 0) {
        return;
    }
    // One page per idle moment, so that input waits for at most one page's drawing.
    for (const int page : {m_target + 1, m_target - 1}) {
        if (!m_pages.contains(page)) {
            request(page, page);
            pagePixmap(page, devicePixelRatioF());
            if (!m_pages.contains(m_target + 1) || !m_pages.contains(m_target - 1)) {
                m_prepare.start();
            }
            return;
        }
    }
}

} // namespace plannery
