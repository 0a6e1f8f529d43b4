#include "app/EventEditorDialog.h"

#include "app/EventConfirmationBar.h"
#include "store/CalendarStore.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QTimeZone>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <vector>

namespace plannery {

namespace {

// The zones both Qt and the calendar code know, read once.
const QStringList& knownZones() {
    static const QStringList zones = [] {
        QStringList list;
        for (const QByteArray& id : QTimeZone::availableTimeZoneIds()) {
            if (Calendar::isKnownZone(id.toStdString())) {
                list << QString::fromUtf8(id);
            }
        }
        return list;
    }();
    return zones;
}

QDate dateOf(const WallClock& wall) {
    return QDate(wall.year, wall.month, wall.day);
}

QTime timeOf(const WallClock& wall) {
    return QTime(wall.hour, wall.minute);
}

WallClock wallOf(const QDate& date, const QTime& time) {
    return WallClock{.year = date.year(),
                     .month = date.month(),
                     .day = date.day(),
                     .hour = time.hour(),
                     .minute = time.minute()};
}

QIcon calendarDot(const StoreCalendar& calendar) {
    const RGB rgb = RGB::from(calendar.color);
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgbF(float(rgb.r), float(rgb.g), float(rgb.b)));
    painter.drawEllipse(QRectF(1, 1, 10, 10));
    return QIcon(pixmap);
}

QString calendarName(const StoreCalendar& calendar) {
    QString name = QString::fromStdString(calendar.title);
    if (calendar.source && !calendar.source->title.empty() &&
        calendar.source->title != calendar.title) {
        name += QStringLiteral(" — ") + QString::fromStdString(calendar.source->title);
    }
    return name;
}

} // namespace

EventEditorDialog::EventEditorDialog(StoreEvent event, CalendarStore& store, Calendar calendar,
                                     QWidget* parent)
    : QDialog(parent), m_event(std::move(event)), m_store(store), m_calendar(std::move(calendar)) {
    if (!m_event.content) {
        m_event.content = std::make_shared<EventContent>();
    }
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_event.eventIdentifier().empty() ? tr("New Event") : tr("Edit Event"));
    buildFields();
    buildButtons();
    showForm(EventEdit::formOf(m_event, m_calendar));
    m_opened = currentForm();
    m_shownStart = m_opened.start;

    const EditorButtons buttons = EventEdit::editorButtons(m_event);
    m_save->setVisible(buttons.save);
    m_delete->setVisible(buttons.remove);
    if (const auto note = EventEdit::readOnlyNote(m_event)) {
        m_note->setText(QString::fromStdString(*note));
        m_note->show();
        m_fields->setEnabled(false);
    }
    m_title->setFocus();
}

EventEditorDialog::~EventEditorDialog() = default;

void EventEditorDialog::setOnFinished(Finished handler) {
    m_ending.setHandler(std::move(handler));
}

