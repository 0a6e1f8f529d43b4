#include "app/EventViewerDialog.h"

#include "app/EventConfirmationBar.h"
#include "app/EventEditorDialog.h"
#include "detail/DetailFormat.h"
#include "detail/EventDetailText.h"
#include "store/CalendarStore.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>
#include <vector>

namespace plannery {

namespace {

// A person as the viewer names them: the name, else the address.
std::string personName(const Participant& person) {
    if (person.name && !person.name->empty()) {
        return *person.name;
    }
    return DetailFormat::email(person.url).value_or(person.url);
}

} // namespace

EventViewerDialog::EventViewerDialog(StoreEvent event, CalendarStore& store, Calendar calendar,
                                     QWidget* parent)
    : QDialog(parent), m_event(std::move(event)), m_store(store), m_calendar(std::move(calendar)) {
    if (!m_event.content) {
        m_event.content = std::make_shared<EventContent>();
    }
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Event Details"));
    auto* layout = new QVBoxLayout(this);

    m_details = new QWidget(this);
    m_lines = new QVBoxLayout(m_details);
    m_lines->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_details);

    m_replies = new QWidget(this);
    auto* replies = new QHBoxLayout(m_replies);
    replies->setContentsMargins(0, 0, 0, 0);
    replies->addWidget(new QLabel(tr("Your response:"), m_replies));
    const auto replyButton = [this, replies](const QString& text, ViewerAction action) {
        auto* button = new QPushButton(text, m_replies);
        button->setCheckable(true);
        connect(button, &QPushButton::clicked, this, [this, action] { request(action); });
        replies->addWidget(button);
        return button;
    };
    m_accept = replyButton(tr("Accept"), ViewerAction::accept);
    m_maybe = replyButton(tr("Maybe"), ViewerAction::maybe);
    m_decline = replyButton(tr("Decline"), ViewerAction::decline);
    replies->addStretch();
    layout->addWidget(m_replies);

    m_error = new DialogErrorLine(this);
    layout->addWidget(m_error);

    m_question = new EventConfirmationBar(this);
    layout->addWidget(m_question);

