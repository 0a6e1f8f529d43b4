// The widget faces on the 20,000-event demo calendars: building the agenda and the plan of the
// largest face from a fortnight's events, fitting its rows into columns, and drawing each face
// whole (agenda, plan, measuring and painting) as the widget process does at every minute.

#include "BenchMain.h"
#include "DemoData.h"
#include "agenda/AgendaFlow.h"
#include "agenda/AgendaPlan.h"
#include "agenda/WidgetAgenda.h"
#include "agenda/WidgetFamily.h"
#include "agenda/WidgetSizes.h"
#include "model/EventFetcher.h"
#include "views/WidgetFacePainter.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>

namespace plannery {
namespace {

using bench::at;
using bench::berlin;

// A weekday of the demo's busy stretch, at the time of most running events.
Instant now() {
    return at(2026, 3, 11, 14);
}

// The events a face is drawn from: the day of now and the two weeks after it, merged.
const std::vector<CalEvent>& fortnight() {
    static const std::vector<CalEvent> events = [] {
        const VdirEventStore store(bench::demo().options());
        const Instant day = berlin().startOfDay(now());
        return EventFetcher::fetch(store, day, *berlin().addDays(day, 15), FetchOptions{},
                                   berlin());
    }();
    return events;
}

std::vector<WidgetAgenda::Section> faceSections(const WidgetAgenda& agenda, int cap) {
    std::vector<WidgetAgenda::Section> sections = agenda.sections(static_cast<std::size_t>(cap));
    if (sections.size() == 1) {
        sections.push_back(agenda.withClosingNote({}).front());
    }
    return sections;
}

// The agenda and the plan of the large face (30 event rows), from the fetched events.
void BM_AgendaAndPlanOfTheLargestFace(benchmark::State& state) {
    const auto& events = fortnight();
    const Calendar& calendar = berlin();
    std::size_t rows = 0;
    for (auto _ : state) {
        const WidgetAgenda agenda(events, now(), calendar);
        const int cap = HomeFaceLayout::of(WidgetFace::large)->cap;
        const AgendaPlan plan = AgendaPlan::make(
            faceSections(agenda, cap), cap,
            [](const CalEvent& e) { return !e.isAllDay && e.start <= now() && now() < e.end; },
            calendar);
        rows = plan.items.size();
        benchmark::DoNotOptimize(plan.items.data());
    }
    state.counters["events"] = static_cast<double>(events.size());
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_AgendaAndPlanOfTheLargestFace)->Unit(benchmark::kMicrosecond);

// Choosing the rows of that plan for the large face's height, in one and in two columns.
void BM_FlowColumns(benchmark::State& state) {
    const WidgetAgenda agenda(fortnight(), now(), berlin());
    const AgendaPlan plan = AgendaPlan::make(faceSections(agenda, 30), 30, {}, berlin());
    const std::vector<AgendaSlot> slotList = plan.itemSlots();
    const std::vector<double> heights(slotList.size(), 16);
    for (auto _ : state) {
        const auto columns =
            AgendaFlow::columns(slotList, heights, 350, 1.5, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(columns.data());
    }
}
BENCHMARK(BM_FlowColumns)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// One face drawn from scratch at its size: agenda, plan, rows measured, painted into a picture.
void BM_RenderFace(benchmark::State& state) {
    const auto family = WidgetFamilies::all[static_cast<std::size_t>(state.range(0))];
    const WidgetSizes::Size size = WidgetSizes{}.of(family);
    const double scale = static_cast<double>(state.range(1));
    QImage image(static_cast<int>(std::ceil(size.width * scale)),
                 static_cast<int>(std::ceil(size.height * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    for (auto _ : state) {
        WidgetFacePainter face(WidgetFaceInput{
            .calendar = berlin(),
            .family = family,
            .now = now(),
            .events = fortnight(),
            .cornerRadius = WidgetFacePainter::cornerRadiusFor(family),
        });
        face.layout(QSizeF(size.width, size.height));
        image.fill(Qt::transparent);
        QPainter painter(&image);
        face.paint(painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(std::string(WidgetFamilies::name(family)) + (scale > 1 ? " @2x" : ""));
}
BENCHMARK(BM_RenderFace)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {1, 2}})->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool declared = bench::declare({bench::Application::widgets});

} // namespace
} // namespace plannery
