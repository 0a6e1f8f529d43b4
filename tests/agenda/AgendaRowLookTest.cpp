#include "agenda/AgendaRowLook.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

TEST(AgendaRowLook, DeclinedPastAndAllDayRows) {
    const Instant now{1'000'000};
    CalEvent event{
        .start = Instant{900'000}, .end = Instant{950'000}, .calendars = {CalendarRef{.id = "c"}}};
    EXPECT_EQ(AgendaRowLook::opacity(event, now), 0.55); // over
    EXPECT_EQ(AgendaRowLook::fillAlpha(event), 0.08);
    event.isDeclined = true;
    EXPECT_EQ(AgendaRowLook::opacity(event, now), 0.45); // declined wins over past
    event.isDeclined = false;
    event.isAllDay = true;
    EXPECT_EQ(AgendaRowLook::opacity(event, now), 1.0); // all-day events never fade as past
    EXPECT_EQ(AgendaRowLook::fillAlpha(event), 0.18);
    event.isAllDay = false;
    event.end = now; // ends right now: not yet over
    EXPECT_EQ(AgendaRowLook::opacity(event, now), 1.0);
    event.end = Instant{2'000'000};
    event.isTentative = true;
    event.isCanceled = true;
    EXPECT_EQ(AgendaRowLook::opacity(event, now), 1.0);
}

} // namespace
} // namespace plannery
