// The hot paths of reading calendars, on the 20,000-event demo calendars: fetching and merging a
// month from a warm store, a mirror scan, opening the store on a warm index, and merging copies.

#include "DemoData.h"
#include "model/Calendar.h"
#include "model/Dedup.h"
#include "model/EventFetcher.h"
#include "model/MirrorDetection.h"
#include "platform/VdirEventStore.h"

#include <benchmark/benchmark.h>

#include <random>

namespace plannery {
namespace {

using bench::at;
using bench::berlin;
using bench::demo;
using bench::DemoData;

void BM_OpenWarmStore(benchmark::State& state) {
    const DemoData& data = demo();
    for (auto _ : state) {
        VdirEventStore store(data.options());
        benchmark::DoNotOptimize(store.calendars().size());
    }
}
BENCHMARK(BM_OpenWarmStore)->Unit(benchmark::kMillisecond);

void BM_FetchAndMergeMonth(benchmark::State& state) {
    const DemoData& data = demo();
    VdirEventStore store(data.options());
    const Calendar& calendar = berlin();
    const FetchOptions options{.mirrors = MirrorDetection::scan(store, at(2026, 6, 15), calendar)};
    std::size_t events = 0;
    for (auto _ : state) {
        auto days =
            EventFetcher::fetchByDay(store, at(2026, 6, 1), at(2026, 7, 1), options, calendar);
        events = 0;
        days.forEachDay([&events](Instant, const std::vector<const CalEvent*>& list) {
            events += list.size();
        });
        benchmark::DoNotOptimize(events);
    }
    state.counters["eventsPerMonth"] = static_cast<double>(events);
}
BENCHMARK(BM_FetchAndMergeMonth)->Unit(benchmark::kMillisecond);

void BM_MirrorScan(benchmark::State& state) {
    const DemoData& data = demo();
    VdirEventStore store(data.options());
    std::size_t groups = 0;
    for (auto _ : state) {
        groups = MirrorDetection::scan(store, at(2026, 6, 15), berlin()).groups().size();
        benchmark::DoNotOptimize(groups);
    }
    state.counters["groups"] = static_cast<double>(groups);
}
BENCHMARK(BM_MirrorScan)->Unit(benchmark::kMillisecond);

// 5,000 records of which 30 % are copies of another record on a second calendar (same slot;
// every other copy found by external identifier, the rest by title).
std::vector<CalEvent> recordsWithCopies() {
    std::mt19937 random(7);
    std::vector<CalEvent> events;
    events.reserve(5000);
    const Instant monthStart = at(2026, 6, 1);
    const CalendarRef work{.id = "work", .title = "Work", .rgb = RGB::fallback()};
    const CalendarRef home{.id = "home", .title = "Home", .rgb = RGB::fallback()};
    for (int i = 0; events.size() < 5000; ++i) {
        const double start = monthStart.seconds + 900.0 * static_cast<double>(random() % 2880);
        CalEvent event{.id = "work/" + std::to_string(i) + ".ics|" + std::to_string(i),
                       .eventIdentifier = "work/" + std::to_string(i) + ".ics",
                       .externalID = "uid-" + std::to_string(i),
                       .title = "Meeting number " + std::to_string(i),
                       .start = Instant{start},
                       .end = Instant{start + 3600},
                       .calendars = {work},
                       .richness = 4};
        events.push_back(event);
        if (random() % 100 < 43 && events.size() < 5000) { // 30 % of the final list are copies
            CalEvent copy = event;
            copy.id = "home/" + std::to_string(i) + ".ics|" + std::to_string(i);
            copy.eventIdentifier = "home/" + std::to_string(i) + ".ics";
            copy.calendars = {home};
            copy.richness = 2;
            if (i % 2 == 1) {
                copy.externalID.reset();
                copy.title = "meeting Number " + std::to_string(i) + "!";
            }
            events.push_back(copy);
        }
    }
    return events;
}

void BM_DedupFiveThousand(benchmark::State& state) {
    const std::vector<CalEvent> input = recordsWithCopies();
    const CalendarMirrors mirrors;
    std::size_t merged = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<CalEvent> copy = input;
        state.ResumeTiming();
        merged = Dedup::merge(std::move(copy), mirrors, berlin()).size();
        benchmark::DoNotOptimize(merged);
    }
    state.counters["merged"] = static_cast<double>(merged);
}
BENCHMARK(BM_DedupFiveThousand)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace plannery
