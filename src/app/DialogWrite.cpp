#include "app/DialogWrite.h"

#include "store/CalendarStore.h"
#include "views/GridPalette.h"

#include <QEvent>
#include <QPalette>
#include <QWidget>

#include <utility>

namespace plannery {

DialogErrorLine::DialogErrorLine(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("error"));
    setWordWrap(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    recolour();
    hide();
}

void DialogErrorLine::showSentence(const std::string& sentence) {
    setText(QString::fromStdString(sentence));
    show();
}

void DialogErrorLine::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        recolour();
    }
}

void DialogErrorLine::recolour() {
    QPalette shades = palette();
    const QColor red = GridPalette::from(shades).red;
    if (shades.color(QPalette::WindowText) != red) {
        shades.setColor(QPalette::WindowText, red);
        setPalette(shades);
    }
}

void DialogWrite::setWidgets(DialogErrorLine* error, std::vector<QWidget*> frozen) {
    m_error = error;
    m_frozen = std::move(frozen);
}

void DialogWrite::carryOut(CalendarStore& store, QObject* dialog, Work work, Ended ended) {
    m_error->hide();
    setRunning(true);
    store.write(dialog, std::move(work), [this, ended = std::move(ended)](WrittenEvent written) {
        setRunning(false);
        if (written.error) {
            m_error->showSentence(*written.error);
            return;
        }
        ended(written.ended);
    });
}

void DialogWrite::setRunning(bool running) {
    m_running = running;
    for (QWidget* widget : m_frozen) {
        widget->setEnabled(!running);
    }
}

} // namespace plannery
