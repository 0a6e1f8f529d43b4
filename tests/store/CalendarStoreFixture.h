#pragma once

// The calendar store over a fake event store, with preferences and shared settings in a folder
// of the test's own, as the store's tests share it.

#include "FakeEventStore.h"
#include "TestSupport.h"
#include "store/BackgroundPool.h"
#include "store/CalendarStore.h"
#include "store/SharedKeychain.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QSettings>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace plannery {
namespace {

using namespace std::chrono_literals;
using Groups = std::vector<std::vector<std::string>>;
using Status = AuthorizationStatus;

// The fake store behind a thin layer that counts access requests, can grant them, can hold a
// background scan or load inside its first query until the test lets it go on, and writes down
// where the queries it answered began.
class RecordingStore final : public EventStore {
  public:
    test::FakeEventStore fake;
    int requests = 0;
    std::optional<Status> answer; // what the status becomes when access is asked for
    QSemaphore* entered = nullptr;
    QSemaphore* proceed = nullptr;
    std::vector<Instant>* queried = nullptr;

    Status authorizationStatus() const override { return fake.authorizationStatus(); }
    void requestFullAccessToEvents(std::function<void(bool)> done) override {
        ++requests;
        if (answer) {
            fake.setAuthorizationStatus(*answer);
        }
        fake.requestFullAccessToEvents(std::move(done));
    }
    std::vector<CalendarHandle> calendars() const override { return fake.calendars(); }
    CalendarHandle defaultCalendarForNewEvents() const override {
        return fake.defaultCalendarForNewEvents();
    }
    std::vector<SourceHandle> sources() const override { return fake.sources(); }
    std::vector<StoreEvent> events(Instant start, Instant end,
                                   const std::vector<CalendarHandle>& calendars) const override {
        if (entered != nullptr) {
            entered->release();
        }
        if (proceed != nullptr) {
            proceed->acquire();
        }
        if (queried != nullptr) {
            queried->push_back(start);
        }
        return fake.events(start, end, calendars);
    }
    std::optional<StoreEvent> event(const std::string& id) const override { return fake.event(id); }
    bool refresh(StoreEvent& event) const override { return fake.refresh(event); }
    WriteResult save(const StoreEvent& event, Span span) override { return fake.save(event, span); }
    WriteResult remove(const StoreEvent& event, Span span) override {
        return fake.remove(event, span);
    }
    WriteResult reply(const StoreEvent& event, ParticipantStatus status, Span span) override {
        return fake.reply(event, status, span);
    }
    void setChangeHandler(std::function<void()> handler) override {
        fake.setChangeHandler(std::move(handler));
    }
};

class CalendarStoreTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    std::unique_ptr<QSettings> defaults = settingsAt("prefs.ini");
    SharedKeychain keychain{std::nullopt, dir.path(), *defaults};
    Calendar calendar = test::berlin(); // the system's, as the store is told it
    const Instant now = test::at(calendar, 2026, 6, 15, 11);

    // Builds the same calendars and events into the app's store and into every scan handle.
    std::function<void(test::FakeEventStore&)> populate = [](test::FakeEventStore&) {};
    // Configures each new scan handle (the number of handles made so far is passed).
    std::function<void(RecordingStore&, int)> prepareScan;
    Status status = Status::fullAccess;
    std::chrono::milliseconds changeDelay = 2s;
    int freedMemoryReturns = 0; // how often the store handed freed memory back
    int scans = 0;
    RecordingStore* platform = nullptr; // the store's own, owned by the calendar store
    // What the store tells the event store of the user's addresses, and what it found.
    std::vector<std::vector<std::string>> toldAddresses;
    std::map<std::string, std::string> found;

    void TearDown() override {
        backgroundPool().waitForDone();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<QSettings> settingsAt(const std::string& name) const {
        return std::make_unique<QSettings>(QString::fromStdString((dir.path() / name).string()),
                                           QSettings::IniFormat);
    }

    std::unique_ptr<CalendarStore> makeStore(QSettings* prefs = nullptr) {
        auto own = std::make_unique<RecordingStore>();
        own->fake.setAuthorizationStatus(status);
        populate(own->fake);
        platform = own.get();
        CalendarStore::Services services{.eventStore = std::move(own),
                                         .scanHandle = [this]() -> std::unique_ptr<EventStore> {
                                             auto handle = std::make_unique<RecordingStore>();
                                             handle->fake.setAuthorizationStatus(
                                                 platform->authorizationStatus());
                                             populate(handle->fake);
                                             if (prepareScan) {
                                                 prepareScan(*handle, scans);
                                             }
                                             ++scans;
                                             return handle;
                                         },
                                         .calendar = [this] { return calendar; },
                                         .now = [this] { return now; },
                                         .defaults = prefs != nullptr ? prefs : defaults.get(),
                                         .keychain = &keychain,
                                         .useOwnAddresses =
                                             [this](const std::vector<std::string>& addresses) {
                                                 toldAddresses.push_back(addresses);
                                             },
                                         .foundAddresses = [this] { return found; },
                                         .changeScanDelay = changeDelay,
                                         .freedMemoryDelay = 0ms,
                                         .returnFreedMemory = [this] { ++freedMemoryReturns; }};
        return std::make_unique<CalendarStore>(std::move(services));
    }

    Instant on(int month, int day, int hour = 9) const {
        return test::at(calendar, 2026, month, day, hour);
    }

    static test::FakeEventStore::NewEvent titled(const std::string& id, const CalendarHandle& c) {
        return {.identifier = id, .title = id, .calendar = c};
    }

    // "work" and its read-only copy "feed" with the same meeting on six days around now, which
    // the scan recognises as mirrors.
    void addMirrored(test::FakeEventStore& fake) const {
        const auto work = fake.addCalendar({.id = "work", .title = "Work"});
        const auto feed = fake.addCalendar(
            {.id = "feed", .title = "Feed", .type = CalendarType::subscription, .editable = false});
        for (int day = 10; day < 16; ++day) {
            for (const auto& owner : {work, feed}) {
                fake.addEvent({.identifier = owner->calendarIdentifier + std::to_string(day),
                               .title = "Meeting " + std::to_string(day),
                               .calendar = owner},
                              on(6, day), on(6, day).plus(1800));
            }
        }
    }

    static std::vector<std::string> titles(const CalendarStore::EventList& events) {
        std::vector<std::string> result;
        for (const CalEvent& event : *events) {
            result.push_back(event.title);
        }
        return result;
    }
};

} // namespace
} // namespace plannery
