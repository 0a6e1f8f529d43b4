// Opening the detail sheet of a merged event on the 20,000-event demo calendars: a meeting with
// 40 people kept in three calendars (a Google calendar, its subscribed mirror and an Exchange
// calendar), as the sheet loads it, refreshes it after a change, and builds its information; and
// the whole sheet from the click to its first paint.

#include "BenchMain.h"
#include "DemoData.h"
#include "app/EventDetailSheet.h"
#include "detail/EventDetailInfo.h"
#include "model/MirrorDetection.h"
#include "platform/VdirEventStore.h"
#include "store/CalendarStore.h"
#include "store/EventDetailModel.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>

namespace plannery {
namespace {

using bench::at;
using bench::berlin;
using bench::demo;

constexpr int kPeople = 40;
const std::string kTitle = "Quarterly planning";
const std::string kFile = "/quarterly-planning.ics";

// The meeting's calendar file as each of the three calendars holds it.
std::string meeting() {
    std::string people;
    for (int i = 0; i < kPeople - 1; ++i) {
        static constexpr const char* kReplies[] = {"ACCEPTED", "TENTATIVE", "DECLINED",
                                                   "NEEDS-ACTION"};
        people += "ATTENDEE;CN=Person " + std::to_string(i) + ";PARTSTAT=" + kReplies[i % 4] +
                  (i % 7 == 0 ? ";CUTYPE=ROOM" : "") + ":mailto:person" + std::to_string(i) +
                  "@contoso.com\r\n";
    }
    people += "ATTENDEE;CN=Alex Morgan;PARTSTAT=ACCEPTED:mailto:alex.morgan@gmail.com\r\n";
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Plannery bench//EN\r\n"
           "BEGIN:VEVENT\r\nUID:quarterly-planning@google.com\r\nDTSTAMP:20260101T000000Z\r\n"
           "DTSTART;TZID=Europe/Berlin:20260615T100000\r\n"
           "DTEND;TZID=Europe/Berlin:20260615T113000\r\n"
           "SUMMARY:" +
           kTitle +
           "\r\nLOCATION:Room 4\\, Main Street 1\\, Berlin\r\n"
           "DESCRIPTION:<p>Agenda</p><ul><li>Budget</li><li>Hiring</li></ul>\r\n"
           "ORGANIZER;CN=Boss:mailto:boss@contoso.com\r\n" +
           people +
           "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT10M\r\nDESCRIPTION:x\r\nEND:VALARM\r\n"
           "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

// The demo with the meeting added, and a store and the meeting's record as the app has them.
struct Subject {
    VdirEventStore* events = nullptr;
    std::unique_ptr<CalendarStore> store;
    CalEvent record;
    std::filesystem::path temporary = demo().folder / "tmp";

    Subject() {
        for (const char* calendar :
             {"google/alex.morgan@gmail.com", "fastmail/google-calendar", "exchange/calendar"}) {
            std::ofstream(demo().root / (calendar + kFile), std::ios::binary) << meeting();
        }
        auto vdir = std::make_unique<VdirEventStore>(demo().options());
        events = vdir.get();
        store = std::make_unique<CalendarStore>(
            CalendarStore::Services{.eventStore = std::move(vdir),
                                    .scanHandle = {},
                                    .calendar = [] { return berlin(); },
                                    .now = [] { return at(2026, 6, 15, 9); },
                                    .defaults = nullptr,
                                    .keychain = nullptr});
        store->setMirrors(MirrorDetection::scan(*events, at(2026, 6, 15, 9), berlin()));
        for (const CalEvent& event : *store->events(at(2026, 6, 15))) {
            // The demo has meetings of that title too; this one is known by its file.
            if (event.title == kTitle &&
                (event.eventIdentifier.str().ends_with(kFile) ||
                 std::any_of(event.duplicateIDs.begin(), event.duplicateIDs.end(),
                             [](const std::string& id) { return id.ends_with(kFile); }))) {
                record = event;
            }
        }
    }

    // Why the numbers would not mean what they say, if they would not.
    std::optional<std::string> problem(const EventDetailModel& model) const {
        const std::size_t people = model.info() ? model.info()->attendees.size() : 0;
        if (model.copies().size() != 3 || people != static_cast<std::size_t>(kPeople)) {
            return "the meeting loaded with " + std::to_string(model.copies().size()) +
                   " copies and " + std::to_string(people) + " people, not 3 and " +
                   std::to_string(kPeople);
        }
        return std::nullopt;
    }
};

// A new model finds the copies in the store, builds the information and writes the share file.
void BM_OpenDetail(benchmark::State& state) {
    const Subject s;
    for (auto _ : state) {
        EventDetailModel model(s.temporary);
        model.load(*s.store, s.record);
        if (auto problem = s.problem(model)) {
            state.SkipWithError(problem->c_str());
            break;
        }
    }
}
BENCHMARK(BM_OpenDetail)->Unit(benchmark::kMillisecond);

// After a change elsewhere: the copies read again, found unchanged, nothing rewritten.
void BM_RefreshDetail(benchmark::State& state) {
    const Subject s;
    EventDetailModel model(s.temporary);
    model.load(*s.store, s.record);
    if (auto problem = s.problem(model)) {
        state.SkipWithError(problem->c_str());
        return;
    }
    for (auto _ : state) {
        model.refresh();
    }
}
BENCHMARK(BM_RefreshDetail)->Unit(benchmark::kMicrosecond);

// The information alone, from the three copies.
void BM_BuildDetailInfo(benchmark::State& state) {
    const Subject s;
    EventDetailModel model(s.temporary);
    model.load(*s.store, s.record);
    if (auto problem = s.problem(model)) {
        state.SkipWithError(problem->c_str());
        return;
    }
    const Calendar calendar = berlin();
    for (auto _ : state) {
        benchmark::DoNotOptimize(EventDetailInfo::make(
            model.copies(), model.mirrors(), calendar,
            [&s](const Source& source) { return s.store->accounts().looksLikeGoogle(source); }));
    }
}
BENCHMARK(BM_BuildDetailInfo)->Unit(benchmark::kMicrosecond);

// The sheet made, shown (which loads the model) and painted into a picture, as the window
// would paint it after the click.
void BM_OpenDetailSheet(benchmark::State& state) {
    const Subject s;
    QWidget window;
    window.resize(1000, 800);
    window.show();
    for (auto _ : state) {
        auto* sheet = new EventDetailSheet(s.record, *s.store, &window, s.temporary);
        sheet->resize(440, 640);
        sheet->open();
        benchmark::DoNotOptimize(sheet->grab());
        state.PauseTiming();
        if (auto problem = s.problem(sheet->model())) {
            state.SkipWithError(problem->c_str());
            delete sheet;
            break;
        }
        delete sheet;
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenDetailSheet)->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool declared = bench::declare({bench::Application::widgets});

} // namespace
} // namespace plannery
