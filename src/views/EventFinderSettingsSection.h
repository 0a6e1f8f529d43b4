#pragma once

#include "finder/FinderStatus.h"
#include "store/FinderSettings.h"
#include "views/SettingsSection.h"

#include <stop_token>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSettings;

namespace plannery {

class CalendarStore;

// The settings section "Events from Images": which engine finds the events (the Built-in Reader
// or a local model's server), where that server is and whether it may be on another computer,
// and whether the engine can run now. The server is asked in the background each time the
// section is made or its settings change; an older question still asked, or one asked when the
// section goes, is given up.
class EventFinderSettingsSection : public SettingsSection {
    Q_OBJECT

  public:
    EventFinderSettingsSection(CalendarStore& store, QSettings& settings,
                               QWidget* parent = nullptr);
    ~EventFinderSettingsSection() override;

    // The short word for the engine's availability: "Available", "Not on this device", "Turned
    // off", "Getting ready", "Unavailable".
    static QString statusWord(ServerAnswer answer);
    // What the section's footer says happens to the text with these settings.
    static QString footer(EventFinder::Source engine, const LocalModelSettings& settings);

  signals:
    // The status shown changed (the server answered).
    void statusShown();

  private:
    void showEngine();
    void save();
    void checkStatus();

    FinderSettings m_settings;
    QComboBox* m_engine = nullptr;
    QWidget* m_server = nullptr;
    QLineEdit* m_url = nullptr;
    QCheckBox* m_otherHost = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_footer = nullptr;
    quint64 m_question = 0;
    std::stop_source m_asking;
};

} // namespace plannery