    m_buttons = new QDialogButtonBox(this);
    QPushButton* done = m_buttons->addButton(tr("Done"), QDialogButtonBox::AcceptRole);
    done->setDefault(true);
    m_edit = m_buttons->addButton(tr("Edit"), QDialogButtonBox::ActionRole);
    m_delete = m_buttons->addButton(tr("Delete"), QDialogButtonBox::DestructiveRole);
    layout->addWidget(m_buttons);
    connect(done, &QPushButton::clicked, this, [this] { reject(); });
    connect(m_edit, &QPushButton::clicked, this, [this] { edit(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { request(ViewerAction::remove); });
    m_write.setWidgets(m_error, {m_buttons, m_replies});

    fill();
}

EventViewerDialog::~EventViewerDialog() = default;

void EventViewerDialog::setOnFinished(Finished handler) {
    m_ending.setHandler(std::move(handler));
}

QLabel* EventViewerDialog::addLine(const QString& objectName, const std::string& text) {
    auto* label = new QLabel(QString::fromStdString(text), m_details);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lines->addWidget(label);
    return label;
}

void EventViewerDialog::fill() {
    while (QLayoutItem* item = m_lines->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const StoreEvent& event = m_event;
    const std::string& locale = m_calendar.localeId();
    const Instant end = event.endDate.value_or(event.startDate);

    if (event.status() == EventStatus::canceled) {
        addLine(QStringLiteral("canceled"), "Canceled");
    }
    QLabel* title = addLine(QStringLiteral("title"), event.title().value_or(""));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    title->setFont(big);

    const auto when =
        DetailFormat::when(event.startDate, end, event.isAllDay(), m_calendar, locale);
    addLine(QStringLiteral("when"), when.time.empty() ? when.date : when.date + "\n" + when.time);
    if (!event.isAllDay()) {
        const auto zone = DetailFormat::eventZone({event.timeZone()}, event.startDate, m_calendar);
        if (const auto note =
                DetailFormat::timeZoneNote(event.startDate, end, zone, m_calendar, locale)) {
            addLine(QStringLiteral("timeZone"), *note);
        }
    }
    if (event.location() && !event.location()->empty()) {
        addLine(QStringLiteral("location"), *event.location());
    }
    for (const RecurrenceRule& rule : event.recurrenceRules()) {
        addLine(QStringLiteral("repeat"), DetailFormat::recurrence(rule, m_calendar, locale));
    }
    if (event.calendar()) {
        addLine(QStringLiteral("calendar"), "Calendar: " + event.calendar()->title);
    }
    if (event.organizer()) {
        addLine(QStringLiteral("organizer"), "Organizer: " + personName(*event.organizer()));
    }
    for (const Participant& person : event.attendees()) {
        std::string line = personName(person);
        if (person.isCurrentUser) {
            line += " (you)";
        }
        line += " · " + std::string(EventDetailText::reply(replyFrom(person.participantStatus)));
        addLine(QStringLiteral("invitee"), line);
    }
    for (const Alarm& alarm : event.alarms()) {
        addLine(QStringLiteral("alert"),
                "Alert: " + (alarm.absoluteDate
                                 ? DetailFormat::alarm(*alarm.absoluteDate, m_calendar, locale)
                                 : DetailFormat::alarm(alarm.relativeOffset, event.isAllDay(),
                                                       event.startDate, m_calendar, locale)));
    }
    if (event.url() && !event.url()->empty()) {
        addLine(QStringLiteral("url"), *event.url());
    }
    if (event.notes() && !event.notes()->empty()) {
        addLine(QStringLiteral("notes"), DetailFormat::plainNotes(*event.notes()));
    }

    const ViewerButtons buttons = EventEdit::viewerButtons(event);
    m_replies->setVisible(buttons.reply);
    const auto reply = EventEdit::currentReply(event);
    m_accept->setChecked(reply == ParticipantStatus::accepted);
    m_maybe->setChecked(reply == ParticipantStatus::tentative);
    m_decline->setChecked(reply == ParticipantStatus::declined);
    m_edit->setVisible(buttons.edit);
    m_delete->setVisible(buttons.remove);
}

void EventViewerDialog::request(ViewerAction action) {
    m_error->hide();
    // A reply button shows the answer the store has until a new one is written.
    fill();
    if (const auto confirmation = EventEdit::confirmation(action, m_event)) {
        m_buttons->hide();
        m_replies->setEnabled(false);
        m_question->ask(*confirmation, [this, action](std::optional<Span> span) {
            m_buttons->show();
            m_replies->setEnabled(true);
            if (span) {
                carryOut(action, *span);
            }
        });
    } else {
        carryOut(action, Span::thisEvent);
    }
}

namespace {

// The write itself, on whichever thread the calendar store runs it: on the event as the store
// has it now, and read again after an answer.
WrittenEvent write(EventStore& store, ViewerAction action, Span span, StoreEvent current) {
    store.refresh(current);
    const auto status = EventEdit::replyStatus(action);
    const WriteResult result =
        status ? store.reply(current, *status, span) : store.remove(current, span);
    if (result.ok() && status) {
        store.refresh(current);
    }
    return WrittenEvent{.error = result.error, .ended = std::move(current)};
}

} // namespace

void EventViewerDialog::carryOut(ViewerAction action, Span span) {
    m_write.carryOut(
        m_store, this,
        [action, span, current = m_event](EventStore& store) {
            return write(store, action, span, current);
        },
        [this, action](const StoreEvent& ended) { finish(EventEdit::resultOf(action), ended); });
}

void EventViewerDialog::edit() {
    m_error->hide();
    auto* editor = new EventEditorDialog(m_event, m_store, m_calendar, this);
    editor->setOnFinished([this](EditorResult result, const StoreEvent& event) {
        if (result == EditorResult::deleted) {
            finish(ViewerResult::deleted, event);
        } else if (result == EditorResult::saved) {
            m_event = event;
            fill();
        }
    });
    editor->open();
}

void EventViewerDialog::reject() {
    if (m_write.running()) {
        return;
    }
    finish(ViewerResult::done, m_event);
}

void EventViewerDialog::finish(ViewerResult result, const StoreEvent& event) {
    m_ending.end(*this, result == ViewerResult::done ? QDialog::Rejected : QDialog::Accepted,
                 result, event);
}

} // namespace plannery
