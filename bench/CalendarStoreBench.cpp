// The calendar store on the 20,000-event demo calendars: reading days from an empty and a warm
// cache, a change on disk reaching the store's revision, and writing one event.

#include "BenchMain.h"
#include "DemoData.h"
#include "platform/VdirEventStore.h"
#include "store/CalendarStore.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>

namespace plannery {
namespace {

using bench::at;
using bench::berlin;
using bench::demo;

// A store as the app makes it, with its own preferences file; `events` is its event store.
struct StoreUnderTest : bench::DemoStore {
    StoreUnderTest() : DemoStore("bench", at(2026, 6, 15, 12)) {}
};

std::size_t countEvents(const std::vector<std::pair<Instant, CalendarStore::EventList>>& days) {
    std::size_t events = 0;
    for (const auto& [day, list] : days) {
        events += list->size();
    }
    return events;
}

void BM_YearFromEmptyCache(benchmark::State& state) {
    StoreUnderTest subject;
    std::size_t events = 0;
    for (auto _ : state) {
        subject.store->invalidate();
        events = countEvents(subject.store->days(at(2026, 1, 1), at(2027, 1, 1)));
    }
    state.counters["events"] = static_cast<double>(events);
}
BENCHMARK(BM_YearFromEmptyCache)->Unit(benchmark::kMillisecond);

void BM_YearFromWarmCache(benchmark::State& state) {
    StoreUnderTest subject;
    subject.store->days(at(2026, 1, 1), at(2027, 1, 1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(countEvents(subject.store->days(at(2026, 1, 1), at(2027, 1, 1))));
    }
}
BENCHMARK(BM_YearFromWarmCache)->Unit(benchmark::kMicrosecond);

void BM_MonthFromWarmCache(benchmark::State& state) {
    StoreUnderTest subject;
    subject.store->days(at(2026, 6, 1), at(2026, 7, 1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(countEvents(subject.store->days(at(2026, 6, 1), at(2026, 7, 1))));
    }
}
BENCHMARK(BM_MonthFromWarmCache)->Unit(benchmark::kMicrosecond);

// One calendar file rewritten by a sync (beside it, then renamed over it), until the store has
// a new revision: everything after the watcher's collapse delay.
void BM_ChangeOnDiskToRevision(benchmark::State& state) {
    StoreUnderTest subject;
    // An event kept in its own file: its identifier is the file's path under the root.
    const auto events = subject.events->events(at(2026, 6, 1), at(2026, 6, 2));
    const auto event = std::find_if(events.begin(), events.end(), [](const StoreEvent& e) {
        return e.eventIdentifier().find('#') == std::string::npos;
    });
    if (event == events.end()) {
        state.SkipWithError("no event in a file of its own");
        return;
    }
    const std::filesystem::path file = demo().root / event->eventIdentifier();
    std::ifstream in(file, std::ios::binary);
    const std::string original((std::istreambuf_iterator<char>(in)), {});
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string text = original;
        text.insert(text.find("END:VEVENT"), "X-ROUND:" + std::to_string(++round) + "\r\n");
        const auto temporary = file.parent_path() / ".bench.tmp";
        std::ofstream(temporary, std::ios::binary) << text;
        std::filesystem::rename(temporary, file);
        const auto before = subject.store->revision();
        state.ResumeTiming();
        subject.events->reloadIfChanged();
        if (subject.store->revision() != before + 1) {
            state.SkipWithError("the change did not reach the store");
            break;
        }
    }
    std::ofstream(file, std::ios::binary) << original;
}
BENCHMARK(BM_ChangeOnDiskToRevision)->Unit(benchmark::kMillisecond);

// Saving a changed title: a temporary file, flushed, renamed over the old one, the index updated.
void BM_SaveOneEvent(benchmark::State& state) {
    VdirEventStore store(demo().options());
    std::string id;
    for (const auto& event : store.events(at(2026, 6, 2), at(2026, 6, 3))) {
        if (event.calendar()->allowsContentModifications && !event.occurrenceDate) {
            id = event.eventIdentifier();
            break;
        }
    }
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto event = store.event(id);
        auto content = std::make_shared<EventContent>(*event->content);
        content->title = "Renamed " + std::to_string(++round);
        event->content = std::move(content);
        state.ResumeTiming();
        const auto result = store.save(*event, Span::futureEvents);
        if (!result.ok()) {
            state.SkipWithError(result.error->c_str());
            break;
        }
    }
}
BENCHMARK(BM_SaveOneEvent)->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool declared = bench::declare({bench::Application::core});

} // namespace
} // namespace plannery
