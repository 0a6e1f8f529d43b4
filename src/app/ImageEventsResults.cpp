#include "app/ImageEventsResults.h"

#include "app/CalendarDot.h"
#include "app/RecognizedTextSection.h"
#include "app/SuggestionRow.h"
#include "store/CalendarStore.h"
#include "store/ImageEventsModel.h"
#include "views/SettingsSection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>

namespace plannery {

namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

// "No Events Found" with a line under it.
QWidget* emptyState(const QString& title, const QString& description, QWidget* parent) {
    auto* box = new QWidget(parent);
    box->setObjectName(QStringLiteral("emptyState"));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 24, 0, 24);
    auto* heading = new QLabel(title, box);
    heading->setObjectName(QStringLiteral("emptyStateTitle"));
    heading->setAlignment(Qt::AlignCenter);
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    heading->setFont(font);
    layout->addWidget(heading);
    auto* text = new QLabel(description, box);
    text->setObjectName(QStringLiteral("emptyStateText"));
    text->setAlignment(Qt::AlignCenter);
    text->setWordWrap(true);
    SettingsSection::makeSecondary(*text);
    layout->addWidget(text);
    return box;
}

} // namespace

ImageEventsResults::ImageEventsResults(ImageEventsModel& model, CalendarStore& store,
                                       QWidget* parent)
    : QWidget(parent), m_model(model), m_store(store) {
    setObjectName(QStringLiteral("imageEventsResults"));
    m_layout = new QVBoxLayout(this);
    m_layout->setSpacing(14);
    connect(&m_model, &ImageEventsModel::suggestionsChanged, this, &ImageEventsResults::rebuild);
    connect(&m_model, &ImageEventsModel::imageChanged, this, &ImageEventsResults::rebuild);
    connect(&m_model, &ImageEventsModel::sourceChanged, this, &ImageEventsResults::rebuild);
    connect(&m_model, &ImageEventsModel::addedChanged, this, &ImageEventsResults::showAdded);
    connect(&m_model, &ImageEventsModel::calendarIDChanged, this,
            &ImageEventsResults::showCalendar);
    connect(&m_store, &CalendarStore::revisionChanged, this, &ImageEventsResults::showCalendar);
    connect(&m_store, &CalendarStore::hiddenCalendarIDsChanged, this,
            &ImageEventsResults::showCalendar);
    rebuild();
}

QPixmap ImageEventsResults::thumbnail(const QImage& image, int height) {
    if (image.isNull()) {
        return {};
    }
    const QImage scaled =
        image.height() > height ? image.scaledToHeight(height, Qt::SmoothTransformation) : image;
    QPixmap rounded(scaled.size());
    rounded.fill(Qt::transparent);
    QPainter painter(&rounded);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath corners;
    corners.addRoundedRect(QRectF(rounded.rect()), 10, 10);
    painter.setClipPath(corners);
    painter.drawImage(0, 0, scaled);
    return rounded;
}

