#pragma once

#include "views/SettingsSection.h"

#include <QString>

class QLabel;
class QLineEdit;

namespace plannery {

class CalendarStore;

// The settings section "Your E-mail Addresses": the addresses invitations reach the user at, so
// that events the user declined can hide and unanswered ones show as such. While none are set,
// its footer shows what was found in each account's invitations, for the user to correct.
// Typing is taken when it is finished (Return, or leaving the field); text that is not an
// address gets a sentence and is not stored.
class OwnAddressesSection : public SettingsSection {
    Q_OBJECT

  public:
    // `store` must outlive the section.
    explicit OwnAddressesSection(CalendarStore& store, QWidget* parent = nullptr);

  private:
    void take();
    void showStored();
    void showFooter();

    CalendarStore& m_store;
    QLineEdit* m_field = nullptr;
    QLabel* m_footer = nullptr;
    // Why the typed text was not taken, until it is edited.
    QString m_problem;
};

} // namespace plannery
