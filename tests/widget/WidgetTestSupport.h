#pragma once

#include "TestSupport.h"

#include "model/Calendar.h"
#include "platform/SharedStore.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace plannery::test {

// A calendar root with two calendars ("home" and "work" in the account "me") and the store the
// app would share with the widget process, in one temporary folder.
struct WidgetFixture {
    TempDir dir;
    Calendar cal = berlin();
    std::filesystem::path root = dir.path() / "calendars";
    std::filesystem::path shared = dir.path() / "group" / "shared.sqlite";

    WidgetFixture();

    // Adds a timed event to a calendar folder ("home" or "work"); times are UTC
    // "YYYYMMDDTHHMMSSZ".
    void addEvent(const std::string& calendar, const std::string& uid, const std::string& start,
                  const std::string& end, const std::string& title,
                  const std::string& extra = "") const;
    // The identifier the event store gives a calendar folder.
    std::string calendarID(const std::string& folder) const;

    // The app's side of the shared store.
    SharedStore& app();
    void shareSettings(const std::string& json);
    void bumpReload();

    // Every file under the root with its size and modification time, to show nothing changed.
    std::map<std::string, std::string> rootState() const;

  private:
    std::unique_ptr<SharedStore> m_app;
};

} // namespace plannery::test