void ImageEventsResults::rebuild() {
    m_rows.clear();
    m_calendarPicker = nullptr;
    while (QLayoutItem* item = m_layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    if (!m_model.image().isNull()) {
        auto* picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("thumbnail"));
        picture->setAlignment(Qt::AlignCenter);
        picture->setPixmap(thumbnail(m_model.image(), 140));
        m_layout->addWidget(picture);
    }
    const auto& suggestions = m_model.suggestions();
    if (suggestions.empty()) {
        m_layout->addWidget(emptyState(tr("No Events Found"),
                                       tr("There doesn't seem to be a date in this text."), this));
    } else {
        auto* target = new SettingsSection(QString(), this);
        auto* row = new QWidget(target);
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        auto* label = new QLabel(tr("Add To"), row);
        rowLayout->addWidget(label);
        rowLayout->addStretch(1);
        m_calendarPicker = new QToolButton(row);
        m_calendarPicker->setObjectName(QStringLiteral("calendarPicker"));
        m_calendarPicker->setPopupMode(QToolButton::InstantPopup);
        m_calendarPicker->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        auto* menu = new QMenu(m_calendarPicker);
        connect(menu, &QMenu::aboutToShow, this, &ImageEventsResults::fillCalendarMenu);
        m_calendarPicker->setMenu(menu);
        label->setBuddy(m_calendarPicker);
        rowLayout->addWidget(m_calendarPicker);
        target->addRow(row);
        m_layout->addWidget(target);

        const int count = static_cast<int>(suggestions.size());
        auto* list = new SettingsSection(
            count == 1 ? tr("1 Event") : tr("%1 Events").arg(QLocale().toString(count)), this);
        list->header()->setObjectName(QStringLiteral("suggestionCount"));
        for (const EventSuggestion& suggestion : suggestions) {
            auto* suggestionRow = new SuggestionRow(suggestion, m_store.calendar(), list);
            connect(suggestionRow, &SuggestionRow::addClicked, this,
                    [this, suggestion] { m_model.add(suggestion); });
            connect(suggestionRow, &SuggestionRow::editClicked, this,
                    [this, suggestion] { emit editRequested(suggestion); });
            connect(suggestionRow, &SuggestionRow::removeClicked, this,
                    [this, id = suggestion.id] { m_model.remove(id); });
            list->addRow(suggestionRow);
            m_rows.push_back(suggestionRow);
        }
        if (const auto source = m_model.source()) {
            QLabel* footer =
                list->setFooterText(qt(EventFinder::foundBy(*source)) + QLatin1Char(' ') +
                                    tr("Click an event to change it before adding."));
            footer->setObjectName(QStringLiteral("foundBy"));
        }
        m_layout->addWidget(list);
        showCalendar();
        showAdded();
    }
    if (!m_model.text().isEmpty()) {
        m_layout->addWidget(
            new RecognizedTextSection(m_model.text(), !m_model.image().isNull(), this));
    }
    m_layout->addStretch(1);
}

void ImageEventsResults::showAdded() {
    for (SuggestionRow* row : m_rows) {
        row->setAdded(m_model.added().contains(row->suggestionID()));
    }
}

void ImageEventsResults::showCalendar() {
    if (!m_calendarPicker) {
        return;
    }
    const CalendarHandle calendar = m_model.calendar();
    if (!calendar) {
        m_calendarPicker->setText(tr("No Calendar"));
        m_calendarPicker->setIcon({});
        m_calendarPicker->setAccessibleName(tr("Add To: No Calendar"));
        return;
    }
    QString account;
    for (const CalendarChoice& choice : m_model.writableCalendars()) {
        if (choice.calendar->calendarIdentifier == calendar->calendarIdentifier) {
            account = qt(choice.account);
        }
    }
    const QString title = qt(calendar->title);
    m_calendarPicker->setIcon(CalendarDot::icon(calendar->color));
    m_calendarPicker->setText(account.isEmpty() ? title
                                                : title + QStringLiteral(" \u00B7 ") + account);
    m_calendarPicker->setAccessibleName(tr("Add To: %1").arg(title));
}

void ImageEventsResults::fillCalendarMenu() {
    QMenu* menu = m_calendarPicker->menu();
    menu->clear();
    const CalendarHandle chosen = m_model.calendar();
    for (const CalendarChoice& choice : m_model.writableCalendars()) {
        const std::string id = choice.calendar->calendarIdentifier;
        // The account stands right-aligned, where a menu shows shortcuts.
        QAction* item =
            menu->addAction(CalendarDot::icon(choice.calendar->color),
                            qt(choice.calendar->title) + QLatin1Char('\t') + qt(choice.account));
        item->setCheckable(true);
        item->setChecked(chosen && chosen->calendarIdentifier == id);
        item->setIconVisibleInMenu(true);
        connect(item, &QAction::triggered, this, [this, id] { m_model.setCalendarID(id); });
    }
}

} // namespace plannery