void EventEditorDialog::buildFields() {
    auto* layout = new QVBoxLayout(this);
    m_fields = new QWidget(this);
    auto* form = new QFormLayout(m_fields);
    form->setContentsMargins(0, 0, 0, 0);

    m_title = new QLineEdit(m_fields);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->setPlaceholderText(tr("Title"));
    form->addRow(tr("Title"), m_title);

    m_location = new QLineEdit(m_fields);
    m_location->setObjectName(QStringLiteral("location"));
    m_location->setPlaceholderText(tr("Location or Video Call"));
    form->addRow(tr("Location"), m_location);

    m_allDay = new QCheckBox(tr("All-day"), m_fields);
    m_allDay->setObjectName(QStringLiteral("allDay"));
    form->addRow(QString(), m_allDay);

    const auto timeRow = [this](QDateEdit*& date, QTimeEdit*& time, const QString& name) {
        auto* row = new QWidget(m_fields);
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        date = new QDateEdit(row);
        date->setObjectName(name + QStringLiteral("Date"));
        date->setCalendarPopup(true);
        time = new QTimeEdit(row);
        time->setObjectName(name + QStringLiteral("Time"));
        line->addWidget(date, 1);
        line->addWidget(time);
        return row;
    };
    form->addRow(tr("Starts"), timeRow(m_startDate, m_startTime, QStringLiteral("start")));
    form->addRow(tr("Ends"), timeRow(m_endDate, m_endTime, QStringLiteral("end")));

    m_timeZone = new QComboBox(m_fields);
    m_timeZone->setObjectName(QStringLiteral("timeZone"));
    m_timeZoneLabel = new QLabel(tr("Time Zone"), m_fields);
    form->addRow(m_timeZoneLabel, m_timeZone);

    m_calendarBox = new QComboBox(m_fields);
    m_calendarBox->setObjectName(QStringLiteral("calendar"));
    form->addRow(tr("Calendar"), m_calendarBox);

    m_alerts = new QListWidget(m_fields);
    m_alerts->setObjectName(QStringLiteral("alerts"));
    m_alerts->setMaximumHeight(m_alerts->fontMetrics().height() * 7);
    form->addRow(tr("Alerts"), m_alerts);

    m_url = new QLineEdit(m_fields);
    m_url->setObjectName(QStringLiteral("url"));
    m_url->setPlaceholderText(tr("URL"));
    form->addRow(tr("URL"), m_url);

    m_notes = new QPlainTextEdit(m_fields);
    m_notes->setObjectName(QStringLiteral("notes"));
    m_notes->setPlaceholderText(tr("Notes"));
    m_notes->setTabChangesFocus(true);
    form->addRow(tr("Notes"), m_notes);

    layout->addWidget(m_fields);

    connect(m_startDate, &QDateEdit::dateChanged, this, [this] { startEdited(); });
    connect(m_startTime, &QTimeEdit::timeChanged, this, [this] { startEdited(); });
    connect(m_allDay, &QCheckBox::toggled, this, [this](bool on) { allDayToggled(on); });
}

void EventEditorDialog::buildButtons() {
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("readOnlyNote"));
    m_note->setWordWrap(true);
    m_note->hide();
    layout->addWidget(m_note);

    m_error = new DialogErrorLine(this);
    layout->addWidget(m_error);

    m_question = new EventConfirmationBar(this);
    layout->addWidget(m_question);

    m_buttons = new QDialogButtonBox(this);
    m_save = m_buttons->addButton(tr("Save"), QDialogButtonBox::AcceptRole);
    m_save->setDefault(true);
    QPushButton* cancel = m_buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    m_delete = m_buttons->addButton(tr("Delete"), QDialogButtonBox::DestructiveRole);
    layout->addWidget(m_buttons);

    connect(m_save, &QPushButton::clicked, this, [this] { request(EditorAction::save); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { request(EditorAction::remove); });
    m_write.setWidgets(m_error, {m_buttons, m_fields});
}

void EventEditorDialog::showForm(const EventEditForm& form) {
    const QSignalBlocker startDate(m_startDate);
    const QSignalBlocker startTime(m_startTime);
    const QSignalBlocker allDay(m_allDay);
    m_title->setText(QString::fromStdString(form.title));
    m_location->setText(QString::fromStdString(form.location));
    m_allDay->setChecked(form.allDay);
    m_startDate->setDate(dateOf(form.start));
    m_endDate->setDate(dateOf(form.end));
    if (form.allDay) {
        // The hours offered should the user make it a timed event.
        m_startTime->setTime(QTime(9, 0));
        m_endTime->setTime(QTime(10, 0));
    } else {
        m_startTime->setTime(timeOf(form.start));
        m_endTime->setTime(timeOf(form.end));
    }
    fillTimeZones(form.timeZone);
    fillCalendars(form.calendarID);
    m_url->setText(QString::fromStdString(form.url));
    m_notes->setPlainText(QString::fromStdString(form.notes));
    fillAlerts(form.allDay, form.alarms);
    setTimesVisible(form.allDay);
}

