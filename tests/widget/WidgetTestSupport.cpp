#include "WidgetTestSupport.h"

#include "platform/VdirEventStore.h"
#include "store/SharedKeychain.h"
#include "store/WidgetCenter.h"

#include <stdexcept>

namespace plannery::test {

WidgetFixture::WidgetFixture() {
    for (const char* name : {"home", "work"}) {
        dir.write(std::filesystem::path("calendars") / "me" / name / "displayname", name);
    }
}

void WidgetFixture::addEvent(const std::string& calendar, const std::string& uid,
                             const std::string& start, const std::string& end,
                             const std::string& title, const std::string& extra) const {
    dir.write(std::filesystem::path("calendars") / "me" / calendar / (uid + ".ics"),
              calendarText(vevent(uid, "DTSTART:" + start, "DTEND:" + end, title, extra)));
}

std::string WidgetFixture::calendarID(const std::string& folder) const {
    VdirEventStore store(VdirOptions{.roots = {root}, .cacheFile = {}, .calendar = cal});
    for (const CalendarHandle& calendar : store.calendars()) {
        if (calendar->title == folder) {
            return calendar->calendarIdentifier;
        }
    }
    throw std::runtime_error("no calendar " + folder);
}

SharedStore& WidgetFixture::app() {
    if (!m_app) {
        m_app = SharedStore::open(shared);
    }
    return *m_app;
}

void WidgetFixture::shareSettings(const std::string& json) {
    app().set(json, SharedKeychain::settingsService(), "shared");
}

void WidgetFixture::bumpReload() {
    app().increment(SharedKeychain::widgetsService(), WidgetCenter::reloadAccount);
}

std::map<std::string, std::string> WidgetFixture::rootState() const {
    std::map<std::string, std::string> state;
    std::error_code error;
    if (!std::filesystem::exists(root, error)) {
        return state;
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
        if (entry.is_regular_file(error)) {
            state[entry.path().string()] =
                std::to_string(entry.file_size(error)) + "@" +
                std::to_string(entry.last_write_time(error).time_since_epoch().count());
        }
    }
    return state;
}

} // namespace plannery::test
