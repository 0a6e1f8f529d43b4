// The time grid's overlap layout of one crowded day: cutting the events into the day's segments
// and placing them as the column view does, every time its day, events or metrics change.

#include "grid/TimeGridLayout.h"
#include "grid/TimeGridSegment.h"
#include "model/Calendar.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace plannery {
namespace {

const Calendar& berlin() {
    static const Calendar calendar = *Calendar::make("Europe/Berlin", "en_US", Weekday::monday);
    return calendar;
}

Instant day() {
    return berlin().date(2026, 6, 15).value();
}

// A deterministic crowd: starts between 06:00 and 20:00 in five-minute steps, lengths of a
// quarter of an hour to four hours, a few from the evening before and one lasting a week.
std::vector<CalEvent> crowd(int count) {
    const Calendar& calendar = berlin();
    std::vector<CalEvent> events;
    std::uint32_t state = 20260615;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int i = 0; i < count; ++i) {
        const int startMinute = 6 * 60 + static_cast<int>(next() % (14 * 12)) * 5;
        const int length = 15 + static_cast<int>(next() % 226);
        Instant start = calendar.date(2026, 6, 15, 0, startMinute).value();
        if (i % 50 == 7) {
            start = calendar.date(2026, 6, 14, 22).value();
        }
        Instant end = start.plus(length * 60.0);
        if (i == 3) {
            end = calendar.date(2026, 6, 21, 12).value();
        }
        events.push_back(CalEvent{.id = "event" + std::to_string(i),
                                  .title = "Event " + std::to_string(i),
                                  .start = start,
                                  .end = end,
                                  .calendars = {CalendarRef{.id = "work", .title = "Work"}}});
    }
    return events;
}

// The column view's arguments for a 120-point column at 50 points an hour, whole day shown.
std::vector<TimeGridBlock> layOut(const std::vector<TimeGridSegment>& segments) {
    const double columnWidth = 120;
    return TimeGridLayout::blocks(segments, columnWidth, 50, 0, 0, 24, 13, 1.5,
                                  columnWidth < 80 ? 1 : 4, 1);
}

void BM_LayOutDay(benchmark::State& state) {
    const std::vector<CalEvent> events = crowd(static_cast<int>(state.range(0)));
    const Instant when = day();
    std::size_t covered = 0;
    for (auto _ : state) {
        const auto blocks = layOut(TimeGridSegment::segments(events, when, berlin()));
        covered = 0;
        for (const TimeGridBlock& block : blocks) {
            covered += block.covered.size();
        }
        benchmark::DoNotOptimize(covered);
    }
    state.counters["coveredStretches"] = static_cast<double>(covered);
}
BENCHMARK(BM_LayOutDay)->Arg(200)->Arg(50)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_Segments(benchmark::State& state) {
    const std::vector<CalEvent> events = crowd(200);
    const Instant when = day();
    for (auto _ : state) {
        benchmark::DoNotOptimize(TimeGridSegment::segments(events, when, berlin()).size());
    }
}
BENCHMARK(BM_Segments)->Unit(benchmark::kMicrosecond);

void BM_Blocks(benchmark::State& state) {
    const auto segments = TimeGridSegment::segments(crowd(200), day(), berlin());
    for (auto _ : state) {
        benchmark::DoNotOptimize(layOut(segments).size());
    }
}
BENCHMARK(BM_Blocks)->Unit(benchmark::kMicrosecond);

void BM_Tiles(benchmark::State& state) {
    const auto blocks = layOut(TimeGridSegment::segments(crowd(200), day(), berlin()));
    for (auto _ : state) {
        benchmark::DoNotOptimize(TimeGridLayout::tiles(blocks, 2, 120).size());
    }
}
BENCHMARK(BM_Tiles)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace plannery
