#include "app/SuggestionRow.h"

#include "detail/DetailFormat.h"
#include "views/SettingsSection.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace plannery {

namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

// A line of the row's text; clicks go through to the button it sits on.
QLabel* line(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

SuggestionRow::SuggestionRow(const EventSuggestion& suggestion, const Calendar& calendar,
                             QWidget* parent)
    : QWidget(parent), m_id(suggestion.id) {
    setObjectName(QStringLiteral("suggestionRow"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(12);

    const QString title = qt(suggestion.title);
    const DetailFormat::WhenLines when = DetailFormat::when(
        suggestion.start, suggestion.end, suggestion.isAllDay, calendar, calendar.localeId());
    m_edit = new QPushButton(this);
    m_edit->setObjectName(QStringLiteral("editSuggestion"));
    m_edit->setFlat(true);
    m_edit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_edit->setAccessibleName(title + QStringLiteral(", ") + qt(when.date) + QStringLiteral(" ") +
                              qt(when.time));
    m_edit->setAccessibleDescription(tr("Opens the event editor"));
    m_edit->setToolTip(tr("Opens the event editor"));
    auto* text = new QVBoxLayout(m_edit);
    text->setContentsMargins(6, 4, 6, 4);
    text->setSpacing(3);
    QLabel* heading = line(title, QStringLiteral("suggestionTitle"), m_edit);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    text->addWidget(heading);
    QLabel* day = line(qt(when.date) + (when.time.empty() ? QString() : "\n" + qt(when.time)),
                       QStringLiteral("suggestionWhen"), m_edit);
    SettingsSection::makeSecondary(*day);
    text->addWidget(day);
    if (const auto note = DetailFormat::timeZoneNote(
            suggestion.start, suggestion.end, suggestion.timeZone, calendar, calendar.localeId())) {
        QLabel* zone = line(qt(*note), QStringLiteral("suggestionZone"), m_edit);
        SettingsSection::makeSecondary(*zone);
        text->addWidget(zone);
    }
    if (suggestion.location) {
        QLabel* place =
            line(qt(*suggestion.location), QStringLiteral("suggestionLocation"), m_edit);
        SettingsSection::makeSecondary(*place);
        place->setMaximumHeight(place->fontMetrics().lineSpacing() * 2 + 2);
        text->addWidget(place);
    }
    if (suggestion.notes) {
        QLabel* notes = line(qt(*suggestion.notes), QStringLiteral("suggestionNotes"), m_edit);
        SettingsSection::makeSecondary(*notes);
        notes->setMaximumHeight(notes->fontMetrics().lineSpacing() * 3 + 2);
        text->addWidget(notes);
    }
    m_edit->setMinimumHeight(text->sizeHint().height());
    connect(m_edit, &QPushButton::clicked, this, &SuggestionRow::editClicked);
    layout->addWidget(m_edit, 1);

    m_add = new QPushButton(tr("Add"), this);
    m_add->setObjectName(QStringLiteral("add"));
    m_add->setAccessibleName(tr("Add %1").arg(title));
    connect(m_add, &QPushButton::clicked, this, &SuggestionRow::addClicked);
    layout->addWidget(m_add);

    m_check = new QLabel(this);
    m_check->setObjectName(QStringLiteral("added"));
    m_check->setAccessibleName(tr("Added"));
    const QIcon checked = QIcon::fromTheme(QStringLiteral("emblem-ok-symbolic"),
                                           QIcon::fromTheme(QStringLiteral("emblem-default")));
    if (checked.isNull()) {
        m_check->setText(QStringLiteral("\u2714"));
        QPalette palette = m_check->palette();
        palette.setColor(QPalette::WindowText, QColor(0x2E, 0xA0, 0x43));
        m_check->setPalette(palette);
    } else {
        m_check->setPixmap(checked.pixmap(24, 24));
    }
    layout->addWidget(m_check);
    m_remove = new QToolButton(this);
    m_remove->setObjectName(QStringLiteral("remove"));
    m_remove->setText(tr("Remove"));
    m_remove->setAccessibleName(tr("Remove %1").arg(title));
    connect(m_remove, &QToolButton::clicked, this, &SuggestionRow::removeClicked);
    layout->addWidget(m_remove);
    setAdded(false);
}

void SuggestionRow::setAdded(bool added) {
    m_added = added;
    m_add->setVisible(!added);
    m_check->setVisible(added);
    m_remove->setVisible(added);
}

void SuggestionRow::contextMenuEvent(QContextMenuEvent* event) {
    // Only an added event can be taken out again.
    if (!m_added) {
        return;
    }
    QMenu menu(this);
    connect(menu.addAction(tr("Remove")), &QAction::triggered, this, &SuggestionRow::removeClicked);
    menu.exec(event->globalPos());
}

} // namespace plannery
