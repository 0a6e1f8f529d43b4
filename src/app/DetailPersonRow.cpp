#include "app/DetailPersonRow.h"

#include "app/DetailStyle.h"
#include "app/DetailSymbol.h"
#include "detail/DetailFormat.h"
#include "detail/EventDetailText.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>

namespace plannery {

namespace {

// The circle with initials or a building, and the reply badge at its bottom-trailing corner.
class Avatar final : public QWidget {
  public:
    Avatar(const EventDetailInfo::Person& person, PersonRow::Badge badge, QWidget* parent)
        : QWidget(parent), m_isRoom(person.isRoom),
          m_initials(QString::fromStdString(DetailFormat::initials(
              person.name.empty() ? person.email.value_or("") : person.name))),
          m_badge(badge == PersonRow::Badge::reply ? std::optional(replyLook(person.reply))
                                                   : std::nullopt) {
        const int side = static_cast<int>(DetailStyle::scaled(this, 32));
        setFixedSize(side, side);
        setObjectName(QStringLiteral("detailAvatar"));
        setAccessibleName(m_initials);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF circle(rect());
        QColor fill = DetailStyle::secondary(this);
        fill.setAlphaF(0.16f);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawEllipse(circle);
        const QColor ink = DetailStyle::secondary(this);
        if (m_isRoom) {
            const double side = circle.width() * 0.4;
            paintSymbol(
                painter,
                QRectF(circle.center().x() - side / 2, circle.center().y() - side / 2, side, side),
                SheetSymbol::building, ink);
        } else {
            QFont font = DetailStyle::font(this, DetailStyle::TextStyle::caption2,
                                           DetailStyle::Weight::semibold);
            const QRectF inner = circle.adjusted(3, 3, -3, -3);
            // Shrinks to half its size at most to fit the circle.
            const double wide = QFontMetricsF(font).horizontalAdvance(m_initials);
            if (wide > inner.width()) {
                font.setPointSizeF(font.pointSizeF() * std::max(0.5, inner.width() / wide));
            }
            painter.setFont(font);
            painter.setPen(ink);
            painter.drawText(inner, Qt::AlignCenter, m_initials);
        }
        if (m_badge) {
            const double side = DetailStyle::scaled(this, 12);
            const QRectF badge(circle.right() - side, circle.bottom() - side, side, side);
            painter.setPen(Qt::NoPen);
            painter.setBrush(palette().color(QPalette::Base));
            painter.drawEllipse(badge.adjusted(-1, -1, 1, 1));
            paintSymbol(painter, badge, m_badge->symbol, DetailStyle::tint(this, m_badge->tint),
                        true);
        }
    }

  private:
    bool m_isRoom;
    QString m_initials;
    std::optional<ReplyLook> m_badge;
};

} // namespace

PersonRow::PersonRow(const EventDetailInfo::Person& person, std::optional<std::string> caption,
                     Badge badge, OpenURL openURL, QWidget* parent)
    : QWidget(parent), m_email(person.email), m_openURL(std::move(openURL)) {
    setObjectName(QStringLiteral("detailPerson"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    row->addWidget(new Avatar(person, badge, this));

    auto* column = new QVBoxLayout;
    column->setSpacing(1);
    const std::string shownName =
        person.name.empty() ? person.email.value_or(person.id) : person.name;
    EventDetailInfo::Person named = person;
    named.name = shownName;
    auto* name = new QLabel(QString::fromStdString(EventDetailText::personName(named)), this);
    name->setObjectName(QStringLiteral("detailPersonName"));
    name->setTextFormat(Qt::PlainText);
    column->addWidget(name);
    auto* detail =
        new QLabel(QString::fromStdString(EventDetailText::personDetail(person, caption)), this);
    detail->setObjectName(QStringLiteral("detailPersonDetail"));
    detail->setTextFormat(Qt::PlainText);
    detail->setFont(DetailStyle::font(this, DetailStyle::TextStyle::footnote));
    QPalette faint = detail->palette();
    faint.setColor(QPalette::WindowText, DetailStyle::secondary(this));
    detail->setPalette(faint);
    column->addWidget(detail);
    row->addLayout(column, 1);
    setAccessibleName(name->text() + QStringLiteral(", ") + detail->text());
}

void PersonRow::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_email) {
        QWidget::contextMenuEvent(event);
        return;
    }
    const QString address = QString::fromStdString(*m_email);
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("detailPersonMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(tr("Copy Email"), this,
                    [address] { QApplication::clipboard()->setText(address); });
    menu->addAction(tr("Send Email"), this, [this] {
        if (m_openURL) {
            m_openURL("mailto:" + *m_email);
        }
    });
    menu->popup(event->globalPos());
}

} // namespace plannery
