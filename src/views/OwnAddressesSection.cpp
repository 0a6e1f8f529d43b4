#include "views/OwnAddressesSection.h"

#include "model/MailAddress.h"
#include "store/CalendarStore.h"

#include <QLabel>
#include <QLineEdit>
#include <QStringList>

namespace plannery {

namespace {

QString joined(const std::vector<std::string>& addresses) {
    QStringList list;
    for (const auto& address : addresses) {
        list.append(QString::fromStdString(address));
    }
    return list.join(QStringLiteral(", "));
}

} // namespace

OwnAddressesSection::OwnAddressesSection(CalendarStore& store, QWidget* parent)
    : SettingsSection(tr("Your E-mail Addresses"), parent), m_store(store) {
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("ownAddresses"));
    m_field->setAccessibleName(tr("Your e-mail addresses"));
    m_field->setPlaceholderText(tr("you@example.com, you@work.example"));
    m_field->setClearButtonEnabled(true);
    addRow(m_field);
    m_footer = setFooterText({});
    m_footer->setObjectName(QStringLiteral("ownAddressesNote"));

    connect(m_field, &QLineEdit::editingFinished, this, &OwnAddressesSection::take);
    connect(m_field, &QLineEdit::textEdited, this, [this] {
        if (!m_problem.isEmpty()) {
            m_problem.clear();
            showFooter();
        }
    });
    connect(&m_store, &CalendarStore::ownAddressesChanged, this, &OwnAddressesSection::showStored);
    // What is found changes with the calendars.
    connect(&m_store, &CalendarStore::revisionChanged, this, &OwnAddressesSection::showFooter);
    showStored();
}

void OwnAddressesSection::take() {
    const AddressList typed = addressList(m_field->text().toStdString());
    if (!typed.rejected.empty()) {
        m_problem = tr("\u201C%1\u201D is not an e-mail address. Write addresses such as "
                       "ann@example.com, separated by commas.")
                        .arg(QString::fromStdString(typed.rejected.front()));
        showFooter();
        return;
    }
    m_problem.clear();
    m_store.setOwnAddresses(typed.addresses);
    showStored();
}

void OwnAddressesSection::showStored() {
    m_field->setText(joined(m_store.ownAddresses()));
    showFooter();
}

void OwnAddressesSection::showFooter() {
    if (!m_problem.isEmpty()) {
        m_footer->setText(m_problem);
        return;
    }
    const auto found = m_store.foundAddresses();
    QStringList named;
    const std::string source = "source:";
    for (const AccountGroup& group : m_store.accounts().groups()) {
        const auto address =
            group.id.starts_with(source) ? found.find(group.id.substr(source.size())) : found.end();
        if (address != found.end()) {
            named.append(tr("%1 (%2)").arg(QString::fromStdString(address->second),
                                           QString::fromStdString(group.name)));
        }
    }
    m_footer->setText(
        named.isEmpty()
            ? tr("Invitations to these addresses are yours: events you declined can be hidden, "
                 "and ones you have not answered show as such.")
            : tr("Found in your invitations: %1. If that is not you, type your own addresses "
                 "here.")
                  .arg(named.join(QStringLiteral(", "))));
}

} // namespace plannery
