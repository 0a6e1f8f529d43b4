// The agenda list on the 20,000-event demo calendars, read through the calendar store as the app
// runs it: the first paint of a new list, and scrolling a whole year down frame by frame. A frame
// is one scroll step, its paint at 800 × 1000, and the idle work of the event loop that follows
// it (reading days ahead); the slowest frame is what a user would notice as a stall.

#include "BenchMain.h"
#include "DemoData.h"
#include "platform/VdirEventStore.h"
#include "store/CalendarStore.h"
#include "views/AgendaListView.h"
#include "views/StoreDays.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QImage>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

namespace plannery {
namespace {

using bench::at;
using bench::berlin;

constexpr int kWidth = 800;
constexpr int kHeight = 1000;
// A frame at 60 frames a second.
constexpr double kFrameBudgetMs = 1000.0 / 60;

// A calendar store of its own, so every benchmark starts with the month cache it says it has.
struct StoreUnderTest : bench::DemoStore {
    StoreUnderTest() : DemoStore("agenda", at(2025, 7, 1, 10)) {
        store->requestAccess();
        waitForMirrorScan();
    }
};

std::unique_ptr<AgendaListView> makeView(CalendarStore& store) {
    auto view = std::make_unique<AgendaListView>(berlin());
    view->setNow(at(2025, 7, 1, 10));
    view->resize(kWidth, kHeight);
    view->setAnchor(at(2025, 7, 1));
    view->setDaySource(new StoreDays(store, view.get()));
    return view;
}

void paint(AgendaListView& view, QImage& image) {
    view.render(&image);
    benchmark::DoNotOptimize(image.constBits());
}

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A new list on 1 July 2025: its 120 days read from the store (months warm), laid out, and the
// top drawn.
void BM_FirstPaintAgenda(benchmark::State& state) {
    StoreUnderTest subject;
    subject.store->days(at(2025, 7, 1), at(2025, 11, 1));
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        auto view = makeView(*subject.store);
        paint(*view, image);
    }
}
BENCHMARK(BM_FirstPaintAgenda)->Unit(benchmark::kMillisecond);

// One frame of a busy screen drawn again with nothing changed: what every scroll step costs at
// least.
void BM_RepaintAgenda(benchmark::State& state) {
    StoreUnderTest subject;
    auto view = makeView(*subject.store);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    paint(*view, image);
    for (auto _ : state) {
        paint(*view, image);
    }
}
BENCHMARK(BM_RepaintAgenda)->Unit(benchmark::kMillisecond);

// The slowest frame and the slowest of each of its parts, in wall time and in the main thread's
// processor time (the machine may be shared: the latter is what the list itself costs).
struct FrameTimes {
    double slowest = 0;
    double slowestCpu = 0;
    double slowestScroll = 0; // moving the list, with the days loaded when the bottom shows
    double slowestPaint = 0;
    double slowestIdle = 0; // the event loop's idle work: days read ahead
    double total = 0;
    std::size_t frames = 0;
    std::size_t late = 0;
    std::vector<double> samples;

    void add(double scroll, double paint, double idle, double cpu) {
        const double ms = scroll + paint + idle;
        slowest = std::max(slowest, ms);
        slowestCpu = std::max(slowestCpu, cpu);
        slowestScroll = std::max(slowestScroll, scroll);
        slowestPaint = std::max(slowestPaint, paint);
        slowestIdle = std::max(slowestIdle, idle);
        total += ms;
        ++frames;
        late += ms > kFrameBudgetMs ? 1 : 0;
        samples.push_back(ms);
    }

    double p99() {
        if (samples.empty()) {
            return 0;
        }
        std::sort(samples.begin(), samples.end());
        return samples[static_cast<std::size_t>(0.99 * static_cast<double>(samples.size() - 1))];
    }
};

double threadCpuMs() {
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) * 1000 + static_cast<double>(time.tv_nsec) / 1e6;
}

// From 1 July 2025 to 1 July 2026, `step` points per frame. With `warm` 0 the store's month cache
// is cold as in a fresh session, and the months are read as the list reaches them; with 1 the
// whole year is in it before the first frame.
void BM_ScrollAYear(benchmark::State& state) {
    const int step = static_cast<int>(state.range(0));
    const bool warm = state.range(1) != 0;
    FrameTimes times;
    std::size_t events = 0;
    for (auto _ : state) {
        state.PauseTiming();
        StoreUnderTest subject;
        if (warm) {
            subject.store->days(at(2025, 7, 1), at(2026, 10, 1));
        }
        auto view = makeView(*subject.store);
        view->show();
        QCoreApplication::processEvents();
        // As in the app after its first paint: the months ahead load on a worker.
        subject.store->loadInBackground();
        state.ResumeTiming();

        QScrollBar* bar = view->verticalScrollBar();
        const Instant end = at(2026, 7, 1);
        while (view->scrolledDay().value_or(Instant{}) < end && bar->value() < bar->maximum()) {
            const double cpu = threadCpuMs();
            const Clock::time_point start = Clock::now();
            bar->setValue(bar->value() + step);
            const double scrolled = millisecondsSince(start);
            // Painted on the (offscreen) screen as the window system would have it, at once.
            view->viewport()->repaint();
            const double painted = millisecondsSince(start);
            QCoreApplication::processEvents();
            const double done = millisecondsSince(start);
            times.add(scrolled, painted - scrolled, done - painted, threadCpuMs() - cpu);
        }

        state.PauseTiming();
        while (subject.store->loader().busy()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        for (std::optional<Instant> day = at(2025, 7, 1); day && *day < end;
             day = berlin().addDays(*day, 1)) {
            if (const CalendarStore::EventList list = subject.store->loaded(*day)) {
                events += list->size();
            }
        }
        view.reset();
        state.ResumeTiming();
    }
    state.counters["events"] = static_cast<double>(events);
    state.counters["frames"] = static_cast<double>(times.frames);
    state.counters["late_frames"] = static_cast<double>(times.late);
    state.counters["mean_ms"] =
        times.frames == 0 ? 0 : times.total / static_cast<double>(times.frames);
    state.counters["slowest_ms"] = times.slowest;
    state.counters["p99_ms"] = times.p99();
    state.counters["slowest_cpu_ms"] = times.slowestCpu;
    state.counters["slowest_scroll_ms"] = times.slowestScroll;
    state.counters["slowest_paint_ms"] = times.slowestPaint;
    state.counters["slowest_idle_ms"] = times.slowestIdle;
}
BENCHMARK(BM_ScrollAYear)
    ->ArgsProduct({{120, 600}, {0, 1}})
    ->ArgNames({"step", "warm"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool declared = bench::declare({bench::Application::widgets});

} // namespace
} // namespace plannery
