#include "TestSupport.h"

#include "agenda/AgendaPlan.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::at;
using Kind = AgendaRow::Kind;

CalEvent event(const std::string& id, Instant start, bool allDay = false) {
    return CalEvent{.id = id,
                    .title = id,
                    .start = start,
                    .end = start.plus(3600),
                    .isAllDay = allDay,
                    .calendars = {CalendarRef{.id = "c"}}};
}

WidgetAgenda::Section section(Instant day, std::optional<std::string> header,
                              std::vector<CalEvent> events,
                              std::optional<std::string> note = std::nullopt) {
    return WidgetAgenda::Section{.day = day,
                                 .header = header,
                                 .continuation = header.value_or("Today"),
                                 .events = std::move(events),
                                 .emptyNote = std::move(note)};
}

std::vector<std::string> rowIds(const AgendaPlan& plan) {
    std::vector<std::string> out;
    for (const auto& item : plan.items) {
        out.push_back(item.row.id);
    }
    return out;
}

class AgendaPlanTest : public ::testing::Test {
  protected:
    Calendar cal = test::berlin();
    Instant today = at(cal, 2026, 3, 11);
    Instant tomorrow = at(cal, 2026, 3, 12);
};

TEST_F(AgendaPlanTest, EachEventCarriesTheFooterItsCutWouldNeed) {
    const auto sections =
        std::vector{section(today, std::nullopt,
                            {event("a", today.plus(3600)), event("b", today.plus(7200)),
                             event("c", today.plus(9000))})};
    const AgendaPlan plan = AgendaPlan::make(sections, 2, {}, cal);
    EXPECT_EQ(rowIds(plan), (std::vector<std::string>{"cont|2026-03-11", "2026-03-11|a", "more|1",
                                                      "2026-03-11|b", "more|2"}));
    EXPECT_EQ(plan.items[0].slot, AgendaSlot::continuation(0));
    EXPECT_EQ(plan.items[1].slot, AgendaSlot::row(1, 0, false));
    EXPECT_EQ(plan.items[2].row.kind, Kind::more);
    EXPECT_EQ(plan.items[2].row.count, 2);
    EXPECT_EQ(plan.items[2].slot, AgendaSlot::footer(1, false));
    EXPECT_EQ(plan.items[4].row.count, 1);
    EXPECT_EQ(plan.items[4].slot, AgendaSlot::footer(2, false));
}

TEST_F(AgendaPlanTest, TheCapCountsEventsOnly) {
    const auto empty = std::vector{section(today, std::nullopt, {}, "No events today")};
    const AgendaPlan notes = AgendaPlan::make(empty, 0, {}, cal);
    ASSERT_EQ(notes.items.size(), 1u);
    EXPECT_EQ(notes.items[0].row.id, "note|2026-03-11");
    EXPECT_EQ(notes.items[0].row.text, "No events today");
    EXPECT_EQ(notes.items[0].slot, AgendaSlot::row(0, 0, false));

    const auto busy = std::vector{section(today, std::nullopt, {event("a", today)})};
    EXPECT_TRUE(AgendaPlan::make(busy, 0, {}, cal).items.empty());
}

TEST_F(AgendaPlanTest, TheLastEventOfADaySumsUpTheNextDayWithEvents) {
    const auto sections =
        std::vector{section(today, std::nullopt, {event("a", today.plus(3600), false)}),
                    section(tomorrow, "Tomorrow",
                            {event("h", tomorrow, true), event("i", tomorrow.plus(3600)),
                             event("j", tomorrow.plus(7200)), event("k", tomorrow.plus(9000))})};
    const auto ongoing = [](const CalEvent& e) { return e.id == "a"; };
    const AgendaPlan plan = AgendaPlan::make(sections, 10, ongoing, cal);
    ASSERT_GE(plan.items.size(), 3u);
    EXPECT_TRUE(plan.items[1].row.ongoing);
    const AgendaRow& summary = plan.items[2].row;
    EXPECT_EQ(summary.id, "sum|1");
    EXPECT_EQ(summary.kind, Kind::daySummary);
    EXPECT_EQ(summary.text, "Tomorrow");
    EXPECT_EQ(summary.count, 4);
    EXPECT_EQ(summary.day, tomorrow);
    EXPECT_EQ(plan.items[2].slot, AgendaSlot::footer(1, true));
    // The heading counts the first event under it; the all-day event is an all-day row.
    EXPECT_EQ(plan.items[3].row.id, "hdr|2026-03-12");
    EXPECT_EQ(plan.items[3].slot, AgendaSlot::row(2, 1, true));
    EXPECT_EQ(plan.items[4].row.id, "cont|2026-03-12");
    EXPECT_EQ(plan.items[5].row.kind, Kind::allDay);
    // The very last event of the agenda has no footer at all.
    EXPECT_EQ(plan.items.back().row.id, "2026-03-12|k");
}

} // namespace
} // namespace plannery
