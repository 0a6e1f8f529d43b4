// Painting one page of the four-weeks view at 1600 × 1000 on the 20,000-event demo calendars,
// through the calendar store as the app runs it (its month cache warm).

#include "BenchMain.h"
#include "DemoData.h"
#include "platform/VdirEventStore.h"
#include "store/CalendarStore.h"
#include "views/FourWeeksView.h"
#include "views/StoreDays.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <memory>

namespace plannery {
namespace {

using bench::at;
using bench::berlin;

struct StoreUnderTest : bench::DemoStore {
    StoreUnderTest() : DemoStore("fourweeks", at(2026, 3, 11, 10)) {
        store->requestAccess();
        // Warm the months of the page and its neighbours.
        store->days(at(2026, 1, 1), at(2026, 6, 1));
    }
};

StoreUnderTest& subject() {
    static StoreUnderTest instance;
    return instance;
}

std::unique_ptr<FourWeeksView> makeView() {
    auto view = std::make_unique<FourWeeksView>(berlin());
    view->setNow(at(2026, 3, 11, 10));
    view->setAnchor(at(2026, 3, 11));
    view->setDaySource(new StoreDays(*subject().store, view.get()));
    view->resize(1600, 1000);
    return view;
}

void paint(FourWeeksView& view, QImage& image) {
    view.render(&image);
    benchmark::DoNotOptimize(image.constBits());
}

// A new view: every cell of the page laid out and drawn, the days read from the store.
void BM_FirstPaintFourWeeksPage(benchmark::State& state) {
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    std::size_t events = 0;
    for (const auto& [day, list] : subject().store->days(at(2026, 3, 9), at(2026, 4, 6))) {
        events += list->size();
    }
    for (auto _ : state) {
        auto view = makeView();
        paint(*view, image);
    }
    state.counters["events"] = static_cast<double>(events);
}
BENCHMARK(BM_FirstPaintFourWeeksPage)->Unit(benchmark::kMillisecond);

// The page drawn again after a new store revision: the days asked again and every cell redrawn.
void BM_RedrawAfterReload(benchmark::State& state) {
    auto view = makeView();
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    paint(*view, image);
    for (auto _ : state) {
        view->reloadData();
        paint(*view, image);
    }
}
BENCHMARK(BM_RedrawAfterReload)->Unit(benchmark::kMillisecond);

// A repaint with nothing changed (an animation frame): the drawn page is copied.
void BM_RepaintFourWeeksPage(benchmark::State& state) {
    auto view = makeView();
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    paint(*view, image);
    for (auto _ : state) {
        paint(*view, image);
    }
}
BENCHMARK(BM_RepaintFourWeeksPage)->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool declared = bench::declare({bench::Application::widgets});

} // namespace
} // namespace plannery
