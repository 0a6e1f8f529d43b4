#include "app/DetailList.h"

#include "app/DetailCalendarRow.h"
#include "app/DetailNotesText.h"
#include "app/DetailPersonRow.h"
#include "app/DetailSection.h"
#include "app/DetailStyle.h"
#include "app/DetailSymbol.h"
#include "detail/DetailSheetSections.h"
#include "detail/EventDetailText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace plannery {

namespace {

QLabel* plainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

// A row of a symbol and a text.
QWidget* symbolRow(SheetSymbol symbol, const QColor& color, QWidget* text, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(
        new SymbolView(symbol, color, static_cast<int>(DetailStyle::scaled(parent, 17)), row));
    text->setParent(row);
    layout->addWidget(text, 1);
    return row;
}

} // namespace

EventDetailList::EventDetailList(Actions actions, std::size_t collapseOver,
                                 std::size_t collapsedCount, QWidget* parent)
    : QScrollArea(parent), m_actions(std::move(actions)), m_collapseOver(collapseOver),
      m_collapsedCount(collapsedCount) {
    setObjectName(QStringLiteral("detailList"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &EventDetailList::scrolled);
}

void EventDetailList::setInfo(const EventDetailInfo& info) {
    if (m_info == info) {
        return;
    }
    m_info = info;
    rebuild();
}

void EventDetailList::scrolled(int offset) {
    const bool hidden = offset > headerScrollLimit;
    if (hidden != m_headerHidden) {
        m_headerHidden = hidden;
        emit headerHiddenChanged(hidden);
    }
}

void EventDetailList::rebuild() {
    const int offset = verticalScrollBar()->value();
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("detailContent"));
    auto* sections = new QVBoxLayout(content);
    sections->setContentsMargins(16, 12, 16, 16);
    sections->setSpacing(14);

    auto* header = new DetailSection(nullptr, content);
    header->addRow(new DetailHeader(*m_info, m_actions.openURL));
    sections->addWidget(header);
    addCalendars(sections, content);
    addResponses(sections, content);
    addPeople(sections, content);
    addLinkAlertsAndNotes(sections, content);
    sections->addStretch(1);

    delete takeWidget();
    setWidget(content);
    verticalScrollBar()->setValue(offset);
}

void EventDetailList::addCalendars(QVBoxLayout* sections, QWidget* content) {
    const EventDetailInfo& info = *m_info;
    auto* section = DetailSection::titled(
        QString::fromStdString(EventDetailText::calendarsHeader(info.calendars.size())), content);
    section->header()->setObjectName(QStringLiteral("detailCalendarsHeader"));
    for (const EventDetailInfo::CalendarItem& item : info.calendars) {
        section->addRow(new CalendarRow(item, EventDetailText::calendarReply(info, item)));
    }
    if (info.onGoogle) {
        auto* google = new QPushButton(
            symbolIcon(SheetSymbol::openOutside, palette().color(QPalette::Highlight)),
            DetailStyle::text(DetailSheet::kOpenInGoogle));
        google->setObjectName(QStringLiteral("detailOpenInGoogle"));
        google->setFlat(true);
        google->setStyleSheet(QStringLiteral("text-align: left; padding: 0;"));
        connect(google, &QPushButton::clicked, this, [this] {
            if (m_actions.onOpenInGoogle) {
                m_actions.onOpenInGoogle();
            }
        });
        section->addRow(google);
    }
    if (info.calendars.size() >= 2) {
        section->setFooter(DetailStyle::text(EventDetailText::kSeveralCalendarsFooter));
    }
    sections->addWidget(section);
}

void EventDetailList::addResponses(QVBoxLayout* sections, QWidget* content) {
    const EventDetailInfo& info = *m_info;
    if (info.invitations.empty()) {
        return;
    }
    auto* section = DetailSection::titled(tr("Your response"), content);
    section->setObjectName(QStringLiteral("detailResponses"));
    for (const EventDetailInfo::Invitation& invitation : info.invitations) {
        const ReplyLook look = replyLook(invitation.reply);
        auto* row = new QWidget;
        row->setObjectName(QStringLiteral("detailResponse"));
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(8);
        layout->addWidget(new SymbolView(look.symbol, DetailStyle::tint(content, look.tint),
                                         static_cast<int>(DetailStyle::scaled(content, 20)), row));
        auto* lines = new QVBoxLayout;
        lines->setSpacing(1);
        QLabel* text = plainLabel(DetailStyle::text(look.text), row);
        text->setObjectName(QStringLiteral("detailResponseText"));
        lines->addWidget(text);
        QString accessible = text->text();
        if (auto calendar = DetailSheet::invitationCalendarLine(info, invitation)) {
            QLabel* on = plainLabel(QString::fromStdString(*calendar), row);
            on->setObjectName(QStringLiteral("detailResponseCalendar"));
            on->setFont(DetailStyle::font(content, DetailStyle::TextStyle::footnote));
            QPalette faint = on->palette();
            faint.setColor(QPalette::WindowText, DetailStyle::secondary(content));
            on->setPalette(faint);
            lines->addWidget(on);
            accessible += QStringLiteral(", ") + on->text();
        }
        layout->addLayout(lines, 1);
        auto* button =
            new QPushButton(DetailStyle::text(DetailSheet::replyButton(invitation.reply)), row);
        button->setObjectName(QStringLiteral("detailReply"));
        const int copy = invitation.copy;
        connect(button, &QPushButton::clicked, this, [this, copy] {
            if (m_actions.onReply) {
                m_actions.onReply(copy);
            }
        });
        layout->addWidget(button);
        row->setAccessibleName(accessible);
        section->addRow(row);
    }
    sections->addWidget(section);
}

