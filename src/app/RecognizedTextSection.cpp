#include "app/RecognizedTextSection.h"

#include "views/SettingsSection.h"

#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace plannery {

RecognizedTextSection::RecognizedTextSection(const QString& text, bool fromImage, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("recognizedTextSection"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_heading = new QToolButton(this);
    m_heading->setObjectName(QStringLiteral("recognizedTextHeading"));
    m_heading->setText(fromImage ? tr("Text in the Image") : tr("Pasted Text"));
    m_heading->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_heading->setAutoRaise(true);
    m_heading->setCheckable(true);
    layout->addWidget(m_heading);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("recognizedText"));
    m_text->setAccessibleName(m_heading->text());
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setPlainText(text);
    m_text->setMinimumHeight(160);
    SettingsSection::makeSecondary(*m_text);
    layout->addWidget(m_text);
    connect(m_heading, &QToolButton::toggled, this, &RecognizedTextSection::setOpen);
    setOpen(false);
}

bool RecognizedTextSection::isOpen() const {
    return m_heading->isChecked();
}

void RecognizedTextSection::setOpen(bool open) {
    m_heading->setChecked(open);
    m_heading->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
    m_text->setVisible(open);
}

} // namespace plannery
