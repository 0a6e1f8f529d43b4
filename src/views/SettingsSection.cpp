#include "views/SettingsSection.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace plannery {

namespace {

// A footnote's size relative to the body text.
constexpr double kFootnoteScale = 0.85;

} // namespace

SettingsSection::SettingsSection(const QString& header, QWidget* parent) : QWidget(parent) {
    m_outer = new QVBoxLayout(this);
    m_outer->setContentsMargins(0, 0, 0, 0);
    m_outer->setSpacing(4);
    if (!header.isEmpty()) {
        // Shown as written: account names keep their own capitals.
        m_header = new QLabel(header, this);
        QFont font = m_header->font();
        font.setBold(true);
        m_header->setFont(font);
        m_header->setTextFormat(Qt::PlainText);
        m_outer->addWidget(m_header);
    }
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    m_rows = new QVBoxLayout(panel);
    m_outer->addWidget(panel);
}

void SettingsSection::addRow(QWidget* row) {
    m_rows->addWidget(row);
}

QLabel* SettingsSection::setFooterText(const QString& text) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    setFooter(label);
    return label;
}

void SettingsSection::setFooter(QWidget* footer) {
    delete m_footer;
    m_footer = footer;
    makeSecondary(*m_footer);
    m_outer->addWidget(m_footer);
}

void SettingsSection::makeSecondary(QWidget& widget) {
    QFont font = widget.font();
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * kFootnoteScale);
    } else {
        font.setPixelSize(qRound(font.pixelSize() * kFootnoteScale));
    }
    widget.setFont(font);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    widget.setPalette(palette);
}

} // namespace plannery
