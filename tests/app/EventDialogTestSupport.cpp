#include "EventDialogTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace plannery::test {

namespace fs = std::filesystem;

DialogVdir::DialogVdir() : m_calendar(berlin()) {
    m_dir.write("root/acct/account.ini", "type = local\ntitle = Me\nemails = me@example.com\n");
    m_dir.write("root/acct/home/displayname", "Home");
    m_dir.write("root/acct/work/displayname", "Work");
    m_dir.write("root/acct/work/calendar.ini", "type = caldav\n");
    m_dir.write("root/acct/holidays/displayname", "Holidays");
    m_dir.write("root/acct/holidays/calendar.ini", "read-only = true\n");
}

DialogVdir::~DialogVdir() = default;

fs::path DialogVdir::folder(const std::string& calendar) const {
    return m_dir.path() / "root" / "acct" / calendar;
}

fs::path DialogVdir::write(const std::string& calendar, const std::string& name,
                           const std::string& text) const {
    return m_dir.write(fs::path("root") / "acct" / calendar / name, text);
}

void DialogVdir::sync(const std::string& calendar, const std::string& name,
                      const std::string& text) const {
    const fs::path incoming = write(calendar, "." + name + ".sync", text);
    fs::rename(incoming, folder(calendar) / name);
}

std::string DialogVdir::read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

VdirOptions DialogVdir::options() const {
    return VdirOptions{.roots = {m_dir.path() / "root"}, .cacheFile = {}, .calendar = m_calendar};
}

std::unique_ptr<VdirEventStore> DialogVdir::openStore() const {
    return std::make_unique<VdirEventStore>(options());
}

CalendarStore& DialogVdir::store() {
    if (!m_store) {
        auto events = openStore();
        m_events = events.get();
        m_store = std::make_unique<CalendarStore>(
            CalendarStore::Services{.eventStore = std::move(events),
                                    .scanHandle = [this] { return m_events->snapshot(); },
                                    .calendar = [this] { return m_calendar; },
                                    .now = [this] { return at(m_calendar, 2026, 3, 1); }});
    }
    return *m_store;
}

VdirEventStore& DialogVdir::events() {
    store();
    return *m_events;
}

std::vector<StoreEvent> DialogVdir::marchEventsOnDisk() const {
    const VdirEventStore fresh(options());
    return fresh.events(at(m_calendar, 2026, 3, 1), at(m_calendar, 2026, 4, 1));
}

std::vector<std::string> DialogVdir::marchOnDisk() const {
    std::vector<std::string> result;
    for (const auto& event : marchEventsOnDisk()) {
        const auto parts = m_calendar.components(event.startDate);
        char when[32];
        std::snprintf(when, sizeof when, "@%02d.%02d %02d:%02d", parts.day, parts.month, parts.hour,
                      parts.minute);
        result.push_back(event.title().value_or("") + when);
    }
    return result;
}

std::string DialogVdir::id(const std::string& below) const {
    return (m_dir.path() / "root" / below).string();
}

StoreEvent DialogVdir::occurrence(const std::string& below, Instant start) {
    for (const auto& event : events().events(start.plus(-1), start.plus(1))) {
        if (event.eventIdentifier() == id(below) && event.startDate == start) {
            return event;
        }
    }
    throw std::runtime_error("no such occurrence in the test calendars: " + below);
}

QPushButton* shownButton(const QWidget* dialog, const QString& text) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == text && button->isVisible()) {
            return button;
        }
    }
    return nullptr;
}

bool click(const QWidget* dialog, const QString& text) {
    QPushButton* button = shownButton(dialog, text);
    if (button == nullptr) {
        return false;
    }
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

void retype(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
}

void collectClosedDialogs() {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void deleteDialogs() {
    collectClosedDialogs();
    QList<QPointer<QDialog>> open;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(window)) {
            open << dialog;
        }
    }
    // A dialog deleted with its parent is already gone when its turn comes.
    for (const QPointer<QDialog>& dialog : open) {
        delete dialog.data();
    }
}

} // namespace plannery::test
