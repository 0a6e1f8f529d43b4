#include "app/DetailSection.h"

#include "app/DetailStyle.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace plannery {

namespace {

constexpr int kInset = 16;
constexpr int kRowPadding = 10;

// The card behind the rows: the base colour with rounded corners.
class Card final : public QWidget {
  public:
    explicit Card(QWidget* parent) : QWidget(parent) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Base));
        painter.drawRoundedRect(QRectF(rect()), 10, 10);
    }
};

QLabel* smallLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setFont(DetailStyle::font(parent, DetailStyle::TextStyle::footnote));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, DetailStyle::secondary(parent));
    label->setPalette(palette);
    return label;
}

} // namespace

DetailSection::DetailSection(QWidget* header, QWidget* parent) : QWidget(parent), m_header(header) {
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(4);
    if (m_header != nullptr) {
        m_header->setParent(this);
        m_header->setContentsMargins(kInset, 0, kInset, 0);
        m_layout->addWidget(m_header);
    }
    m_card = new Card(this);
    m_rows = new QVBoxLayout(m_card);
    m_rows->setContentsMargins(kInset, 0, kInset, 0);
    m_rows->setSpacing(0);
    m_layout->addWidget(m_card);
}

DetailSection* DetailSection::titled(const QString& title, QWidget* parent) {
    auto* section = new DetailSection(nullptr, parent);
    auto* header = smallLabel(title, section);
    section->m_header = header;
    header->setContentsMargins(kInset, 0, kInset, 0);
    section->m_layout->insertWidget(0, header);
    return section;
}

void DetailSection::addRow(QWidget* row) {
    if (m_rows->count() > 0) {
        auto* line = new QFrame(m_card);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Plain);
        line->setForegroundRole(QPalette::Mid);
        m_rows->addWidget(line);
    }
    // Padded by a frame of its own, so that rows that manage their own margins (a text view, a
    // button) sit like the others.
    auto* frame = new QWidget(m_card);
    auto* padding = new QVBoxLayout(frame);
    padding->setContentsMargins(0, kRowPadding, 0, kRowPadding);
    row->setParent(frame);
    padding->addWidget(row);
    m_rows->addWidget(frame);
}

void DetailSection::setFooter(const QString& text) {
    QLabel* footer = smallLabel(text, this);
    footer->setObjectName(QStringLiteral("detailFooter"));
    footer->setContentsMargins(kInset, 0, kInset, 0);
    m_layout->addWidget(footer);
}

} // namespace plannery
