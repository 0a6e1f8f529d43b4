#include "app/DetailCalendarRow.h"

#include "app/DetailStyle.h"
#include "app/DetailSymbol.h"
#include "detail/EventDetailText.h"
#include "views/GridPalette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace plannery {

namespace {

class Dot final : public QWidget {
  public:
    Dot(QColor color, int diameter, QWidget* parent) : QWidget(parent), m_color(color) {
        setFixedSize(diameter, diameter);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_color);
        painter.drawEllipse(QRectF(rect()));
    }

  private:
    QColor m_color;
};

QLabel* footnote(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFont(DetailStyle::font(parent, DetailStyle::TextStyle::footnote));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, DetailStyle::secondary(parent));
    label->setPalette(palette);
    return label;
}

} // namespace

CalendarRow::CalendarRow(const EventDetailInfo::CalendarItem& item, std::optional<Reply> reply,
                         QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("detailCalendar"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    const int dot = static_cast<int>(DetailStyle::scaled(this, 12));
    row->addWidget(new Dot(GridPalette::color(item.rgb), dot, this), 0, Qt::AlignVCenter);

    auto* column = new QVBoxLayout;
    column->setSpacing(1);
    auto* title = new QLabel(QString::fromStdString(item.title), this);
    title->setObjectName(QStringLiteral("detailCalendarTitle"));
    title->setTextFormat(Qt::PlainText);
    column->addWidget(title);
    if (!item.account.empty()) {
        QLabel* account = footnote(QString::fromStdString(item.account), this);
        account->setObjectName(QStringLiteral("detailCalendarAccount"));
        column->addWidget(account);
    }
    if (!item.alsoVia.empty()) {
        auto* via = new QWidget(this);
        auto* line = new QHBoxLayout(via);
        line->setContentsMargins(0, 0, 0, 0);
        line->setSpacing(2);
        const int side = static_cast<int>(DetailStyle::scaled(this, 11));
        line->addWidget(new SymbolView(SheetSymbol::link, DetailStyle::secondary(this), side, via));
        QLabel* text = footnote(QString::fromStdString(EventDetailText::alsoVia(item)), via);
        text->setObjectName(QStringLiteral("detailAlsoVia"));
        line->addWidget(text, 1);
        column->addWidget(via);
    }
    row->addLayout(column, 1);

    const int symbol = static_cast<int>(DetailStyle::scaled(this, 17));
    if (reply) {
        const ReplyLook look = replyLook(*reply);
        auto* icon = new SymbolView(look.symbol, DetailStyle::tint(this, look.tint), symbol, this);
        icon->setObjectName(QStringLiteral("detailCalendarReply"));
        icon->setAccessibleName(DetailStyle::text(look.text));
        row->addWidget(icon);
    }
    if (!item.allowsEdits) {
        auto* lock = new SymbolView(SheetSymbol::lock, DetailStyle::secondary(this),
                                    static_cast<int>(DetailStyle::scaled(this, 13)), this);
        lock->setObjectName(QStringLiteral("detailReadOnly"));
        lock->setAccessibleName(tr("Read-only"));
        lock->setToolTip(lock->accessibleName());
        row->addWidget(lock);
    }
}

} // namespace plannery
