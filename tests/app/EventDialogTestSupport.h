#pragma once

#include "model/Calendar.h"
#include "platform/VdirEventStore.h"
#include "store/CalendarStore.h"

#include "TestSupport.h"

#include <QString>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;
class QWidget;

namespace plannery::test {

// Calendars on disk for the dialogs to write to: one account whose user is me@example.com, with
// a local calendar "Home" (the default for new events), a CalDAV calendar "Work" and a read-only
// "Holidays". Files are written first; the store opens on first use.
class DialogVdir {
  public:
    DialogVdir();
    ~DialogVdir();

    const Calendar& calendar() const { return m_calendar; }
    std::filesystem::path folder(const std::string& calendar) const;
    // Writes a file into a calendar folder and returns its path.
    std::filesystem::path write(const std::string& calendar, const std::string& name,
                                const std::string& text) const;
    // Replaces a file the way a sync does: a new file renamed over the old one.
    void sync(const std::string& calendar, const std::string& name, const std::string& text) const;
    static std::string read(const std::filesystem::path& path);

    // The calendar store the dialogs write through, over a vdir store of its own, and that
    // vdir store; both open on first use.
    CalendarStore& store();
    VdirEventStore& events();
    // Another store over the same calendars, for a CalendarStore to own.
    std::unique_ptr<VdirEventStore> openStore() const;
    // Every occurrence in March 2026 as a fresh start reads the files, and as "Title@DD.MM HH:MM".
    std::vector<StoreEvent> marchEventsOnDisk() const;
    std::vector<std::string> marchOnDisk() const;
    // The identifier of a calendar or event below the root: "acct/home/standup.ics".
    std::string id(const std::string& below) const;
    // The occurrence of the event below the root that starts at `start`.
    StoreEvent occurrence(const std::string& below, Instant start);

  private:
    VdirOptions options() const;

    TempDir m_dir;
    Calendar m_calendar;
    std::unique_ptr<CalendarStore> m_store;
    VdirEventStore* m_events = nullptr; // owned by m_store
};

// The shown button of a dialog with this text; null when there is none.
QPushButton* shownButton(const QWidget* dialog, const QString& text);
// Clicks the shown button with this text; false when there is none.
bool click(const QWidget* dialog, const QString& text);
// Replaces what a line edit holds as a user does: select all, then type.
void retype(QLineEdit* edit, const QString& text);
// Deletes the dialogs that closed themselves.
void collectClosedDialogs();
// Deletes every dialog, closed or still open, so that none outlives the calendars it writes to
// or stays on screen for the next test.
void deleteDialogs();

} // namespace plannery::test
