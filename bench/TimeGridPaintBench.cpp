// Painting one week page of the time grid at 1600 × 1000: 300 overlapping events over seven days
// and a few all-day rows. Goal: under 8 ms per page.

#include "BenchMain.h"
#include "model/Calendar.h"
#include "views/DaySource.h"
#include "views/TimeGridView.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>

namespace plannery {
namespace {

const Calendar& berlin() {
    static const Calendar calendar = *Calendar::make("Europe/Berlin", "en_US", Weekday::monday);
    return calendar;
}

// A deterministic week: starts between 07:00 and 19:00 in five-minute steps, a quarter of an
// hour to three hours long, on one to three calendars, some tentative or declined; two all-day
// events on most days.
std::vector<CalEvent> week() {
    const Calendar& cal = berlin();
    std::vector<CalEvent> events;
    std::uint32_t state = 20260309;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    const RGB colors[] = {{0.9, 0.2, 0.2}, {0.2, 0.5, 0.9}, {0.3, 0.7, 0.3}, {0.8, 0.5, 0.1}};
    for (int i = 0; i < 300; ++i) {
        const int day = 9 + i % 7;
        const int startMinute = 7 * 60 + static_cast<int>(next() % (12 * 12)) * 5;
        const int length = 15 + static_cast<int>(next() % 166);
        const Instant start = cal.date(2026, 3, day, 0, startMinute).value();
        CalEvent event{
            .id = "e" + std::to_string(i),
            .title = "Meeting number " + std::to_string(i) + " about the quarterly plan",
            .location =
                i % 3 == 0 ? std::optional<std::string>("Room " + std::to_string(i)) : std::nullopt,
            .start = start,
            .end = start.plus(length * 60.0),
            .isDeclined = i % 17 == 0,
            .isTentative = i % 11 == 0,
        };
        const int calendars = 1 + static_cast<int>(next() % 3);
        for (int c = 0; c < calendars; ++c) {
            event.calendars.push_back(
                CalendarRef{.id = std::to_string(c), .rgb = colors[(i + c) % 4]});
        }
        events.push_back(event);
    }
    for (int day = 9; day < 16; ++day) {
        for (int k = 0; k < (day % 3) + 1; ++k) {
            events.push_back(CalEvent{
                .id = "a" + std::to_string(day) + "-" + std::to_string(k),
                .title = "All-day " + std::to_string(k),
                .start = cal.date(2026, 3, day).value(),
                .end = cal.date(2026, 3, day + 1).value(),
                .isAllDay = true,
                .calendars = {CalendarRef{.id = "h", .rgb = colors[k % 4]}},
            });
        }
    }
    return events;
}

// The week's days, every one loaded, as the calendar store has them once its months are in.
class WeekDays final : public DaySource {
  public:
    explicit WeekDays(const std::vector<CalEvent>& events) {
        std::map<Instant, std::vector<CalEvent>> lists;
        for (const CalEvent& event : events) {
            for (const Instant day : event.days(berlin())) {
                lists[day].push_back(event);
            }
        }
        for (auto& [day, list] : lists) {
            m_days[day] = std::make_shared<const std::vector<CalEvent>>(std::move(list));
        }
    }
    Calendar calendar() const override { return berlin(); }
    void request(Instant, Instant) override {}
    EventList events(Instant day) const override {
        static const EventList none = std::make_shared<const std::vector<CalEvent>>();
        const auto it = m_days.find(day);
        return it == m_days.end() ? none : it->second;
    }

  private:
    std::map<Instant, EventList> m_days;
};

std::unique_ptr<TimeGridView> makeView(DaySource& days) {
    auto view = std::make_unique<TimeGridView>(TimeGridSpan::week(), berlin());
    view->setNow(berlin().date(2026, 3, 11, 10, 30).value());
    view->setAnchor(berlin().date(2026, 3, 11, 12).value());
    view->setDaySource(&days);
    view->setVerticalOffset(6 * 50);
    view->resize(1600, 1000);
    return view;
}

void paint(TimeGridView& view, QImage& image) {
    image.fill(Qt::white);
    view.render(&image);
    benchmark::DoNotOptimize(image.constBits());
}

// The page drawn again with its tiles already laid out (a repaint).
void BM_RepaintWeekPage(benchmark::State& state) {
    WeekDays days(week());
    auto view = makeView(days);
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    paint(*view, image);
    for (auto _ : state) {
        paint(*view, image);
    }
}
BENCHMARK(BM_RepaintWeekPage)->Unit(benchmark::kMillisecond);

// The same page without events: the cost of the grid itself (lines, headers, gutter).
void BM_RepaintEmptyWeekPage(benchmark::State& state) {
    WeekDays days({});
    auto view = makeView(days);
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    paint(*view, image);
    for (auto _ : state) {
        paint(*view, image);
    }
}
BENCHMARK(BM_RepaintEmptyWeekPage)->Unit(benchmark::kMillisecond);

// A new view: every column laid out, every header built, then drawn. Closing the view afterwards
// is not part of its first paint.
void BM_FirstPaintWeekPage(benchmark::State& state) {
    WeekDays days(week());
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        auto view = makeView(days);
        paint(*view, image);
        state.PauseTiming();
        view.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstPaintWeekPage)->Unit(benchmark::kMillisecond);

// The same at a device pixel ratio of 2 (3200 × 2000 pixels).
void BM_RepaintWeekPageRetina(benchmark::State& state) {
    WeekDays days(week());
    auto view = makeView(days);
    QImage image(3200, 2000, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    paint(*view, image);
    for (auto _ : state) {
        paint(*view, image);
    }
}
BENCHMARK(BM_RepaintWeekPageRetina)->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool declared = bench::declare({bench::Application::widgets});

} // namespace
} // namespace plannery
