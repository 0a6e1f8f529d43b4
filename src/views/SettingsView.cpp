#include "views/SettingsView.h"

#include "platform/BuildInfo.h"
#include "store/CalendarStore.h"
#include "store/LinkOpener.h"
#include "views/CalendarToggle.h"
#include "views/EventFinderSettingsSection.h"
#include "views/OwnAddressesSection.h"
#include "views/SettingsSection.h"
#include "views/TimeGridSettingsSection.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace plannery {

namespace {

constexpr int kSectionSpacing = 18;

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A label that opens its link in the browser.
QLabel* linkLabel(const QString& text, std::string_view url, const QString& name, QWidget* parent) {
    auto* label = new QLabel(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(qt(url).toHtmlEscaped(), text.toHtmlEscaped()),
        parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    QObject::connect(label, &QLabel::linkActivated, label,
                     [](const QString& link) { LinkOpener::open(link.toStdString()); });
    return label;
}

// Under a Google account: calendars shared with the user reach this computer only once they are
// ticked on Google's sync page, which the link opens for that account.
QWidget* googleSyncFooter(const std::string& url) {
    auto* footer = new QWidget;
    auto* layout = new QVBoxLayout(footer);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* text = new QLabel(
        SettingsView::tr(
            "Calendars shared with you only appear once they\u2019re ticked on Google\u2019s "
            "sync page."),
        footer);
    text->setWordWrap(true);
    layout->addWidget(text);
    layout->addWidget(linkLabel(SettingsView::tr("Choose which Google calendars appear here ") +
                                    QStringLiteral("\u2197"),
                                url, QStringLiteral("googleSyncLink"), footer));
    return footer;
}

} // namespace

SettingsView::SettingsView(CalendarStore& store, QSettings& settings, QWidget* parent)
    : QWidget(parent), m_store(store) {
    setWindowTitle(tr("Settings"));
    auto* outer = new QVBoxLayout(this);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget(scroll);
    auto* form = new QVBoxLayout(content);
    form->setSpacing(kSectionSpacing);
    form->addWidget(declinedSection());
    form->addWidget(new OwnAddressesSection(store, content));
    m_timeGrid = new TimeGridSettingsSection(settings, store.calendar(), Instant::now(), content);
    form->addWidget(m_timeGrid);
    form->addWidget(new EventFinderSettingsSection(store, settings, content));
    auto* accounts = new QWidget(content);
    m_accounts = new QVBoxLayout(accounts);
    m_accounts->setContentsMargins(0, 0, 0, 0);
    m_accounts->setSpacing(kSectionSpacing);
    form->addWidget(accounts);
    form->addWidget(buildSection());
    form->addStretch(1);
    scroll->setWidget(content);
    outer->addWidget(scroll);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* doneButton = buttons->addButton(tr("Done"), QDialogButtonBox::AcceptRole);
    doneButton->setObjectName(QStringLiteral("done"));
    doneButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsView::done);
    outer->addWidget(buttons);

    connect(m_timeGrid, &TimeGridSettingsSection::preferencesChanged, this,
            &SettingsView::timeGridPreferencesChanged);

    m_accountsTimer.setSingleShot(true);
    m_accountsTimer.setInterval(0);
    connect(&m_accountsTimer, &QTimer::timeout, this, &SettingsView::showAccounts);
    // Calendars come and go with the event store's changes and with access; mirror notes change
    // with the groups.
    const auto accountsChanged = [this] { m_accountsTimer.start(); };
    connect(&m_store, &CalendarStore::revisionChanged, this, accountsChanged);
    connect(&m_store, &CalendarStore::statusChanged, this, accountsChanged);
    connect(&m_store, &CalendarStore::mirrorsChanged, this, accountsChanged);
    connect(&m_store, &CalendarStore::hiddenCalendarIDsChanged, this, &SettingsView::showSwitches);
    connect(&m_store, &CalendarStore::mirrorsChanged, this, &SettingsView::showSwitches);
    connect(&m_store, &CalendarStore::showDeclinedChanged, this,
            [this] { m_showDeclined->setChecked(m_store.showDeclined()); });

    showAccounts();
}

bool SettingsView::visible(const std::string& calendarID) const {
    return m_store.mirrors().isVisible(calendarID, m_store.hiddenCalendarIDs());
}

void SettingsView::setCalendarVisible(const std::string& calendarID, bool visible) {
    m_store.setVisible(calendarID, visible);
    showSwitches();
}

QWidget* SettingsView::declinedSection() {
    auto* section = new SettingsSection;
    m_showDeclined = new QCheckBox(tr("Show Declined Events"), section);
    m_showDeclined->setObjectName(QStringLiteral("showDeclined"));
    m_showDeclined->setChecked(m_store.showDeclined());
    connect(m_showDeclined, &QCheckBox::clicked, this,
            [this](bool show) { m_store.setShowDeclined(show); });
    section->addRow(m_showDeclined);
    return section;
}

QWidget* SettingsView::buildSection() {
    const BuildDescription build = SettingsRows::describeBuild(
        BuildInfo::value("CFBundleShortVersionString").value_or(""),
        BuildInfo::value("CFBundleVersion").value_or(""), BuildInfo::bundleIdentifier(),
        BuildInfo::value("PlanneryCommit").value_or(""));
    auto* section = new SettingsSection;
    auto* values = new QWidget(section);
    auto* form = new QFormLayout(values);
    form->setContentsMargins(0, 0, 0, 0);
    const auto value = [values](const std::string& text, const QString& name) {
        auto* label = new QLabel(QString::fromStdString(text), values);
        label->setObjectName(name);
        label->setTextFormat(Qt::PlainText);
        return label;
    };
    form->addRow(tr("Version"), value(build.version, QStringLiteral("version")));
    form->addRow(tr("Build"), value(build.kind, QStringLiteral("buildKind")));
    QLabel* bundleID = value(build.bundleID, QStringLiteral("bundleID"));
    bundleID->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    form->addRow(tr("Bundle ID"), bundleID);
    form->addRow(linkLabel(tr("Privacy Policy"), AppLinks::privacy,
                           QStringLiteral("privacyPolicyLink"), values));
    form->addRow(
        linkLabel(tr("Support"), AppLinks::support, QStringLiteral("supportLink"), values));
    section->addRow(values);
    return section;
}

void SettingsView::showAccounts() {
    std::vector<AccountSection> sections = SettingsRows::accountSections(
        m_store.accounts().groups(), m_store.mirrors(), m_store.calendar().localeId());
    if (sections != m_sections) {
        m_sections = std::move(sections);
        m_toggles.clear();
        while (QLayoutItem* item = m_accounts->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        for (const AccountSection& account : m_sections) {
            auto* section = new SettingsSection(QString::fromStdString(account.title),
                                                m_accounts->parentWidget());
            if (QLabel* header = section->header()) {
                header->setObjectName(QStringLiteral("accountHeader"));
            }
            for (const CalendarRow& row : account.rows) {
                auto* toggle = new CalendarToggle(row, section);
                connect(toggle, &CalendarToggle::switched, this,
                        [this, id = row.calendarID](bool on) { setCalendarVisible(id, on); });
                section->addRow(toggle);
                m_toggles.push_back(toggle);
            }
            if (account.googleSyncURL) {
                section->setFooter(googleSyncFooter(*account.googleSyncURL));
            }
            m_accounts->addWidget(section);
        }
    }
    showSwitches();
}

void SettingsView::showSwitches() {
    for (CalendarToggle* toggle : m_toggles) {
        toggle->setOn(visible(toggle->calendarID()));
    }
}

void SettingsView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit done();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace plannery
