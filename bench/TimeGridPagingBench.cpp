// Paging the week view through 52 weeks of the 20,000-event demo calendars, on the calendar store
// as the app has it: every frame of every page turn (the strip dragged a page in eight steps,
// painted at 1600 × 1000, then settled), with a tenth of a second of idle event loop between
// page turns, in which the grid fetches the months ahead and draws the pages beside it. Goal: the
// slowest frame under 16 ms.

#include "BenchMain.h"
#include "DemoData.h"

#include "store/CalendarStore.h"
#include "views/StoreDays.h"
#include "views/TimeGridView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace plannery {
namespace {

using bench::at;
using bench::berlin;

void BM_PageThroughAYear(benchmark::State& state) {
    std::vector<double> frames;
    for (auto _ : state) {
        state.PauseTiming();
        bench::DemoStore demoStore("paging", at(2026, 1, 7, 10));
        CalendarStore& store = *demoStore.store;
        StoreDays days(store);
        TimeGridView view(TimeGridSpan::week(), berlin());
        view.setNow(at(2026, 1, 7, 10));
        view.resize(1600, 1000);
        view.setAnchor(at(2026, 1, 5));
        view.setDaySource(&days);
        QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
        view.render(&image);
        // As in the app after its first paint: the months ahead load on a worker.
        store.loadInBackground();
        state.ResumeTiming();

        const double step = view.metrics().columnWidth * 7 / 8;
        for (int page = 0; page < 52; ++page) {
            view.beginHorizontalDrag();
            for (int i = 0; i < 8; ++i) {
                QElapsedTimer frame;
                frame.start();
                if (i < 7) {
                    view.dragHorizontally(step);
                } else {
                    view.endHorizontalDrag(0);
                }
                QPainter painter(&image);
                view.render(&painter);
                painter.end();
                frames.push_back(static_cast<double>(frame.nsecsElapsed()) / 1e6);
            }
            // The pause between two page turns, when the grid fetches and draws ahead.
            state.PauseTiming();
            QElapsedTimer idle;
            idle.start();
            while (idle.elapsed() < 100) {
                QCoreApplication::processEvents();
            }
            state.ResumeTiming();
        }
        if (view.pageStart() != at(2027, 1, 4)) {
            state.SkipWithError("the pages did not arrive at the week of 4 January 2027");
            break;
        }
    }
    if (!frames.empty()) {
        std::sort(frames.begin(), frames.end());
        state.counters["slowest_frame_ms"] = frames.back();
        state.counters["p99_frame_ms"] =
            frames[static_cast<std::size_t>(0.99 * static_cast<double>(frames.size() - 1))];
        state.counters["mean_frame_ms"] =
            std::accumulate(frames.begin(), frames.end(), 0.0) / static_cast<double>(frames.size());
    }
}
BENCHMARK(BM_PageThroughAYear)->Unit(benchmark::kMillisecond)->Iterations(3);

[[maybe_unused]] const bool declared = bench::declare({bench::Application::widgets});

} // namespace
} // namespace plannery