EventEditForm EventEditorDialog::currentForm() const {
    EventEditForm form{
        .title = m_title->text().toStdString(),
        .location = m_location->text().toStdString(),
        .allDay = m_allDay->isChecked(),
        .start = wallOf(m_startDate->date(), m_startTime->time()),
        .end = wallOf(m_endDate->date(), m_endTime->time()),
        .timeZone = std::nullopt,
        .calendarID = m_calendarBox->currentData().toString().toStdString(),
        .url = m_url->text().toStdString(),
        .notes = m_notes->toPlainText().toStdString(),
        .alarms = {},
    };
    if (form.allDay) {
        form.start.hour = form.start.minute = form.end.hour = form.end.minute = 0;
    }
    const QString zone = m_timeZone->currentData().toString();
    if (!zone.isEmpty()) {
        form.timeZone = zone.toStdString();
    }
    for (int row = 0; row < m_alerts->count(); ++row) {
        if (m_alerts->item(row)->checkState() == Qt::Checked &&
            row < static_cast<int>(m_alertChoices.size())) {
            form.alarms.push_back(m_alertChoices[static_cast<std::size_t>(row)].alarm);
        }
    }
    return form;
}

void EventEditorDialog::fillTimeZones(const std::optional<std::string>& zone) {
    m_timeZone->clear();
    if (!zone) {
        m_timeZone->addItem(tr("Floating"), QString());
    }
    QStringList first{QString::fromStdString(m_calendar.zoneId())};
    if (zone && *zone != m_calendar.zoneId()) {
        first.prepend(QString::fromStdString(*zone));
    }
    for (const QString& id : first) {
        m_timeZone->addItem(id, id);
    }
    for (const QString& id : knownZones()) {
        if (!first.contains(id)) {
            m_timeZone->addItem(id, id);
        }
    }
    m_timeZone->setCurrentIndex(0);
}

void EventEditorDialog::fillCalendars(const std::string& selected) {
    m_calendarBox->clear();
    std::string wanted = selected;
    if (wanted.empty()) {
        if (const CalendarHandle fallback = m_store.eventStore().defaultCalendarForNewEvents()) {
            wanted = fallback->calendarIdentifier;
        }
    }
    for (const CalendarHandle& calendar : m_store.eventStore().calendars()) {
        if (!calendar ||
            (!calendar->allowsContentModifications && calendar->calendarIdentifier != wanted)) {
            continue;
        }
        m_calendarBox->addItem(calendarDot(*calendar), calendarName(*calendar),
                               QString::fromStdString(calendar->calendarIdentifier));
    }
    const int index = m_calendarBox->findData(QString::fromStdString(wanted));
    m_calendarBox->setCurrentIndex(std::max(index, 0));
}