void EventDetailList::addPeople(QVBoxLayout* sections, QWidget* content) {
    const EventDetailInfo& info = *m_info;
    if (!info.organizer && info.attendees.empty()) {
        return;
    }
    const EventDetailText::PeopleHeader words = EventDetailText::peopleHeader(info.attendees);
    auto* header = new QWidget;
    header->setObjectName(QStringLiteral("detailPeopleHeader"));
    auto* line = new QHBoxLayout(header);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(0);
    QLabel* invitees = plainLabel(QString::fromStdString(words.invitees), header);
    invitees->setWordWrap(false);
    QPalette secondary = invitees->palette();
    secondary.setColor(QPalette::WindowText, DetailStyle::secondary(content));
    invitees->setPalette(secondary);
    invitees->setObjectName(QStringLiteral("detailInvitees"));
    invitees->setFont(DetailStyle::font(content, DetailStyle::TextStyle::footnote));
    line->addWidget(invitees);
    if (!words.replies.empty()) {
        QLabel* replies = plainLabel(QString::fromStdString(words.replies), header);
        replies->setWordWrap(false);
        replies->setObjectName(QStringLiteral("detailReplyCounts"));
        replies->setFont(invitees->font());
        QPalette faint = replies->palette();
        faint.setColor(QPalette::WindowText, DetailStyle::tertiary(content));
        replies->setPalette(faint);
        line->addWidget(replies);
    }
    line->addStretch(1);
    auto* section = new DetailSection(header, content);
    section->setObjectName(QStringLiteral("detailPeople"));
    if (info.organizer) {
        section->addRow(new PersonRow(*info.organizer, tr("Organizer").toStdString(),
                                      PersonRow::Badge::none, m_actions.openURL));
    }
    const DetailSheet::ShownPeople shown = DetailSheet::shownPeople(
        info.attendees.size(), m_showAllPeople, m_collapseOver, m_collapsedCount);
    for (std::size_t i = 0; i < shown.count; ++i) {
        section->addRow(new PersonRow(info.attendees[i], std::nullopt, PersonRow::Badge::reply,
                                      m_actions.openURL));
    }
    if (shown.toggle) {
        auto* toggle = new QPushButton(QString::fromStdString(*shown.toggle));
        toggle->setObjectName(QStringLiteral("detailShowAllPeople"));
        toggle->setFlat(true);
        toggle->setStyleSheet(QStringLiteral("text-align: left; padding: 0;"));
        connect(toggle, &QPushButton::clicked, this, [this] {
            m_showAllPeople = !m_showAllPeople;
            // Rebuilt after this click has been handled: the button goes with the old list.
            QMetaObject::invokeMethod(this, &EventDetailList::rebuild, Qt::QueuedConnection);
        });
        section->addRow(toggle);
    }
    sections->addWidget(section);
}

void EventDetailList::addLinkAlertsAndNotes(QVBoxLayout* sections, QWidget* content) {
    const EventDetailInfo& info = *m_info;
    const QColor secondary = DetailStyle::secondary(content);
    if (info.url) {
        auto* section = new DetailSection(nullptr, content);
        section->setObjectName(QStringLiteral("detailLink"));
        const QString text = QString::fromStdString(*info.url);
        QWidget* shown = nullptr;
        // A link that is not opened (no URL, or a scheme such as file:) is only text, to read and
        // copy.
        if (const std::optional<std::string> target = DetailSheet::openableURL(*info.url)) {
            auto* link = new QPushButton(text);
            link->setFlat(true);
            link->setStyleSheet(QStringLiteral("text-align: left; padding: 0;"));
            connect(link, &QPushButton::clicked, this, [this, url = *target] {
                if (m_actions.openURL) {
                    m_actions.openURL(url);
                }
            });
            shown = link;
        } else {
            QLabel* label = plainLabel(text, content);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
            shown = label;
        }
        shown->setObjectName(QStringLiteral("detailURL"));
        shown->setAccessibleName(text);
        section->addRow(
            symbolRow(SheetSymbol::link, palette().color(QPalette::Highlight), shown, content));
        sections->addWidget(section);
    }
    if (!info.alerts.empty()) {
        auto* section = DetailSection::titled(
            QString::fromStdString(DetailSheet::alertsHeader(info.alerts.size())), content);
        section->setObjectName(QStringLiteral("detailAlerts"));
        for (const std::string& alert : info.alerts) {
            section->addRow(symbolRow(SheetSymbol::bell, secondary,
                                      plainLabel(QString::fromStdString(alert), content), content));
        }
        sections->addWidget(section);
    }
    if (info.notes) {
        auto* section = DetailSection::titled(tr("Notes"), content);
        section->setObjectName(QStringLiteral("detailNotesSection"));
        section->addRow(new NotesText(*info.notes, m_actions.openURL));
        sections->addWidget(section);
    }
}

} // namespace plannery
