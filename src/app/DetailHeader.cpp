#include "app/DetailHeader.h"

#include "app/DetailStyle.h"
#include "app/DetailSymbol.h"
#include "detail/DetailSheetSections.h"
#include "grid/TimeGridColors.h"
#include "views/GridPalette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace plannery {

namespace {

// The calendars' colours in diagonal bands, clipped to a capsule, as tall as the column beside.
class Stripe final : public QWidget {
  public:
    Stripe(std::vector<CalendarRef> calendars, int width, QWidget* parent)
        : QWidget(parent), m_calendars(std::move(calendars)) {
        setFixedWidth(width);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath capsule;
        const QRectF bounds(rect());
        capsule.addRoundedRect(bounds, bounds.width() / 2, bounds.width() / 2);
        painter.setClipPath(capsule);
        painter.setPen(Qt::NoPen);
        const Rect area{.x = 0, .y = 0, .width = bounds.width(), .height = bounds.height()};
        for (const TimeGridColors::StripeFill& fill : TimeGridColors::stripe(m_calendars, area)) {
            QPainterPath path;
            for (const Polygon& polygon : fill.path) {
                QPolygonF points;
                for (const Point& point : polygon) {
                    points << QPointF(point.x, point.y);
                }
                path.addPolygon(points);
                path.closeSubpath();
            }
            painter.setBrush(GridPalette::color(fill.color));
            painter.drawPath(path);
        }
    }

  private:
    std::vector<CalendarRef> m_calendars;
};

QLabel* symbolLabel(SheetSymbol symbol, const std::string& text, const QString& name,
                    QWidget* parent) {
    auto* row = new QWidget(parent);
    row->setObjectName(name);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    const QColor color = DetailStyle::secondary(parent);
    layout->addWidget(
        new SymbolView(symbol, color, static_cast<int>(DetailStyle::scaled(parent, 14)), row), 0,
        Qt::AlignTop);
    auto* label = new QLabel(QString::fromStdString(text), row);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label, 1);
    return label;
}

} // namespace

DetailHeader::DetailHeader(const EventDetailInfo& info, OpenURL openURL, QWidget* parent)
    : QWidget(parent), m_openURL(std::move(openURL)) {
    setObjectName(QStringLiteral("detailHeader"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);

    std::vector<CalendarRef> calendars;
    for (const EventDetailInfo::CalendarItem& item : info.calendars) {
        calendars.push_back(CalendarRef{.id = item.id, .title = item.title, .rgb = item.rgb});
    }
    row->addWidget(new Stripe(std::move(calendars),
                              std::max(3, static_cast<int>(DetailStyle::scaled(this, 5))), this));

    auto* column = new QVBoxLayout;
    column->setSpacing(4);
    row->addLayout(column, 1);

    if (info.isCanceled) {
        auto* canceled = new QLabel(tr("Canceled"), this);
        canceled->setObjectName(QStringLiteral("detailCanceled"));
        canceled->setFont(DetailStyle::font(this, DetailStyle::TextStyle::subheadline,
                                            DetailStyle::Weight::semibold));
        QPalette red = canceled->palette();
        red.setColor(QPalette::WindowText, DetailStyle::tint(this, SheetTint::red));
        canceled->setPalette(red);
        column->addWidget(canceled);
    }

    auto* title = new QLabel(QString::fromStdString(info.title), this);
    title->setObjectName(QStringLiteral("detailTitle"));
    title->setWordWrap(true);
    title->setTextFormat(Qt::PlainText);
    title->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont titleFont =
        DetailStyle::font(this, DetailStyle::TextStyle::title2, DetailStyle::Weight::semibold);
    titleFont.setStrikeOut(info.isCanceled);
    title->setFont(titleFont);
    title->setAccessibleName(info.isCanceled ? title->text() + tr(", canceled") : title->text());
    if (info.isCanceled) {
        QPalette faint = title->palette();
        faint.setColor(QPalette::WindowText, DetailStyle::secondary(this));
        title->setPalette(faint);
    }
    column->addWidget(title);

    QString when = QString::fromStdString(info.dateLine);
    if (!info.timeLine.empty()) {
        when += QLatin1Char('\n') + QString::fromStdString(info.timeLine);
    }
    auto* whenLabel = new QLabel(when, this);
    whenLabel->setObjectName(QStringLiteral("detailWhen"));
    whenLabel->setTextFormat(Qt::PlainText);
    whenLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(whenLabel);

    if (info.location) {
        auto* place = new QPushButton(QString::fromStdString(*info.location), this);
        place->setObjectName(QStringLiteral("detailLocation"));
        place->setFlat(true);
        place->setStyleSheet(QStringLiteral("text-align: left; padding: 0;"));
        place->setIcon(symbolIcon(info.locationIsLink ? SheetSymbol::video : SheetSymbol::mapPin,
                                  palette().color(QPalette::Highlight)));
        place->setAccessibleDescription(
            DetailStyle::text(DetailSheet::locationHint(info.locationIsLink)));
        place->setToolTip(place->accessibleDescription());
        place->setCursor(Qt::PointingHandCursor);
        const std::optional<std::string> target = info.locationURL;
        place->setEnabled(target.has_value());
        connect(place, &QPushButton::clicked, this, [this, target] {
            if (target && m_openURL) {
                m_openURL(*target);
            }
        });
        column->addWidget(place);
    }
    if (info.recurrence) {
        column->addWidget(
            symbolLabel(SheetSymbol::repeat, *info.recurrence, QStringLiteral("detailRepeat"), this)
                ->parentWidget());
    }
    if (info.timeZoneNote) {
        column->addWidget(symbolLabel(SheetSymbol::globe, *info.timeZoneNote,
                                      QStringLiteral("detailTimeZone"), this)
                              ->parentWidget());
    }
}

} // namespace plannery