void EventEditorDialog::fillAlerts(bool allDay, const std::vector<Alarm>& checked) {
    std::vector<Alarm> kept = m_event.alarms();
    kept.insert(kept.end(), checked.begin(), checked.end());
    m_alertChoices = EventEdit::alertChoices(allDay, kept, m_event.startDate, m_calendar);
    m_alerts->clear();
    for (const AlertChoice& choice : m_alertChoices) {
        auto* item = new QListWidgetItem(QString::fromStdString(choice.label), m_alerts);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        const bool on = std::find(checked.begin(), checked.end(), choice.alarm) != checked.end();
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
}

void EventEditorDialog::startEdited() {
    EventEditForm form = currentForm();
    const WallClock start = form.start;
    form.start = m_shownStart;
    const EventEditForm moved = EventEdit::withStart(form, start);
    const QSignalBlocker endDate(m_endDate);
    const QSignalBlocker endTime(m_endTime);
    m_endDate->setDate(dateOf(moved.end));
    if (!form.allDay) {
        m_endTime->setTime(timeOf(moved.end));
    }
    m_shownStart = start;
}

void EventEditorDialog::setTimesVisible(bool allDay) {
    m_startTime->setVisible(!allDay);
    m_endTime->setVisible(!allDay);
    if (auto* form = qobject_cast<QFormLayout*>(m_fields->layout())) {
        form->setRowVisible(m_timeZone, !allDay);
    }
}

void EventEditorDialog::allDayToggled(bool allDay) {
    setTimesVisible(allDay);
    // The usual alerts of one kind make no sense for the other; the event's own stay offered.
    std::vector<Alarm> checked;
    for (const Alarm& alarm : currentForm().alarms) {
        const auto& own = m_event.alarms();
        if (std::find(own.begin(), own.end(), alarm) != own.end()) {
            checked.push_back(alarm);
        }
    }
    fillAlerts(allDay, checked);
    m_shownStart = currentForm().start;
}

void EventEditorDialog::request(EditorAction action) {
    m_error->hide();
    if (action == EditorAction::save) {
        if (const auto problem = EventEdit::problem(currentForm(), m_calendar)) {
            m_error->showSentence(*problem);
            return;
        }
    }
    if (const auto confirmation = EventEdit::confirmation(action, m_event)) {
        ask(*confirmation, action);
    } else {
        carryOut(action, Span::thisEvent);
    }
}

void EventEditorDialog::ask(const Confirmation& confirmation, EditorAction action) {
    m_buttons->hide();
    m_fields->setEnabled(false);
    m_question->ask(confirmation, [this, action](std::optional<Span> span) {
        m_buttons->show();
        m_fields->setEnabled(true);
        if (span) {
            carryOut(action, *span);
        }
    });
}

namespace {

// The write itself, on whichever thread the calendar store runs it. The event as the store has
// it now is the base of the write, so that what a sync changed meanwhile is kept.
WrittenEvent write(EventStore& store, EditorAction action, Span span, StoreEvent current,
                   const EventEditForm& opened, const EventEditForm& edited,
                   const Calendar& calendar) {
    if (!current.eventIdentifier().empty()) {
        store.refresh(current);
    }
    if (action == EditorAction::remove) {
        return WrittenEvent{.error = store.remove(current, span).error,
                            .ended = std::move(current)};
    }
    auto applied = EventEdit::apply(opened, edited, current, store.calendars(), calendar);
    if (!applied.event) {
        return WrittenEvent{.error = applied.error.value_or(""), .ended = std::move(current)};
    }
    StoreEvent ended = std::move(*applied.event);
    const WriteResult result = store.save(ended, span);
    if (result.ok() && result.eventIdentifier != ended.eventIdentifier()) {
        // A new event, a series split from this occurrence on, or one moved to another calendar:
        // the store names the event it wrote, whose first occurrence is this one.
        if (auto saved = store.event(result.eventIdentifier)) {
            ended = std::move(*saved);
        }
    }
    return WrittenEvent{.error = result.error, .ended = std::move(ended)};
}

} // namespace

void EventEditorDialog::carryOut(EditorAction action, Span span) {
    m_write.carryOut(
        m_store, this,
        [action, span, current = m_event, opened = m_opened, edited = currentForm(),
         calendar = m_calendar](EventStore& store) {
            return write(store, action, span, current, opened, edited, calendar);
        },
        [this, action](const StoreEvent& ended) { finish(EventEdit::resultOf(action), ended); });
}

void EventEditorDialog::reject() {
    if (m_write.running()) {
        return;
    }
    finish(EditorResult::cancelled, m_event);
}

void EventEditorDialog::finish(EditorResult result, const StoreEvent& event) {
    m_ending.end(*this, result == EditorResult::cancelled ? QDialog::Rejected : QDialog::Accepted,
                 result, event);
}

} // namespace plannery
